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
  setDirty(true);
}

void CView::setViewSize(const CRect& size) {
  // What showed at the old place is the frame's to draw again; the view draws the new one.
  if (frame_) frame_->invalidRect(size_);
  size_ = size;
  mouseableArea_ = size;
  setDirty(true);
}

void CView::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  // Shown, the view draws there; hidden, what is below it does.
  if (frame_) frame_->invalidRect(size_);
}

void CView::setBackground(CBitmap* background) {
  if (background) background->remember();
  if (background_) background_->forget();
  background_ = background;
  setDirty(true);
}

}  // namespace VSTGUI
