#pragma once
// The text of --list: the factory presets and the parameters with their steps, as the
// plug-in shows them.

#include <string>
#include <vector>

#include "tools/common/ParameterSteps.h"

namespace tavola::render {

std::string formatListing(const std::vector<ParameterInfo>& parameters);

}  // namespace tavola::render
