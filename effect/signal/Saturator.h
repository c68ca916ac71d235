#pragma once
// The look-ahead soft limiter at the very end of the chain, and the plain delay of the same
// length that replaces it when saturation is off, so that switching it never moves the audio
// in time. Reference implementation: an optimised path must reproduce every output bit, so
// the order of every operation is fixed and written down here.
//
// Per sample x of a channel, with p the write position shared by both channels:
//   saturating:  delay[p] = x;  mag[p] = |x|
//                e = 0.0, then for k = 0 .. N-1 in increasing k:
//                    v = window[k] * mag[(p - k) mod 1024];  e = (v > e) ? v : e
//                (so a NaN product never becomes the envelope, as with maxpd(v, e))
//                d = delay[(p - trunc(N/2)) mod 1024]
//                out = saturatorGain(e) * d
//   plain delay: delay[p] = x;  out = delay[(p - trunc(N/2)) mod 1024]   (mag is not written)
// and after every channel of that sample: p = (p + 1) mod 1024.
//
// The gain is the cubic y = e - 0.15 e^3 applied through the envelope: unity for small signals,
// 0.85 at e = 1, and past the cubic's top at e = 1.490526 the output is held at 0.993807 * d / e,
// so no sample leaves above about 0.9938. The window looks trunc(N/2) samples ahead of the
// delayed sample and as far behind, so the gain falls before a peak arrives and recovers after.
//
// Because plain-delay mode leaves the magnitudes alone, switching saturation on lets the
// envelope see, for up to N - 1 samples, the magnitudes from the last time it was on (zeros
// after prepare()).
//
// No host or GUI code here. Thread contract: prepare() runs where the effect prepares for
// processing (resume, UI thread, never while processing runs); process() runs on the audio
// thread and allocates nothing.

namespace tavola {

// g for envelope e: e < 1.490526 ? 1 - 0.15*(e*e) : 0.993807 / e, in exactly that order.
inline double saturatorGain(double e) {
  return e < 1.490526 ? 1.0 - 0.15 * (e * e) : 0.993807 / e;
}

// Both channels of the effect in one object, since they share the write position.
//
// Storage: each channel's delay ring is a plain array of 1024, read once per sample. Each
// magnitude ring is mirrored: 2048 entries, every magnitude written at p and at p + 1024, so
// that mag[(p - k) mod 1024] = magnitude_[c][p + 1024 - k] for k = 0 .. N-1 (N <= 1023) and the
// envelope reads one contiguous run, downwards from p + 1024, with no wrap.
class Saturator {
 public:
  static constexpr int kRing = 1024;
  static constexpr int kMaxChannels = 2;

  // Ready for a host rate of 44 100 Hz, so that an effect processing before its first
  // prepare() still gets sane output.
  Saturator();

  // N = saturatorWindowLength(hostRate), the window
  //   window[k] = (0.5 + 0.5*cos(2*(k - trunc(N/2))*3.1415 / N))^0.7071,  k = 0 .. N-1
  // (std::pow; entries from N on are 0), all rings cleared and the write position at 1023.
  void prepare(double hostRate);

  int windowLength() const { return windowLength_; }
  // kRing entries, the first windowLength() used.
  const double* window() const { return window_; }
  // The delay of both modes: trunc(N/2) samples.
  int delaySamples() const { return windowLength_ / 2; }
  // Where the next sample will be written.
  int position() const { return position_; }

  // n samples of the first numChannels channels (1 or 2; others are clamped to 0 .. 2) from in
  // to out. The write position advances once per sample whatever the channel count, so a mono
  // stretch keeps the second channel's delay line in time. Each input sample is read before
  // the output of the same position is written, so in and out may be the same buffers.
  void process(const double* const* in, double* const* out, int numChannels, int n, bool saturate);
  // The same, in place.
  void process(double* const* channels, int numChannels, int n, bool saturate) {
    process(channels, channels, numChannels, n, saturate);
  }

 private:
  int windowLength_ = 1;
  int position_ = kRing - 1;
  double window_[kRing] = {};
  double delay_[kMaxChannels][kRing] = {};
  double magnitude_[kMaxChannels][2 * kRing] = {};
};

}  // namespace tavola
