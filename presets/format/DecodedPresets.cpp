#include "presets/format/DecodedPresets.h"

#include <cstring>

namespace tavola::image {

void applyToPresets(const DecodedImage& image, std::span<PresetRecord, kNumPresets> presets,
                    const PresetRecord& templatePreset) {
  for (const ImageStep& step : image.steps) {
    if (step.preset >= kNumPresets) continue;
    PresetRecord& preset = presets[step.preset];
    switch (step.op) {
      case ImageStep::Op::kReset:
        preset = templatePreset;
        break;
      case ImageStep::Op::kName:
        std::memcpy(preset.name, step.name, kPresetNameSize);
        break;
      case ImageStep::Op::kValue:
        if (step.index < kNumPresetParameters) preset.params[step.index] = step.value;
        break;
    }
  }
}

ParameterMask valuesGiven(const DecodedImage& image, int preset) {
  ParameterMask given;
  for (const ImageStep& step : image.steps)
    if (step.op == ImageStep::Op::kValue && step.preset == preset &&
        step.index < kNumPresetParameters)
      given[step.index] = true;
  return given;
}

}  // namespace tavola::image
