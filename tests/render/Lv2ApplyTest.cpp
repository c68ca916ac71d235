// The LV2 bundle in lilv's own tools: lv2info reads its description without a word of
// complaint, and lv2apply renders every factory preset, set as the preset's port values,
// sample for sample as tavola-render renders it through the VST 2.4 plug-in.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "effect/signal/FactoryPresetTable.h"
#include "lv2/ports/PortTable.h"
#include "lv2/ports/TurtleWriter.h"
#include "lv2/ports/Uris.h"
#include "render/RenderTestSupport.h"

#ifdef TAVOLA_LV2_BUNDLES

namespace tavola::render {
namespace {

using test::runProgram;
using test::TempDir;

// lilv finds the bundle through LV2_PATH, which the tools take from the environment.
class LilvTools : public testing::Test {
 protected:
  void SetUp() override {
#ifdef TAVOLA_SANITIZED_BUILD
    GTEST_SKIP() << "lilv's tools cannot load a plug-in built with sanitizers";
#endif
    for (const char* tool : {"/usr/bin/lv2apply", "/usr/bin/lv2info"})
      if (!std::filesystem::exists(tool)) GTEST_SKIP() << tool << " is not installed";
    ::setenv("LV2_PATH", TAVOLA_LV2_BUNDLES, 1);
  }
  void TearDown() override { ::unsetenv("LV2_PATH"); }
};

TEST_F(LilvTools, Lv2infoReadsTheWholeDescriptionWithoutComplaint) {
  TempDir dir;
  const auto info = runProgram("/usr/bin/lv2info", {lv2::kPluginUri}, dir.path());
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_EQ(info.err, "");
  for (const char* expected : {"Has latency:       yes, reported by port 18",
                               "Symbol:      latency", "X11UI", "Bright Vox", "1.26kHz", "-12.0dB"})
    EXPECT_NE(info.out.find(expected), std::string::npos) << expected;
  for (const auto& control : lv2::controlPorts())
    EXPECT_NE(info.out.find(std::string("Symbol:      ") + control.symbol), std::string::npos);
}

TEST_F(LilvTools, Lv2applyRendersEveryFactoryPresetAsTheVstPluginDoes) {
  TempDir dir;
  // Floating-point samples in and out, so that neither tool's conversion hides anything.
  const std::string input = dir.file("in.wav");
  std::vector<double> samples = test::sineFrames(20000, 2, 44100.0, 310.0, 0.9);
  for (std::size_t i = 0; i < samples.size(); i += 7) samples[i] *= -1.3;
  ASSERT_TRUE(test::writeAudioFile(input, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 2, 44100, samples));
  for (int preset = 0; preset < kNumFactoryPresets; ++preset) {
    SCOPED_TRACE(factoryPresetValues(preset).name);
    const std::string viaVst = dir.file("vst.wav");
    const std::string viaLv2 = dir.file("lv2.wav");
    const auto render = test::runRenderer(
        {"--float", "--no-compensate", "-f", "--preset", std::to_string(preset), input, viaVst},
        dir.path());
    ASSERT_EQ(render.exitCode, 0) << render.err;
    std::vector<std::string> arguments = {"-i", input, "-o", viaLv2};
    for (const auto& control : lv2::controlPorts()) {
      const float p = factoryPresetValues(preset).values[control.parameter];
      arguments.insert(
          arguments.end(),
          {"-c", control.symbol,
           lv2::turtleNumber(lv2::stepValue(control, lv2::stepOfNormalised(control, p)))});
    }
    arguments.push_back(lv2::kPluginUri);
    const auto apply = runProgram("/usr/bin/lv2apply", arguments, dir.path());
    ASSERT_EQ(apply.exitCode, 0) << apply.err;
    const test::AudioFile vst = test::readAudioFile(viaVst);
    const test::AudioFile lv2 = test::readAudioFile(viaLv2);
    ASSERT_EQ(vst.frames(), lv2.frames());
    long differing = 0;
    for (std::size_t i = 0; i < vst.samples.size(); ++i)
      if (vst.samples[i] != lv2.samples[i]) ++differing;
    EXPECT_EQ(differing, 0);
  }
}

}  // namespace
}  // namespace tavola::render

#endif
