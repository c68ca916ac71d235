#include "PanelPainter.h"

#include "PanelMarks.h"

#include <cmath>
#include <numbers>

namespace tavola::art {

void setColour(cairo_t* cr, const Colour& colour) {
  cairo_set_source_rgba(cr, colour.r, colour.g, colour.b, colour.a);
}

void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius) {
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + width - radius, y + radius, radius, -kQuarter, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, kQuarter);
  cairo_arc(cr, x + radius, y + height - radius, radius, kQuarter, 2 * kQuarter);
  cairo_arc(cr, x + radius, y + radius, radius, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

namespace {

cairo_text_extents_t selectFont(cairo_t* cr, const std::string& text, double size, bool bold) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents;
}

// The text with its pen at (left, baseline); recorded when a layout check is listening.
void showText(cairo_t* cr, const std::string& text, const cairo_text_extents_t& extents,
              double left, double baseline, double size, const Colour& colour) {
  setColour(cr, colour);
  cairo_move_to(cr, left, baseline);
  cairo_show_text(cr, text.c_str());
  if (DrawnMarks* marks = recordedMarks()) {
    const double inkLeft = left + extents.x_bearing, inkTop = baseline + extents.y_bearing;
    marks->labels.push_back({text,
                             {inkLeft, inkTop, inkLeft + extents.width, inkTop + extents.height},
                             size,
                             colour.r,
                             colour.g,
                             colour.b});
  }
}

}  // namespace

void drawText(cairo_t* cr, const std::string& text, double x, double y, double size,
              const Colour& colour, Align align, bool bold) {
  const cairo_text_extents_t extents = selectFont(cr, text, size, bold);
  double left = x - extents.x_bearing;
  if (align == Align::kCentre) left = x - extents.x_bearing - extents.width / 2;
  if (align == Align::kRight) left = x - extents.x_bearing - extents.width;
  showText(cr, text, extents, left, y, size, colour);
}

void drawTextInkCentred(cairo_t* cr, const std::string& text, double x, double y, double size,
                        const Colour& colour, bool bold) {
  const cairo_text_extents_t extents = selectFont(cr, text, size, bold);
  showText(cr, text, extents, x - extents.x_bearing - extents.width / 2,
           y - extents.y_bearing - extents.height / 2, size, colour);
}

InkSize measureText(cairo_t* cr, const std::string& text, double size, bool bold) {
  const cairo_text_extents_t extents = selectFont(cr, text, size, bold);
  return {extents.width, extents.height};
}

double knobAngle(double position) {
  constexpr double kDegree = std::numbers::pi / 180;
  return (135.0 + 270.0 * position) * kDegree;
}

double Grain::next() {
  state_ = state_ * 1664525u + 1013904223u;
  return (state_ >> 8) / 16777216.0;
}

}  // namespace tavola::art
