#include "effect/signal/ParameterMapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tavola;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
}  // namespace

TEST(ParameterMapping, FrequencyIndexFollowsSinglePrecisionValues) {
  // 7/12 in single precision is 0.58333331..., whose product with 12 is just below 7.
  EXPECT_EQ(frequencyIndex(7.0f / 12.0f), 6);
  // 8/12 rounds up to 0.66666669..., just above 8 after the product.
  EXPECT_EQ(frequencyIndex(8.0f / 12.0f), 8);
  EXPECT_EQ(frequencyIndex(0.5f), 6);
  EXPECT_EQ(frequencyIndex(0.99f), 11);
  EXPECT_EQ(frequencyIndex(0.999f), 11);
  EXPECT_EQ(frequencyIndex(1.0f), 12);
  EXPECT_EQ(frequencyIndex(1.7f), 12);
  EXPECT_EQ(frequencyIndex(0.0f), 0);
  EXPECT_EQ(frequencyIndex(-0.2f), 0);
}

TEST(ParameterMapping, FrequencyTablesHoldTheSteppedValues) {
  EXPECT_DOUBLE_EQ(kHpfFrequencies[frequencyIndex(1.0f)], 240.0);
  EXPECT_DOUBLE_EQ(kHpfFrequencies[frequencyIndex(0.999f)], 190.0);
  EXPECT_DOUBLE_EQ(kLfFrequencies[frequencyIndex(0.5f)], 100.0);
  EXPECT_DOUBLE_EQ(kLfFrequencies[frequencyIndex(0.99f)], 317.0);
  EXPECT_DOUBLE_EQ(kMfFrequencies[6], 2000.0);
  EXPECT_DOUBLE_EQ(kHfFrequencies[11], 19049.0);
  for (const auto* table : {&kHpfFrequencies, &kLfFrequencies, &kMfFrequencies, &kHfFrequencies})
    for (int i = 1; i < kNumFrequencySteps; ++i) EXPECT_LT((*table)[i - 1], (*table)[i]);
}

TEST(ParameterMapping, OutputLevelInQuarterStepsOfSixPerDoubling) {
  EXPECT_DOUBLE_EQ(outputLevel(0.5f), 0.0);
  EXPECT_DOUBLE_EQ(outputGain(0.5f), 1.0);
  EXPECT_DOUBLE_EQ(outputLevel(1.0f), 16.0);
  EXPECT_NEAR(outputGain(1.0f), 6.3496, 1e-4);
  EXPECT_DOUBLE_EQ(outputLevel(0.0f), -16.0);
  EXPECT_NEAR(outputGain(0.0f), 0.15749, 1e-5);
  EXPECT_DOUBLE_EQ(outputLevel(0.501f), 0.0);              // k = trunc(64.628) = 64
  EXPECT_DOUBLE_EQ(outputLevel(0.505f), 0.25);             // k = 65
  EXPECT_DOUBLE_EQ(outputLevel(2.0f), 48.0);               // not clamped
  EXPECT_DOUBLE_EQ(outputGain(0.5f + 6.0f / 32.0f), 2.0);  // level 6 doubles the gain
}

TEST(ParameterMapping, BandGainInFortyNineSteps) {
  EXPECT_DOUBLE_EQ(bandGain(0.5f), 1.0);
  EXPECT_DOUBLE_EQ(bandGain(0.51f), 1.0);  // k = trunc(24.98) = 24
  EXPECT_DOUBLE_EQ(bandGain(1.0f), 4.0);
  EXPECT_DOUBLE_EQ(bandGain(0.0f), 0.25);
  EXPECT_DOUBLE_EQ(bandGain(25.0f / 48.0f), std::pow(2.0, 1.0 / 12.0));
}

TEST(ParameterMapping, SwitchesRoundAndCompareAsWritten) {
  EXPECT_EQ(eqSwitch(0.5f), 1);
  EXPECT_EQ(eqSwitch(0.49999997f), 0);
  EXPECT_EQ(saturationSwitch(0.5f), 0);
  EXPECT_EQ(saturationSwitch(0.50000006f), 1);
  EXPECT_EQ(roundedSwitch(0.5f), 1);
  EXPECT_EQ(roundedSwitch(0.49999997f), 0);
  EXPECT_EQ(roundedSwitch(1.5f), 2);
  EXPECT_EQ(roundedSwitch(-0.2f), 0);
}

TEST(ParameterMapping, NonFiniteAndHugeValuesGiveDefinedResults) {
  // NaN behaves as 0 everywhere.
  EXPECT_EQ(frequencyIndex(kNaN), 0);
  EXPECT_EQ(eqSwitch(kNaN), 0);
  EXPECT_EQ(saturationSwitch(kNaN), 0);
  EXPECT_EQ(roundedSwitch(kNaN), 0);
  EXPECT_DOUBLE_EQ(outputLevel(kNaN), -16.0);
  EXPECT_DOUBLE_EQ(bandGain(kNaN), 0.25);
  // Infinities and huge values count as +/-64: finite results, no integer overflow.
  EXPECT_EQ(frequencyIndex(kInf), 12);
  EXPECT_EQ(frequencyIndex(-kInf), 0);
  EXPECT_EQ(roundedSwitch(kInf), 64);
  EXPECT_EQ(roundedSwitch(-3e38f), -63);
  EXPECT_DOUBLE_EQ(outputLevel(kInf), 128.0 * 64 / 4 - 16);
  EXPECT_DOUBLE_EQ(outputLevel(1e30f), outputLevel(64.0f));
  EXPECT_TRUE(std::isfinite(outputGain(kInf)));
  EXPECT_TRUE(std::isfinite(outputGain(-kInf)));
  EXPECT_TRUE(std::isfinite(bandGain(3e38f)));
  EXPECT_GT(outputGain(-kInf), 0.0);
}

TEST(ParameterMapping, NamesOfTheFourteenControls) {
  const int used[] = {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27};
  const char* names[] = {"EQ all", "OUTput", "SAT",    "HPF",    "HPFfreq", "LF",     "LFfreq",
                         "LFgain", "MF",     "MFfreq", "MFgain", "HF",      "HFfreq", "HFgain"};
  int count = 0;
  for (int i = -2; i < 50; ++i) count += isUsedParameter(i) ? 1 : 0;
  EXPECT_EQ(count, 14);
  for (int k = 0; k < 14; ++k) {
    EXPECT_TRUE(isUsedParameter(used[k]));
    EXPECT_STREQ(parameterName(used[k]), names[k]);
  }
  EXPECT_STREQ(parameterName(26), "");
  EXPECT_STREQ(parameterName(-1), "");
  EXPECT_STREQ(parameterName(44), "");
}
