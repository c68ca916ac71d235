#pragma once
// A PNG plot of magnitude responses: logarithmic frequency axis, decibel axis, one
// coloured curve per response and a legend, drawn with cairo.

#include <string>
#include <vector>

#include "tools/common/Status.h"

namespace tavola::render {

struct ResponseCurve {
  std::string label;
  // One value per frequency of the plot.
  std::vector<double> decibels;
};

struct PlotLayout {
  int width = 1200;
  int height = 700;
  std::string title;
  std::string subtitle;
  double lowHz = 20.0;
  double highHz = 20000.0;
  double lowDb = -15.0;
  double highDb = 15.0;
};

// Writes the plot to path, through a temporary file that replaces path when complete.
Status writeResponsePlot(const std::string& path, const std::vector<double>& frequencies,
                         const std::vector<ResponseCurve>& curves, const PlotLayout& layout);

}  // namespace tavola::render
