#include "dsp/Filter.h"

#include <algorithm>
#include <cmath>

namespace {

// 2 pi to the digits the designs are defined with, written out so that every build and every
// later optimised path computes the same bits.
constexpr double kTwoPi = 6.283185307179586;

// Added and taken away again at every recursive result: a decaying tail is rounded to a
// multiple of about 1e-46 and so ends at exactly 0 instead of crawling through denormal
// numbers, which cost many times the CPU of normal ones.
constexpr double kDenormalGuard = 1e-30;

inline double flushDenormal(double v) {
  return (v + kDenormalGuard) - kDenormalGuard;
}

constexpr double kMinFreq = 0.001;
constexpr double kMaxFreqOfRate = 0.499;
constexpr double kMinQ = 0.0001;
constexpr double kMaxQ = 1000.0;
constexpr double kMaxGainDb = 1000.0;
constexpr double kMinRate = 20000.0;
constexpr double kMaxRate = 400000.0;
constexpr double kFallbackRate = 44100.0;

// Written so that NaN fails the first test and lands on the floor: a NaN corner would make every
// coefficient NaN and silence the channel for good.
double clampFreq(double freq, double sampleRate) {
  if (!(freq >= kMinFreq)) return kMinFreq;
  return std::min(freq, kMaxFreqOfRate * sampleRate);
}

double clampQ(double q) {
  if (!(q >= kMinQ)) return kMinQ;
  return std::min(q, kMaxQ);
}

// NaN gain means "no idea", and 0 dB is the one gain that leaves a shelf or peak harmless.
double clampGain(double gainDb) {
  if (std::isnan(gainDb)) return 0.0;
  return std::clamp(gainDb, -kMaxGainDb, kMaxGainDb);
}

// Rates the section cannot have been meant for (and NaN, which fails both comparisons) fall
// back to a common one rather than producing a nonsense glide length.
double clampRate(double sampleRate) {
  if (!(sampleRate >= kMinRate && sampleRate <= kMaxRate)) return kFallbackRate;
  return sampleRate;
}

// The cookbook Q is reduced as the frequency nears half the rate, by a power law whose exponent
// suits each response: the bilinear mapping squeezes everything near the top into a narrow band,
// and a section tuned up there would otherwise ring sharply. h x rate is where the reduced Q
// would reach zero, just above half the rate (setFreq() stops the corner at 0.499 x rate); the
// low-pass uses a point closer still. The all-pass keeps its Q.
double reducedQ(double sampleRate, int type, double freq, double q) {
  double exponent = 0.0;
  switch (type) {
    case Filter::kHighPass:
      exponent = 6.0;
      break;
    case Filter::kLowShelf:
      exponent = 3.5;
      break;
    case Filter::kPeaking:
    case Filter::kBandPass:
    case Filter::kNotch:
      exponent = 2.8;
      break;
    case Filter::kHighShelf:
      exponent = 4.0;
      break;
    case Filter::kLowPass:
      exponent = 8.0;
      break;
    default:
      return q;
  }
  const double h = type == Filter::kLowPass ? 0.50001 : 0.5001;
  return q * (1.0 - std::pow(freq / (sampleRate * h), exponent));
}

}  // namespace

