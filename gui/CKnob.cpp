#include "gui/CKnob.h"

namespace VSTGUI {

CKnob::CKnob(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
             const CPoint& offset)
    : CControl(size, listener, tag, background), offset_(offset) {
  setWantsFocus(true);
}

long CKnob::onKeyDown(VstKeyCode& key) {
  float direction = 0.0f;
  switch (key.virt) {
    case VKEY_UP:
    case VKEY_RIGHT:
      direction = 1.0f;
      break;
    case VKEY_DOWN:
    case VKEY_LEFT:
      direction = -1.0f;
      break;
    default:
      return -1;
  }
  float step = wheelInc_ * direction;
  if (key.modifier & MODIFIER_SHIFT) step *= 0.1f;
  const float before = value_;
  value_ += step;
  bounceValue();
  // At an end of the range a step changes nothing, and the host hears nothing.
  if (value_ != before) {
    invalid();
    changedInOneGesture();
  }
  return 1;
}

}  // namespace VSTGUI
