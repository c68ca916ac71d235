#include "gui/CRockerSwitch.h"

#include "gui/CBitmap.h"

namespace VSTGUI {

CRockerSwitch::CRockerSwitch(const CRect& size, CControlListener* listener, long tag,
                             CCoord heightOfOneImage, CBitmap* background, const CPoint& offset,
                             long style)
    : CControl(size, listener, tag, background),
      heightOfOneImage_(heightOfOneImage),
      offset_(offset),
      style_(style) {
  min_ = -1.0f;
  max_ = 1.0f;
  default_ = 0.0f;
  value_ = 0.0f;
  oldValue_ = 1.0f;
}

void CRockerSwitch::draw(CDrawContext* context) {
  CPoint where = offset_;
  if (value_ == max_)
    where.y += 2 * heightOfOneImage_;
  else if (value_ != min_)
    where.y += heightOfOneImage_;
  if (background_) background_->draw(context, size_, where);
  setDirty(false);
}

CMouseEventResult CRockerSwitch::onMouseDown(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const bool first = style_ & kVertical ? where.y < (size_.top + size_.bottom) / 2
                                        : where.x < (size_.left + size_.right) / 2;
  beginEdit();
  value_ = first ? min_ : max_;
  invalid();
  if (listener_) listener_->valueChanged(this);
  return kMouseEventHandled;
}

CMouseEventResult CRockerSwitch::onMouseUp(CPoint&, const long&) {
  value_ = 0.0f;
  invalid();
  if (listener_) listener_->valueChanged(this);
  endEdit();
  return kMouseEventHandled;
}

bool CRockerSwitch::onWheel(const CPoint&, const float& distance, const long&) {
  if (!wheelPushed_) beginEdit();
  wheelPushed_ = true;
  returnAt_ = now() + kWheelReturn;
  value_ = distance > 0 ? min_ : max_;
  invalid();
  if (listener_) listener_->valueChanged(this);
  return true;
}

void CRockerSwitch::onIdle() {
  if (wheelPushed_ && now() >= returnAt_) springBack();
}

void CRockerSwitch::springBack() {
  wheelPushed_ = false;
  value_ = 0.0f;
  invalid();
  if (listener_) listener_->valueChanged(this);
  endEdit();
}

}  // namespace VSTGUI
