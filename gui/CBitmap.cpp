#include "gui/CBitmap.h"

#include <cstdio>
#include <cstring>

#include "gui/CDrawContext.h"
#include "gui/ImageResources.h"

namespace VSTGUI {
namespace {

struct PngReader {
  const unsigned char* data;
  std::size_t size;
  std::size_t position = 0;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length) {
  auto* reader = static_cast<PngReader*>(closure);
  if (length > reader->size - reader->position) return CAIRO_STATUS_READ_ERROR;
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

CBitmap::CBitmap(long resourceId) : resourceId_(resourceId) {
  char name[32];
  std::snprintf(name, sizeof name, "bmp%05ld", resourceId);
  const ImageResource* image = findImageResource(name);
  if (!image) return;
  PngReader reader{image->png, image->size};
  cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(readPng, &reader);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  surface_ = surface;
  width_ = cairo_image_surface_get_width(surface);
  height_ = cairo_image_surface_get_height(surface);
}

CBitmap::CBitmap(int width, int height) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;
  }
  surface_ = surface;
  width_ = width;
  height_ = height;
}

CBitmap::~CBitmap() {
  if (surface_) cairo_surface_destroy(surface_);
}

void CBitmap::draw(CDrawContext* context, const CRect& destination, const CPoint& offset,
                   float alpha) const {
  if (!surface_ || !context || alpha <= 0.0f) return;
  // Only whole pixels of the picture: a frame of a strip never bleeds into its neighbour.
  CRect area = destination;
  area.bound(CRect(destination.left - offset.x, destination.top - offset.y,
                   destination.left - offset.x + width_, destination.top - offset.y + height_));
  if (area.isEmpty()) return;
  cairo_t* cr = context->cairo();
  cairo_save(cr);
  cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface_, destination.left - offset.x, destination.top - offset.y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  if (alpha >= 1.0f)
    cairo_paint(cr);
  else
    cairo_paint_with_alpha(cr, alpha);
  cairo_restore(cr);
}

}  // namespace VSTGUI
