#pragma once
// The panel's on/off switch: a two-frame strip, off above and on below. A left click turns
// it over (any value from 0.5 up counts as on) inside one edit bracket.

#include "gui/CControl.h"

class CZEBOnOffButton : public VSTGUI::CControl {
 public:
  CZEBOnOffButton(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
                  VSTGUI::CBitmap* background, long style = 0);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;

  // Kept for the owner; it changes neither drawing nor the mouse.
  long getStyle() const { return style_; }
  void setStyle(long style) { style_ = style; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CZEBOnOffButton") == 0 || CControl::isTypeOf(name);
  }

 private:
  long style_;
};
