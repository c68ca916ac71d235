// The diagnostic line of every setParameter call, through the built plug-in, with standard
// error on a pipe that nobody reads, as a host's log pipe can be. The calls must all
// return; every line is either written or counted in a "dropped" line; and no thread of
// the plug-in is left once the last instance is gone and the library is closed.
//
// The plug-in runs in a child process whose standard error is the pipe, so that the
// test's own output stays readable and a blocked child can be killed.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "plugin/LoadedPlugin.h"
#include "support/WriterThread.h"

namespace tavola::plugintest {
namespace {

using test::writerThreadRunning;

constexpr int kCalls = 100000;
constexpr int kMarkerIndex = 50;  // outside the table: a line and nothing else

// Waits until `fd` has something to read, or `timeout` passes.
bool readable(int fd, std::chrono::milliseconds timeout) {
  pollfd descriptor{fd, POLLIN, 0};
  return poll(&descriptor, 1, static_cast<int>(timeout.count())) > 0;
}

// The child: standard error is the unread pipe; reports to `status` one byte per stage:
// 'c' when the calls have returned, then 'u' (unloaded, no thread left) or 't' (a thread
// is still running).
[[noreturn]] void runChild(int status) {
  {
    PluginLibrary library(pluginPath());
    std::string error;
    std::unique_ptr<HostedEffect> effect = HostedEffect::create(library, &error);
    if (!effect) std::_Exit(3);
    if (!writerThreadRunning()) std::_Exit(5);
    effect->setSampleRate(44100.0f);
    effect->resume();
    // The host's audio thread, automating.
    std::thread audio([&] {
      for (int i = 0; i < kCalls; ++i) effect->setParameter(kMarkerIndex, 0.25f);
    });
    audio.join();
    if (write(status, "c", 1) != 1) std::_Exit(4);
    effect.reset();
  }
  // The writer was asked to stop with the last instance and joined at unload; allow it
  // the time to write what it still holds now that the parent reads the pipe.
  const bool gone = test::writerThreadEnds(1000);
  if (write(status, gone ? "u" : "t", 1) != 1) std::_Exit(4);
  std::_Exit(0);
}

TEST(PluginDiagnostics, AnUnreadStandardErrorNeverBlocksSetParameter) {
  int errorPipe[2], statusPipe[2];
  ASSERT_EQ(pipe(errorPipe), 0);
  ASSERT_EQ(pipe(statusPipe), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(errorPipe[1], STDERR_FILENO);
    close(errorPipe[0]);
    close(errorPipe[1]);
    close(statusPipe[0]);
    runChild(statusPipe[1]);
  }
  close(errorPipe[1]);
  close(statusPipe[1]);

  // Nobody reads the child's standard error until its calls have all returned. The limit
  // is generous: a blocked call never returns at all.
  char stage = 0;
  const bool returned = readable(statusPipe[0], std::chrono::seconds(120)) &&
                        read(statusPipe[0], &stage, 1) == 1 && stage == 'c';
  if (!returned) kill(child, SIGKILL);
  EXPECT_TRUE(returned) << "setParameter blocked on a full standard error";

  std::string written;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(errorPipe[0], buffer, sizeof buffer);
    if (n <= 0) break;
    written.append(buffer, static_cast<std::size_t>(n));
  }
  stage = 0;
  EXPECT_EQ(read(statusPipe[0], &stage, 1), 1);
  EXPECT_EQ(stage, 'u') << "a thread of the plug-in outlived its last instance";
  int exitStatus = 0;
  waitpid(child, &exitStatus, 0);
  EXPECT_TRUE(WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0);
  close(errorPipe[0]);
  close(statusPipe[0]);

  // Every call is a line of its own or counted among the dropped ones.
  long lines = 0, dropped = 0, droppedReports = 0;
  const std::string marker = "Tavola::setParameter # 50\t 0.250000\t\n";
  for (std::size_t at = written.find(marker); at != std::string::npos;
       at = written.find(marker, at + marker.size()))
    ++lines;
  const std::string report = "ZEB Tavola: ";
  for (std::size_t at = written.find(report); at != std::string::npos;
       at = written.find(report, at + report.size())) {
    std::size_t digits = 0;
    const long count = std::stol(written.substr(at + report.size()), &digits);
    if (written.compare(at + report.size() + digits, 25, " diagnostic lines dropped") != 0)
      continue;
    dropped += count;
    ++droppedReports;
  }
  EXPECT_EQ(lines + dropped, kCalls) << lines << " written, " << dropped << " dropped";
  EXPECT_GT(lines, 0);
  EXPECT_GT(droppedReports, 0) << "a pipe of 64 KiB cannot have taken every line";
}

}  // namespace
}  // namespace tavola::plugintest