FilterCoefficients designFilter(double sampleRate, int type, double freq, double q, double gainDb,
                                int status) {
  FilterCoefficients t;  // identity
  if (status == 0) return t;
  switch (type) {
    case Filter::kHighPass:
    case Filter::kLowShelf:
    case Filter::kPeaking:
    case Filter::kBandPass:
    case Filter::kNotch:
    case Filter::kHighShelf:
    case Filter::kLowPass:
    case Filter::kAllPass:
      break;
    default:
      return t;
  }

  const double fs = sampleRate;
  const double f = freq;
  const double w0 = kTwoPi * f / fs;
  const double c = std::cos(w0);
  const double s = std::sin(w0);
  const bool usesGain =
      type == Filter::kLowShelf || type == Filter::kPeaking || type == Filter::kHighShelf;
  const double A = usesGain ? std::pow(10.0, gainDb / 40.0) : 1.0;
  const double qe = reducedQ(fs, type, f, q);
  const double alpha = s / (2.0 * qe);
  const double beta = (std::sqrt(A) / qe) * s;

  switch (type) {
    case Filter::kHighPass:
      t.a0 = 1.0 + alpha;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha) / t.a0;
      t.b0 = (1.0 + c) * 0.5 / t.a0;
      t.b1 = -(1.0 + c) / t.a0;
      t.b2 = t.b0;
      break;
    case Filter::kLowShelf:
      t.a0 = (A + 1.0) + (A - 1.0) * c + beta;
      t.a1 = -2.0 * ((A - 1.0) + (A + 1.0) * c) / t.a0;
      t.a2 = ((A + 1.0) + (A - 1.0) * c - beta) / t.a0;
      t.b0 = A * ((A + 1.0) - (A - 1.0) * c + beta) / t.a0;
      t.b1 = 2.0 * A * ((A - 1.0) - (A + 1.0) * c) / t.a0;
      t.b2 = A * ((A + 1.0) - (A - 1.0) * c - beta) / t.a0;
      break;
    case Filter::kPeaking:
      t.a0 = 1.0 + alpha / A;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha / A) / t.a0;
      t.b0 = (1.0 + alpha * A) / t.a0;
      t.b1 = t.a1;
      t.b2 = (1.0 - alpha * A) / t.a0;
      break;
    case Filter::kBandPass:
      t.a0 = 1.0 + alpha;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha) / t.a0;
      t.b0 = alpha / t.a0;
      t.b1 = 0.0;
      t.b2 = -alpha / t.a0;
      break;
    case Filter::kNotch:
      t.a0 = 1.0 + alpha;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha) / t.a0;
      t.b0 = 1.0 / t.a0;
      t.b1 = t.a1;
      t.b2 = 1.0 / t.a0;
      break;
    case Filter::kHighShelf:
      t.a0 = (A + 1.0) - (A - 1.0) * c + beta;
      t.a1 = 2.0 * ((A - 1.0) - (A + 1.0) * c) / t.a0;
      t.a2 = ((A + 1.0) - (A - 1.0) * c - beta) / t.a0;
      t.b0 = A * ((A + 1.0) + (A - 1.0) * c + beta) / t.a0;
      t.b1 = -2.0 * A * ((A - 1.0) + (A + 1.0) * c) / t.a0;
      t.b2 = A * ((A + 1.0) + (A - 1.0) * c - beta) / t.a0;
      break;
    case Filter::kLowPass:
      t.a0 = 1.0 + alpha;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha) / t.a0;
      t.b0 = (1.0 - c) * 0.5 / t.a0;
      t.b1 = (1.0 - c) / t.a0;
      t.b2 = t.b0;
      break;
    case Filter::kAllPass:
      t.a0 = 1.0 + alpha;
      t.a1 = -2.0 * c / t.a0;
      t.a2 = (1.0 - alpha) / t.a0;
      t.b0 = t.a2;
      t.b1 = t.a1;
      t.b2 = 1.0;
      break;
  }
  return t;
}

FilterRoots filterRootsOf(const FilterCoefficients& c) {
  FilterRoots r;
  r.k = c.b0;

  const double dz = c.b1 * c.b1 - 4.0 * c.b0 * c.b2;
  if (dz >= 0.0) {
    const double root = std::sqrt(dz);
    r.z1re = (-c.b1 - root) / (2.0 * c.b0);
    r.z2re = (-c.b1 + root) / (2.0 * c.b0);
  } else {
    r.z1re = -c.b1 / (2.0 * c.b0);
    r.z2re = r.z1re;
    r.z1im = std::sqrt(-dz) / (-2.0 * c.b0);
    r.z2im = -r.z1im;
  }

  const double dp = c.a1 * c.a1 - 4.0 * c.a2;
  if (dp >= 0.0) {
    const double root = std::sqrt(dp);
    r.p1re = (-c.a1 - root) / 2.0;
    r.p2re = (-c.a1 + root) / 2.0;
  } else {
    r.p1re = -c.a1 / 2.0;
    r.p2re = r.p1re;
    r.p1im = -std::sqrt(-dp) / 2.0;
    r.p2im = std::sqrt(-dp) / 2.0;
  }
  return r;
}

