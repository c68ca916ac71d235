#pragma once
// Drawing helpers for the panel art: colours, text, rounded shapes and the angle of a knob
// position, all in 1x coordinates (the caller scales the cairo context for 2x art).

#include <cairo.h>

#include <string>

namespace tavola::art {

struct Colour {
  double r, g, b, a = 1.0;
};

void setColour(cairo_t* cr, const Colour& colour);
void roundedRectangle(cairo_t* cr, double x, double y, double width, double height, double radius);

enum class Align { kLeft, kCentre, kRight };
// One line of text whose baseline's `align` point is at (x, y).
void drawText(cairo_t* cr, const std::string& text, double x, double y, double size,
              const Colour& colour, Align align = Align::kCentre, bool bold = false);
// The same with the glyphs' ink box centred on (x, y), for labels placed by their extent.
void drawTextInkCentred(cairo_t* cr, const std::string& text, double x, double y, double size,
                        const Colour& colour, bool bold = false);

struct InkSize {
  double width, height;
};
InkSize measureText(cairo_t* cr, const std::string& text, double size, bool bold = false);

// A knob's pointer angle in radians (screen coordinates, y down) for a position 0 to 1:
// from down-left at 0 through up to down-right at 1, 270 degrees in all.
double knobAngle(double position);

// A deterministic pseudo-random sequence in [0, 1), so the art is the same at every build.
class Grain {
 public:
  explicit Grain(unsigned seed) : state_(seed) {}
  double next();

 private:
  unsigned state_;
};

}  // namespace tavola::art
