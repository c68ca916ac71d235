#include "tools/common/Presets.h"

#include <charconv>
#include <cstdio>

#include "effect/signal/FactoryPresetTable.h"
#include "tools/common/ParameterSteps.h"

namespace tavola::render {

int presetCount() {
  return kNumFactoryPresets;
}

std::string presetName(int index) {
  return factoryPresetValues(index).name;
}

Status findPreset(std::string_view text, int& index) {
  int number = -1;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, number);
  if (error == std::errc() && stop == end && !text.empty()) {
    if (number >= 0 && number < presetCount()) {
      index = number;
      return Status();
    }
  } else {
    const std::string key = nameKey(text);
    for (int i = 0; i < presetCount(); ++i) {
      if (!key.empty() && nameKey(presetName(i)) == key) {
        index = i;
        return Status();
      }
    }
  }
  return Status::usage("unknown preset \"" + std::string(text) + "\"; the factory presets are " +
                       presetList());
}

std::string presetFileStem(int index) {
  char number[16];
  std::snprintf(number, sizeof number, "%02d-", index + 1);
  std::string stem = number;
  for (char c : presetName(index)) stem += c == ' ' ? '-' : c;
  return stem;
}

std::string presetList() {
  std::string list;
  for (int i = 0; i < presetCount(); ++i) {
    if (i > 0) list += ", ";
    list += std::to_string(i) + " " + presetName(i);
  }
  return list;
}

}  // namespace tavola::render
