#pragma once
// The preset strip's buttons: small dark keys on the strip's bar, each a film strip of
// three frames (0 at rest, 1 under the pointer, 2 pressed or active), and the rocker of
// five (0 at rest, 1 and 2 its left and right half under the pointer, 3 and 4 pressed).

#include <cairo.h>

namespace tavola::art {

enum class StripIcon { kSave, kLoad, kStore, kRecall, kManual };
void drawStripButton(cairo_t* cr, int width, int height, StripIcon icon, int frame);
// A key with a word on it (the default bank and default preset keys).
void drawStripLabelButton(cairo_t* cr, int width, int height, const char* label, int frame);
void drawRocker(cairo_t* cr, int width, int height, int frame);

}  // namespace tavola::art
