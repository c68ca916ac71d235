#include "StripArt.h"

#include "PanelPainter.h"

namespace tavola::art {
namespace {

constexpr Colour kKeyInk{0.78, 0.78, 0.76};
constexpr Colour kKeyInkHovered{0.97, 0.97, 0.95};
constexpr Colour kKeyInkActive{1.0, 0.70, 0.22};

const Colour& inkFor(int frame) {
  return frame == 2 ? kKeyInkActive : frame == 1 ? kKeyInkHovered : kKeyInk;
}

// The key's face: darker when pressed, with a faint rim when the pointer is on it.
void drawKey(cairo_t* cr, double x, double y, double width, double height, int frame) {
  roundedRectangle(cr, x + 0.5, y + 0.5, width - 1, height - 1, 2);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + height);
  const double lift = frame == 2 ? -0.05 : frame == 1 ? 0.05 : 0;
  cairo_pattern_add_color_stop_rgb(face, 0, 0.27 + lift, 0.27 + lift, 0.28 + lift);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.13 + lift, 0.13 + lift, 0.14 + lift);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_set_line_width(cr, 1);
  setColour(cr, frame == 1 ? Colour{0.55, 0.55, 0.55} : Colour{0.04, 0.04, 0.04});
  cairo_stroke(cr);
}

void triangle(cairo_t* cr, double x1, double y1, double x2, double y2, double x3, double y3) {
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, x2, y2);
  cairo_line_to(cr, x3, y3);
  cairo_close_path(cr);
  cairo_fill(cr);
}

// An arrow into a tray (save), out of it (load); into a slot or out of it for the
// memories, whose tray is a small box.
void drawTrayArrow(cairo_t* cr, double width, double height, bool down, bool box) {
  const double c = width / 2.0;
  cairo_set_line_width(cr, 1);
  if (box) {
    cairo_rectangle(cr, c - 3.5, height - 5.5, 7, 3);
    cairo_stroke(cr);
  } else {
    cairo_move_to(cr, c - 3.5, height - 4.5);
    cairo_line_to(cr, c - 3.5, height - 3.5);
    cairo_line_to(cr, c + 3.5, height - 3.5);
    cairo_line_to(cr, c + 3.5, height - 4.5);
    cairo_stroke(cr);
  }
  const double top = 3, bottom = height - 6.5;
  cairo_rectangle(cr, c - 0.75, down ? top : top + 2.5, 1.5, bottom - top - 2.5);
  cairo_fill(cr);
  if (down)
    triangle(cr, c - 2.5, bottom - 2.5, c + 2.5, bottom - 2.5, c, bottom);
  else
    triangle(cr, c - 2.5, top + 2.5, c + 2.5, top + 2.5, c, top);
}

}  // namespace

void drawStripButton(cairo_t* cr, int width, int height, StripIcon icon, int frame) {
  drawKey(cr, 0, 0, width, height, frame);
  setColour(cr, inkFor(frame));
  switch (icon) {
    case StripIcon::kSave:
      drawTrayArrow(cr, width, height, true, false);
      break;
    case StripIcon::kLoad:
      drawTrayArrow(cr, width, height, false, false);
      break;
    case StripIcon::kStore:
      drawTrayArrow(cr, width, height, true, true);
      break;
    case StripIcon::kRecall:
      drawTrayArrow(cr, width, height, false, true);
      break;
    case StripIcon::kManual:
      drawText(cr, "?", width / 2.0, height - 3.5, 10, inkFor(frame), Align::kCentre, true);
      break;
  }
}

void drawStripLabelButton(cairo_t* cr, int width, int height, const char* label, int frame) {
  drawKey(cr, 0, 0, width, height, frame);
  drawText(cr, label, width / 2.0, height - 2.5, 6.5, inkFor(frame), Align::kCentre, true);
}

void drawRocker(cairo_t* cr, int width, int height, int frame) {
  const double half = width / 2.0;
  // Each half is a key of its own; the pressed frames also show the pointer on it.
  const int left = frame == 3 ? 2 : frame == 1 ? 1 : 0;
  const int right = frame == 4 ? 2 : frame == 2 ? 1 : 0;
  drawKey(cr, 0, 0, half, height, left);
  drawKey(cr, half, 0, half, height, right);
  const double c = height / 2.0;
  setColour(cr, inkFor(left));
  triangle(cr, half / 2 + 2.5, c - 3.5, half / 2 + 2.5, c + 3.5, half / 2 - 2.5, c);
  setColour(cr, inkFor(right));
  triangle(cr, half + half / 2 - 2.5, c - 3.5, half + half / 2 - 2.5, c + 3.5,
           half + half / 2 + 2.5, c);
}

}  // namespace tavola::art
