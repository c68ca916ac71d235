#pragma once
// A helper program running beside the host: started directly with posix_spawn and its
// arguments as they are (never through a shell, so no character of a title or path is
// interpreted), its standard input /dev/null, its standard output a pipe that poll() reads
// without ever waiting. Standard error stays the caller's.
//
// The host's user-interface thread starts a dialog this way and keeps drawing and idling
// while the user answers it; each poll takes what the program has printed so far and
// notices its end. Destroying a running child ends it (SIGTERM) and reaps it.
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
  // Ends a running program at once and reaps it; its output so far stays.
  void terminate();

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

  pid_t pid_ = -1;
  int pipe_ = -1;
  bool exited_ = false;
  bool ended_ = false;
  int exitStatus_ = -1;
  std::string output_;
};

}  // namespace tavola