double filterMagnitude(const FilterCoefficients& c, double sampleRate, double freq) {
  // Evaluated at z^-1 = e^-jw as two complex quadratics.
  const double w = kTwoPi * freq / sampleRate;
  const double c1 = std::cos(w);
  const double s1 = std::sin(w);
  const double c2 = std::cos(2.0 * w);
  const double s2 = std::sin(2.0 * w);
  const double numRe = c.b0 + c.b1 * c1 + c.b2 * c2;
  const double numIm = -(c.b1 * s1 + c.b2 * s2);
  const double denRe = 1.0 + c.a1 * c1 + c.a2 * c2;
  const double denIm = -(c.a1 * s1 + c.a2 * s2);
  return std::hypot(numRe, numIm) / std::hypot(denRe, denIm);
}

FilterRoots Filter::restRoots() {
  FilterRoots r;
  r.z1re = 1.0;
  r.k = 1.0;
  return r;
}

std::uint64_t Filter::glideSamplesFor(double sampleRate) {
  const double n = std::trunc(sampleRate * 50.0 / 1000.0);
  // Negative, NaN and absurdly large values would make the conversion undefined.
  if (!(n > 0.0)) return 0;
  if (n >= 18446744073709551616.0) return UINT64_MAX;
  return static_cast<std::uint64_t>(n);
}

Filter::Filter(double sampleRate, int type, double freq, double q, double gainDb)
    : sampleRate_(std::isfinite(sampleRate) ? sampleRate : kFallbackRate),
      type_(type),
      freq_(std::isfinite(freq) ? freq : clampFreq(freq, sampleRate_)),
      q_(std::isfinite(q) ? q : clampQ(q)),
      gain_(std::isfinite(gainDb) ? gainDb : clampGain(gainDb)),
      glideCurrent_(restRoots()),
      glideTarget_(restRoots()),
      glideLength_(glideSamplesFor(sampleRate_)) {}

void Filter::setType(int type) {
  type_ = type;
  calcDestPolesAndZeros();
}

void Filter::setFreq(double freq) {
  freq_ = clampFreq(freq, sampleRate_);
  calcDestPolesAndZeros();
}

void Filter::setQ(double q) {
  q_ = clampQ(q);
  calcDestPolesAndZeros();
}

void Filter::setGain(double gainDb) {
  gain_ = clampGain(gainDb);
  calcDestPolesAndZeros();
}

void Filter::setSampleRate(double sampleRate) {
  sampleRate_ = clampRate(sampleRate);
  glideLength_ = glideSamplesFor(sampleRate_);
  calcDestPolesAndZeros();
}

void Filter::setStatus(int status) {
  if (status == status_) return;
  status_ = status;
  calcDestPolesAndZeros();
}

void Filter::calcDestCoeffs() {
  target_ = designFilter(sampleRate_, type_, freq_, q_, gain_, status_);
}

