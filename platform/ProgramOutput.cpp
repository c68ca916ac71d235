#include "platform/ProgramOutput.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace tavola {
namespace {

std::string readToEnd(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    // Past the limit the rest is still read, so that the program never blocks on a full
    // pipe, but not kept.
    const std::size_t room = kMaxProgramOutput - std::min(text.size(), kMaxProgramOutput);
    text.append(buffer, std::min(room, static_cast<std::size_t>(got)));
  }
  return text;
}

int waitForExit(pid_t child) {
  int status = 0;
  for (;;) {
    if (::waitpid(child, &status, 0) == child) break;
    if (errno == EINTR) continue;
    return -1;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

ProgramRun runForOutput(const std::string& program, const std::vector<std::string>& arguments) {
  ProgramRun run;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    run.error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return run;
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
    run.error = "cannot run " + program + ": " + std::strerror(spawned);
    return run;
  }
  run.started = true;
  run.output = readToEnd(pipeFds[0]);
  ::close(pipeFds[0]);
  run.exitStatus = waitForExit(child);
  return run;
}

std::string findProgram(const std::string& name, const std::string& searchPath) {
  std::size_t start = 0;
  while (start <= searchPath.size()) {
    std::size_t end = searchPath.find(':', start);
    if (end == std::string::npos) end = searchPath.size();
    // An empty entry means the current folder, which a plug-in inside a host has no
    // business searching.
    if (end > start) {
      const std::string candidate = searchPath.substr(start, end - start) + "/" + name;
      struct stat info {};
      if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
          ::access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace tavola
