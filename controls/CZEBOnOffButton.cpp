#include "controls/CZEBOnOffButton.h"

#include "gui/CBitmap.h"

using namespace VSTGUI;

CZEBOnOffButton::CZEBOnOffButton(const CRect& size, CControlListener* listener, long tag,
                                 CBitmap* background, long style)
    : CControl(size, listener, tag, background), style_(style) {}

void CZEBOnOffButton::draw(CDrawContext* context) {
  if (background_) {
    const CPoint offset(0, value_ >= 0.5f ? background_->getHeight() * 0.5 : 0);
    background_->draw(context, size_, offset);
  }
  setDirty(false);
}

CMouseEventResult CZEBOnOffButton::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = static_cast<int>(value_ + 0.5f) != 0 ? 0.0f : 1.0f;
  beginEdit();
  if (listener_) listener_->valueChanged(this);
  endEdit();
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
