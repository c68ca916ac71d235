// The pure side of the filter section: designs, their zeros and poles, and the magnitude
// response that the editor's plot will draw. References are the audio cookbook formulas written
// out independently (unnormalised numerator and denominator, divided at the end), values
// computed beforehand with python3, and closed-form properties of the responses.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "dsp/Filter.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Coeffs6 {
  double a0, a1, a2, b0, b1, b2;
};

// The Q the designs use: reduced by a power law as the frequency nears half the rate.
double expectedReducedQ(double fs, int type, double f, double q) {
  double p = 0.0;
  switch (type) {
    case 1:
      p = 6.0;
      break;
    case 3:
      p = 3.5;
      break;
    case 4:
    case 5:
    case 6:
      p = 2.8;
      break;
    case 7:
      p = 4.0;
      break;
    case 8:
      p = 8.0;
      break;
    default:
      return q;
  }
  const double h = type == 8 ? 0.50001 : 0.5001;
  return q * (1.0 - std::pow(f / (fs * h), p));
}

// The cookbook in its usual unnormalised form (b and a arrays, then divided by a[0]); the shelf
// term is written as 2 sqrt(A) alpha.
Coeffs6 cookbook(double fs, int type, double f, double q, double gainDb) {
  const double w = 2.0 * kPi * f / fs;
  const double cw = std::cos(w);
  const double sw = std::sin(w);
  const double alpha = sw / (2.0 * expectedReducedQ(fs, type, f, q));
  const double A = std::pow(10.0, gainDb / 40.0);
  const double sa = 2.0 * std::sqrt(A) * alpha;
  double b[3] = {1, 0, 0};
  double a[3] = {1, 0, 0};
  switch (type) {
    case 1:
      b[0] = (1 + cw) / 2, b[1] = -(1 + cw), b[2] = (1 + cw) / 2;
      a[0] = 1 + alpha, a[1] = -2 * cw, a[2] = 1 - alpha;
      break;
    case 8:
      b[0] = (1 - cw) / 2, b[1] = 1 - cw, b[2] = (1 - cw) / 2;
      a[0] = 1 + alpha, a[1] = -2 * cw, a[2] = 1 - alpha;
      break;
    case 5:
      b[0] = alpha, b[1] = 0, b[2] = -alpha;
      a[0] = 1 + alpha, a[1] = -2 * cw, a[2] = 1 - alpha;
      break;
    case 6:
      b[0] = 1, b[1] = -2 * cw, b[2] = 1;
      a[0] = 1 + alpha, a[1] = -2 * cw, a[2] = 1 - alpha;
      break;
    case 10:
      b[0] = 1 - alpha, b[1] = -2 * cw, b[2] = 1 + alpha;
      a[0] = 1 + alpha, a[1] = -2 * cw, a[2] = 1 - alpha;
      break;
    case 4:
      b[0] = 1 + alpha * A, b[1] = -2 * cw, b[2] = 1 - alpha * A;
      a[0] = 1 + alpha / A, a[1] = -2 * cw, a[2] = 1 - alpha / A;
      break;
    case 3:
      b[0] = A * ((A + 1) - (A - 1) * cw + sa);
      b[1] = 2 * A * ((A - 1) - (A + 1) * cw);
      b[2] = A * ((A + 1) - (A - 1) * cw - sa);
      a[0] = (A + 1) + (A - 1) * cw + sa;
      a[1] = -2 * ((A - 1) + (A + 1) * cw);
      a[2] = (A + 1) + (A - 1) * cw - sa;
      break;
    case 7:
      b[0] = A * ((A + 1) + (A - 1) * cw + sa);
      b[1] = -2 * A * ((A - 1) + (A + 1) * cw);
      b[2] = A * ((A + 1) + (A - 1) * cw - sa);
      a[0] = (A + 1) - (A - 1) * cw + sa;
      a[1] = 2 * ((A - 1) - (A + 1) * cw);
      a[2] = (A + 1) - (A - 1) * cw - sa;
      break;
    default:
      break;
  }
  return {a[0], a[1] / a[0], a[2] / a[0], b[0] / a[0], b[1] / a[0], b[2] / a[0]};
}

void expectClose(const FilterCoefficients& got, const Coeffs6& want, double relTol) {
  auto tol = [&](double v) { return relTol * std::max(1.0, std::fabs(v)); };
  EXPECT_NEAR(got.a0, want.a0, tol(want.a0));
  EXPECT_NEAR(got.a1, want.a1, tol(want.a1));
  EXPECT_NEAR(got.a2, want.a2, tol(want.a2));
  EXPECT_NEAR(got.b0, want.b0, tol(want.b0));
  EXPECT_NEAR(got.b1, want.b1, tol(want.b1));
  EXPECT_NEAR(got.b2, want.b2, tol(want.b2));
}

