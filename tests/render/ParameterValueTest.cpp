// Parameter values on the command line: how the steps are learnt from the plug-in, how
// every unit form is read and snapped, and the errors for names and values that do not
// fit. Expected steps and normalised values are worked out by hand from the published
// mappings: gains k = trunc(48 p + 0.5) with 2^((k - 24) / 12), output level
// k = trunc(128 p + 0.5) with L = k / 4 - 16, frequency step i = trunc(12 p).

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/RenderTestSupport.h"
#include "tools/tavola-render/ParameterValue.h"

namespace tavola::render {
namespace {

using test::parameterSteps;

const ParameterInfo& parameter(const char* name) {
  const ParameterInfo* info = findParameter(parameterSteps(), name);
  EXPECT_NE(info, nullptr) << name;
  static const ParameterInfo none;
  return info ? *info : none;
}

// Values in units never need the plug-in; a bare normalised value asks it.
std::string noProbe(int, float) {
  ADD_FAILURE() << "the plug-in was asked";
  return "";
}

ParameterSetting resolved(const char* name, const char* value) {
  ParameterSetting setting;
  const Status status = resolveSetting(parameterSteps(), name, value, noProbe, setting);
  EXPECT_TRUE(status.ok()) << name << "=" << value << ": " << status.message();
  return setting;
}

ParameterSetting resolvedByPlugin(const char* name, const char* value) {
  std::unique_ptr<HostedEffect> effect;
  EXPECT_TRUE(test::host().createInstance(effect).ok());
  ParameterSetting setting;
  auto quiet = test::console().pluginCalls();
  const Status status =
      resolveSetting(parameterSteps(), name, value, displayProbe(*effect), setting);
  EXPECT_TRUE(status.ok()) << name << "=" << value << ": " << status.message();
  return setting;
}

Status failure(const char* name, const char* value) {
  ParameterSetting setting;
  return resolveSetting(parameterSteps(), name, value, noProbe, setting);
}

TEST(ParameterSteps, LearntFromThePluginWithTheirCounts) {
  const auto& steps = parameterSteps();
  ASSERT_EQ(steps.size(), 14u);
  const int indices[] = {0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27};
  for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i].index, indices[i]);

  EXPECT_EQ(parameter("OUTput").steps.size(), 129u);
  EXPECT_EQ(parameter("OUTput").unit, Unit::kDecibel);
  for (const char* gain : {"LFgain", "MFgain", "HFgain"}) {
    EXPECT_EQ(parameter(gain).steps.size(), 49u) << gain;
    EXPECT_EQ(parameter(gain).unit, Unit::kDecibel) << gain;
  }
  for (const char* frequency : {"HPFfreq", "LFfreq", "MFfreq", "HFfreq"}) {
    EXPECT_EQ(parameter(frequency).steps.size(), 13u) << frequency;
    EXPECT_EQ(parameter(frequency).unit, Unit::kHertz) << frequency;
  }
  for (const char* name : {"EQ all", "SAT", "HPF", "LF", "MF", "HF"})
    EXPECT_TRUE(parameter(name).isSwitch()) << name;
}

TEST(ParameterSteps, EachStepSendsTheMiddleOfItsRangeOrAnEnd) {
  const ParameterInfo& gain = parameter("LFgain");
  for (int k = 0; k <= 48; ++k)
    EXPECT_EQ(gain.steps[static_cast<std::size_t>(k)].normalised, static_cast<float>(k) / 48.0f)
        << k;
  const ParameterInfo& output = parameter("OUTput");
  for (int k = 0; k <= 128; ++k)
    EXPECT_EQ(output.steps[static_cast<std::size_t>(k)].normalised, static_cast<float>(k) / 128.0f)
        << k;
  const ParameterInfo& hpf = parameter("HPFfreq");
  EXPECT_EQ(hpf.steps[0].normalised, 0.0f);
  for (int i = 1; i < 12; ++i)
    EXPECT_EQ(hpf.steps[static_cast<std::size_t>(i)].normalised,
              (static_cast<float>(i) + 0.5f) / 12.0f)
        << i;
  EXPECT_EQ(hpf.steps[12].normalised, 1.0f);
  EXPECT_EQ(parameter("SAT").steps[0].normalised, 0.0f);
  EXPECT_EQ(parameter("SAT").steps[1].normalised, 1.0f);
}

TEST(ParameterSteps, DisplayTextsReadAsNumbersInUnits) {
  double value = 0.0;
  Unit unit = Unit::kNone;
  ASSERT_TRUE(parseDisplayValue("-3.25dB", value, unit));
  EXPECT_EQ(unit, Unit::kDecibel);
  EXPECT_EQ(value, -3.25);
  ASSERT_TRUE(parseDisplayValue("2.00kHz", value, unit));
  EXPECT_EQ(unit, Unit::kHertz);
  EXPECT_EQ(value, 2000.0);
  ASSERT_TRUE(parseDisplayValue(" 2 k ", value, unit));
  EXPECT_EQ(value, 2000.0);
  ASSERT_TRUE(parseDisplayValue("+47.6hz", value, unit));
  EXPECT_EQ(unit, Unit::kHertz);
  EXPECT_EQ(value, 47.6);
  ASSERT_TRUE(parseDisplayValue(".5", value, unit));
  EXPECT_EQ(unit, Unit::kNone);
  EXPECT_EQ(value, 0.5);
  for (const char* bad : {"", "dB", "On", "inf", "nan", "1e3", "0x10", "3 dBs", "--3dB", "3.5 d B"})
    EXPECT_FALSE(parseDisplayValue(bad, value, unit)) << bad;
}

