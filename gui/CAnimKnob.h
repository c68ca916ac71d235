#pragma once
// A knob drawn from a film strip: a vertical strip of equally tall frames, the first for
// the minimum and the last for the maximum.

#include "gui/CKnob.h"

namespace VSTGUI {

class CAnimKnob : public CKnob {
 public:
  CAnimKnob(const CRect& size, CControlListener* listener, long tag, long subPixmaps,
            CCoord heightOfOneImage, CBitmap* background, const CPoint& offset = CPoint());

  // The nearest frame to the value.
  void draw(CDrawContext* context) override;

  void setNumSubPixmaps(long count) { subPixmaps_ = count; }
  long getNumSubPixmaps() const { return subPixmaps_; }
  void setHeightOfOneImage(CCoord height) { heightOfOneImage_ = height; }
  CCoord getHeightOfOneImage() const { return heightOfOneImage_; }

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CAnimKnob") == 0 || CKnob::isTypeOf(name);
  }

 protected:
  long subPixmaps_;
  CCoord heightOfOneImage_;
};

}  // namespace VSTGUI
