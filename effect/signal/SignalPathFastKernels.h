#pragma once
// The fast path's loops for one instruction set, as a table: the signal path picks the table
// once, when it prepares for processing, and the audio thread only calls through it. Every
// table gives the same bits (see SignalPathFastLoop.h).
//
// No host or GUI code here. Audio thread; allocates nothing.

#include "effect/signal/SignalPathFastIsa.h"
#include "effect/signal/SignalPathFastLanes.h"

namespace tavola {

struct FastKernels {
  // FastUpSampler's outputs for the first `count` samples of a chunk: out[2i] the even phase,
  // out[2i + 1] = centre x history[32 + i].
  void (*upsampleChunk)(const lanes::UpsampleChunk& chunk, int count, Lanes* out);
  // FastSaturator's saturating output for n samples of one channel whose rings were written
  // already: for the sample written at ring position p = (start + i) mod 1024, the envelope is
  // the maximum of window[j] x magnitude[p + 1024 - (N - 1) + j] over j < padded (a multiple
  // of 8; the window reversed and zero beyond N), and out[i] = saturatorGain(envelope) x
  // delay[(p - half) mod 1024].
  void (*saturate)(const double* window, int length, int padded, const double* magnitude,
                   const double* delay, int start, int n, double* out);
  // The band work of m samples of `in` with EQ on (see processBandsFast()): sections with
  // `tracked` set take their coefficients from their track (work.sections). Only the first two
  // entries of each section's input buffer are read, and the last two inputs written back; outputs
  // go to out[t >> shift].
  void (*bands)(lanes::BandWork& work, const Lanes* in, int m, int shift,
                const lanes::BandGains& gains, Lanes* out);
  // The same on the 2n samples that upsampleChunk() would give for n samples of `chunk`,
  // computed as the band work goes, keeping the odd ones (shift 1).
  void (*upsampledBands)(lanes::BandWork& work, const lanes::UpsampleChunk& chunk, int n,
                         const lanes::BandGains& gains, Lanes* out);
};

// The table for `set`; AVX2 only where the processor runs it.
const FastKernels& fastKernelsFor(FastInstructionSet set);

}  // namespace tavola
