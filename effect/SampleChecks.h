#pragma once
// Checks the processing loop makes on every sub-block, written so that the compiler can do
// them several samples at a time: whether a host's samples are all finite, and the peak of
// the results together with whether they are. Audio thread; allocates nothing.

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace tavola {

// True when one of the n samples is infinite or not a number: all its exponent bits set.
template <typename Sample>
bool anyNonFinite(const Sample* samples, int n) {
  using Bits = std::conditional_t<sizeof(Sample) == 4, std::uint32_t, std::uint64_t>;
  constexpr Bits kExponent =
      static_cast<Bits>(sizeof(Sample) == 4 ? 0x7f800000u : 0x7ff0000000000000u);
  Bits bad = 0;
  for (int i = 0; i < n; ++i) {
    const Bits bits = std::bit_cast<Bits>(samples[i]);
    bad |= static_cast<Bits>((bits & kExponent) == kExponent);
  }
  return bad != 0;
}

// Raises peak to the largest magnitude of the n results; false, with peak unspecified, when
// one of them is not finite. For finite values the order of magnitudes is the order of their
// bit patterns without the sign, so both come from the same integer maximum.
inline bool raisePeakIfFinite(const double* results, int n, double& peak) {
  constexpr std::uint64_t kMagnitude = 0x7fffffffffffffffu;
  constexpr std::uint64_t kInfinity = 0x7ff0000000000000u;
  std::uint64_t largest = std::bit_cast<std::uint64_t>(peak);
  for (int i = 0; i < n; ++i) {
    const std::uint64_t magnitude = std::bit_cast<std::uint64_t>(results[i]) & kMagnitude;
    largest = magnitude > largest ? magnitude : largest;
  }
  peak = std::bit_cast<double>(largest);
  return largest < kInfinity;
}

}  // namespace tavola
