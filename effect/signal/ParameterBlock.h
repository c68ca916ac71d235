#pragma once
// The live parameters: the normalised value of every index and the physical values
// derived from the fourteen controls. Written by setParameter on any thread and read by
// processing once per sub-block, so every member is a single relaxed atomic: a reader
// sees the old value or the new one, never a torn one.

#include <array>
#include <atomic>

#include "effect/signal/ParameterMapping.h"

namespace tavola {

// Which band's filter sections a parameter retunes.
enum class Band { kNone, kLowCut, kLowShelf, kMid, kHighShelf };
// A band's bit in a set of bands waiting to be retuned.
constexpr unsigned bandBit(Band band) {
  return 1u << static_cast<unsigned>(band);
}

Band bandOfParameter(int index);

class ParameterBlock {
 public:
  ParameterBlock();

  // Stores the value of a known index (0 to 43) and derives its physical value.
  void store(int index, float p);
  float normalised(int index) const;

  std::atomic<int> eqOn{0};
  std::atomic<double> outGain{1.0};
  std::atomic<int> satOn{0};
  std::atomic<int> hpfOn{0};
  std::atomic<double> hpfFreq{kHpfFrequencies[0]};
  std::atomic<int> lfOn{0};
  std::atomic<double> lfFreq{kLfFrequencies[0]};
  std::atomic<double> lfGain{1.0};
  std::atomic<int> mfOn{0};
  std::atomic<double> mfFreq{kMfFrequencies[0]};
  std::atomic<double> mfGain{1.0};
  std::atomic<int> hfOn{0};
  std::atomic<double> hfFreq{kHfFrequencies[0]};
  std::atomic<double> hfGain{1.0};

 private:
  std::array<std::atomic<float>, kNumParameters> normalised_;
};

static_assert(std::atomic<double>::is_always_lock_free);

}  // namespace tavola
