#pragma once
// A rotary control. The knob itself only answers the keyboard: while it has the focus the
// up and right arrows raise it and the down and left arrows lower it by the wheel
// increment (a tenth of it with Shift), each step one gesture for the host. Dragging and
// drawing belong to the panels' own knobs.

#include "gui/CControl.h"

namespace VSTGUI {

class CKnob : public CControl {
 public:
  CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background = nullptr,
        const CPoint& offset = CPoint());

  long onKeyDown(VstKeyCode& key) override;

  const CPoint& getOffset() const { return offset_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CKnob") == 0 || CControl::isTypeOf(name);
  }

 protected:
  CPoint offset_;
};

}  // namespace VSTGUI
