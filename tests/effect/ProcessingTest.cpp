// The effect's processing entries: block cutting, routing to the outputs, recovery from
// samples that are not finite, the peak level.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "effect/TestHost.h"

using namespace tavola;
using tavola::test::quietly;

namespace {

// A host whose pin-connection answers come from a table (0 = connected).
struct PinHost {
  static inline bool secondInputConnected = true;
  static inline bool secondOutputConnected = true;
  static VstIntPtr callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                            float) {
    if (opcode == audioMasterVersion) return kVstVersion;
    if (opcode == audioMasterPinConnected && index == 1)
      return (value ? secondOutputConnected : secondInputConnected) ? 0 : 1;
    return 0;
  }
};

std::vector<double> noise(int length, unsigned seed, double level = 0.5) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> uniform(-level, level);
  std::vector<double> v(length);
  for (double& x : v) x = uniform(random);
  return v;
}

// A lively setting: every band on and away from 0 dB, saturation on.
void setLively(Tavola& effect) {
  quietly([&] {
    effect.setPresetNo(4);
    effect.setParameter(kSat, 1.0f);
    effect.setParameter(kOutput, 0.7f);
  });
}

struct Stereo {
  std::vector<double> left, right;
};

Stereo process(Tavola& effect, const Stereo& in, const std::vector<int>& blocks) {
  Stereo out{std::vector<double>(in.left.size()), std::vector<double>(in.left.size())};
  size_t start = 0;
  for (size_t b = 0; start < in.left.size(); ++b) {
    const int n =
        static_cast<int>(std::min<size_t>(blocks[b % blocks.size()], in.left.size() - start));
    double* inputs[2] = {const_cast<double*>(in.left.data()) + start,
                         const_cast<double*>(in.right.data()) + start};
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    effect.processDoubleReplacing(inputs, outputs, n);
    start += n;
  }
  return out;
}

// Suspended after the settings, so that the output gain starts steady as after any resume
// that follows a suspend.
std::unique_ptr<Tavola> resumed(float rate = 44100.0f) {
  auto effect = test::makeEffect();
  setLively(*effect);
  effect->setSampleRate(rate);
  effect->suspend();
  effect->resume();
  return effect;
}

}  // namespace

TEST(Processing, BlockLengthsDoNotChangeTheResult) {
  const Stereo in{noise(4000, 1), noise(4000, 2)};
  auto whole = resumed();
  const Stereo reference = process(*whole, in, {17});
  for (const std::vector<int>& blocks :
       std::vector<std::vector<int>>{{16, 1}, {1}, {3, 5, 7}, {512}, {31, 64, 2}}) {
    auto effect = resumed();
    const Stereo out = process(*effect, in, blocks);
    EXPECT_EQ(out.left, reference.left) << blocks.size() << " " << blocks[0];
    EXPECT_EQ(out.right, reference.right) << blocks.size() << " " << blocks[0];
  }
}

TEST(Processing, FloatAndDoubleEntriesAgreeOnFloatInput) {
  const int n = 3000;
  std::vector<float> left(n), right(n);
  const std::vector<double> a = noise(n, 3), b = noise(n, 4);
  for (int i = 0; i < n; ++i) {
    left[i] = static_cast<float>(a[i]);
    right[i] = static_cast<float>(b[i]);
  }
  auto floats = resumed();
  auto doubles = resumed();
  std::vector<float> outLeft(n), outRight(n);
  float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  floats->processReplacing(in, out, n);
  const Stereo wide = process(*doubles,
                              {std::vector<double>(left.begin(), left.end()),
                               std::vector<double>(right.begin(), right.end())},
                              {n});
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(outLeft[i], static_cast<float>(wide.left[i])) << i;
    ASSERT_EQ(outRight[i], static_cast<float>(wide.right[i])) << i;
  }
}

TEST(Processing, InPlaceBuffersGiveTheSameResult) {
  const Stereo in{noise(2000, 5), noise(2000, 6)};
  auto separate = resumed();
  const Stereo expected = process(*separate, in, {100});
  auto inPlace = resumed();
  Stereo buffers = in;
  for (int start = 0; start < 2000; start += 100) {
    double* io[2] = {buffers.left.data() + start, buffers.right.data() + start};
    inPlace->processDoubleReplacing(io, io, 100);
  }
  EXPECT_EQ(buffers.left, expected.left);
  EXPECT_EQ(buffers.right, expected.right);
}

