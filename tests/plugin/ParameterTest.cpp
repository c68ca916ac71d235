// The parameters as a host sees them through the dispatcher and the record: names,
// display texts, properties, values, and the diagnostic line of every change.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "plugin/LoadedPlugin.h"

namespace tavola::plugintest {
namespace {

// All that a host can read about the 44 parameters.
struct ParameterSnapshot {
  std::vector<float> values;
  std::vector<std::string> names, displays, labels;

  static ParameterSnapshot of(const HostedEffect& effect) {
    ParameterSnapshot snapshot;
    for (VstInt32 index = 0; index < 44; ++index) {
      snapshot.values.push_back(effect.getParameter(index));
      snapshot.names.push_back(effect.parameterName(index));
      snapshot.displays.push_back(effect.parameterDisplay(index));
      snapshot.labels.push_back(effect.parameterLabel(index));
    }
    return snapshot;
  }
  bool operator==(const ParameterSnapshot&) const = default;
};

TEST(PluginParameters, NamesDisplaysAndValuesOfTheDefaultPreset) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  int position = 0;
  for (const ControlText& control : kDefaultControls) {
    SCOPED_TRACE(testing::Message() << "index " << control.index);
    EXPECT_EQ(effect->parameterName(control.index), control.name);
    EXPECT_EQ(effect->parameterDisplay(control.index), control.display);
    EXPECT_EQ(effect->getParameter(control.index), kDefaultValues[position++]);
  }

  // The placeholders carry a value of the preset but nothing to show.
  for (VstInt32 index = 0; index < 44; ++index) {
    SCOPED_TRACE(testing::Message() << "index " << index);
    EXPECT_EQ(effect->parameterLabel(index), "") << "units are part of the display text";
    if (isControl(index)) continue;
    EXPECT_EQ(effect->parameterName(index), "");
    EXPECT_EQ(effect->parameterDisplay(index), "");
    const bool half = (index >= 1 && index <= 5) || index == 10 || index == 11 || index == 14 ||
                      (index >= 16 && index <= 19) || index == 22;
    EXPECT_EQ(effect->getParameter(index), half ? 0.5f : 0.0f);
  }

  // Beyond the table there is nothing to name or show.
  for (VstInt32 index : {44, 100, -1}) {
    EXPECT_EQ(effect->parameterName(index), "") << index;
    EXPECT_EQ(effect->parameterDisplay(index), "") << index;
  }
}

TEST(PluginParameters, PropertiesOfSwitches) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  const VstInt32 described[] = {0, 7, 8, 12, 20, 24, 28, 29, 30, 34, 36, 37, 38, 39, 41, 43};
  for (VstInt32 index = -1; index <= 44; ++index) {
    SCOPED_TRACE(testing::Message() << "index " << index);
    VstParameterProperties properties;
    std::memset(&properties, 0x5A, sizeof properties);
    VstParameterProperties before;
    std::memcpy(&before, &properties, sizeof before);
    const bool answered = effect->parameterProperties(index, properties);
    if (std::find(std::begin(described), std::end(described), index) == std::end(described)) {
      EXPECT_FALSE(answered);
      EXPECT_EQ(std::memcmp(&properties, &before, sizeof before), 0) << "record was written";
      continue;
    }
    ASSERT_TRUE(answered);
    EXPECT_EQ(properties.flags, kVstParameterIsSwitch | kVstParameterUsesFloatStep);
    EXPECT_EQ(properties.stepFloat, 1.0f);
    EXPECT_EQ(properties.smallStepFloat, 1.0f);
    EXPECT_EQ(properties.largeStepFloat, 1.0f);
    const std::string name = effect->parameterName(index);
    EXPECT_EQ(std::string(properties.label, strnlen(properties.label, kVstMaxLabelLen)), name);
    EXPECT_EQ(std::string(properties.shortLabel, strnlen(properties.shortLabel, 8)),
              name.substr(0, 7));
    // Only the fields above belong to the answer; the rest stays as the host left it.
    EXPECT_EQ(properties.minInteger, before.minInteger);
    EXPECT_EQ(properties.maxInteger, before.maxInteger);
    EXPECT_EQ(properties.stepInteger, before.stepInteger);
    EXPECT_EQ(properties.largeStepInteger, before.largeStepInteger);
    EXPECT_EQ(properties.displayIndex, before.displayIndex);
    EXPECT_EQ(properties.category, before.category);
    EXPECT_EQ(std::memcmp(properties.categoryLabel, before.categoryLabel, 24), 0);
  }

