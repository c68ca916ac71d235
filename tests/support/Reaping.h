#pragma once
// Waits, sweeping as the editors' idle does, until a helper program is gone: ended and
// reaped, no longer even a zombie. At most five seconds.

#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "platform/ChildProcess.h"

namespace tavola::test {

inline bool reapedSoon(pid_t pid) {
  for (int i = 0; i < 500; ++i) {
    reapHandedOverPrograms();
    if (::kill(pid, 0) == -1 && errno == ESRCH) return true;
    ::usleep(10000);
  }
  return false;
}

}  // namespace tavola::test
