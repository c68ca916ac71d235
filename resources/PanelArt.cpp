#include "PanelArt.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "PanelLayout.h"
#include "PanelPainter.h"
#include "effect/signal/ParameterMapping.h"

namespace tavola::art {
namespace {

using namespace tavola::panel;

constexpr double kPi = std::numbers::pi;
constexpr Colour kPlateLight{0.80, 0.79, 0.76};
constexpr Colour kPlateDark{0.66, 0.65, 0.62};
constexpr Colour kInk{0.16, 0.16, 0.17};
constexpr Colour kInkSoft{0.30, 0.30, 0.31};
constexpr Colour kEngraveLight{1, 1, 1, 0.55};
constexpr Colour kEngraveDark{0, 0, 0, 0.28};
constexpr Colour kStrip{0.17, 0.17, 0.18};

std::string frequencyLabel(double hertz) {
  char text[16];
  if (hertz < 1000) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(hertz)));
  } else {
    const double kilo = hertz / 1000;
    if (kilo < 10 && std::fabs(kilo - std::round(kilo)) > 0.05)
      std::snprintf(text, sizeof text, "%.1fk", kilo);
    else
      std::snprintf(text, sizeof text, "%dk", static_cast<int>(std::lround(kilo)));
  }
  return text;
}

std::string decibelLabel(int decibels) {
  return (decibels > 0 ? "+" : "") + std::to_string(decibels);
}

// The plate: brushed aluminium with a bevelled edge and four screws.
void drawPlate(cairo_t* cr) {
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 0, kHeight);
  cairo_pattern_add_color_stop_rgb(shade, 0, kPlateLight.r, kPlateLight.g, kPlateLight.b);
  cairo_pattern_add_color_stop_rgb(shade, 1, kPlateDark.r, kPlateDark.g, kPlateDark.b);
  cairo_set_source(cr, shade);
  cairo_paint(cr);
  cairo_pattern_destroy(shade);

  Grain grain(11500);
  cairo_set_line_width(cr, 1);
  for (int y = 0; y < kHeight; ++y) {
    const double strength = 0.025 + 0.035 * grain.next();
    const double tone = grain.next() < 0.5 ? 0 : 1;
    cairo_set_source_rgba(cr, tone, tone, tone, strength);
    cairo_move_to(cr, 0, y + 0.5);
    cairo_line_to(cr, kWidth, y + 0.5);
    cairo_stroke(cr);
  }

  cairo_set_line_width(cr, 2);
  setColour(cr, kEngraveLight);
  cairo_move_to(cr, 1, kHeight);
  cairo_line_to(cr, 1, 1);
  cairo_line_to(cr, kWidth, 1);
  cairo_stroke(cr);
  setColour(cr, kEngraveDark);
  cairo_move_to(cr, kWidth - 1, 0);
  cairo_line_to(cr, kWidth - 1, kHeight);
  cairo_stroke(cr);

  for (const auto& [x, y] : {std::pair{10.0, 10.0}, {710.0, 10.0}, {10.0, 322.0}, {710.0, 322.0}}) {
    cairo_pattern_t* head = cairo_pattern_create_radial(x - 1.5, y - 1.5, 0.5, x, y, 5);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.95, 0.95, 0.93);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.45, 0.45, 0.44);
    cairo_set_source(cr, head);
    cairo_arc(cr, x, y, 4.5, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    cairo_set_source_rgba(cr, 0.2, 0.2, 0.2, 0.8);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, x - 3, y + 1.5);
    cairo_line_to(cr, x + 3, y - 1.5);
    cairo_stroke(cr);
  }
}

// A section of the panel: an engraved outline with its heading on the top edge.
void drawSection(cairo_t* cr, double x, double y, double width, double height,
                 const char* heading) {
  cairo_set_line_width(cr, 1);
  roundedRectangle(cr, x + 1, y + 1, width, height, 6);
  setColour(cr, kEngraveLight);
  cairo_stroke(cr);
  roundedRectangle(cr, x, y, width, height, 6);
  setColour(cr, kEngraveDark);
  cairo_stroke(cr);
  if (heading[0]) drawText(cr, heading, x + width / 2, y + 13, 9, kInk, Align::kCentre, true);
}

