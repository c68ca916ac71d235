// The writer thread behind everything the plug-in writes to standard error: it sleeps
// while there is nothing to write, and neither a message nor the writer's own end waits
// for a standard error that takes nothing.

#include "platform/DiagnosticWriter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "support/WriterThread.h"

namespace tavola::diagnostics {
namespace {

TEST(DiagnosticWriter, SleepsWhileThereIsNothingToWrite) {
  testing::internal::CaptureStderr();
  {
    WriterUse use;
    logParameterChange(3, 0.5f);
    // Lines and messages wait in queues of their own: one at a time keeps the order.
    ASSERT_TRUE(flush(std::chrono::seconds(10)));
    logMessage("Could not open manual file:\n~/Documents/x.pdf");
    ASSERT_TRUE(flush(std::chrono::seconds(10)));
    const unsigned long long before = writerWakeUps();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(writerWakeUps(), before) << "the writer woke with nothing to write";
    // Work wakes it.
    logParameterChange(4, 1.0f);
    ASSERT_TRUE(flush(std::chrono::seconds(10)));
    EXPECT_GT(writerWakeUps(), before);
  }
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_EQ(written,
            "Tavola::setParameter # 3\t 0.500000\t\n"
            "ZEB Tavola: Could not open manual file: ~/Documents/x.pdf\n"
            "Tavola::setParameter # 4\t 1.000000\t\n");
}

// In a child whose standard error is a pipe filled to the brim that nobody reads: the
// messages return, and the writer ends once asked. Reports 'm' after the messages and
// 'e' once the writer is gone.
[[noreturn]] void fillAndLog(int errorPipe, int status) {
  dup2(errorPipe, STDERR_FILENO);
  const int flags = fcntl(STDERR_FILENO, F_GETFL);
  fcntl(STDERR_FILENO, F_SETFL, flags | O_NONBLOCK);
  const std::string filler(4096, 'x');
  while (write(STDERR_FILENO, filler.data(), filler.size()) > 0) {
  }
  fcntl(STDERR_FILENO, F_SETFL, flags);
  {
    WriterUse use;
    for (int i = 0; i < 1000; ++i) logMessage("Could not save the preset file /a/b.zeb");
    if (write(status, "m", 1) != 1) std::_Exit(4);
  }
  const bool gone = test::writerThreadEnds(500);
  if (write(status, gone ? "e" : "t", 1) != 1) std::_Exit(4);
  std::_Exit(0);
}

char nextStage(int fd) {
  pollfd descriptor{fd, POLLIN, 0};
  char stage = 0;
  if (poll(&descriptor, 1, 30000) <= 0 || read(fd, &stage, 1) != 1) return 0;
  return stage;
}

TEST(DiagnosticWriter, AFullStandardErrorNeverHoldsUpAMessageOrTheEnd) {
  int errorPipe[2], statusPipe[2];
  ASSERT_EQ(pipe(errorPipe), 0);
  ASSERT_EQ(pipe(statusPipe), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(errorPipe[0]);
    close(statusPipe[0]);
    fillAndLog(errorPipe[1], statusPipe[1]);
  }
  close(errorPipe[1]);
  close(statusPipe[1]);
  const char first = nextStage(statusPipe[0]);
  const char second = first == 'm' ? nextStage(statusPipe[0]) : 0;
  if (second == 0) kill(child, SIGKILL);
  int exitStatus = 0;
  waitpid(child, &exitStatus, 0);
  close(errorPipe[0]);
  close(statusPipe[0]);
  EXPECT_EQ(first, 'm') << "a message waited for standard error";
  EXPECT_EQ(second, 'e') << "the writer did not end while standard error stayed full";
}

}  // namespace
}  // namespace tavola::diagnostics
