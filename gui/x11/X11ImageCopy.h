#pragma once
// Copies part of an ARGB32 cairo image onto an X window with XPutImage, in the window's
// own visual. The panel is always drawn into an image first, so the window needs no
// drawing library of its own: on the usual 24-bit true-colour visual (and its 32-bit ARGB
// sibling) the image's memory goes to the server as it is, and on any other true-colour
// visual each pixel is converted on the way.

#include <X11/Xlib.h>
#include <cairo.h>

namespace VSTGUI {

class X11ImageCopy {
 public:
  X11ImageCopy(Display* display, Window window);
  ~X11ImageCopy();
  X11ImageCopy(const X11ImageCopy&) = delete;
  X11ImageCopy& operator=(const X11ImageCopy&) = delete;

  // `image` is an ARGB32 image surface; the area is in its pixels and lands at the same
  // place on the drawable.
  void copy(cairo_surface_t* image, int x, int y, int width, int height);

 private:
  Display* display_;
  Drawable drawable_;
  GC gc_;
  Visual* visual_;
  int depth_;
  bool direct_;
  // The bits of a pixel that are neither red, green nor blue: alpha on a 32-bit visual.
  unsigned long alphaMask_ = 0;
};

}  // namespace VSTGUI
