#pragma once
// Test signals and a bit-exact comparison shared by the signal tests.

#include <gtest/gtest.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavola::test {

// Deterministic noise in [-1, 1), the same on every platform (xorshift64).
inline std::vector<double> noise(std::size_t n, std::uint64_t seed = 0x9e3779b97f4a7c15ull) {
  std::vector<double> v(n);
  std::uint64_t s = seed;
  for (double& x : v) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    x = static_cast<double>(s >> 11) * 0x1.0p-52 - 1.0;
  }
  return v;
}

// Equal to the last bit, NaNs and signed zeros included; names the first difference.
inline ::testing::AssertionResult bitIdentical(const std::vector<double>& got,
                                               const std::vector<double>& want) {
  if (got.size() != want.size())
    return ::testing::AssertionFailure() << "sizes " << got.size() << " vs " << want.size();
  for (std::size_t i = 0; i < got.size(); ++i)
    if (std::bit_cast<std::uint64_t>(got[i]) != std::bit_cast<std::uint64_t>(want[i]))
      return ::testing::AssertionFailure()
             << "first difference at " << i << ": " << got[i] << " vs " << want[i];
  return ::testing::AssertionSuccess();
}

}  // namespace tavola::test
