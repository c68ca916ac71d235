#pragma once
// Support for the tests of the preset system editor's files and preferences: a file
// dialog that answers from a script and records what it was asked, the alerts the editor
// writes to standard error, and a fixture that gives each test its own preferences.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "effect/PresetImageSupport.h"
#include "effect/TestHost.h"
#include "platform/FileDialog.h"
#include "presets/CPresetSystemEditor.h"
#include "support/ScopedConfigHome.h"
#include "support/ScriptedFileDialog.h"
#include "support/TempFolder.h"

namespace tavola::test {

inline CPresetSystemEditor& editorOf(Tavola& effect) {
  return *effect.panel();
}

inline void useScript(Tavola& effect, DialogScript& script) {
  editorOf(effect).useFileDialog(std::make_unique<ScriptedDialog>(script));
}

inline Bytes fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes presetImageOf(Tavola& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  const std::size_t size = editorOf(effect).PresetToBuffer(buffer);
  return Bytes(buffer.get(), buffer.get() + size);
}

inline Bytes bankImageOf(Tavola& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  const std::size_t size = editorOf(effect).BankToBuffer(buffer);
  return Bytes(buffer.get(), buffer.get() + size);
}

// Makes preset `p` of an effect unlike every factory preset: a new name and a low-band
// gain and mid frequency of its own.
inline void makeDistinct(Tavola& effect, int p, const std::string& name, float gain) {
  effect.setPresetNo(p);
  effect.setParameter(15, gain);
  effect.setParameter(21, 1.0f - gain);
  effect.setPresetName(name.c_str());
}

// A test with preferences of its own and standard error captured, so that the effects'
// diagnostic lines stay out of the output and the editor's alerts can be read.
class PresetSystemTest : public testing::Test {
 protected:
  void SetUp() override { testing::internal::CaptureStderr(); }
  void TearDown() override { testing::internal::GetCapturedStderr(); }

  // The alerts written since the last call ("ZEB Tavola: " lines, without the prefix).
  std::vector<std::string> takeAlerts() {
    // The diagnostic lines of the calls so far land in this capture, not the next one.
    EXPECT_TRUE(diagnostics::flush(std::chrono::seconds(10)));
    const std::string captured = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    std::vector<std::string> alerts;
    std::istringstream lines(captured);
    const std::string prefix = "ZEB Tavola: ";
    for (std::string line; std::getline(lines, line);)
      if (line.rfind(prefix, 0) == 0) alerts.push_back(line.substr(prefix.size()));
    return alerts;
  }

  ScopedConfigHome config_;
  TempFolder files_;
};

}  // namespace tavola::test
