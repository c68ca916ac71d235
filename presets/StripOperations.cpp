// What the preset strip's controls ask of the preset system, and the strip's place in the
// editor's open, idle and close.

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "gui/CFrame.h"
#include "platform/ChildProcess.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetStrip.h"
#include "presets/XPlatFile.h"

using namespace VSTGUI;

namespace {

// A path as the user would type it: their home folder as "~".
std::string readablePath(const std::string& path) {
  const char* home = std::getenv("HOME");
  const std::string prefix = home && *home ? std::string(home) + "/" : std::string();
  if (!prefix.empty() && path.rfind(prefix, 0) == 0) return "~/" + path.substr(prefix.size());
  return path;
}

// What the user is told when no manual is installed: where it belongs and how it gets there.
std::string missingManualAlert(const std::string& path) {
  return "Could not open manual file:\n" + readablePath(path) +
         "\nTo install it, run scripts/install.sh in the plug-in's source folder, or copy " +
         CPresetSystemEditor::kManualFileName + " from its build folder into that folder.";
}

// What the user is told when the viewer did not show the manual.
std::string viewerAlert(const std::string& path, const std::string& why) {
  return "Could not open manual file:\n" + readablePath(path) + "\n" + why;
}

}  // namespace

void CPresetSystemEditor::buildPanel() {
  strip_ = std::make_unique<PresetStrip>(*frame_, bank_, this);
}

void CPresetSystemEditor::tearDownPanel() {
  // A name being typed is kept, while the strip still exists to take it.
  if (frame_) frame_->setFocusView(nullptr);
  // The dialog belongs to the panel the user saw: it goes with it.
  cancelFileDialog();
  strip_.reset();
}

void CPresetSystemEditor::idle() {
  pollFileDialog();
  pollManual();
  // Dialogs and alerts that ended since: no zombie waits for the next one.
  tavola::reapHandedOverPrograms();
  // Whatever changed the bank since (the host, a reader, another thread) shows now.
  if (strip_) strip_->refresh();
  AEffGUIEditor::idle();
}

CControl* CPresetSystemEditor::stripControl(long tag) const {
  return strip_ ? strip_->control(tag) : nullptr;
}

void CPresetSystemEditor::valueChanged(CControl* control) {
  if (!control || !strip_) return;
  const long tag = control->getTag();
  if (!PresetStrip::isStripTag(tag)) return;
  const float value = control->getValue();
  switch (tag) {
    case kNameFieldTag: {
      const std::string name = strip_->typedName();
      bank_.setPresetName(name.c_str());
      strip_->showTypedName(name);
      break;
    }
    case kPresetRockerTag: {
      long preset = bank_.getPresetNo();
      if (value > 0)
        preset = std::min<long>(preset + 1, kNumPresets - 1);
      else if (value < 0)
        preset = std::max<long>(preset - 1, 0);
      else
        return;
      const std::string name = bank_.presetName(static_cast<int>(preset));
      bank_.setPresetNo(preset);
      bank_.setPresetName(name.c_str());
      break;
    }
    case kLoadBankTag:
      loadBank(value == 0.5f);
      break;
    case kSaveBankTag:
      saveBank();
      break;
    case kLoadPresetTag:
      loadPreset(value == 0.5f);
      break;
    case kSavePresetTag:
      savePreset();
      break;
    case kPresetMenuTag: {
      const int index = static_cast<int>(value + 0.5f);
      if (index < 0 || index >= kNumPresets) return;
      const std::string title = bank_.presetName(index);
      bank_.setPresetNo(index);
      bank_.setPresetName(title.c_str());
      break;
    }
    case kDefaultBankTag:
      if (value >= 0.75f)
        saveDefaultBank();
      else
        resetDefaultBank();
      break;
    case kDefaultPresetTag:
      if (value >= 0.75f)
        saveDefaultPreset();
      else
        resetDefaultPreset();
      break;
    case kStoreATag:
      storeA();
      break;
    case kStoreBTag:
      storeB();
      break;
    case kRecallATag:
      recallA();
      break;
    case kRecallBTag:
      recallB();
      break;
    case kManualTag:
      openManual();
      strip_->releaseManualKey();
      break;
    default:
      // 98 to 103 are not used.
      break;
  }
  // What the control changed shows at once, not at the next idle.
  if (strip_) strip_->refresh();
}

void CPresetSystemEditor::nameChangedExternal(const char* /*name*/) {
  if (strip_) strip_->refresh();
}

void CPresetSystemEditor::nameChangedInternal(const char* name) {
  if (name) bank_.setPresetName(name);
  nameChangedExternal(name);
}

std::string CPresetSystemEditor::manualPath(const std::string& documentsFolder) {
  return documentsFolder + "/" + kMakerFolder + "/ZEB Tavola/" + kManualFileName;
}

void CPresetSystemEditor::openManual() {
  const std::string documents = tavola::documentsFolder();
  std::string path = manualPath(documents);
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    // Not installed for this user: the copy that came with the plug-in, if any.
    const std::string beside = tavola::ownFolder() + kManualFileName;
    if (!tavola::ownFolder().empty() && std::filesystem::is_regular_file(beside, error)) {
      path = beside;
    } else {
      alert(missingManualAlert(manualPath(documents)));
      return;
    }
  }
  if (!manualOpener_) manualOpener_ = std::make_unique<tavola::DocumentOpener>();
  std::string why;
  if (!manualOpener_->open(path, &why)) {
    alert(viewerAlert(path, why));
    return;
  }
  manualShown_ = path;
}

void CPresetSystemEditor::pollManual() {
  if (!manualOpener_) return;
  if (manualOpener_->poll() == tavola::DocumentOpener::State::kFailed)
    alert(viewerAlert(manualShown_,
                      "xdg-open could not show it: is a PDF viewer installed (for example "
                      "evince or okular)?"));
}
