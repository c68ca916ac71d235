#include "tools/common/ParameterSteps.h"

#include <algorithm>
#include <cctype>

#include "vsthost/HostedEffect.h"

namespace tavola::render {
namespace {

// Every step boundary of the plug-in lies on a multiple of 1/768 (halves of 1/48 and 1/128
// for the gains and the output level, twelfths for the frequencies, 1/2 for the switches):
// the middles of 768 cells and both ends meet every step and sit on no boundary.
constexpr int kSweepCells = 768;

std::string trimmed(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  return std::string(text);
}

}  // namespace

std::vector<ParameterInfo> probeParameters(HostedEffect& effect) {
  std::vector<ParameterInfo> parameters;
  for (int index = 0; index < effect.numParams(); ++index) {
    ParameterInfo info{index, effect.parameterName(index), {}};
    if (info.name.empty()) continue;
    for (int cell = -1; cell <= kSweepCells; ++cell) {
      const float normalised =
          cell < 0 ? 0.0f
                   : (cell == kSweepCells ? 1.0f : (static_cast<float>(cell) + 0.5f) / kSweepCells);
      effect.setParameter(index, normalised);
      std::string text = trimmed(effect.parameterDisplay(index));
      // A display that came back to an earlier text would make two steps of one.
      if (std::find(info.steps.begin(), info.steps.end(), text) == info.steps.end())
        info.steps.push_back(std::move(text));
    }
    parameters.push_back(std::move(info));
  }
  return parameters;
}

std::string nameKey(std::string_view name) {
  std::string key;
  for (char c : name)
    if (!std::isspace(static_cast<unsigned char>(c)) && c != '-' && c != '_')
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace tavola::render
