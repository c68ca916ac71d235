#include "platform/StandardError.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace tavola {

void writeToStandardError(const char* text, std::size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(STDERR_FILENO, text, length);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // a closed or broken standard error is no reason to disturb the host
    }
    text += written;
    length -= static_cast<std::size_t>(written);
  }
}

bool standardErrorWritable(int milliseconds) {
  pollfd descriptor{STDERR_FILENO, POLLOUT, 0};
  for (;;) {
    const int ready = ::poll(&descriptor, 1, milliseconds);
    if (ready < 0 && errno == EINTR) continue;
    // POLLOUT on a pipe means a whole free page, more than any one line; errors and hang-ups
    // make the write fail at once instead of blocking.
    return ready != 0;
  }
}

}  // namespace tavola