TEST(Processing, RoutingForEveryArrangementAndPinCombination) {
  const int n = 256;
  const std::vector<double> a = noise(n, 7), b = noise(n, 8);
  constexpr double kUntouched = 12345.0;
  for (int inputs : {1, 2}) {
    for (int outputs : {1, 2}) {
      for (bool secondIn : {false, true}) {
        for (bool secondOut : {false, true}) {
          PinHost::secondInputConnected = secondIn;
          PinHost::secondOutputConnected = secondOut;
          Tavola effect(PinHost::callback);
          setLively(effect);
          VstSpeakerArrangement in{}, out{};
          in.numChannels = inputs;
          out.numChannels = outputs;
          effect.setSpeakerArrangement(&in, &out);
          effect.resume();

          // The same setting processed as plain stereo and as mono, for the expected values.
          PinHost::secondInputConnected = PinHost::secondOutputConnected = true;
          Tavola stereoRef(PinHost::callback), monoRef(PinHost::callback);
          setLively(stereoRef);
          setLively(monoRef);
          stereoRef.resume();
          monoRef.resume();
          std::vector<double> sl(n), sr(n), ml(n), mr(n);
          double* sIn[2] = {const_cast<double*>(a.data()), const_cast<double*>(b.data())};
          double* sOut[2] = {sl.data(), sr.data()};
          stereoRef.processDoubleReplacing(sIn, sOut, n);
          double* mIn[2] = {const_cast<double*>(a.data()), const_cast<double*>(a.data())};
          double* mOut[2] = {ml.data(), mr.data()};
          monoRef.processLoopFastDoubleMono(mIn, mOut, n);
          PinHost::secondInputConnected = secondIn;
          PinHost::secondOutputConnected = secondOut;

          std::vector<double> first(n, kUntouched), second(n, kUntouched);
          double* pIn[2] = {const_cast<double*>(a.data()), const_cast<double*>(b.data())};
          double* pOut[2] = {first.data(), second.data()};
          effect.processDoubleReplacing(pIn, pOut, n);

          const bool stereoLoop = secondIn && effect.isStereoIn();
          const bool routeSecond = secondOut && effect.isStereoOut();
          const std::string what = std::to_string(inputs) + "/" + std::to_string(outputs) +
                                   " in2 " + std::to_string(secondIn) + " out2 " +
                                   std::to_string(secondOut);
          EXPECT_EQ(first, stereoLoop ? sl : ml) << what;
          if (routeSecond)
            EXPECT_EQ(second, stereoLoop ? sr : ml) << what;
          else
            EXPECT_EQ(second, std::vector<double>(n, kUntouched)) << what;
        }
      }
    }
  }
  PinHost::secondInputConnected = PinHost::secondOutputConnected = true;
}