  VstParameterProperties high{};
  ASSERT_TRUE(effect->parameterProperties(24, high));
  EXPECT_STREQ(high.label, "HF");
  EXPECT_STREQ(high.shortLabel, "HF");
  EXPECT_EQ(high.flags, 5);
  EXPECT_EQ(high.stepFloat, 1.0f);
  VstParameterProperties output{};
  EXPECT_FALSE(effect->parameterProperties(6, output));
}

TEST(PluginParameters, ChangesShowInValuesAndTexts) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  effect->setParameter(6, 0.25f);
  EXPECT_EQ(effect->getParameter(6), 0.25f);
  // Level step trunc(128 * 0.25 + 0.5) = 32, that is 32 / 4 - 16 = -8.
  EXPECT_EQ(effect->parameterDisplay(6), "-8.00dB");
  effect->setParameter(13, 0.99f);
  effect->setParameter(26, 0.7f);
  effect->setParameter(0, 0.0f);
  EXPECT_EQ(effect->parameterDisplay(13), "317Hz");
  EXPECT_EQ(effect->parameterDisplay(0), "Off  ");
  // A placeholder keeps its value but still shows nothing.
  EXPECT_EQ(effect->getParameter(26), 0.7f);
  EXPECT_EQ(effect->parameterName(26), "");
  EXPECT_EQ(effect->parameterDisplay(26), "");
}

TEST(PluginParameters, IndicesOutsideTheTableChangeNothing) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  const ParameterSnapshot before = ParameterSnapshot::of(*effect);
  for (VstInt32 index : {50, 44, -1, INT_MIN, INT_MAX}) {
    effect->setParameter(index, 0.3f);
    EXPECT_EQ(ParameterSnapshot::of(*effect), before) << "index " << index << " changed state";
  }
}

// A host may pass anything through the record; the effect must stay usable and its texts
// well formed, and valid values afterwards must bring everything back.
TEST(PluginParameters, NonFiniteAndOutOfRangeValuesAreSurvived) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  effect->setSampleRate(44100.0f);
  effect->setBlockSize(256);
  effect->resume();

  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float hostile[] = {
      std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, -1.0f, 2.0f, 1.5f, 1e30f, -1e30f,
      std::numeric_limits<float>::denorm_min()};
  std::vector<float> left(256, 0.25f), right(256, -0.25f), outLeft(256), outRight(256);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};

  testing::internal::CaptureStderr();  // hundreds of diagnostic lines
  for (float value : hostile) {
    for (VstInt32 index = 0; index < 44; ++index) effect->setParameter(index, value);
    for (VstInt32 index : {-1, -44, INT_MIN, 44, INT_MAX}) effect->setParameter(index, value);
    // Processing with whatever the values made of the parameters must not crash.
    effect->processReplacing(inputs, outputs, 256);
    for (VstInt32 index = -1; index <= 44; ++index) {
      const std::string text = effect->parameterDisplay(index);
      EXPECT_LE(text.size(), 11u) << "index " << index << " value " << value << ": " << text;
      for (char c : text)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F)
            << "index " << index << " value " << value << ": unprintable text " << text;
    }
  }
  testing::internal::GetCapturedStderr();

  // Back to the "Default" values, the effect shows and sounds as before.
  testing::internal::CaptureStderr();
  int position = 0;
  for (const ControlText& control : kDefaultControls)
    effect->setParameter(control.index, kDefaultValues[position++]);
  testing::internal::GetCapturedStderr();
  for (const ControlText& control : kDefaultControls)
    EXPECT_EQ(effect->parameterDisplay(control.index), control.display)
        << "index " << control.index;
  effect->suspend();
  effect->resume();
  for (int block = 0; block < 20; ++block) {
    effect->processReplacing(inputs, outputs, 256);
    for (int i = 0; i < 256; ++i) {
      ASSERT_TRUE(std::isfinite(outLeft[i]) && std::isfinite(outRight[i]))
          << "block " << block << " sample " << i;
    }
  }
}

}  // namespace
}  // namespace tavola::plugintest

