// --set NAME=VALUE as the renderer reads it: names in any spelling, display texts read by
// the plug-in, bare numbers sent as normalised values, and errors that say what fits.
// Expected steps come from the published mappings worked by hand: gains
// k = trunc(48 p + 0.5), output level k = trunc(128 p + 0.5) with L = k / 4 - 16.

#include <gtest/gtest.h>

#include <string>

#include "render/RenderTestSupport.h"
#include "tools/common/ParameterValue.h"

namespace tavola::render {
namespace {

using test::resolved;

TEST(ParameterValues, DisplayTextsAndWordsSetTheStepTheyName) {
  struct Case {
    const char* name;
    const char* value;
    int index;
    float normalised;
    const char* text;
  };
  const Case cases[] = {
      {"LFgain", "3.5dB", 15, 31.0f / 48.0f, "3.5dB"},
      {"lfgain", "3.7dB", 15, 31.0f / 48.0f, "3.5dB"},  // 3.5 is nearer than 4.0
      {"OUTput", "-3.25dB", 6, 51.0f / 128.0f, "-3.25dB"},
      {"output", "1.2dB", 6, 69.0f / 128.0f, "1.25dB"},
      {"MFfreq", "2k", 21, 6.0f / 12.0f, "2.00kHz"},
      {"HPFfreq", "47.6Hz", 9, 5.0f / 12.0f, "48Hz"},
      {"HF", "off", 24, 0.0f, "Off"},
      {"LFgain", "3", 15, 30.0f / 48.0f, "3.0dB"},  // outside [0, 1] a number is in dB
      {"SAT", "Sat", 7, 1.0f, "Sat"},
      {"EQALL", "Yes", 0, 1.0f, "On"},
      {"Eq-All", "false", 0, 0.0f, "Off"},
      {"eq_all", "true", 0, 1.0f, "On"},
  };
  for (const Case& c : cases) {
    const ParameterSetting setting = resolved(c.name, c.value);
    EXPECT_EQ(setting.index, c.index) << c.name << "=" << c.value;
    EXPECT_NEAR(setting.normalised, c.normalised, 1e-6) << c.name << "=" << c.value;
    EXPECT_EQ(setting.text, c.text) << c.name << "=" << c.value;
  }
}

TEST(ParameterValues, BareNumbersInTheUnitRangeAreSentAsTheyAre) {
  EXPECT_EQ(resolved("LFgain", "0.75").normalised, 0.75f);
  EXPECT_EQ(resolved("LFgain", "0.75").text, "6.0dB");
  EXPECT_EQ(resolved("LFgain", "0.51").text, "0.0dB");  // trunc(48 * 0.51 + 0.5) = 24
  // "SAT" switches on strictly above one half, the band switches from one half.
  EXPECT_EQ(resolved("SAT", "0.5").text, "Thru");
  EXPECT_EQ(resolved("HF", "0.5").text, "On");
  EXPECT_EQ(resolved("OUTput", "0").text, "-16.00dB");
  EXPECT_EQ(resolved("OUTput", "1").text, "16.00dB");
}

TEST(ParameterValues, ErrorsNameTheProblem) {
  const std::string names =
      "the parameters are EQ all, OUTput, SAT, HPF, HPFfreq, LF, LFfreq, LFgain, MF, MFfreq, "
      "MFgain, HF, HFfreq, HFgain";
  const std::pair<const char*, const char*> unknown[] = {{"LFgian", "3dB"}, {"", "3dB"}};
  for (const auto& [name, value] : unknown) {
    ParameterSetting setting;
    const Status status = test::resolveOnScratch(name, value, setting);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage);
    EXPECT_EQ(status.message(), "unknown parameter \"" + std::string(name) + "\"; " + names);
  }
  struct Case {
    const char* name;
    const char* value;
    const char* range;
  };
  const Case cases[] = {
      {"LFgain", "15dB", "-12.0dB ... 12.0dB"},
      {"LFgain", "3Hz", "-12.0dB ... 12.0dB"},
      {"OUTput", "16.2dB", "-16.00dB ... 16.00dB"},
      {"HPFfreq", "10Hz", "15Hz ... 240Hz"},
      {"HFfreq", "30k", "1.50kHz ... 24.0kHz"},
      {"MFfreq", "loud", "500Hz ... 8.00kHz"},
      {"HF", "1.5", "Off ... On"},
      {"SAT", "maybe", "Thru ... Sat"},
  };
  for (const Case& c : cases) {
    ParameterSetting setting;
    const Status status = test::resolveOnScratch(c.name, c.value, setting);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage) << c.name << "=" << c.value;
    EXPECT_EQ(status.message(), std::string("cannot read ") + c.name + "=" + c.value + ": " +
                                    c.name + " takes a value from " + c.range +
                                    " in its unit, or a normalised number in [0, 1]");
  }
}

}  // namespace
}  // namespace tavola::render
