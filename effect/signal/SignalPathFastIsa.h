#pragma once
// Which instruction set the fast signal path uses. SSE2 is part of every x86-64 processor and
// is the baseline; AVX2 code runs only where the processor reports it at run time, so the
// plug-in runs on any x86-64 processor. Every variant gives the same bits: each lane of a
// wider register performs the same IEEE operations, in the same order, as the narrower code
// (and the build allows no fused multiply-add anywhere).
//
// No host or GUI code here.

namespace tavola {

enum class FastInstructionSet { kSse2, kAvx2 };

// The widest set this processor runs.
FastInstructionSet widestFastInstructionSet();

// The set that signal paths created from now on use: the widest the processor runs, or less if
// lowered here. Tests and benchmarks lower it to check and measure the narrower code on a
// processor that has the wider. Any thread; a signal path keeps what it got when created.
void limitFastInstructionSet(FastInstructionSet widest);
FastInstructionSet fastInstructionSetForNewPaths();

}  // namespace tavola
