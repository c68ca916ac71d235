#pragma once
// The half-band interpolator that raises each sub-block to twice the host rate before the
// bands run, and the plain 32-sample delay that stands in for it at host rates of 65 kHz and
// up, so that the latency stays the same. Reference implementation: an optimised path must
// reproduce every output bit, so the order of every sum is fixed and written down here.
//
// The filter, seen at twice the rate: u is the zero-stuffed input (u[2i] = x[i], u[2i+1] = 0)
// and the output is v[t] = sum over k = 0..126 of taps[k] * u[t - 2 - k], a symmetric 127-tap
// filter centred 65 positions back. Because u is zero at odd positions and every tap at an
// even distance (>= 2) from the centre is exactly zero, only two phases are evaluated per
// input sample x[i] (x[i] the newest):
//
//   out[2i]     = even phase: with p_j = taps[2j] * (x[i-1-j] + x[i-64+j]), j = 0..31
//                 (the pair lies symmetrically about u[2i - 65]; taps[2j] = taps[126 - 2j]),
//                 four interleaved partial sums, each in increasing j from 0.0:
//                   s_m = ((0.0 + p_m) + p_{m+4}) + ... + p_{m+28},   m = 0..3
//                 result = (s_0 + s_1) + (s_2 + s_3).
//   out[2i + 1] = odd phase: taps[63] * x[i-32].
//
// Only the odd phase survives the pipeline's return to the host rate, so a signal that no band
// changes comes out as taps[63] * x[i-32], taps[63] being 1.0 to within one unit in the last
// place.
//
// No host or GUI code here. Thread contract: computeUpsamplerTaps() is pure and may run on any
// thread; clear() runs where the effect prepares for processing (resume, UI thread, never
// while processing runs); upsample() and delay() run on the audio thread and allocate nothing.

namespace tavola {

// Entries in the tap table; entry 127 is padding and always 0.
constexpr int kUpsamplerTableSize = 128;
// Taps that carry the design: 0 .. 126, centred on 63.
constexpr int kUpsamplerTaps = 127;
constexpr int kUpsamplerCentre = 63;
// The odd phase, and the plain delay, lag the input by this many input samples.
constexpr int kUpsamplerDelay = 32;

// Fills the 127 taps of a Blackman-windowed half-band sinc (doubled, so that the zero-stuffed
// stream keeps its level) and sets taps[127] = 0. For j = 0..63:
//   s(0) = 0.5,  s(j) = sin(pi*j/2) / (128*sin(pi*j/127))
//   w(j) = 0.42 + 0.5*cos(2pi*j/127) + 0.08*cos(4pi*j/127)
//   h(j) = w(j)*s(j), flushed to exactly 0 when |h(j)| < 1e-16 (this zeroes every even j >= 2)
//   taps[63 + j] = taps[63 - j] = 2*h(j)
// with pi, 2pi and 4pi as fixed double literals and the arithmetic in the order written, so
// that the table has the same bits on every build. Independent of the sample rate.
void computeUpsamplerTaps(double taps[kUpsamplerTableSize]);

// One channel's interpolator state; the effect owns one per channel, all sharing one table.
//
// Storage: the recent input samples (the even positions of the zero-stuffed stream) in a
// linear buffer, oldest first. Between calls, history_[0 .. 63] holds x[-64] .. x[-1] relative
// to the next input. A call works through its input in chunks of at most 16 samples: a chunk
// of c samples is appended at history_[64 .. 64 + c - 1], its outputs are read from there, and
// the newest 64 samples are then moved back to the front. For output i of a chunk (x[i] at
// history_[64 + i]) every operand is therefore a contiguous run:
//   x[i-1-j]  = history_[63 + i - j]   (j = 0..31, a run read downwards from 63 + i),
//   x[i-64+j] = history_[i + j]        (j = 0..31, a run read upwards from i),
//   x[i-32]   = history_[32 + i].
class UpSampler {
 public:
  static constexpr int kHistory = 64;  // input samples kept between calls
  static constexpr int kChunk = 16;    // input samples appended per pass (one sub-block)

  // The table must hold kUpsamplerTableSize entries filled by computeUpsamplerTaps() and must
  // outlive the up-sampler. It is needed only by upsample().
  explicit UpSampler(const double* taps = nullptr) : taps_(taps) {}
  void setTaps(const double* taps) { taps_ = taps; }
  const double* taps() const { return taps_; }

  // Empties the history: afterwards the signal before the next input counts as silence.
  void clear();

  // n input samples in, 2n out: out[2i] the even phase, out[2i + 1] the odd phase of x = in[i].
  // n <= 0 writes nothing. For n <= kChunk (one sub-block) out may be the same memory as in;
  // for longer calls the two must not overlap, because output overwrites input not yet read.
  void upsample(const double* in, int n, double* out);

  // In place: each of the n samples is replaced by the input sample 32 earlier (0 after
  // clear()). Shares the history with upsample(), so the two may follow each other.
  void delay(double* buffer, int n);

 private:
  // Appends c <= kChunk samples to the history; pushChunk() and popChunk() bracket a pass.
  void pushChunk(const double* in, int c);
  void popChunk(int c);

  const double* taps_;
  double history_[kHistory + kChunk] = {};
};

}  // namespace tavola
