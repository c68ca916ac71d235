#pragma once
// Warnings in small windows of our own, each with one "OK" button, for desktops without a
// dialog program. They belong to the editor window that showed them: it serves them in its
// event handling (no modal loop: the host goes on) and closes them when it closes. OK,
// Return, Escape or the window manager's close button close one. At most four are open
// at a time, so that a burst of failures never fills the screen.
//
// Threads: the host's user-interface thread.

#include <memory>
#include <string_view>
#include <vector>

namespace VSTGUI {

class AlertWindow;

class X11AlertList {
 public:
  X11AlertList();
  ~X11AlertList();
  X11AlertList(const X11AlertList&) = delete;
  X11AlertList& operator=(const X11AlertList&) = delete;

  // False when four are open already or the window cannot be made.
  bool show(std::string_view title, std::string_view text);
  // Handles the alerts' pending events and closes those the user answered.
  void serve();

 private:
  std::vector<std::unique_ptr<AlertWindow>> open_;
};

}  // namespace VSTGUI
