#pragma once
// Where a frame's pictures are shown and its events come from: a window of the desktop, or
// nothing at all for a frame that only draws into its buffer.

#include <cairo.h>

#include <memory>
#include <string_view>

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
  // Typing goes to the window while a view edits text, and back where it was after, so
  // that the host's own keys work again.
  virtual void setKeyboardFocus(bool /*take*/) {}
  // A pop-up of `size` at `origin` (frame coordinates) that takes the mouse and the keys
  // until it is hidden; its events go to the frame's popup handlers. False when it cannot
  // be shown. A window without pop-ups of its own lets the frame keep them off screen.
  virtual bool showPopup(const CPoint& /*origin*/, const CPoint& /*size*/) { return true; }
  virtual void presentPopup(cairo_surface_t* /*buffer*/) {}
  virtual void hidePopup() {}
  // A warning with one OK button in a window of the desktop's, served with this window's
  // events and closed with it. False when it cannot be shown.
  virtual bool showAlert(std::string_view /*title*/, std::string_view /*text*/) { return false; }
  // The desktop's own handle of the window (an X window id), for hosts that embed it by
  // that handle; 0 when the window has none.
  virtual unsigned long nativeHandle() const { return 0; }
  // The title a window of its own shows in the desktop's frame.
  virtual void setTitle(std::string_view /*title*/) {}
};

// The frame's window on the desktop, a child of the host's `parent` window, made by the
// desktop's implementation (gui/x11/); null, with the reason on standard error, when there
// is no display or the parent is no window.
std::unique_ptr<PlatformWindow> openPlatformWindow(CFrame& frame, void* parent);

// The desktop's root window, as the parent of a window of our own for hosts that have no
// window to give; null, with the reason on standard error, when there is no display.
void* desktopRootWindow();

}  // namespace VSTGUI
