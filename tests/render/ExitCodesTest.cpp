// The three command-line tools end alike: 0 when all went well, 2 when the command line
// was at fault (nothing was tried), 1 when a file operation or the plug-in failed.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "render/RenderTestSupport.h"

namespace tavola::render {
namespace {

struct Case {
  const char* program;
  std::vector<std::string> arguments;
  int exitCode;
};

TEST(ToolExitCodes, BadCommandLinesGiveTwoAndFailedFilesOne) {
  test::TempDir dir;
  std::ofstream(dir.file("empty.wav"));
  const std::string plugin = test::pluginPath();
  const Case cases[] = {
      // The command line.
      {TAVOLA_HOST_PATH, {}, 2},
      {TAVOLA_HOST_PATH, {"--bogus", plugin}, 2},
      {TAVOLA_HOST_PATH, {"--rate", "fast", plugin}, 2},
      {TAVOLA_HOST_PATH, {"--editor-shot", "p.png", "--set", "Nope=1", plugin}, 2},
      {TAVOLA_HOST_PATH, {"--editor-shot", "p.png", "--set", "LFgain=99dB", plugin}, 2},
      {TAVOLA_RENDER_PATH, {}, 2},
      {TAVOLA_RENDER_PATH, {"--bogus", "a.wav", "b.wav"}, 2},
      {TAVOLA_RENDER_PATH, {"--preset", "9", "a.wav", "b.wav"}, 2},
      {TAVOLA_RENDER_PATH, {"--save-preset", "x.wav"}, 2},
      {TAVOLA_RENDER_PATH, {"a.wav", "b.mp3"}, 2},
      {TAVOLA_PRESET_PATH, {}, 2},
      {TAVOLA_PRESET_PATH, {"--bogus", "a.zeb"}, 2},
      // Files and the plug-in.
      {TAVOLA_HOST_PATH, {"missing.so"}, 1},
      {TAVOLA_HOST_PATH, {"--editor-shot", "no/such/folder/p.png", plugin}, 1},
      {TAVOLA_RENDER_PATH, {"missing.wav", "b.wav"}, 1},
      {TAVOLA_RENDER_PATH, {"empty.wav", "b.wav"}, 1},
      {TAVOLA_RENDER_PATH, {"--plugin", "missing.so", "empty.wav", "b.wav"}, 1},
      {TAVOLA_RENDER_PATH, {"--preset-file", "missing.zeb", "--save-preset", "p.zeb"}, 1},
      {TAVOLA_PRESET_PATH, {"missing.zeb"}, 1},
      {TAVOLA_PRESET_PATH, {"empty.wav"}, 1},
  };
  for (const Case& c : cases) {
    std::string line = c.program;
    for (const std::string& argument : c.arguments) line += " " + argument;
    const test::CommandResult result = test::runProgram(c.program, c.arguments, dir.path());
    EXPECT_EQ(result.exitCode, c.exitCode) << line << "\n" << result.err.substr(0, 300);
  }
}

}  // namespace
}  // namespace tavola::render
