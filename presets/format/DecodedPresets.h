#pragma once
// What a decoded image leaves in a preset memory, worked out on plain preset records: for
// readers without an effect (the command-line tools). The effect's own readers apply the
// same steps to its live memory (CPresetSystemEffect::applyImageStep).
//
// Thread contract: any thread; works on the records it is given.

#include <span>

#include "presets/format/ImageDecoding.h"
#include "presets/format/PresetRecord.h"

namespace tavola::image {

// Applies the steps in order: a reset makes the preset a copy of `templatePreset`.
void applyToPresets(const DecodedImage& image, std::span<PresetRecord, kNumPresets> presets,
                    const PresetRecord& templatePreset);

// The parameter indices the image gave a value for in `preset`.
ParameterMask valuesGiven(const DecodedImage& image, int preset);

}  // namespace tavola::image
