#pragma once
// The preset strip's rocker: five frames (idle, left half hovered, right half hovered, left
// pressed, right pressed). A click sends -1 on the left half and +1 on the right (the middle
// counts as right); the release shows the hovered half again.

#include "gui/CRockerSwitch.h"

class CZBRockerSwitch : public VSTGUI::CRockerSwitch {
 public:
  CZBRockerSwitch(const VSTGUI::CRect& size, VSTGUI::CControlListener* listener, long tag,
                  VSTGUI::CCoord frameHeight, VSTGUI::CBitmap* background,
                  const VSTGUI::CPoint& offset, long style);

  void draw(VSTGUI::CDrawContext* context) override;
  VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseEntered(VSTGUI::CPoint& where, const long& buttons) override;
  VSTGUI::CMouseEventResult onMouseExited(VSTGUI::CPoint& where, const long& buttons) override;

  // -1 over the left half, +1 over the right, 0 outside.
  int getHoverSide() const { return hoverSide_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CZBRockerSwitch") == 0 || CRockerSwitch::isTypeOf(name);
  }

 private:
  VSTGUI::CCoord middle() const { return (size_.left + size_.right) / 2; }

  int hoverSide_ = 0;
};
