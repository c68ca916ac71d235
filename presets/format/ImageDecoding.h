#pragma once
// The first half of every image reader: turns bytes into the list of changes the reader
// will make to the preset memory, checking each count, length and value against the real
// size and the valid range on the way. Nothing here touches an effect, so a rejected
// image has changed nothing; an accepted one is then applied by the caller in one go and
// cannot fail half-way.
//
// Thread contract: any thread; works on the bytes it is given.

#include <bitset>
#include <cstdint>
#include <span>
#include <vector>

#include "presets/format/ImageFormat.h"
#include "presets/format/ImageReadResult.h"
#include "presets/format/PresetRecord.h"

namespace tavola::image {

// One change to the preset memory, in the order the reader makes it.
struct ImageStep {
  enum class Op : std::uint8_t {
    kReset,  // the preset becomes a copy of the template (initializePreset)
    kName,   // the preset's name field becomes `name`
    kValue,  // parameter `index` of the preset becomes `value`
  };
  Op op = Op::kReset;
  std::uint8_t preset = 0;          // 0 to 6
  std::uint8_t index = 0;           // 0 to 43
  float value = 0.0f;               // in [0, 1]
  char name[kPresetNameSize] = {};  // NUL-terminated within its 24 bytes
};

struct DecodedImage {
  std::vector<ImageStep> steps;
  // The preset that banks and chunks select once applied (0 to 6).
  int selectedPreset = 0;
};

// Parameter positions whose stored value the version-1 layouts carry but do not take
// over (the effect's isDummyOld).
using ParameterMask = std::bitset<kNumPresetParameters>;

// Decides the byte order of data from its stored unique identifier and ours: sets
// `foreign`, or rejects an identifier that is neither ours nor ours byte-reversed.
ImageReadResult checkIdentifier(std::int32_t storedId, std::int32_t ownId, bool& foreign);

// Splits a preset or bank image (kind 34 or 56, from its identifier on) into its header,
// in native order, and its records: exactly payload-size bytes, which must lie within
// the image.
ImageReadResult splitHeaderAndRecords(std::span<const unsigned char> image, bool foreign,
                                      newpresetheader& header,
                                      std::span<const unsigned char>& records);

// Records of a preset image into preset `current`. `header` is in native order already.
ImageReadResult decodePresetRecords(std::span<const unsigned char> records,
                                    const newpresetheader& header, bool foreign, int current,
                                    DecodedImage& out);

// Records of a bank image into all presets; selects the header's current preset when it
// is 0 to 6, else preset 0.
ImageReadResult decodeBankRecords(std::span<const unsigned char> records,
                                  const newpresetheader& header, bool foreign, DecodedImage& out);

// A version-1 preset: `data` starts after the identifier and kind (name, then floats).
ImageReadResult decodeOldPreset(std::span<const unsigned char> data, bool foreign,
                                std::int64_t floatCount, const ParameterMask& skipped, int current,
                                DecodedImage& out);

// A version-1 bank: `data` starts after the identifier and kind; `presetCount` presets of
// a name and `floatCount` floats each. Selects preset 0.
ImageReadResult decodeOldBank(std::span<const unsigned char> data, bool foreign,
                              std::int64_t presetCount, std::int64_t floatCount,
                              const ParameterMask& skipped, DecodedImage& out);

// A whole version-1 chunk, format word included.
ImageReadResult decodeOldChunk(std::span<const unsigned char> chunk, bool foreign,
                               const ParameterMask& skipped, DecodedImage& out);

}  // namespace tavola::image
