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