bool isIdentity(const FilterCoefficients& c) {
  return c.a0 == 1.0 && c.a1 == 0.0 && c.a2 == 0.0 && c.b0 == 1.0 && c.b1 == 0.0 && c.b2 == 0.0;
}

// The Q a design really used, recovered from its poles: for every type but the shelves
// a2 = (1 - alpha) / (1 + alpha) (the peaking type at 0 dB), and alpha = sin(w0) / (2 Qe).
double recoveredQ(const FilterCoefficients& c, double fs, double f) {
  const double alpha = (1.0 - c.a2) / (1.0 + c.a2);
  return std::sin(2.0 * kPi * f / fs) / (2.0 * alpha);
}

struct HandCase {
  const char* name;
  double fs;
  int type;
  double freq, q, gain;
  Coeffs6 want;
};

// Computed with python3 from the unnormalised cookbook forms (see cookbook() above); the
// coefficients are a0, a1, a2, b0, b1, b2.
// clang-format off
const HandCase kHandCases[] = {
    {"HighPass", 88200, 1, 1000, 0.5, 0,
     {1.0711776904051054, -1.8623682337639347, 0.8671038595320503,
      0.9323680233239963, -1.8647360466479925, 0.9323680233239963}},
    {"LowPassNearTop", 88200, 8, 16000, 0.5, 0,
     {1.90882563553708, -0.4377246232204259, 0.04776463746373906,
      0.15251000356082828, 0.30502000712165656, 0.15251000356082828}},
    {"Peaking", 48000, 4, 2000, 1.4, 6,
     {1.0655015059395403, -1.813091433291466, 0.8770503737922318,
      1.061183564802051, -1.813091433291466, 0.815866808990181}},
    {"LowShelfCut", 44100, 3, 200, 0.707, -9,
     {1.2225907757990726, -1.9477924023936413, 0.9491205980127082,
      0.9894995323234911, -1.9482208694085918, 0.9591925986742666}},
    {"HighShelfBoost", 96000, 7, 8000, 0.9, 4.5,
     {2.6724815194523623, -1.2665653920102926, 0.5263824958640745,
      1.5439872600161118, -2.2144975163583114, 0.9303273601959812}},
    {"BandPass", 48000, 5, 3000, 2, 0,
     {1.0959547620108636, -1.68598114545558, 0.8248928416811561,
      0.08755357915942193, 0.0, -0.08755357915942193}},
    {"Notch", 48000, 6, 3000, 2, 0,
     {1.0959547620108636, -1.68598114545558, 0.8248928416811561,
      0.912446420840578, -1.68598114545558, 0.912446420840578}},
    {"AllPass", 48000, 10, 3000, 2, 0,
     {1.0956708580912724, -1.6864180071755182, 0.8253656973994233,
      0.8253656973994233, -1.6864180071755182, 1.0}},
};
// clang-format on

TEST(FilterDesign, MatchesPrecomputedCookbookValues) {
  for (const HandCase& hc : kHandCases) {
    SCOPED_TRACE(hc.name);
    const FilterCoefficients got = designFilter(hc.fs, hc.type, hc.freq, hc.q, hc.gain, 1);
    expectClose(got, hc.want, 1e-13);
  }
}

TEST(FilterDesign, MatchesCookbookAcrossTypesRatesAndFrequencies) {
  const int types[] = {1, 3, 4, 5, 6, 7, 8, 10};
  const double rates[] = {44100.0, 88200.0, 192000.0};
  const double freqFractions[] = {20.0 / 44100.0, 1000.0 / 44100.0, 0.3, 0.45, 0.499};
  const double qs[] = {0.5, 2.0};
  const double gains[] = {-12.0, 7.0};
  for (int type : types) {
    for (double fs : rates) {
      for (double fraction : freqFractions) {
        for (double q : qs) {
          for (double gain : gains) {
            const double f = fraction * fs;
            SCOPED_TRACE(testing::Message() << "type " << type << " fs " << fs << " f " << f
                                            << " q " << q << " gain " << gain);
            expectClose(designFilter(fs, type, f, q, gain, 1), cookbook(fs, type, f, q, gain),
                        1e-11);
          }
        }
      }
    }
  }
}

