// The filter section as the effect drives it: settings and their clamps, immediate and gliding
// designs, switching on and off, and the samples it produces. Sample output is checked bit for
// bit against a plain direct-form-I loop and a plain model of the glide, because the optimised
// path to come must reproduce this one exactly.

#include <gtest/gtest.h>

#include "support/Signals.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "dsp/Filter.h"

namespace {

using tavola::test::bitIdentical;

using tavola::test::noise;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Noise with stretches scaled down to 1e-25, where the denormal flush changes the low bits of
// the results, so that a loop without it cannot match.
std::vector<double> noiseWithTinyStretches(std::size_t n, std::uint64_t seed) {
  std::vector<double> v = noise(n, seed);
  for (std::size_t i = 0; i < n; ++i) {
    if ((i / 64) % 2 == 1) v[i] *= 1e-25;
  }
  return v;
}

bool sameBits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

::testing::AssertionResult sameRoots(const FilterRoots& a, const FilterRoots& b) {
  const double x[] = {a.z1re, a.z1im, a.z2re, a.z2im, a.p1re, a.p1im, a.p2re, a.p2im, a.k};
  const double y[] = {b.z1re, b.z1im, b.z2re, b.z2im, b.p1re, b.p1im, b.p2re, b.p2im, b.k};
  for (int i = 0; i < 9; ++i) {
    if (!sameBits(x[i], y[i])) {
      return ::testing::AssertionFailure() << "root value " << i << ": " << x[i] << " vs " << y[i];
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult sameCoefficients(const FilterCoefficients& a,
                                            const FilterCoefficients& b) {
  const double x[] = {a.a0, a.a1, a.a2, a.b0, a.b1, a.b2};
  const double y[] = {b.a0, b.a1, b.a2, b.b0, b.b1, b.b2};
  for (int i = 0; i < 6; ++i) {
    if (!sameBits(x[i], y[i])) {
      return ::testing::AssertionFailure() << "coefficient " << i << ": " << x[i] << " vs " << y[i];
    }
  }
  return ::testing::AssertionSuccess();
}

std::vector<double> rootValues(const FilterRoots& r) {
  return {r.z1re, r.z1im, r.z2re, r.z2im, r.p1re, r.p1im, r.p2re, r.p2im, r.k};
}

// A section switched on and designed the way the effect does it, in immediate mode.
Filter makeSection(double fs, int type, double freq, double q, double gainDb = 0.0) {
  Filter f(fs, type, 1000.0, 1.0, 0.0);
  f.setType(type);
  f.setStatus(1);
  f.setFreq(freq);
  f.setQ(q);
  f.setGain(gainDb);
  return f;
}

std::vector<double> run(Filter& f, std::vector<double> x) {
  f.processFrame(x.data(), static_cast<int>(x.size()));
  return x;
}

// Textbook direct form I with the same denormal flush, accumulating one term at a time.
struct DirectFormOne {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

  void use(const FilterCoefficients& c) { b0 = c.b0, b1 = c.b1, b2 = c.b2, a1 = c.a1, a2 = c.a2; }
  double tick(double x) {
    double acc = b0 * x;
    acc += b1 * x1;
    acc += b2 * x2;
    acc -= a1 * y1;
    acc -= a2 * y2;
    acc += 1e-30;
    acc -= 1e-30;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = acc;
    return acc;
  }
  // Picks up a running section from the last two samples it took in and gave out.
  void continueFrom(const std::vector<double>& in, const std::vector<double>& out) {
    const std::size_t n = in.size();
    x1 = in[n - 1], x2 = in[n - 2], y1 = out[n - 1], y2 = out[n - 2];
  }
};

// The glide, modelled plainly: nine values walked in straight lines, the section rebuilt from
// them every sample, then the target design once the steps are used up.
struct GlideModel {
  double now[9];
  double step[9];
  std::uint64_t left;
  FilterCoefficients target;
  DirectFormOne df;

  GlideModel(const FilterRoots& from, const FilterRoots& to, std::uint64_t length,
             const FilterCoefficients& targetCoefficients)
      : left(length), target(targetCoefficients) {
    const std::vector<double> a = rootValues(from);
    const std::vector<double> b = rootValues(to);
    for (int i = 0; i < 9; ++i) {
      now[i] = a[i];
      const double d = (b[i] - a[i]) / static_cast<double>(length);
      step[i] = (d + 1e-30) - 1e-30;
    }
  }
  double tick(double x) {
    if (left > 0) {
      --left;
      for (int i = 0; i < 9; ++i) now[i] += step[i];
      const double k = now[8];
      df.b0 = k;
      df.b1 = -(k * (now[0] + now[2]));
      df.b2 = k * ((now[0] * now[2]) - (now[1] * now[3]));
      df.a1 = -(now[4] + now[6]);
      df.a2 = (now[4] * now[6]) - (now[5] * now[7]);
    } else {
      df.use(target);
    }
    return df.tick(x);
  }
};

// Amplitude of the steady-state response to a sine, by projecting the last whole periods onto a
// sine and a cosine.
double measuredGain(Filter& f, double fs, double freq, int periodSamples) {
  const double amplitude = 0.5;
  const int settle = 40000;
  const int measure = periodSamples * (9600 / periodSamples);
  std::vector<double> x(settle + measure);
  for (std::size_t n = 0; n < x.size(); ++n) {
    x[n] = amplitude * std::sin(2.0 * std::numbers::pi * freq * static_cast<double>(n) / fs);
  }
  const std::vector<double> y = run(f, x);
  double s = 0.0, c = 0.0;
  for (int n = settle; n < settle + measure; ++n) {
    const double ph = 2.0 * std::numbers::pi * freq * static_cast<double>(n) / fs;
    s += y[n] * std::sin(ph);
    c += y[n] * std::cos(ph);
  }
  return 2.0 * std::hypot(s, c) / measure / amplitude;
}

// ---------------------------------------------------------------------------------------------
// Settings

TEST(FilterSettings, ConstructionKeepsFiniteValuesAndStartsOffAndImmediate) {
  Filter f(88200.0, 4, 0.0, 0.0, 2000.0);
  EXPECT_EQ(f.getFreq(), 0.0);  // kept as given until a setter clamps it
  EXPECT_EQ(f.getGain(), 2000.0);
  EXPECT_EQ(f.getStatus(), 0);
  EXPECT_TRUE(f.isImmediate());
  EXPECT_FALSE(f.isGliding());
  EXPECT_EQ(f.glideLength(), 4410u);
  EXPECT_TRUE(sameRoots(f.currentRoots(), Filter::restRoots()));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), FilterRoots{}));
  const std::vector<double> x = noise(64);
  EXPECT_TRUE(bitIdentical(run(f, x), x));  // off: samples pass untouched

  Filter g(kNaN, 1, kInf, kNaN, -kInf);  // only the non-finite values are replaced
  EXPECT_EQ(g.getSampleRate(), 44100.0);
  EXPECT_EQ(g.getFreq(), 0.499 * 44100.0);
  EXPECT_EQ(g.getQ(), 0.0001);
  EXPECT_EQ(g.getGain(), -1000.0);
  Filter h(10.0, 1, 1.0, 0.5, 0.0);  // a low finite rate waits for the effect's real one
  EXPECT_EQ(h.getSampleRate(), 10.0);
  EXPECT_EQ(h.glideLength(), 0u);
}

TEST(FilterSettings, SettersClampAndReplaceNonFiniteValues) {
  enum Setter { kFreq, kQ, kGain, kRate };
  struct Case {
    Setter setter;
    double value, expected;
  };
  const Case cases[] = {
      // Frequency: 0.001 Hz to 0.499 of the rate (88 200 Hz); NaN like the lower clamp.
      {kFreq, 0.0, 0.001},
      {kFreq, -50.0, 0.001},
      {kFreq, 0.001, 0.001},
      {kFreq, 50000.0, 0.499 * 88200.0},
      {kFreq, 1234.5, 1234.5},
      {kFreq, kNaN, 0.001},
      {kFreq, kInf, 0.499 * 88200.0},
      {kFreq, -kInf, 0.001},
      // Q: 0.0001 to 1000; gain: -1000 to 1000 dB, NaN flat.
      {kQ, 0.0, 0.0001},
      {kQ, -2.0, 0.0001},
      {kQ, 5000.0, 1000.0},
      {kQ, 0.705, 0.705},
      {kQ, kNaN, 0.0001},
      {kQ, kInf, 1000.0},
      {kGain, 2000.0, 1000.0},
      {kGain, -7.25, -7.25},
      {kGain, kNaN, 0.0},
      {kGain, -kInf, -1000.0},
      // Rate: 20 to 400 kHz, else 44.1 kHz.
      {kRate, 10000.0, 44100.0},
      {kRate, 96000.0, 96000.0},
      {kRate, 500000.0, 44100.0},
      {kRate, kNaN, 44100.0},
      {kRate, 20000.0, 20000.0},
      {kRate, 400000.0, 400000.0}};
  for (const Case& c : cases) {
    Filter f = makeSection(88200.0, 4, 1000.0, 1.0, 6.0);
    switch (c.setter) {
      case kFreq:
        f.setFreq(c.value);
        EXPECT_EQ(f.getFreq(), c.expected) << c.value;
        break;
      case kQ:
        f.setQ(c.value);
        EXPECT_EQ(f.getQ(), c.expected) << c.value;
        break;
      case kGain:
        f.setGain(c.value);
        EXPECT_EQ(f.getGain(), c.expected) << c.value;
        break;
      case kRate:
        f.setSampleRate(c.value);
        EXPECT_EQ(f.getSampleRate(), c.expected) << c.value;
        EXPECT_EQ(f.glideLength(), Filter::glideSamplesFor(c.expected)) << c.value;
        break;
    }
  }
  // 50 ms, truncated; none for rates that give no sample.
  EXPECT_EQ(Filter::glideSamplesFor(44101.0), 2205u);
  EXPECT_EQ(Filter::glideSamplesFor(20.0), 1u);
  EXPECT_EQ(Filter::glideSamplesFor(19.99), 0u);
  EXPECT_EQ(Filter::glideSamplesFor(-44100.0), 0u);
  EXPECT_EQ(Filter::glideSamplesFor(kNaN), 0u);
  EXPECT_EQ(Filter::glideSamplesFor(1e300), UINT64_MAX);
}

TEST(FilterSettings, NonFiniteSettingsGiveFiniteDesignsAndSamples) {
  Filter f = makeSection(88200.0, 4, 1000.0, 1.0, 6.0);
  f.setFreq(kNaN);
  EXPECT_TRUE(sameCoefficients(f.targetCoefficients(), designFilter(88200, 4, 0.001, 1, 6, 1)));
  f.setFreq(1000.0);
  f.setGain(kNaN);
  EXPECT_NEAR(filterMagnitude(f.targetCoefficients(), 88200, 1000), 1.0, 1e-12);
  for (double v : {kNaN, kInf, -kInf}) {
    Filter g = makeSection(88200.0, 8, 1000.0, 0.5);
    g.suspend(false);
    g.setFreq(v);
    g.setQ(v);
    g.setGain(v);
    g.setSampleRate(v);
    const FilterCoefficients& c = g.targetCoefficients();
    for (double k : {c.a0, c.a1, c.a2, c.b0, c.b1, c.b2}) EXPECT_TRUE(std::isfinite(k)) << v;
    for (double y : run(g, noise(6000))) ASSERT_TRUE(std::isfinite(y)) << v;
  }
}

TEST(FilterSettings, NewRateRedesignsButKeepsTheStoredFrequency) {
  Filter f = makeSection(88200.0, 8, 40000.0, 0.5);
  f.setSampleRate(176400.0);
  EXPECT_EQ(f.getFreq(), 40000.0);
  EXPECT_TRUE(
      sameCoefficients(f.targetCoefficients(), designFilter(176400.0, 8, 40000.0, 0.5, 0, 1)));
  f.setSampleRate(44100.0);
  EXPECT_EQ(f.getFreq(), 40000.0);  // above 0.499 x 44 100, not clamped again
}

// ---------------------------------------------------------------------------------------------
// Designs: immediate and gliding

TEST(FilterGlide, ImmediateModeUsesTheNewDesignFromTheFirstSample) {
  Filter f = makeSection(48000.0, 1, 500.0, 0.7);
  EXPECT_FALSE(f.isGliding());
  EXPECT_TRUE(sameRoots(f.currentRoots(), f.targetRoots()));
  const std::vector<double> a = noise(100, 1);
  const std::vector<double> ya = run(f, a);

  f.setFreq(3000.0);
  EXPECT_FALSE(f.isGliding());
  EXPECT_TRUE(sameRoots(f.currentRoots(), f.targetRoots()));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), FilterRoots{}));

  DirectFormOne ref;
  ref.use(designFilter(48000.0, 1, 3000.0, 0.7, 0.0, 1));
  ref.continueFrom(a, ya);
  const std::vector<double> b = noise(50, 2);
  std::vector<double> want;
  for (double x : b) want.push_back(ref.tick(x));
  EXPECT_TRUE(bitIdentical(run(f, b), want));
}

