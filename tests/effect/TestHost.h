#pragma once
// For tests that construct the effect directly: a minimal host callback that answers the
// version query and reports every pin as connected, and a way to keep the effect's
// diagnostic lines out of the test output.

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "effect/Tavola.h"
#include "platform/DiagnosticWriter.h"

namespace tavola::test {

inline VstIntPtr connectedHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

inline std::unique_ptr<Tavola> makeEffect() {
  return std::make_unique<Tavola>(connectedHost);
}

// Runs `action` and returns what it wrote to standard error (the effect writes one line per
// parameter change).
inline std::string capturedStderr(const std::function<void()>& action) {
  // Lines of earlier calls must not land in this capture, and this call's must.
  EXPECT_TRUE(diagnostics::flush(std::chrono::seconds(10)));
  testing::internal::CaptureStderr();
  action();
  // The lines are written by the effect's writer thread: wait for them.
  EXPECT_TRUE(diagnostics::flush(std::chrono::seconds(10)));
  return testing::internal::GetCapturedStderr();
}

// Runs `action` with those lines kept out of the test's output.
inline void quietly(const std::function<void()>& action) {
  capturedStderr(action);
}

// Byte for byte, names and values: what a rejected image must leave untouched.
inline bool samePreset(const PresetRecord& a, const PresetRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace tavola::test
