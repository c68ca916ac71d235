// The preset strip on a real effect's panel, off screen: each key as a user presses it,
// with the dialogs scripted, each test with preferences of its own and the helper programs
// (xdg-open, the alert) replaced by stand-ins on PATH.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "controls/CZBKickButton.h"
#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "gui/Utf8.h"
#include "platform/DiagnosticWriter.h"
#include "support/ScopedConfigHome.h"
#include "support/ScopedEnvironment.h"
#include "support/ScriptedFileDialog.h"
#include "support/StandInPrograms.h"

namespace {

using namespace VSTGUI;
using tavola::test::DialogScript;
using tavola::test::ScopedEnvironment;
using tavola::test::ScriptedDialog;
using Editor = CPresetSystemEditor;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

class PresetStrip : public testing::Test {
 protected:
  PresetStrip() {
    testing::internal::CaptureStderr();
    effect_ = makeEffect();
    editor_ = openEditor(*effect_);
  }
  ~PresetStrip() override {
    for (auto& effect : effects_) effect->getEditor()->close();
    EXPECT_TRUE(tavola::diagnostics::flush(std::chrono::seconds(10)));
    testing::internal::GetCapturedStderr();
  }

  Tavola* makeEffect() {
    effects_.push_back(std::make_unique<Tavola>(quietHost));
    return effects_.back().get();
  }
  static ADEditor* openEditor(Tavola& effect) {
    auto* editor = effect.panel();
    EXPECT_TRUE(editor->open(nullptr));
    editor->idle();
    return editor;
  }
  CControl& control(long tag, ADEditor* editor = nullptr) {
    return *(editor ? editor : editor_)->stripControl(tag);
  }
  CTextEdit& nameField() { return static_cast<CTextEdit&>(control(Editor::kNameFieldTag)); }
  COptionMenu& menu() { return static_cast<COptionMenu&>(control(Editor::kPresetMenuTag)); }
  CFrame& frame(ADEditor* editor = nullptr) { return *(editor ? editor : editor_)->getFrame(); }

  // A press and a release at a point of a strip control (0 to 1 across and down it).
  void click(long tag, long buttons = kLButton, double across = 0.5, ADEditor* editor = nullptr) {
    const CRect& size = control(tag, editor).getViewSize();
    CPoint where(size.left + size.width() * across, size.top + size.height() / 2);
    frame(editor).onMouseDown(where, buttons);
    frame(editor).onMouseUp(where, 0);
    (editor ? editor : editor_)->idle();
  }
  // One key per character, as the window decodes them.
  void type(const std::string& text) {
    for (std::size_t at = 0; at < text.size(); at = utf8::next(text, at)) {
      VstKeyCode key;
      key.character = static_cast<long>(utf8::decodeFirst(std::string_view(text).substr(at)));
      frame().onKeyDown(key);
    }
  }
  void press(unsigned char virt) {
    VstKeyCode key;
    key.virt = virt;
    frame().onKeyDown(key);
  }
  std::string programName(Tavola& effect) {
    char name[kVstMaxProgNameLen + 1] = {};
    effect.getProgramName(name);
    return name;
  }
  std::string takeStderr() {
    EXPECT_TRUE(tavola::diagnostics::flush(std::chrono::seconds(10)));
    std::string captured = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    return captured;
  }

