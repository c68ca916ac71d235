#pragma once
// A momentary button: at the maximum while held with the pointer on it, at the minimum
// otherwise. Return works it from the keyboard. It knows when the pointer is over it, for
// buttons that draw a hovered frame.

#include "gui/CControl.h"

namespace VSTGUI {

class CKickButton : public CControl {
 public:
  CKickButton(const CRect& size, CControlListener* listener, long tag, CCoord heightOfOneImage,
              CBitmap* background, const CPoint& offset = CPoint());

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseUp(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseMoved(CPoint& where, const long& buttons) override;
  long onKeyDown(VstKeyCode& key) override;
  long onKeyUp(VstKeyCode& key) override;
  CMouseEventResult onMouseEntered(CPoint& where, const long& buttons) override;
  CMouseEventResult onMouseExited(CPoint& where, const long& buttons) override;
  bool isHovered() const { return hovered_; }

  CCoord getHeightOfOneImage() const { return heightOfOneImage_; }
  const CPoint& getOffset() const { return offset_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CKickButton") == 0 || CControl::isTypeOf(name);
  }

 protected:
  // True when the point is on the button, its edges included.
  bool touches(const CPoint& where) const;

  CCoord heightOfOneImage_;
  CPoint offset_;
  bool hovered_ = false;
};

}  // namespace VSTGUI
