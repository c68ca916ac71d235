#pragma once
// The fast path's per-sample work, written once over the wide lane type (Pair for SSE2, Quad
// for AVX2; see SignalPathFastLanes.h) and compiled once per instruction set in
// SignalPathFastKernels.cpp. Every function here is forced inline, so that its body takes the
// instruction set of the kernel it ends up in; nothing here may be called on its own.
//
// Each lane performs the reference's operations in the reference's order: the up-sampler's four
// partial sums (UpSampler), the saturator's envelope (Saturator) and Filter::processFrame() for
// every section with the band sum of SignalPath::referenceBands() between them. Only the order
// in which independent lanes are computed differs from the reference.
//
// No host or GUI code here. Audio thread; allocates nothing.

#include <new>

#include "effect/signal/Saturator.h"
#include "effect/signal/SignalPathFast.h"
#include "effect/signal/SignalPathFastLanes.h"
#include "effect/signal/UpSampler.h"

namespace tavola::loop {

using namespace lanes;
using lanes::highHalf;
using lanes::laneMax;
using lanes::lowHalf;

// Quad's halves and maximum (the rest is in SignalPathFastLanes.h).
TAVOLA_LANES_INLINE Lanes lowHalf(Quad v) {
  return __builtin_shufflevector(v, v, 0, 1);
}
TAVOLA_LANES_INLINE Lanes highHalf(Quad v) {
  return __builtin_shufflevector(v, v, 2, 3);
}
TAVOLA_LANES_INLINE Quad laneMax(Quad v, Quad e) {
  return v > e ? v : e;
}

// --- The up-sampler ---------------------------------------------------------------------------

// Samples as doubles, two per stereo sample: x[i-1-k] at newer + 2k (the reversed history),
// x[i-64+k] at older + 2k. The low half of `low` sums pair k mod 4 = 0, its high half pair
// k mod 4 = 1, and `high` the pairs 2 and 3: the reference's partial sums s0 .. s3, each from 0.0
// in increasing pair order, then (s0 + s1) + (s2 + s3).
// Input sample i of the chunk: its even phase to out[0], its odd phase to out[1].
template <class Wide>
TAVOLA_LANES_INLINE void upsampleSample(const UpsampleChunk& chunk, int i, Lanes* out) {
  const double* const newer =
      reinterpret_cast<const double*>(chunk.reversed + FastUpSampler::kChunk - i);
  const double* const older = reinterpret_cast<const double*>(chunk.history) + 2 * i;
  const double* const taps = chunk.quadTaps;
  Wide low = splat<Wide>(0.0);
  Wide high = splat<Wide>(0.0);
#pragma GCC unroll 8
  for (int k = 0; k < FastUpSampler::kPairs; k += 4) {
    const Wide pairsLow = loadWide<Wide>(newer + 2 * k) + loadWide<Wide>(older + 2 * k);
    const Wide pairsHigh =
        loadWide<Wide>(newer + 2 * (k + 2)) + loadWide<Wide>(older + 2 * (k + 2));
    low = low + loadWide<Wide>(taps + 2 * k) * pairsLow;
    high = high + loadWide<Wide>(taps + 2 * k + 4) * pairsHigh;
  }
  Lanes even = (lowHalf(low) + highHalf(low)) + (lowHalf(high) + highHalf(high));
  Lanes odd = chunk.centre * chunk.history[FastUpSampler::kHistory - kUpsamplerDelay + i];
  if (chunk.mono) {
    even = both(even[0]);
    odd = both(odd[0]);
  }
  out[0] = even;
  out[1] = odd;
}

template <class Wide>
TAVOLA_LANES_INLINE void upsampleChunk(const UpsampleChunk& chunk, int count, Lanes* out) {
  for (int i = 0; i < count; ++i) upsampleSample<Wide>(chunk, i, out + 2 * i);
}

// --- The saturator ----------------------------------------------------------------------------

// The maximum of the lanes of e0 and e1. No lane holds a NaN (a NaN product never becomes a
// maximum) and none is negative, so the order in which it is taken does not matter.
template <class Wide>
TAVOLA_LANES_INLINE double lanesMax(Wide e0, Wide e1) {
  const Wide e01 = laneMax(e0, e1);
  const Lanes e2 = laneMax(lowHalf(e01), highHalf(e01));
  return e2[1] > e2[0] ? e2[1] : e2[0];
}

// The window's entries j, j + 4 of kQuads x 4: held in registers (kQuads > 0) or read from
// `window` (kQuads == 0, for any padded length).
template <class Wide, int kQuads>
struct WindowQuads {
  Wide held[kQuads > 0 ? kQuads : 1];
  const double* window;
  int quads;