  tavola::test::ScopedConfigHome config_;
  std::vector<std::unique_ptr<Tavola>> effects_;
  Tavola* effect_;
  ADEditor* editor_;
};

TEST_F(PresetStrip, TheRockerStepsAndStopsAtBothEnds) {
  effect_->setPresetNo(6);
  click(Editor::kPresetRockerTag, kLButton, 0.9);
  EXPECT_EQ(effect_->getPresetNo(), 6);
  click(Editor::kPresetRockerTag, kLButton, 0.1);
  EXPECT_EQ(effect_->getPresetNo(), 5);
  EXPECT_EQ(nameField().text(), effect_->presetName(5));
  EXPECT_EQ(menu().getCurrentIndex(), 5);
  effect_->setPresetNo(0);
  click(Editor::kPresetRockerTag, kLButton, 0.1);
  EXPECT_EQ(effect_->getPresetNo(), 0);
  // The middle counts as the right half.
  click(Editor::kPresetRockerTag, kLButton, 0.5);
  EXPECT_EQ(effect_->getPresetNo(), 1);
}

TEST_F(PresetStrip, ATypedNameKeeps24BytesInTheFieldAnd23InThePreset) {
  click(Editor::kNameFieldTag);
  const std::string thirty = "Thirty characters of a name!!!";
  ASSERT_EQ(thirty.size(), 30u);
  type(thirty);
  press(VKEY_RETURN);
  EXPECT_EQ(nameField().text(), thirty.substr(0, 24));
  EXPECT_EQ(menu().getCurrentTitle(), thirty.substr(0, 24));
  EXPECT_EQ(std::string(effect_->presetName(0)), thirty.substr(0, 23));
  EXPECT_EQ(programName(*effect_), thirty.substr(0, 23));

  // A two-byte character across either limit goes whole or not at all.
  click(Editor::kNameFieldTag);
  type(std::string(22, 'a') + "\xC3\xA9\xC3\xA9");
  press(VKEY_RETURN);
  EXPECT_EQ(nameField().text(), std::string(22, 'a') + "\xC3\xA9");
  EXPECT_EQ(std::string(effect_->presetName(0)), std::string(22, 'a'));
}

TEST_F(PresetStrip, TheMenuChoosesAPresetByKeysAndAClickOutsideKeepsIt) {
  const std::string third = effect_->presetName(2);
  click(Editor::kPresetMenuTag);
  ASSERT_TRUE(menu().isOpen());
  press(VKEY_DOWN);
  press(VKEY_DOWN);
  press(VKEY_RETURN);
  EXPECT_FALSE(menu().isOpen());
  EXPECT_EQ(effect_->getPresetNo(), 2);
  EXPECT_EQ(nameField().text(), third);

  click(Editor::kPresetMenuTag);
  press(VKEY_DOWN);
  CPoint outside(20, 20);
  frame().onMouseDown(outside, kLButton);
  EXPECT_FALSE(menu().isOpen());
  EXPECT_EQ(effect_->getPresetNo(), 2);
}

TEST_F(PresetStrip, LoadKeysAskTheirQuestionAndABankStartsAtPresetZero) {
  tavola::test::TempFolder files;
  const std::string bank = (files.path() / "session.zbb").string();
  DialogScript script;
  script.answers = {{bank}};
  editor_->useFileDialog(std::make_unique<ScriptedDialog>(script));
  effect_->setPresetNo(4);
  click(Editor::kSaveBankTag);
  ASSERT_TRUE(std::filesystem::exists(bank));

  click(Editor::kLoadPresetTag, kRButton);
  click(Editor::kLoadPresetTag, kLButton);
  click(Editor::kLoadBankTag, kRButton | kShift);
  ASSERT_EQ(script.requests.size(), 4u);
  EXPECT_EQ(script.requests[1].title, "Load preset (endian-reversed)");
  EXPECT_EQ(script.requests[2].title, "Load preset");
  EXPECT_EQ(script.requests[3].title, "Load bank") << "a right click with Shift is a left click";

  script.answers = {{bank}};
  click(Editor::kLoadBankTag);
  EXPECT_EQ(effect_->getPresetNo(), 0);
  EXPECT_EQ(menu().getCurrentIndex(), 0);
  EXPECT_EQ(nameField().text(), effect_->presetName(0));
}

// The strip shows the bank, and only the user-interface thread writes it: whatever
// changed the bank (the host's state, a rename, a preset chosen on another thread) shows
// at the next idle, every name and the current preset.
TEST_F(PresetStrip, ShowsWhatChangedTheBankAtTheNextIdle) {
  Tavola* source = makeEffect();
  char renamed[] = "Host renamed";
  source->setPresetNo(5);
  source->setProgramName(renamed);
  void* chunk = nullptr;
  const VstInt32 size = source->getChunk(&chunk);
  ASSERT_GT(size, 0);
  ASSERT_EQ(effect_->setChunk(chunk, size), 0);
  const auto showsTheBank = [&] {
    for (int p = 0; p < kNumPresets; ++p)
      EXPECT_EQ(menu().getEntry(p), std::string(effect_->presetName(p))) << p;
    EXPECT_EQ(menu().getCurrentIndex(), effect_->getPresetNo());
    EXPECT_EQ(nameField().text(), effect_->presetName(static_cast<int>(effect_->getPresetNo())));
  };
  editor_->idle();
  EXPECT_EQ(nameField().text(), "Host renamed");
  showsTheBank();

  std::thread host([&] { effect_->setPresetNo(2); });
  host.join();
  EXPECT_EQ(menu().getCurrentIndex(), 5) << "nothing but the idle writes the strip";
  editor_->idle();
  showsTheBank();
}

TEST_F(PresetStrip, DefaultBankKeysWantADoubleClick) {
  const auto stored = [&] { return std::filesystem::exists(config_.value("DefaultBank")); };
  click(Editor::kDefaultBankTag);
  EXPECT_FALSE(stored()) << "a single click does nothing";
  click(Editor::kDefaultBankTag, kLButton | kDoubleClick);
  EXPECT_TRUE(stored());
  click(Editor::kDefaultBankTag, kLButton | kDoubleClick | kControl);
  EXPECT_FALSE(stored());
  // The next start-up keeps the factory bank.
  Tavola fresh(quietHost);
  EXPECT_EQ(std::string(fresh.presetName(3)), effect_->presetName(3));
}

TEST_F(PresetStrip, MemoryAStoredInOneInstanceIsRecalledInAnother) {
  effect_->setParameter(15, 0.125f);
  click(Editor::kStoreATag);
  Tavola* other = makeEffect();
  ADEditor* otherEditor = openEditor(*other);
  EXPECT_NE(other->getParameter(15), 0.125f);
  click(Editor::kRecallATag, kLButton, 0.5, otherEditor);
  EXPECT_EQ(other->getParameter(15), 0.125f);
  // B is a memory of its own.
  click(Editor::kRecallBTag, kLButton, 0.5, otherEditor);
  EXPECT_EQ(other->getParameter(15), 0.125f);
}

std::string madeFolder(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  return folder.string();
}

// The manual key with a home of the test's own and stand-ins for xdg-open and zenity.
class ManualKey : public PresetStrip {
 protected:
  ManualKey() { programs_.add("xdg-open", "", 0); }
  std::filesystem::path manualAt(const std::filesystem::path& documents) {
    return documents / "Tavola Audio" / "ZEB Tavola" / "ZEB Tavola Manual.pdf";
  }
  void waitForProgram(const std::string& name) {
    for (int i = 0; i < 500 && !programs_.ran(name); ++i) {
      editor_->idle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  tavola::test::TempFolder home_;
  tavola::test::StandInPrograms programs_;
  // A folder name a shell would choke on.
  std::filesystem::path homeFolder_ = home_.path() / "it's \"here\" $HOME";
  ScopedEnvironment home{"HOME", madeFolder(homeFolder_)};
  ScopedEnvironment path{"PATH",
                         programs_.path() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "")};
};

TEST_F(ManualKey, OpensTheInstalledManualWithXdgOpen) {
  const std::filesystem::path manual = manualAt(homeFolder_ / "Documents");
  std::filesystem::create_directories(manual.parent_path());
  std::ofstream(manual) << "%PDF-1.5\n";
  click(Editor::kManualTag);
  waitForProgram("xdg-open");
  EXPECT_EQ(programs_.argumentsOf("xdg-open"), std::vector<std::string>{manual.string()});
  EXPECT_FALSE(static_cast<CZBKickButton&>(control(Editor::kManualTag)).isPressed());
}

TEST_F(ManualKey, AMissingManualIsToldWithItsPlace) {
  programs_.add("zenity", "", 0);
  click(Editor::kManualTag);
  waitForProgram("zenity");
  EXPECT_FALSE(programs_.ran("xdg-open"));
  // Where it belongs, as the user would type it, and how it gets there.
  const std::string expected =
      "Could not open manual file:\n~/Documents/Tavola Audio/ZEB Tavola/ZEB Tavola Manual.pdf\n"
      "To install it, run scripts/install.sh in the plug-in's source folder, or copy ZEB "
      "Tavola Manual.pdf from its build folder into that folder.";
  const std::vector<std::string> arguments = programs_.argumentsOf("zenity");
  std::string joined;
  for (const std::string& line : arguments) joined += line + "\n";
  EXPECT_NE(joined.find("--text=" + expected + "\n"), std::string::npos) << joined;
  EXPECT_NE(takeStderr().find("ZEB Tavola: Could not open manual file: ~/Documents/Tavola Audio/"),
            std::string::npos);
}

TEST_F(ManualKey, AViewerThatFailsIsTold) {
  const std::filesystem::path manual = manualAt(homeFolder_ / "Documents");
  std::filesystem::create_directories(manual.parent_path());
  std::ofstream(manual) << "%PDF-1.5\n";
  programs_.add("xdg-open", "", 3);
  click(Editor::kManualTag);
  std::string told;
  for (int i = 0; i < 300 && told.find("Could not open manual") == std::string::npos; ++i) {
    editor_->idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    told += takeStderr();
  }
  EXPECT_NE(told.find("ZEB Tavola: Could not open manual file: ~/Documents/Tavola Audio/ZEB "
                      "Tavola/ZEB Tavola Manual.pdf xdg-open could not show it"),
            std::string::npos)
      << told;
}

}  // namespace
