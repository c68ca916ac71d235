#include "gui/x11/X11ImageCopy.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace VSTGUI {
namespace {

constexpr int kByteOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// Where a mask's lowest bit is and how many bits it has.
void maskShape(unsigned long mask, int& shift, int& bits) {
  shift = mask ? std::countr_zero(mask) : 0;
  bits = std::popcount(mask);
}

unsigned long scaled(std::uint32_t channel, unsigned long mask) {
  int shift = 0, bits = 0;
  maskShape(mask, shift, bits);
  const unsigned long value = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
  return (value << shift) & mask;
}

}  // namespace

X11ImageCopy::X11ImageCopy(Display* display, Window window) : display_(display), drawable_(window) {
  // The window's own visual: a child takes its parent's, and a host's window may have a
  // visual other than the screen's default (32-bit ARGB under a compositor, say).
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) && attributes.visual) {
    visual_ = attributes.visual;
    depth_ = attributes.depth;
  } else {
    visual_ = DefaultVisual(display, DefaultScreen(display));
    depth_ = DefaultDepth(display, DefaultScreen(display));
  }
  gc_ = XCreateGC(display, window, 0, nullptr);
  // The image's memory is a valid ZPixmap for a 24-bit visual with 8-bit channels where
  // the server stores such pixels in 32 bits.
  int pixmapBits = 0;
  int formats = 0;
  if (XPixmapFormatValues* list = XListPixmapFormats(display, &formats)) {
    for (int i = 0; i < formats; ++i)
      if (list[i].depth == depth_) pixmapBits = list[i].bits_per_pixel;
    XFree(list);
  }
  // A 32-bit visual of the same channels is ARGB with premultiplied alpha, which is what
  // the image holds: it goes as it is too.
  direct_ = (depth_ == 24 || depth_ == 32) && pixmapBits == 32 && visual_->red_mask == 0xFF0000 &&
            visual_->green_mask == 0x00FF00 && visual_->blue_mask == 0x0000FF;
  const unsigned long depthMask = depth_ >= 32 ? 0xFFFFFFFFul : (1ul << depth_) - 1;
  alphaMask_ = depthMask & ~(visual_->red_mask | visual_->green_mask | visual_->blue_mask);
}

X11ImageCopy::~X11ImageCopy() {
  XFreeGC(display_, gc_);
}

void X11ImageCopy::copy(cairo_surface_t* image, int x, int y, int width, int height) {
  cairo_surface_flush(image);
  const int imageWidth = cairo_image_surface_get_width(image);
  const int imageHeight = cairo_image_surface_get_height(image);
  x = std::clamp(x, 0, imageWidth);
  y = std::clamp(y, 0, imageHeight);
  width = std::min(width, imageWidth - x);
  height = std::min(height, imageHeight - y);
  if (width <= 0 || height <= 0) return;
  auto* data = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
  const int stride = cairo_image_surface_get_stride(image);
  if (direct_) {
    XImage* ximage = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0,
                                  data, static_cast<unsigned>(imageWidth),
                                  static_cast<unsigned>(imageHeight), 32, stride);
    if (!ximage) return;
    // The memory is in this machine's order; Xlib converts if the server's differs.
    ximage->byte_order = kByteOrder;
    XPutImage(display_, drawable_, gc_, ximage, x, y, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    ximage->data = nullptr;  // the surface's memory, not the image's to free
    XDestroyImage(ximage);
    return;
  }
  XImage* ximage =
      XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                   static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
  if (!ximage) return;
  ximage->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(ximage->bytes_per_line),
                                                static_cast<std::size_t>(height)));
  if (!ximage->data) {
    XDestroyImage(ximage);
    return;
  }
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      std::uint32_t argb;
      std::memcpy(&argb, data + (y + row) * stride + 4 * (x + column), 4);
      const unsigned long pixel = scaled((argb >> 16) & 0xFF, visual_->red_mask) |
                                  scaled((argb >> 8) & 0xFF, visual_->green_mask) |
                                  scaled(argb & 0xFF, visual_->blue_mask) |
                                  scaled(argb >> 24, alphaMask_);
      XPutPixel(ximage, column, row, pixel);
    }
  XPutImage(display_, drawable_, gc_, ximage, 0, 0, x, y, static_cast<unsigned>(width),
            static_cast<unsigned>(height));
  XDestroyImage(ximage);  // frees the converted pixels too
}

}  // namespace VSTGUI