TEST(FilterGlide, EverySetterStartsAFullGlideInGlidingMode) {
  Filter f = makeSection(88200.0, 8, 2000.0, 0.5);
  f.suspend(false);
  EXPECT_FALSE(f.isImmediate());
  auto expectFreshGlide = [&](const char* what) {
    EXPECT_TRUE(f.isGliding()) << what;
    EXPECT_EQ(f.glideRemaining(), f.glideLength()) << what;
    run(f, noise(100));
    EXPECT_EQ(f.glideRemaining(), f.glideLength() - 100) << what;
  };
  f.setFreq(3000.0);
  expectFreshGlide("freq");
  f.setQ(0.7);
  expectFreshGlide("q");
  f.setGain(3.0);
  expectFreshGlide("gain");
  f.setType(1);
  expectFreshGlide("type");
  f.setStatus(0);
  expectFreshGlide("status");
  f.setSampleRate(96000.0);
  EXPECT_EQ(f.glideLength(), 4800u);
  expectFreshGlide("rate");
}

TEST(FilterGlide, SameStatusLeavesARunningGlideAlone) {
  Filter f = makeSection(88200.0, 8, 2000.0, 0.5);
  f.suspend(false);
  f.setFreq(5000.0);
  run(f, noise(1000));
  const FilterRoots cur = f.currentRoots();
  const FilterRoots dst = f.targetRoots();
  const FilterRoots inc = f.glideIncrements();
  const std::uint64_t left = f.glideRemaining();
  ASSERT_EQ(left, 4410u - 1000u);

  f.setStatus(1);
  EXPECT_EQ(f.glideRemaining(), left);
  EXPECT_TRUE(sameRoots(f.currentRoots(), cur));
  EXPECT_TRUE(sameRoots(f.targetRoots(), dst));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), inc));

  // Another "on" value is a different value: it is stored and restarts the glide.
  f.setStatus(7);
  EXPECT_EQ(f.getStatus(), 7);
  EXPECT_EQ(f.glideRemaining(), 4410u);
}

