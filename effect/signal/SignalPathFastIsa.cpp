#include "effect/signal/SignalPathFastIsa.h"

#include <algorithm>
#include <atomic>

namespace tavola {

namespace {

std::atomic<int> limit{static_cast<int>(FastInstructionSet::kAvx2)};

}  // namespace

FastInstructionSet widestFastInstructionSet() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("avx2")) return FastInstructionSet::kAvx2;
#endif
  return FastInstructionSet::kSse2;
}

void limitFastInstructionSet(FastInstructionSet widest) {
  limit.store(static_cast<int>(widest), std::memory_order_relaxed);
}

FastInstructionSet fastInstructionSetForNewPaths() {
  return static_cast<FastInstructionSet>(std::min(limit.load(std::memory_order_relaxed),
                                                  static_cast<int>(widestFastInstructionSet())));
}

}  // namespace tavola
