#include "effect/signal/Saturator.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "effect/signal/Latency.h"

namespace tavola {

Saturator::Saturator() {
  prepare(44100.0);
}

void Saturator::prepare(double hostRate) {
  const int n = saturatorWindowLength(hostRate);
  const int half = n / 2;
  windowLength_ = n;
  for (int k = 0; k < n; ++k) {
    window_[k] = std::pow(0.5 + 0.5 * std::cos(2.0 * (k - half) * 3.1415 / n), 0.7071);
  }
  std::fill(window_ + n, window_ + kRing, 0.0);
  for (int c = 0; c < kMaxChannels; ++c) {
    std::fill(std::begin(delay_[c]), std::end(delay_[c]), 0.0);
    std::fill(std::begin(magnitude_[c]), std::end(magnitude_[c]), 0.0);
  }
  position_ = kRing - 1;
}

void Saturator::process(const double* const* in, double* const* out, int numChannels, int n,
                        bool saturate) {
  const int channels = std::clamp(numChannels, 0, kMaxChannels);
  const int length = windowLength_;
  const int half = length / 2;
  int p = position_;
  for (int i = 0; i < n; ++i) {
    const int readAt = (p - half + kRing) % kRing;
    for (int c = 0; c < channels; ++c) {
      const double x = in[c][i];
      delay_[c][p] = x;
      if (saturate) {
        const double m = std::fabs(x);
        double* const mag = magnitude_[c];
        mag[p] = m;
        mag[p + kRing] = m;
        // mag[(p - k) mod 1024] for k = 0 .. N-1, read downwards without a wrap.
        const double* const newest = mag + p + kRing;
        double e = 0.0;
        for (int k = 0; k < length; ++k) {
          const double v = window_[k] * newest[-k];
          e = v > e ? v : e;
        }
        out[c][i] = saturatorGain(e) * delay_[c][readAt];
      } else {
        out[c][i] = delay_[c][readAt];
      }
    }
    p = (p + 1) % kRing;
  }
  position_ = p;
}

}  // namespace tavola
