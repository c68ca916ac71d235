#include "controls/CZBRockerSwitch.h"

#include "gui/CBitmap.h"

using namespace VSTGUI;

CZBRockerSwitch::CZBRockerSwitch(const CRect& size, CControlListener* listener, long tag,
                                 CCoord frameHeight, CBitmap* background, const CPoint& offset,
                                 long style)
    : CRockerSwitch(size, listener, tag, frameHeight, background, offset, style) {}

void CZBRockerSwitch::draw(CDrawContext* context) {
  if (background_) {
    // The strip always starts at the top of the picture.
    CCoord y = 0;
    if (hoverSide_ == -1) y = heightOfOneImage_;
    if (hoverSide_ == 1) y = 2 * heightOfOneImage_;
    if (value_ == -1.0f) y = 3 * heightOfOneImage_;
    if (value_ == 1.0f) y = 4 * heightOfOneImage_;
    background_->draw(context, size_, CPoint(0, y));
  }
  setDirty(false);
}

CMouseEventResult CZBRockerSwitch::onMouseDown(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  value_ = where.x < middle() ? -1.0f : 1.0f;
  invalid();
  if (listener_) listener_->valueChanged(this);
  return kMouseEventHandled;
}

CMouseEventResult CZBRockerSwitch::onMouseUp(CPoint&, const long&) {
  value_ = 0.0f;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZBRockerSwitch::onMouseEntered(CPoint& where, const long&) {
  hoverSide_ = where.x < middle() ? -1 : 1;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZBRockerSwitch::onMouseExited(CPoint&, const long&) {
  hoverSide_ = 0;
  invalid();
  return kMouseEventHandled;
}

CMouseEventResult CZBRockerSwitch::onMouseMoved(CPoint& where, const long& buttons) {
  if (buttons & kLButton) return kMouseEventHandled;
  return onMouseEntered(where, buttons);
}