TEST(Processing, PeakLevelOverBothChannelsCappedAtFour) {
  auto effect = test::makeEffect();
  quietly([&] {
    effect->setParameter(kOutput, 1.0f);  // +16, a factor of about 6.35
    effect->setParameter(kSat, 0.0f);
  });
  effect->resume();
  const int n = 4096;
  Stereo in{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
  for (int i = 0; i < n; ++i) in.right[i] = 0.9 * std::sin(i * 0.05);
  process(*effect, in, {n});
  EXPECT_DOUBLE_EQ(effect->peakLevel(), 4.0);

  quietly([&] { effect->setParameter(kOutput, 0.5f); });
  effect->suspend();
  EXPECT_EQ(effect->peakLevel(), 0.0);
  effect->resume();
  for (int i = 0; i < n; ++i) in.right[i] = 0.25 * std::sin(i * 0.05);
  const Stereo out = process(*effect, in, {n});
  double expected = 0.0;
  for (int i = 0; i < n; ++i) expected = std::max(expected, std::fabs(out.right[i]));
  EXPECT_DOUBLE_EQ(effect->peakLevel(), expected);
  EXPECT_NEAR(expected, 0.25, 0.015);  // the high-pass rings a little at the onset

  double* inputs[2] = {in.left.data(), in.right.data()};
  effect->processDoubleReplacing(inputs, inputs, 0);
  EXPECT_EQ(effect->peakLevel(), 0.0);
}

TEST(Processing, SaturationKeepsTheOutputBelowFullScale) {
  auto effect = resumed();
  quietly([&] { effect->setParameter(kOutput, 1.0f); });
  const Stereo in{noise(8000, 9, 1.0), noise(8000, 10, 1.0)};
  const Stereo out = process(*effect, in, {512});
  for (int i = 0; i < 8000; ++i) {
    ASSERT_LE(std::fabs(out.left[i]), 0.993807 + 1e-12);
    ASSERT_LE(std::fabs(out.right[i]), 0.993807 + 1e-12);
  }
}

TEST(Processing, EqOffIgnoresBandGainsAndSwitches) {
  const Stereo in{noise(3000, 11), noise(3000, 12)};
  std::vector<double> first;
  for (float gain : {0.0f, 0.3f, 1.0f}) {
    for (float on : {0.0f, 1.0f}) {
      auto effect = test::makeEffect();
      quietly([&] {
        effect->setParameter(kEqAll, 0.0f);
        for (int index : {kLfGain, kMfGain, kHfGain}) effect->setParameter(index, gain);
        for (int index : {kLf, kMf, kHf}) effect->setParameter(index, on);
      });
      effect->resume();
      const Stereo out = process(*effect, in, {256});
      if (first.empty())
        first = out.left;
      else
        EXPECT_EQ(out.left, first);
    }
  }
}

TEST(Processing, NonFiniteInputRecoversToAFreshlyResumedSound) {
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(),
                        -std::numeric_limits<double>::infinity()};
  const Stereo signal{noise(6000, 13), noise(6000, 14)};
  auto fresh = resumed();
  const Stereo expected = process(*fresh, signal, {333});
  for (double value : bad) {
    for (int at : {0, 5, 15, 16, 100, 511}) {
      auto effect = resumed();
      // Some music first, then a block with a bad sample, then the signal.
      process(*effect, {noise(1000, 15), noise(1000, 16)}, {256});
      Stereo hit{noise(at + 1, 17), noise(at + 1, 18)};
      hit.right[at] = value;
      const Stereo out = process(*effect, hit, {512});
      for (int i = 0; i <= at; ++i)
        ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i]));
      const Stereo after = process(*effect, signal, {333});
      EXPECT_EQ(after.left, expected.left) << value << " at " << at;
      EXPECT_EQ(after.right, expected.right) << value << " at " << at;
    }
  }
}

TEST(Processing, NonFiniteFloatInputInTheMiddleOfABlock) {
  auto effect = resumed();
  const int n = 2048;
  std::vector<float> left(n, 0.1f), right(n, -0.1f), outLeft(n), outRight(n);
  left[700] = std::numeric_limits<float>::quiet_NaN();
  float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  for (int round = 0; round < 3; ++round) {
    effect->processReplacing(in, out, n);
    for (int i = 0; i < n; ++i)
      ASSERT_TRUE(std::isfinite(outLeft[i]) && std::isfinite(outRight[i]));
    left[700] = 0.1f;
  }
  EXPECT_TRUE(std::isfinite(effect->peakLevel()));
}

TEST(Processing, HugeFiniteGainDoesNotLeaveTheSectionsBroken) {
  auto effect = resumed();
  const Stereo loud{std::vector<double>(512, 1e300), std::vector<double>(512, -1e300)};
  quietly([&] { effect->setParameter(kOutput, 60.0f); });
  const Stereo out = process(*effect, loud, {512});
  for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(out.left[i]));
  quietly([&] { effect->setParameter(kOutput, 0.5f); });
  const Stereo later = process(*effect, {noise(20000, 19), noise(20000, 20)}, {512});
  for (int i = 0; i < 20000; ++i) ASSERT_TRUE(std::isfinite(later.left[i]));
}

TEST(Processing, RatesBeyondTheSaturatorRingsKeepTheLongestWindow) {
  for (float rate : {1534500.0f, 1536000.0f, 3000000.0f}) {
    auto effect = resumed(rate);
    EXPECT_EQ(effect->getAeffect()->initialDelay, 33 + 1023 / 2) << rate;
    const Stereo out = process(*effect, {noise(5000, 21), noise(5000, 22)}, {512});
    for (int i = 0; i < 5000; ++i)
      ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << rate;
  }
}
