#include "effect/signal/FrequencyResponse.h"

#include <cmath>

namespace tavola {

std::complex<double> sectionResponse(const FilterCoefficients& c, double sampleRate, double freq) {
  const double w = 6.283185307179586 * freq / sampleRate;
  const std::complex<double> z1 = std::polar(1.0, -w);
  const std::complex<double> z2 = z1 * z1;
  return (c.b0 + c.b1 * z1 + c.b2 * z2) / (1.0 + c.a1 * z1 + c.a2 * z2);
}

namespace {

// The sections and band sums at the internal rate, at `freq` Hz.
std::complex<double> bandsResponse(const SignalPath& path, const SubBlockSettings& s, double freq) {
  const double rate = path.internalSampleRate();
  auto response = [&](int section) {
    return sectionResponse(path.section(section).targetCoefficients(), rate, freq);
  };
  std::complex<double> sum = 1.0;
  if (s.eqOn) {
    // Each band is what its splitter removes, scaled by (gain - 1); the mid band is what the
    // low-pass removes, minus what the high-pass then keeps of it.
    const auto low = (1.0 - response(SignalPath::kLowSplit)) * (s.lfGain - 1.0);
    const auto high = (1.0 - response(SignalPath::kHighSplit)) * (s.hfGain - 1.0);
    const auto mid = (1.0 - response(SignalPath::kMidLowPass)) *
                     (1.0 - response(SignalPath::kMidHighPass)) * (s.mfGain - 1.0);
    sum += s.lfOn * low + s.hfOn * high + s.mfOn * mid;
  }
  return sum * path.outGainSmoothed() * response(SignalPath::kLowCut);
}

// The interpolator's taps at `omega` radians per sample of the internal rate.
std::complex<double> interpolatorResponse(const double* taps, double omega) {
  std::complex<double> sum = 0.0;
  for (int k = 0; k < kUpsamplerTaps; ++k) sum += taps[k] * std::polar(1.0, -omega * k);
  return sum;
}

}  // namespace

std::complex<double> chainResponse(const SignalPath& path, const SubBlockSettings& s, double freq) {
  if (!path.oversampleActive()) return bandsResponse(path, s, freq);
  // Zero-stuffing puts each tone at f and at f + host rate; the interpolator keeps the first
  // and all but removes the second, the bands act on both, and keeping every second sample
  // folds them back together. Half of each, with the phase of the kept (odd) positions.
  const double hostRate = 0.5 * path.internalSampleRate();
  const double pi = 3.141592653589793;
  std::complex<double> total = 0.0;
  for (double f : {freq, freq + hostRate}) {
    const double omega = pi * f / hostRate;
    total += std::polar(1.0, -omega) * interpolatorResponse(path.upsamplerTaps(), omega) *
             bandsResponse(path, s, f);
  }
  return 0.5 * total;
}

}  // namespace tavola
