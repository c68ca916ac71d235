#pragma once
// The writers of preset and bank images as plain functions of the presets' contents: the
// plug-in's editor writes its preset memory with them, and the command-line tools write
// the presets they read from the plug-in. Images are written in native byte order.
//
// Plain functions on bytes: no effect, no editor, no host.
//
// Thread contract: any thread; works on the records and buffers it is given.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "presets/format/ImageDecoding.h"
#include "presets/format/PresetRecord.h"

namespace tavola::image {

// Sizes of the images that store the parameter indices marked in `stored`.
std::size_t presetImageSize(const ParameterMask& stored);
std::size_t bankImageSize(const ParameterMask& stored);

// A preset image of `preset`, into `image` of exactly presetImageSize(stored) bytes.
void writePresetImage(std::span<unsigned char> image, std::int32_t uniqueId,
                      const PresetRecord& preset, const ParameterMask& stored);

// A bank image of seven presets with `current` as the current preset, into `image` of
// exactly bankImageSize(stored) bytes.
void writeBankImage(std::span<unsigned char> image, std::int32_t uniqueId,
                    std::span<const PresetRecord, kNumPresets> presets, std::int32_t current,
                    const ParameterMask& stored);

// The same into new vectors.
std::vector<unsigned char> presetImage(std::int32_t uniqueId, const PresetRecord& preset,
                                       const ParameterMask& stored);
std::vector<unsigned char> bankImage(std::int32_t uniqueId,
                                     std::span<const PresetRecord, kNumPresets> presets,
                                     std::int32_t current, const ParameterMask& stored);

}  // namespace tavola::image
