#pragma once
// A picture for drawing, loaded by resource number N from the embedded PNG named
// "bmpNNNNN", or made blank in memory. Film strips are drawn a frame at a time by giving
// the source offset of the frame.

#include <cairo.h>

#include "gui/CBaseObject.h"
#include "gui/CRect.h"

namespace VSTGUI {

class CDrawContext;

class CBitmap : public CBaseObject {
 public:
  // A missing or unreadable resource gives a bitmap of size 0 that draws nothing.
  explicit CBitmap(long resourceId);
  // Transparent, for drawing into.
  CBitmap(int width, int height);
  ~CBitmap() override;

  bool isLoaded() const { return surface_ != nullptr; }
  CCoord getWidth() const { return width_; }
  CCoord getHeight() const { return height_; }
  long getResourceId() const { return resourceId_; }
  // The pixels, premultiplied ARGB; null when not loaded.
  cairo_surface_t* surface() const { return surface_; }

  // Draws the part of the picture that starts at `offset` into `destination` (as large as
  // the destination, cut at the picture's edges), with the given opacity.
  void draw(CDrawContext* context, const CRect& destination, const CPoint& offset = CPoint(),
            float alpha = 1.0f) const;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CBitmap") == 0 || CBaseObject::isTypeOf(name);
  }

 private:
  cairo_surface_t* surface_ = nullptr;
  CCoord width_ = 0;
  CCoord height_ = 0;
  long resourceId_ = -1;
};

}  // namespace VSTGUI