struct KnobPlace {
  double cx, cy, radius;
};

KnobPlace knobAt(Place place, int size) {
  return {place.x + size / 2.0, place.y + size / 2.0, size / 2.0};
}

// Ticks at every step of a knob, with a label at those steps that have one.
void drawScale(cairo_t* cr, KnobPlace knob, int steps, const std::vector<std::string>& labels,
               double labelSize, double tickIn, double tickOut, double labelRadius) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int step = 0; step < steps; ++step) {
    const double angle = knobAngle(static_cast<double>(step) / (steps - 1));
    const bool major = !labels[static_cast<std::size_t>(step)].empty();
    const double inner = knob.radius + tickIn;
    const double outer = knob.radius + tickOut + (major ? 1.5 : 0);
    cairo_set_line_width(cr, major ? 1.3 : 0.8);
    setColour(cr, kInk);
    cairo_move_to(cr, knob.cx + inner * std::cos(angle), knob.cy + inner * std::sin(angle));
    cairo_line_to(cr, knob.cx + outer * std::cos(angle), knob.cy + outer * std::sin(angle));
    cairo_stroke(cr);
    if (!major) continue;
    const double x = knob.cx + labelRadius * std::cos(angle);
    const double y = knob.cy + labelRadius * std::sin(angle) + labelSize * 0.36;
    drawText(cr, labels[static_cast<std::size_t>(step)], x, y, labelSize, kInkSoft);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawFrequencyScale(cairo_t* cr, Place place, const FrequencyTable& table) {
  std::vector<std::string> labels;
  for (double hertz : table) labels.push_back(frequencyLabel(hertz));
  drawScale(cr, knobAt(place, kSmallKnob), kNumFrequencySteps, labels, 6.5, 1, 4, 33);
}

// A scale in decibels from -range to +range, with a tick every `tick` and a label every
// `label` decibels.
void drawDecibelScale(cairo_t* cr, Place place, int range, int tick, int label) {
  std::vector<std::string> labels;
  for (int decibels = -range; decibels <= range; decibels += tick)
    labels.push_back(decibels % label == 0 ? decibelLabel(decibels) : std::string());
  drawScale(cr, knobAt(place, kLargeKnob), static_cast<int>(labels.size()), labels, 7, -6, -1,
            kLargeKnob / 2.0 + 8);
}

// A label centred above a switch or lamp of the given width.
void labelAbove(cairo_t* cr, Place place, int width, const char* text) {
  drawText(cr, text, place.x + width / 2.0, place.y - 4, 7.5, kInk, Align::kCentre, true);
}

// A recessed window for the read-outs and the name field.
void drawWindow(cairo_t* cr, Area area, const Colour& inside) {
  roundedRectangle(cr, area.left - 1, area.top - 1, area.right - area.left + 2,
                   area.bottom - area.top + 2, 2);
  setColour(cr, inside);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1);
  setColour(cr, kEngraveDark);
  cairo_stroke(cr);
}

void drawTitle(cairo_t* cr) {
  drawText(cr, "TAVOLA", 24, 44, 22, kInk, Align::kLeft, true);
  drawText(cr, "STEREO PROGRAM EQUALISER", 25, 58, 6.5, kInkSoft, Align::kLeft, true);
}

