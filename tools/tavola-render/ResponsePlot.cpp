#include "tools/tavola-render/ResponsePlot.h"

#include <cairo.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>

#include "tools/common/OutputFile.h"

namespace tavola::render {
namespace {

struct Colour {
  double r, g, b;
};

Colour hex(unsigned rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// Distinct hues that stay apart for the common forms of colour blindness as far as seven
// colours can.
constexpr unsigned kCurveColours[] = {0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728,
                                      0x9467bd, 0x8c564b, 0x17becf, 0xe377c2};

constexpr const char* kFont = "DejaVu Sans";

void setColour(cairo_t* cr, Colour colour) {
  cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
}

struct Frame {
  double left, top, right, bottom;
  double lowHz, highHz, lowDb, highDb;

  double x(double hz) const {
    return left + (right - left) * std::log(hz / lowHz) / std::log(highHz / lowHz);
  }
  double y(double db) const { return bottom - (bottom - top) * (db - lowDb) / (highDb - lowDb); }
};

// Crisp one-pixel lines fall on pixel centres.
double crisp(double coordinate) {
  return std::floor(coordinate) + 0.5;
}

void text(cairo_t* cr, const std::string& words, double x, double y, double alignX) {
  cairo_text_extents_t extents;
  cairo_text_extents(cr, words.c_str(), &extents);
  cairo_move_to(cr, x - alignX * extents.x_advance, y);
  cairo_show_text(cr, words.c_str());
}

std::string frequencyLabel(double hz) {
  char label[16];
  if (hz >= 1000.0)
    std::snprintf(label, sizeof label, "%gk", hz / 1000.0);
  else
    std::snprintf(label, sizeof label, "%g", hz);
  return label;
}

std::string decibelLabel(double db) {
  char label[16];
  if (db > 0.0)
    std::snprintf(label, sizeof label, "+%g", db);
  else if (db < 0.0)
    std::snprintf(label, sizeof label, "\u2212%g", -db);  // a true minus sign
  else
    std::snprintf(label, sizeof label, "0");
  return label;
}

void drawGrid(cairo_t* cr, const Frame& f) {
  cairo_set_line_width(cr, 1.0);
  // Minor lines at every whole multiple within each decade, major lines at the labels.
  const double majors[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
  for (double decade = 10.0; decade < f.highHz; decade *= 10.0) {
    for (int multiple = 1; multiple < 10; ++multiple) {
      const double hz = decade * multiple;
      if (hz < f.lowHz || hz > f.highHz) continue;
      if (std::find(std::begin(majors), std::end(majors), hz) != std::end(majors)) continue;
      setColour(cr, hex(0xe8ebf0));
      cairo_move_to(cr, crisp(f.x(hz)), f.top);
      cairo_line_to(cr, crisp(f.x(hz)), f.bottom);
      cairo_stroke(cr);
    }
  }
  for (double hz : majors) {
    if (hz < f.lowHz || hz > f.highHz) continue;
    setColour(cr, hex(0xcdd2da));
    cairo_move_to(cr, crisp(f.x(hz)), f.top);
    cairo_line_to(cr, crisp(f.x(hz)), f.bottom);
    cairo_stroke(cr);
  }
  for (double db = std::ceil(f.lowDb / 3.0) * 3.0; db <= f.highDb; db += 3.0) {
    setColour(cr, db == 0.0 ? hex(0x8a929e) : hex(0xcdd2da));
    cairo_set_line_width(cr, db == 0.0 ? 1.5 : 1.0);
    const double y = db == 0.0 ? f.y(db) : crisp(f.y(db));
    cairo_move_to(cr, f.left, y);
    cairo_line_to(cr, f.right, y);
    cairo_stroke(cr);
  }

  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 13.0);
  setColour(cr, hex(0x3b4250));
  for (double hz : majors)
    if (hz >= f.lowHz && hz <= f.highHz) text(cr, frequencyLabel(hz), f.x(hz), f.bottom + 20, 0.5);
  for (double db = std::ceil(f.lowDb / 3.0) * 3.0; db <= f.highDb; db += 3.0)
    text(cr, decibelLabel(db), f.left - 10, f.y(db) + 4.5, 1.0);
}

// Where a curve runs on top of one drawn before it, it is dashed, so that the earlier
// colour shows through the gaps and no preset disappears under another.
constexpr double kCoincidentDb = 0.15;

std::vector<bool> coincidentPoints(const std::vector<ResponseCurve>& curves, std::size_t c,
                                   std::size_t points) {
  std::vector<bool> coincident(points, false);
  for (std::size_t earlier = 0; earlier < c; ++earlier) {
    const std::vector<double>& other = curves[earlier].decibels;
    for (std::size_t i = 0; i < points && i < other.size(); ++i)
      if (std::fabs(other[i] - curves[c].decibels[i]) < kCoincidentDb) coincident[i] = true;
  }
  return coincident;
}

void drawCurves(cairo_t* cr, const Frame& f, const std::vector<double>& frequencies,
                const std::vector<ResponseCurve>& curves) {
  cairo_save(cr);
  cairo_rectangle(cr, f.left, f.top, f.right - f.left, f.bottom - f.top);
  cairo_clip(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_BEST);
  cairo_set_line_width(cr, 2.2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  const double span = f.highDb - f.lowDb;
  const double dashes[] = {7.0, 6.0};
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const std::vector<double>& db = curves[c].decibels;
    const std::size_t points = std::min(db.size(), frequencies.size());
    if (points < 2) continue;
    const std::vector<bool> coincident = coincidentPoints(curves, c, points);
    auto x = [&](std::size_t i) { return f.x(frequencies[i]); };
    // Far outside the frame only the direction matters; keep the numbers tame.
    auto y = [&](std::size_t i) { return f.y(std::clamp(db[i], f.lowDb - span, f.highDb + span)); };
    setColour(cr, hex(kCurveColours[c % std::size(kCurveColours)]));
    // Runs of segments that are all solid or all dashed, each stroked on its own.
    std::size_t start = 0;
    while (start + 1 < points) {
      const bool dashed = coincident[start] && coincident[start + 1];
      std::size_t end = start + 1;
      while (end + 1 < points && (coincident[end] && coincident[end + 1]) == dashed) ++end;
      cairo_set_dash(cr, dashed ? dashes : nullptr, dashed ? 2 : 0, 0.0);
      cairo_set_line_cap(cr, dashed ? CAIRO_LINE_CAP_BUTT : CAIRO_LINE_CAP_ROUND);
      cairo_move_to(cr, x(start), y(start));
      for (std::size_t i = start + 1; i <= end; ++i) cairo_line_to(cr, x(i), y(i));
      cairo_stroke(cr);
      start = end;
    }
  }
  cairo_restore(cr);
}

// Where a curve leaves the plotted range, a triangle at that edge of the frame points the
// way it went, with the furthest value it reached beside it, so that a response beyond the
// scale is never mistaken for one that flattens at the edge.
void drawExcursions(cairo_t* cr, const Frame& f, const std::vector<double>& frequencies,
                    const std::vector<ResponseCurve>& curves) {
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 12.0);
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const std::vector<double>& db = curves[c].decibels;
    const std::size_t points = std::min(db.size(), frequencies.size());
    setColour(cr, hex(kCurveColours[c % std::size(kCurveColours)]));
    for (std::size_t i = 0; i < points;) {
      const int side = db[i] > f.highDb ? 1 : db[i] < f.lowDb ? -1 : 0;
      if (side == 0) {
        ++i;
        continue;
      }
      // One run of points beyond the same edge, and its furthest value.
      std::size_t end = i, furthest = i;
      while (end < points && (side > 0 ? db[end] > f.highDb : db[end] < f.lowDb)) {
        if (side * db[end] > side * db[furthest]) furthest = end;
        ++end;
      }
      const double x = std::clamp(f.x(frequencies[furthest]), f.left + 8, f.right - 8);
      const double edge = side > 0 ? f.top + 2 : f.bottom - 2;
      const double base = edge + (side > 0 ? 9 : -9);
      cairo_move_to(cr, x, edge);
      cairo_line_to(cr, x + 6, base);
      cairo_line_to(cr, x - 6, base);
      cairo_close_path(cr);
      cairo_fill(cr);
      // Beside the triangle, on the side where the frame has room for it.
      const std::string value = decibelLabel(std::round(db[furthest] * 10) / 10) + " dB";
      cairo_text_extents_t extents;
      cairo_text_extents(cr, value.c_str(), &extents);
      const bool roomRight = x + 10 + extents.x_advance <= f.right;
      text(cr, value, roomRight ? x + 10 : x - 10, side > 0 ? base + 2 : base,
           roomRight ? 0.0 : 1.0);
      i = end;
    }
  }
}

void drawLegend(cairo_t* cr, const Frame& f, double width,
                const std::vector<ResponseCurve>& curves) {
  const double left = f.right + 24, top = f.top;
  const double rowHeight = 26.0;
  const double boxWidth = width - left - 20;
  const double boxHeight = 44.0 + rowHeight * static_cast<double>(curves.size());
  cairo_set_line_width(cr, 1.0);
  cairo_rectangle(cr, crisp(left), crisp(top), std::floor(boxWidth), std::floor(boxHeight));
  setColour(cr, hex(0xf6f7f9));
  cairo_fill_preserve(cr);
  setColour(cr, hex(0xcdd2da));
  cairo_stroke(cr);

  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 14.0);
  setColour(cr, hex(0x1d2330));
  text(cr, "Preset", left + 14, top + 26, 0.0);

  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 13.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (std::size_t c = 0; c < curves.size(); ++c) {
    const double y = top + 50 + rowHeight * static_cast<double>(c);
    setColour(cr, hex(kCurveColours[c % std::size(kCurveColours)]));
    cairo_set_line_width(cr, 3.0);
    cairo_move_to(cr, left + 16, y - 4.5);
    cairo_line_to(cr, left + 44, y - 4.5);
    cairo_stroke(cr);
    setColour(cr, hex(0x1d2330));
    text(cr, curves[c].label, left + 54, y, 0.0);
  }
}

