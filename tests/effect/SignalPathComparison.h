#pragma once
// Bit-for-bit comparison of signal path state, and the instruction sets the fast path is
// tested with, shared by the tests that hold the fast path against the reference.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dsp/Filter.h"
#include "effect/signal/SignalPathFastIsa.h"

namespace tavola::test {

inline std::uint64_t bitsOf(double v) {
  std::uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

inline void expectSameCoefficients(const FilterCoefficients& a, const FilterCoefficients& b,
                                   const char* what, int section) {
  const double av[] = {a.a0, a.a1, a.a2, a.b0, a.b1, a.b2};
  const double bv[] = {b.a0, b.a1, b.a2, b.b0, b.b1, b.b2};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(bitsOf(av[i]), bitsOf(bv[i])) << what << " coefficient " << i << " of " << section;
}

inline void expectSameRoots(const FilterRoots& a, const FilterRoots& b, const char* what,
                            int section) {
  const double av[] = {a.z1re, a.z1im, a.z2re, a.z2im, a.p1re, a.p1im, a.p2re, a.p2im, a.k};
  const double bv[] = {b.z1re, b.z1im, b.z2re, b.z2im, b.p1re, b.p1im, b.p2re, b.p2im, b.k};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(bitsOf(av[i]), bitsOf(bv[i])) << what << " root value " << i << " of " << section;
}

// Everything a section holds, bit for bit.
inline void expectSameSection(const Filter& a, const Filter& b, int section) {
  EXPECT_EQ(a.getType(), b.getType()) << section;
  EXPECT_EQ(a.getStatus(), b.getStatus()) << section;
  EXPECT_EQ(bitsOf(a.getFreq()), bitsOf(b.getFreq())) << section;
  EXPECT_EQ(bitsOf(a.getSampleRate()), bitsOf(b.getSampleRate())) << section;
  EXPECT_EQ(a.isImmediate(), b.isImmediate()) << section;
  EXPECT_EQ(a.glideLength(), b.glideLength()) << section;
  const FilterRunState sa = a.runState();
  const FilterRunState sb = b.runState();
  EXPECT_EQ(sa.glideRemaining, sb.glideRemaining) << section;
  const double ha[] = {sa.x1, sa.x2, sa.y1, sa.y2};
  const double hb[] = {sb.x1, sb.x2, sb.y1, sb.y2};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(bitsOf(ha[i]), bitsOf(hb[i])) << "history " << i << " of " << section;
  expectSameCoefficients(sa.current, sb.current, "current", section);
  expectSameCoefficients(a.targetCoefficients(), b.targetCoefficients(), "target", section);
  expectSameRoots(sa.glide, sb.glide, "current", section);
  expectSameRoots(a.targetRoots(), b.targetRoots(), "target", section);
  expectSameRoots(a.glideIncrements(), b.glideIncrements(), "increment", section);
}

// Every instruction set this processor runs; each variant of the fast path must give the
// reference's bits.
inline std::vector<FastInstructionSet> testedInstructionSets() {
  std::vector<FastInstructionSet> sets = {FastInstructionSet::kSse2};
  if (widestFastInstructionSet() == FastInstructionSet::kAvx2)
    sets.push_back(FastInstructionSet::kAvx2);
  return sets;
}

inline std::string instructionSetName(const testing::TestParamInfo<FastInstructionSet>& info) {
  return info.param == FastInstructionSet::kAvx2 ? "Avx2" : "Sse2";
}

// A test run once for each instruction set in testedInstructionSets(): the signal paths it
// creates use that set.
class WithFastInstructionSet : public testing::TestWithParam<FastInstructionSet> {
 protected:
  void SetUp() override { limitFastInstructionSet(GetParam()); }
  void TearDown() override { limitFastInstructionSet(FastInstructionSet::kAvx2); }
};

}  // namespace tavola::test
