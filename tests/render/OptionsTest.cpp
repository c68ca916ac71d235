// The command line: every option in both spellings, the defaults, and the usage errors
// with the words the user sees.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/tavola-render/Options.h"

namespace tavola::render {
namespace {

Status parse(const std::vector<std::string>& arguments, Options& options) {
  return parseOptions(arguments, options);
}

TEST(RenderOptions, DefaultsForAPlainRender) {
  Options options;
  ASSERT_TRUE(parse({"in.wav", "out.flac"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kRender);
  EXPECT_EQ(options.input, "in.wav");
  EXPECT_EQ(options.output, "out.flac");
  EXPECT_EQ(options.preset, "");
  EXPECT_TRUE(options.parameters.empty());
  EXPECT_FALSE(options.settings.useDouble);
  EXPECT_EQ(options.settings.blockSize, 512);
  EXPECT_TRUE(options.settings.compensate);
  EXPECT_FALSE(options.settings.appendTail);
  EXPECT_FALSE(options.floatOutput);
  EXPECT_FALSE(options.force);
  EXPECT_FALSE(options.verbose);
  EXPECT_EQ(options.plugin, "");
}

TEST(RenderOptions, EveryOptionIsTaken) {
  Options options;
  const Status status =
      parse({"--preset", "Loudness", "--set", "LFgain=3.5dB", "--set=HPFfreq=47.6Hz", "--double",
             "--block", "17", "--no-compensate", "--tail", "--float", "-f", "--plugin", "/x/T.so",
             "-v", "in.aiff", "out.wav"},
            options);
  ASSERT_TRUE(status.ok()) << status.message();
  EXPECT_EQ(options.preset, "Loudness");
  ASSERT_EQ(options.parameters.size(), 2u);
  EXPECT_EQ(options.parameters[0].name, "LFgain");
  EXPECT_EQ(options.parameters[0].value, "3.5dB");
  EXPECT_EQ(options.parameters[1].name, "HPFfreq");
  EXPECT_EQ(options.parameters[1].value, "47.6Hz");
  EXPECT_TRUE(options.settings.useDouble);
  EXPECT_EQ(options.settings.blockSize, 17);
  EXPECT_FALSE(options.settings.compensate);
  EXPECT_TRUE(options.settings.appendTail);
  EXPECT_TRUE(options.floatOutput);
  EXPECT_TRUE(options.force);
  EXPECT_EQ(options.plugin, "/x/T.so");
  EXPECT_TRUE(options.verbose);
  EXPECT_EQ(options.input, "in.aiff");
  EXPECT_EQ(options.output, "out.wav");
}

TEST(RenderOptions, LongFormsWithEqualsAndFilesAnywhere) {
  Options options;
  ASSERT_TRUE(parse({"in.wav", "--preset=2", "--block=1", "--force", "--verbose", "out.AIFF",
                     "--set", "EQ all=off", "--plugin=p.so"},
                    options)
                  .ok());
  EXPECT_EQ(options.preset, "2");
  EXPECT_EQ(options.settings.blockSize, 1);
  EXPECT_TRUE(options.force);
  EXPECT_TRUE(options.verbose);
  EXPECT_EQ(options.output, "out.AIFF");
  ASSERT_EQ(options.parameters.size(), 1u);
  EXPECT_EQ(options.parameters[0].name, "EQ all");
  EXPECT_EQ(options.parameters[0].value, "off");
  EXPECT_EQ(options.plugin, "p.so");
}

TEST(RenderOptions, DoubleDashEndsTheOptions) {
  Options options;
  ASSERT_TRUE(parse({"--", "-in.wav", "-out.wav"}, options).ok());
  EXPECT_EQ(options.input, "-in.wav");
  EXPECT_EQ(options.output, "-out.wav");
}

TEST(RenderOptions, ModesHelpListAndDemo) {
  Options options;
  ASSERT_TRUE(parse({"--help"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kHelp);
  ASSERT_TRUE(parse({"in.wav", "-h", "--bogus"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kHelp);
  ASSERT_TRUE(parse({"--list"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kList);
  ASSERT_TRUE(parse({"--demo"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kDemo);
  EXPECT_EQ(options.demoDirectory, "out/demo");
  ASSERT_TRUE(parse({"--demo", "elsewhere/d"}, options).ok());
  EXPECT_EQ(options.demoDirectory, "elsewhere/d");
  ASSERT_TRUE(parse({"--demo=x"}, options).ok());
  EXPECT_EQ(options.demoDirectory, "x");
}

TEST(RenderOptions, UsageErrorsSayWhatIsWrong) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{}, "no input and output files given (see --help)"},
      {{"in.wav"}, "no output file given (see --help)"},
      {{"a.wav", "b.wav", "c.wav"}, "one input and one output file, please (extra: c.wav)"},
      {{"--bogus", "a.wav", "b.wav"}, "unknown option --bogus (see --help)"},
      {{"-x", "a.wav", "b.wav"}, "unknown option -x (see --help)"},
      {{"a.wav", "--bogus=1", "b.wav"}, "unknown option --bogus (see --help)"},
      {{"a.wav", "b.wav", "--block"}, "--block needs a value"},
      {{"a.wav", "b.wav", "--block", "0"},
       "--block wants a whole number from 1 to 65536 (got \"0\")"},
      {{"a.wav", "b.wav", "--block", "65537"},
       "--block wants a whole number from 1 to 65536 (got \"65537\")"},
      {{"a.wav", "b.wav", "--block", "12k"},
       "--block wants a whole number from 1 to 65536 (got \"12k\")"},
      {{"a.wav", "b.wav", "--set", "LFgain"},
       "--set wants NAME=VALUE, e.g. --set LFgain=3.5dB (got \"LFgain\")"},
      {{"a.wav", "b.wav", "--set", "=3dB"},
       "--set wants NAME=VALUE, e.g. --set LFgain=3.5dB (got \"=3dB\")"},
      {{"a.wav", "b.wav", "--set", "LFgain="},
       "--set wants NAME=VALUE, e.g. --set LFgain=3.5dB (got \"LFgain=\")"},
      {{"a.wav", "b.wav", "--preset="}, "--preset needs a value"},
      {{"a.wav", "b.wav", "--double=yes"}, "--double takes no value"},
      {{"a.wav", "b.mp3"},
       "cannot tell the output format from \"b.mp3\": use .wav, .aif, .aiff or .flac"},
      {{"a.wav", "noextension"},
       "cannot tell the output format from \"noextension\": use .wav, .aif, .aiff or .flac"},
      {{"a.wav", "b.flac", "--float"},
       "FLAC holds integer samples only; --float needs a .wav or .aiff output"},
      {{"--list", "a.wav"}, "--list takes no files"},
      {{"--demo", "a", "b"}, "--demo takes one output folder at most"},
  };
  for (const Case& c : cases) {
    Options options;
    const Status status = parse(c.arguments, options);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage) << c.message;
    EXPECT_EQ(status.message(), c.message);
    EXPECT_EQ(status.exitCode(), 2);
  }
}

TEST(RenderOptions, PresetFilesAndSaving) {
  Options options;
  ASSERT_TRUE(parse({"in.wav", "out.wav", "--preset-file", "a.zeb", "--save-preset=b.zeb",
                     "--preset-name", "Vocal take"},
                    options)
                  .ok());
  EXPECT_EQ(options.presetFile, "a.zeb");
  EXPECT_EQ(options.savePreset, "b.zeb");
  EXPECT_EQ(options.presetName, "Vocal take");
  EXPECT_EQ(options.mode, Mode::kRender);

  ASSERT_TRUE(parse({"--bank", "s.zbb", "--bank-preset", "6", "in.wav", "out.wav"}, options).ok());
  EXPECT_EQ(options.bank, "s.zbb");
  EXPECT_EQ(options.bankPreset, 6);
  ASSERT_TRUE(parse({"--bank=s.zbb", "in.wav", "out.wav"}, options).ok());
  EXPECT_EQ(options.bankPreset, 0);

  // Saving alone renders nothing.
  ASSERT_TRUE(parse({"--preset", "Air", "--save-preset", "air.zeb"}, options).ok());
  EXPECT_EQ(options.mode, Mode::kSavePreset);
  EXPECT_EQ(options.input, "");
}

TEST(RenderOptions, PresetOptionsThatDoNotGoTogether) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const std::string oneStart =
      "--preset, --preset-file and --bank each choose where the settings start: give one of them";
  const Case cases[] = {
      {{"a.wav", "b.wav", "--preset", "1", "--preset-file", "p.zeb"}, oneStart},
      {{"a.wav", "b.wav", "--preset", "1", "--bank", "p.zbb"}, oneStart},
      {{"a.wav", "b.wav", "--preset-file", "p.zeb", "--bank", "p.zbb"}, oneStart},
      {{"a.wav", "b.wav", "--bank-preset", "1"},
       "--bank-preset chooses a preset of a bank: it needs --bank FILE"},
      {{"a.wav", "b.wav", "--bank", "p.zbb", "--bank-preset", "7"},
       "--bank-preset wants a preset number from 0 to 6 (got \"7\")"},
      {{"a.wav", "b.wav", "--bank", "p.zbb", "--bank-preset", "-1"},
       "--bank-preset wants a preset number from 0 to 6 (got \"-1\")"},
      {{"a.wav", "b.wav", "--preset-name", "x"},
       "--preset-name names the saved preset: it needs --save-preset FILE"},
      {{"a.wav", "b.wav", "--save-preset", "p.zeb", "--preset-name", std::string(24, 'n')},
       "--preset-name holds at most 23 bytes (got 24)"},
      {{"a.wav", "b.wav", "--save-preset", "b.wav"},
       "--save-preset b.wav: preset files are named .zeb (b.zeb, say)"},
      {{"a.wav", "b.wav", "--preset-file="}, "--preset-file needs a value"},
      {{"--list", "--bank", "p.zbb"}, "--list takes no preset options"},
      {{"--demo", "--save-preset", "p.zeb"},
       "--demo takes no preset options: it renders every factory preset"},
      {{"--save-preset", "p.zeb", "a.wav"}, "no output file given (see --help)"},
  };
  for (const Case& c : cases) {
    Options options;
    const Status status = parse(c.arguments, options);
    EXPECT_EQ(status.kind(), Status::Kind::kUsage) << c.message;
    EXPECT_EQ(status.message(), c.message);
  }
}

TEST(RenderOptions, OutputExtensionsInAnyCase) {
  for (const char* output :
       {"o.wav", "o.WAV", "o.aif", "o.aiff", "o.AIFF", "o.flac", "d.x/o.Flac"}) {
    Options options;
    EXPECT_TRUE(parse({"in.wav", output}, options).ok()) << output;
  }
  Options options;
  EXPECT_FALSE(parse({"in.wav", "dir.wav/out"}, options).ok());
}

TEST(RenderOptions, UsageTextNamesEveryOption) {
  const std::string usage = usageText();
  for (const char* option :
       {"--preset", "--set", "--double", "--block", "--no-compensate", "--tail", "--float",
        "--force", "--plugin", "--verbose", "--list", "--demo", "--help", "--preset-file", "--bank",
        "--bank-preset", "--save-preset", "--preset-name"})
    EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace tavola::render
