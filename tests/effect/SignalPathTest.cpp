// The signal path driven through the effect's processing entries.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "effect/TestHost.h"

using namespace tavola;
using tavola::test::quietly;

namespace {

// Every band off, saturation off, output 0 dB, high-pass off: only the up-sampler, the
// delays and the 2.13 Hz low-cut remain.
std::unique_ptr<Tavola> neutralEffect(float rate) {
  auto effect = test::makeEffect();
  quietly([&] {
    for (int index : {kLf, kMf, kHf, kHpf, kSat}) effect->setParameter(index, 0.0f);
    effect->setParameter(kOutput, 0.5f);
  });
  effect->setSampleRate(rate);
  effect->resume();
  return effect;
}

std::vector<double> processDouble(Tavola& effect, const std::vector<double>& left,
                                  const std::vector<double>& right, int block) {
  std::vector<double> outLeft(left.size()), outRight(left.size());
  for (size_t start = 0; start < left.size(); start += block) {
    const int n = static_cast<int>(std::min<size_t>(block, left.size() - start));
    double* in[2] = {const_cast<double*>(left.data()) + start,
                     const_cast<double*>(right.data()) + start};
    double* out[2] = {outLeft.data() + start, outRight.data() + start};
    effect.processDoubleReplacing(in, out, n);
  }
  return outLeft;
}

}  // namespace

TEST(SignalPath, ImpulseThroughNeutralChainComesOutAfterTheLatency) {
  for (auto [rate, latency] : {std::pair{44100.0f, 47}, {48000.0f, 49}, {96000.0f, 65}}) {
    auto effect = neutralEffect(rate);
    std::vector<double> impulse(512, 0.0);
    impulse[0] = 1.0;
    const std::vector<double> out = processDouble(*effect, impulse, impulse, 64);
    int peakAt = 0;
    for (int i = 0; i < 512; ++i)
      if (std::fabs(out[i]) > std::fabs(out[peakAt])) peakAt = i;
    EXPECT_EQ(peakAt, latency) << rate;
    // Before it only the interpolator's tails, leaked into the kept samples by the low-cut.
    for (int i = 0; i < latency; ++i) EXPECT_LT(std::fabs(out[i]), 1e-4) << rate << " at " << i;
    // Apart from the low-cut's tiny effect, the sample is the up-sampler's centre tap.
    EXPECT_NEAR(out[latency], effect->signalPath().upsamplerTaps()[63], 5e-4) << rate;
  }
}
