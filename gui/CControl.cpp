#include "gui/CControl.h"

#include <cmath>

#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"

namespace VSTGUI {

CControl::CControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CView(size), listener_(listener), tag_(tag) {
  setBackground(background);
  // Drawn once when first shown, whatever the first value.
  oldValue_ = value_ + 1.0f;
}

void CControl::setValue(float value, bool notify) {
  if (value == value_) return;
  value_ = value;
  if (notify && listener_) listener_->valueChanged(this);
}

void CControl::bounceValue() {
  // NaN fails both tests; it becomes the minimum.
  if (!(value_ <= max_)) value_ = value_ > max_ ? max_ : min_;
  if (!(value_ >= min_)) value_ = min_;
}

void CControl::beginEdit() {
  if (inGesture_ || !frame_ || !frame_->getEditor()) return;
  inGesture_ = true;
  frame_->getEditor()->beginEdit(tag_);
}

void CControl::endEdit() {
  if (!inGesture_) return;
  inGesture_ = false;
  if (frame_ && frame_->getEditor()) frame_->getEditor()->endEdit(tag_);
}

void CControl::changedInOneGesture() {
  const bool own = !inGesture_;
  if (own) beginEdit();
  if (listener_) listener_->valueChanged(this);
  if (own) endEdit();
}

void CControl::onMouseCancel() {
  endEdit();
}

void CControl::removed() {
  endEdit();
  CView::removed();
}

bool CControl::isDirty() const {
  // A NaN value counts as drawn once drawn, or the control would redraw at every idle.
  const bool drawn = oldValue_ == value_ || (std::isnan(oldValue_) && std::isnan(value_));
  return !drawn || CView::isDirty();
}

void CControl::setDirty(bool dirty) {
  CView::setDirty(dirty);
  if (dirty)
    oldValue_ = value_ != -1.0f ? -1.0f : 0.0f;
  else
    oldValue_ = value_;
}

}  // namespace VSTGUI
