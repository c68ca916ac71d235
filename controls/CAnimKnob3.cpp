#include "controls/CAnimKnob3.h"

#include <algorithm>

#include "gui/CBitmap.h"

using namespace VSTGUI;

CAnimKnob3::CAnimKnob3(const CRect& size, CControlListener* listener, long tag, int frameCount,
                       int /*width*/, int frameHeight, CBitmap* background, const CPoint& offset)
    : CAnimKnob(size, listener, tag, frameCount, frameHeight, background, offset) {}

void CAnimKnob3::draw(CDrawContext* context) {
  long frame = 0;
  if (value_ > 0.0f) {
    if (framePick_ == FramePick::kStepInUse)
      frame = static_cast<long>(static_cast<double>(subPixmaps_ - 1) *
                                std::min(static_cast<double>(value_), 64.0));
    else
      frame = static_cast<long>(value_ * static_cast<float>(subPixmaps_ - 1) + 0.5f);
  }
  // Values beyond the range still show a frame of the strip.
  frame = std::clamp(frame, 0L, std::max(0L, subPixmaps_ - 1));
  if (background_) background_->draw(context, size_, CPoint(0, frame * heightOfOneImage_));
  setDirty(false);
}

float CAnimKnob3::dragRangeFor(long buttons) {
  fineMode_ = (buttons & kShift) != 0;
  const double range = 1000.0 * rangeZoom * (fineMode_ ? shiftZoom_ : 1.0);
  return static_cast<float>(range);
}

CMouseEventResult CAnimKnob3::onMouseDown(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton) || !listener_) return kMouseEventNotHandled;
  if (buttons & (kControl | kDoubleClick)) {
    const float before = value_;
    value_ = getDefaultValue();
    if (value_ != before) {
      invalid();
      changedInOneGesture();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  beginEdit();
  entryValue_ = value_;
  dragRange_ = dragRangeFor(buttons);
  dragCoef_ = (max_ - min_) / dragRange_;
  dragButtons_ = buttons;
  downPoint_ = lastPoint_ = dragAccumulator_ = where;
  return onMouseMoved(where, buttons);
}

CMouseEventResult CAnimKnob3::onMouseMoved(CPoint& where, const long& buttons) {
  if (!(buttons & kLButton)) return kMouseEventNotHandled;
  const float step = static_cast<float>(2.0 * (lastPoint_.y - where.y) + (where.x - lastPoint_.x));
  dragAccumulator_.x += step;
  lastPoint_ = where;
  const float distance =
      static_cast<float>((downPoint_.y - dragAccumulator_.y) + (dragAccumulator_.x - downPoint_.x));
  if (buttons != dragButtons_) {
    dragRange_ = dragRangeFor(buttons);
    const float coef = (max_ - min_) / dragRange_;
    entryValue_ += (dragCoef_ - coef) * distance;
    dragCoef_ = coef;
    dragButtons_ = buttons;
  }
  const float before = value_;
  value_ = entryValue_ + distance * dragCoef_;
  bounceValue();
  // Dragging on past an end of the range sends nothing more.
  if (value_ != before) {
    invalid();
    if (listener_) listener_->valueChanged(this);
  }
  return kMouseEventHandled;
}

CMouseEventResult CAnimKnob3::onMouseUp(CPoint&, const long&) {
  fineMode_ = false;
  endEdit();
  return kMouseEventHandled;
}

bool CAnimKnob3::onWheel(const CPoint&, const float& distance, const long& buttons) {
  const float before = value_;
  value_ += distance * ((buttons & kShift) ? 0.001f : 0.01f);
  bounceValue();
  if (value_ != before && listener_) {
    invalid();
    changedInOneGesture();
  }
  return true;
}
