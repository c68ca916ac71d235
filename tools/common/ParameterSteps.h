#pragma once
// The steps of the plug-in's parameters, learnt from the plug-in itself for --list: a
// parameter's normalised range is swept through the host interface and every run of equal
// display texts is one step, so the listing can never disagree with the plug-in.

#include <string>
#include <string_view>
#include <vector>

class HostedEffect;

namespace tavola::render {

struct ParameterInfo {
  int index = 0;
  std::string name;
  // The display text of every step, from the bottom of the range, without blanks.
  std::vector<std::string> steps;
};

// The named parameters in index order; leaves the swept parameters at arbitrary values.
std::vector<ParameterInfo> probeParameters(HostedEffect& effect);

// Lower case without blanks, '-' and '_': "EQ all", "eq_all" and "EQALL" all match.
std::string nameKey(std::string_view name);

}  // namespace tavola::render
