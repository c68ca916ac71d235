#pragma once
// The lane types of the fast path and the arithmetic it shares between them. Lanes holds one
// sample of each channel; a wide value holds two Lanes side by side, as one AVX2 register
// (Quad) or as a pair of SSE2 registers (Pair). The loop (SignalPathFastLoop.h) is written once
// over the wide type, so every instruction set performs the same IEEE operations in the same
// order, and gives the same bits. Also here: both channels' sections as Lanes, loaded from
// their Filter objects before a sub-block and written back after it (see
// SignalPathFastBands.h).
//
// No host or GUI code here. Audio thread; allocates nothing.

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "dsp/Filter.h"
#include "effect/signal/SignalPathFast.h"

namespace tavola::lanes {

#define TAVOLA_LANES_INLINE [[gnu::always_inline]] inline

// Four doubles in one AVX2 register. Only ever used inline in functions compiled for AVX2
// (its operations are in SignalPathFastLoop.h).
using Quad = double __attribute__((vector_size(32)));

// Four doubles as two SSE2 registers, with the operations the loop needs.
struct Pair {
  Lanes low, high;
};
TAVOLA_LANES_INLINE Pair operator+(Pair a, Pair b) {
  return {a.low + b.low, a.high + b.high};
}
TAVOLA_LANES_INLINE Pair operator-(Pair a, Pair b) {
  return {a.low - b.low, a.high - b.high};
}
TAVOLA_LANES_INLINE Pair operator*(Pair a, Pair b) {
  return {a.low * b.low, a.high * b.high};
}

// The halves of a wide value, and a wide value from its halves.
TAVOLA_LANES_INLINE Lanes lowHalf(Pair v) {
  return v.low;
}
TAVOLA_LANES_INLINE Lanes highHalf(Pair v) {
  return v.high;
}
template <class Wide>
TAVOLA_LANES_INLINE Wide combine(Lanes low, Lanes high) {
  if constexpr (std::is_same_v<Wide, Pair>)
    return Pair{low, high};
  else
    return __builtin_shufflevector(low, high, 0, 1, 2, 3);
}
// v in every lane.
template <class V>
TAVOLA_LANES_INLINE V splat(double v) {
  const Lanes half = {v, v};
  if constexpr (std::is_same_v<V, Lanes>)
    return half;
  else
    return combine<V>(half, half);
}

// Unaligned loads and stores.
TAVOLA_LANES_INLINE Lanes loadLanes(const double* p) {
  Lanes v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}
template <class Wide>
TAVOLA_LANES_INLINE Wide loadWide(const double* p) {
  if constexpr (std::is_same_v<Wide, Pair>) {
    return Pair{loadLanes(p), loadLanes(p + 2)};
  } else {
    Wide v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
  }
}

// max as the reference takes it, v > e ? v : e, lane by lane: one maxpd, which returns its
// second operand when the first is not greater (NaN included).
TAVOLA_LANES_INLINE Lanes laneMax(Lanes v, Lanes e) {
  return v > e ? v : e;
}
TAVOLA_LANES_INLINE Pair laneMax(Pair v, Pair e) {
  return {laneMax(v.low, e.low), laneMax(v.high, e.high)};
}

inline Lanes both(double v) {
  return Lanes{v, v};
}

inline Lanes select(LaneMask mask, Lanes ifSet, Lanes otherwise) {
  return mask ? ifSet : otherwise;
}

template <class V>
struct Coefficients {
  V b0, b1, b2, a1, a2;
};
using LaneCoefficients = Coefficients<Lanes>;

template <class Wide>
TAVOLA_LANES_INLINE Coefficients<Wide> combine(const LaneCoefficients& low,
                                               const LaneCoefficients& high) {
  return {combine<Wide>(low.b0, high.b0), combine<Wide>(low.b1, high.b1),
          combine<Wide>(low.b2, high.b2), combine<Wide>(low.a1, high.a1),
          combine<Wide>(low.a2, high.a2)};
}

// The last two outputs; the last two inputs stay in the section's input buffer.
struct LaneOutputs {
  Lanes y1, y2;
};

// A section's input over one sub-block, preceded by the last two inputs of the sub-block
// before: input[0] = x2, input[1] = x1 at the start, sample t at input[t + 2]. Reading the
// input history from here leaves the registers to the recursions.
constexpr int kInputHistory = 2;
using SectionInput = Lanes[kInputHistory + 2 * kFastMaxSamples];

// FilterRoots of both channels' sections, in the same order.
struct LaneRoots {
  Lanes z1re, z1im, z2re, z2im, p1re, p1im, p2re, p2im, k;
};

inline LaneRoots pairRoots(const FilterRoots& a, const FilterRoots& b) {
  return {Lanes{a.z1re, b.z1re}, Lanes{a.z1im, b.z1im}, Lanes{a.z2re, b.z2re},
          Lanes{a.z2im, b.z2im}, Lanes{a.p1re, b.p1re}, Lanes{a.p1im, b.p1im},
          Lanes{a.p2re, b.p2re}, Lanes{a.p2im, b.p2im}, Lanes{a.k, b.k}};
}

inline FilterRoots laneOf(const LaneRoots& r, int lane) {
  FilterRoots f;
  f.z1re = r.z1re[lane];
  f.z1im = r.z1im[lane];
  f.z2re = r.z2re[lane];
  f.z2im = r.z2im[lane];
  f.p1re = r.p1re[lane];
  f.p1im = r.p1im[lane];
  f.p2re = r.p2re[lane];
  f.p2im = r.p2im[lane];
  f.k = r.k[lane];
  return f;
}

// filterCoefficientsOf() for both lanes.
inline LaneCoefficients coefficientsOf(const LaneRoots& r) {
  LaneCoefficients c;
  c.b0 = r.k;
  c.b1 = -r.k * (r.z1re + r.z2re);
  c.b2 = r.k * (r.z1re * r.z2re - r.z1im * r.z2im);
  c.a1 = -(r.p1re + r.p2re);
  c.a2 = r.p1re * r.p2re - r.p1im * r.p2im;
  return c;
}

// One pair of sections while the kernel holds it.
struct LaneSection {
  LaneCoefficients target;
  LaneOutputs outputs;
  SectionInput input;
  LaneRoots roots;
  LaneRoots increments;
  // How many samples of this sub-block each lane glides: min(glide remaining, m).
  int glideSamples[2];

