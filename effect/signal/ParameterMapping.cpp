#include "effect/signal/ParameterMapping.h"

#include <cmath>

namespace tavola {

const FrequencyTable kHpfFrequencies = {15,   18.9, 23.8, 30,  37.8, 47.6, 60,
                                        75.6, 95,   120,  151, 190,  240};
const FrequencyTable kLfFrequencies = {25,  31.5, 39.7, 50,  63,  79, 100,
                                       126, 159,  200,  252, 317, 400};
const FrequencyTable kMfFrequencies = {500,  630,  794,  1000, 1260, 1587, 2000,
                                       2520, 3175, 4000, 5040, 6350, 8000};
const FrequencyTable kHfFrequencies = {1500, 1890, 2381,  3000,  3780,  4763, 6000,
                                       7560, 9525, 12000, 15120, 19049, 24000};

namespace {
constexpr double kNormalisedLimit = 64.0;
}

double sanitisedNormalised(float p) {
  if (std::isnan(p)) return 0.0;
  const double widened = p;
  if (widened > kNormalisedLimit) return kNormalisedLimit;
  if (widened < -kNormalisedLimit) return -kNormalisedLimit;
  return widened;
}

int eqSwitch(float p) {
  return p >= 0.5f ? 1 : 0;
}

int saturationSwitch(float p) {
  return p > 0.5f ? 1 : 0;
}

int roundedSwitch(float p) {
  return static_cast<int>(sanitisedNormalised(p) + 0.5);
}

double outputLevel(float p) {
  const int k = static_cast<int>(128.0 * sanitisedNormalised(p) + 0.5);
  return k / 4.0 - 16.0;
}

double outputGain(float p) {
  return std::pow(2.0, outputLevel(p) / 6.0);
}

double bandGain(float p) {
  const int k = static_cast<int>(48.0 * sanitisedNormalised(p) + 0.5);
  return std::pow(2.0, (k - 24) / 12.0);
}

int frequencyIndex(float p) {
  int i = static_cast<int>(12.0 * sanitisedNormalised(p));
  if (i > 11) i = 12;
  if (i < 0) i = 0;
  return i;
}

bool isUsedParameter(int index) {
  switch (index) {
    case kEqAll:
    case kOutput:
    case kSat:
    case kHpf:
    case kHpfFreq:
    case kLf:
    case kLfFreq:
    case kLfGain:
    case kMf:
    case kMfFreq:
    case kMfGain:
    case kHf:
    case kHfFreq:
    case kHfGain:
      return true;
    default:
      return false;
  }
}

const char* parameterName(int index) {
  switch (index) {
    case kEqAll:
      return "EQ all";
    case kOutput:
      return "OUTput";
    case kSat:
      return "SAT";
    case kHpf:
      return "HPF";
    case kHpfFreq:
      return "HPFfreq";
    case kLf:
      return "LF";
    case kLfFreq:
      return "LFfreq";
    case kLfGain:
      return "LFgain";
    case kMf:
      return "MF";
    case kMfFreq:
      return "MFfreq";
    case kMfGain:
      return "MFgain";
    case kHf:
      return "HF";
    case kHfFreq:
      return "HFfreq";
    case kHfGain:
      return "HFgain";
    default:
      return "";
  }
}

}  // namespace tavola
