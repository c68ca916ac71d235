#pragma once
// How an alert's text is laid out: its font, its width and its lines. The desktop's alert
// window (gui/x11/) draws what this measures.

#include <cairo.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace VSTGUI {

constexpr int kAlertWidth = 400;
constexpr int kAlertPadding = 18;
constexpr double kAlertFontSize = 12;
// The room a line has, and the most lines an alert shows.
constexpr double kAlertTextWidth = kAlertWidth - 2 * kAlertPadding;
constexpr std::size_t kAlertMostLines = 24;

// The alert's text in the lines it shows: broken between words where it can, and inside
// a word too long for a line (a long path or $PATH), preferably after a "/" or ":".
// At most kAlertMostLines; a longer text ends with "...".
std::vector<std::string> alertTextLines(std::string_view text);
// How wide a line of the alert's text is drawn.
double alertTextWidthOf(const std::string& line);
// Selects the alert's font, bold for its button, on `cr`.
void useAlertFont(cairo_t* cr, bool bold);

}  // namespace VSTGUI
