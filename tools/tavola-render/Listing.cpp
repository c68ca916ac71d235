#include "tools/tavola-render/Listing.h"

#include <algorithm>
#include <cstdio>

#include "tools/common/Presets.h"

namespace tavola::render {
namespace {

// Up to this many steps are listed one by one; longer ranges are given by their ends.
constexpr std::size_t kStepsListed = 16;

std::string describe(const ParameterInfo& info) {
  if (info.steps.size() == 2) return "switch: off = " + info.steps[0] + ", on = " + info.steps[1];
  if (info.steps.size() > kStepsListed)
    return info.steps.front() + " to " + info.steps.back() + " in " +
           std::to_string(info.steps.size()) + " steps";
  std::string text = std::to_string(info.steps.size()) + " steps:";
  for (const std::string& step : info.steps) text += " " + step;
  return text;
}

}  // namespace

std::string formatListing(const std::vector<ParameterInfo>& parameters) {
  std::string text = "Factory presets (--preset NUMBER or NAME)\n";
  char line[256];
  for (int i = 0; i < presetCount(); ++i) {
    std::snprintf(line, sizeof line, "  %d  %s\n", i, presetName(i).c_str());
    text += line;
  }
  text += "\nParameters (--set NAME=VALUE; names in any case)\n";
  std::size_t width = 4;
  for (const ParameterInfo& info : parameters) width = std::max(width, info.name.size());
  for (const ParameterInfo& info : parameters) {
    std::snprintf(line, sizeof line, "  %-*s  %s\n", static_cast<int>(width), info.name.c_str(),
                  describe(info).c_str());
    text += line;
  }
  text +=
      "\nValues are snapped to the nearest step. Levels take dB (3.5dB), frequencies Hz or kHz\n"
      "(47.6Hz, 2k, 2kHz), switches on or off; a bare number in [0, 1] is a normalised value.\n";
  return text;
}

}  // namespace tavola::render
