// The renderer's own messages and the plug-in's lines: while the renderer calls into the
// plug-in, descriptor 2 is silenced (unless verbose), and the renderer still reaches the
// original standard error. Also the progress bar's drawing.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "render/RenderTestSupport.h"
#include "tools/tavola-render/ProgressBar.h"

namespace tavola::render {
namespace {

// Runs body with descriptor 2 pointing into a file, and gives back what arrived there.
template <typename Body>
std::string capturedStandardError(const test::TempDir& dir, Body body) {
  const std::string path = dir.file("stderr.txt");
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(file, STDERR_FILENO);
  ::close(file);
  body();
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  return test::fileBytes(path);
}

void plugin(const char* text) {
  EXPECT_GT(::write(STDERR_FILENO, text, std::strlen(text)), 0);
}

TEST(Console, SilencesThePluginButNotTheRenderer) {
  test::TempDir dir;
  const std::string seen = capturedStandardError(dir, [] {
    const Console console(false);
    plugin("before\n");
    {
      auto quiet = console.pluginCalls();
      plugin("plug-in line\n");
      console.line("message while silenced");
      {
        auto nested = console.probeCalls();
        plugin("nested\n");
      }
      plugin("still silenced\n");
    }
    plugin("after\n");
    console.error("broken");
    console.warning("careful");
  });
  // The plug-in writes from a thread of its own, at any time: descriptor 2 stays silenced
  // while the console lives.
  EXPECT_EQ(seen,
            "message while silenced\ntavola-render: broken\n"
            "tavola-render: warning: careful\n");
}

TEST(Console, VerboseLetsThePluginThroughExceptWhenProbing) {
  test::TempDir dir;
  const std::string seen = capturedStandardError(dir, [] {
    const Console console(true);
    {
      auto calls = console.pluginCalls();
      plugin("plug-in line\n");
    }
    {
      auto probing = console.probeCalls();
      plugin("probe line\n");
    }
    console.line("done");
  });
  EXPECT_EQ(seen, "plug-in line\ndone\n");
}

TEST(ProgressBar, OnlyForLongRendersOnATerminal) {
  EXPECT_TRUE(ProgressBar::wanted(true, 88201, 44100.0));
  EXPECT_FALSE(ProgressBar::wanted(true, 88200, 44100.0));
  EXPECT_FALSE(ProgressBar::wanted(false, 10000000, 44100.0));
  EXPECT_FALSE(ProgressBar::wanted(true, 10000000, 0.0));
}

TEST(ProgressBar, DrawsInPlaceAndErasesItself) {
  EXPECT_EQ(ProgressBar::line("rendering", 0.0),
            "rendering [----------------------------------------]   0%");
  EXPECT_EQ(ProgressBar::line("rendering", 0.425),
            "rendering [#################-----------------------]  42%");
  EXPECT_EQ(ProgressBar::line("r", 1.0), "r [########################################] 100%");
  EXPECT_EQ(ProgressBar::line("r", 7.0), ProgressBar::line("r", 1.0));

  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  {
    ProgressBar bar(pipe[1], true, 1000, "r");
    bar.update(0);
    bar.update(1);  // still 0 %: not drawn again
    bar.update(500);
    bar.update(1000);
  }
  ProgressBar off(pipe[1], false, 1000, "r");
  off.update(500);
  off.finish();
  ::close(pipe[1]);
  const std::string drawn = test::readAll(pipe[0]);
  ::close(pipe[0]);
  EXPECT_EQ(drawn, "\r" + ProgressBar::line("r", 0.0) + "\r" + ProgressBar::line("r", 0.5) + "\r" +
                       ProgressBar::line("r", 1.0) + "\r\033[K");
}

}  // namespace
}  // namespace tavola::render
