// The fast path's own stages and the signal path driven directly, against the reference: the
// saturator at every window length the rings allow, the up-sampler in both of its modes, and
// sub-blocks whose sections pass samples through, as before any band is tuned.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "effect/SignalPathComparison.h"
#include "effect/signal/SignalPath.h"

using namespace tavola;
using namespace tavola::test;

namespace {

class FastStagesTest : public WithFastInstructionSet {};

// Mostly audio-like values; now and then a value far above full scale, an exact zero, a
// negative zero, and for the stages alone an infinity or a NaN, which the saturator's envelope
// must skip exactly as the reference does.
double sampleValue(std::mt19937& random, bool nonFinite) {
  const unsigned kind = random() % 64;
  if (nonFinite && kind == 0) return std::numeric_limits<double>::infinity();
  if (nonFinite && kind == 1) return std::numeric_limits<double>::quiet_NaN();
  if (kind == 2) return 0.0;
  if (kind == 3) return -0.0;
  if (kind < 8) return std::uniform_real_distribution<double>(-8.0, 8.0)(random);
  return std::uniform_real_distribution<double>(-1.0, 1.0)(random);
}

void expectSameBits(double expected, double actual, const char* what, int at) {
  ASSERT_EQ(bitsOf(expected), bitsOf(actual)) << what << " at " << at;
}

}  // namespace

// Rates for N = 1, 15, 29, 65, 129, the longest window batched per sub-block (992), the first
// that is not (993), and the longest the rings hold (1023).
TEST_P(FastStagesTest, SaturatorMatchesTheReferenceAtEveryWindowLength) {
  std::mt19937 random(5);
  for (double rate : {1.0, 22050.0, 44100.0, 96000.0, 192000.0, 1488000.0, 1489500.0, 1534500.0}) {
    Saturator reference;
    reference.prepare(rate);
    FastSaturator fast;
    fast.setInstructionSet(GetParam());
    fast.prepare(reference);
    ASSERT_EQ(fast.windowLength(), reference.windowLength()) << rate;
    // Enough sub-blocks to wrap the rings more than once at the shortest windows.
    const int rounds = reference.windowLength() > 500 ? 90 : 100;
    for (int round = 0; round < rounds; ++round) {
      const int n = 1 + static_cast<int>(random() % kFastMaxSamples);
      const int channels = static_cast<int>(random() % 3);
      const bool saturate = random() % 4 != 0;
      std::vector<double> in[2] = {std::vector<double>(n), std::vector<double>(n)};
      std::vector<Lanes> frames(n);
      // Every third sub-block is sparse: a rare loud sample in silence, so that an envelope's
      // maximum often comes from the far end of its window, whose ring positions the later
      // samples of a sub-block overwrite when the window is nearly as long as the ring.
      const bool sparse = round % 3 == 0;
      for (int i = 0; i < n; ++i) {
        for (int c = 0; c < 2; ++c)
          in[c][i] = sparse ? (random() % 97 == 0 ? 4.0 : 0.0) : sampleValue(random, true);
        frames[i] = Lanes{in[0][i], in[1][i]};
      }
      std::vector<double> expected[2] = {std::vector<double>(n), std::vector<double>(n)};
      std::vector<double> actual[2] = {std::vector<double>(n), std::vector<double>(n)};
      const double* inputs[2] = {in[0].data(), in[1].data()};
      double* expectedOut[2] = {expected[0].data(), expected[1].data()};
      double* actualOut[2] = {actual[0].data(), actual[1].data()};
      reference.process(inputs, expectedOut, channels, n, saturate);
      fast.process(frames.data(), actualOut, channels, n, saturate);
      for (int c = 0; c < channels; ++c)
        for (int i = 0; i < n; ++i) {
          expectSameBits(expected[c][i], actual[c][i], "saturator", i);
          ASSERT_FALSE(HasFatalFailure()) << "rate " << rate << " round " << round;
        }
      ASSERT_EQ(fast.position(), reference.position()) << rate;
    }
  }
}

// With a window nearly as long as the ring, a sample's window reaches back to ring positions
// that the later samples of its own sub-block overwrite: the envelope must still see what was
// there before. One huge sample in a steady signal makes the far end of those windows decide
// the envelope when the huge sample's position comes round again.
TEST_P(FastStagesTest, SaturatorWindowReachingRoundTheRingSeesTheOldMagnitudes) {
  for (double rate : {1489500.0, 1534500.0}) {
    Saturator reference;
    reference.prepare(rate);
    FastSaturator fast;
    fast.setInstructionSet(GetParam());
    fast.prepare(reference);
    for (int block = 0; block < 100; ++block) {
      constexpr int n = kFastMaxSamples;
      double in[n];
      Lanes frames[n];
      for (int i = 0; i < n; ++i) {
        in[i] = block == 3 && i == 5 ? 1e6 : 0.1;
        frames[i] = Lanes{in[i], in[i]};
      }
      double expected[n];
      double actual[n];
      const double* inputs[1] = {in};
      double* expectedOut[1] = {expected};
      double* actualOut[1] = {actual};
      reference.process(inputs, expectedOut, 1, n, true);
      fast.process(frames, actualOut, 1, n, true);
      for (int i = 0; i < n; ++i) {
        expectSameBits(expected[i], actual[i], "saturator", i);
        ASSERT_FALSE(HasFatalFailure()) << "rate " << rate << " block " << block;
      }
    }
  }
}

