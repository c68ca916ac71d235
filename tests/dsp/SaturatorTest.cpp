// The look-ahead soft limiter and its stand-in delay: window length and window against hand
// values, settled levels and the shape of the gain around a click worked out by hand, the
// behaviour of the magnitude rings across mode switches, and every output bit against a plain
// modulo-ring model, because the optimised path to come must reproduce this one exactly.
// Long windows and all ring wraps run here too, so that a sanitizer build sees every index.

#include <gtest/gtest.h>

#include "support/Signals.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "effect/signal/Latency.h"
#include "effect/signal/Saturator.h"

namespace {

using tavola::test::noise;

using tavola::Saturator;

bool sameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// The saturator written the plain way: rings of 1024 indexed modulo 1024, one sample at a time.
class ModelSaturator {
 public:
  explicit ModelSaturator(int n) : n_(n), window_(static_cast<std::size_t>(n)) {
    const int half = n / 2;
    for (int k = 0; k < n; ++k) {
      window_[static_cast<std::size_t>(k)] =
          std::pow(0.5 + 0.5 * std::cos(2.0 * (k - half) * 3.1415 / n), 0.7071);
    }
  }

  double step(int channel, double x, bool saturate) {
    double* delay = delay_[channel];
    double* mag = mag_[channel];
    delay[p_] = x;
    const double d = delay[wrap(p_ - n_ / 2)];
    if (!saturate) return d;
    mag[p_] = std::fabs(x);
    double e = 0.0;
    for (int k = 0; k < n_; ++k) {
      const double v = window_[static_cast<std::size_t>(k)] * mag[wrap(p_ - k)];
      if (v > e) e = v;
    }
    double g;
    if (e < 1.490526) {
      g = 1.0 - 0.15 * (e * e);
    } else {
      g = 0.993807 / e;
    }
    return g * d;
  }
  void advance() { p_ = wrap(p_ + 1); }

 private:
  static int wrap(int i) { return ((i % 1024) + 1024) % 1024; }

