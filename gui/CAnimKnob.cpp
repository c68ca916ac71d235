#include "gui/CAnimKnob.h"

#include <algorithm>

#include "gui/CBitmap.h"

namespace VSTGUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
                     CCoord heightOfOneImage, CBitmap* background, const CPoint& offset)
    : CKnob(size, listener, tag, background, offset),
      subPixmaps_(subPixmaps),
      heightOfOneImage_(heightOfOneImage) {}

void CAnimKnob::draw(CDrawContext* context) {
  const float range = max_ - min_;
  const float position = range > 0.0f ? (value_ - min_) / range : 0.0f;
  long frame = 0;
  if (position > 0.0f) frame = static_cast<long>(position * (subPixmaps_ - 1) + 0.5f);
  frame = std::clamp(frame, 0L, std::max(0L, subPixmaps_ - 1));
  if (background_) background_->draw(context, size_, CPoint(0, frame * heightOfOneImage_));
  setDirty(false);
}

}  // namespace VSTGUI
