#include "tools/common/Console.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tavola::render {
namespace {

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // nowhere left to complain to
    }
    done += static_cast<std::size_t>(written);
  }
}

}  // namespace

Console::Console(bool pluginMayWrite, std::string programName)
    : pluginMayWrite_(pluginMayWrite), programName_(std::move(programName)) {
  messageFd_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  // With standard error closed there is nothing to keep; messages then vanish, as they
  // would have anyway.
  if (messageFd_ < 0) messageFd_ = STDERR_FILENO;
  // The plug-in's lines are written by a thread of its own, later than the calls that
  // caused them: unless they are wanted, descriptor 2 stays on /dev/null for good.
  if (!pluginMayWrite_) silence(true);
}

Console::~Console() {
  // Whatever the plug-in still writes after this goes where standard error went.
  if (silenced_) restore();
  if (nullFd_ >= 0) ::close(nullFd_);
  if (messageFd_ != STDERR_FILENO) ::close(messageFd_);
}

bool Console::messagesToTerminal() const {
  return ::isatty(messageFd_) == 1;
}

void Console::line(std::string_view text) const {
  std::string whole(text);
  whole += '\n';
  writeAll(messageFd_, whole);
}

void Console::error(std::string_view text) const {
  line(programName_ + ": " + std::string(text));
}

void Console::warning(std::string_view text) const {
  line(programName_ + ": warning: " + std::string(text));
}

bool Console::silence(bool evenWhenVerbose) const {
  if (silenced_ || (pluginMayWrite_ && !evenWhenVerbose) || messageFd_ == STDERR_FILENO)
    return false;
  if (pluginMayWrite_) {
    // Probing with --verbose: the lines go into a pipe that restore() empties until the
    // plug-in's writer has fallen silent, so that none of them arrives late on the terminal.
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    const bool redirected = ::dup2(ends[1], STDERR_FILENO) >= 0;
    ::close(ends[1]);
    if (!redirected) {
      ::close(ends[0]);
      return false;
    }
    probePipe_ = ends[0];
  } else {
    if (nullFd_ < 0) nullFd_ = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nullFd_ < 0 || ::dup2(nullFd_, STDERR_FILENO) < 0) return false;
  }
  silenced_ = true;
  return true;
}

void Console::restore() const {
  if (probePipe_ >= 0) {
    // The writer wakes every few milliseconds; a quiet spell of several times that means
    // it has written everything the probing queued.
    constexpr int kQuietMilliseconds = 40;
    pollfd lines{probePipe_, POLLIN, 0};
    char discarded[4096];
    while (::poll(&lines, 1, kQuietMilliseconds) > 0 &&
           ::read(probePipe_, discarded, sizeof discarded) > 0) {
    }
    ::close(probePipe_);
    probePipe_ = -1;
  }
  ::dup2(messageFd_, STDERR_FILENO);
  silenced_ = false;
}

Console::PluginCalls::PluginCalls(const Console& console, bool evenWhenVerbose)
    : console_(console), redirected_(console.silence(evenWhenVerbose)) {}

Console::PluginCalls::~PluginCalls() {
  if (redirected_) console_.restore();
}

}  // namespace tavola::render
