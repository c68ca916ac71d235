#pragma once
// The preset strip's momentary button: three frames (normal, hovered, pressed). The press
// is the command; the release only redraws. One that needs a double click ignores single
// clicks and sends 0.5 for a Command double click.

#include "gui/CKickButton.h"

class CZBKickButton : public VSTGUI::CKickButton {
 public:
  CZBKickButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
                VSTGUI::CCoord frameHeight, VSTGUI::CBitmap* background,
                const VSTGUI::CPoint& offset, bool needsDoubleClick);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const long& buttons) override;

  bool isPressed() const { return pressed_; }
  // The owner ends the pressed look itself when the command took the release away (the
  // manual's viewer came up in front).
  void setPressed(bool pressed) { pressed_ = pressed; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CZBKickButton") == 0 || CKickButton::isTypeOf(name);
  }

 private:
  bool needsDoubleClick_;
  bool pressed_ = false;
};