namespace tavola::plugintest {
namespace {

// Every step's display text, sent back through effString2Parameter, selects that step
// again; texts that name no step change nothing. The steps are found by sweeping the
// normalised range, so nothing of the plug-in's mappings is assumed here.
TEST(PluginParameters, DisplayTextsSetTheirOwnStep) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  for (const ControlText& control : kDefaultControls) {
    SCOPED_TRACE(testing::Message() << control.name);
    std::vector<std::string> steps;
    for (int i = 0; i <= 1000; ++i) {
      effect->setParameter(control.index, static_cast<float>(i / 1000.0));
      const std::string text = effect->parameterDisplay(control.index);
      if (steps.empty() || steps.back() != text) steps.push_back(text);
    }
    for (const std::string& text : steps) {
      // From the far end of the range, so that the text has to do the work.
      effect->setParameter(control.index, text == steps.front() ? 1.0f : 0.0f);
      ASSERT_TRUE(effect->setParameterFromText(control.index, text)) << "'" << text << "'";
      EXPECT_EQ(effect->parameterDisplay(control.index), text);
      const float chosen = effect->getParameter(control.index);
      // The same text again lands on the very same normalised value.
      ASSERT_TRUE(effect->setParameterFromText(control.index, text));
      EXPECT_EQ(effect->getParameter(control.index), chosen);
    }
  }

  // Hand-written forms a user types: with or without unit, blanks, case.
  struct Typed {
    int index;
    const char* text;
    const char* display;
  };
  for (const Typed& t :
       {Typed{15, "+3.0dB", "3.0dB"}, Typed{15, " -12 db ", "-12.0dB"},
        Typed{25, "6.00kHz", "6.00kHz"}, Typed{21, "2k", "2.00kHz"}, Typed{9, "47.6Hz", "48Hz"},
        Typed{9, "50", "48Hz"}, Typed{6, "-3.25dB", "-3.25dB"}, Typed{6, "+16", "16.00dB"},
        Typed{24, "off", "Off  "}, Typed{7, "Sat", "Sat"}, Typed{7, "off", "Thru"}}) {
    ASSERT_TRUE(effect->setParameterFromText(t.index, t.text)) << t.text;
    EXPECT_EQ(effect->parameterDisplay(t.index), t.display) << t.text;
  }
}

TEST(PluginParameters, TextsThatNameNoStepAreRefused) {
  std::unique_ptr<HostedEffect> effect = makeEffect();
  ASSERT_TRUE(effect);
  const ParameterSnapshot before = ParameterSnapshot::of(*effect);
  struct Bad {
    int index;
    const char* text;
  };
  for (const Bad& b :
       {Bad{15, ""},     Bad{15, "loud"},  Bad{15, "3.0Hz"}, Bad{15, "+13dB"}, Bad{15, "nan"},
        Bad{15, "inf"},  Bad{15, "1,5dB"}, Bad{13, "3dB"},   Bad{13, "0Hz"},   Bad{13, "-100Hz"},
        Bad{13, "1kHz"}, Bad{9, "10Hz"},   Bad{6, "+17dB"},  Bad{6, "Huge!"},  Bad{0, "maybe"},
        Bad{0, "1.0"},   Bad{7, "On!"},    Bad{26, "0.5"},   Bad{44, "On"},    Bad{-1, "On"}})
    EXPECT_FALSE(effect->setParameterFromText(b.index, b.text)) << b.index << " '" << b.text << "'";
  EXPECT_EQ(ParameterSnapshot::of(*effect), before);
}

}  // namespace
}  // namespace tavola::plugintest
