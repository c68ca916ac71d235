// The fast path of one sub-block: the reference's steps regrouped so that both channels share
// every instruction and the band recursions of a sample overlap (see SignalPathFastBands.h),
// with the up-sampler and the saturator of SignalPathFast.h. Bit for bit the reference's result.

#include <algorithm>
#include <cstring>

#include "effect/signal/SignalPath.h"
#include "effect/signal/SignalPathFastBands.h"
#include "effect/signal/SignalPathFastLanes.h"

namespace tavola {

void SignalPath::fastSubBlock(const double* const* input, double* const* output, int channels,
                              int n, const SubBlockSettings& s) {
  // An empty sub-block only lets resting sections forget their history, which is the
  // reference's business; neither path's delay lines move. Sub-blocks longer than 32 samples
  // are outside the contract (they would overrun the reference's work buffers too).
  if (n < 1 || n > kFastMaxSamples) {
    referenceSubBlock(input, output, channels, n, s);
    return;
  }
  channels = std::clamp(channels, 0, kMaxChannels);

  // One step of the smoothing; if it leaves the gain unchanged, so would the other n - 1 (same
  // operands, same result), and they are skipped. Once the gain has settled this saves a chain
  // of dependent operations per sample.
  const double before = outGainSmoothed_;
  smoothOutputGain(1, s.outGain);
  if (std::memcmp(&before, &outGainSmoothed_, sizeof before) != 0)
    smoothOutputGain(n - 1, s.outGain);

  const int m = oversampleActive_ ? 2 * n : n;
  const FastBandSections sections = {
      {sections_[kLowSplit].get(), sections_[kLowSplit + 1].get()},
      {sections_[kHighSplit].get(), sections_[kHighSplit + 1].get()},
      {sections_[kMidLowPass].get(), sections_[kMidLowPass + 1].get()},
      {sections_[kMidHighPass].get(), sections_[kMidHighPass + 1].get()},
      {sections_[kLowCut].get(), sections_[kLowCut + 1].get()}};
  const bool bandsFast = channels > 0 && bandsRunFast(sections, channels, s.eqOn);
  Lanes* const saturatorInput = fastWork_->saturatorInput;

  if (bandsFast && oversampleActive_ && s.eqOn && n <= FastUpSampler::kChunk) {
    // The common case: the band loop up-samples as it goes.
    const lanes::UpsampleChunk chunk = fastUpsampler_.beginChunk(input, channels, n);
    processBandsFast(sections, channels, FastBandInput{nullptr, &chunk}, m, true, s,
                     outGainSmoothed_, *fastKernels_, fastWork_->bands, saturatorInput);
    fastUpsampler_.endChunk(channels, n);
  } else {
    Lanes* const internal = fastWork_->internal;
    if (oversampleActive_)
      fastUpsampler_.upsample(input, channels, n, internal);
    else
      fastUpsampler_.delay(input, channels, n, internal);
    if (bandsFast) {
      processBandsFast(sections, channels, FastBandInput{internal, nullptr}, m,
                       oversampleActive_ != 0, s, outGainSmoothed_, *fastKernels_, fastWork_->bands,
                       saturatorInput);
    } else if (channels > 0) {
      // A section passes samples through untouched: the reference's own steps handle that,
      // on the work buffers.
      for (int c = 0; c < channels; ++c)
        for (int t = 0; t < m; ++t) work_[c].main[t] = internal[t][c];
      referenceBands(channels, n, s);
      const int second = channels == 2 ? 1 : 0;
      for (int j = 0; j < n; ++j)
        saturatorInput[j] = Lanes{work_[0].main[j], work_[second].main[j]};
    }
  }

  fastSaturator_.process(saturatorInput, output, channels, n, s.satOn);
}

}  // namespace tavola