  // While any lane glides: the coefficients of every sample of the sub-block (see
  // trackGlide()), which the kernels then read in place of the target.
  bool tracked;
  LaneCoefficients track[2 * kFastMaxSamples];

  void load(const Filter& first, const Filter& second, int m) {
    const FilterCoefficients& a = first.targetCoefficients();
    const FilterCoefficients& b = second.targetCoefficients();
    target = {Lanes{a.b0, b.b0}, Lanes{a.b1, b.b1}, Lanes{a.b2, b.b2}, Lanes{a.a1, b.a1},
              Lanes{a.a2, b.a2}};
    input[0] = Lanes{first.inputBeforeLast(), second.inputBeforeLast()};
    input[1] = Lanes{first.lastInput(), second.lastInput()};
    outputs = {Lanes{first.lastOutput(), second.lastOutput()},
               Lanes{first.outputBeforeLast(), second.outputBeforeLast()}};
    glideSamples[0] = static_cast<int>(std::min<std::uint64_t>(first.glideRemaining(), m));
    glideSamples[1] = static_cast<int>(std::min<std::uint64_t>(second.glideRemaining(), m));
    // The roots only move while a lane glides.
    tracked = glideSamples[0] > 0 || glideSamples[1] > 0;
    if (tracked) {
      roots = pairRoots(first.currentRoots(), second.currentRoots());
      increments = pairRoots(first.glideIncrements(), second.glideIncrements());
    }
  }

