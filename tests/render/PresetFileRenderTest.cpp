// tavola-render with preset and bank files: a render that starts from a file gives exactly
// the render of the same settings, a saved preset reproduces the render that saved it,
// and every refused file or clash of options is one clear line and a non-zero exit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/PresetFileSupport.h"
#include "render/RenderTestSupport.h"

namespace tavola::render {
namespace {

using test::Bytes;
using test::ImageBytes;

class RenderPresetFiles : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::writeAudioFile(dir_.file("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2,
                                     44100, test::sineFrames(1500, 2, 44100.0, 220.0, 0.4)));
  }
  test::CommandResult run(const std::vector<std::string>& arguments) {
    return test::runRenderer(arguments, dir_.path());
  }
  // Renders in.wav to `output` with the arguments; the output's bytes.
  std::string render(const std::string& output, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"in.wav", output});
    const auto result = run(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return test::fileBytes(dir_.file(output));
  }
  bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  test::TempDir dir_;
};

TEST_F(RenderPresetFiles, APresetFileRendersAsTheFactoryPresetItHolds) {
  test::writeFile(dir_.file("zoom.zeb"), test::presetFileOf(4, "Zoomed"));
  test::writeFile(dir_.file("foreign.zeb"), test::presetFileOf(4, "Zoomed", true));
  const std::string factory = render("factory.wav", {"--preset", "4"});
  const auto result = run({"in.wav", "file.wav", "--preset-file", "zoom.zeb"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(has(result.out, "Preset      \"Zoomed\" from zoom.zeb\n")) << result.out;
  EXPECT_EQ(test::fileBytes(dir_.file("file.wav")), factory);
  EXPECT_EQ(render("foreign.wav", {"--preset-file=foreign.zeb"}), factory);
}

TEST_F(RenderPresetFiles, ABankPresetRendersAsTheFactoryPresetItHolds) {
  test::writeFile(dir_.file("session.zbb"), test::bankFileOf(5));
  test::writeFile(dir_.file("foreign.zbb"), test::bankFileOf(5, true));
  const auto result = run({"in.wav", "three.wav", "--bank", "session.zbb", "--bank-preset", "3"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(has(result.out, "Preset      3 \"Bank 3\" of the bank session.zbb\n")) << result.out;
  EXPECT_EQ(test::fileBytes(dir_.file("three.wav")), render("factory4.wav", {"--preset", "4"}));
  EXPECT_EQ(render("foreign.wav", {"--bank", "foreign.zbb", "--bank-preset=3"}),
            test::fileBytes(dir_.file("three.wav")));
  // Without --bank-preset: preset 0, whatever the bank has current.
  EXPECT_EQ(render("zero.wav", {"--bank", "session.zbb"}), render("air.wav", {"--preset", "Air"}));
}

TEST_F(RenderPresetFiles, ASavedPresetReproducesTheRenderThatSavedIt) {
  const auto saved = run({"in.wav", "first.wav", "--preset", "Loudness", "--set", "LFgain=3.5dB",
                          "--set", "OUTput=-3dB", "--set", "SAT=on", "--save-preset", "take.zeb",
                          "--preset-name", "Vocal take"});
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_TRUE(has(saved.out, "Saved       take.zeb (preset \"Vocal take\")\n")) << saved.out;
  EXPECT_EQ(test::fileBytes(dir_.file("take.zeb")).size(), 657u);

  const auto again = run({"in.wav", "again.wav", "--preset-file", "take.zeb"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(has(again.out, "Preset      \"Vocal take\" from take.zeb\n")) << again.out;
  EXPECT_EQ(test::fileBytes(dir_.file("again.wav")), test::fileBytes(dir_.file("first.wav")));

  // The plug-in shows the saved values as the render asked for them.
  const auto shown = test::runPresetTool({"take.zeb"}, dir_.path());
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  for (const char* line :
       {"Preset          \"Vocal take\"\n", "  15  LFgain    0.645833   3.5dB\n",
        "   6  OUTput    0.40625    -3.00dB\n", "   7  SAT       1          Sat\n",
        "  13  LFfreq    0.75       200Hz\n"})
    EXPECT_TRUE(has(shown.out, line)) << line << "in:\n" << shown.out;
}

TEST_F(RenderPresetFiles, SavingAloneRendersNothingAndNamesThePresetAfterTheFile) {
  const auto result =
      run({"--preset", "Air", "--set", "HFgain=6dB", "--save-preset", "Bright air.zeb"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Preset      1 Air\n"
            "Set         HFgain = 6.0dB (normalised 0.75)\n"
            "Saved       Bright air.zeb (preset \"Bright air\")\n");
  EXPECT_EQ(dir_.entries(), (std::vector<std::string>{"Bright air.zeb", "in.wav"}));

  // An existing file is replaced only with --force.
  const auto refused = run({"--preset", "Speaker", "--save-preset", "Bright air.zeb"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "tavola-render: Bright air.zeb exists; use --force to replace it\n");
  const auto forced = run({"--preset", "Speaker", "--save-preset", "Bright air.zeb", "-f"});
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  const auto shown = test::runPresetTool({"Bright air.zeb"}, dir_.path());
  EXPECT_TRUE(has(shown.out, "   9  HPFfreq   0.75       120Hz\n")) << shown.out;
}

TEST_F(RenderPresetFiles, RefusedFilesAreOneLineWithTheReadersReason) {
  Bytes cut = test::presetFileOf(2, "Cut");
  cut.resize(300);
  test::writeFile(dir_.file("cut.zeb"), cut);
  test::writeFile(dir_.file("bank.zbb"), test::bankFileOf(0));
  Bytes bad = test::presetFileOf(2, "Bad");
  // The value of the second parameter record (index 6): 41 + 168 + 32 + 24.
  const float tooLoud = 1.5f;
  std::memcpy(bad.data() + 41 + 168 + 32 + 24, &tooLoud, 4);
  test::writeFile(dir_.file("bad.zeb"), bad);
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"--preset-file", "missing.zeb"},
       "tavola-render: cannot open missing.zeb: No such file or directory\n"},
      {{"--preset-file", "cut.zeb"},
       "tavola-render: the preset file cut.zeb was refused: preset image: payload size 616 "
       "claims more than the 259 bytes after the 41-byte header\n"},
      {{"--preset-file", "bank.zbb"},
       "tavola-render: the preset file bank.zbb was refused: a bank image (kind 56) where a "
       "preset image (kind 33 or 34) was expected\n"},
      {{"--bank", "cut.zeb"},
       "tavola-render: the bank file cut.zeb was refused: a preset image (kind 34) where a bank "
       "image (kind 55 or 56) was expected\n"},
      {{"--preset-file", "bad.zeb"},
       "tavola-render: the preset file bad.zeb was refused: record 2: the value of parameter 6 "
       "is 1.5, outside [0, 1]\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"in.wav", "out.wav"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const auto result = run(arguments);
    EXPECT_EQ(result.exitCode, 1) << c.message;
    EXPECT_EQ(result.err, c.message);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_.file("out.wav")));
}

}  // namespace
}  // namespace tavola::render
