#pragma once
// A helper program running beside the host: started directly with posix_spawn and its
// arguments as they are (never through a shell, so no character of a title or path is
// interpreted), its standard input /dev/null, its standard output a pipe that poll() reads
// without ever waiting. Standard error stays the caller's.
//
// The program gets nothing of the host's but its environment: every descriptor above
// standard error is closed, and its signal mask and signal dispositions are the defaults.
//
// The host's user-interface thread starts a dialog this way and keeps drawing and idling
// while the user answers it; each poll takes what the program has printed so far and
// notices its end. Ending a program never waits for it either: it is asked to stop
// (SIGTERM) and, when it has not ended at once, handed over to be reaped later, killed if
// it is still there after a moment. reapHandedOverPrograms() does that work; the editors
// call it from their idle, and what is left is ended when the library is unloaded.
//
// Thread contract: one thread at a time, never the audio thread.

#include <sys/types.h>

#include <string>
#include <vector>

namespace tavola {

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // `program` is a path to the executable; `arguments` exclude the program name. False,
  // with the reason in `error`, when it could not be started (or one still runs).
  bool start(const std::string& program, const std::vector<std::string>& arguments,
             std::string* error = nullptr);
  // Takes the output printed so far and notices the end; true once the program has ended
  // and all of its output has been read. Never waits.
  bool poll();
  // Polls until the program has ended.
  void wait();
  // Asks a running program to end, without waiting for it; its output so far stays.
  void terminate();
  // Lets a running program go on by itself (an alert the user has yet to answer): it is
  // reaped once it ends, and ended when the library is unloaded.
  void leaveRunning();

  bool running() const { return pid_ > 0 && !ended_; }
  bool ended() const { return ended_; }
  // The exit status, 128 + the signal number when a signal ended it, or -1 when it could
  // not be learnt (a host that lets its children be reaped behind its back).
  int exitStatus() const { return exitStatus_; }
  // At most kMaxOutput bytes; the rest is read, so the program never blocks, and dropped.
  const std::string& output() const { return output_; }

  static constexpr std::size_t kMaxOutput = 64 * 1024;

 private:
  void readAvailable();
  void reap(bool block);
  void closePipe();

  pid_t pid_ = -1;
  int pipe_ = -1;
  bool exited_ = false;
  bool ended_ = false;
  int exitStatus_ = -1;
  std::string output_;
};

// Reaps the programs handed over that have ended, and kills those asked to end a moment
// ago that are still there. Never waits. Thread contract: any thread but the audio thread.
void reapHandedOverPrograms();
// How many handed-over programs are still to be reaped.
int handedOverProgramCount();

}  // namespace tavola
