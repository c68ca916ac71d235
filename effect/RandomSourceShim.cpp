// The static C++ runtime inside the plug-in carries std::random_device, which asks glibc
// for arc4random, a function that only glibc 2.36 and later have. Nothing of ours draws
// random numbers, but the reference alone would keep the plug-in from loading on older
// systems, so the link points it here instead (--wrap=arc4random): the same kind of bytes
// from getrandom, which glibc has had since 2.25.

#include <sys/random.h>

#include <cerrno>
#include <cstdint>

extern "C" __attribute__((visibility("hidden"))) std::uint32_t __wrap_arc4random() {
  std::uint32_t value = 0;
  // Four bytes never come short; only a signal can interrupt the call. A kernel without
  // getrandom leaves 0, which nothing of ours would ever see.
  while (getrandom(&value, sizeof value, 0) < 0 && errno == EINTR) {
  }
  return value;
}
