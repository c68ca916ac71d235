#include "controls/CSaveLoadButton.h"

#include "gui/CBitmap.h"

using namespace VSTGUI;

CSaveLoadButton::CSaveLoadButton(const CRect& size, CControlListener* listener, long tag,
                                 CCoord frameHeight, CBitmap* background, const CPoint& offset)
    : CKickButton(size, listener, tag, frameHeight, background, offset) {}

void CSaveLoadButton::draw(CDrawContext* context) {
  if (background_) {
    const int frame = value_ != 0.0f ? 2 : hovered_ ? 1 : 0;
    background_->draw(context, size_, CPoint(offset_.x, offset_.y + frame * heightOfOneImage_));
  }
  setDirty(false);
}

CMouseEventResult CSaveLoadButton::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & (kLButton | kRButton)) || !listener_) return kMouseEventNotHandled;
  value_ = buttons == kRButton ? 0.5f : 1.0f;
  listener_->valueChanged(this);
  value_ = 0.0f;
  invalid();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