  TAVOLA_LANES_INLINE WindowQuads(const double* w, int padded) : window(w), quads(padded / 4) {
    for (int j = 0; j < kQuads; ++j) held[j] = loadWide<Wide>(w + 4 * j);
  }
  TAVOLA_LANES_INLINE int count() const { return kQuads > 0 ? kQuads : quads; }
  TAVOLA_LANES_INLINE Wide operator[](int j) const {
    if constexpr (kQuads > 0)
      return held[j];
    else
      return loadWide<Wide>(window + 4 * j);
  }
};

// kSteps > 0: a window of kSteps x 8 entries, held in registers throughout; 0: any window,
// read from memory. Two samples at a time, for independent chains of maxima, each window
// entry serving both.
template <class Wide, int kSteps>
TAVOLA_LANES_INLINE void saturate(const double* window, int length, int padded,
                                  const double* magnitude, const double* delay, int start, int n,
                                  double* out) {
  constexpr int kRing = FastSaturator::kRing;
  const int half = length / 2;
  const WindowQuads<Wide, 2 * kSteps> w(window, padded);
  const int quads = w.count();
  int i = 0;
  for (; i + 1 < n; i += 2) {
    const int p = (start + i) & (kRing - 1);
    const int q = (p + 1) & (kRing - 1);
    const double* const first = magnitude + p + kRing - (length - 1);
    const double* const second = magnitude + q + kRing - (length - 1);
    Wide a0 = splat<Wide>(0.0), a1 = splat<Wide>(0.0);
    Wide b0 = splat<Wide>(0.0), b1 = splat<Wide>(0.0);
#pragma GCC unroll 10
    for (int j = 0; j < quads; j += 2) {
      a0 = laneMax(w[j] * loadWide<Wide>(first + 4 * j), a0);
      a1 = laneMax(w[j + 1] * loadWide<Wide>(first + 4 * j + 4), a1);
      b0 = laneMax(w[j] * loadWide<Wide>(second + 4 * j), b0);
      b1 = laneMax(w[j + 1] * loadWide<Wide>(second + 4 * j + 4), b1);
    }
    out[i] = saturatorGain(lanesMax(a0, a1)) * delay[(p - half + kRing) & (kRing - 1)];
    out[i + 1] = saturatorGain(lanesMax(b0, b1)) * delay[(q - half + kRing) & (kRing - 1)];
  }
  if (i < n) {
    const int p = (start + i) & (kRing - 1);
    const double* const oldest = magnitude + p + kRing - (length - 1);
    Wide e0 = splat<Wide>(0.0), e1 = splat<Wide>(0.0);
#pragma GCC unroll 10
    for (int j = 0; j < quads; j += 2) {
      e0 = laneMax(w[j] * loadWide<Wide>(oldest + 4 * j), e0);
      e1 = laneMax(w[j + 1] * loadWide<Wide>(oldest + 4 * j + 4), e1);
    }
    out[i] = saturatorGain(lanesMax(e0, e1)) * delay[(p - half + kRing) & (kRing - 1)];
  }
}

// --- The bands --------------------------------------------------------------------------------
//
// Five recursions of two channels each fill two wide values and one Lanes:
//   A = [low splitter | high splitter] at sample t, both fed the main signal;
//   B = [mid low-pass at t | low-cut at t - kLag]: the low-cut runs behind, since its input,
//       the band sum, needs the mid high-pass of the same sample, which needs the mid low-pass;
//   the mid high-pass at t, fed by main minus the mid low-pass of B.

// How many samples the low-cut's half of B runs behind the mid low-pass: with the low-cut this
// far behind, its wait for the band sum never holds up the next samples' mid low-pass.
constexpr int kLag = kLowCutLag;

// Where each section's coefficients of sample t are: track[t] while it glides, else its target
// (stride 0).
struct CoefficientSource {
  const LaneCoefficients* at;
  int stride;