TEST(FilterGlide, SetterHalfwayRestartsAFullGlideFromTheHalfwayValues) {
  Filter f = makeSection(88200.0, 8, 1000.0, 0.5);
  const FilterRoots start = f.targetRoots();
  f.suspend(false);
  f.setFreq(4000.0);
  const FilterRoots firstTarget = f.targetRoots();
  run(f, noise(2205));
  EXPECT_EQ(f.glideRemaining(), 2205u);
  const FilterRoots half = f.currentRoots();

  // Halfway in samples is halfway along each straight line.
  const std::vector<double> s = rootValues(start), t = rootValues(firstTarget),
                            h = rootValues(half);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(h[i], 0.5 * (s[i] + t[i]), 1e-9) << i;

  f.setFreq(9000.0);
  EXPECT_EQ(f.glideRemaining(), 4410u);
  EXPECT_TRUE(sameRoots(f.currentRoots(), half));
  const std::vector<double> t2 = rootValues(f.targetRoots()), inc = rootValues(f.glideIncrements());
  for (int i = 0; i < 9; ++i) {
    const double want = ((t2[i] - h[i]) / 4410.0 + 1e-30) - 1e-30;
    EXPECT_TRUE(sameBits(inc[i], want)) << i;
  }

  run(f, noise(4410));
  EXPECT_FALSE(f.isGliding());
  const std::vector<double> end = rootValues(f.currentRoots());
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(end[i], t2[i], 1e-12) << i;
}

