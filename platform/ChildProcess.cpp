#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

extern char** environ;

namespace tavola {
namespace {

// How long a program asked to end (SIGTERM) may take before it is killed.
constexpr auto kGraceTime = std::chrono::milliseconds(200);

// Programs we started and no longer follow, until they have been reaped.
class HandedOverPrograms {
 public:
  ~HandedOverPrograms() {
    // The library is being unloaded: nothing of ours may stay behind, so here (and only
    // here) ending them may take the grace time.
    std::lock_guard lock(mutex_);
    for (Program& program : programs_)
      if (program.owner == ::getpid()) ::kill(program.pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kGraceTime;
    while (sweepLocked() && std::chrono::steady_clock::now() < deadline) ::usleep(5000);
    for (Program& program : programs_) {
      if (program.owner != ::getpid()) continue;
      ::kill(program.pid, SIGKILL);
      ::waitpid(program.pid, nullptr, 0);
    }
  }

  // `killAfterGrace`: the program was asked to end and is killed if it has not by then.
  void add(pid_t pid, bool killAfterGrace) {
    std::lock_guard lock(mutex_);
    const auto never = std::chrono::steady_clock::time_point::max();
    programs_.push_back(
        {pid, ::getpid(), killAfterGrace ? std::chrono::steady_clock::now() + kGraceTime : never});
    count_.store(static_cast<int>(programs_.size()), std::memory_order_relaxed);
  }

  void sweep() {
    if (count_.load(std::memory_order_relaxed) == 0) return;
    std::lock_guard lock(mutex_);
    sweepLocked();
  }

  int count() const { return count_.load(std::memory_order_relaxed); }

 private:
  struct Program {
    pid_t pid;
    // The process that started it: a forked copy of the host must leave it alone.
    pid_t owner;
    std::chrono::steady_clock::time_point killAt;
  };

  // True while some are left.
  bool sweepLocked() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(programs_, [&](const Program& program) {
      if (program.owner != ::getpid()) return false;
      const pid_t got = ::waitpid(program.pid, nullptr, WNOHANG);
      // ECHILD: a host that reaps its children itself took it.
      if (got == program.pid || (got < 0 && errno != EINTR)) return true;
      if (now >= program.killAt) ::kill(program.pid, SIGKILL);
      return false;
    });
    count_.store(static_cast<int>(programs_.size()), std::memory_order_relaxed);
    return !programs_.empty();
  }

  std::mutex mutex_;
  std::vector<Program> programs_;
  std::atomic<int> count_{0};
};

HandedOverPrograms handedOver;

}  // namespace

void reapHandedOverPrograms() {
  handedOver.sweep();
}

int handedOverProgramCount() {
  return handedOver.count();
}

ChildProcess::~ChildProcess() {
  terminate();
}

bool ChildProcess::start(const std::string& program, const std::vector<std::string>& arguments,
                         std::string* error) {
  if (running()) {
    if (error) *error = "a helper program is already running";
    return false;
  }
  pid_ = -1;
  exited_ = ended_ = false;
  exitStatus_ = -1;
  output_.clear();

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    if (error) *error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return false;
  }
  std::vector<std::string> all;
  all.reserve(arguments.size() + 1);
  all.push_back(program);
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : all) argv.push_back(argument.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // dup2 clears close-on-exec on the copy: the program keeps its standard output and
  // nothing else of ours.
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  // Whatever the host left open without close-on-exec (sockets, its audio device) stays
  // the host's.
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // A host may block or ignore signals (SIGPIPE, SIGCHLD) for its own threads; a dialog
  // must start as any program does.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, everySignal;
  sigemptyset(&none);
  sigfillset(&everySignal);
  sigdelset(&everySignal, SIGKILL);
  sigdelset(&everySignal, SIGSTOP);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &everySignal);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t child = -1;
  const int spawned =
      ::posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    if (error) *error = "cannot run " + program + ": " + std::strerror(spawned);
    return false;
  }
  pid_ = child;
  pipe_ = pipeFds[0];
  ::fcntl(pipe_, F_SETFL, ::fcntl(pipe_, F_GETFL) | O_NONBLOCK);
  return true;
}

void ChildProcess::readAvailable() {
  char buffer[4096];
  while (pipe_ >= 0) {
    const ssize_t got = ::read(pipe_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (got <= 0) {
      ::close(pipe_);
      pipe_ = -1;
      return;
    }
    const std::size_t room = kMaxOutput - std::min(output_.size(), kMaxOutput);
    output_.append(buffer, std::min(room, static_cast<std::size_t>(got)));
  }
}

void ChildProcess::reap(bool block) {
  if (pid_ <= 0 || exited_) return;
  int status = 0;
  for (;;) {
    const pid_t got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    if (got == 0) return;
    if (got < 0 && errno == EINTR) continue;
    exited_ = true;
    // ECHILD: a host that reaps its children itself took the status.
    if (got < 0)
      exitStatus_ = -1;
    else if (WIFEXITED(status))
      exitStatus_ = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
      exitStatus_ = 128 + WTERMSIG(status);
    return;
  }
}

bool ChildProcess::poll() {
  if (pid_ <= 0 || ended_) return ended_;
  readAvailable();
  // The output ends when the program closes its end of the pipe (usually by exiting; a
  // program that left a child of its own holding it is done once it has exited).
  reap(false);
  if (exited_) {
    readAvailable();
    if (pipe_ >= 0) {
      ::close(pipe_);
      pipe_ = -1;
    }
    ended_ = true;
  }
  return ended_;
}

void ChildProcess::wait() {
  while (!poll()) {
    pollfd waitFor{pipe_, POLLIN, 0};
    if (pipe_ >= 0) {
      ::poll(&waitFor, 1, 100);
    } else {
      reap(true);
    }
  }
}

void ChildProcess::closePipe() {
  if (pipe_ < 0) return;
  ::close(pipe_);
  pipe_ = -1;
}

void ChildProcess::terminate() {
  if (!running()) return;
  if (!exited_) {
    ::kill(pid_, SIGTERM);
    reap(false);
    if (!exited_) {
      // Not gone at once: reaped later, and killed if it takes too long.
      readAvailable();
      closePipe();
      handedOver.add(pid_, true);
      exited_ = ended_ = true;
      exitStatus_ = 128 + SIGTERM;
      return;
    }
  }
  poll();
}

void ChildProcess::leaveRunning() {
  if (!running()) return;
  reap(false);
  if (!exited_) {
    closePipe();
    handedOver.add(pid_, false);
    exited_ = ended_ = true;
    return;
  }
  poll();
}

}  // namespace tavola
