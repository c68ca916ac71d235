// The fast signal path against the reference, bit for bit: two effects, one on each path, get
// the same input and the same automation, and every output sample, every guard sample around
// the buffers and, at the end, the whole state of the two signal paths must agree.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "effect/SignalPathComparison.h"
#include "effect/TestHost.h"

using namespace tavola;
using namespace tavola::test;

namespace {

constexpr int kControls[] = {kEqAll,  kOutput, kSat,    kHpf,    kHpfFreq, kLf,     kLfFreq,
                             kLfGain, kMf,     kMfFreq, kMfGain, kHf,      kHfFreq, kHfGain};
constexpr int kFrequencyControls[] = {kHpfFreq, kLfFreq, kMfFreq, kHfFreq};
// Every path through the rate choice: oversampled below 65 kHz, plain delay from there on.
constexpr float kRates[] = {22050.0f, 44100.0f, 48000.0f, 64999.0f,
                            65000.0f, 88200.0f, 96000.0f, 192000.0f};
constexpr int kBlockSizes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                               11, 12, 13, 14, 15, 16, 17, 31, 64, 511};
constexpr int kLongBlock = 4096;
constexpr int kGuard = 5;
constexpr double kGuardValue = -12345.678;

class FastSignalPathTest : public WithFastInstructionSet {};

enum class Loop { kFloatStereo, kDoubleStereo, kFloatMono, kDoubleMono };

struct EffectPair {
  std::unique_ptr<Tavola> reference = test::makeEffect();
  std::unique_ptr<Tavola> fast = test::makeEffect();

  explicit EffectPair(float rate) {
    reference->setSignalPathKind(SignalPathKind::kReference);
    fast->setSignalPathKind(SignalPathKind::kFast);
    for (Tavola* e : {reference.get(), fast.get()}) {
      e->setSampleRate(rate);
      e->resume();
    }
  }

  void set(int index, float value) {
    quietly([&] {
      reference->setParameter(index, value);
      fast->setParameter(index, value);
    });
  }
};

// Input of one block: silence, full-scale noise, sines, impulses, or something too loud.
class SignalMaker {
 public:
  explicit SignalMaker(unsigned seed) : random_(seed) {}

  std::vector<double> make(int n) {
    std::vector<double> v(n, 0.0);
    const double level = pick(0.0, 1.0);
    switch (random_() % 6) {
      case 0:  // silence
        break;
      case 1:
        for (double& x : v) x = pick(-1.0, 1.0);
        break;
      case 2: {
        const double step = pick(0.0, 3.1);
        const double phase = pick(0.0, 6.3);
        for (int i = 0; i < n; ++i) v[i] = level * std::sin(phase + step * i);
        break;
      }
      case 3:
        for (double& x : v)
          if (random_() % 23 == 0) x = random_() % 2 ? 1.0 : -1.0;
        break;
      case 4:  // well beyond full scale, for the saturator's upper branch
        for (double& x : v) x = pick(-8.0, 8.0);
        break;
      default:
        for (double& x : v) x = level * pick(-1.0, 1.0) + 0.25;
        break;
    }
    return v;
  }

  std::mt19937& random() { return random_; }
  double pick(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random_);
  }

 private:
  std::mt19937 random_;
};

template <typename Sample>
struct Buffers {
  std::vector<Sample> in[2];
  std::vector<Sample> out[2];
  Sample* inputs[2];
  Sample* outputs[2];

  Buffers(const std::vector<double>& left, const std::vector<double>& right) {
    const std::vector<double>* source[2] = {&left, &right};
    for (int c = 0; c < 2; ++c) {
      const int n = static_cast<int>(source[c]->size());
      in[c].assign(n + 2 * kGuard, static_cast<Sample>(kGuardValue));
      out[c].assign(n + 2 * kGuard, static_cast<Sample>(kGuardValue));
      for (int i = 0; i < n; ++i) in[c][kGuard + i] = static_cast<Sample>((*source[c])[i]);
      inputs[c] = in[c].data() + kGuard;
      outputs[c] = out[c].data() + kGuard;
    }
  }
};

template <typename Sample>
void runLoop(Tavola& effect, Loop loop, Buffers<Sample>& b, int n) {
  if constexpr (std::is_same_v<Sample, float>) {
    if (loop == Loop::kFloatStereo)
      effect.processLoopFast(b.inputs, b.outputs, n);
    else
      effect.processLoopFastMono(b.inputs, b.outputs, n);
  } else {
    if (loop == Loop::kDoubleStereo)
      effect.processLoopFastDouble(b.inputs, b.outputs, n);
    else
      effect.processLoopFastDoubleMono(b.inputs, b.outputs, n);
  }
}