  int n_;
  std::vector<double> window_;
  int p_ = 1023;
  double delay_[2][1024] = {};
  double mag_[2][1024] = {};
};

// One call of process(): its length, channel count and mode.
struct Call {
  int n;
  int channels;
  bool saturate;
};

// Streams two signals through process() in the given calls (cycled); a mono call leaves the
// second channel's output at NaN, as the caller would not look at it.
void run(Saturator& s, const std::vector<double>& a, const std::vector<double>& b,
         const std::vector<Call>& calls, std::vector<double>& outA, std::vector<double>& outB) {
  outA.assign(a.size(), std::numeric_limits<double>::quiet_NaN());
  outB.assign(b.size(), std::numeric_limits<double>::quiet_NaN());
  std::size_t done = 0;
  for (std::size_t c = 0; done < a.size(); ++c) {
    const Call& call = calls[c % calls.size()];
    const int n = std::min<int>(call.n, static_cast<int>(a.size() - done));
    const double* in[2] = {a.data() + done, b.data() + done};
    double* out[2] = {outA.data() + done, outB.data() + done};
    s.process(in, out, call.channels, n, call.saturate);
    done += static_cast<std::size_t>(n);
  }
}

// A signal that saturates now and then: noise with bursts up to 3.5 and a few clicks.
std::vector<double> programme(std::size_t n, std::uint64_t seed) {
  std::vector<double> x = noise(n, seed);
  for (std::size_t i = 0; i < n; ++i) {
    const double level = (i / 300) % 3 == 0 ? 0.2 : (i / 300) % 3 == 1 ? 1.2 : 3.5;
    x[i] *= level;
  }
  for (std::size_t i = 37; i < n; i += 411) x[i] = i % 2 ? 6.0 : -6.0;
  return x;
}

TEST(SaturatorWindow, LengthFollowsTheHostRate) {
  struct Case {
    double rate;
    int n;
  };
  for (const Case& c :
       {Case{22050.0, 15}, Case{44100.0, 29}, Case{48000.0, 33}, Case{88200.0, 59},
        Case{96000.0, 65}, Case{176400.0, 117}, Case{192000.0, 129}, Case{1534500.0, 1023},
        Case{1536000.0, 1023}, Case{1e12, 1023}, Case{0.0, 1}}) {
    SCOPED_TRACE(c.rate);
    auto s = std::make_unique<Saturator>();
    s->prepare(c.rate);
    EXPECT_EQ(s->windowLength(), c.n);
    EXPECT_EQ(s->delaySamples(), c.n / 2);
    EXPECT_EQ(s->position(), 1023);
    // Centre exactly 1, symmetric, rising towards the centre, nothing past the end.
    const double* w = s->window();
    EXPECT_EQ(w[c.n / 2], 1.0);
    for (int k = 0; k < c.n / 2; ++k) {
      ASSERT_TRUE(sameBits(w[k], w[c.n - 1 - k])) << k;
      ASSERT_LT(w[k], w[k + 1]) << k;
      ASSERT_GT(w[k], 0.0) << k;
    }
    for (int k = c.n; k < Saturator::kRing; ++k) ASSERT_EQ(w[k], 0.0) << k;
  }
}

TEST(SaturatorWindow, ValuesAt44100) {
  auto s = std::make_unique<Saturator>();
  s->prepare(44100.0);
  ASSERT_EQ(s->windowLength(), 29);
  const double* w = s->window();
  EXPECT_NEAR(w[0], 0.016197, 1e-6);
  EXPECT_NEAR(w[28], 0.016197, 1e-6);
  EXPECT_NEAR(w[1], 0.076107, 1e-6);
  // Against the formula in long double with its own constants 3.1415 and 0.7071.
  for (int k = 0; k < 29; ++k) {
    const long double arg = 2.0L * (k - 14) * 3.1415L / 29.0L;
    const long double want = std::pow(0.5L + 0.5L * std::cos(arg), 0.7071L);
    EXPECT_NEAR(w[k], static_cast<double>(want), 1e-14) << k;
  }
  // A fresh saturator is already prepared for 44 100 Hz.
  auto fresh = std::make_unique<Saturator>();
  EXPECT_EQ(fresh->windowLength(), 29);
  EXPECT_EQ(fresh->position(), 1023);
  for (int k = 0; k < Saturator::kRing; ++k) ASSERT_TRUE(sameBits(fresh->window()[k], w[k]));
}

TEST(Saturator, ConstantInputsSettleOnTheCubic) {
  struct Case {
    double in;
    double out;
  };
  // 0.5 * (1 - 0.15 * 0.25), 1.0 * 0.85, and past the top 2.0 * 0.993807 / 2.0; the sign
  // of the input is kept.
  for (const Case& c : {Case{0.5, 0.48125}, Case{1.0, 0.85}, Case{2.0, 0.993807}, Case{-1.0, -0.85},
                        Case{100.0, 0.993807}, Case{0.0, 0.0}}) {
    SCOPED_TRACE(c.in);
    auto s = std::make_unique<Saturator>();
    s->prepare(44100.0);
    std::vector<double> x(100, c.in), y, unused;
    run(*s, x, x, {{16, 2, true}}, y, unused);
    for (std::size_t i = 29; i < y.size(); ++i) ASSERT_NEAR(y[i], c.out, 1e-15) << i;
  }
}

TEST(Saturator, BothModesDelayByHalfTheWindow) {
  for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
    for (bool saturate : {false, true}) {
      SCOPED_TRACE(::testing::Message() << rate << (saturate ? " saturating" : " plain"));
      auto s = std::make_unique<Saturator>();
      s->prepare(rate);
      const int half = tavola::saturatorWindowLength(rate) / 2;
      // Small enough for the cubic to leave it almost alone: gain 1 - 0.15e-6.
      std::vector<double> x(200, 0.0), y, unused;
      x[5] = 1e-3;
      run(*s, x, x, {{16, 1, saturate}}, y, unused);
      for (int i = 0; i < 200; ++i) {
        const double want = i == 5 + half ? (saturate ? 1e-3 * (1.0 - 0.15e-6) : 1e-3) : 0.0;
        ASSERT_NEAR(y[static_cast<std::size_t>(i)], want, 1e-19) << i;
      }
    }
  }
}

TEST(Saturator, ClickLowersTheGainAheadAndBehindByTheWindow) {
  // A bed of 0.1 with a click of 10 at t0. For the output whose delayed sample lies r samples
  // from the click (|r| <= N/2), the envelope is max(10 * window[N/2 + r], 0.1), because the
  // click sits N/2 + r positions back in the window and the bed's largest product is 0.1 at the
  // centre. Past N/2 the click is out of the window and the bed passes at 0.1 * (1 - 0.0015).
  auto s = std::make_unique<Saturator>();
  s->prepare(44100.0);
  const int n = 29;
  const int half = 14;
  const int t0 = 100;
  std::vector<double> x(200, 0.1), y, unused;
  x[t0] = 10.0;
  run(*s, x, x, {{16, 2, true}}, y, unused);
  const double* w = s->window();
  auto gainOf = [](double e) { return e < 1.490526 ? 1.0 - 0.15 * e * e : 0.993807 / e; };
  const double bed = 0.1 * (1.0 - 0.15 * 0.01);
  for (int r = -half - 10; r <= half + 10; ++r) {
    SCOPED_TRACE(r);
    const double out = y[static_cast<std::size_t>(t0 + half + r)];
    const double delayed = r == 0 ? 10.0 : 0.1;
    if (std::abs(r) > half) {
      EXPECT_NEAR(out, bed, 1e-16);
    } else {
      const double e = std::max(10.0 * w[half + r], 0.1);
      EXPECT_NEAR(out, gainOf(e) * delayed, 1e-15);
      EXPECT_LT(out, delayed == 0.1 ? bed : 10.0);
      if (r != 0) {
        EXPECT_NEAR(out, y[static_cast<std::size_t>(t0 + half - r)], 1e-17);
      }
    }
  }
  // The click itself leaves at the ceiling, and the dip deepens towards it from both sides.
  EXPECT_NEAR(y[t0 + half], 0.993807, 1e-15);
  for (int r = 1; r < half; ++r) {
    EXPECT_LT(y[static_cast<std::size_t>(t0 + half + r)],
              y[static_cast<std::size_t>(t0 + half + r + 1)]);
  }
  EXPECT_EQ(n, s->windowLength());
}