TEST(FilterGlide, GlideSamplesMatchAPlainModelBitForBit) {
  // A type change and a corner change in one glide, ending inside a block.
  Filter f = makeSection(88200.0, 1, 300.0, 0.705);
  const std::vector<double> warm = noise(500, 3);
  const std::vector<double> warmOut = run(f, warm);
  f.suspend(false);
  const FilterRoots from = f.currentRoots();
  f.setType(8);
  f.setFreq(12000.0);  // restarts: the model starts from the roots the second setter found
  GlideModel model(from, f.targetRoots(), f.glideLength(), f.targetCoefficients());
  model.df.continueFrom(warm, warmOut);

  const std::vector<double> x = noiseWithTinyStretches(f.glideLength() + 300, 4);
  std::vector<double> want;
  for (double v : x) want.push_back(model.tick(v));
  EXPECT_TRUE(bitIdentical(run(f, x), want));
}

TEST(FilterGlide, IncrementsAreFlushedLikeOutputs) {
  // The flush only alters increments below about 1e-30: a band-pass at the lowest corner and the
  // highest Q has a gain factor near 1e-11, and a corner moved by one unit in the last place
  // changes it by about 1e-27, spread over 20 000 samples.
  Filter f = makeSection(400000.0, 5, 0.001, 1000.0);
  f.suspend(false);
  const std::vector<double> from = rootValues(f.currentRoots());
  f.setFreq(std::nextafter(0.001, 1.0));
  const std::vector<double> to = rootValues(f.targetRoots());
  const std::vector<double> inc = rootValues(f.glideIncrements());
  int changedByFlush = 0;
  for (int i = 0; i < 9; ++i) {
    const double raw = (to[i] - from[i]) / static_cast<double>(f.glideLength());
    const double flushed = (raw + 1e-30) - 1e-30;
    EXPECT_TRUE(sameBits(inc[i], flushed)) << i;
    if (!sameBits(raw, flushed)) ++changedByFlush;
  }
  // Otherwise this case could not tell a flushed increment from a raw one.
  ASSERT_GT(changedByFlush, 0);
}

