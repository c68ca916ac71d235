#include "controls/CZBKickButton.h"

#include "gui/CBitmap.h"

using namespace VSTGUI;

CZBKickButton::CZBKickButton(const CRect& size, CControlListener* listener, long tag,
                             CCoord frameHeight, CBitmap* background, const CPoint& offset,
                             bool needsDoubleClick)
    : CKickButton(size, listener, tag, frameHeight, background, offset),
      needsDoubleClick_(needsDoubleClick) {}

void CZBKickButton::draw(CDrawContext* context) {
  if (background_) {
    const int frame = pressed_ ? 2 : hovered_ ? 1 : 0;
    background_->draw(context, size_, CPoint(offset_.x, offset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

CMouseEventResult CZBKickButton::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  if (needsDoubleClick_ && !(buttons & kDoubleClick))
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  pressed_ = true;
  value_ = needsDoubleClick_ && (buttons & kControl) ? 0.5f : 1.0f;
  if (listener_) listener_->valueChanged(this);
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZBKickButton::onMouseUp(CPoint&, const long&) {
  value_ = 0.0f;
  pressed_ = false;
  invalid();
  return kMouseEventHandled;
}
