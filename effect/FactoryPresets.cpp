// The factory presets installed into the preset memory.

#include "effect/Tavola.h"
#include "effect/signal/FactoryPresetTable.h"

using namespace tavola;

static_assert(kNumFactoryPresets == kNumPresets);
static_assert(kNumParameters == kNumPresetParameters);

void Tavola::initPresets() {
  for (int p = 0; p < kNumPresets; ++p) {
    PresetRecord& preset = presets_[p];
    const FactoryPresetValues& factory = factoryPresetValues(p);
    storeName(preset, factory.name);
    for (int i = 0; i < kNumPresetParameters; ++i) storeValue(preset, i, factory.values[i]);
  }
}
