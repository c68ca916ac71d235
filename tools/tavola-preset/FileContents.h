#pragma once
// What a preset file, bank file or host state chunk holds, read with the plug-in's own
// format code and in the plug-in's way: the same checks, the same reasons for a refusal,
// and the same values taken over.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "presets/format/ImageDecoding.h"
#include "presets/format/ImageReadResult.h"

namespace tavola::presettool {

struct StoredValue {
  int index = 0;
  float value = 0.0f;
};

struct PresetContents {
  int number = 0;
  // Empty when the data gives the preset values but no name.
  std::optional<std::string> name;
  // Ascending by index; a value given twice appears once, as the plug-in keeps it.
  std::vector<StoredValue> values;
};

struct FileContents {
  enum class Container { kPreset, kBank, kOldPreset, kOldBank, kChunk, kOldChunk };
  Container container = Container::kPreset;
  bool foreign = false;
  // Kinds 34 and 56, and the bank image of a version-2 chunk: the header's fields.
  std::int32_t formatVersion = 0;
  std::int32_t parameterCount = 0;
  std::int32_t recordCount = 0;
  // The version-1 layouts: presets and values per preset, by their arithmetic.
  std::int64_t oldPresetCount = 0;
  std::int64_t oldFloatCount = 0;
  // Banks and chunks: the preset the data selects.
  std::optional<int> currentPreset;
  // Banks and chunks: the current preset field as stored (it may be out of range).
  std::int32_t storedCurrentPreset = 0;
  // In preset order.
  std::vector<PresetContents> presets;
};

// Reads `bytes` as an image (the unique identifier at byte 0) or a chunk (at byte 4).
// `skippedOld` marks the positions of the version-1 layouts the plug-in does not take
// over. A refusal gives the plug-in's reason.
ImageReadResult readFileContents(std::span<const unsigned char> bytes, std::int32_t ownId,
                                 const image::ParameterMask& skippedOld, FileContents& contents);

}  // namespace tavola::presettool
