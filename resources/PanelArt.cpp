#include "PanelArt.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "PanelLayout.h"
#include "PanelMarks.h"
#include "PanelPainter.h"
#include "effect/signal/ParameterMapping.h"

namespace tavola::art {
namespace {

using namespace tavola::panel;

constexpr double kPi = std::numbers::pi;
constexpr Colour kPlateLight{0.80, 0.79, 0.76};
constexpr Colour kPlateDark{0.66, 0.65, 0.62};
constexpr Colour kInk{0.16, 0.16, 0.17};
constexpr Colour kInkSoft{0.24, 0.24, 0.25};
constexpr Colour kEngraveLight{1, 1, 1, 0.55};
constexpr Colour kEngraveDark{0, 0, 0, 0.28};
constexpr Colour kStrip{0.17, 0.17, 0.18};

// The low scales read in hertz ("60", "400"); the mid and high ones in kilohertz ("0.63",
// "2.5", "15") under a "kHz" caption, which keeps their crowded tops short.
enum class FrequencyUnit { kHertz, kKilohertz };

std::string frequencyLabel(double hertz, FrequencyUnit unit) {
  char text[16];
  if (unit == FrequencyUnit::kHertz) {
    std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(hertz)));
  } else {
    const double kilo = hertz / 1000;
    if (kilo < 1)
      std::snprintf(text, sizeof text, "%.2g", kilo);
    else if (kilo < 10 && std::fabs(kilo - std::round(kilo)) > 0.05)
      std::snprintf(text, sizeof text, "%.1f", kilo);
    else
      std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(kilo)));
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
  if (DrawnMarks* marks = recordedMarks())
    marks->outlines.push_back({x - 0.5, y - 0.5, x + width + 1.5, y + height + 1.5});
  if (heading[0]) drawText(cr, heading, x + width / 2, y + 13, 9, kInk, Align::kCentre, true);
}

struct KnobPlace {
  double cx, cy, radius;
};

KnobPlace knobAt(Place place, int size) {
  return {place.x + size / 2.0, place.y + size / 2.0, size / 2.0};
}

// Where a knob's scale lies, as distances from the knob's centre: the ticks from `tickFrom`
// to `tickTo` (the labelled ones reach further), and every label's ink at least
// `labelFrom` away, pushed outwards along its step's direction by its own extent so that
// a wide label keeps the same clearance as a narrow one.
struct ScaleLayout {
  double tickFrom, tickTo, labelFrom, labelSize;
};
constexpr double kMajorTickReach = 1.5;
// The clear space between neighbouring labels' ink.
constexpr double kLabelClearance = 2.0;
// The frequency knobs' caps end at 16.8; their ticks lie in the cap's shadow.
// The mid knob's switch sits above it, the low cut's closer still; the other two have room.
constexpr ScaleLayout kFrequencyScale{18.5, 21.5, 33, 7.5};
constexpr ScaleLayout kLowFrequencyScale{18.5, 21.5, 35, 7.5};  // three digits at its top
constexpr ScaleLayout kMidFrequencyScale{18.5, 21.5, 31, 7.5};
constexpr ScaleLayout kLowCutScale{18.5, 21.5, 25.5, 7.5};
// The gain and output knobs' caps end at 31.7.
constexpr ScaleLayout kDecibelScale{38, 43, 46.5, 7.5};

struct LabelBox {
  double cx, cy, halfWidth, halfHeight;
  bool clear(const LabelBox& other) const {
    return std::fabs(cx - other.cx) >= halfWidth + other.halfWidth + kLabelClearance ||
           std::fabs(cy - other.cy) >= halfHeight + other.halfHeight + kLabelClearance;
  }
};

// Where each label's ink is centred. The topmost label sits at `labelFrom`, closest to
// what lies above the knob; going down either side, a label that would crowd its
// neighbour moves outwards along its step's direction until it is clear.
std::vector<LabelBox> placeLabels(cairo_t* cr, KnobPlace knob, int steps,
                                  const std::vector<std::string>& labels,
                                  const ScaleLayout& layout) {
  std::vector<LabelBox> boxes(static_cast<std::size_t>(steps));
  std::vector<bool> placed(static_cast<std::size_t>(steps), false);
  const auto place = [&](int step, int neighbour) {
    const std::string& label = labels[static_cast<std::size_t>(step)];
    if (label.empty()) return;
    const double angle = knobAngle(static_cast<double>(step) / (steps - 1));
    const double ux = std::cos(angle), uy = std::sin(angle);
    const InkSize ink = measureText(cr, label, layout.labelSize);
    const double reach = std::fabs(ux) * ink.width / 2 + std::fabs(uy) * ink.height / 2;
    LabelBox box{};
    for (double distance = layout.labelFrom + reach;; distance += 0.25) {
      box = {knob.cx + distance * ux, knob.cy + distance * uy, ink.width / 2, ink.height / 2};
      bool crowded = false;
      for (int other = neighbour; other >= 0 && other < steps && !crowded;
           other += neighbour > step ? 1 : -1)
        crowded = placed[static_cast<std::size_t>(other)] &&
                  !box.clear(boxes[static_cast<std::size_t>(other)]);
      if (!crowded) break;
    }
    boxes[static_cast<std::size_t>(step)] = box;
    placed[static_cast<std::size_t>(step)] = true;
  };
  const int top = steps / 2;
  place(top, top);
  for (int offset = 1; offset <= top; ++offset) {
    place(top + offset, top + offset - 1);
    place(top - offset, top - offset + 1);
  }
  return boxes;
}

