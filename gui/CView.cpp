#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace VSTGUI {

CView::CView(const CRect& size) : size_(size), mouseableArea_(size) {}

CView::~CView() {
  if (background_) background_->forget();
}

void CView::draw(CDrawContext* context) {
  if (background_) background_->draw(context, size_, backOffset_);
  setDirty(false);
}

CMouseEventResult CView::onMouseDown(CPoint&, const long&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseUp(CPoint&, const long&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseMoved(CPoint&, const long&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseEntered(CPoint&, const long&) {
  return kMouseEventNotHandled;
}
CMouseEventResult CView::onMouseExited(CPoint&, const long&) {
  return kMouseEventNotHandled;
}
bool CView::onWheel(const CPoint&, const float&, const long&) {
  return false;
}
long CView::onKeyDown(VstKeyCode&) {
  return -1;
}
long CView::onKeyUp(VstKeyCode&) {
  return -1;
}

void CView::invalid() {
  if (frame_) frame_->invalidRect(size_);
}

void CView::setViewSize(const CRect& size) {
  // Both the old and the new place must be drawn again.
  invalid();
  size_ = size;
  mouseableArea_ = size;
  invalid();
}

void CView::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  invalid();
}

void CView::setBackground(CBitmap* background) {
  if (background) background->remember();
  if (background_) background_->forget();
  background_ = background;
  setDirty(true);
}

}  // namespace VSTGUI