  explicit CoefficientSource(const LaneSection& s)
      : at(s.tracked ? s.track : &s.target), stride(s.tracked ? 1 : 0) {}
  const LaneCoefficients& operator[](int t) const { return at[t * stride]; }
};

template <class Wide>
struct BandState {
  Wide xA1, xA2;  // the splitters' inputs, one and two samples back
  Wide yA1, yA2;  // [low splitter | high splitter], one and two samples back
  Wide xB1, xB2;  // [mid low-pass | low-cut]
  Wide yB1, yB2;
  Lanes yM1, yM2;  // mid high-pass
};

template <class Wide>
struct BandConstants {
  Coefficients<Wide> splitters;      // without glides
  Coefficients<Wide> lowPassAndCut;  // without glides
  LaneCoefficients midHighPassTarget;
  CoefficientSource lowSplit, highSplit, midLowPass, midHighPass, lowCut;
  Wide bandMinusOne;  // [lfGain - 1 | hfGain - 1]
  Wide bandOn;        // [lfOn | hfOn]
  Lanes mfMinusOne, mfOn, out;
};

// The band loop's input, sample by sample: from a buffer...
struct BufferedInput {
  static constexpr bool kInPairs = false;
  const Lanes* in;
  TAVOLA_LANES_INLINE Lanes take(int t) { return in[t]; }
};

// ... or straight from the up-sampler, one input sample (two at the internal rate) ahead of
// the band work, so that the up-sampler's arithmetic, which waits on nothing, runs while the
// recursions wait on their last results.
template <class Wide>
struct UpsampledInput {
  // Steps come in pairs, the even and the odd phase of one input sample.
  static constexpr bool kInPairs = true;
  const UpsampleChunk& chunk;
  int count;
  Lanes ahead[2];  // the even and odd phase of the next input sample

