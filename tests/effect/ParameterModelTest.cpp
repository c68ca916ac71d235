// Storing, deriving and reporting parameters on the effect itself.

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "effect/TestHost.h"

using namespace tavola;
using tavola::test::quietly;

namespace {

std::string display(Tavola& effect, int index) {
  char text[64];
  std::memset(text, 'x', sizeof text);
  effect.getParameterDisplay(index, text);
  return text;
}

}  // namespace

TEST(ParameterModel, DefaultPresetTexts) {
  auto effect = test::makeEffect();
  const std::pair<int, const char*> expected[] = {
      {0, "On   "},  {6, "0.00dB"}, {7, "Thru"},     {8, "On   "},  {9, "15Hz"},
      {12, "On   "}, {13, "100Hz"}, {15, "0.0dB"},   {20, "On   "}, {21, "2.00kHz"},
      {23, "0.0dB"}, {24, "On   "}, {25, "6.00kHz"}, {27, "0.0dB"}};
  for (const auto& [index, text] : expected) EXPECT_EQ(display(*effect, index), text) << index;
  for (int index : {1, 26, 28, 43, 44, -1, 1000}) EXPECT_EQ(display(*effect, index), "") << index;
}

TEST(ParameterModel, DisplayTextsFollowTheValues) {
  auto effect = test::makeEffect();
  quietly([&] {
    effect->setParameter(6, 1.0f);
    effect->setParameter(7, 0.75f);
    effect->setParameter(8, 0.2f);
    effect->setParameter(9, 1.0f);
    effect->setParameter(15, 25.0f / 48.0f);
    effect->setParameter(23, 0.0f);
    effect->setParameter(27, 1.0f);
    effect->setParameter(25, 1.0f);
    effect->setParameter(21, 0.0f);
  });
  EXPECT_EQ(display(*effect, 6), "16.00dB");
  EXPECT_EQ(display(*effect, 7), "Sat");
  EXPECT_EQ(display(*effect, 8), "Off  ");
  EXPECT_EQ(display(*effect, 9), "240Hz");
  EXPECT_EQ(display(*effect, 15), "0.5dB");
  EXPECT_EQ(display(*effect, 23), "-12.0dB");
  EXPECT_EQ(display(*effect, 27), "12.0dB");
  EXPECT_EQ(display(*effect, 25), "24.0kHz");
  EXPECT_EQ(display(*effect, 21), "500Hz");

  quietly([&] { effect->setParameter(6, 0.0f); });
  EXPECT_EQ(display(*effect, 6), "-16.00dB");
}

TEST(ParameterModel, StoresValuesAndDerivesPhysicalOnes) {
  auto effect = test::makeEffect();
  const ParameterBlock& p = effect->parameters();
  quietly([&] {
    effect->setParameter(9, 0.999f);
    effect->setParameter(13, 0.99f);
    effect->setParameter(7, 0.5f);
    effect->setParameter(8, 0.5f);
    effect->setParameter(12, 1.5f);
    effect->setParameter(6, 2.0f);
    effect->setParameter(26, 0.3f);
  });
  EXPECT_DOUBLE_EQ(p.hpfFreq.load(), 190.0);
  EXPECT_DOUBLE_EQ(p.lfFreq.load(), 317.0);
  EXPECT_EQ(p.satOn.load(), 0);
  EXPECT_EQ(p.hpfOn.load(), 1);
  EXPECT_EQ(p.lfOn.load(), 2);
  EXPECT_DOUBLE_EQ(p.outGain.load(), 256.0);  // level 48
  EXPECT_FLOAT_EQ(effect->getParameter(26), 0.3f);
  EXPECT_FLOAT_EQ(effect->getParameter(12), 1.5f);
  EXPECT_EQ(effect->getParameter(44), 0.0f);
  EXPECT_EQ(effect->getParameter(-1), 0.0f);
}

