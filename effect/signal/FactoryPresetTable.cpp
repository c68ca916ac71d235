// The seven factory presets.

#include "effect/signal/FactoryPresetTable.h"

namespace tavola {
namespace {

struct FactoryPresetRow {
  const char* name;
  // Values of the fourteen controls and of placeholder 26, in this order:
  // 0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 26, 27.
  float values[15];
};

constexpr int kPresetColumns[15] = {kEqAll, kOutput, kSat,    kHpf, kHpfFreq, kLf, kLfFreq, kLfGain,
                                    kMf,    kMfFreq, kMfGain, kHf,  kHfFreq,  26,  kHfGain};

constexpr FactoryPresetRow kFactoryPresetRows[kNumFactoryPresets] = {
    {"Default", {1, 0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 1, 0.5f, 0.5f, 1, 0.5f, 0, 0.5f}},
    {"Air", {1, 0.5f, 0, 0, 0, 0, 0.5f, 0.5f, 0, 0.5f, 0.5f, 1, 0.75f, 0, 7.0f / 12.0f}},
    {"Loudness",
     {1, 0.5f, 0, 0, 0, 1, 0.75f, 7.0f / 12.0f, 0, 0.5f, 0.5f, 1, 0.75f, 0, 2.0f / 3.0f}},
    {"Zoom 1",
     {1, 0.5f, 0, 0, 0, 0, 0.5f, 0.5f, 1, 2.0f / 3.0f, 13.0f / 24.0f, 1, 1.0f / 3.0f, 0,
      13.0f / 24.0f}},
    {"Zoom 2",
     {1, 0.5f, 0, 0, 0, 1, 0.25f, 5.0f / 12.0f, 1, 2.0f / 3.0f, 13.0f / 24.0f, 1, 1.0f / 3.0f, 0,
      13.0f / 24.0f}},
    {"Speaker",
     {1, 0.5f, 0, 1, 0.75f, 1, 0.5f, 0.5f, 1, 0.5f, 0.625f, 1, 5.0f / 6.0f, 0, 5.0f / 12.0f}},
    {"Bright Vox",
     {1, 0.5f, 0, 1, 0.5f, 1, 0.5f, 7.0f / 12.0f, 1, 5.0f / 6.0f, 0.625f, 1, 0.5f, 0, 0.5f}},
};

// Placeholders 1 to 5, 10, 11, 14, 16 to 19 and 22 hold 0.5 in every factory preset;
// 28 to 43 hold 0.
constexpr FactoryPresetValues expand(const FactoryPresetRow& row) {
  FactoryPresetValues preset{row.name, {}};
  for (int i = 0; i < kNumParameters; ++i) preset.values[i] = i < 28 ? 0.5f : 0.0f;
  for (int column = 0; column < 15; ++column)
    preset.values[kPresetColumns[column]] = row.values[column];
  return preset;
}

constexpr FactoryPresetValues kFactoryPresets[kNumFactoryPresets] = {
    expand(kFactoryPresetRows[0]), expand(kFactoryPresetRows[1]), expand(kFactoryPresetRows[2]),
    expand(kFactoryPresetRows[3]), expand(kFactoryPresetRows[4]), expand(kFactoryPresetRows[5]),
    expand(kFactoryPresetRows[6]),
};

}  // namespace

const FactoryPresetValues& factoryPresetValues(int index) {
  if (index < 0 || index >= kNumFactoryPresets) index = 0;
  return kFactoryPresets[index];
}

}  // namespace tavola
