// The response plot read back as a picture: a curve that leaves the plotted range is
// marked at the edge it crosses, one that stays inside is not.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "render/RenderTestSupport.h"
#include "tools/tavola-render/ResponsePlot.h"

namespace tavola::render {
namespace {

// How many pixels of a rectangle are close to a colour.
int pixelsOfColour(cairo_surface_t* image, int left, int top, int right, int bottom, unsigned rgb) {
  const unsigned char* data = cairo_image_surface_get_data(image);
  const int stride = cairo_image_surface_get_stride(image);
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(data + y * stride)[x];
      int distance = 0;
      for (int shift : {16, 8, 0})
        distance += std::abs(static_cast<int>((pixel >> shift) & 0xFF) -
                             static_cast<int>((rgb >> shift) & 0xFF));
      count += distance < 40;
    }
  return count;
}

TEST(ResponsePlot, CurvesBeyondTheRangeAreMarkedAtTheEdge) {
  test::TempDir dir;
  std::vector<double> frequencies;
  for (double hz = 20; hz <= 20000; hz *= 1.05) frequencies.push_back(hz);
  // The first curve rises to +24 dB around 1 kHz, the second falls below -16 dB above 10 kHz, to
  // -30 dB; the third stays inside.
  ResponseCurve high{"high", {}}, low{"low", {}}, inside{"inside", {}};
  for (double hz : frequencies) {
    const double octaves = std::log2(hz / 1000);
    high.decibels.push_back(24 * std::exp(-octaves * octaves));
    low.decibels.push_back(hz > 10000 ? -16 - 14 * std::log2(hz / 10000) : 0);
    inside.decibels.push_back(6 * std::sin(octaves));
  }
  PlotLayout layout;
  const std::string path = dir.file("plot.png");
  ASSERT_TRUE(writeResponsePlot(path, frequencies, {high, low, inside}, layout).ok());
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  ASSERT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);

  // The frame: 86 from the left, 96 from the top, to 236 from the right and 70 from the
  // bottom; 1 kHz is 2/3 of the way along from 20 Hz to 20 kHz.
  const double left = 86, right = layout.width - 236.0, top = 96, bottom = layout.height - 70.0;
  const auto xOf = [&](double hz) {
    return static_cast<int>(left + (right - left) * std::log(hz / 20) / std::log(1000.0));
  };
  const int at1k = xOf(1000), at20k = static_cast<int>(right) - 8, at100 = xOf(100);
  const int topBand = static_cast<int>(top) + 3, bottomBand = static_cast<int>(bottom) - 3;
  // A filled triangle just inside the top edge above 1 kHz, in the first curve's colour,
  // and one just inside the bottom edge at 20 kHz in the second's.
  EXPECT_GT(pixelsOfColour(image, at1k - 4, topBand, at1k + 4, topBand + 5, 0x1f77b4), 12);
  EXPECT_GT(pixelsOfColour(image, at20k - 4, bottomBand - 5, at20k + 4, bottomBand, 0xff7f0e), 12);
  // Nothing of the kind where every curve is inside.
  EXPECT_EQ(pixelsOfColour(image, at100 - 4, topBand, at100 + 4, topBand + 5, 0x2ca02c), 0);
  EXPECT_EQ(pixelsOfColour(image, at100 - 4, bottomBand - 5, at100 + 4, bottomBand, 0x2ca02c), 0);
  cairo_surface_destroy(image);
}

}  // namespace
}  // namespace tavola::render
