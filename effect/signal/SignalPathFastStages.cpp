#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "effect/signal/SignalPathFast.h"
#include "effect/signal/SignalPathFastKernels.h"
#include "effect/signal/SignalPathFastLanes.h"

namespace tavola {

FastUpSampler::FastUpSampler() : kernels_(&fastKernelsFor(FastInstructionSet::kSse2)) {}

void FastUpSampler::setInstructionSet(FastInstructionSet set) {
  kernels_ = &fastKernelsFor(set);
}

void FastUpSampler::setTaps(const double* taps) {
  for (int k = 0; k < kPairs; k += 2) {
    double* const q = quadTaps_ + 2 * k;
    q[0] = q[1] = taps[2 * k];
    q[2] = q[3] = taps[2 * k + 2];
  }
  centre_ = Lanes{taps[kUpsamplerCentre], taps[kUpsamplerCentre]};
}

void FastUpSampler::clear() {
  std::fill(std::begin(history_), std::end(history_), Lanes{0.0, 0.0});
  std::fill(std::begin(reversed_), std::end(reversed_), Lanes{0.0, 0.0});
  start_ = 0;
  reversedStart_ = kSpan;
}

const Lanes* FastUpSampler::pushChunk(const double* const* in, int channels, int at, int count) {
  // Room for a whole chunk behind the history (and ahead of it, newest first).
  if (start_ > kSpan - kChunk) {
    std::copy(history_ + start_, history_ + start_ + kHistory, history_);
    start_ = 0;
  }
  if (reversedStart_ < kChunk) {
    std::copy_backward(reversed_ + reversedStart_, reversed_ + reversedStart_ + kHistory,
                       reversed_ + kSpan + kHistory);
    reversedStart_ = kSpan;
  }
  Lanes* const chunk = history_ + start_ + kHistory;
  Lanes* const reversedChunk = reversed_ + reversedStart_ - 1;  // sample i at reversedChunk[-i]
  if (channels == 2) {
    for (int i = 0; i < count; ++i) chunk[i] = Lanes{in[0][at + i], in[1][at + i]};
    for (int i = 0; i < count; ++i) reversedChunk[-i] = chunk[i];
  } else if (channels == 1) {
    for (int i = 0; i < count; ++i) chunk[i][0] = in[0][at + i];
    for (int i = 0; i < count; ++i) reversedChunk[-i][0] = chunk[i][0];
  }
  return history_ + start_;
}

void FastUpSampler::popChunk(int channels, int count) {
  const int from = start_;
  start_ += count;
  const int reversedFrom = reversedStart_;
  reversedStart_ -= count;
  if (channels == 1) {
    // The second channel's history waits for its next stereo sub-block: it moves along with
    // the start unchanged.
    for (int i = kHistory - 1; i >= 0; --i) history_[start_ + i][1] = history_[from + i][1];
    for (int i = 0; i < kHistory; ++i)
      reversed_[reversedStart_ + i][1] = reversed_[reversedFrom + i][1];
  }
}

void FastUpSampler::upsample(const double* const* in, int channels, int n, Lanes* out) {
  if (channels < 1) return;  // no channel, no history moves (as in the reference)
  for (int done = 0; done < n;) {
    const int count = std::min(kChunk, n - done);
    const Lanes* const h = pushChunk(in, channels, done, count);
    const lanes::UpsampleChunk chunk = {h, reversed_ + reversedStart_ - kChunk, quadTaps_, centre_,
                                        channels < 2};
    kernels_->upsampleChunk(chunk, count, out + 2 * done);
    popChunk(channels, count);
    done += count;
  }
}

lanes::UpsampleChunk FastUpSampler::beginChunk(const double* const* in, int channels, int n) {
  const Lanes* const h = pushChunk(in, channels, 0, n);
  return {h, reversed_ + reversedStart_ - kChunk, quadTaps_, centre_, channels < 2};
}

void FastUpSampler::delay(const double* const* in, int channels, int n, Lanes* out) {
  if (channels < 1) return;
  for (int done = 0; done < n;) {
    const int count = std::min(kChunk, n - done);
    const Lanes* const h = pushChunk(in, channels, done, count);
    for (int i = 0; i < count; ++i) {
      const Lanes v = h[kHistory - kUpsamplerDelay + i];
      out[done + i] = channels < 2 ? Lanes{v[0], v[0]} : v;
    }
    popChunk(channels, count);
    done += count;
  }
}

FastSaturator::FastSaturator() : kernels_(&fastKernelsFor(FastInstructionSet::kSse2)) {}

void FastSaturator::setInstructionSet(FastInstructionSet set) {
  kernels_ = &fastKernelsFor(set);
}

void FastSaturator::prepare(const Saturator& prepared) {
  const int n = prepared.windowLength();
  windowLength_ = n;
  std::fill(std::begin(reversedWindow_), std::end(reversedWindow_), 0.0);
  for (int j = 0; j < n; ++j) reversedWindow_[j] = prepared.window()[n - 1 - j];
  for (int c = 0; c < kMaxChannels; ++c) {
    std::fill(std::begin(delay_[c]), std::end(delay_[c]), 0.0);
    std::fill(std::begin(magnitude_[c]), std::end(magnitude_[c]), 0.0);
  }
  position_ = kRing - 1;
}

void FastSaturator::process(const Lanes* in, double* const* out, int channels, int n,
                            bool saturate) {
  const int length = windowLength_;
  const int half = length / 2;
  // The zero tail makes the window a whole number of steps; its products are 0 (or NaN from a
  // non-finite magnitude, which the maximum skips) and never raise the envelope above 0.
  const int padded = (length + kStep - 1) / kStep * kStep;
  const int start = position_;
  // Saturating, every ring write of a channel's sub-block comes first, then the envelopes: an
  // envelope read right after the write of its newest magnitude would wait for that store to
  // leave the store buffer, since one wide load cannot take its value from a narrower store.
  // The order only matters where a window reaches back to positions that later samples of the
  // same sub-block overwrite, which takes a window of nearly the whole ring; such windows go
  // sample by sample, as in the reference.
  const bool batched = length + n <= kRing;
  if (!saturate) {
    // The plain delay: each sample written before the delayed one is read, as in the
    // reference, so a window of 1 (no delay) passes the sample itself.
    for (int c = 0; c < channels; ++c) {
      double* const delay = delay_[c];
      for (int i = 0, p = start; i < n; ++i, p = (p + 1) & (kRing - 1)) {
        delay[p] = in[i][c];
        out[c][i] = delay[(p - half + kRing) & (kRing - 1)];
      }
    }
  } else if (batched) {
    for (int c = 0; c < channels; ++c) {
      double* const delay = delay_[c];
      double* const mag = magnitude_[c];
      // In at most two straight runs, split where the ring wraps.
      for (int i = 0; i < n;) {
        const int p = (start + i) & (kRing - 1);
        const int run = std::min(n - i, kRing - p);
        for (int j = 0; j < run; ++j) {
          const double x = in[i + j][c];
          const double m = std::fabs(x);
          delay[p + j] = x;
          mag[p + j] = m;
          mag[p + j + kRing] = m;
        }
        i += run;
      }
      kernels_->saturate(reversedWindow_, length, padded, mag, delay, start, n, out[c]);
    }
  } else {
    for (int i = 0, p = start; i < n; ++i, p = (p + 1) & (kRing - 1)) {
      for (int c = 0; c < channels; ++c) {
        const double x = in[i][c];
        const double m = std::fabs(x);
        delay_[c][p] = x;
        magnitude_[c][p] = m;
        magnitude_[c][p + kRing] = m;
        kernels_->saturate(reversedWindow_, length, padded, magnitude_[c], delay_[c], p, 1,
                           out[c] + i);
      }
    }
  }
  position_ = (start + n) & (kRing - 1);
}

}  // namespace tavola
