#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace tavola {

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
  pid_t child = -1;
  const int spawned =
      ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
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

void ChildProcess::terminate() {
  if (!running()) return;
  if (!exited_) {
    // A dialog closes its window on SIGTERM; one that does not answer within a moment
    // is killed.
    ::kill(pid_, SIGTERM);
    for (int tries = 0; tries < 40 && !exited_; ++tries) {
      reap(false);
      if (!exited_) ::usleep(5000);
    }
    if (!exited_) {
      ::kill(pid_, SIGKILL);
      reap(true);
    }
  }
  poll();
}

}  // namespace tavola