void Filter::calcDestPolesAndZeros() {
  calcDestCoeffs();
  glideTarget_ = filterRootsOf(target_);

  // A zero-length glide can only come from a constructor rate below 20 Hz; it means "at once".
  if (immediate_ || glideLength_ == 0) {
    glideCurrent_ = glideTarget_;
    glideStep_ = FilterRoots{};
    glideRemaining_ = 0;
    return;
  }

  // Restarting from the current roots (not the old target) keeps the sweep continuous when a
  // knob moves faster than a glide lasts.
  const double n = static_cast<double>(glideLength_);
  const FilterRoots& cur = glideCurrent_;
  const FilterRoots& dst = glideTarget_;
  FilterRoots& inc = glideStep_;
  inc.z1re = flushDenormal((dst.z1re - cur.z1re) / n);
  inc.z1im = flushDenormal((dst.z1im - cur.z1im) / n);
  inc.z2re = flushDenormal((dst.z2re - cur.z2re) / n);
  inc.z2im = flushDenormal((dst.z2im - cur.z2im) / n);
  inc.p1re = flushDenormal((dst.p1re - cur.p1re) / n);
  inc.p1im = flushDenormal((dst.p1im - cur.p1im) / n);
  inc.p2re = flushDenormal((dst.p2re - cur.p2re) / n);
  inc.p2im = flushDenormal((dst.p2im - cur.p2im) / n);
  inc.k = flushDenormal((dst.k - cur.k) / n);
  glideRemaining_ = glideLength_;
}

void Filter::processFrame(double* samples, int count) {
  if (type_ == kOff) return;
  if (status_ == 0 && glideRemaining_ == 0) {
    // Off and settled: pass through, and forget the past so that switching on starts clean.
    x1_ = x2_ = y1_ = y2_ = 0.0;
    return;
  }
  if (count < 1) return;

  // Everything the loops touch is copied to locals: the sample buffer is made of doubles too, so
  // the compiler would otherwise have to reload members after every store.
  double x1 = x1_;
  double x2 = x2_;
  double y1 = y1_;
  double y2 = y2_;
  int i = 0;

  if (glideRemaining_ > 0) {
    FilterRoots r = glideCurrent_;
    const FilterRoots inc = glideStep_;
    std::uint64_t remaining = glideRemaining_;
    FilterCoefficients cc = current_;
    for (; i < count && remaining > 0; ++i) {
      --remaining;
      r.z1re += inc.z1re;
      r.z1im += inc.z1im;
      r.z2re += inc.z2re;
      r.z2im += inc.z2im;
      r.p1re += inc.p1re;
      r.p1im += inc.p1im;
      r.p2re += inc.p2re;
      r.p2im += inc.p2im;
      r.k += inc.k;
      cc = filterCoefficientsOf(r);
      const double x0 = samples[i];
      const double y0 =
          flushDenormal(cc.b0 * x0 + cc.b1 * x1 + cc.b2 * x2 - cc.a1 * y1 - cc.a2 * y2);
      y2 = y1;
      y1 = y0;
      x2 = x1;
      x1 = x0;
      samples[i] = y0;
    }
    glideCurrent_ = r;
    glideRemaining_ = remaining;
    current_ = cc;
  }

  if (i < count) {
    // Settled: the target coefficients are used as they are, with no per-sample copy.
    current_ = target_;
    const double b0 = target_.b0;
    const double b1 = target_.b1;
    const double b2 = target_.b2;
    const double a1 = target_.a1;
    const double a2 = target_.a2;
    for (; i < count; ++i) {
      const double x0 = samples[i];
      const double y0 = flushDenormal(b0 * x0 + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2);
      y2 = y1;
      y1 = y0;
      x2 = x1;
      x1 = x0;
      samples[i] = y0;
    }
  }

  x1_ = x1;
  x2_ = x2;
  y1_ = y1;
  y2_ = y2;
}

void Filter::suspend(bool immediate) {
  immediate_ = immediate;
  glideCurrent_ = glideTarget_;
  glideStep_ = FilterRoots{};
  glideRemaining_ = 0;
}

void Filter::reset() {
  glideCurrent_ = restRoots();
  glideTarget_ = restRoots();
  glideStep_ = FilterRoots{};
  glideRemaining_ = 0;
  x1_ = x2_ = y1_ = y2_ = 0.0;
}
