// The half-band interpolator and its stand-in delay: the tap table against hand values and a
// higher-precision evaluation of the design formula, the two-phase evaluation against a
// brute-force zero-stuffed convolution, and its output bits against a plain loop written in the
// documented summation order, because the optimised path to come must reproduce it exactly.

#include <gtest/gtest.h>

#include "support/Signals.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "effect/signal/UpSampler.h"

namespace {

using tavola::test::bitIdentical;

std::vector<double> noise(std::size_t n, std::uint64_t seed = 0x2545f4914f6cdd1dull) {
  return tavola::test::noise(n, seed);
}

using tavola::UpSampler;

struct Taps {
  double c[tavola::kUpsamplerTableSize];
  Taps() {
    // Poison first, so that an entry the function forgets shows up.
    for (double& v : c) v = std::numeric_limits<double>::quiet_NaN();
    tavola::computeUpsamplerTaps(c);
  }
};

const Taps& taps() {
  static const Taps t;
  return t;
}

// x[i] of a finite signal with silence before it.
double at(const std::vector<double>& x, long i) {
  return i >= 0 && i < static_cast<long>(x.size()) ? x[static_cast<std::size_t>(i)] : 0.0;
}

// The filter as designed, at twice the rate: v[t] = sum over all 127 taps of c[k] * u[t-2-k],
// u the zero-stuffed input. Long double, so that its own rounding is negligible here.
std::vector<double> zeroStuffedConvolution(const std::vector<double>& x) {
  const double* c = taps().c;
  const long length = 2 * static_cast<long>(x.size());
  std::vector<double> v(static_cast<std::size_t>(length));
  for (long t = 0; t < length; ++t) {
    long double sum = 0.0L;
    for (long k = 0; k < 127; ++k) {
      const long pos = t - 2 - k;
      if (pos < 0 || pos % 2 != 0) continue;
      sum += static_cast<long double>(c[k]) * at(x, pos / 2);
    }
    v[static_cast<std::size_t>(t)] = static_cast<double>(sum);
  }
  return v;
}

// The two phases written out plainly over the whole signal, in the documented order: pair sums
// times taps[2j], four partial sums over j = m, m+4, ... from 0.0, then (s0 + s1) + (s2 + s3).
std::vector<double> plainTwoPhase(const std::vector<double>& x) {
  const double* c = taps().c;
  std::vector<double> v(2 * x.size());
  for (long i = 0; i < static_cast<long>(x.size()); ++i) {
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (long j = 0; j < 32; ++j) {
      const double p = c[2 * j] * (at(x, i - 1 - j) + at(x, i - 64 + j));
      switch (j % 4) {
        case 0:
          s0 = s0 + p;
          break;
        case 1:
          s1 = s1 + p;
          break;
        case 2:
          s2 = s2 + p;
          break;
        default:
          s3 = s3 + p;
          break;
      }
    }
    v[static_cast<std::size_t>(2 * i)] = (s0 + s1) + (s2 + s3);
    v[static_cast<std::size_t>(2 * i + 1)] = c[63] * at(x, i - 32);
  }
  return v;
}

// Streams x through upsample() in calls whose lengths cycle through `sizes`.
std::vector<double> upsampleIn(UpSampler& u, const std::vector<double>& x,
                               const std::vector<int>& sizes) {
  std::vector<double> out(2 * x.size());
  std::size_t done = 0;
  for (std::size_t s = 0; done < x.size(); ++s) {
    const int n = std::min<int>(sizes[s % sizes.size()], static_cast<int>(x.size() - done));
    u.upsample(x.data() + done, n, out.data() + 2 * done);
    done += static_cast<std::size_t>(n);
  }
  return out;
}

std::vector<double> delayIn(UpSampler& u, std::vector<double> x, const std::vector<int>& sizes) {
  std::size_t done = 0;
  for (std::size_t s = 0; done < x.size(); ++s) {
    const int n = std::min<int>(sizes[s % sizes.size()], static_cast<int>(x.size() - done));
    u.delay(x.data() + done, n);
    done += static_cast<std::size_t>(n);
  }
  return x;
}

std::vector<double> delayedBy32(const std::vector<double>& x) {
  std::vector<double> v(x.size());
  for (long i = 0; i < static_cast<long>(x.size()); ++i)
    v[static_cast<std::size_t>(i)] = at(x, i - 32);
  return v;
}

// The design formula once more, in long double with the library's pi, to catch a slip in the
// table's arithmetic (a wrong constant, a swapped term) rather than its last bits.
long double designedTap(int distance) {
  const long double pi = std::numbers::pi_v<long double>;
  const long double j = std::abs(distance);
  const long double s = j == 0 ? 0.5L : std::sin(pi * j / 2) / (128 * std::sin(pi * j / 127));
  const long double w =
      0.42L + 0.5L * std::cos(2 * pi * j / 127) + 0.08L * std::cos(4 * pi * j / 127);
  return 2 * w * s;
}

TEST(UpsamplerTaps, HandValues) {
  const double* c = taps().c;
  EXPECT_GE(c[63], std::nextafter(1.0, 0.0));
  EXPECT_LE(c[63], std::nextafter(1.0, 2.0));
  EXPECT_EQ(c[61], 0.0);
  EXPECT_EQ(c[65], 0.0);
  EXPECT_NEAR(c[62], 0.6311, 5e-5);
  EXPECT_NEAR(c[64], 0.6311, 5e-5);
  EXPECT_NEAR(c[60], -0.2088, 5e-5);
  EXPECT_NEAR(c[66], -0.2088, 5e-5);
  EXPECT_NEAR(c[0], -8.6e-7, 0.05e-7);
  EXPECT_NEAR(c[126], -8.6e-7, 0.05e-7);
  EXPECT_EQ(c[127], 0.0);
}

TEST(UpsamplerTaps, SymmetricWithExactZerosAtEvenDistances) {
  const double* c = taps().c;
  for (int d = 1; d <= 63; ++d) {
    SCOPED_TRACE(d);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(c[63 - d]), std::bit_cast<std::uint64_t>(c[63 + d]));
    if (d % 2 == 0) {
      EXPECT_EQ(c[63 + d], 0.0);
    } else {
      EXPECT_NE(c[63 + d], 0.0);
      // Odd distances alternate in sign: + at 1, - at 3, + at 5 ...
      EXPECT_EQ(c[63 + d] > 0.0, d % 4 == 1);
    }
  }
}