void drawPresetStrip(cairo_t* cr) {
  cairo_rectangle(cr, kPresetStrip.left, kPresetStrip.top, kPresetStrip.right,
                  kPresetStrip.bottom - kPresetStrip.top);
  setColour(cr, kStrip);
  cairo_fill(cr);
  cairo_set_line_width(cr, 1);
  setColour(cr, Colour{1, 1, 1, 0.18});
  cairo_move_to(cr, 0, kPresetStrip.top + 0.5);
  cairo_line_to(cr, kWidth, kPresetStrip.top + 0.5);
  cairo_stroke(cr);
  // The name field and the preset menu's drop-down key share one lit display.
  const Area display{kNameField.left, kNameField.top, kPresetMenuArea.right, kNameField.bottom};
  drawWindow(cr, display, Colour{kNameDisplayRed, kNameDisplayGreen, kNameDisplayBlue});
  setColour(cr, Colour{0, 0, 0, 0.22});
  cairo_move_to(cr, kPresetMenuArea.left + 0.5, kPresetMenuArea.top + 1);
  cairo_line_to(cr, kPresetMenuArea.left + 0.5, kPresetMenuArea.bottom - 1);
  cairo_stroke(cr);
  const double arrowX = (kPresetMenuArea.left + kPresetMenuArea.right) / 2.0 + 0.5;
  const double arrowY = (kPresetMenuArea.top + kPresetMenuArea.bottom) / 2.0;
  setColour(cr, Colour{36 / 255.0, 36 / 255.0, 32 / 255.0});
  cairo_move_to(cr, arrowX - 3, arrowY - 1.5);
  cairo_line_to(cr, arrowX + 3, arrowY - 1.5);
  cairo_line_to(cr, arrowX, arrowY + 2);
  cairo_close_path(cr);
  cairo_fill(cr);

  constexpr Colour kStripInk{0.72, 0.72, 0.70};
  drawText(cr, "A", 369, 346, 7, kStripInk, Align::kCentre, true);
  drawText(cr, "B", 412, 346, 7, kStripInk, Align::kCentre, true);
  drawText(cr, "MANUAL", kManualArea.left - 4, 346, 6.5, kStripInk, Align::kRight, true);
}

}  // namespace

void drawBackground(cairo_t* cr) {
  drawPlate(cr);
  drawTitle(cr);

  drawSection(cr, 20, 150, 112, 144, "LOW CUT");
  drawSection(cr, 142, 14, 110, 280, "LOW");
  drawSection(cr, 284, 14, 122, 280, "MID");
  drawSection(cr, 438, 14, 118, 280, "HIGH");
  drawSection(cr, 572, 14, 130, 280, "");

  drawFrequencyScale(cr, kHpfFreqAt, kHpfFrequencies);
  drawFrequencyScale(cr, kLfFreqAt, kLfFrequencies);
  drawFrequencyScale(cr, kMfFreqAt, kMfFrequencies);
  drawFrequencyScale(cr, kHfFreqAt, kHfFrequencies);
  drawDecibelScale(cr, kLfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kMfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kHfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kOutputKnobAt, 16, 1, 4);

  drawText(cr, "FREQ  Hz", kLfFreqAt.x + kSmallKnob / 2.0, 286, 6.5, kInkSoft);
  drawText(cr, "FREQ  Hz", kHfFreqAt.x + kSmallKnob / 2.0, 286, 6.5, kInkSoft);
  drawText(cr, "FREQ  Hz", kHpfFreqAt.x + kSmallKnob / 2.0, 286, 6.5, kInkSoft);
  drawText(cr, "FREQ  Hz", kMfFreqAt.x + kSmallKnob / 2.0, 130, 6.5, kInkSoft);
  drawText(cr, "GAIN  dB", kLfGainAt.x + kLargeKnob / 2.0, 166, 6.5, kInkSoft);
  drawText(cr, "GAIN  dB", kHfGainAt.x + kLargeKnob / 2.0, 166, 6.5, kInkSoft);
  drawText(cr, "GAIN  dB", kMfGainAt.x + kLargeKnob / 2.0, 268, 6.5, kInkSoft);
  drawText(cr, "OUTPUT  dB", kOutputKnobAt.x + kLargeKnob / 2.0, 196, 7.5, kInk, Align::kCentre,
           true);

  labelAbove(cr, kEqAllAt, kButtonWidth, "EQ IN");
  labelAbove(cr, kSatAt, kButtonWidth, "SAT");
  labelAbove(cr, kHpfAt, kButtonWidth, "IN");
  labelAbove(cr, kClipLampAt, kLampSize, "CLIP");
  for (Place band : {kLfAt, kMfAt, kHfAt})
    drawText(cr, "IN", band.x - 4, band.y + 10, 7, kInk, Align::kRight, true);

  drawText(cr, "LATENCY", kLatencyMsArea.left - 5, kLatencyMsArea.bottom - 3, 6.5, kInk,
           Align::kRight, true);
  drawWindow(cr, kLatencyMsArea, Colour{0.86, 0.86, 0.83});
  drawWindow(cr, kLatencySamplesArea, Colour{0.86, 0.86, 0.83});

  // The about area: the maker's plaque.
  roundedRectangle(cr, kAboutArea.left, kAboutArea.top, kAboutArea.right - kAboutArea.left,
                   kAboutArea.bottom - kAboutArea.top, 4);
  setColour(cr, Colour{0.22, 0.22, 0.23});
  cairo_fill(cr);
  drawText(cr, "TAVOLA  \xc2\xb7  VST 2.4  \xc2\xb7  ABOUT",
           (kAboutArea.left + kAboutArea.right) / 2.0, kAboutArea.bottom - 8, 7,
           Colour{0.85, 0.84, 0.80}, Align::kCentre, true);

  drawPresetStrip(cr);
}