TEST(ParameterModel, EveryChangeWritesItsDiagnosticLine) {
  auto effect = test::makeEffect();
  const std::string out = test::capturedStderr([&] {
    effect->setParameter(6, 0.25f);
    effect->setParameter(50, 0.3f);
    effect->setParameter(-3, 0.5f);
  });
  EXPECT_EQ(out,
            "Tavola::setParameter # 6\t 0.250000\t\n"
            "Tavola::setParameter # 50\t 0.300000\t\n"
            "Tavola::setParameter # -3\t 0.500000\t\n");
}

TEST(ParameterModel, UnknownIndicesChangeNothing) {
  auto effect = test::makeEffect();
  const PresetRecord before = effect->preset(0);
  float live[kNumParameters];
  for (int i = 0; i < kNumParameters; ++i) live[i] = effect->getParameter(i);
  quietly([&] {
    for (int index :
         {44, 50, -1, -44, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
      effect->setParameter(index, 0.123f);
  });
  const PresetRecord after = effect->preset(0);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
  for (int i = 0; i < kNumParameters; ++i) EXPECT_EQ(effect->getParameter(i), live[i]);
}

TEST(ParameterModel, NonFiniteValuesKeepTextsAndPresetsValid) {
  auto effect = test::makeEffect();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (int index : {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27, 30}) {
    for (float value : {nan, inf, -inf, 3e38f, -3e38f, -1.0f, 1.5f}) {
      quietly([&] { effect->setParameter(index, value); });
      const std::string text = display(*effect, index);
      EXPECT_LT(text.size(), 12u) << index << " " << value;
      // The preset memory keeps only values its readers accept.
      const float stored = effect->preset(0).params[index];
      EXPECT_TRUE(stored >= 0.0f && stored <= 1.0f) << index << " " << value;
    }
  }
  quietly([&] { effect->setParameter(13, nan); });
  EXPECT_EQ(display(*effect, 13), "25Hz");
  quietly([&] { effect->setParameter(13, inf); });
  EXPECT_EQ(display(*effect, 13), "400Hz");
}

TEST(ParameterModel, PropertiesForSwitchesOnly) {
  auto effect = test::makeEffect();
  VstParameterProperties props;
  std::memset(&props, 0x7f, sizeof props);
  const VstParameterProperties untouched = props;
  EXPECT_FALSE(effect->getParameterProperties(6, &props));
  EXPECT_FALSE(effect->getParameterProperties(9, &props));
  EXPECT_FALSE(effect->getParameterProperties(44, &props));
  EXPECT_EQ(std::memcmp(&props, &untouched, sizeof props), 0);

  ASSERT_TRUE(effect->getParameterProperties(24, &props));
  EXPECT_EQ(props.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
  EXPECT_EQ(props.stepFloat, 1.0f);
  EXPECT_EQ(props.smallStepFloat, 1.0f);
  EXPECT_EQ(props.largeStepFloat, 1.0f);
  EXPECT_STREQ(props.label, "HF");
  EXPECT_STREQ(props.shortLabel, "HF");
  EXPECT_EQ(props.minInteger, untouched.minInteger);  // no other field written

  int switches = 0;
  for (int i = 0; i < kNumParameters; ++i) switches += effect->getParameterProperties(i, &props);
  EXPECT_EQ(switches, 16);
  ASSERT_TRUE(effect->getParameterProperties(43, &props));
  EXPECT_STREQ(props.label, "");
}

TEST(ParameterModel, DummyIndicesAreTheNonControls) {
  auto effect = test::makeEffect();
  int stored = 0;
  for (int i = -5; i < 60; ++i) {
    EXPECT_EQ(effect->isDummy(i), effect->isDummyOld(i));
    stored += effect->isDummy(i) ? 0 : 1;
  }
  EXPECT_EQ(stored, 14);
  EXPECT_FALSE(effect->isDummy(27));
  EXPECT_TRUE(effect->isDummy(26));
}