  TAVOLA_LANES_INLINE UpsampledInput(const UpsampleChunk& c, int n) : chunk(c), count(n) {
    upsampleSample<Wide>(chunk, 0, ahead);
  }
  // The phases of input sample j into `phases`, the next one's computed meanwhile.
  TAVOLA_LANES_INLINE void take(int j, Lanes* phases) {
    phases[0] = ahead[0];
    phases[1] = ahead[1];
    if (j + 1 < count) upsampleSample<Wide>(chunk, j + 1, ahead);
  }
};

// Step t on input x. kLowCutRuns is false for the first kLag steps, which have no sample for
// the low-cut's half of B: that half then keeps its state and writes nothing. With kTracked
// some section glides, and every section's coefficients come from its CoefficientSource, the
// low-cut's those of its own sample t - kLag. The low-cut's input, the band sum, goes to its
// section's input buffer (sample s at lowCutIn[s + 2]), where its half of B reads it kLag
// steps later.
template <class Wide, bool kLowCutRuns, bool kTracked>
TAVOLA_LANES_INLINE void bandStep(BandState<Wide>& st, const BandConstants<Wide>& k, Lanes x,
                                  Lanes* midIn, Lanes* lowCutIn, int t, int shift, Lanes* out) {
  const Coefficients<Wide> splitters =
      kTracked ? combine<Wide>(k.lowSplit[t], k.highSplit[t]) : k.splitters;
  const Coefficients<Wide> lowPassAndCut =
      kTracked ? combine<Wide>(k.midLowPass[t], k.lowCut[kLowCutRuns ? t - kLag : 0])
               : k.lowPassAndCut;
  const Wide xx = combine<Wide>(x, x);
  const Wide a = biquad(splitters, xx, st.xA1, st.xA2, st.yA1, st.yA2);
  st.xA2 = st.xA1;
  st.xA1 = xx;
  st.yA2 = st.yA1;
  st.yA1 = a;
  const Wide xB = combine<Wide>(x, kLowCutRuns ? lowCutIn[t - kLag + 2] : x);
  const Wide b = biquad(lowPassAndCut, xB, st.xB1, st.xB2, st.yB1, st.yB2);
  if constexpr (kLowCutRuns) {
    st.xB2 = st.xB1;
    st.xB1 = xB;
    st.yB2 = st.yB1;
    st.yB1 = b;
    out[(t - kLag) >> shift] = highHalf(b);
  } else {
    st.xB2 = combine<Wide>(lowHalf(st.xB1), highHalf(st.xB2));
    st.xB1 = combine<Wide>(x, highHalf(st.xB1));
    st.yB2 = combine<Wide>(lowHalf(st.yB1), highHalf(st.yB2));
    st.yB1 = combine<Wide>(lowHalf(b), highHalf(st.yB1));
  }

  const Lanes midInput = x - lowHalf(b);
  midIn[t + 2] = midInput;
  const Lanes midPassed = biquad(kTracked ? k.midHighPass[t] : k.midHighPassTarget, midInput,
                                 midIn[t + 1], midIn[t], st.yM1, st.yM2);
  st.yM2 = st.yM1;
  st.yM1 = midPassed;

  // [lfOn x (x - low) x (lfGain - 1) | hfOn x (x - high) x (hfGain - 1)]
  const Wide bands = k.bandOn * ((xx - a) * k.bandMinusOne);
  const Lanes mid = (midInput - midPassed) * k.mfMinusOne;
  const Lanes y = x + ((lowHalf(bands) + highHalf(bands)) + k.mfOn * mid);
  lowCutIn[t + 2] = y * k.out;
}

// The low-cut's half of B starts on its own last two inputs.
template <class Wide>
TAVOLA_LANES_INLINE void startLowCut(BandState<Wide>& st, const Lanes* lowCutIn) {
  st.xB1 = combine<Wide>(lowHalf(st.xB1), lowCutIn[1]);
  st.xB2 = combine<Wide>(lowHalf(st.xB2), lowCutIn[0]);
}

template <class Wide, bool kTracked, class Input>
TAVOLA_LANES_INLINE void bandSteps(BandState<Wide>& st, const BandConstants<Wide>& k, Input& input,
                                   Lanes* midIn, Lanes* lowCutIn, int m, int shift, Lanes* out) {
  const int lagged = m < kLag ? m : kLag;
  if constexpr (Input::kInPairs) {
    // m and kLag are even, so both runs hold whole pairs.
    Lanes x[2];
    for (int t = 0; t < lagged; t += 2) {
      input.take(t >> 1, x);
      bandStep<Wide, false, kTracked>(st, k, x[0], midIn, lowCutIn, t, shift, out);
      bandStep<Wide, false, kTracked>(st, k, x[1], midIn, lowCutIn, t + 1, shift, out);
    }
    startLowCut(st, lowCutIn);
    for (int t = lagged; t < m; t += 2) {
      input.take(t >> 1, x);
      bandStep<Wide, true, kTracked>(st, k, x[0], midIn, lowCutIn, t, shift, out);
      bandStep<Wide, true, kTracked>(st, k, x[1], midIn, lowCutIn, t + 1, shift, out);
    }
  } else {
    for (int t = 0; t < lagged; ++t)
      bandStep<Wide, false, kTracked>(st, k, input.take(t), midIn, lowCutIn, t, shift, out);
    startLowCut(st, lowCutIn);
    for (int t = lagged; t < m; ++t)
      bandStep<Wide, true, kTracked>(st, k, input.take(t), midIn, lowCutIn, t, shift, out);
  }
}

template <class Wide, class Input>
TAVOLA_LANES_INLINE void bands(BandWork& work, Input input, int m, int shift, const BandGains& g,
                               Lanes* out) {
  LaneSection* const sections = work.sections;
  LaneSection& lowSplit = sections[kLowSplitSlot];
  LaneSection& highSplit = sections[kHighSplitSlot];
  LaneSection& midLowPass = sections[kMidLowPassSlot];
  LaneSection& midHighPass = sections[kMidHighPassSlot];
  LaneSection& lowCut = sections[kLowCutSlot];
  // The mid high-pass's and the low-cut's inputs, indexed by t + 2 as in SectionInput.
  Lanes* const midIn = midHighPass.input;
  Lanes* const lowCutIn = lowCut.input;

  BandState<Wide> st = {combine<Wide>(lowSplit.input[1], highSplit.input[1]),
                        combine<Wide>(lowSplit.input[0], highSplit.input[0]),
                        combine<Wide>(lowSplit.outputs.y1, highSplit.outputs.y1),
                        combine<Wide>(lowSplit.outputs.y2, highSplit.outputs.y2),
                        combine<Wide>(midLowPass.input[1], lowCutIn[1]),
                        combine<Wide>(midLowPass.input[0], lowCutIn[0]),
                        combine<Wide>(midLowPass.outputs.y1, lowCut.outputs.y1),
                        combine<Wide>(midLowPass.outputs.y2, lowCut.outputs.y2),
                        midHighPass.outputs.y1,
                        midHighPass.outputs.y2};
  static_assert(sizeof(BandConstants<Wide>) <= sizeof work.constants);
  const BandConstants<Wide>& k =
      *new (work.constants) BandConstants<Wide>{combine<Wide>(lowSplit.target, highSplit.target),
                                                combine<Wide>(midLowPass.target, lowCut.target),
                                                midHighPass.target,
                                                CoefficientSource(lowSplit),
                                                CoefficientSource(highSplit),
                                                CoefficientSource(midLowPass),
                                                CoefficientSource(midHighPass),
                                                CoefficientSource(lowCut),
                                                combine<Wide>(g.lfMinusOne, g.hfMinusOne),
                                                combine<Wide>(g.lfOn, g.hfOn),
                                                g.mfMinusOne,
                                                g.mfOn,
                                                g.out};
  const bool tracked = lowSplit.tracked || highSplit.tracked || midLowPass.tracked ||
                       midHighPass.tracked || lowCut.tracked;
  if (tracked)
    bandSteps<Wide, true>(st, k, input, midIn, lowCutIn, m, shift, out);
  else
    bandSteps<Wide, false>(st, k, input, midIn, lowCutIn, m, shift, out);

  // The low-cut's last samples, which B's half has not reached.
  Lanes lowCutY1 = highHalf(st.yB1);
  Lanes lowCutY2 = highHalf(st.yB2);
  for (int s = m > kLag ? m - kLag : 0; s < m; ++s) {
    const Lanes y =
        biquad(k.lowCut[s], lowCutIn[s + 2], lowCutIn[s + 1], lowCutIn[s], lowCutY1, lowCutY2);
    lowCutY2 = lowCutY1;
    lowCutY1 = y;
    out[s >> shift] = y;
  }

  // The last two inputs of the sections fed by the main signal, for their write-back.
  lowSplit.input[m + 1] = lowHalf(st.xA1);
  lowSplit.input[m] = lowHalf(st.xA2);
  highSplit.input[m + 1] = highHalf(st.xA1);
  highSplit.input[m] = highHalf(st.xA2);
  midLowPass.input[m + 1] = lowHalf(st.xB1);
  midLowPass.input[m] = lowHalf(st.xB2);
  lowSplit.outputs = {lowHalf(st.yA1), lowHalf(st.yA2)};
  highSplit.outputs = {highHalf(st.yA1), highHalf(st.yA2)};
  midLowPass.outputs = {lowHalf(st.yB1), lowHalf(st.yB2)};
  midHighPass.outputs = {st.yM1, st.yM2};
  lowCut.outputs = {lowCutY1, lowCutY2};
}

}  // namespace tavola::loop