TEST(Saturator, PlainDelayLeavesTheMagnitudesAlone) {
  // After prepare() the magnitudes are zero, and a plain-delay stretch does not write them: a
  // loud signal delayed plainly, then saturation switched on over silence, comes out untouched
  // while its tail drains from the delay line.
  auto s = std::make_unique<Saturator>();
  s->prepare(44100.0);
  std::vector<double> loud(100, 2.0), y, unused;
  run(*s, loud, loud, {{16, 2, false}}, y, unused);
  std::vector<double> silence(14, 0.0);
  run(*s, silence, silence, {{16, 2, true}}, y, unused);
  for (double v : y) EXPECT_EQ(v, 2.0);

  // Saturating a loud signal over the whole ring, then a long quiet plain stretch: switching
  // saturation back on still sees the loud magnitudes from the last time it was on.
  s->prepare(44100.0);
  std::vector<double> quiet(60, 0.1);
  run(*s, std::vector<double>(1024, 2.0), std::vector<double>(1024, 2.0), {{16, 2, true}}, y,
      unused);
  run(*s, quiet, quiet, {{16, 2, false}}, y, unused);
  for (std::size_t i = 14; i < y.size(); ++i) EXPECT_EQ(y[i], 0.1) << i;
  run(*s, quiet, quiet, {{16, 2, true}}, y, unused);
  // The envelope sees 2.0 at every window position but the newest few.
  EXPECT_NEAR(y[0], 0.1 * 0.993807 / 2.0, 1e-16);
  EXPECT_NEAR(y[13], 0.1 * 0.993807 / 2.0, 1e-16);
  // Once the newest N samples were all written while saturating, the stale values are gone.
  EXPECT_NEAR(y[40], 0.1 * (1.0 - 0.15 * 0.01), 1e-16);
}

TEST(Saturator, ChannelsAreLimitedIndependently) {
  auto s = std::make_unique<Saturator>();
  s->prepare(48000.0);
  const std::vector<double> loud(200, 3.0), quiet(200, 0.1);
  std::vector<double> a, b;
  run(*s, loud, quiet, {{16, 2, true}}, a, b);
  for (std::size_t i = 40; i < 200; ++i) {
    ASSERT_NEAR(a[i], 0.993807, 1e-15) << i;
    ASSERT_NEAR(b[i], 0.1 * (1.0 - 0.15 * 0.01), 1e-16) << i;
  }
}

TEST(Saturator, MonoCallsAdvanceTheSharedPosition) {
  // The second channel's impulse enters in a stereo call, three mono samples pass, and it
  // leaves N/2 samples after it entered, counting the mono ones.
  auto s = std::make_unique<Saturator>();
  s->prepare(44100.0);
  const int half = 14;
  std::vector<double> a(40, 0.0), b(40, 0.0), outA, outB;
  b[0] = 0.5;
  run(*s, a, b, {{5, 2, false}, {3, 1, false}, {32, 2, false}}, outA, outB);
  EXPECT_EQ(s->position(), (1023 + 40) % 1024);
  for (int i = 0; i < 40; ++i) {
    if (i >= 5 && i < 8) {
      EXPECT_TRUE(std::isnan(outB[static_cast<std::size_t>(i)])) << "mono call wrote channel 2";
    } else {
      EXPECT_EQ(outB[static_cast<std::size_t>(i)], i == half ? 0.5 : 0.0) << i;
    }
  }
}

