// The real tavola-render program, run as a user runs it: exit codes, one clear line on
// standard error for each kind of failure, the report on standard output, and the
// plug-in's diagnostic lines only with --verbose.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "render/RenderTestSupport.h"

namespace tavola::render {
namespace {

using test::runRenderer;

long lineCount(const std::string& text) {
  return std::count(text.begin(), text.end(), '\n');
}

class CommandLine : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(test::writeAudioFile(dir_.file("in.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2,
                                     44100, test::sineFrames(2205, 2, 44100.0, 440.0, 0.3)));
  }
  test::CommandResult run(const std::vector<std::string>& arguments) {
    return runRenderer(arguments, dir_.path());
  }
  // The renderer started in the test's folder and left running, its standard output into
  // `out` (or nowhere) and its messages nowhere.
  pid_t startRenderer(std::vector<std::string> arguments, int out = -1) {
    const pid_t child = fork();
    if (child != 0) return child;
    if (chdir(dir_.path().c_str()) != 0) _exit(99);
    const int null = open("/dev/null", O_WRONLY);
    dup2(out >= 0 ? out : null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    arguments.insert(arguments.begin(), "tavola-render");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(test::renderProgram(), argv.data());
    _exit(98);
  }
  // How many files of the test's folder have `text` in their names.
  int filesNaming(const std::string& text) const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      count += entry.path().filename().string().find(text) != std::string::npos;
    return count;
  }
  // Waits until the renderer's temporary output has appeared.
  bool temporaryAppears(const std::string& target) const {
    for (int attempt = 0; attempt < 20000; ++attempt) {
      if (filesNaming("." + target + ".tmp-") > 0) return true;
      usleep(500);
    }
    return false;
  }
  test::TempDir dir_;
};

TEST_F(CommandLine, HelpGoesToStandardOutput) {
  const auto result = run({"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.rfind("usage: tavola-render [options] INPUT OUTPUT\n", 0), 0u);
  EXPECT_EQ(result.err, "");
}

TEST_F(CommandLine, ARenderReportsAndWritesTheFile) {
  const auto result = run({"in.wav", "out.aiff", "--preset", "bright vox", "--set", "LFgain=3.5dB",
                           "--set", "MFfreq=2k", "--double", "--block", "100"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  for (const char* line :
       {"Output      out.aiff (AIFF, 24-bit PCM)\n", "Frames      2205 (0.050 s)\n",
        "Rate        44100 Hz\n", "Channels    2 (stereo)\n", "Preset      6 Bright Vox\n",
        "Set         LFgain = 3.5dB (normalised 0.645833)\n",
        "Set         MFfreq = 2.00kHz (normalised 0.5)\n", "Latency     47 frames (compensated)\n",
        "Over 1.0    0 samples\n"})
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "in:\n" << result.out;
  EXPECT_NE(result.out.find("Peak        -"), std::string::npos);
  const test::AudioFile back = test::readAudioFile(dir_.file("out.aiff"));
  EXPECT_EQ(back.frames(), 2205);
}

TEST_F(CommandLine, UsageErrorsExitTwoWithOneLine) {
  struct Case {
    std::vector<std::string> arguments;
    std::string message;
  };
  const Case cases[] = {
      {{"--bogus"}, "tavola-render: unknown option --bogus (see --help)\n"},
      {{"in.wav"}, "tavola-render: no output file given (see --help)\n"},
      {{"in.wav", "out.wav", "--preset", "Loud"},
       "tavola-render: unknown preset \"Loud\"; the factory presets are 0 Default, 1 Air, "
       "2 Loudness, 3 Zoom 1, 4 Zoom 2, 5 Speaker, 6 Bright Vox\n"},
      {{"in.wav", "out.wav", "--set", "Gain=3dB"},
       "tavola-render: unknown parameter \"Gain\"; the parameters are EQ all, OUTput, SAT, HPF, "
       "HPFfreq, LF, LFfreq, LFgain, MF, MFfreq, MFgain, HF, HFfreq, HFgain\n"},
      {{"in.wav", "out.wav", "--set", "HFgain=13dB"},
       "tavola-render: cannot read HFgain=13dB: HFgain takes a value from -12.0dB ... 12.0dB in "
       "its unit, or a normalised number in [0, 1]\n"},
  };
  for (const Case& c : cases) {
    const auto result = run(c.arguments);
    EXPECT_EQ(result.exitCode, 2) << c.message;
    EXPECT_EQ(result.err, c.message);
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"in.wav"});
}

TEST_F(CommandLine, RuntimeFailuresExitOneWithOneLine) {
  const auto missing = run({"nothing.wav", "out.wav"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "tavola-render: cannot read nothing.wav: No such file or directory\n");

  const auto input = run({"in.wav", "in.wav", "--force"});
  EXPECT_EQ(input.exitCode, 1);
  EXPECT_EQ(input.err, "tavola-render: refusing to write in.wav: it is the input file\n");

  const auto plugin = run({"in.wav", "out.wav", "--plugin", "/nonexistent/Tavola.so"});
  EXPECT_EQ(plugin.exitCode, 1);
  EXPECT_EQ(plugin.err.rfind("tavola-render: cannot load the plug-in /nonexistent/Tavola.so: ", 0),
            0u);
  EXPECT_EQ(lineCount(plugin.err), 1);
  EXPECT_EQ(dir_.entries(), std::vector<std::string>{"in.wav"});

  ASSERT_EQ(run({"in.wav", "out.wav"}).exitCode, 0);
  const std::string first = test::fileBytes(dir_.file("out.wav"));
  const auto exists = run({"in.wav", "out.wav", "--set", "OUTput=-6dB"});
  EXPECT_EQ(exists.exitCode, 1);
  EXPECT_EQ(exists.err, "tavola-render: out.wav exists; use --force to replace it\n");
  EXPECT_EQ(test::fileBytes(dir_.file("out.wav")), first);
  EXPECT_EQ(run({"in.wav", "out.wav", "--set", "OUTput=-6dB", "-f"}).exitCode, 0);
  EXPECT_NE(test::fileBytes(dir_.file("out.wav")), first);
}

TEST_F(CommandLine, PluginLinesOnlyWhenVerbose) {
  const auto quiet = run({"in.wav", "quiet.wav", "--set", "SAT=on"});
  ASSERT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.err.find("Tavola::setParameter"), std::string::npos);

  const auto verbose = run({"in.wav", "verbose.wav", "--set", "SAT=on", "-v"});
  ASSERT_EQ(verbose.exitCode, 0);
  // The instance's start-up, then the 44 values of the preset and the one setting.
  const long lines = lineCount(verbose.err);
  EXPECT_GE(lines, 45);
  EXPECT_LT(lines, 200) << "the renderer's own probing of the plug-in is not shown";
  EXPECT_NE(verbose.err.find("Tavola::setParameter # 7\t 1.000000\t\n"), std::string::npos);
  EXPECT_EQ(verbose.out.find("Tavola::setParameter"), std::string::npos);
  EXPECT_NE(verbose.out.find("Set         SAT = Sat (normalised 1)\n"), std::string::npos);
}

TEST_F(CommandLine, WhatANewUserRanInto) {
  // A WAV cut short renders what is there and says how much is missing.
  const std::string whole = test::fileBytes(dir_.file("in.wav"));
  {
    std::ofstream cut(dir_.file("cut.wav"), std::ios::binary);
    cut.write(whole.data(),
              static_cast<std::streamsize>(whole.size() - 600));  // 100 frames of 6 bytes
  }
  const auto cut = run({"cut.wav", "cut-out.wav"});
  EXPECT_EQ(cut.exitCode, 0);
  EXPECT_NE(cut.err.find("tavola-render: warning: cut.wav is cut short: 100 frames that its "
                         "header promises are missing; rendering the 2105 that are there"),
            std::string::npos)
      << cut.err;

  // Files that are no sound files say what they are.
  std::ofstream(dir_.file("empty.wav"));
  std::ofstream(dir_.file("notes.wav")) << "take 3 was the good one\n";
  const auto empty = run({"empty.wav", "out.wav"});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_EQ(empty.err,
            "tavola-render: cannot read empty.wav: it is empty (0 bytes), not a sound file\n");
  const auto text = run({"notes.wav", "out.wav"});
  EXPECT_EQ(text.exitCode, 1);
  EXPECT_EQ(text.err,
            "tavola-render: cannot read notes.wav: it is a text file, not a sound file\n");

  // A folder as input is named as one.
  std::filesystem::create_directory(dir_.file("takes"));
  const auto folder = run({"takes", "out.wav"});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_EQ(folder.err, "tavola-render: cannot read takes: it is a folder\n");

  // --force replaces an earlier preset, never a sound file: a preset is named .zeb.
  const auto overSound = run({"--preset", "Air", "--save-preset", "in.wav", "-f"});
  EXPECT_EQ(overSound.exitCode, 2);
  EXPECT_EQ(overSound.err,
            "tavola-render: --save-preset in.wav: preset files are named .zeb (in.zeb, say)\n");
  EXPECT_EQ(test::fileBytes(dir_.file("in.wav")), whole);
  const auto asSound = run({"--preset", "Air", "--save-preset", "new.WAV"});
  EXPECT_EQ(asSound.exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("new.WAV")));
  // Without an extension the preset gets its own.
  const auto bare = run({"--preset", "Air", "--save-preset", "bare"});
  EXPECT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_TRUE(std::filesystem::exists(dir_.file("bare.zeb")));
  EXPECT_FALSE(std::filesystem::exists(dir_.file("bare")));

  // A name cut to fit the preset is said to be cut.
  const std::string longName = "A rather long preset file name.zeb";
  const auto named = run({"--preset", "Air", "--save-preset", longName});
  EXPECT_EQ(named.exitCode, 0);
  EXPECT_NE(named.err.find("warning: the preset is named \"A rather long preset fi\""),
            std::string::npos)
      << named.err;
}

// A render cut off by a signal, whichever, leaves nothing beside its output.
TEST_F(CommandLine, SignalsStopARenderWithoutLeavingItsTemporaryFile) {
  ASSERT_TRUE(test::writeAudioFile(dir_.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2,
                                   44100, test::sineFrames(44100 * 20, 2, 44100.0, 440.0, 0.3)));
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(strsignal(signal));
    // One sample per block: slow enough to be caught in the middle.
    const pid_t child = startRenderer({"--block", "1", "long.wav", "out.wav"});
    ASSERT_GE(child, 0);
    ASSERT_TRUE(temporaryAppears("out.wav"));
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    // Its work undone, the renderer ends by the same signal, as a shell expects.
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(filesNaming("out.wav"), 0) << "something was left behind";
  }
}

// A reader that has gone (tavola-render ... | true) stops the render as SIGPIPE stops a
// program, before the output is replaced.
TEST_F(CommandLine, AClosedPipeStopsTheRenderBeforeItReplacesTheOutput) {
  ASSERT_TRUE(test::writeAudioFile(dir_.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2,
                                   44100, test::sineFrames(44100 * 2, 2, 44100.0, 440.0, 0.3)));
  std::ofstream(dir_.file("out.wav")) << "an earlier take";
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  close(pipeEnds[0]);
  const pid_t child = startRenderer({"-f", "long.wav", "out.wav"}, pipeEnds[1]);
  ASSERT_GE(child, 0);
  close(pipeEnds[1]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) << status;
  EXPECT_EQ(test::fileBytes(dir_.file("out.wav")), "an earlier take");
  EXPECT_EQ(filesNaming(".out.wav"), 0) << "something was left behind";
}

// kill -9 gives no chance to clean up: the next run into the same folder does it.
TEST_F(CommandLine, TheNextRunRemovesWhatAKilledRenderLeft) {
  ASSERT_TRUE(test::writeAudioFile(dir_.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2,
                                   44100, test::sineFrames(44100 * 20, 2, 44100.0, 440.0, 0.3)));
  const pid_t child = startRenderer({"--block", "1", "long.wav", "out.wav"});
  ASSERT_GE(child, 0);
  const auto leftovers = [&] { return filesNaming(".out.wav.tmp-"); };
  ASSERT_TRUE(temporaryAppears("out.wav"));
  ASSERT_EQ(leftovers(), 1);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(leftovers(), 1);  // what SIGKILL leaves

  const auto next = run({"in.wav", "next.wav"});
  EXPECT_EQ(next.exitCode, 0) << next.err;
  EXPECT_EQ(leftovers(), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_.file("out.wav")));
}

TEST_F(CommandLine, OversAreWarnedAbout) {
  const auto result = run({"in.wav", "loud.wav", "--set", "OUTput=+16dB"});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err.rfind("tavola-render: warning: ", 0), 0u) << result.err;
  EXPECT_NE(result.err.find("samples exceeded full scale (clipped in the integer file)"),
            std::string::npos);
  EXPECT_EQ(lineCount(result.err), 1);
  EXPECT_EQ(result.out.find("Over 1.0    0 samples"), std::string::npos);
}

TEST_F(CommandLine, NoProgressBarWithoutATerminal) {
  // Three seconds of audio is long enough for a bar, but standard error is a file here.
  ASSERT_TRUE(test::writeAudioFile(dir_.file("long.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 8000,
                                   std::vector<double>(24000, 0.0)));
  const auto result = run({"long.wav", "long-out.wav"});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.err, "");
}

TEST_F(CommandLine, ListShowsPresetsAndParameters) {
  const auto result = run({"--list"});
  ASSERT_EQ(result.exitCode, 0);
  for (const char* line :
       {"  2  Loudness\n", "  6  Bright Vox\n", "  OUTput   -16.00dB to 16.00dB in 129 steps\n",
        "  LFgain   -12.0dB to 12.0dB in 49 steps\n", "  SAT      switch: off = Thru, on = Sat\n",
        "  HPFfreq  13 steps: 15Hz 19Hz 24Hz 30Hz 38Hz 48Hz 60Hz 76Hz 95Hz "
        "120Hz 151Hz 190Hz 240Hz\n"})
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "in:\n" << result.out;
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace tavola::render
