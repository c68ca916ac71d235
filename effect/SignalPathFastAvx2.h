#pragma once
// The fast path's AVX2 kernels: the same operations as their SSE2 versions in
// SignalPathFastStages.cpp, four lanes at a time. Call them only where
// widestFastInstructionSet() reports AVX2.
//
// No host or GUI code here. Audio thread; allocate nothing.

#include "effect/SignalPathFast.h"

namespace tavola {

// The taps of the up-sampler's even phase as AVX2 reads them: for each two pairs k, k + 1
// (k even) the quadruple taps[2k], taps[2k], taps[2k + 2], taps[2k + 2], lined up with two
// interleaved stereo samples.
constexpr int kQuadTaps = 4 * FastUpSampler::kPairs / 2;
void fillQuadTaps(const double* taps, double* quadTaps);

// FastUpSampler's outputs for `count` samples whose newest history is at history[64 + i] and
// reversed[15 - i]: out[2i] the even phase, out[2i + 1] = centre x history[32 + i]; with
// `mono`, both lanes of each carry the first channel.
void upsampleChunkAvx2(const Lanes* history, const Lanes* reversed, const double* quadTaps,
                       Lanes centre, int count, bool mono, Lanes* out);

// FastSaturator's saturating output for n samples of one channel whose rings were written
// already: for the sample written at ring position p = (start + i) mod 1024, the envelope is
// the maximum of window[j] x magnitude[p + 1024 - (N - 1) + j] over j < padded (a multiple of
// 8; the window reversed and zero beyond N), and out[i] = saturatorGain(envelope) x
// delay[(p - half) mod 1024].
void saturateAvx2(const double* window, int length, int padded, const double* magnitude,
                  const double* delay, int start, int n, double* out);

}  // namespace tavola