  // Writes one lane back as processFrame() over m samples would have left it.
  void store(Filter& filter, int lane, int m) const {
    const int glided = glideSamples[lane];
    if (glided == 0) {
      filter.setSettledRun(input[m + 1][lane], input[m][lane], outputs.y1[lane], outputs.y2[lane]);
      return;
    }
    const FilterRoots glide = glided > 0 ? laneOf(roots, lane) : filter.currentRoots();
    // The coefficients of the last sample: rebuilt if it glided, else the target's. Built in
    // one go, since a default-constructed state would first be cleared field by field.
    filter.setRunState({glided < m ? filter.targetCoefficients() : filterCoefficientsOf(glide),
                        input[m + 1][lane], input[m][lane], outputs.y1[lane], outputs.y2[lane],
                        glide, filter.glideRemaining() - static_cast<std::uint64_t>(glided)});
  }
};

inline void addRoots(LaneRoots& r, const LaneRoots& step) {
  r.z1re += step.z1re;
  r.z1im += step.z1im;
  r.z2re += step.z2re;
  r.z2im += step.z2im;
  r.p1re += step.p1re;
  r.p1im += step.p1im;
  r.p2re += step.p2re;
  r.p2im += step.p2im;
  r.k += step.k;
}

// Filter::processFrame()'s glide for a whole sub-block of m samples, ahead of the filtering:
// section.track[t] receives the coefficients of sample t (rebuilt from the roots after one
// more step while the lane glides, else the target's), and the roots end where the glide
// leaves them. The roots stay in registers here, where in the sample loop they would not.
inline void trackGlide(LaneSection& section, int m) {
  const int first = section.glideSamples[0];
  const int second = section.glideSamples[1];
  LaneRoots r = section.roots;
  const LaneRoots increments = section.increments;
  int t = 0;
  // Both lanes glide.
  for (const int both = std::min(first, second); t < both; ++t) {
    addRoots(r, increments);
    section.track[t] = coefficientsOf(r);
  }
  // One lane glides on. The other adds 0, which leaves its roots as they are: it has either
  // taken a glide step already (and a step never gives -0, the one root value that adding 0
  // would change), or glides not at all in this sub-block, and then its roots are not written
  // back.
  const int either = std::max(first, second);
  if (t < either) {
    const LaneMask mask = {first > t ? -1 : 0, second > t ? -1 : 0};
    const Lanes zero = {0.0, 0.0};
    const LaneRoots step = {
        select(mask, increments.z1re, zero), select(mask, increments.z1im, zero),
        select(mask, increments.z2re, zero), select(mask, increments.z2im, zero),
        select(mask, increments.p1re, zero), select(mask, increments.p1im, zero),
        select(mask, increments.p2re, zero), select(mask, increments.p2im, zero),
        select(mask, increments.k, zero)};
    const LaneCoefficients& target = section.target;
    for (; t < either; ++t) {
      addRoots(r, step);
      const LaneCoefficients g = coefficientsOf(r);
      section.track[t] = {select(mask, g.b0, target.b0), select(mask, g.b1, target.b1),
                          select(mask, g.b2, target.b2), select(mask, g.a1, target.a1),
                          select(mask, g.a2, target.a2)};
    }
  }
  for (; t < m; ++t) section.track[t] = section.target;
  section.roots = r;
}

// The difference equation and its flush, in Filter::processFrame()'s order, for any lanes.
template <class V>
TAVOLA_LANES_INLINE V biquad(const Coefficients<V>& c, V x0, V x1, V x2, V y1, V y2) {
  const V y0 = c.b0 * x0 + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
  const V guard = splat<V>(1e-30);
  return (y0 + guard) - guard;
}

enum SectionSlot { kLowSplitSlot, kHighSplitSlot, kMidLowPassSlot, kMidHighPassSlot, kLowCutSlot };
constexpr int kSlots = 5;

struct BandGains {
  Lanes lfMinusOne, mfMinusOne, hfMinusOne;
  Lanes lfOn, mfOn, hfOn;
  Lanes out;
};

// A chunk of up to 16 input samples pushed into FastUpSampler's histories, as the loop reads
// it: its newest history at history[64 + i] and reversed[15 - i] for sample i.
struct UpsampleChunk {
  const Lanes* history;
  const Lanes* reversed;
  const double* quadTaps;
  Lanes centre;
  // Both lanes of every output carry the first channel.
  bool mono;
};

// How many samples the low-cut runs behind the mid low-pass in the band loop (see
// SignalPathFastLoop.h).
constexpr int kLowCutLag = 6;

// Everything the band work of a sub-block writes besides its results: the sections as lanes
// and the loop's constants. It lives in the signal path,
// not on the stack, so that where these buffers lie against the sections, rings and
// histories they are read with next (four-kilobyte aliasing between a store and a later load)
// is the same in every process.
struct BandWork {
  LaneSection sections[kSlots];
  // Room for the loop's constants (coefficients and gains in their wide form), which it
  // reads at every sample.
  alignas(64) double constants[96];
};

// All of a sub-block's intermediate buffers, for the same reason.
struct FastWork {
  alignas(64) Lanes internal[2 * kFastMaxSamples];  // at the internal rate
  alignas(64) Lanes saturatorInput[kFastMaxSamples];
  BandWork bands;
};

}  // namespace tavola::lanes
