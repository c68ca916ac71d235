#include "gui/AlertText.h"

#include <cairo.h>

#include <string>
#include <vector>

#include "gui/Utf8.h"

namespace VSTGUI {
namespace {

void selectFont(cairo_t* cr, bool bold) {
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, kAlertFontSize);
}

double advanceOf(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

// The longest start of `word` that fits `width`, between characters and after a "/" or
// ":" where there is one; at least one character, so that every line makes progress.
std::size_t fittingStart(cairo_t* cr, const std::string& word, double width) {
  std::size_t fits = utf8::next(word, 0);
  for (std::size_t end = fits; end < word.size();) {
    const std::size_t next = utf8::next(word, end);
    if (advanceOf(cr, word.substr(0, next)) > width) break;
    fits = end = next;
  }
  const std::size_t separator = word.find_last_of("/:", fits - 1);
  return separator != std::string::npos && separator + 1 < fits && separator > 0 ? separator + 1
                                                                                 : fits;
}

// The text in lines that fit `width`, at the alert's font.
std::vector<std::string> wrapLines(cairo_t* cr, std::string_view text, double width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view paragraph = text.substr(start, end - start);
    std::string current;
    std::size_t wordStart = 0;
    while (wordStart < paragraph.size()) {
      std::size_t wordEnd = paragraph.find(' ', wordStart);
      if (wordEnd == std::string_view::npos) wordEnd = paragraph.size();
      std::string word(paragraph.substr(wordStart, wordEnd - wordStart));
      wordStart = wordEnd + 1;
      const std::string candidate = current.empty() ? word : current + " " + word;
      if (advanceOf(cr, candidate) <= width) {
        current = candidate;
        continue;
      }
      if (!current.empty()) lines.push_back(current);
      // A word longer than a line goes on in pieces.
      while (advanceOf(cr, word) > width) {
        const std::size_t cut = fittingStart(cr, word, width);
        lines.push_back(word.substr(0, cut));
        word.erase(0, cut);
      }
      current = word;
    }
    lines.push_back(current);
    start = end + 1;
  }
  return lines;
}

// Measures with the alert's font on a scratch surface.
template <typename Use>
auto withAlertFont(Use use) {
  cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
  cairo_t* cr = cairo_create(scratch);
  selectFont(cr, false);
  auto result = use(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(scratch);
  return result;
}

}  // namespace

std::vector<std::string> alertTextLines(std::string_view text) {
  const std::string shown = utf8::validated(text);
  std::vector<std::string> lines =
      withAlertFont([&](cairo_t* cr) { return wrapLines(cr, shown, kAlertTextWidth); });
  if (lines.size() > kAlertMostLines) {
    lines.resize(kAlertMostLines);
    lines.back() = "...";
  }
  return lines;
}

double alertTextWidthOf(const std::string& line) {
  return withAlertFont([&](cairo_t* cr) { return advanceOf(cr, line); });
}

void useAlertFont(cairo_t* cr, bool bold) {
  selectFont(cr, bold);
}

}  // namespace VSTGUI
