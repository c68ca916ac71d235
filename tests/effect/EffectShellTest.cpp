// The effect constructed directly: identity, pins, speaker arrangements, latency.

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

TEST(EffectShell, PinPropertiesWriteOnlyLabelAndFlags) {
  auto effect = test::makeEffect();
  VstPinProperties pin;
  std::memset(&pin, 0x5a, sizeof pin);
  ASSERT_TRUE(effect->getInputProperties(0, &pin));
  EXPECT_STREQ(pin.label, "ZEB Tavola 1 In");
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_EQ(static_cast<unsigned char>(pin.shortLabel[0]), 0x5a);  // untouched
  ASSERT_TRUE(effect->getOutputProperties(1, &pin));
  EXPECT_STREQ(pin.label, "ZEB Tavola 2 Out");
  EXPECT_EQ(pin.flags, kVstPinIsActive);

  VstPinProperties before;
  std::memset(&before, 0x33, sizeof before);
  VstPinProperties after = before;
  EXPECT_FALSE(effect->getOutputProperties(2, &after));
  EXPECT_FALSE(effect->getInputProperties(-1, &after));
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST(EffectShell, CanDoComparesExactly) {
  auto effect = test::makeEffect();
  for (const char* yes : {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out", "2in2out"}) {
    char text[64];
    std::strcpy(text, yes);
    EXPECT_EQ(effect->canDo(text), 1) << yes;
  }
  for (const char* no : {"2In2Out", "Offline", "receiveVstMidiEvent", "", "2in2out "}) {
    char text[64];
    std::strcpy(text, no);
    EXPECT_EQ(effect->canDo(text), 0) << no;
  }
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

TEST(EffectShell, ConstructionReportsIdentityAndLatency) {
  auto effect = test::makeEffect();
  AEffect* record = effect->getAeffect();
  EXPECT_EQ(record->uniqueID, fourCharCode('K', 'W', 'T', 'V'));
  EXPECT_EQ(record->initialDelay, 47);
  EXPECT_EQ(record->numInputs, 2);
  EXPECT_EQ(record->numOutputs, 2);
  EXPECT_TRUE(effect->isSuspended());
  EXPECT_FLOAT_EQ(effect->getLatency2(), 47.0f);

  effect->setSampleRate(96000.0f);
  effect->resume();
  EXPECT_EQ(record->initialDelay, 65);
  EXPECT_FALSE(effect->isSuspended());
  effect->setSampleRate(48000.0f);
  effect->suspend();
  effect->resume();
  EXPECT_EQ(record->initialDelay, 49);
}
