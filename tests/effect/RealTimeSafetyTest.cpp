// What the audio thread may not do: allocate, and race with parameter changes.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "effect/AllocationCounter.h"
#include "effect/TestHost.h"

using namespace tavola;

namespace {

constexpr int kControls[] = {kEqAll,  kOutput, kSat,    kHpf,    kHpfFreq, kLf,     kLfFreq,
                             kLfGain, kMf,     kMfFreq, kMfGain, kHf,      kHfFreq, kHfGain};

}  // namespace

TEST(RealTimeSafety, ProcessingNeverAllocates) {
  for (float rate : {44100.0f, 96000.0f}) {
    auto effect = test::makeEffect();
    testing::internal::CaptureStderr();
    effect->setParameter(kSat, 1.0f);
    effect->setSampleRate(rate);
    effect->resume();
    const int n = 1000;
    std::vector<float> fl(n, 0.25f), fr(n, -0.25f);
    std::vector<double> dl(n, 0.25), dr(n, -0.25);
    fl[300] = NAN;  // the recovery path must not allocate either
    float* fio[2] = {fl.data(), fr.data()};
    double* dio[2] = {dl.data(), dr.data()};
    std::size_t allocations = 0;
    for (int round = 0; round < 4; ++round) {
      // A parameter change between blocks makes the next block retune and glide.
      effect->setParameter(kControls[round * 3 % 14], round * 0.3f);
      test::AllocationWatch watch;
      effect->processReplacing(fio, fio, n);
      effect->processDoubleReplacing(dio, dio, n);
      effect->processLoopFastMono(fio, fio, n);
      effect->processLoopFastDoubleMono(dio, dio, n);
      allocations += watch.allocations();
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(allocations, 0u) << rate;
  }
}

TEST(RealTimeSafety, AllocationWatchSeesAllocations) {
  test::AllocationWatch watch;
  auto* p = new std::vector<int>(100);
  delete p;
  EXPECT_EQ(watch.allocations(), 2u);
}

// One thread automates every control and switches presets while another processes; run
// under ThreadSanitizer this proves the two share nothing but atomics.
TEST(RealTimeSafety, AutomationAndPresetSwitchingWhileProcessing) {
  auto effect = test::makeEffect();
  effect->setSampleRate(48000.0f);
  effect->resume();
  std::atomic<bool> done{false};
  std::atomic<int> blocks{0};
  std::atomic<int> nonFinite{0};

  std::thread audio([&] {
    const int n = 128;
    std::vector<float> left(n), right(n);
    float* io[2] = {left.data(), right.data()};
    int phase = 0;
    while (!done.load()) {
      for (int i = 0; i < n; ++i, ++phase) {
        left[i] = 0.5f * std::sin(phase * 0.01f);
        right[i] = 0.5f * std::sin(phase * 0.013f);
      }
      effect->processReplacing(io, io, n);
      for (int i = 0; i < n; ++i)
        if (!std::isfinite(left[i]) || !std::isfinite(right[i])) nonFinite.fetch_add(1);
      blocks.fetch_add(1);
    }
  });

  testing::internal::CaptureStderr();
  std::mt19937 random(42);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  for (int round = 0; round < 400; ++round) {
    for (int index : kControls) effect->setParameter(index, value(random));
    if (round % 25 == 0) effect->setPresetNo(round / 25 % kNumPresets);
    char text[16];
    effect->getParameterDisplay(kControls[round % 14], text);
    (void)effect->peakLevel();
    if (round % 10 == 0) std::this_thread::yield();
  }
  // Let the audio thread apply the last changes before stopping.
  const int seen = blocks.load();
  while (blocks.load() < seen + 4) std::this_thread::yield();
  done.store(true);
  audio.join();
  testing::internal::GetCapturedStderr();
  EXPECT_GT(blocks.load(), 4);
  EXPECT_EQ(nonFinite.load(), 0);
}