TEST(FilterGlide, GlideEndsAtTheTargetResponse) {
  const double fs = 96000.0;
  Filter f = makeSection(fs, 4, 500.0, 0.8, -9.0);
  f.suspend(false);
  f.setFreq(6000.0);
  f.setGain(12.0);
  f.setQ(2.0);
  run(f, noise(f.glideLength() - 1));
  ASSERT_EQ(f.glideRemaining(), 1u);
  run(f, noise(1));
  EXPECT_FALSE(f.isGliding());

  // The last glide sample used coefficients rebuilt from the roots: the target's up to rounding.
  const FilterCoefficients& rebuilt = f.currentCoefficients();
  const FilterCoefficients& target = f.targetCoefficients();
  EXPECT_EQ(rebuilt.a0, 1.0);
  EXPECT_NEAR(rebuilt.a1, target.a1, 1e-12);
  EXPECT_NEAR(rebuilt.a2, target.a2, 1e-12);
  EXPECT_NEAR(rebuilt.b0, target.b0, 1e-12);
  EXPECT_NEAR(rebuilt.b1, target.b1, 1e-12);
  EXPECT_NEAR(rebuilt.b2, target.b2, 1e-12);
  for (double probe : {20.0, 1000.0, 6000.0, 15000.0, 40000.0}) {
    const double want = filterMagnitude(target, fs, probe);
    EXPECT_NEAR(filterMagnitude(rebuilt, fs, probe), want, 1e-10 * want) << probe;
  }
  EXPECT_NEAR(filterMagnitude(target, fs, 6000.0), std::pow(10.0, 12.0 / 20.0), 1e-9);

  // From the next sample on, the target coefficients themselves.
  run(f, noise(1));
  EXPECT_TRUE(sameCoefficients(f.currentCoefficients(), target));
}

TEST(FilterGlide, DifferenceEquationMatchesDirectFormOneAfterTheGlide) {
  Filter f = makeSection(44100.0, 3, 150.0, 0.6, 8.0);
  f.suspend(false);
  f.setFreq(400.0);
  const std::vector<double> glide = noise(f.glideLength() + 17, 5);
  const std::vector<double> glideOut = run(f, glide);

  DirectFormOne ref;
  ref.use(f.targetCoefficients());
  ref.continueFrom(glide, glideOut);
  const std::vector<double> x = noiseWithTinyStretches(3000, 6);
  std::vector<double> want;
  for (double v : x) want.push_back(ref.tick(v));
  EXPECT_TRUE(bitIdentical(run(f, x), want));
}

TEST(FilterGlide, EveryTypeMatchesDirectFormOneFromRest) {
  for (int type : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) {
    SCOPED_TRACE(type);
    Filter f = makeSection(88200.0, type, 2500.0, 1.3, -4.0);
    DirectFormOne ref;
    ref.use(designFilter(88200.0, type, 2500.0, 1.3, -4.0, 1));
    const std::vector<double> x = noiseWithTinyStretches(2000, 7);
    std::vector<double> want;
    for (double v : x) want.push_back(ref.tick(v));
    EXPECT_TRUE(bitIdentical(run(f, x), want));
  }
}

