#include "effect/signal/UpSampler.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tavola {

namespace {

// Fixed literals rather than a library constant, so the table cannot change with the toolchain.
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kFourPi = 12.566370614359172;

}  // namespace

void computeUpsamplerTaps(double taps[kUpsamplerTableSize]) {
  for (int j = 0; j <= kUpsamplerCentre; ++j) {
    const double jd = static_cast<double>(j);
    const double s = j == 0 ? 0.5 : std::sin(kPi * jd / 2.0) / (128.0 * std::sin(kPi * jd / 127.0));
    const double w =
        0.42 + 0.5 * std::cos(kTwoPi * jd / 127.0) + 0.08 * std::cos(kFourPi * jd / 127.0);
    double h = w * s;
    // sin(pi*j/2) of an even j is a rounding residue, not a tap: keep those exactly zero so
    // that the two-phase evaluation, which skips them, equals the full convolution.
    if (std::fabs(h) < 1e-16) h = 0.0;
    taps[kUpsamplerCentre + j] = 2.0 * h;
    taps[kUpsamplerCentre - j] = 2.0 * h;
  }
  taps[kUpsamplerTableSize - 1] = 0.0;
}

void UpSampler::clear() {
  std::fill(std::begin(history_), std::end(history_), 0.0);
}

void UpSampler::pushChunk(const double* in, int c) {
  std::copy(in, in + c, history_ + kHistory);
}

void UpSampler::popChunk(int c) {
  // Keep the newest kHistory samples at the front for the next pass.
  std::copy(history_ + c, history_ + c + kHistory, history_);
}

void UpSampler::upsample(const double* in, int n, double* out) {
  const double* const c = taps_;
  const double centre = c[kUpsamplerCentre];
  for (int done = 0; done < n;) {
    const int count = std::min(kChunk, n - done);
    pushChunk(in + done, count);
    double* const o = out + 2 * done;
    for (int i = 0; i < count; ++i) {
      const double* const newer = history_ + kHistory - 1 + i;  // x[i-1], read downwards
      const double* const older = history_ + i;                 // x[i-64], read upwards
      double s[4] = {0.0, 0.0, 0.0, 0.0};
      for (int j = 0; j < 32; j += 4) {
        for (int m = 0; m < 4; ++m) {
          const int k = j + m;
          s[m] = s[m] + c[2 * k] * (newer[-k] + older[k]);
        }
      }
      o[2 * i] = (s[0] + s[1]) + (s[2] + s[3]);
      o[2 * i + 1] = centre * history_[kHistory - kUpsamplerDelay + i];
    }
    popChunk(count);
    done += count;
  }
}

void UpSampler::delay(double* buffer, int n) {
  for (int done = 0; done < n;) {
    const int count = std::min(kChunk, n - done);
    pushChunk(buffer + done, count);
    std::copy(history_ + kHistory - kUpsamplerDelay, history_ + kHistory - kUpsamplerDelay + count,
              buffer + done);
    popChunk(count);
    done += count;
  }
}

}  // namespace tavola
