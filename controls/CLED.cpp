#include "controls/CLED.h"

#include "gui/CBitmap.h"

using namespace VSTGUI;

CLED::CLED(const CRect& size, CControlListener* listener, long tag, CBitmap* bitmap)
    : CControl(size, listener, tag, nullptr), bitmap_(bitmap) {
  if (bitmap_) {
    bitmap_->remember();
    const CCoord height = bitmap_->getHeight();
    litOffset_ = CPoint(0, 2 * height / 3);
    heldOffset_ = CPoint(0, height / 3);
  }
  value_ = 0.0f;
}

CLED::~CLED() {
  if (bitmap_) bitmap_->forget();
}

void CLED::setValue(float value, bool /*notify*/) {
  oldValue_ = value_;
  value_ = value;
}

void CLED::draw(CDrawContext* context) {
  if (!bitmap_) return CView::setDirty(false);
  const CPoint& offset = value_ > 0.5f ? litOffset_ : value_ == 0.5f ? heldOffset_ : offOffset_;
  bitmap_->draw(context, size_, offset, 1.0f);
  // Drawn; the value change test stays as setValue left it.
  CView::setDirty(false);
}

CMouseEventResult CLED::onMouseDown(CPoint&, const long& buttons) {
  if (!(buttons & kLButton) || !listener_) return kMouseEventNotHandled;
  resetHold();
  listener_->valueChanged(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