TEST(FilterDesign, OffUnusedAndUnknownTypesGiveTheIdentitySection) {
  for (int type : {0, 1, 3, 4, 5, 6, 7, 8, 10}) {
    EXPECT_TRUE(isIdentity(designFilter(48000, type, 1000, 1, 6, 0))) << "off, type " << type;
  }
  for (int type : {0, 2, 9, 11, 12, -1, INT_MIN, INT_MAX}) {
    EXPECT_TRUE(isIdentity(designFilter(48000, type, 1000, 1, 6, 1))) << "type " << type;
  }
  // Any non-zero status means on.
  EXPECT_FALSE(isIdentity(designFilter(48000, 1, 1000, 1, 0, -3)));
  EXPECT_TRUE(isIdentity(FilterCoefficients{}));
}

TEST(FilterDesign, QIsReducedNearHalfTheRate) {
  const double fs = 88200.0;
  const double f = 0.45 * fs;
  for (double q : {0.5, 1.0, 3.0}) {
    SCOPED_TRACE(q);
    // Low-pass: exponent 8, h = 0.50001.
    EXPECT_NEAR(recoveredQ(designFilter(fs, 8, f, q, 0, 1), fs, f) / q, 0.5696016585552851, 1e-9);
    EXPECT_NEAR(recoveredQ(designFilter(fs, 8, f, q, 0, 1), fs, f) / q, 0.5696, 5e-5);
    // Peaking at 0 dB: exponent 2.8, h = 0.5001.
    EXPECT_NEAR(recoveredQ(designFilter(fs, 4, f, q, 0, 1), fs, f) / q, 0.2558922191068662, 1e-9);
    EXPECT_NEAR(recoveredQ(designFilter(fs, 4, f, q, 0, 1), fs, f) / q, 0.2559, 5e-5);
    // The all-pass keeps its Q.
    EXPECT_NEAR(recoveredQ(designFilter(fs, 10, f, q, 0, 1), fs, f) / q, 1.0, 1e-9);
    // Far below half the rate nothing is taken off.
    for (int type : {1, 4, 5, 6, 8}) {
      EXPECT_NEAR(recoveredQ(designFilter(fs, type, 20.0, q, 0, 1), fs, 20.0) / q, 1.0, 1e-9)
          << "type " << type;
    }
  }
}

TEST(FilterMagnitude, MatchesClosedFormPointsOfEachResponse) {
  const double fs = 48000.0;
  const double nyquist = fs / 2.0;
  for (double gain : {-12.0, -3.0, 0.0, 6.0, 15.0}) {
    SCOPED_TRACE(gain);
    const double a2 = std::pow(10.0, gain / 20.0);  // A squared
    // A peak reaches its full gain at its centre, whatever its Q.
    for (double q : {0.3, 1.0, 8.0}) {
      EXPECT_NEAR(filterMagnitude(designFilter(fs, 4, 2000, q, gain, 1), fs, 2000), a2, 1e-9 * a2);
    }
    // Shelves: full gain at one end, unity at the other.
    const FilterCoefficients low = designFilter(fs, 3, 300, 0.7, gain, 1);
    EXPECT_NEAR(filterMagnitude(low, fs, 0.0), a2, 1e-9 * a2);
    EXPECT_NEAR(filterMagnitude(low, fs, nyquist), 1.0, 1e-9);
    const FilterCoefficients high = designFilter(fs, 7, 6000, 0.7, gain, 1);
    EXPECT_NEAR(filterMagnitude(high, fs, 0.0), 1.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(high, fs, nyquist), a2, 1e-9 * a2);
  }
  for (double f : {100.0, 3000.0, 15000.0}) {
    SCOPED_TRACE(f);
    // Low- and high-pass: unity in the pass band, the (reduced) Q at the corner.
    const FilterCoefficients lp = designFilter(fs, 8, f, 0.9, 0, 1);
    EXPECT_NEAR(filterMagnitude(lp, fs, 0.0), 1.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(lp, fs, nyquist), 0.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(lp, fs, f), expectedReducedQ(fs, 8, f, 0.9), 1e-9);
    const FilterCoefficients hp = designFilter(fs, 1, f, 0.9, 0, 1);
    EXPECT_NEAR(filterMagnitude(hp, fs, nyquist), 1.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(hp, fs, 0.0), 0.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(hp, fs, f), expectedReducedQ(fs, 1, f, 0.9), 1e-9);
    // Band-pass: unity at the centre; notch: nothing there; all-pass: unity everywhere.
    EXPECT_NEAR(filterMagnitude(designFilter(fs, 5, f, 2, 0, 1), fs, f), 1.0, 1e-9);
    EXPECT_NEAR(filterMagnitude(designFilter(fs, 6, f, 2, 0, 1), fs, f), 0.0, 1e-9);
    for (double probe : {10.0, 1000.0, f, 20000.0}) {
      EXPECT_NEAR(filterMagnitude(designFilter(fs, 10, f, 2, 0, 1), fs, probe), 1.0, 1e-12);
    }
  }
  EXPECT_EQ(filterMagnitude(FilterCoefficients{}, fs, 1234.0), 1.0);
}

