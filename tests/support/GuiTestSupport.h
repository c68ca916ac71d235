#pragma once
// Film strips made in memory for the toolkit's tests, registered under their resource
// names, a look at single pixels of a frame's buffer, and the mouse on a frame.

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "gui/CColor.h"
#include "gui/CFrame.h"
#include "gui/ImageResources.h"

namespace gui_test {

// A strip of `frames` frames of width x frameHeight, frame k filled with colours[k].
inline std::vector<unsigned char> stripPng(int width, int frameHeight,
                                           const std::vector<VSTGUI::CColor>& colours) {
  const int frames = static_cast<int>(colours.size());
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, frameHeight * frames);
  cairo_t* cr = cairo_create(surface);
  for (int k = 0; k < frames; ++k) {
    const VSTGUI::CColor& c = colours[static_cast<std::size_t>(k)];
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
    cairo_rectangle(cr, 0, k * frameHeight, width, frameHeight);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  std::vector<unsigned char> png;
  cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* data, unsigned int length) {
        auto* out = static_cast<std::vector<unsigned char>*>(closure);
        out->insert(out->end(), data, data + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &png);
  cairo_surface_destroy(surface);
  return png;
}

// Keeps a table of images registered for as long as it lives.
class RegisteredImages {
 public:
  void add(const char* name, std::vector<unsigned char> png) {
    pngs_.push_back(std::move(png));
    names_.push_back(name);
  }
  void publish() {
    for (std::size_t i = 0; i < pngs_.size(); ++i)
      table_.push_back({names_[i].c_str(), pngs_[i].data(), pngs_[i].size()});
    VSTGUI::registerImageResources(table_);
  }
  ~RegisteredImages() { VSTGUI::unregisterImageResources(table_); }

 private:
  std::vector<std::vector<unsigned char>> pngs_;
  std::vector<std::string> names_;
  std::vector<VSTGUI::ImageResource> table_;
};

// The colour of one pixel of the frame's buffer, un-premultiplied.
inline VSTGUI::CColor pixel(const VSTGUI::CFrame& frame, int x, int y) {
  cairo_surface_t* buffer = frame.getBuffer();
  cairo_surface_flush(buffer);
  const unsigned char* row =
      cairo_image_surface_get_data(buffer) + y * cairo_image_surface_get_stride(buffer);
  std::uint32_t argb;
  std::memcpy(&argb, row + 4 * x, 4);
  const unsigned alpha = argb >> 24;
  auto channel = [&](int shift) {
    const unsigned value = (argb >> shift) & 0xFF;
    return static_cast<std::uint8_t>(alpha ? (value * 255 + alpha / 2) / alpha : 0);
  };
  return {channel(16), channel(8), channel(0), static_cast<std::uint8_t>(alpha)};
}

// The mouse on a frame as its window hands it over. The buttons of a release are those
// still held after it.
class FrameMouse {
 public:
  explicit FrameMouse(VSTGUI::CFrame& frame) : frame_(frame) {}
  VSTGUI::CMouseEventResult down(double x, double y, long buttons = VSTGUI::kLButton) {
    VSTGUI::CPoint where(x, y);
    return frame_.onMouseDown(where, buttons);
  }
  void move(double x, double y, long buttons = VSTGUI::kLButton) {
    VSTGUI::CPoint where(x, y);
    frame_.onMouseMoved(where, buttons);
  }
  void up(double x, double y, long stillHeld = 0) {
    VSTGUI::CPoint where(x, y);
    frame_.onMouseUp(where, stillHeld);
  }

 private:
  VSTGUI::CFrame& frame_;
};

}  // namespace gui_test

namespace VSTGUI {
inline void PrintTo(const CColor& c, std::ostream* out) {
  *out << "rgba(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << ", "
       << int(c.alpha) << ")";
}
}  // namespace VSTGUI