TEST(ParameterValues, LevelsSnapToTheNearestGainStep) {
  // 3.5 dB / (20 log10 2 / 12 = 0.50172 dB) = 6.98 steps above 0 dB: k = 31.
  const ParameterSetting gain = resolved("LFgain", "3.5dB");
  EXPECT_EQ(gain.index, 15);
  EXPECT_EQ(gain.step, 31);
  EXPECT_EQ(gain.normalised, 31.0f / 48.0f);
  EXPECT_EQ(gain.text, "3.5dB");
  EXPECT_EQ(resolved("MFgain", "-12dB").normalised, 0.0f);
  EXPECT_EQ(resolved("HFgain", "+12.0db").normalised, 1.0f);
  EXPECT_EQ(resolved("HFgain", "3.7dB").step, 31);  // 3.5 is nearer than 4.0
  EXPECT_EQ(resolved("HFgain", "3.8dB").step, 32);
  // Within half a step beyond the ends still counts as the end step.
  EXPECT_EQ(resolved("LFgain", "12.2dB").step, 48);
  EXPECT_EQ(resolved("LFgain", "-12.2dB").step, 0);
}

TEST(ParameterValues, OutputLevelInQuarterSteps) {
  const ParameterSetting output = resolved("OUTput", "-3.25dB");
  EXPECT_EQ(output.index, 6);
  EXPECT_EQ(output.step, 51);  // (-3.25 + 16) * 4
  EXPECT_EQ(output.normalised, 51.0f / 128.0f);
  EXPECT_EQ(output.text, "-3.25dB");
  EXPECT_EQ(resolved("output", "0dB").normalised, 0.5f);
  EXPECT_EQ(resolved("OUTput", "16dB").normalised, 1.0f);
  EXPECT_EQ(resolved("OUTput", "1.1dB").text, "1.00dB");
  EXPECT_EQ(resolved("OUTput", "1.2dB").text, "1.25dB");
}

TEST(ParameterValues, FrequenciesSnapByRatio) {
  const ParameterSetting hpf = resolved("HPFfreq", "47.6Hz");
  EXPECT_EQ(hpf.index, 9);
  EXPECT_EQ(hpf.step, 5);
  EXPECT_EQ(hpf.normalised, 5.5f / 12.0f);
  for (const char* twoKilohertz : {"2k", "2kHz", "2000Hz", "2.00kHz", "2 khz", "2000 hz"}) {
    const ParameterSetting mid = resolved("MFfreq", twoKilohertz);
    EXPECT_EQ(mid.step, 6) << twoKilohertz;
    EXPECT_EQ(mid.normalised, 6.5f / 12.0f) << twoKilohertz;
    EXPECT_EQ(mid.text, "2.00kHz") << twoKilohertz;
  }
  EXPECT_EQ(resolved("HPFfreq", "15Hz").normalised, 0.0f);
  EXPECT_EQ(resolved("HFfreq", "24k").normalised, 1.0f);
  // 1.4 kHz lies a ratio of 1.07 below the lowest step, less than half the ratio of 1.26
  // to the next one.
  EXPECT_EQ(resolved("HFfreq", "1.4k").step, 0);
  // Between 100 and 126 Hz the geometric middle (112 Hz) decides, not the arithmetic one.
  EXPECT_EQ(resolved("LFfreq", "112.5Hz").step, 7);
  EXPECT_EQ(resolved("LFfreq", "111.5Hz").step, 6);
}

TEST(ParameterValues, SwitchesTakeWordsAndTheirTexts) {
  EXPECT_EQ(resolved("HF", "on").normalised, 1.0f);
  EXPECT_EQ(resolved("HF", "off").normalised, 0.0f);
  EXPECT_EQ(resolved("HF", "OFF").text, "Off");
  EXPECT_EQ(resolved("SAT", "on").text, "Sat");
  EXPECT_EQ(resolved("SAT", "on").normalised, 1.0f);
  EXPECT_EQ(resolved("SAT", "thru").normalised, 0.0f);
  EXPECT_EQ(resolved("EQ all", "Yes").normalised, 1.0f);
  EXPECT_EQ(resolved("eq_all", "false").normalised, 0.0f);
}

