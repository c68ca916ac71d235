// The preset strip along the bottom of the open panel: its fourteen controls and what
// each asks of the preset system.

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "controls/CSaveLoadButton.h"
#include "controls/CZBKickButton.h"
#include "controls/CZBRockerSwitch.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "gui/Utf8.h"
#include "platform/ChildProcess.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/XPlatFile.h"
#include "resources/PanelLayout.h"

using namespace VSTGUI;
namespace panel = tavola::panel;

namespace {

CRect rectOf(panel::Area area) {
  return CRect(area.left, area.top, area.right, area.bottom);
}

// A bitmap of the strip, by resource number; the caller forgets it once the control holds
// its own reference.
CBitmap* stripBitmap(int id) {
  return new CBitmap(id);
}

// What the user is told when the manual cannot be opened: where it belongs.
std::string manualAlert() {
  return std::string("Could not open manual file:\n~/\"Documents/") +
         CPresetSystemEditor::kMakerFolder + "/ZEB Tavola/" + CPresetSystemEditor::kManualFileName +
         "\"";
}

template <typename Button>
Button* makeButton(CFrame& frame, Button* button, CBitmap* bitmap) {
  frame.addView(button);
  bitmap->forget();
  return button;
}

}  // namespace

void CPresetSystemEditor::buildPanel() {
  createStrip();
}

void CPresetSystemEditor::createStrip() {
  CPresetSystemEffect& effect = bank_;
  CFrame& frame = *frame_;
  const int current = static_cast<int>(effect.getPresetNo());

  CBitmap* panelImage = stripBitmap(panel::kBackground);
  // The name field: as tall as its font and a margin, centred on the strip's middle.
  const int fontSize = static_cast<int>(kNormalFontSmall->size);
  const int middle = (panel::kNameField.top + panel::kNameField.bottom) / 2;
  const CRect nameRect(panel::kNameField.left, middle - fontSize / 2 - 2, panel::kNameField.right,
                       middle + fontSize / 2 + 2);
  nameField_ = new CTextEdit(nameRect, this, kNameFieldTag, effect.presetName(current), panelImage);
  nameField_->setBackOffset(CPoint(nameRect.left, nameRect.top));
  nameField_->setFont(kNormalFontSmall);
  nameField_->setBackColor(CColor{209, 227, 238, 255});
  nameField_->setFontColor(CColor{36, 36, 32, 255});
  nameField_->setFrameColor(CColor{36, 36, 32, 255});
  nameField_->setHoriAlign(kCenterText);
  frame.addView(nameField_);

  presetMenu_ = new COptionMenu(rectOf(panel::kPresetMenuArea), this, kPresetMenuTag, panelImage);
  presetMenu_->setBackOffset(CPoint(panel::kPresetMenuArea.left, panel::kPresetMenuArea.top));
  presetMenu_->setNbItemsPerColumn(12);
  presetMenu_->setStyle(7680);
  for (int preset = 0; preset < kNumPresets; ++preset)
    presetMenu_->addEntry(effect.presetName(preset));
  presetMenu_->setCurrent(current);
  frame.addView(presetMenu_);
  panelImage->forget();

  const auto frameHeight = [](CBitmap* bitmap, int frames) { return bitmap->getHeight() / frames; };
  const auto origin = [](panel::Area area) { return CPoint(area.left, area.top); };
  {
    CBitmap* bitmap = stripBitmap(panel::kPresetRocker);
    presetRocker_ = makeButton(frame,
                               new CZBRockerSwitch(rectOf(panel::kPresetRockerArea), this,
                                                   kPresetRockerTag, frameHeight(bitmap, 5), bitmap,
                                                   origin(panel::kPresetRockerArea), kHorizontal),
                               bitmap);
  }
  const auto saveLoad = [&](panel::Area area, long tag, int image) {
    CBitmap* bitmap = stripBitmap(image);
    return makeButton(
        frame,
        new CSaveLoadButton(rectOf(area), this, tag, frameHeight(bitmap, 3), bitmap, CPoint(0, 0)),
        bitmap);
  };
  const auto kick = [&](panel::Area area, long tag, int image, bool doubleClick) {
    CBitmap* bitmap = stripBitmap(image);
    return makeButton(frame,
                      new CZBKickButton(rectOf(area), this, tag, frameHeight(bitmap, 3), bitmap,
                                        CPoint(0, 0), doubleClick),
                      bitmap);
  };
  loadBankButton_ = saveLoad(panel::kLoadBankArea, kLoadBankTag, panel::kLoadBankButton);
  saveBankButton_ = saveLoad(panel::kSaveBankArea, kSaveBankTag, panel::kSaveBankButton);
  defaultBankButton_ =
      kick(panel::kDefaultBankArea, kDefaultBankTag, panel::kDefaultBankButton, true);
  loadPresetButton_ = saveLoad(panel::kLoadPresetArea, kLoadPresetTag, panel::kLoadPresetButton);
  savePresetButton_ = saveLoad(panel::kSavePresetArea, kSavePresetTag, panel::kSavePresetButton);
  defaultPresetButton_ =
      kick(panel::kDefaultPresetArea, kDefaultPresetTag, panel::kDefaultPresetButton, true);
  recallAButton_ = kick(panel::kRecallAArea, kRecallATag, panel::kRecallAButton, false);
  storeAButton_ = kick(panel::kStoreAArea, kStoreATag, panel::kStoreAButton, false);
  recallBButton_ = kick(panel::kRecallBArea, kRecallBTag, panel::kRecallBButton, false);
  storeBButton_ = kick(panel::kStoreBArea, kStoreBTag, panel::kStoreBButton, false);
  manualButton_ = kick(panel::kManualArea, kManualTag, panel::kManualButton, false);
}

