// The factory presets installed into the preset memory.

#include <cstring>

#include "effect/FactoryPresetTable.h"
#include "effect/Tavola.h"

using namespace tavola;

static_assert(kNumFactoryPresets == kNumPresets);
static_assert(kNumParameters == kNumPresetParameters);

void Tavola::initPresets() {
  for (int p = 0; p < kNumPresets; ++p) {
    PresetRecord& preset = presets_[p];
    std::memset(&preset, 0, sizeof preset);
    const FactoryPresetValues& factory = factoryPresetValues(p);
    storeName(preset, factory.name);
    for (int i = 0; i < kNumPresetParameters; ++i) preset.params[i] = factory.values[i];
  }
}
