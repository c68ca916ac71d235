#include "platform/StandardError.h"

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

}  // namespace tavola
