// What a DAW learns from a freshly created instance before it processes anything:
// identity, channels, flags, latency, capabilities, pins and program names.

#include <gtest/gtest.h>

#include <limits>

#include <cstring>
#include <string>
#include <vector>

#include "plugin/LoadedPlugin.h"

namespace tavola::plugintest {
namespace {

TEST(PluginIdentity, NamesVersionsAndCategory) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->effectName(), "ZEB Tavola");
  EXPECT_EQ(effect->productString(), "ZEB Tavola - classic program eq");
  const std::optional<std::string> vendor = effect->vendorString();
  ASSERT_TRUE(vendor.has_value());
  EXPECT_FALSE(vendor->empty());
  EXPECT_LE(vendor->size(), 16u) << *vendor;
  EXPECT_EQ(effect->vendorVersion(), 1800);
  EXPECT_EQ(effect->uniqueId(), fourCharCode('K', 'W', 'T', 'V'));
  EXPECT_EQ(effect->uniqueIdText(), "KWTV");
  EXPECT_EQ(effect->category(), kPlugCategMastering);
  EXPECT_EQ(effect->vstVersion(), kVstVersion);
}

TEST(PluginIdentity, CountsAndFlagsInTheRecord) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->numInputs(), 2);
  EXPECT_EQ(effect->numOutputs(), 2);
  EXPECT_EQ(effect->numParams(), 44);
  EXPECT_EQ(effect->numPrograms(), 1);
  EXPECT_TRUE(effect->hasProgramChunks());
  EXPECT_TRUE(effect->canReplacing());
  EXPECT_TRUE(effect->canDoubleReplacing());
  EXPECT_NE(effect->aeffect()->processReplacing, nullptr);
  EXPECT_NE(effect->aeffect()->processDoubleReplacing, nullptr);
  EXPECT_NE(effect->aeffect()->setParameter, nullptr);
  EXPECT_NE(effect->aeffect()->getParameter, nullptr);
}

TEST(PluginIdentity, LatencyAndTail) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  // Hosts read the latency before the first resume to lay out their delay compensation.
  EXPECT_EQ(effect->initialDelay(), 47);
  EXPECT_EQ(effect->tailSize(), 1024);

  // After a resume the record carries 33 + trunc(N / 2), N the odd window near rate/1500.
  struct RateLatency {
    float rate;
    VstInt32 samples;
  };
  // The window's rings hold 1024 positions, so from 1.536 MHz up the window stays at 1023;
  // a rate that is no rate leaves the window at its shortest, never a garbage length.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (const RateLatency& expected :
       {RateLatency{48000.0f, 49}, RateLatency{96000.0f, 65}, RateLatency{192000.0f, 97},
        RateLatency{10000.0f, 36}, RateLatency{1536000.0f, 544}, RateLatency{1e12f, 544},
        RateLatency{0.0f, 33}, RateLatency{-48000.0f, 33}, RateLatency{nan, 33},
        RateLatency{44100.0f, 47}}) {
    effect->suspend();
    effect->setSampleRate(expected.rate);
    effect->resume();
    EXPECT_EQ(effect->initialDelay(), expected.samples) << "at " << expected.rate << " Hz";
  }
}

TEST(PluginIdentity, CanDoAnswers) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  for (const char* yes : {"offline", "plugAsChannelInsert", "mixDryWet", "1in1out", "2in2out"})
    EXPECT_EQ(effect->canDo(yes), 1) << yes;
  // Anything else, including a listed text in other letter case, is "don't know".
  for (const char* no : {"receiveVstMidiEvent", "receiveVstEvents", "sendVstMidiEvent", "bypass",
                         "2In2Out", "Offline", "2in2out ", "", "1in2out"})
    EXPECT_EQ(effect->canDo(no), 0) << '"' << no << '"';
}

TEST(PluginIdentity, PinProperties) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  struct Pin {
    bool output;
    VstInt32 index;
    const char* label;
    VstInt32 flags;
  };
  const Pin pins[] = {{false, 0, "ZEB Tavola 1 In", kVstPinIsActive | kVstPinIsStereo},
                      {false, 1, "ZEB Tavola 2 In", kVstPinIsActive},
                      {true, 0, "ZEB Tavola 1 Out", kVstPinIsActive | kVstPinIsStereo},
                      {true, 1, "ZEB Tavola 2 Out", kVstPinIsActive}};
  for (const Pin& pin : pins) {
    SCOPED_TRACE(pin.label);
    VstPinProperties properties{};
    const bool answered = pin.output ? effect->outputProperties(pin.index, properties)
                                     : effect->inputProperties(pin.index, properties);
    EXPECT_TRUE(answered);
    EXPECT_STREQ(properties.label, pin.label);
    EXPECT_EQ(properties.flags, pin.flags);
  }

  // A pin that does not exist is refused and the host's record is left as it was.
  for (bool output : {false, true}) {
    for (VstInt32 index : {2, 3, -1}) {
      SCOPED_TRACE(testing::Message() << (output ? "output " : "input ") << index);
      VstPinProperties properties;
      std::memset(&properties, 0x5A, sizeof properties);
      VstPinProperties before;
      std::memcpy(&before, &properties, sizeof before);
      const bool answered = output ? effect->outputProperties(index, properties)
                                   : effect->inputProperties(index, properties);
      EXPECT_FALSE(answered);
      EXPECT_EQ(std::memcmp(&properties, &before, sizeof before), 0);
    }
  }
}

TEST(PluginIdentity, FactoryPresetNamesThroughIndexedProgramNames) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  const std::vector<std::string> expected = {"Default", "Air",     "Loudness",  "Zoom 1",
                                             "Zoom 2",  "Speaker", "Bright Vox"};
  std::vector<std::string> names;
  for (VstInt32 index = 0; index < 7; ++index) {
    const std::optional<std::string> name = effect->programNameIndexed(index);
    EXPECT_TRUE(name.has_value()) << "index " << index;
    names.push_back(name.value_or("(refused)"));
  }
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(effect->programNameIndexed(7).has_value());
  EXPECT_FALSE(effect->programNameIndexed(128).has_value());
  EXPECT_FALSE(effect->programNameIndexed(-1).has_value());
  // The category argument does not matter to an effect without categories.
  EXPECT_EQ(effect->programNameIndexed(5, 0), "Speaker");

  // The single host program is the current preset.
  EXPECT_EQ(effect->program(), 0);
  EXPECT_EQ(effect->programName(), "Default");
}

}  // namespace
}  // namespace tavola::plugintest
