#pragma once
// Turning "--set NAME=VALUE" into the normalised value to send: VALUE in the unit the
// plug-in displays (dB, Hz, kHz or a bare "k"), a switch word, one of the parameter's
// display texts, or a bare number in [0, 1] taken as normalised. Every value is snapped to
// the parameter's nearest step.

#include <string>
#include <string_view>
#include <vector>

#include "tools/tavola-render/ParameterSteps.h"
#include "tools/tavola-render/Status.h"

namespace tavola::render {

struct ParameterSetting {
  int index = 0;
  std::string name;
  int step = 0;
  float normalised = 0.0f;
  // What the plug-in must show once the value is set.
  std::string text;
};

// Nearest step to a value in the parameter's unit: by difference for dB, by ratio for Hz.
// A value more than half a step beyond either end is out of range: -1.
int nearestStep(const ParameterInfo& info, double value);

// probe answers which step the plug-in itself chooses for a bare normalised value.
Status resolveValue(const ParameterInfo& info, std::string_view text, const DisplayProbe& probe,
                    ParameterSetting& setting);

// Finds the parameter by name (case, blanks, '-' and '_' ignored) and resolves the value.
Status resolveSetting(const std::vector<ParameterInfo>& parameters, std::string_view name,
                      std::string_view value, const DisplayProbe& probe, ParameterSetting& setting);

}  // namespace tavola::render
