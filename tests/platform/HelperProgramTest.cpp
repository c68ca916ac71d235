// Helper programs as the host's process starts them: what they inherit of the host, that
// ending or leaving one never makes the caller wait, that every one is reaped, and that
// the tests themselves never reach the user's real dialog programs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ChildProcess.h"
#include "platform/DesktopAlert.h"
#include "platform/ProgramOutput.h"
#include "support/Reaping.h"
#include "support/ScopedEnvironment.h"
#include "support/StandInPrograms.h"

namespace tavola {
namespace {

using test::reapedSoon;
using test::ScopedEnvironment;
using test::StandInPrograms;

// The value of a field of /proc/PID/status ("SigBlk:\t0000000000000000").
std::string statusField(const std::string& status, const std::string& field) {
  std::istringstream lines(status);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(field + ":", 0) == 0) return line.substr(field.size() + 2);
  return "missing";
}

TEST(HelperPrograms, InheritNoDescriptorSignalMaskOrIgnoredSignalOfTheHost) {
  // What a host may have: a descriptor open without close-on-exec, a blocked signal and
  // an ignored one.
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  constexpr int kHostDescriptor = 57;
  ASSERT_EQ(::dup2(pipeFds[0], kHostDescriptor), kHostDescriptor);
  sigset_t blocked, previousMask;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGUSR1);
  ASSERT_EQ(pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);
  struct sigaction ignore {
  }, previousPipe{};
  ignore.sa_handler = SIG_IGN;
  ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &previousPipe), 0);

  const ProgramRun run = runForOutput(
      "/bin/sh", {"-c", "ls /proc/self/fd | tr '\\n' ' '; echo; cat /proc/self/status"});

  ::sigaction(SIGPIPE, &previousPipe, nullptr);
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  ::close(kHostDescriptor);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);

  ASSERT_TRUE(run.started) << run.error;
  const std::string descriptors = run.output.substr(0, run.output.find('\n'));
  EXPECT_EQ(descriptors.find(" 57 "), std::string::npos) << descriptors;
  EXPECT_EQ(descriptors.find(" " + std::to_string(pipeFds[1]) + " "), std::string::npos)
      << descriptors;
  EXPECT_EQ(statusField(run.output, "SigBlk"), "0000000000000000");
  // Signals 1 to 31; the C library keeps two of its own above them as it likes.
  const unsigned long long ignored = std::stoull(statusField(run.output, "SigIgn"), nullptr, 16);
  EXPECT_EQ(ignored & 0x7FFFFFFFull, 0u) << std::hex << ignored;
}

TEST(HelperPrograms, EndingOneNeverWaitsForItAndItIsReapedLater) {
  StandInPrograms programs;
  // A program that will not end when asked: only the kill after the grace time ends it.
  const std::string stubborn = programs.path() + "/stubborn";
  {
    std::ofstream script(stubborn);
    script << "#!/bin/sh\ntrap '' TERM\necho $$ > \"$0.pid\"\nwhile :; do sleep 0.01; done\n";
  }
  ::chmod(stubborn.c_str(), 0755);
  ChildProcess child;
  ASSERT_TRUE(child.start(stubborn, {}));
  pid_t pid = 0;
  for (int i = 0; i < 500 && (pid = programs.pidOf("stubborn")) == 0; ++i) ::usleep(10000);
  ASSERT_NE(pid, 0);
  child.terminate();
  EXPECT_FALSE(child.running());
  // Still there: the caller did not wait out its grace time.
  EXPECT_EQ(::kill(pid, 0), 0);
  EXPECT_GE(handedOverProgramCount(), 1);
  EXPECT_TRUE(reapedSoon(pid));
  EXPECT_EQ(handedOverProgramCount(), 0);
}

TEST(HelperPrograms, AnAnsweredAlertLeavesNoZombieUntilTheNextAlert) {
  StandInPrograms programs;
  programs.add("zenity", "", 0);
  ScopedEnvironment path("PATH", programs.path() + ":/usr/bin:/bin");
  ASSERT_TRUE(showDesktopAlert("ZEB Tavola", "Could not save the preset file"));
  pid_t pid = 0;
  for (int i = 0; i < 500 && (pid = programs.pidOf("zenity")) == 0; ++i) ::usleep(10000);
  ASSERT_NE(pid, 0);
  EXPECT_TRUE(reapedSoon(pid));
  EXPECT_EQ(programs.argumentsOf("zenity"),
            zenityAlertArguments("ZEB Tavola", "Could not save the preset file"));
}

TEST(HelperPrograms, TheTestsFindOnlyStandInsOfTheDialogPrograms) {
  for (const char* name : {"zenity", "kdialog", "xdg-open"}) {
    const std::string found = findProgram(name, environmentSearchPath());
    EXPECT_EQ(found, std::string(TAVOLA_TEST_HELPER_GUARD) + "/" + name);
    const ProgramRun run = runForOutput(found, {"--warning", "--text=never shown"});
    EXPECT_EQ(run.exitStatus, 1) << name;
  }
}

}  // namespace
}  // namespace tavola