void drawKnob(cairo_t* cr, int size, KnobCap cap, double position) {
  const double c = size / 2.0;
  const bool large = size >= kLargeKnob;
  const double radius = large ? size * 0.36 : size * 0.40;

  cairo_pattern_t* shadow =
      cairo_pattern_create_radial(c + 1, c + 2.5, radius * 0.6, c + 1, c + 2.5, radius + 4);
  cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.45);
  cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
  cairo_set_source(cr, shadow);
  cairo_arc(cr, c + 1, c + 2.5, radius + 4, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);

  Colour body{0.10, 0.10, 0.11};
  switch (cap) {
    case KnobCap::kRed:
      body = {0.55, 0.12, 0.10};
      break;
    case KnobCap::kGreen:
      body = {0.16, 0.38, 0.20};
      break;
    case KnobCap::kBlue:
      body = {0.14, 0.24, 0.50};
      break;
    case KnobCap::kGrey:
      body = {0.40, 0.40, 0.41};
      break;
    case KnobCap::kBlack:
      break;
  }
  // The skirt, with grip notches that turn with the knob.
  const double angle = knobAngle(position);
  cairo_pattern_t* skirt = cairo_pattern_create_linear(0, c - radius, 0, c + radius);
  cairo_pattern_add_color_stop_rgb(skirt, 0, body.r * 1.5 + 0.1, body.g * 1.5 + 0.1,
                                   body.b * 1.5 + 0.1);
  cairo_pattern_add_color_stop_rgb(skirt, 1, body.r * 0.5, body.g * 0.5, body.b * 0.5);
  cairo_set_source(cr, skirt);
  cairo_arc(cr, c, c, radius, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(skirt);
  const int notches = large ? 24 : 16;
  cairo_set_line_width(cr, 1);
  for (int n = 0; n < notches; ++n) {
    const double a = angle + 2 * kPi * n / notches;
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_move_to(cr, c + (radius - 2.2) * std::cos(a), c + (radius - 2.2) * std::sin(a));
    cairo_line_to(cr, c + radius * std::cos(a), c + radius * std::sin(a));
    cairo_stroke(cr);
  }

  // The top, lit from above.
  const double top = radius * 0.78;
  cairo_pattern_t* face =
      cairo_pattern_create_radial(c - top * 0.3, c - top * 0.4, top * 0.1, c, c, top);
  cairo_pattern_add_color_stop_rgb(face, 0, body.r * 1.3 + 0.18, body.g * 1.3 + 0.18,
                                   body.b * 1.3 + 0.18);
  cairo_pattern_add_color_stop_rgb(face, 1, body.r * 0.9, body.g * 0.9, body.b * 0.9);
  cairo_set_source(cr, face);
  cairo_arc(cr, c, c, top, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(face);

  // The pointer line.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, large ? 2.6 : 2.0);
  cairo_set_source_rgb(cr, 0.97, 0.96, 0.92);
  cairo_move_to(cr, c + radius * 0.25 * std::cos(angle), c + radius * 0.25 * std::sin(angle));
  cairo_line_to(cr, c + (radius - 1.5) * std::cos(angle), c + (radius - 1.5) * std::sin(angle));
  cairo_stroke(cr);
}

void drawButton(cairo_t* cr, int width, int height, Glow glow, bool on) {
  roundedRectangle(cr, 0.5, 0.5, width - 1, height - 1, 3);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(face, 0, 0.30, 0.30, 0.31);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.12, 0.12, 0.13);
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_set_line_width(cr, 1);
  cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
  cairo_stroke(cr);

  Colour light{1.0, 0.62, 0.10};
  if (glow == Glow::kGreen) light = {0.30, 0.95, 0.35};
  if (glow == Glow::kRed) light = {1.0, 0.22, 0.15};
  const double lensX = 4, lensY = height / 2.0 - 2, lensW = width - 8, lensH = 4;
  if (on) {
    cairo_pattern_t* halo = cairo_pattern_create_radial(width / 2.0, height / 2.0, 1, width / 2.0,
                                                        height / 2.0, width / 2.0);
    cairo_pattern_add_color_stop_rgba(halo, 0, light.r, light.g, light.b, 0.55);
    cairo_pattern_add_color_stop_rgba(halo, 1, light.r, light.g, light.b, 0);
    cairo_set_source(cr, halo);
    roundedRectangle(cr, 1.5, 1.5, width - 3, height - 3, 2.5);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
  }
  roundedRectangle(cr, lensX, lensY, lensW, lensH, 1.5);
  if (on)
    cairo_set_source_rgb(cr, light.r, light.g, light.b);
  else
    cairo_set_source_rgb(cr, light.r * 0.25 + 0.05, light.g * 0.25 + 0.05, light.b * 0.25 + 0.05);
  cairo_fill(cr);
}