void CPresetSystemEditor::tearDownPanel() {
  // A name being typed is kept, while the strip still exists to take it.
  if (frame_) frame_->setFocusView(nullptr);
  // The dialog belongs to the panel the user saw: it goes with it.
  cancelFileDialog();
  nameField_ = nullptr;
  presetMenu_ = nullptr;
  presetRocker_ = nullptr;
  saveBankButton_ = loadBankButton_ = savePresetButton_ = loadPresetButton_ = nullptr;
  defaultBankButton_ = defaultPresetButton_ = nullptr;
  storeAButton_ = recallAButton_ = storeBButton_ = recallBButton_ = manualButton_ = nullptr;
}

void CPresetSystemEditor::idle() {
  pollFileDialog();
  pollManual();
  // Dialogs and alerts that ended since: no zombie waits for the next one.
  tavola::reapHandedOverPrograms();
  AEffGUIEditor::idle();
}

CControl* CPresetSystemEditor::stripControl(long tag) const {
  switch (tag) {
    case kNameFieldTag:
      return nameField_;
    case kPresetMenuTag:
      return presetMenu_;
    case kPresetRockerTag:
      return presetRocker_;
    case kLoadBankTag:
      return loadBankButton_;
    case kSaveBankTag:
      return saveBankButton_;
    case kDefaultBankTag:
      return defaultBankButton_;
    case kLoadPresetTag:
      return loadPresetButton_;
    case kSavePresetTag:
      return savePresetButton_;
    case kDefaultPresetTag:
      return defaultPresetButton_;
    case kStoreATag:
      return storeAButton_;
    case kRecallATag:
      return recallAButton_;
    case kStoreBTag:
      return storeBButton_;
    case kRecallBTag:
      return recallBButton_;
    case kManualTag:
      return manualButton_;
    default:
      return nullptr;
  }
}

void CPresetSystemEditor::valueChanged(CControl* control) {
  CPresetSystemEffect* effect = &bank_;
  if (!control) return;
  const long tag = control->getTag();
  if (tag < kNameFieldTag || tag > kManualTag) return;
  const float value = control->getValue();
  switch (tag) {
    case kNameFieldTag: {
      if (!nameField_) return;
      const std::string& typed = nameField_->text();
      const std::string name = typed.substr(0, VSTGUI::utf8::cutPoint(typed, kNameFieldBytes));
      nameField_->setText(name.c_str());
      if (presetMenu_) presetMenu_->setEntry(presetMenu_->getCurrentIndex(), name.c_str());
      effect->setPresetName(name.c_str());
      break;
    }
    case kPresetRockerTag: {
      long preset = effect->getPresetNo();
      if (value > 0)
        preset = std::min<long>(preset + 1, kNumPresets - 1);
      else if (value < 0)
        preset = std::max<long>(preset - 1, 0);
      else
        return;
      const std::string name = effect->presetName(static_cast<int>(preset));
      if (presetMenu_) presetMenu_->setCurrent(static_cast<int>(preset));
      if (nameField_) nameField_->setText(name.c_str());
      effect->setPresetNo(preset);
      effect->setPresetName(name.c_str());
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
      if (!presetMenu_) return;
      const int index = static_cast<int>(value + 0.5f);
      presetMenu_->setCurrent(index);
      const std::string title = presetMenu_->getEntry(index);
      effect->setPresetNo(index);
      effect->setPresetName(title.c_str());
      if (nameField_) nameField_->setText(title.c_str());
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
      if (manualButton_) {
        manualButton_->setPressed(false);
        manualButton_->setDirty(true);
      }
      break;
    default:
      // 98 to 103 are not used.
      break;
  }
}

void CPresetSystemEditor::nameChangedExternal(const char* name) {
  if (!name) return;
  if (nameField_) nameField_->setText(name);
  if (presetMenu_) presetMenu_->setEntry(presetMenu_->getCurrentIndex(), name);
}

void CPresetSystemEditor::nameChangedInternal(const char* name) {
  nameChangedExternal(name);
  if (name) bank_.setPresetName(name);
}

void CPresetSystemEditor::presetNameShown(int preset, const char* name) {
  if (!presetMenu_) return;
  presetMenu_->setCurrent(preset);
  presetMenu_->setEntry(preset, name);
}

void CPresetSystemEditor::currentPresetShown(int preset, const char* name) {
  if (presetMenu_) presetMenu_->setCurrent(preset);
  if (nameField_) nameField_->setText(name);
}

void CPresetSystemEditor::frameInvalidated() {
  if (frame_) frame_->setDirty(true);
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
      XPlatDisplayAlert(manualAlert());
      return;
    }
  }
  if (!manualOpener_) manualOpener_ = std::make_unique<tavola::DocumentOpener>();
  std::string why;
  if (!manualOpener_->open(path, &why)) {
    XPlatDisplayAlert(std::string("Could not open manual file:\n") + path + " (" + why + ")");
    return;
  }
}

void CPresetSystemEditor::pollManual() {
  if (!manualOpener_) return;
  if (manualOpener_->poll() == tavola::DocumentOpener::State::kFailed)
    XPlatDisplayAlert(manualAlert());
}
