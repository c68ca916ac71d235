#pragma once
// The steps of the plug-in's parameters, learnt from the plug-in itself: a parameter's
// normalised range is swept through the host interface and every run of equal display
// texts is one step. So the renderer's idea of a parameter can never disagree with the
// plug-in's, and nothing of the plug-in's mappings is repeated here.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class HostedEffect;

namespace tavola::render {

enum class Unit { kNone, kDecibel, kHertz };

struct ParameterStep {
  // The value the renderer sends for this step: 0 or 1 for the steps at the ends of the
  // range, else the middle of the range of values that show this step.
  float normalised = 0.0f;
  // The display text without trailing blanks.
  std::string text;
  // The number the text shows, in the parameter's unit (Hz for kHz texts); 0 without unit.
  double value = 0.0;
};

struct ParameterInfo {
  int index = 0;
  std::string name;
  Unit unit = Unit::kNone;
  std::vector<ParameterStep> steps;

  // A parameter of two steps without a unit: off is the first step, on the second.
  bool isSwitch() const { return unit == Unit::kNone && steps.size() == 2; }
  // The step whose text is `text` (trailing blanks ignored); -1 if none.
  int stepWithText(std::string_view text) const;
};

// Asks what the plug-in shows for a parameter at a normalised value.
using DisplayProbe = std::function<std::string(int index, float normalised)>;

// The sweep: the named parameters of 0 to `count` - 1, in index order.
std::vector<ParameterInfo> probeParameters(int count, const std::function<std::string(int)>& nameOf,
                                           const DisplayProbe& displayOf);

// The same through the host interface; leaves the swept parameters at arbitrary values.
std::vector<ParameterInfo> probeParameters(HostedEffect& effect);
DisplayProbe displayProbe(HostedEffect& effect);

// A display text as a number in a unit: "-3.25dB", "47.6Hz", "2.00kHz" (2000 Hz).
bool parseDisplayValue(std::string_view text, double& value, Unit& unit);

// Lower case without blanks, '-' and '_': "EQ all", "eq_all" and "EQALL" all match.
std::string nameKey(std::string_view name);
const ParameterInfo* findParameter(const std::vector<ParameterInfo>& parameters,
                                   std::string_view name);

// "EQ all, OUTput, SAT, ..."
std::string parameterNames(const std::vector<ParameterInfo>& parameters);

}  // namespace tavola::render
