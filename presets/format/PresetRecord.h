#pragma once
// One stored preset: a name and the normalised value of every parameter index. Plain
// data, copied byte for byte, so that the image formats can move it around as it is.
//
// Thread contract: a record of the effect's preset memory is shared; its values are read
// and written only through CPresetSystemEffect's atomic accessors.

#include <cstddef>

constexpr int kNumPresets = 7;
constexpr int kNumPresetParameters = 44;
constexpr int kPresetNameSize = 24;  // NUL-terminated: at most 23 visible characters

struct PresetRecord {
  char name[kPresetNameSize];
  float params[kNumPresetParameters];
};

static_assert(sizeof(PresetRecord) == 200);