TEST(Saturator, InPlaceEqualsSeparateBuffersAndTouchesOnlyN) {
  const std::vector<double> a = programme(300, 1), b = programme(300, 2);
  auto separate = std::make_unique<Saturator>();
  std::vector<double> outA, outB;
  run(*separate, a, b, {{16, 2, true}, {7, 2, false}, {16, 1, true}}, outA, outB);

  auto inPlace = std::make_unique<Saturator>();
  const double guard = -777.0;
  std::vector<double> bufA(a), bufB(b);
  bufA.push_back(guard);
  bufB.push_back(guard);
  std::size_t done = 0;
  const Call calls[] = {{16, 2, true}, {7, 2, false}, {16, 1, true}};
  for (std::size_t c = 0; done < a.size(); ++c) {
    const Call& call = calls[c % 3];
    const int n = std::min<int>(call.n, static_cast<int>(a.size() - done));
    double* ch[2] = {bufA.data() + done, bufB.data() + done};
    inPlace->process(ch, call.channels, n, call.saturate);
    done += static_cast<std::size_t>(n);
  }
  EXPECT_EQ(bufA.back(), guard);
  EXPECT_EQ(bufB.back(), guard);
  for (std::size_t i = 0; i < a.size(); ++i) {
    ASSERT_TRUE(sameBits(bufA[i], outA[i])) << i;
    if (!std::isnan(outB[i])) {
      ASSERT_TRUE(sameBits(bufB[i], outB[i])) << i;
    }
  }
  // n = 0 changes nothing, not even the position.
  const int before = inPlace->position();
  double* none[2] = {nullptr, nullptr};
  inPlace->process(none, 2, 0, true);
  EXPECT_EQ(inPlace->position(), before);
}

TEST(Saturator, EveryBitMatchesThePlainModelAtEveryRate) {
  // Mixed call lengths, channel counts and modes over several wraps of the rings, from the
  // shortest window to the longest the rings hold.
  const std::vector<Call> calls = {{16, 2, true}, {16, 2, true}, {3, 2, false},  {16, 1, true},
                                   {1, 2, true},  {0, 2, true},  {16, 2, false}, {13, 1, false},
                                   {16, 2, true}, {17, 2, true}};
  for (double rate : {0.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 1000000.0,
                      1534500.0, 1e9, std::numeric_limits<double>::quiet_NaN()}) {
    SCOPED_TRACE(rate);
    const int n = tavola::saturatorWindowLength(rate);
    const std::vector<double> a = programme(3000, 3), b = programme(3000, 4);
    auto s = std::make_unique<Saturator>();
    s->prepare(rate);
    std::vector<double> outA, outB;
    run(*s, a, b, calls, outA, outB);

    ModelSaturator model(n);
    std::size_t done = 0;
    for (std::size_t c = 0; done < a.size(); ++c) {
      const Call& call = calls[c % calls.size()];
      const int len = std::min<int>(call.n, static_cast<int>(a.size() - done));
      for (int i = 0; i < len; ++i, ++done) {
        const double wantA = model.step(0, a[done], call.saturate);
        ASSERT_TRUE(sameBits(outA[done], wantA)) << done << ": " << outA[done] << " vs " << wantA;
        if (call.channels == 2) {
          const double wantB = model.step(1, b[done], call.saturate);
          ASSERT_TRUE(sameBits(outB[done], wantB)) << done << ": " << outB[done] << " vs " << wantB;
        }
        model.advance();
      }
    }
    EXPECT_EQ(s->windowLength(), n);
  }
}

TEST(Saturator, NothingLeavesAboveTheCeiling) {
  // Saturating throughout, every delayed sample has passed through the envelope at the window's
  // centre, so |out| <= e - 0.15 e^3 <= 0.993807 (to rounding), or 0.993807 * |d| / e <= 0.993807.
  for (double rate : {22050.0, 44100.0, 192000.0}) {
    SCOPED_TRACE(rate);
    const std::vector<double> a = programme(3000, 5), b = programme(3000, 6);
    auto s = std::make_unique<Saturator>();
    s->prepare(rate);
    std::vector<double> outA, outB;
    run(*s, a, b, {{16, 2, true}}, outA, outB);
    double peak = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
      peak = std::max({peak, std::fabs(outA[i]), std::fabs(outB[i])});
    }
    EXPECT_LE(peak, 0.99381);
    EXPECT_GT(peak, 0.99);
  }
}

TEST(Saturator, PrepareStartsFromSilence) {
  const std::vector<double> a = programme(500, 9);
  std::vector<double> x(100, 0.0), want, got, unused;
  x[2] = 0.7;
  x[50] = 4.0;
  auto fresh = std::make_unique<Saturator>();
  fresh->prepare(96000.0);
  run(*fresh, x, x, {{16, 2, true}}, want, unused);

  auto s = std::make_unique<Saturator>();
  s->prepare(44100.0);
  run(*s, a, a, {{16, 2, true}, {16, 2, false}}, got, unused);
  s->prepare(96000.0);
  EXPECT_EQ(s->position(), 1023);
  run(*s, x, x, {{16, 2, true}}, got, unused);
  for (std::size_t i = 0; i < x.size(); ++i) ASSERT_TRUE(sameBits(got[i], want[i])) << i;
}

}  // namespace
