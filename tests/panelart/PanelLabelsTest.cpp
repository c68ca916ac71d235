// The front panel's texts drawn as the build draws them, checked against each other, the
// scale ticks, the section outlines and the places where the editor puts its controls: no
// label may touch another, and every one must be legible against the plate under it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "resources/PanelArt.h"
#include "resources/PanelLayout.h"
#include "resources/PanelMarks.h"

namespace tavola::art {
namespace {

using namespace tavola::panel;

// The clear space every label keeps around its ink, in panel pixels.
constexpr double kClearance = 1.0;

struct Rendered {
  DrawnMarks marks;
  cairo_surface_t* surface;
  Rendered() : surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)) {
    cairo_t* cr = cairo_create(surface);
    {
      MarkRecorder recorder(marks);
      drawBackground(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
  }
  ~Rendered() { cairo_surface_destroy(surface); }
  Rendered(const Rendered&) = delete;
  Rendered& operator=(const Rendered&) = delete;

  // The colour at a pixel, 0 to 1 per channel.
  void pixel(int x, int y, double rgb[3]) const {
    const unsigned char* row =
        cairo_image_surface_get_data(surface) +
        static_cast<std::ptrdiff_t>(y) * cairo_image_surface_get_stride(surface);
    const unsigned value = reinterpret_cast<const std::uint32_t*>(row)[x];
    rgb[0] = ((value >> 16) & 0xff) / 255.0;
    rgb[1] = ((value >> 8) & 0xff) / 255.0;
    rgb[2] = (value & 0xff) / 255.0;
  }
};

const Rendered& panel() {
  static const Rendered rendered;
  return rendered;
}

Box grown(const Box& box, double by) {
  return {box.left - by, box.top - by, box.right + by, box.bottom + by};
}

bool overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool inside(const Box& inner, const Box& outer) {
  return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
         inner.bottom <= outer.bottom;
}

double distanceToBox(double x, double y, const Box& box) {
  const double dx = std::max({box.left - x, 0.0, x - box.right});
  const double dy = std::max({box.top - y, 0.0, y - box.bottom});
  return std::hypot(dx, dy);
}

// Close enough for a short tick against a label's box: the nearest of many points along it.
double distanceToSegment(const DrawnTick& tick, const Box& box) {
  double nearest = 1e9;
  for (int i = 0; i <= 64; ++i) {
    const double t = i / 64.0;
    nearest = std::min(nearest, distanceToBox(tick.x0 + t * (tick.x1 - tick.x0),
                                              tick.y0 + t * (tick.y1 - tick.y0), box));
  }
  return nearest - tick.width / 2;
}

std::string describe(const DrawnLabel& label) {
  std::ostringstream text;
  text << '"' << label.text << "\" at (" << label.ink.left << ", " << label.ink.top << ")-("
       << label.ink.right << ", " << label.ink.bottom << ")";
  return text.str();
}

Box boxOf(Place place, int width, int height) {
  return {static_cast<double>(place.x), static_cast<double>(place.y),
          static_cast<double>(place.x + width), static_cast<double>(place.y + height)};
}

Box boxOf(Area area) {
  return {static_cast<double>(area.left), static_cast<double>(area.top),
          static_cast<double>(area.right), static_cast<double>(area.bottom)};
}

struct Circle {
  double cx, cy, radius;
};

// The knobs' caps, as the knob pictures draw them (shadow included).
std::vector<Circle> knobCaps() {
  std::vector<Circle> caps;
  for (Place place : {kHpfFreqAt, kLfFreqAt, kMfFreqAt, kHfFreqAt})
    caps.push_back({place.x + kSmallKnob / 2.0, place.y + kSmallKnob / 2.0, kSmallKnob * 0.40 + 2});
  for (Place place : {kLfGainAt, kMfGainAt, kHfGainAt, kOutputKnobAt})
    caps.push_back({place.x + kLargeKnob / 2.0, place.y + kLargeKnob / 2.0, kLargeKnob * 0.36 + 2});
  return caps;
}

// Switches, the lamp, the read-outs and the preset strip's keys, where the editor puts them.
std::vector<Box> controlBoxes() {
  std::vector<Box> boxes;
  for (Place place : {kEqAllAt, kSatAt, kHpfAt, kLfAt, kMfAt, kHfAt})
    boxes.push_back(boxOf(place, kButtonWidth, kButtonHeight));
  boxes.push_back(boxOf(kClipLampAt, kLampSize, kLampSize));
  for (Area area :
       {kLatencyMsArea, kLatencySamplesArea, kNameField, kPresetMenuArea, kPresetRockerArea,
        kLoadBankArea, kSaveBankArea, kDefaultBankArea, kLoadPresetArea, kSavePresetArea,
        kDefaultPresetArea, kRecallAArea, kStoreAArea, kRecallBArea, kStoreBArea, kManualArea})
    boxes.push_back(boxOf(area));
  return boxes;
}

TEST(PanelLabels, TheScalesAreAllThere) {
  // 13 labels on each of the four frequency knobs, 9 on each gain knob and on the output.
  const std::vector<DrawnLabel>& labels = panel().marks.labels;
  const auto count = [&](const std::string& text) {
    return std::count_if(labels.begin(), labels.end(),
                         [&](const DrawnLabel& label) { return label.text == text; });
  };
  EXPECT_EQ(count("15"), 2);  // 15 Hz and 15 kHz
  EXPECT_EQ(count("240"), 1);
  EXPECT_EQ(count("400"), 1);  // the low band's top, in hertz
  EXPECT_EQ(count("0.5"), 1);  // the mid band's bottom, in kilohertz
  EXPECT_EQ(count("24"), 2);   // the low cut's 24 Hz and the high band's 24 kHz
  EXPECT_EQ(count("+12"), 4);  // three gains and the output
  EXPECT_EQ(count("-16"), 1);
  EXPECT_EQ(panel().marks.ticks.size(), 4u * 13 + 3u * 25 + 33);
}

TEST(PanelLabels, NoLabelTouchesAnother) {
  const std::vector<DrawnLabel>& labels = panel().marks.labels;
  for (std::size_t i = 0; i < labels.size(); ++i)
    for (std::size_t j = i + 1; j < labels.size(); ++j)
      EXPECT_FALSE(overlap(grown(labels[i].ink, kClearance), labels[j].ink))
          << describe(labels[i]) << " touches " << describe(labels[j]);
}

TEST(PanelLabels, NoLabelTouchesATick) {
  for (const DrawnLabel& label : panel().marks.labels)
    for (const DrawnTick& tick : panel().marks.ticks)
      EXPECT_GE(distanceToSegment(tick, label.ink), kClearance)
          << describe(label) << " touches the tick from (" << tick.x0 << ", " << tick.y0 << ") to ("
          << tick.x1 << ", " << tick.y1 << ")";
}

TEST(PanelLabels, NoLabelTouchesAControlOrCrossesAnOutline) {
  const Box about = boxOf(kAboutArea);
  for (const DrawnLabel& label : panel().marks.labels) {
    // The about area draws nothing of its own: its plaque's text is meant to lie in it.
    if (inside(label.ink, about)) continue;
    for (const Box& control : controlBoxes())
      EXPECT_FALSE(overlap(grown(label.ink, kClearance), control))
          << describe(label) << " touches the control at (" << control.left << ", " << control.top
          << ")";
    EXPECT_FALSE(overlap(grown(label.ink, kClearance), about)) << describe(label);
    for (const Circle& cap : knobCaps()) {
      const double nearest = distanceToBox(cap.cx, cap.cy, label.ink);
      EXPECT_GE(nearest - cap.radius, kClearance)
          << describe(label) << " touches the knob at (" << cap.cx << ", " << cap.cy << ")";
    }
    // An outline is an engraved line two pixels wide along its box's edge.
    for (const Box& outline : panel().marks.outlines) {
      const Box ink = grown(label.ink, kClearance);
      EXPECT_TRUE(!overlap(ink, outline) || inside(ink, grown(outline, -2)))
          << describe(label) << " crosses the outline at (" << outline.left << ", " << outline.top
          << ")";
    }
  }
}

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double luminance(const double rgb[3]) {
  double linear[3];
  for (int i = 0; i < 3; ++i)
    linear[i] = rgb[i] <= 0.04045 ? rgb[i] / 12.92 : std::pow((rgb[i] + 0.055) / 1.055, 2.4);
  return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2];
}

TEST(PanelLabels, EveryLabelIsLegibleAgainstThePlateAroundIt) {
  for (const DrawnLabel& label : panel().marks.labels) {
    EXPECT_GE(label.size, 6.5) << describe(label);
    // The plate just outside the ink's box, as rendered.
    const Box ring = grown(label.ink, 1.5);
    double sum = 0;
    int samples = 0;
    for (int x = static_cast<int>(ring.left); x <= static_cast<int>(ring.right); ++x)
      for (int y : {static_cast<int>(ring.top), static_cast<int>(ring.bottom)}) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
        double rgb[3];
        panel().pixel(x, y, rgb);
        sum += luminance(rgb);
        ++samples;
      }
    ASSERT_GT(samples, 0) << describe(label);
    const double plate = sum / samples;
    const double ink[3] = {label.red, label.green, label.blue};
    const double text = luminance(ink);
    const double contrast = (std::max(plate, text) + 0.05) / (std::min(plate, text) + 0.05);
    EXPECT_GE(contrast, 4.5) << describe(label);
  }
}

}  // namespace
}  // namespace tavola::art
