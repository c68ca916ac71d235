#pragma once
// How a normalised parameter value (0 to 1, as the host sends it) becomes the physical
// value that processing and the band updates use. Pure functions, no state.
//
// Thread contract: any thread; pure functions of their arguments and constant tables.

#include <array>

namespace tavola {

constexpr int kNumParameters = 44;

// The fourteen parameter indices that are controls; the other indices are placeholders
// of the parameter layout shared with the preset system.
enum ParameterIndex : int {
  kEqAll = 0,
  kOutput = 6,
  kSat = 7,
  kHpf = 8,
  kHpfFreq = 9,
  kLf = 12,
  kLfFreq = 13,
  kLfGain = 15,
  kMf = 20,
  kMfFreq = 21,
  kMfGain = 23,
  kHf = 24,
  kHfFreq = 25,
  kHfGain = 27,
};

constexpr int kNumFrequencySteps = 13;
using FrequencyTable = std::array<double, kNumFrequencySteps>;

extern const FrequencyTable kHpfFrequencies;
extern const FrequencyTable kLfFrequencies;
extern const FrequencyTable kMfFrequencies;
extern const FrequencyTable kHfFrequencies;

// Hosts can send anything a float holds. NaN counts as 0 (as every comparison in the
// mappings already treats it) and magnitudes beyond 64 count as +/-64, far outside the
// range where any mapping still changes, so no integer conversion ever overflows.
double sanitisedNormalised(float p);

// "EQ all": on from 0.5 up.
int eqSwitch(float p);
// "SAT": on strictly above 0.5, compared in single precision.
int saturationSwitch(float p);
// The band and high-pass switches: p rounded half up, so 1.5 stores 2.
int roundedSwitch(float p);
// Output level in quarter steps of 6 per doubling: -16 to +16 for p in [0, 1].
double outputLevel(float p);
double outputGain(float p);
// Band gain factor in 49 steps of a twelfth of a doubling: 0.25 to 4.0 for p in [0, 1].
double bandGain(float p);
// Step 0 to 12 of a frequency table; only p = 1.0 or more reaches the last step.
int frequencyIndex(float p);

bool isUsedParameter(int index);
// The reported name, at most 7 characters; empty for placeholders and unknown indices.
const char* parameterName(int index);

}  // namespace tavola
