#include "presets/PresetStrip.h"

#include "controls/CSaveLoadButton.h"
#include "controls/CZBKickButton.h"
#include "controls/CZBRockerSwitch.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "gui/Utf8.h"
#include "presets/CPresetSystemEffect.h"
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

template <typename Button>
Button* makeButton(CFrame& frame, Button* button, CBitmap* bitmap) {
  frame.addView(button);
  bitmap->forget();
  return button;
}

}  // namespace

PresetStrip::PresetStrip(CFrame& frame, const CPresetSystemEffect& bank, CControlListener* listener)
    : bank_(bank), shownChange_(bank.changeCount()) {
  const int current = static_cast<int>(bank.getPresetNo());

  CBitmap* panelImage = stripBitmap(panel::kBackground);
  // The name field: as tall as its font and a margin, centred on the strip's middle.
  const int fontSize = static_cast<int>(kNormalFontSmall->size);
  const int middle = (panel::kNameField.top + panel::kNameField.bottom) / 2;
  const CRect nameRect(panel::kNameField.left, middle - fontSize / 2 - 2, panel::kNameField.right,
                       middle + fontSize / 2 + 2);
  nameField_ =
      new CTextEdit(nameRect, listener, kNameFieldTag, bank.presetName(current), panelImage);
  nameField_->setBackOffset(CPoint(nameRect.left, nameRect.top));
  nameField_->setFont(kNormalFontSmall);
  nameField_->setBackColor(CColor{209, 227, 238, 255});
  nameField_->setFontColor(CColor{36, 36, 32, 255});
  nameField_->setFrameColor(CColor{36, 36, 32, 255});
  nameField_->setHoriAlign(kCenterText);
  frame.addView(nameField_);

  presetMenu_ =
      new COptionMenu(rectOf(panel::kPresetMenuArea), listener, kPresetMenuTag, panelImage);
  presetMenu_->setBackOffset(CPoint(panel::kPresetMenuArea.left, panel::kPresetMenuArea.top));
  presetMenu_->setNbItemsPerColumn(12);
  presetMenu_->setStyle(7680);
  for (int preset = 0; preset < kNumPresets; ++preset)
    presetMenu_->addEntry(bank.presetName(preset));
  presetMenu_->setCurrent(current);
  frame.addView(presetMenu_);
  panelImage->forget();

  const auto frameHeight = [](CBitmap* bitmap, int frames) { return bitmap->getHeight() / frames; };
  const auto origin = [](panel::Area area) { return CPoint(area.left, area.top); };
  {
    CBitmap* bitmap = stripBitmap(panel::kPresetRocker);
    presetRocker_ = makeButton(frame,
                               new CZBRockerSwitch(rectOf(panel::kPresetRockerArea), listener,
                                                   kPresetRockerTag, frameHeight(bitmap, 5), bitmap,
                                                   origin(panel::kPresetRockerArea), kHorizontal),
                               bitmap);
  }
  const auto saveLoad = [&](panel::Area area, long tag, int image) {
    CBitmap* bitmap = stripBitmap(image);
    return makeButton(frame,
                      new CSaveLoadButton(rectOf(area), listener, tag, frameHeight(bitmap, 3),
                                          bitmap, CPoint(0, 0)),
                      bitmap);
  };
  const auto kick = [&](panel::Area area, long tag, int image, bool doubleClick) {
    CBitmap* bitmap = stripBitmap(image);
    return makeButton(frame,
                      new CZBKickButton(rectOf(area), listener, tag, frameHeight(bitmap, 3), bitmap,
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

void PresetStrip::refresh() {
  const std::uint32_t change = bank_.changeCount();
  if (change == shownChange_) return;
  shownChange_ = change;
  showBank();
}

void PresetStrip::showBank() {
  const int current = static_cast<int>(bank_.getPresetNo());
  for (int preset = 0; preset < kNumPresets; ++preset)
    presetMenu_->setEntry(preset, bank_.presetName(preset));
  presetMenu_->setCurrent(current);
  nameField_->setText(bank_.presetName(current));
}

std::string PresetStrip::typedName() const {
  const std::string& typed = nameField_->text();
  return typed.substr(0, utf8::cutPoint(typed, kNameFieldBytes));
}

void PresetStrip::showTypedName(const std::string& name) {
  shownChange_ = bank_.changeCount();
  nameField_->setText(name.c_str());
  presetMenu_->setEntry(presetMenu_->getCurrentIndex(), name.c_str());
}

void PresetStrip::releaseManualKey() {
  manualButton_->setPressed(false);
  manualButton_->setDirty(true);
}

CControl* PresetStrip::control(long tag) const {
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