cairo_status_t writeToFd(void* closure, const unsigned char* data, unsigned int length) {
  const int fd = *static_cast<int*>(closure);
  while (length > 0) {
    const ssize_t written = ::write(fd, data, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return CAIRO_STATUS_WRITE_ERROR;
    }
    data += written;
    length -= static_cast<unsigned int>(written);
  }
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

namespace {

// Draws the whole picture and writes it as PNG into fd.
Status drawPlot(int fd, const std::string& path, const std::vector<double>& frequencies,
                const std::vector<ResponseCurve>& curves, const PlotLayout& layout) {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, layout.width, layout.height),
      &cairo_surface_destroy);
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    return Status::runtime("cannot make a " + std::to_string(layout.width) + " x " +
                           std::to_string(layout.height) + " picture");
  std::unique_ptr<cairo_t, decltype(&cairo_destroy)> context(cairo_create(surface.get()),
                                                             &cairo_destroy);
  cairo_t* cr = context.get();

  const Frame frame{86.0,         96.0,          layout.width - 236.0, layout.height - 70.0,
                    layout.lowHz, layout.highHz, layout.lowDb,         layout.highDb};

  setColour(cr, hex(0xffffff));
  cairo_paint(cr);
  cairo_rectangle(cr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
  setColour(cr, hex(0xfbfbfc));
  cairo_fill(cr);

  drawGrid(cr, frame);
  drawCurves(cr, frame, frequencies, curves);
  drawExcursions(cr, frame, frequencies, curves);

  cairo_set_line_width(cr, 1.0);
  setColour(cr, hex(0x9aa1ab));
  cairo_rectangle(cr, crisp(frame.left), crisp(frame.top), std::floor(frame.right - frame.left),
                  std::floor(frame.bottom - frame.top));
  cairo_stroke(cr);

  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 22.0);
  setColour(cr, hex(0x1d2330));
  text(cr, layout.title, frame.left, 44, 0.0);
  cairo_select_font_face(cr, kFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 14.0);
  setColour(cr, hex(0x5b6472));
  text(cr, layout.subtitle, frame.left, 70, 0.0);

  cairo_set_font_size(cr, 14.0);
  setColour(cr, hex(0x3b4250));
  text(cr, "Frequency (Hz)", (frame.left + frame.right) / 2, layout.height - 22.0, 0.5);
  cairo_save(cr);
  cairo_translate(cr, 28.0, (frame.top + frame.bottom) / 2);
  cairo_rotate(cr, -std::numbers::pi / 2);
  text(cr, "Magnitude (dB)", 0.0, 0.0, 0.5);
  cairo_restore(cr);

  drawLegend(cr, frame, layout.width, curves);

  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS)
    return Status::runtime(std::string("cannot draw the plot: ") +
                           cairo_status_to_string(cairo_status(cr)));
  cairo_surface_flush(surface.get());
  const cairo_status_t written = cairo_surface_write_to_png_stream(surface.get(), writeToFd, &fd);
  if (written != CAIRO_STATUS_SUCCESS)
    return Status::runtime("cannot write " + path + ": " + cairo_status_to_string(written));
  return Status();
}

}  // namespace

Status writeResponsePlot(const std::string& path, const std::vector<double>& frequencies,
                         const std::vector<ResponseCurve>& curves, const PlotLayout& layout) {
  std::unique_ptr<OutputFile> file;
  if (Status status = OutputFile::create(path, file); !status.ok()) return status;
  if (Status status = drawPlot(file->fd(), path, frequencies, curves, layout); !status.ok())
    return status;
  return file->commit();
}

}  // namespace tavola::render