// Ticks at every step of a knob, with a label at those steps that have one.
void drawScale(cairo_t* cr, KnobPlace knob, int steps, const std::vector<std::string>& labels,
               const ScaleLayout& layout) {
  const std::vector<LabelBox> boxes = placeLabels(cr, knob, steps, labels, layout);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int step = 0; step < steps; ++step) {
    const double angle = knobAngle(static_cast<double>(step) / (steps - 1));
    const double ux = std::cos(angle), uy = std::sin(angle);
    const std::string& label = labels[static_cast<std::size_t>(step)];
    const bool major = !label.empty();
    const double width = major ? 1.3 : 0.8;
    const double outer = layout.tickTo + (major ? kMajorTickReach : 0);
    const double x0 = knob.cx + layout.tickFrom * ux, y0 = knob.cy + layout.tickFrom * uy;
    const double x1 = knob.cx + outer * ux, y1 = knob.cy + outer * uy;
    cairo_set_line_width(cr, width);
    setColour(cr, kInk);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    if (DrawnMarks* marks = recordedMarks()) marks->ticks.push_back({x0, y0, x1, y1, width});
    if (!major) continue;
    const LabelBox& box = boxes[static_cast<std::size_t>(step)];
    drawTextInkCentred(cr, label, box.cx, box.cy, layout.labelSize, kInk);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawFrequencyScale(cairo_t* cr, Place place, const FrequencyTable& table, FrequencyUnit unit,
                        const ScaleLayout& layout = kFrequencyScale) {
  std::vector<std::string> labels;
  for (double hertz : table) labels.push_back(frequencyLabel(hertz, unit));
  drawScale(cr, knobAt(place, kSmallKnob), kNumFrequencySteps, labels, layout);
}

// A scale in decibels from -range to +range, with a tick every `tick` and a label every
// `label` decibels.
void drawDecibelScale(cairo_t* cr, Place place, int range, int tick, int label) {
  std::vector<std::string> labels;
  for (int decibels = -range; decibels <= range; decibels += tick)
    labels.push_back(decibels % label == 0 ? decibelLabel(decibels) : std::string());
  drawScale(cr, knobAt(place, kLargeKnob), static_cast<int>(labels.size()), labels, kDecibelScale);
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

  drawSection(cr, 20, 150, 110, 144, "LOW CUT");
  drawSection(cr, 136, 14, 122, 280, "LOW");
  drawSection(cr, 284, 14, 122, 280, "MID");
  drawSection(cr, 434, 14, 122, 280, "HIGH");
  drawSection(cr, 572, 14, 130, 280, "");

  drawFrequencyScale(cr, kHpfFreqAt, kHpfFrequencies, FrequencyUnit::kHertz, kLowCutScale);
  drawFrequencyScale(cr, kLfFreqAt, kLfFrequencies, FrequencyUnit::kHertz, kLowFrequencyScale);
  drawFrequencyScale(cr, kMfFreqAt, kMfFrequencies, FrequencyUnit::kKilohertz, kMidFrequencyScale);
  drawFrequencyScale(cr, kHfFreqAt, kHfFrequencies, FrequencyUnit::kKilohertz);
  drawDecibelScale(cr, kLfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kMfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kHfGainAt, 12, 1, 3);
  drawDecibelScale(cr, kOutputKnobAt, 16, 1, 4);

  drawText(cr, "FREQ  Hz", kLfFreqAt.x + kSmallKnob / 2.0, 286, 7, kInkSoft);
  drawText(cr, "FREQ  kHz", kHfFreqAt.x + kSmallKnob / 2.0, 286, 7, kInkSoft);
  drawText(cr, "FREQ  Hz", kHpfFreqAt.x + kSmallKnob / 2.0, 286, 7, kInkSoft);
  drawText(cr, "FREQ  kHz", kMfFreqAt.x + kSmallKnob / 2.0, 130, 7, kInkSoft);
  drawText(cr, "GAIN  dB", kLfGainAt.x + kLargeKnob / 2.0, 166, 7, kInkSoft);
  drawText(cr, "GAIN  dB", kHfGainAt.x + kLargeKnob / 2.0, 166, 7, kInkSoft);
  drawText(cr, "GAIN  dB", kMfGainAt.x + kLargeKnob / 2.0, 268, 7, kInkSoft);
  drawText(cr, "OUTPUT  dB", kOutputKnobAt.x + kLargeKnob / 2.0, 188, 7.5, kInk, Align::kCentre,
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
  drawText(cr, "TAVOLA  \xc2\xb7  ABOUT", (kAboutArea.left + kAboutArea.right) / 2.0,
           kAboutArea.bottom - 8, 7, Colour{0.85, 0.84, 0.80}, Align::kCentre, true);

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
      "Three bands with stepped frequencies and gains,",
      "a low cut, saturation and an output stage,",
      "oversampled below 65 kHz, in double precision.",
      "",
      "VST 2.4 and LV2 effect for Linux.",
  };
  double y = 98;
  for (const char* line : lines) {
    drawText(cr, line, 25, y, 9, kDark, Align::kLeft);
    y += 14;
  }
  drawText(cr, "Click to close", width - 20, height - 14, 8, kInkSoft, Align::kRight);
}

}  // namespace tavola::art