TEST(FilterGlide, ZeroLengthGlideSwitchesAtOnce) {
  Filter f(10.0, 1, 1.0, 0.5, 0.0);  // a rate only the constructor accepts
  ASSERT_EQ(f.glideLength(), 0u);
  f.suspend(false);
  f.setStatus(1);
  EXPECT_FALSE(f.isGliding());
  EXPECT_TRUE(sameRoots(f.currentRoots(), f.targetRoots()));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), FilterRoots{}));
  for (double y : run(f, noise(100))) ASSERT_TRUE(std::isfinite(y));
}

// ---------------------------------------------------------------------------------------------
// Switching on and off, suspend and reset

TEST(FilterSwitching, OffAndSettledPassesThroughAndClearsHistory) {
  Filter f = makeSection(48000.0, 1, 800.0, 0.7);
  run(f, noise(300, 8));
  f.setStatus(0);  // immediate: no glide
  EXPECT_FALSE(f.isGliding());
  const std::vector<double> x = noise(256, 9);
  EXPECT_TRUE(bitIdentical(run(f, x), x));

  // Switched back on, the section starts from silence as a fresh one does.
  f.setStatus(1);
  Filter fresh = makeSection(48000.0, 1, 800.0, 0.7);
  const std::vector<double> y = noise(256, 10);
  EXPECT_TRUE(bitIdentical(run(f, y), run(fresh, y)));

  // The history is cleared even by an empty block.
  run(f, noise(10, 11));
  f.setStatus(0);
  f.processFrame(nullptr, 0);
  f.setStatus(1);
  Filter fresh2 = makeSection(48000.0, 1, 800.0, 0.7);
  EXPECT_TRUE(bitIdentical(run(f, y), run(fresh2, y)));
}

TEST(FilterSwitching, TypeZeroLeavesSamplesAndStateUntouched) {
  for (int status : {0, 1}) {
    SCOPED_TRACE(status);
    Filter f = makeSection(48000.0, 1, 800.0, 0.7);
    run(f, noise(50, 12));
    f.suspend(false);
    f.setType(0);
    if (status == 0) f.setStatus(0);
    ASSERT_TRUE(f.isGliding());
    const std::uint64_t left = f.glideRemaining();
    const FilterRoots cur = f.currentRoots();
    const std::vector<double> x = noise(300, 13);
    EXPECT_TRUE(bitIdentical(run(f, x), x));
    EXPECT_EQ(f.glideRemaining(), left);
    EXPECT_TRUE(sameRoots(f.currentRoots(), cur));
  }
  // Type 0 also designs the identity section.
  Filter g = makeSection(48000.0, 0, 800.0, 0.7);
  EXPECT_TRUE(sameCoefficients(g.targetCoefficients(), FilterCoefficients{}));
}

TEST(FilterSwitching, SwitchingOffGlidesToIdentityThenPassesThrough) {
  Filter f = makeSection(88200.0, 8, 3000.0, 0.5);
  run(f, noise(400, 14));
  f.suspend(false);
  f.setStatus(0);
  EXPECT_TRUE(sameCoefficients(f.targetCoefficients(), FilterCoefficients{}));
  EXPECT_TRUE(sameRoots(f.targetRoots(), filterRootsOf(FilterCoefficients{})));
  EXPECT_EQ(f.glideRemaining(), 4410u);

  // During the glide the section still filters.
  const std::vector<double> x = noise(4410, 15);
  const std::vector<double> y = run(f, x);
  EXPECT_FALSE(bitIdentical(y, x));
  EXPECT_FALSE(f.isGliding());
  // Its last glide sample is already (nearly) a pass-through.
  EXPECT_NEAR(y.back(), x.back(), 1e-9);

  const std::vector<double> z = noise(512, 16);
  EXPECT_TRUE(bitIdentical(run(f, z), z));
  // And its history is gone: on again, it behaves like a fresh section of the same design.
  f.suspend(true);
  f.setStatus(1);
  Filter fresh = makeSection(88200.0, 8, 3000.0, 0.5);
  EXPECT_TRUE(bitIdentical(run(f, z), run(fresh, z)));
}