TEST(ParameterValues, BareNumbersAreNormalisedAndThePluginPicksTheStep) {
  const ParameterSetting gain = resolvedByPlugin("LFgain", "0.75");
  EXPECT_EQ(gain.step, 36);
  EXPECT_EQ(gain.normalised, 0.75f);
  EXPECT_EQ(gain.text, "6.0dB");
  // trunc(48 * 0.51 + 0.5) = 24: 0 dB, sent as the middle of that step.
  EXPECT_EQ(resolvedByPlugin("LFgain", "0.51").normalised, 0.5f);
  // 7/12 in single precision is just below 7 twelfths, so the plug-in takes step 6.
  EXPECT_EQ(resolvedByPlugin("HPFfreq", "0.58333333").step, 6);
  EXPECT_EQ(resolvedByPlugin("HPFfreq", "1").step, 12);
  // "SAT" switches on strictly above one half, the band switches from one half.
  EXPECT_EQ(resolvedByPlugin("SAT", "0.5").text, "Thru");
  EXPECT_EQ(resolvedByPlugin("HF", "0.5").text, "On");
  EXPECT_EQ(resolvedByPlugin("OUTput", "0").text, "-16.00dB");
}

TEST(ParameterValues, NamesMatchInAnyCaseAndSpelling) {
  EXPECT_EQ(resolved("lfgain", "0dB").index, 15);
  EXPECT_EQ(resolved("LFGAIN", "0dB").index, 15);
  EXPECT_EQ(resolved("EQALL", "on").index, 0);
  EXPECT_EQ(resolved("Eq-All", "on").index, 0);
}

TEST(ParameterValues, ErrorsNameTheProblem) {
  struct Case {
    const char* name;
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {"LFgian", "3dB",
       "unknown parameter \"LFgian\"; the parameters are EQ all, OUTput, SAT, HPF, HPFfreq, LF, "
       "LFfreq, LFgain, MF, MFfreq, MFgain, HF, HFfreq, HFgain"},
      {"", "3dB",
       "unknown parameter \"\"; the parameters are EQ all, OUTput, SAT, HPF, HPFfreq, LF, LFfreq, "
       "LFgain, MF, MFfreq, MFgain, HF, HFfreq, HFgain"},
      {"LFgain", "15dB", "LFgain=15dB is out of range: LFgain goes from -12.0dB to 12.0dB"},
      {"LFgain", "-12.3dB", "LFgain=-12.3dB is out of range: LFgain goes from -12.0dB to 12.0dB"},
      {"OUTput", "16.2dB", "OUTput=16.2dB is out of range: OUTput goes from -16.00dB to 16.00dB"},
      {"HPFfreq", "10Hz", "HPFfreq=10Hz is out of range: HPFfreq goes from 15Hz to 240Hz"},
      {"HFfreq", "30k", "HFfreq=30k is out of range: HFfreq goes from 1.50kHz to 24.0kHz"},
      {"MFfreq", "0Hz", "MFfreq=0Hz is out of range: MFfreq goes from 500Hz to 8.00kHz"},
      {"LFgain", "3",
       "LFgain=3 is out of range: a bare number is a normalised value in [0, 1]; give a unit for "
       "a level in dB such as 3.5dB"},
      {"HF", "1.5", "HF=1.5 is out of range: normalised values lie in [0, 1]"},
      {"LFgain", "-0.1",
       "LFgain=-0.1 is out of range: a bare number is a normalised value in [0, 1]; give a unit "
       "for a level in dB such as 3.5dB"},
      {"LFgain", "3Hz",
       "cannot read LFgain=3Hz: LFgain takes a level in dB such as 3.5dB, or a normalised number "
       "in [0, 1]"},
      {"MFfreq", "loud",
       "cannot read MFfreq=loud: MFfreq takes a frequency such as 120Hz or 2k, or a normalised "
       "number in [0, 1]"},
      {"SAT", "maybe",
       "cannot read SAT=maybe: SAT takes on, off, Thru, Sat or a normalised number in [0, 1]"},
  };
  for (const Case& c : cases) {
    const Status status = failure(c.name, c.value);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage) << c.name << "=" << c.value;
    EXPECT_EQ(status.message(), c.message);
  }
}

// The same rules on a parameter made up here, so that they do not hang on the plug-in's
// tables: three levels with a falling order and uneven spacing.
TEST(ParameterValues, NearestStepOnAnyLadder) {
  ParameterInfo info;
  info.name = "Trim";
  info.unit = Unit::kDecibel;
  info.steps = {{0.0f, "6dB", 6.0}, {0.5f, "0dB", 0.0}, {1.0f, "-2dB", -2.0}};
  EXPECT_EQ(nearestStep(info, 6.0), 0);
  EXPECT_EQ(nearestStep(info, 3.1), 0);
  EXPECT_EQ(nearestStep(info, 2.9), 1);
  EXPECT_EQ(nearestStep(info, -1.1), 2);
  EXPECT_EQ(nearestStep(info, 8.9), 0);  // half of the 6 dB step beyond the top
  EXPECT_EQ(nearestStep(info, 9.1), -1);
  EXPECT_EQ(nearestStep(info, -2.9), 2);  // half of the 2 dB step below the bottom
  EXPECT_EQ(nearestStep(info, -3.1), -1);
  ParameterSetting setting;
  const Status status = resolveValue(info, "20dB", noProbe, setting);
  EXPECT_EQ(status.message(), "Trim=20dB is out of range: Trim goes from -2dB to 6dB");
}

}  // namespace
}  // namespace tavola::render