TEST_P(FastStagesTest, UpSamplerMatchesTheReferenceInBothModes) {
  double taps[kUpsamplerTableSize];
  computeUpsamplerTaps(taps);
  UpSampler reference[2] = {UpSampler(taps), UpSampler(taps)};
  FastUpSampler fast;
  fast.setInstructionSet(GetParam());
  fast.setTaps(taps);
  fast.clear();
  std::mt19937 random(6);
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(random() % kFastMaxSamples);
    const int channels = 1 + static_cast<int>(random() % 2);
    const bool upsample = random() % 5 != 0;
    std::vector<double> in[2] = {std::vector<double>(n), std::vector<double>(n)};
    for (int c = 0; c < 2; ++c)
      for (double& x : in[c]) x = sampleValue(random, false);
    const int m = upsample ? 2 * n : n;
    std::vector<double> expected[2] = {std::vector<double>(m), std::vector<double>(m)};
    for (int c = 0; c < channels; ++c) {
      if (upsample) {
        reference[c].upsample(in[c].data(), n, expected[c].data());
      } else {
        expected[c] = in[c];
        reference[c].delay(expected[c].data(), n);
      }
    }
    std::vector<Lanes> actual(m);
    const double* inputs[2] = {in[0].data(), in[1].data()};
    if (upsample)
      fast.upsample(inputs, channels, n, actual.data());
    else
      fast.delay(inputs, channels, n, actual.data());
    for (int t = 0; t < m; ++t) {
      // With one channel, both lanes carry it.
      expectSameBits(expected[0][t], actual[t][0], "first channel", t);
      expectSameBits(expected[channels - 1][t], actual[t][1], "second lane", t);
      ASSERT_FALSE(HasFatalFailure()) << "round " << round << " channels " << channels;
    }
  }
}

// Sections that have never been tuned are off and pass samples through; the kernel leaves
// that to the reference's steps, on the fast path's own up-sampler and saturator. Then the
// low-cut alone is tuned (EQ off needs only it), then every band, then the bands glide.
TEST_P(FastStagesTest, SignalPathMatchesTheReferenceFromUntunedToGliding) {
  for (double rate : {44100.0, 96000.0}) {
    SignalPath reference;
    SignalPath fast;
    reference.setKind(SignalPathKind::kReference);
    fast.setKind(SignalPathKind::kFast);
    for (SignalPath* path : {&reference, &fast}) {
      path->initUpsamplerTaps();
      path->chooseRate(rate);
      path->prepare(rate);
    }
    std::mt19937 random(7);
    BandSettings bands;
    for (int stage = 0; stage < 4; ++stage) {
      if (stage == 1)
        for (SignalPath* path : {&reference, &fast}) path->updateLowCut(bands);
      if (stage == 2)
        for (SignalPath* path : {&reference, &fast}) path->updateAllBands(bands);
      if (stage == 3)
        for (SignalPath* path : {&reference, &fast}) path->leaveImmediateMode();
      for (int round = 0; round < 150; ++round) {
        if (stage == 3 && round % 10 == 0) {
          bands.mfFreq = std::uniform_real_distribution<double>(100.0, 8000.0)(random);
          bands.hpfFreq = std::uniform_real_distribution<double>(5.0, 200.0)(random);
          for (SignalPath* path : {&reference, &fast}) path->updateAllBands(bands);
        }
        SubBlockSettings s;
        s.eqOn = random() % 3 != 0;
        s.satOn = random() % 2 != 0;
        s.outGain = std::uniform_real_distribution<double>(0.2, 4.0)(random);
        s.lfGain = std::uniform_real_distribution<double>(0.25, 4.0)(random);
        s.mfGain = std::uniform_real_distribution<double>(0.25, 4.0)(random);
        s.hfGain = std::uniform_real_distribution<double>(0.25, 4.0)(random);
        s.lfOn = random() % 2;
        s.mfOn = random() % 2;
        s.hfOn = random() % 2;
        const int n = 1 + static_cast<int>(random() % SignalPath::kSubBlock);
        // Now and then no channel at all: only the gain and the saturator's position move.
        const int channels = random() % 16 == 0 ? 0 : 1 + static_cast<int>(random() % 2);
        double in[2][SignalPath::kSubBlock];
        for (auto& row : in)
          for (double& x : row) x = sampleValue(random, false);
        double expected[2][SignalPath::kSubBlock] = {};
        double actual[2][SignalPath::kSubBlock] = {};
        const double* inputs[2] = {in[0], in[1]};
        double* expectedOut[2] = {expected[0], expected[1]};
        double* actualOut[2] = {actual[0], actual[1]};
        reference.processSubBlock(inputs, expectedOut, channels, n, s);
        fast.processSubBlock(inputs, actualOut, channels, n, s);
        for (int c = 0; c < channels; ++c)
          for (int i = 0; i < n; ++i) {
            expectSameBits(expected[c][i], actual[c][i], "output", i);
            ASSERT_FALSE(HasFatalFailure()) << "rate " << rate << " stage " << stage;
          }
      }
      EXPECT_EQ(bitsOf(reference.outGainSmoothed()), bitsOf(fast.outGainSmoothed()));
      for (int i = 0; i < SignalPath::kNumSections; ++i)
        expectSameSection(reference.section(i), fast.section(i), i);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, FastStagesTest,
                         testing::ValuesIn(testedInstructionSets()), instructionSetName);