TEST(FilterSwitching, SuspendFinishesAGlideButKeepsCoefficientsAndHistory) {
  Filter f = makeSection(48000.0, 4, 1000.0, 1.0, 6.0);
  run(f, noise(300, 17));
  f.suspend(false);
  f.setFreq(2000.0);
  ASSERT_TRUE(f.isGliding());
  const std::vector<double> b = noise(100, 18);
  const std::vector<double> yb = run(f, b);
  const FilterCoefficients target = f.targetCoefficients();
  const FilterCoefficients current = f.currentCoefficients();

  f.suspend(true);
  EXPECT_TRUE(f.isImmediate());
  EXPECT_FALSE(f.isGliding());
  EXPECT_TRUE(sameRoots(f.currentRoots(), f.targetRoots()));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), FilterRoots{}));
  EXPECT_TRUE(sameCoefficients(f.targetCoefficients(), target));
  EXPECT_TRUE(sameCoefficients(f.currentCoefficients(), current));

  // The next sample uses the target with the history the glide left behind.
  DirectFormOne ref;
  ref.use(target);
  ref.continueFrom(b, yb);
  const std::vector<double> c = noise(20, 19);
  std::vector<double> want;
  for (double v : c) want.push_back(ref.tick(v));
  EXPECT_TRUE(bitIdentical(run(f, c), want));

  // Immediate again: setters no longer glide.
  f.setFreq(3000.0);
  EXPECT_FALSE(f.isGliding());
  f.suspend(false);
  EXPECT_FALSE(f.isImmediate());
  f.setFreq(4000.0);
  EXPECT_TRUE(f.isGliding());
}

TEST(FilterSwitching, ResetClearsHistoryAndRestsTheRoots) {
  Filter f = makeSection(48000.0, 7, 5000.0, 0.7, 5.0);
  run(f, noise(300, 20));
  f.suspend(false);
  f.setFreq(7000.0);
  run(f, noise(100, 21));
  f.suspend(true);
  const FilterCoefficients target = f.targetCoefficients();
  f.reset();

  EXPECT_FALSE(f.isGliding());
  EXPECT_TRUE(sameRoots(f.currentRoots(), Filter::restRoots()));
  EXPECT_TRUE(sameRoots(f.targetRoots(), Filter::restRoots()));
  EXPECT_TRUE(sameRoots(f.glideIncrements(), FilterRoots{}));
  const FilterRoots rest = Filter::restRoots();
  EXPECT_EQ(rest.z1re, 1.0);
  EXPECT_EQ(rest.k, 1.0);
  for (double v : {rest.z1im, rest.z2re, rest.z2im, rest.p1re, rest.p1im, rest.p2re, rest.p2im}) {
    EXPECT_EQ(v, 0.0);
  }
  EXPECT_TRUE(sameCoefficients(f.targetCoefficients(), target));
  EXPECT_EQ(f.getFreq(), 7000.0);
  EXPECT_EQ(f.getType(), 7);
  EXPECT_EQ(f.getStatus(), 1);

  // The coefficients are kept and the history is gone.
  Filter fresh = makeSection(48000.0, 7, 7000.0, 0.7, 5.0);
  const std::vector<double> x = noise(500, 22);
  EXPECT_TRUE(bitIdentical(run(f, x), run(fresh, x)));
}

// ---------------------------------------------------------------------------------------------
// Samples

TEST(FilterSamples, BlockEqualsTheSameSamplesInPieces) {
  const std::size_t total = 3 * 4410 + 100;
  const std::vector<double> x = noise(total, 23);
  // Designs change at fixed sample positions: a glide, a restart partway through it, a switch-off
  // glide.
  auto drive = [&](const std::vector<int>& sizes) {
    Filter f = makeSection(88200.0, 1, 200.0, 0.705);
    f.suspend(false);
    f.setFreq(900.0);
    std::vector<double> y = x;
    std::size_t pos = 0;
    std::size_t piece = 0;
    bool retuned = false;
    bool switchedOff = false;
    while (pos < total) {
      if (pos == 2000 && !retuned) {
        f.setType(8);
        f.setFreq(5000.0);
        retuned = true;
      }
      if (pos == 7000 && !switchedOff) {
        f.setStatus(0);
        switchedOff = true;
      }
      const std::size_t limit = pos < 2000 ? 2000 : pos < 7000 ? 7000 : total;
      const std::size_t want = static_cast<std::size_t>(sizes[piece++ % sizes.size()]);
      const int n = static_cast<int>(std::min(want, limit - pos));
      f.processFrame(y.data() + pos, n);
      pos += static_cast<std::size_t>(n);
    }
    return y;
  };
  const std::vector<double> whole = drive({static_cast<int>(total)});
  EXPECT_FALSE(bitIdentical(whole, x));
  for (const std::vector<int>& sizes : std::vector<std::vector<int>>{
           {1}, {3}, {16}, {32}, {1, 3, 16, 0, 31, 64, 511, 2}, {4409, 2}, {17}}) {
    EXPECT_TRUE(bitIdentical(drive(sizes), whole)) << "first piece " << sizes[0];
  }
}

