#pragma once
// The preset strip's file button: a left click sends 1.0, a plain right click 0.5 (the
// other meaning of the button, such as an endian-reversed load). Three frames: normal,
// hovered, active. It takes no keys.

#include "gui/CKickButton.h"

class CSaveLoadButton : public VSTGUI::CKickButton {
 public:
  CSaveLoadButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
                  VSTGUI::CCoord frameHeight, VSTGUI::CBitmap* background,
                  const VSTGUI::CPoint& offset);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;
  long onKeyDown(VSTGUI::VstKeyCode&) override { return -1; }
  long onKeyUp(VSTGUI::VstKeyCode&) override { return -1; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CSaveLoadButton") == 0 || CKickButton::isTypeOf(name);
  }

 private:
};
