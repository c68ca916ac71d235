// The effect constructed directly: speaker arrangements and the latency table. Identity, pins
// and can-do answers are checked through the built plug-in (plugin/IdentityTest.cpp).

#include <gtest/gtest.h>

#include <cstring>

#include "effect/Latency.h"
#include "effect/TestHost.h"

using namespace tavola;

TEST(EffectShell, SpeakerArrangementsChooseTheChannelFlags) {
  auto effect = test::makeEffect();
  VstSpeakerArrangement in{}, out{};
  struct Row {
    int in, out;
    bool result, stereoIn, stereoOut;
  };
  const Row rows[] = {{1, 1, true, false, false}, {1, 2, true, false, true},
                      {2, 2, true, true, true},   {2, 1, false, true, true},
                      {0, 2, false, true, true},  {8, 8, false, true, true}};
  for (const Row& row : rows) {
    // Start each row from a mono setting so that a refused pair visibly resets the flags.
    in.numChannels = 1;
    out.numChannels = 1;
    ASSERT_TRUE(effect->setSpeakerArrangement(&in, &out));
    in.numChannels = row.in;
    out.numChannels = row.out;
    EXPECT_EQ(effect->setSpeakerArrangement(&in, &out), row.result) << row.in << "/" << row.out;
    EXPECT_EQ(effect->isStereoIn(), row.stereoIn) << row.in << "/" << row.out;
    EXPECT_EQ(effect->isStereoOut(), row.stereoOut) << row.in << "/" << row.out;
  }
  EXPECT_FALSE(effect->setSpeakerArrangement(nullptr, &out));
  EXPECT_TRUE(effect->isStereoIn());
}

TEST(EffectShell, LatencyFollowsTheSaturatorWindow) {
  EXPECT_EQ(saturatorWindowLength(44100), 29);
  EXPECT_EQ(saturatorWindowLength(48000), 33);
  EXPECT_EQ(saturatorWindowLength(88200), 59);
  EXPECT_EQ(saturatorWindowLength(96000), 65);
  EXPECT_EQ(saturatorWindowLength(192000), 129);
  EXPECT_EQ(saturatorWindowLength(10000), 7);
  EXPECT_EQ(latencySamples(44100), 47);
  EXPECT_EQ(latencySamples(48000), 49);
  EXPECT_EQ(latencySamples(96000), 65);
  EXPECT_EQ(latencySamples(10000), 36);
  // The rings hold 1024 positions: from 1 536 000 Hz up the window stays at 1023.
  EXPECT_EQ(saturatorWindowLength(1534500), 1023);
  EXPECT_EQ(saturatorWindowLength(1536000), 1023);
  EXPECT_EQ(saturatorWindowLength(1e12), 1023);
  EXPECT_EQ(saturatorWindowLength(0), 1);
  EXPECT_EQ(saturatorWindowLength(-48000), 1);
  EXPECT_EQ(saturatorWindowLength(std::numeric_limits<double>::quiet_NaN()), 1);

  EXPECT_NEAR(latencyMilliseconds(44100), 47 * 1000.0 / 44100, 1e-12);
  EXPECT_NEAR(latencyMilliseconds(44100), 1.0658, 1e-4);
  // Rates outside 20 to 200 kHz are shown as if the host ran at 44.1 kHz.
  EXPECT_NEAR(latencyMilliseconds(10000), 36 * 1000.0 / 44100, 1e-12);
  EXPECT_NEAR(latencyMilliseconds(384000), 161 * 1000.0 / 44100, 1e-12);
}