TEST(FilterSamples, GuardSamplesAroundTheBlockAreNotTouched) {
  Filter f = makeSection(48000.0, 4, 1000.0, 1.0, 6.0);
  f.suspend(false);
  f.setFreq(2000.0);
  for (int n : {0, 1, 7, 31, 64}) {
    std::vector<double> buf(static_cast<std::size_t>(n) + 2, 12345.0);
    f.processFrame(buf.data() + 1, n);
    EXPECT_EQ(buf.front(), 12345.0) << n;
    EXPECT_EQ(buf.back(), 12345.0) << n;
  }
  f.processFrame(nullptr, -5);  // a negative count does nothing
}

TEST(FilterSamples, SilenceInGivesExactlyZeroOut) {
  for (int type : {1, 3, 4, 5, 6, 7, 8, 10}) {
    SCOPED_TRACE(type);
    Filter f = makeSection(88200.0, type, 1500.0, 0.9, 6.0);
    for (double y : run(f, std::vector<double>(256, 0.0))) ASSERT_EQ(y, 0.0);
    f.suspend(false);
    f.setFreq(9000.0);  // and while gliding
    for (double y : run(f, std::vector<double>(5000, 0.0))) ASSERT_EQ(y, 0.0);
  }
}

TEST(FilterSamples, DecayingTailsNeverBecomeDenormal) {
  struct Tail {
    int type;
    double freq, q;
  };
  // Fast tails reach the denormal range within a few thousand samples when nothing stops them;
  // a slow, resonant one is in the list as well.
  const Tail tails[] = {{1, 3000, 0.5}, {8, 3000, 0.5}, {3, 2000, 0.7}, {4, 60, 4}, {7, 5000, 2}};
  for (const Tail& t : tails) {
    SCOPED_TRACE(testing::Message() << "type " << t.type << " f " << t.freq);
    Filter f = makeSection(44100.0, t.type, t.freq, t.q, -12.0);
    std::vector<double> x(200000, 0.0);
    x[0] = 1.0;
    const std::vector<double> y = run(f, x);
    for (double v : y) ASSERT_NE(std::fpclassify(v), FP_SUBNORMAL);
    EXPECT_LT(std::fabs(y.back()), 1e-40);
  }
}

TEST(FilterSamples, SineGainMatchesTheMagnitudeResponse) {
  struct Probe {
    double fs;
    int type;
    double freq, q, gain;
  };
  const Probe designs[] = {
      {48000, 1, 1000, 0.705, 0}, {48000, 8, 6000, 0.5, 0},   {48000, 4, 2000, 1.4, 6},
      {48000, 3, 300, 0.7, -9},   {48000, 7, 8000, 0.9, 4.5}, {48000, 6, 3000, 2, 0},
      {48000, 5, 3000, 2, 0},     {48000, 10, 3000, 2, 0},
  };
  // Probe frequencies with whole periods of 120, 48, 16 and 8 samples.
  const double probes[] = {400.0, 1000.0, 3000.0, 6000.0};
  for (const Probe& d : designs) {
    for (double probe : probes) {
      SCOPED_TRACE(testing::Message() << "type " << d.type << " probe " << probe);
      Filter f = makeSection(d.fs, d.type, d.freq, d.q, d.gain);
      const double want = filterMagnitude(f.targetCoefficients(), d.fs, probe);
      const double got = measuredGain(f, d.fs, probe, static_cast<int>(d.fs / probe));
      EXPECT_NEAR(got, want, 1e-6 * std::max(want, 1e-3));
    }
  }
}

}  // namespace
