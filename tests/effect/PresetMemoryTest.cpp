// The effect's program memory: factory presets, names, switching and the template.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "effect/TestHost.h"

using namespace tavola;

namespace {

// Counts setParameter calls by wrapping the effect, as the effect's own override sees them.
class CountingEffect : public Tavola {
 public:
  CountingEffect() : Tavola(test::connectedHost) {}
  void setParameter(VstInt32 index, float value) override {
    ++calls;
    loadingSeen = loadingSeen || isPresetLoading();
    Tavola::setParameter(index, value);
  }
  int calls = 0;
  bool loadingSeen = false;
};

std::string programName(Tavola& effect) {
  char name[kPresetNameSize + 8];
  effect.getProgramName(name);
  return name;
}

}  // namespace

TEST(PresetMemory, FactoryPresetNamesAndValues) {
  auto effect = test::makeEffect();
  const char* names[] = {"Default", "Air", "Loudness", "Zoom 1", "Zoom 2", "Speaker", "Bright Vox"};
  char text[kPresetNameSize];
  for (int i = 0; i < kNumPresets; ++i) {
    ASSERT_TRUE(effect->getProgramNameIndexed(0, i, text));
    EXPECT_STREQ(text, names[i]);
  }
  EXPECT_FALSE(effect->getProgramNameIndexed(0, 7, text));
  EXPECT_FALSE(effect->getProgramNameIndexed(0, -1, text));

  const PresetRecord& loudness = effect->preset(2);
  EXPECT_EQ(loudness.params[15], 7.0f / 12.0f);
  EXPECT_EQ(loudness.params[27], 2.0f / 3.0f);
  EXPECT_EQ(loudness.params[13], 0.75f);
  EXPECT_EQ(loudness.params[5], 0.5f);
  EXPECT_EQ(loudness.params[22], 0.5f);
  EXPECT_EQ(loudness.params[26], 0.0f);
  EXPECT_EQ(loudness.params[28], 0.0f);
  EXPECT_EQ(loudness.params[43], 0.0f);
  EXPECT_EQ(effect->preset(5).params[9], 0.75f);
  EXPECT_EQ(effect->preset(6).params[21], 5.0f / 6.0f);
}

TEST(PresetMemory, SwitchingAppliesEveryValueThroughSetParameter) {
  CountingEffect effect;
  effect.calls = 0;
  const std::string lines = test::capturedStderr([&] { effect.setPresetNo(2); });
  EXPECT_EQ(effect.calls, kNumParameters);
  EXPECT_TRUE(effect.loadingSeen);
  EXPECT_FALSE(effect.isPresetLoading());
  EXPECT_EQ(effect.getPresetNo(), 2);
  EXPECT_NE(lines.find("Tavola::setParameter # 15\t 0.583333\t\n"), std::string::npos);
  EXPECT_DOUBLE_EQ(effect.parameters().lfFreq.load(), 200.0);  // 0.75 -> step 9
  EXPECT_EQ(programName(effect), "Loudness");
  EXPECT_EQ(effect.getProgram(), 0);

  effect.calls = 0;
  effect.setPresetNo(7);
  effect.setPresetNo(-1);
  EXPECT_EQ(effect.calls, 0);
  EXPECT_EQ(effect.getPresetNo(), 2);
}

TEST(PresetMemory, LiveChangesGoIntoTheCurrentPresetOnly) {
  auto effect = test::makeEffect();
  testing::internal::CaptureStderr();
  effect->setPresetNo(3);
  effect->setParameter(15, 0.25f);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(effect->preset(3).params[15], 0.25f);
  EXPECT_EQ(effect->preset(0).params[15], 0.5f);
  EXPECT_EQ(effect->CPresetSystemEffect::getParameter(15), 0.25f);
  EXPECT_EQ(effect->CPresetSystemEffect::getParameter(44), -1.0f);
  EXPECT_EQ(effect->CPresetSystemEffect::getParameter(-1), -1.0f);
  effect->setProgram(4);
  EXPECT_EQ(effect->getProgram(), 0);
  EXPECT_EQ(effect->getPresetNo(), 3);
}

TEST(PresetMemory, NamesAreCutTo23Characters) {
  auto effect = test::makeEffect();
  effect->setPresetName("A name of thirty characters!!!");
  EXPECT_EQ(programName(*effect), "A name of thirty charac");
  char hostName[] = "Host given name that is far too long";
  effect->setProgramName(hostName);
  EXPECT_EQ(programName(*effect), "Host given name that is");
  const PresetRecord& current = effect->preset(0);
  for (int i = 23; i < kPresetNameSize; ++i) EXPECT_EQ(current.name[i], 0);
  effect->setPresetName(nullptr);
  EXPECT_EQ(programName(*effect), "Host given name that is");
}

TEST(PresetMemory, InitializePresetCopiesTheTemplate) {
  auto effect = test::makeEffect();
  effect->initializePreset(3);
  const PresetRecord three = effect->preset(3), zero = effect->preset(0);
  EXPECT_EQ(std::memcmp(&three, &zero, sizeof three), 0);
  const PresetRecord four = effect->preset(4);
  effect->initializePreset(7);
  effect->initializePreset(-1);
  const PresetRecord fourAfter = effect->preset(4);
  EXPECT_EQ(std::memcmp(&fourAfter, &four, sizeof four), 0);
}
