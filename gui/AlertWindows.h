#pragma once
// A warning in a small window of our own, with one "OK" button, for desktops without a
// dialog program. It is no modal loop: it stays on screen beside the host, which goes on,
// and is served by the open editors' idle, which is why it is shown only while an editor
// window is open. OK, Return, Escape or the window manager's close button close it. The
// desktop's windows (gui/x11/) implement it.
//
// Threads: the host's user-interface thread.

#include <string_view>

namespace VSTGUI {

// False when no editor window is open or the window cannot be made.
bool showAlertWindow(std::string_view title, std::string_view text);
// Handles the alert windows' pending events and closes those the user answered.
void serviceAlertWindows();
int alertWindowCount();
// Closes every alert window (the last editor closes, the plug-in is unloaded).
void closeAlertWindows();

}  // namespace VSTGUI
