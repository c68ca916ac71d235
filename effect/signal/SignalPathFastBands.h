#pragma once
// The band work of one sub-block for both channels at once, fused per sample at the internal
// rate: low splitter, high splitter and mid low-pass on the main signal, the mid high-pass on
// what the low-pass left, the band sum, the output level and the low-cut. Each sample of each
// channel sees exactly the operations of the reference (SignalPath::referenceBands and
// Filter::processFrame) in their order; what changes is that two channels share each
// instruction and the five recursions of a sample overlap instead of running buffer after
// buffer (SignalPathFastLoop.h).
//
// The sections are read before the sub-block and written back after it through
// Filter::runState(), so they end exactly as processFrame() would leave them, glides included;
// each channel's section glides by its own count, increments and roots.
//
// No host or GUI code here. Audio thread; allocates nothing.

#include "dsp/Filter.h"
#include "effect/signal/SignalPath.h"
#include "effect/signal/SignalPathFast.h"

namespace tavola {

namespace lanes {
struct BandWork;
struct UpsampleChunk;
}  // namespace lanes

// The sections of one sub-block, the first channel's first in each pair.
struct FastBandSections {
  Filter* lowSplit[2];
  Filter* highSplit[2];
  Filter* midLowPass[2];
  Filter* midHighPass[2];
  Filter* lowCut[2];
};

// Whether processBandsFast() can take this sub-block: not when a section that would run is
// passing samples through untouched (type 0, or off with its glide over), which is left to
// Filter::processFrame(). channels is 1 or 2; with EQ off only the low-cut runs.
bool bandsRunFast(const FastBandSections& sections, int channels, bool eqOn);

// The band input: m frames at the internal rate, or (with EQ on and oversampling) a chunk of
// m / 2 input samples that the band loop up-samples as it goes.
struct FastBandInput {
  const Lanes* samples = nullptr;
  const lanes::UpsampleChunk* chunk = nullptr;
};

// m frames at the internal rate in (m <= 2 * kFastMaxSamples), the low-cut's output out: frame
// t goes to out[t / 2] when `decimate` is set (so the odd frames remain), else to out[t].
// channels is 1 or 2; with one, only the first section of each pair is used and changed, and
// both lanes of the input must carry the first channel. With EQ off only the low-cut runs, as
// in the reference. With EQ on the work runs in `kernels`, on `work`. Only where
// bandsRunFast() holds.
void processBandsFast(const FastBandSections& sections, int channels, const FastBandInput& input,
                      int m, bool decimate, const SubBlockSettings& settings, double outGain,
                      const FastKernels& kernels, lanes::BandWork& work, Lanes* out);

}  // namespace tavola