TEST(FilterRoots, SolvesHandWorkedQuadratics) {
  // Real zeros: 2 z^2 - 6 z + 4 = 2 (z - 1)(z - 2). Real poles: z^2 - 1.5 z + 0.5 =
  // (z - 0.5)(z - 1).
  FilterCoefficients c;
  c.b0 = 2, c.b1 = -6, c.b2 = 4, c.a1 = -1.5, c.a2 = 0.5;
  FilterRoots r = filterRootsOf(c);
  EXPECT_EQ(r.k, 2.0);
  EXPECT_EQ(r.z1re, 1.0);
  EXPECT_EQ(r.z2re, 2.0);
  EXPECT_EQ(r.z1im, 0.0);
  EXPECT_EQ(r.z2im, 0.0);
  EXPECT_EQ(r.p1re, 0.5);
  EXPECT_EQ(r.p2re, 1.0);
  EXPECT_EQ(r.p1im, 0.0);
  EXPECT_EQ(r.p2im, 0.0);

  // Complex zeros at +-j; the first one's imaginary part has the sign opposite to b0. Complex
  // poles at +-0.5j, the first one below the axis.
  c = FilterCoefficients{};
  c.b0 = 1, c.b1 = 0, c.b2 = 1, c.a1 = 0, c.a2 = 0.25;
  r = filterRootsOf(c);
  EXPECT_EQ(r.z1re, 0.0);
  EXPECT_EQ(r.z2re, 0.0);
  EXPECT_EQ(r.z1im, -1.0);
  EXPECT_EQ(r.z2im, 1.0);
  EXPECT_EQ(r.p1re, 0.0);
  EXPECT_EQ(r.p2re, 0.0);
  EXPECT_EQ(r.p1im, -0.5);
  EXPECT_EQ(r.p2im, 0.5);
  c.b0 = -1, c.b2 = -1;
  r = filterRootsOf(c);
  EXPECT_EQ(r.z1im, 1.0);
  EXPECT_EQ(r.z2im, -1.0);
  EXPECT_EQ(r.k, -1.0);

  // The identity section: everything at the origin, k = 1.
  r = filterRootsOf(FilterCoefficients{});
  EXPECT_EQ(r.k, 1.0);
  for (double v : {r.z1re, r.z1im, r.z2re, r.z2im, r.p1re, r.p1im, r.p2re, r.p2im}) {
    EXPECT_EQ(v, 0.0);
  }
}

TEST(FilterRoots, RebuildEveryDesignAndKeepPairsConjugate) {
  for (int type : {1, 3, 4, 5, 6, 7, 8, 10}) {
    for (double f : {30.0, 2500.0, 40000.0}) {
      SCOPED_TRACE(testing::Message() << "type " << type << " f " << f);
      const FilterCoefficients c = designFilter(88200, type, f, 0.8, 5, 1);
      const FilterRoots r = filterRootsOf(c);
      EXPECT_EQ(r.k, c.b0);
      EXPECT_EQ(r.z1im, -r.z2im);
      EXPECT_EQ(r.p1im, -r.p2im);
      if (r.z1im != 0.0) {
        EXPECT_EQ(r.z1re, r.z2re);
      }
      if (r.p1im != 0.0) {
        EXPECT_EQ(r.p1re, r.p2re);
      }
      const FilterCoefficients back = filterCoefficientsOf(r);
      EXPECT_EQ(back.a0, 1.0);
      EXPECT_NEAR(back.a1, c.a1, 1e-12);
      EXPECT_NEAR(back.a2, c.a2, 1e-12);
      EXPECT_NEAR(back.b0, c.b0, 1e-12);
      EXPECT_NEAR(back.b1, c.b1, 1e-12 * std::max(1.0, std::fabs(c.b1)));
      EXPECT_NEAR(back.b2, c.b2, 1e-12 * std::max(1.0, std::fabs(c.b2)));
    }
  }
}

}  // namespace