// One block through both effects; every sample of both output buffers, guards included, must
// have the same bits, and the guards must be untouched.
template <typename Sample>
void compareBlock(EffectPair& pair, Loop loop, const std::vector<double>& left,
                  const std::vector<double>& right, const char* what) {
  const int n = static_cast<int>(left.size());
  Buffers<Sample> ref(left, right);
  Buffers<Sample> fast(left, right);
  runLoop(*pair.reference, loop, ref, n);
  runLoop(*pair.fast, loop, fast, n);
  for (int c = 0; c < 2; ++c) {
    ASSERT_EQ(
        std::memcmp(ref.out[c].data(), fast.out[c].data(), sizeof(Sample) * ref.out[c].size()), 0)
        << what << ": channel " << c << " of a block of " << n;
    for (int g = 0; g < kGuard; ++g) {
      ASSERT_EQ(fast.out[c][g], static_cast<Sample>(kGuardValue)) << what;
      ASSERT_EQ(fast.out[c][kGuard + n + g], static_cast<Sample>(kGuardValue)) << what;
    }
  }
  ASSERT_EQ(bitsOf(pair.reference->peakLevel()), bitsOf(pair.fast->peakLevel())) << what;
}

void compareBlock(EffectPair& pair, Loop loop, const std::vector<double>& left,
                  const std::vector<double>& right, const char* what) {
  if (loop == Loop::kFloatStereo || loop == Loop::kFloatMono)
    compareBlock<float>(pair, loop, left, right, what);
  else
    compareBlock<double>(pair, loop, left, right, what);
}

// The filter sections and the output gain compared directly; the delay lines (which each path
// keeps in its own form) by their write position and by what they still have to say: a further
// stretch of loud signal with saturation on, then off, reads every live history and ring entry.
void expectSameState(EffectPair& pair, SignalMaker& signals) {
  const SignalPath& ref = pair.reference->signalPath();
  const SignalPath& fast = pair.fast->signalPath();
  EXPECT_EQ(bitsOf(ref.outGainSmoothed()), bitsOf(fast.outGainSmoothed()));
  for (int i = 0; i < SignalPath::kNumSections; ++i)
    expectSameSection(ref.section(i), fast.section(i), i);
  EXPECT_EQ(ref.saturator().position(), fast.fastSaturator().position());
  EXPECT_EQ(ref.saturator().windowLength(), fast.fastSaturator().windowLength());

  for (float sat : {1.0f, 0.0f}) {
    pair.set(kSat, sat);
    compareBlock(pair, Loop::kDoubleStereo, signals.make(300), signals.make(300), "after the run");
  }
}

// A random run: blocks of awkward lengths through randomly chosen loops, with automation
// between blocks; frequency changes come often enough to restart glides midway.
void randomRun(float rate, unsigned seed, const std::vector<Loop>& loops, int frames) {
  EffectPair pair(rate);
  SignalMaker signals(seed);
  std::mt19937& random = signals.random();
  int done = 0;
  bool longBlockDone = false;
  while (done < frames) {
    const int changes = static_cast<int>(random() % 3);
    for (int k = 0; k < changes; ++k) {
      const int index = kControls[random() % std::size(kControls)];
      const int kind = static_cast<int>(random() % 5);
      pair.set(index, kind == 0   ? 0.0f
                      : kind == 1 ? 1.0f
                                  : static_cast<float>(signals.pick(0.0, 1.0)));
    }
    if (random() % 4 == 0)
      pair.set(kFrequencyControls[random() % 4], static_cast<float>(signals.pick(0.0, 1.0)));

    int n = kBlockSizes[random() % std::size(kBlockSizes)];
    if (!longBlockDone && done > frames / 2) {
      n = kLongBlock;
      longBlockDone = true;
    }
    const Loop loop = loops[random() % loops.size()];
    compareBlock(pair, loop, signals.make(n), signals.make(n), "random run");
    if (testing::Test::HasFatalFailure()) {
      ADD_FAILURE() << "rate " << rate << " seed " << seed << " after " << done << " frames";
      return;
    }
    done += n;
  }
  expectSameState(pair, signals);
}

// Every band, the high-pass and EQ on, the band gains away from 0 dB.
void setLively(EffectPair& pair) {
  for (int index : {kEqAll, kHpf, kLf, kMf, kHf}) pair.set(index, 1.0f);
  pair.set(kLfGain, 0.9f);
  pair.set(kMfGain, 0.3f);
  pair.set(kHfGain, 0.7f);
}

const std::vector<Loop> kAllLoops = {Loop::kFloatStereo, Loop::kDoubleStereo, Loop::kFloatMono,
                                     Loop::kDoubleMono};

}  // namespace

TEST(FastSignalPath, IsTheDefault) {
  auto effect = test::makeEffect();
  EXPECT_EQ(effect->signalPath().kind(), SignalPathKind::kFast);
}

