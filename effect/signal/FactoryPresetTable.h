#pragma once
// The seven factory presets as plain data: a name and the 44 normalised parameter values.
// The effect fills its preset memory from this table, and the offline renderer applies a
// preset by sending these values through the host interface, so both use one table.
// No host or GUI code: it is built into the signal library.
//
// Thread contract: any thread; pure functions of their arguments and constant tables.

#include "effect/signal/ParameterMapping.h"

namespace tavola {

constexpr int kNumFactoryPresets = 7;

struct FactoryPresetValues {
  const char* name;
  float values[kNumParameters];
};

// index 0 to 6; any other index gives preset 0.
const FactoryPresetValues& factoryPresetValues(int index);

}  // namespace tavola
