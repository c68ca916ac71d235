#pragma once
// A warning in a small window of our own, with one "OK" button, for desktops without a
// dialog program. It is no modal loop: it stays on screen beside the host, which goes on,
// and is served by the open editors' idle (CFrame::idle), which is why it is shown only
// while an editor window is open. OK, Return, Escape or the window manager's close button
// close it.
//
// Threads: the host's user-interface thread.

#include <string>
#include <string_view>
#include <vector>

namespace VSTGUI {

// False when no editor window is open or the window cannot be made.
bool showAlertWindow(std::string_view title, std::string_view text);
// Handles the alert windows' pending events and closes those the user answered.
void serviceAlertWindows();
int alertWindowCount();
// Closes every alert window (the last editor closes, the plug-in is unloaded).
void closeAlertWindows();

// The alert's text in the lines it shows: broken between words where it can, and inside
// a word too long for a line (a long path or $PATH), preferably after a "/" or ":".
// At most kAlertMostLines; a longer text ends with "...".
std::vector<std::string> alertTextLines(std::string_view text);
// The room a line has, and the most lines an alert shows.
constexpr double kAlertTextWidth = 400 - 2 * 18;
constexpr std::size_t kAlertMostLines = 24;
// How wide a line of the alert's text is drawn.
double alertTextWidthOf(const std::string& line);

}  // namespace VSTGUI