TEST_P(FastSignalPathTest, UsesTheInstructionSetUnderTest) {
  EffectPair pair(44100.0f);
  EXPECT_EQ(pair.fast->signalPath().fastInstructionSet(), GetParam());
}

TEST_P(FastSignalPathTest, EveryLoopAtEveryRateMatchesTheReference) {
  unsigned seed = 1;
  for (float rate : kRates) {
    for (Loop loop : kAllLoops) {
      SCOPED_TRACE(testing::Message() << "rate " << rate << " loop " << static_cast<int>(loop));
      randomRun(rate, seed++, {loop}, 6000);
    }
  }
}

// Mono blocks advance only the first section of each pair, so afterwards the two channels'
// sections glide by different counts and from different roots.
TEST_P(FastSignalPathTest, MonoAndStereoBlocksInTurnMatchTheReference) {
  unsigned seed = 100;
  for (float rate : {44100.0f, 96000.0f}) {
    SCOPED_TRACE(testing::Message() << "rate " << rate);
    randomRun(rate, seed++, kAllLoops, 30000);
  }
}

// Mono blocks move only the first section of each pair along its glide; in the stereo blocks
// that follow, the first channel's glide ends first and for a while one lane of each pair
// glides while the other has settled. Double samples, so that no difference hides in a
// rounding to float.
TEST_P(FastSignalPathTest, PairsGlidingApartMatchTheReference) {
  for (float rate : {44100.0f, 96000.0f}) {
    SCOPED_TRACE(testing::Message() << "rate " << rate);
    EffectPair pair(rate);
    setLively(pair);
    SignalMaker signals(21);
    for (int round = 0; round < 8; ++round) {
      for (int index : kFrequencyControls)
        pair.set(index, static_cast<float>(signals.pick(0.0, 1.0)));
      const int ahead = 1 + static_cast<int>(signals.random()() % 3000);
      compareBlock(pair, Loop::kDoubleMono, signals.make(ahead), signals.make(ahead), "ahead");
      ASSERT_FALSE(testing::Test::HasFatalFailure()) << "round " << round;
      for (int done = 0; done < 6000;) {
        const int n = kBlockSizes[signals.random()() % std::size(kBlockSizes)] + 1;
        compareBlock(pair, Loop::kDoubleStereo, signals.make(n), signals.make(n), "apart");
        ASSERT_FALSE(testing::Test::HasFatalFailure()) << "round " << round;
        done += n;
      }
    }
    expectSameState(pair, signals);
  }
}

// A frequency change every block keeps every band gliding, restarted midway again and again,
// with EQ and saturation switched on the way.
TEST_P(FastSignalPathTest, ContinuousGlidesMatchTheReference) {
  EffectPair pair(44100.0f);
  setLively(pair);
  SignalMaker signals(7);
  for (int block = 0; block < 120; ++block) {
    for (int index : kFrequencyControls)
      pair.set(index, static_cast<float>(signals.pick(0.0, 1.0)));
    if (block % 37 == 36) pair.set(kEqAll, block % 2 ? 0.0f : 1.0f);
    if (block % 11 == 10) pair.set(kSat, block % 2 ? 0.0f : 1.0f);
    const Loop loop = block % 5 == 4 ? Loop::kDoubleMono : Loop::kDoubleStereo;
    compareBlock(pair, loop, signals.make(97), signals.make(97), "gliding");
    ASSERT_FALSE(testing::Test::HasFatalFailure()) << "block " << block;
  }
  expectSameState(pair, signals);
}

// Bad input makes both effects restart their signal paths at the same sample; input so loud
// that the sections overflow makes them restart after the same sub-block.
TEST_P(FastSignalPathTest, RecoveryFromNonFiniteValuesMatchesTheReference) {
  EffectPair pair(44100.0f);
  setLively(pair);
  SignalMaker signals(11);
  pair.set(kSat, 1.0f);
  const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                        std::numeric_limits<double>::infinity(), 1e300, -1e308};
  for (int round = 0; round < 12; ++round) {
    std::vector<double> left = signals.make(200);
    std::vector<double> right = signals.make(200);
    (round % 2 ? left : right)[signals.random()() % 200] = bad[round % 4];
    if (round % 3 == 0) pair.set(kOutput, round % 2 ? 1.0f : 0.5f);
    compareBlock(pair, kAllLoops[round % 4], left, right, "bad input");
    ASSERT_FALSE(testing::Test::HasFatalFailure()) << "round " << round;
    compareBlock(pair, kAllLoops[round % 4], signals.make(100), signals.make(100), "after");
    ASSERT_FALSE(testing::Test::HasFatalFailure()) << "round " << round;
  }
  expectSameState(pair, signals);
}

INSTANTIATE_TEST_SUITE_P(EveryInstructionSet, FastSignalPathTest,
                         testing::ValuesIn(testedInstructionSets()), instructionSetName);
