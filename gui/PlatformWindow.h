#pragma once
// Where a frame's pictures are shown and its events come from: a window of the desktop, or
// nothing at all for a frame that only draws into its buffer.

#include <cairo.h>

#include "gui/CRect.h"

namespace VSTGUI {

class CFrame;

class PlatformWindow {
 public:
  virtual ~PlatformWindow() = default;
  // Hands the pending events of the window to the frame; never waits for one.
  virtual void handleEvents(CFrame& frame) = 0;
  // Copies `area` of the frame's buffer onto the window.
  virtual void present(cairo_surface_t* buffer, const CRect& area) = 0;
};

}  // namespace VSTGUI
