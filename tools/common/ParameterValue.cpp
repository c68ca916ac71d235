#include "tools/common/ParameterValue.h"

#include <charconv>
#include <cmath>

#include "tools/common/ParameterSteps.h"
#include "vsthost/HostedEffect.h"

namespace tavola::render {
namespace {

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// A number and nothing else, in [0, 1].
bool isNormalised(std::string_view text, float& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0.0f && value <= 1.0f;
}

std::string switchWord(std::string_view value) {
  const std::string key = nameKey(value);
  if (key == "yes" || key == "true") return "On";
  if (key == "no" || key == "false") return "Off";
  return std::string(value);
}

// What the parameter shows at both ends of its range, for a message.
std::string range(HostedEffect& scratch, int index) {
  scratch.setParameter(index, 0.0f);
  const std::string low = trimmed(scratch.parameterDisplay(index));
  scratch.setParameter(index, 1.0f);
  const std::string high = trimmed(scratch.parameterDisplay(index));
  return low + " ... " + high;
}

}  // namespace

Status resolveSetting(HostedEffect& scratch, std::string_view name, std::string_view value,
                      ParameterSetting& setting) {
  std::string names;
  int index = -1;
  for (int i = 0; i < scratch.numParams(); ++i) {
    const std::string candidate = scratch.parameterName(i);
    if (candidate.empty()) continue;
    names += (names.empty() ? "" : ", ") + candidate;
    if (index < 0 && nameKey(candidate) == nameKey(name)) index = i;
  }
  if (index < 0)
    return Status::usage("unknown parameter \"" + std::string(name) + "\"; the parameters are " +
                         names);

  const std::string parameter = scratch.parameterName(index);
  float normalised = 0.0f;
  if (isNormalised(value, normalised)) {
    scratch.setParameter(index, normalised);
  } else if (!scratch.setParameterFromText(index, switchWord(value))) {
    return Status::usage("cannot read " + parameter + "=" + std::string(value) + ": " + parameter +
                         " takes a value from " + range(scratch, index) +
                         " in its unit, or a normalised number in [0, 1]");
  }
  setting.index = index;
  setting.name = parameter;
  setting.normalised = scratch.getParameter(index);
  setting.text = trimmed(scratch.parameterDisplay(index));
  return Status();
}

}  // namespace tavola::render
