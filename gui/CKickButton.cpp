#include "gui/CKickButton.h"

#include "gui/CBitmap.h"

namespace VSTGUI {

CKickButton::CKickButton(const CRect& size, CControlListener* listener, long tag,
                         CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CControl(size, listener, tag, background),
      heightOfOneImage_(heightOfOneImage),
      offset_(offset) {}

void CKickButton::draw(CDrawContext* context) {
  CPoint where(offset_.x, offset_.y);
  if (value_ == max_) where.y += heightOfOneImage_;
  if (background_) background_->draw(context, size_, where);
  setDirty(false);
}

bool CKickButton::touches(const CPoint& where) const {
  return where.x >= size_.left && where.x <= size_.right && where.y >= size_.top &&
         where.y <= size_.bottom;
}

CMouseEventResult CKickButton::onMouseDown(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  beginEdit();
  return onMouseMoved(where, buttons);
}

CMouseEventResult CKickButton::onMouseMoved(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const float value = touches(where) ? max_ : min_;
  if (value != value_) {
    value_ = value;
    invalid();
  }
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseUp(CPoint& where, const long&) {
  // Released on the button: the press counts.
  if (value_ == max_ && touches(where) && listener_) listener_->valueChanged(this);
  value_ = min_;
  if (listener_) listener_->valueChanged(this);
  invalid();
  endEdit();
  return kMouseEventHandled;
}

long CKickButton::onKeyDown(VstKeyCode& key) {
  if (key.virt != VKEY_RETURN || key.modifier != 0) return -1;
  value_ = max_;
  invalid();
  if (listener_) listener_->valueChanged(this);
  return 1;
}

long CKickButton::onKeyUp(VstKeyCode& key) {
  if (key.virt != VKEY_RETURN) return -1;
  value_ = min_;
  invalid();
  if (listener_) listener_->valueChanged(this);
  return 1;
}

CMouseEventResult CKickButton::onMouseEntered(CPoint&, const long&) {
  hovered_ = true;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CKickButton::onMouseExited(CPoint&, const long&) {
  hovered_ = false;
  invalid();
  return kMouseEventHandled;
}

}  // namespace VSTGUI