TEST(UpsamplerTaps, FollowTheDesignFormula) {
  const double* c = taps().c;
  for (int k = 0; k < tavola::kUpsamplerTaps; ++k) {
    SCOPED_TRACE(k);
    EXPECT_NEAR(c[k], static_cast<double>(designedTap(k - 63)), 1e-15);
  }
  // The even phase passes a constant at close to unity (the design's own gain, 0.9922):
  // the sum of its pair taps counts twice.
  double evenPhase = 0.0;
  for (int k = 0; k < 63; k += 2) evenPhase += 2.0 * c[k];
  EXPECT_NEAR(evenPhase, 0.9922, 1e-4);
}

TEST(UpSampler, ImpulseResponseIsTheTapTableTwoPositionsLate) {
  // v[t] = c[t - 2] for a unit impulse at u[0]; both phases, every position, every bit.
  const double* c = taps().c;
  UpSampler u(c);
  std::vector<double> x(80, 0.0);
  x[0] = 1.0;
  const std::vector<double> v = upsampleIn(u, x, {16});
  for (int t = 0; t < static_cast<int>(v.size()); ++t) {
    SCOPED_TRACE(t);
    const double want = t >= 2 && t - 2 < tavola::kUpsamplerTaps ? c[t - 2] : 0.0;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(v[static_cast<std::size_t>(t)]),
              std::bit_cast<std::uint64_t>(want));
  }
  // In particular the odd phase carries the impulse 32 input samples later at the centre tap.
  EXPECT_EQ(v[2 * 32 + 1], c[63]);
}

TEST(UpSampler, MatchesZeroStuffedConvolution) {
  std::vector<double> x = noise(700);
  x[300] = 8.0;  // a large sample, so that the pairing of far taps is visible
  UpSampler u(taps().c);
  const std::vector<double> v = upsampleIn(u, x, {16});
  const std::vector<double> brute = zeroStuffedConvolution(x);
  for (std::size_t t = 0; t < v.size(); ++t) {
    ASSERT_NEAR(v[t], brute[t], 1e-14) << "position " << t;
  }
  EXPECT_TRUE(bitIdentical(v, plainTwoPhase(x)));
  // The odd phase is nothing but the delayed input times the centre tap.
  for (long i = 0; i < 700; ++i) {
    ASSERT_EQ(v[static_cast<std::size_t>(2 * i + 1)], taps().c[63] * at(x, i - 32)) << i;
  }
}