void drawLamp(cairo_t* cr, int size, int state) {
  const double c = size / 2.0;
  cairo_arc(cr, c, c, c - 0.5, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.10, 0.10, 0.10);
  cairo_fill(cr);
  const double brightness = state == 2 ? 1.0 : state == 1 ? 0.55 : 0.18;
  cairo_pattern_t* lens = cairo_pattern_create_radial(c - 1.5, c - 1.5, 0.5, c, c, c - 2);
  cairo_pattern_add_color_stop_rgb(lens, 0, 0.25 + 0.75 * brightness,
                                   0.10 + 0.6 * brightness * brightness,
                                   0.08 + 0.4 * brightness * brightness);
  cairo_pattern_add_color_stop_rgb(lens, 1, 0.20 + 0.6 * brightness, 0.04, 0.03);
  cairo_set_source(cr, lens);
  cairo_arc(cr, c, c, c - 2, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(lens);
}

void drawAbout(cairo_t* cr, int width, int height) {
  roundedRectangle(cr, 0.5, 0.5, width - 1, height - 1, 8);
  cairo_pattern_t* back = cairo_pattern_create_linear(0, 0, 0, height);
  cairo_pattern_add_color_stop_rgb(back, 0, 0.93, 0.92, 0.89);
  cairo_pattern_add_color_stop_rgb(back, 1, 0.80, 0.79, 0.75);
  cairo_set_source(cr, back);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(back);
  cairo_set_line_width(cr, 1.5);
  cairo_set_source_rgb(cr, 0.25, 0.25, 0.26);
  cairo_stroke(cr);

  constexpr Colour kDark{0.16, 0.16, 0.17};
  drawText(cr, "TAVOLA", 24, 44, 28, kDark, Align::kLeft, true);
  drawText(cr, "Stereo program equaliser", 25, 64, 10, kInkSoft, Align::kLeft);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, 24, 78.5);
  cairo_line_to(cr, width - 24, 78.5);
  cairo_stroke(cr);
  const char* lines[] = {
      "Four bands with stepped frequencies, a low cut,",
      "saturation and an output stage, oversampled",
      "below 65 kHz, in double precision.",
      "",
      "VST 2.4 effect for Linux.",
  };
  double y = 98;
  for (const char* line : lines) {
    drawText(cr, line, 25, y, 9, kDark, Align::kLeft);
    y += 14;
  }
  drawText(cr, "Click to close", width - 20, height - 14, 8, kInkSoft, Align::kRight);
}

}  // namespace tavola::art
