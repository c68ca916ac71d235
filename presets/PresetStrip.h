#pragma once
// The preset strip along the bottom of the open panel: the name field, the preset menu and
// rocker, the bank and preset file buttons, the default buttons, memories A and B and the
// manual key. The name field and the menu show the bank, and only the strip writes them:
// at every refresh where the bank's change count has moved, every name and the current
// preset go into them. What a control asks for goes to the listener.
//
// Threads: the host's user-interface thread. The bank may change on any thread; the strip
// learns of it only through the change count.

#include <cstddef>
#include <cstdint>
#include <string>

class CPresetSystemEffect;
class CSaveLoadButton;
class CZBKickButton;
class CZBRockerSwitch;

namespace VSTGUI {
class CControl;
class CControlListener;
class CFrame;
class COptionMenu;
class CTextEdit;
}  // namespace VSTGUI

class PresetStrip {
 public:
  enum Tag : long {
    kNameFieldTag = 92,
    kPresetRockerTag = 93,
    kLoadBankTag = 94,
    kSaveBankTag = 95,
    kLoadPresetTag = 96,
    kSavePresetTag = 97,
    kPresetMenuTag = 104,
    kDefaultBankTag = 105,
    kDefaultPresetTag = 106,
    kStoreATag = 107,
    kStoreBTag = 108,
    kRecallATag = 109,
    kRecallBTag = 110,
    kManualTag = 111,
  };
  static constexpr bool isStripTag(long tag) { return tag >= kNameFieldTag && tag <= kManualTag; }
  // The longest name the name field keeps, in bytes (the preset keeps one less).
  static constexpr std::size_t kNameFieldBytes = 24;

  // Adds the strip's controls to `frame`, which owns them, showing `bank` as it is.
  PresetStrip(VSTGUI::CFrame& frame, const CPresetSystemEffect& bank,
              VSTGUI::CControlListener* listener);
  PresetStrip(const PresetStrip&) = delete;
  PresetStrip& operator=(const PresetStrip&) = delete;

  // The bank into the name field and the menu, when it changed since they last showed it.
  void refresh();
  // The name typed into the field, cut between characters to what the field keeps.
  std::string typedName() const;
  // After the bank took a typed name: the field and the current menu entry keep all of it
  // (a byte more than the preset keeps) until the bank changes again.
  void showTypedName(const std::string& name);
  // The strip's control of a tag, else null.
  VSTGUI::CControl* control(long tag) const;
  // The manual key springs back once the manual is asked for.
  void releaseManualKey();

 private:
  void showBank();

  const CPresetSystemEffect& bank_;
  std::uint32_t shownChange_ = 0;

  // The frame owns the controls.
  VSTGUI::CTextEdit* nameField_ = nullptr;
  VSTGUI::COptionMenu* presetMenu_ = nullptr;
  CZBRockerSwitch* presetRocker_ = nullptr;
  CSaveLoadButton* saveBankButton_ = nullptr;
  CSaveLoadButton* loadBankButton_ = nullptr;
  CZBKickButton* defaultBankButton_ = nullptr;
  CSaveLoadButton* savePresetButton_ = nullptr;
  CSaveLoadButton* loadPresetButton_ = nullptr;
  CZBKickButton* defaultPresetButton_ = nullptr;
  CZBKickButton* storeAButton_ = nullptr;
  CZBKickButton* recallAButton_ = nullptr;
  CZBKickButton* storeBButton_ = nullptr;
  CZBKickButton* recallBButton_ = nullptr;
  CZBKickButton* manualButton_ = nullptr;
};