TEST(UpSampler, CallLengthsDoNotChangeTheOutput) {
  const std::vector<double> x = noise(600, 7);
  const std::vector<double> want = plainTwoPhase(x);
  const std::vector<std::vector<int>> patterns = {{1},  {3},   {16},
                                                  {17}, {600}, {5, 0, 11, 1, 16, 2, 40}};
  for (const auto& sizes : patterns) {
    SCOPED_TRACE(::testing::PrintToString(sizes));
    UpSampler u(taps().c);
    EXPECT_TRUE(bitIdentical(upsampleIn(u, x, sizes), want));
    UpSampler d;
    EXPECT_TRUE(bitIdentical(delayIn(d, x, sizes), delayedBy32(x)));
  }
}

TEST(UpSampler, WritesOnlyItsOutputAndMayWorkInPlace) {
  const std::vector<double> x = noise(16 * 9, 11);
  const double guard = -12345.0;
  for (int n : {0, 1, 2, 7, 15, 16}) {
    SCOPED_TRACE(n);
    UpSampler separate(taps().c);
    UpSampler inPlace(taps().c);
    for (std::size_t at0 = 0; at0 + static_cast<std::size_t>(n) <= x.size() && at0 < 64;
         at0 += static_cast<std::size_t>(std::max(n, 1))) {
      std::vector<double> out(2 * 16 + 4, guard);
      separate.upsample(x.data() + at0, n, out.data());
      std::vector<double> buffer(2 * 16 + 4, guard);
      std::copy(x.begin() + static_cast<long>(at0), x.begin() + static_cast<long>(at0) + n,
                buffer.begin());
      inPlace.upsample(buffer.data(), n, buffer.data());
      for (int i = 2 * n; i < static_cast<int>(out.size()); ++i) ASSERT_EQ(out[i], guard) << i;
      for (int i = 0; i < 2 * n; ++i) ASSERT_EQ(buffer[i], out[i]) << i;
      if (n == 0) break;
    }
  }
  std::vector<double> d(20, guard);
  std::copy(x.begin(), x.begin() + 5, d.begin());
  UpSampler delayer;
  delayer.delay(d.data(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(d[i], 0.0);
  for (int i = 5; i < 20; ++i) EXPECT_EQ(d[i], guard);
}

TEST(UpSampler, DelayAndUpsampleShareOneHistory) {
  const std::vector<double> x = noise(200, 3);
  // Up-sample the first 100 samples, delay the rest: the delay reaches back into the samples
  // the up-sampler saw.
  UpSampler u(taps().c);
  upsampleIn(u, std::vector<double>(x.begin(), x.begin() + 100), {16});
  std::vector<double> rest(x.begin() + 100, x.end());
  rest = delayIn(u, rest, {16});
  const std::vector<double> want = delayedBy32(x);
  EXPECT_TRUE(bitIdentical(rest, std::vector<double>(want.begin() + 100, want.end())));
  // And the other way round: after delaying, up-sampling continues as if it had run throughout.
  UpSampler w(taps().c);
  delayIn(w, std::vector<double>(x.begin(), x.begin() + 100), {16});
  const std::vector<double> tail =
      upsampleIn(w, std::vector<double>(x.begin() + 100, x.end()), {16});
  const std::vector<double> full = plainTwoPhase(x);
  EXPECT_TRUE(bitIdentical(tail, std::vector<double>(full.begin() + 200, full.end())));
}

TEST(UpSampler, ClearForgetsThePast) {
  const std::vector<double> loud = noise(100, 5);
  std::vector<double> x(90, 0.0);
  x[3] = 1.0;
  x[40] = -0.5;
  UpSampler fresh(taps().c);
  const std::vector<double> want = upsampleIn(fresh, x, {16});

  UpSampler u(taps().c);
  upsampleIn(u, loud, {16});
  u.clear();
  EXPECT_TRUE(bitIdentical(upsampleIn(u, x, {16}), want));

  upsampleIn(u, loud, {16});
  u.clear();
  EXPECT_TRUE(bitIdentical(delayIn(u, x, {16}), delayedBy32(x)));

  // Silence into a cleared history is exact silence in both modes.
  u.clear();
  const std::vector<double> silence(64, 0.0);
  for (double v : upsampleIn(u, silence, {16})) ASSERT_EQ(std::bit_cast<std::uint64_t>(v), 0u);
}

}  // namespace
