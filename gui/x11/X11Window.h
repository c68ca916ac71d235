#pragma once
// A frame's window on the X11 desktop: a child of the host's window, on a display
// connection of its own, so the host's connection and event loop are never touched.
//
// It has no thread: the frame's idle (the host's editor idle) reads its pending events.
// Pictures come from the frame's buffer, copied on expose and after every redraw, so the
// window never shows a half-drawn panel. X errors that concern our own connection (the
// host destroyed its window before closing the editor) are noted and ignored; errors of
// other connections go to the handler that was there before.
//
// Typing reaches the window only while a view asks for the keyboard (a text being edited);
// the focus goes back where it was afterwards. Characters are read through the desktop's
// input method where there is one, so any character a keyboard can type arrives. A pop-up
// is an override-redirect window of its own on the same connection, which holds the
// pointer and the keyboard while it is open, so that a click anywhere else closes it.
//
// Threads: the user-interface thread of the host.

#include <memory>

#include "gui/PlatformWindow.h"

struct _XDisplay;

namespace VSTGUI {

class X11Window : public PlatformWindow {
 public:
  // Null, with the reason on standard error, when there is no display or the parent
  // is no window.
  static std::unique_ptr<X11Window> create(CFrame& frame, unsigned long parentWindow);
  ~X11Window() override;

  void handleEvents(CFrame& frame) override;
  void present(cairo_surface_t* buffer, const CRect& area) override;
  void setKeyboardFocus(bool take) override;
  bool showPopup(const CPoint& origin, const CPoint& size) override;
  void presentPopup(cairo_surface_t* buffer) override;
  void hidePopup() override;
  bool showAlert(std::string_view title, std::string_view text) override;

  unsigned long windowId() const;
  unsigned long nativeHandle() const override { return windowId(); }
  void setTitle(std::string_view title) override;
  // The open pop-up's window; 0 when none is open.
  unsigned long popupWindowId() const;
  // The X errors our connection met, such as those of a parent destroyed under us.
  int errorCount() const;

  // X errors of another connection of ours (an alert window's) are ignored as our
  // windows' are, from guard to release.
  static void guardConnection(_XDisplay* display);
  static void releaseConnection(_XDisplay* display);

  struct State;

 private:
  explicit X11Window(std::unique_ptr<State> state);

  std::unique_ptr<State> state_;
};

}  // namespace VSTGUI
