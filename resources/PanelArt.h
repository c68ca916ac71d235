#pragma once
// The panel's pictures, drawn with cairo in 1x coordinates. Each function draws one
// picture, or one frame of a film strip, at the origin of `cr`; the caller makes the
// surface and scales the context (2 for 2x art).

#include <cairo.h>

namespace tavola::art {

// The 720 x 352 front panel with its scales, labels and the preset strip's bar.
void drawBackground(cairo_t* cr);

enum class KnobCap { kBlack, kRed, kGreen, kBlue, kGrey };
// One frame of a knob of `size` pixels square, turned to `position` (0 to 1).
void drawKnob(cairo_t* cr, int size, KnobCap cap, double position);

enum class Glow { kAmber, kGreen, kRed };
// One frame of an on/off switch.
void drawButton(cairo_t* cr, int width, int height, Glow glow, bool on);

// One frame of the clip lamp: 0 off, 1 held, 2 lit.
void drawLamp(cairo_t* cr, int size, int state);

// The about picture; the version is written over it at run time.
void drawAbout(cairo_t* cr, int width, int height);

}  // namespace tavola::art
