#pragma once
// The optimised signal path's own stages: the up-sampler for both channels at once and the
// saturator with a vectorised envelope. Each gives exactly the bits of its reference stage
// (UpSampler, Saturator): the same IEEE operations on the same operands in the same order,
// only several at a time, in the loop of the instruction set chosen for it
// (SignalPathFastKernels.h).
// The optimised path keeps its delay lines here, apart from the reference stages' own;
// SignalPath clears both whenever it prepares for processing.
//
// No host or GUI code here. Thread contract as for the reference stages: clear() and
// prepare() run where the effect prepares for processing, the rest on the audio thread,
// allocating nothing.

#include <cstdint>

#include "effect/signal/Saturator.h"
#include "effect/signal/SignalPathFastIsa.h"
#include "effect/signal/UpSampler.h"

namespace tavola {

struct FastKernels;
namespace lanes {
struct UpsampleChunk;
}

// One sample of each channel side by side, the first channel in lane 0. Plain vector
// arithmetic on it is one SSE2 instruction on x86-64 (and compiles to ordinary code elsewhere),
// with IEEE rounding per lane.
using Lanes = double __attribute__((vector_size(16)));
// The result of comparing Lanes: all bits set in a lane where the comparison holds.
using LaneMask = std::int64_t __attribute__((vector_size(16)));

// The largest sub-block the optimised path takes, in input samples per channel, and so at
// most twice as many samples at the internal rate.
constexpr int kFastMaxSamples = 32;

// UpSampler for both channels, their histories interleaved so that each tap pair of both
// channels is one add, one multiply and one add of Lanes. Chunking follows UpSampler; the
// history runs along a longer buffer instead of being moved back after every chunk:
// history_[start_ .. start_ + 63] holds x[-64] .. x[-1] before each chunk of up to 16
// samples, which is appended behind it, and only when the end is reached are the newest 64
// moved back to the front.
class FastUpSampler {
 public:
  static constexpr int kHistory = UpSampler::kHistory;
  static constexpr int kChunk = UpSampler::kChunk;
  static constexpr int kPairs = 32;  // non-zero taps of the even phase, one per pair

  FastUpSampler();

  // Takes the taps from a table filled by computeUpsamplerTaps().
  void setTaps(const double* taps);
  void clear();
  // At most what the processor runs (see SignalPathFastIsa.h); not while processing.
  void setInstructionSet(FastInstructionSet set);

  // n input samples of the first `channels` channels (1 or 2) in, 2n frames out: frame 2i the
  // even phase, frame 2i + 1 the odd phase of input i. With one channel only the first lane of
  // the history moves on (the second channel's stays as it was) and both lanes of every frame
  // carry the first channel; with none, nothing happens. n <= kFastMaxSamples.
  void upsample(const double* const* in, int channels, int n, Lanes* out);
  // The plain 32-sample delay used at high host rates: n frames out, sharing the history.
  void delay(const double* const* in, int channels, int n, Lanes* out);

  // upsample() in two halves, for a loop that computes the outputs itself: n (<= kChunk)
  // samples appended, described for the loop, then the histories moved on. channels >= 1.
  lanes::UpsampleChunk beginChunk(const double* const* in, int channels, int n);
  void endChunk(int channels, int n) { popChunk(channels, n); }

 private:
  // Appends `count` samples of input from `at` on; returns where the chunk's history starts
  // (x[-64] of its first sample).
  const Lanes* pushChunk(const double* const* in, int channels, int at, int count);
  void popChunk(int channels, int count);

  // Chunks appended between two moves back.
  static constexpr int kSpan = 8 * kChunk;

  const FastKernels* kernels_;
  // For each two pairs k, k + 1 (k even) the taps taps[2k], taps[2k], taps[2k + 2],
  // taps[2k + 2], lined up with two interleaved stereo samples.
  double quadTaps_[2 * kPairs] = {};
  Lanes centre_ = {};  // taps[63] in both lanes
  Lanes history_[kHistory + kSpan] = {};
  int start_ = 0;
  // The same samples newest first, running the other way: between chunks
  // reversed_[reversedStart_ + s] holds x[-1-s], and a chunk's sample i goes to
  // reversed_[reversedStart_ - 1 - i]. The newer sample of each tap pair then comes in pair
  // order from one load, as the older does from history_.
  Lanes reversed_[kSpan + kHistory] = {};
  int reversedStart_ = kSpan;
};

// Saturator with the same rings and write position, per channel. The envelope reads the
// mirrored magnitude ring upwards from the oldest sample in the window, against a reversed
// copy of the window: the products are the reference's, pair for pair, and their maximum does
// not depend on the order it is taken in (no product is negative, and a NaN product is skipped
// in both).
class FastSaturator {
 public:
  static constexpr int kRing = Saturator::kRing;
  static constexpr int kMaxChannels = Saturator::kMaxChannels;

  FastSaturator();

  // Window length and window from a reference saturator prepared for the same rate; all
  // rings cleared, write position 1023.
  void prepare(const Saturator& prepared);

  int windowLength() const { return windowLength_; }
  int position() const { return position_; }
  // At most what the processor runs (see SignalPathFastIsa.h); not while processing.
  void setInstructionSet(FastInstructionSet set);

  // n frames in (lane c = channel c), n samples of each of the first `channels` channels (0 to
  // 2) out; the write position moves on by n whatever the channel count. n <= kFastMaxSamples.
  void process(const Lanes* in, double* const* out, int channels, int n, bool saturate);

 private:
  // The window is read in steps of 8 (two wide values); its tail beyond N
  // is zero.
  static constexpr int kStep = 8;

  const FastKernels* kernels_;
  int windowLength_ = 1;
  int position_ = kRing - 1;
  alignas(16) double reversedWindow_[kRing + kStep] = {};
  double delay_[kMaxChannels][kRing] = {};
  // Mirrored as in Saturator, with room for the window's zero tail to read past the newest.
  double magnitude_[kMaxChannels][2 * kRing + kStep] = {};
};

}  // namespace tavola
