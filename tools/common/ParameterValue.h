#pragma once
// Turning "--set NAME=VALUE" into the normalised value to send. The plug-in reads VALUE
// itself, as a host hands it a typed value (effString2Parameter): a display text or a
// number in the parameter's unit ("3.5dB", "47.6Hz", "2k", "On", "Sat"), snapped to the
// nearest step; "yes", "no", "true" and "false" stand for On and Off. A bare number in
// [0, 1] is a normalised value and is sent as it is, as a host sends automation.

#include <string>
#include <string_view>

#include "tools/common/Status.h"

class HostedEffect;

namespace tavola::render {

// NAME=VALUE as the user gave it.
struct ParameterRequest {
  std::string name;
  std::string value;
};

struct ParameterSetting {
  int index = 0;
  std::string name;
  float normalised = 0.0f;
  // What the plug-in shows once the value is set, without trailing blanks.
  std::string text;
};

// Finds the parameter by name (case, blanks, '-' and '_' ignored) and resolves the value
// on `scratch`, an instance used for nothing else: its parameters are left changed.
Status resolveSetting(HostedEffect& scratch, std::string_view name, std::string_view value,
                      ParameterSetting& setting);

}  // namespace tavola::render
