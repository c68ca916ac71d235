// The band kernel for AVX2, with EQ on. Five recursions of two channels each fill two four-lane
// registers and one two-lane register:
//   A = [low splitter | high splitter] at sample t, both fed the main signal;
//   B = [mid low-pass at t | low-cut at t - 6]: the low-cut runs behind, since its input, the
//       band sum, needs the mid high-pass of the same sample, which needs the mid low-pass;
//   the mid high-pass at t, fed by main minus the mid low-pass of B.
// Every lane performs Filter::processFrame()'s operations in its order, so the results are
// the SSE2 kernel's bit for bit; only the order in which independent lanes are computed moves.
// Compiled with the plug-in's usual flags: only the functions marked for AVX2 contain AVX2
// instructions.

#include "effect/SignalPathFastLanes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tavola::lanes {

#if defined(__x86_64__) || defined(__i386__)

namespace {

#define TAVOLA_AVX2 __attribute__((target("avx2")))

// How many samples the low-cut's half of B runs behind the mid low-pass. Its input, the band
// sum, waits on the mid low-pass and the mid high-pass of the same sample; with the low-cut
// this far behind, that wait never holds up the next samples' mid low-pass.
constexpr int kLag = 6;

struct QuadCoefficients {
  __m256d b0, b1, b2, a1, a2;
};

TAVOLA_AVX2 inline __m256d combine(Lanes low, Lanes high) {
  return _mm256_insertf128_pd(_mm256_castpd128_pd256(low), high, 1);
}

TAVOLA_AVX2 inline Lanes lowHalf(__m256d v) {
  return _mm256_castpd256_pd128(v);
}

TAVOLA_AVX2 inline Lanes highHalf(__m256d v) {
  return _mm256_extractf128_pd(v, 1);
}

TAVOLA_AVX2 inline QuadCoefficients combine(const LaneCoefficients& low,
                                            const LaneCoefficients& high) {
  return {combine(low.b0, high.b0), combine(low.b1, high.b1), combine(low.b2, high.b2),
          combine(low.a1, high.a1), combine(low.a2, high.a2)};
}

// Writes the high half of v[j] alone.
TAVOLA_AVX2 inline void setHighHalf(__m256d* v, int j, Lanes high) {
  _mm_storeu_pd(reinterpret_cast<double*>(v + j) + 2, high);
}

// biquad() for four lanes.
TAVOLA_AVX2 inline __m256d biquad4(const QuadCoefficients& c, __m256d x0, __m256d x1, __m256d x2,
                                   __m256d y1, __m256d y2) {
  const __m256d guard = _mm256_set1_pd(1e-30);
  __m256d y0 = _mm256_add_pd(_mm256_mul_pd(c.b0, x0), _mm256_mul_pd(c.b1, x1));
  y0 = _mm256_add_pd(y0, _mm256_mul_pd(c.b2, x2));
  y0 = _mm256_sub_pd(y0, _mm256_mul_pd(c.a1, y1));
  y0 = _mm256_sub_pd(y0, _mm256_mul_pd(c.a2, y2));
  return _mm256_sub_pd(_mm256_add_pd(y0, guard), guard);
}

// The outputs the recursions carry from one sample to the next.
struct LaneRecursionsAvx2 {
  __m256d yA1, yA2;  // [low splitter | high splitter], one and two samples back
  __m256d yB1, yB2;  // [mid low-pass | low-cut]
  Lanes yM1, yM2;    // mid high-pass
};

// Where each section's coefficients of sample t are: track[t] while it glides, else its
// target (stride 0).
struct CoefficientSource {
  const LaneCoefficients* at;
  int stride;

  explicit CoefficientSource(const LaneSection& s)
      : at(s.tracked ? s.track : &s.target), stride(s.tracked ? 1 : 0) {}
  const LaneCoefficients& operator[](int t) const { return at[t * stride]; }
};

struct KernelConstants {
  QuadCoefficients splitters;      // without glides
  QuadCoefficients lowPassAndCut;  // without glides
  CoefficientSource lowSplit, highSplit, midLowPass, midHighPass, lowCut;
  __m256d bandMinusOne;  // [lfGain - 1 | hfGain - 1]
  __m256d bandOn;        // [lfOn | hfOn]
  Lanes mfMinusOne, mfOn, out;
};

// Step t of runBandsAvx2(). kLowCutRuns is false for the first kLag steps, which have no
// sample for the low-cut's half of B: that half then keeps its state and writes nothing.
// With kTracked some section glides, and every section's coefficients come from its
// CoefficientSource, the low-cut's those of its own sample t - kLag.
template <bool kLowCutRuns, bool kTracked>
TAVOLA_AVX2 inline __attribute__((always_inline)) void bandStep(LaneRecursionsAvx2& st,
                                                                const KernelConstants& k,
                                                                const __m256d* inA, __m256d* inB,
                                                                Lanes* midIn, int t, int shift,
                                                                Lanes* out) {
  const QuadCoefficients splitters =
      kTracked ? combine(k.lowSplit[t], k.highSplit[t]) : k.splitters;
  const QuadCoefficients lowPassAndCut =
      kTracked ? combine(k.midLowPass[t], k.lowCut[kLowCutRuns ? t - kLag : 0]) : k.lowPassAndCut;
  const __m256d a = biquad4(splitters, inA[t + 2], inA[t + 1], inA[t], st.yA1, st.yA2);
  st.yA2 = st.yA1;
  st.yA1 = a;
  const __m256d b = biquad4(lowPassAndCut, inB[t + 2], inB[t + 1], inB[t], st.yB1, st.yB2);
  if constexpr (kLowCutRuns) {
    st.yB2 = st.yB1;
    st.yB1 = b;
    out[(t - kLag) >> shift] = highHalf(b);
  } else {
    st.yB2 = _mm256_blend_pd(st.yB1, st.yB2, 0b1100);
    st.yB1 = _mm256_blend_pd(b, st.yB1, 0b1100);
  }

  const __m256d xx = inA[t + 2];  // the main sample in both halves
  const Lanes x = lowHalf(xx);
  const Lanes midInput = x - lowHalf(b);
  midIn[t + 2] = midInput;
  const Lanes midPassed =
      biquad(k.midHighPass[t], midInput, midIn[t + 1], midIn[t], st.yM1, st.yM2);
  st.yM2 = st.yM1;
  st.yM1 = midPassed;

  // [lfOn x (x - low) x (lfGain - 1) | hfOn x (x - high) x (hfGain - 1)]
  const __m256d bands =
      _mm256_mul_pd(k.bandOn, _mm256_mul_pd(_mm256_sub_pd(xx, a), k.bandMinusOne));
  const Lanes mid = (midInput - midPassed) * k.mfMinusOne;
  const Lanes y = x + ((lowHalf(bands) + highHalf(bands)) + k.mfOn * mid);
  setHighHalf(inB, kLag + kInputHistory + t, y * k.out);
}

}  // namespace

TAVOLA_AVX2 void trackGlidePairAvx2(LaneSection& first, LaneSection& second, int m) {
  // Roots and increments of both sections side by side: [first | second].
  const LaneRoots& ra = first.roots;
  const LaneRoots& rb = second.roots;
  const LaneRoots& ia = first.increments;
  const LaneRoots& ib = second.increments;
  __m256d z1re = combine(ra.z1re, rb.z1re), z1im = combine(ra.z1im, rb.z1im);
  __m256d z2re = combine(ra.z2re, rb.z2re), z2im = combine(ra.z2im, rb.z2im);
  __m256d p1re = combine(ra.p1re, rb.p1re), p1im = combine(ra.p1im, rb.p1im);
  __m256d p2re = combine(ra.p2re, rb.p2re), p2im = combine(ra.p2im, rb.p2im);
  __m256d k = combine(ra.k, rb.k);
  const __m256d dz1re = combine(ia.z1re, ib.z1re), dz1im = combine(ia.z1im, ib.z1im);
  const __m256d dz2re = combine(ia.z2re, ib.z2re), dz2im = combine(ia.z2im, ib.z2im);
  const __m256d dp1re = combine(ia.p1re, ib.p1re), dp1im = combine(ia.p1im, ib.p1im);
  const __m256d dp2re = combine(ia.p2re, ib.p2re), dp2im = combine(ia.p2im, ib.p2im);
  const __m256d dk = combine(ia.k, ib.k);
  const __m256d sign = _mm256_set1_pd(-0.0);
  for (int t = 0; t < m; ++t) {
    z1re = _mm256_add_pd(z1re, dz1re);
    z1im = _mm256_add_pd(z1im, dz1im);
    z2re = _mm256_add_pd(z2re, dz2re);
    z2im = _mm256_add_pd(z2im, dz2im);
    p1re = _mm256_add_pd(p1re, dp1re);
    p1im = _mm256_add_pd(p1im, dp1im);
    p2re = _mm256_add_pd(p2re, dp2re);
    p2im = _mm256_add_pd(p2im, dp2im);
    k = _mm256_add_pd(k, dk);
    // coefficientsOf(): b1 = -k (z1re + z2re), b2 = k (z1re z2re - z1im z2im),
    // a1 = -(p1re + p2re), a2 = p1re p2re - p1im p2im.
    const __m256d b1 = _mm256_mul_pd(_mm256_xor_pd(k, sign), _mm256_add_pd(z1re, z2re));
    const __m256d b2 =
        _mm256_mul_pd(k, _mm256_sub_pd(_mm256_mul_pd(z1re, z2re), _mm256_mul_pd(z1im, z2im)));
    const __m256d a1 = _mm256_xor_pd(_mm256_add_pd(p1re, p2re), sign);
    const __m256d a2 = _mm256_sub_pd(_mm256_mul_pd(p1re, p2re), _mm256_mul_pd(p1im, p2im));
    first.track[t] = {lowHalf(k), lowHalf(b1), lowHalf(b2), lowHalf(a1), lowHalf(a2)};
    second.track[t] = {highHalf(k), highHalf(b1), highHalf(b2), highHalf(a1), highHalf(a2)};
  }
  first.roots = {lowHalf(z1re), lowHalf(z1im), lowHalf(z2re), lowHalf(z2im), lowHalf(p1re),
                 lowHalf(p1im), lowHalf(p2re), lowHalf(p2im), lowHalf(k)};
  second.roots = {highHalf(z1re), highHalf(z1im), highHalf(z2re), highHalf(z2im), highHalf(p1re),
                  highHalf(p1im), highHalf(p2re), highHalf(p2im), highHalf(k)};
}

TAVOLA_AVX2 void runBandsAvx2(LaneSection* sections, const Lanes* in, int m, int shift,
                              const BandGains& g, Lanes* out) {
  LaneSection& lowSplit = sections[kLowSplitSlot];
  LaneSection& highSplit = sections[kHighSplitSlot];
  LaneSection& midLowPass = sections[kMidLowPassSlot];
  LaneSection& midHighPass = sections[kMidHighPassSlot];
  LaneSection& lowCut = sections[kLowCutSlot];

  const QuadCoefficients splitters = combine(lowSplit.target, highSplit.target);
  const QuadCoefficients lowPassAndCut = combine(midLowPass.target, lowCut.target);

  // Both splitters' inputs, indexed by t + 2 as in SectionInput.
  __m256d inA[kInputHistory + 2 * kFastMaxSamples];
  inA[0] = combine(lowSplit.input[0], highSplit.input[0]);
  inA[1] = combine(lowSplit.input[1], highSplit.input[1]);
  for (int t = 0; t < m; ++t) inA[t + kInputHistory] = combine(in[t], in[t]);
  // B's input: the mid low-pass's in the low half, behind its own history; in the high half
  // the low-cut's, sample s at inB[kLag + 2 + s], behind its two last inputs, so that B takes
  // sample t - kLag at step t from inB[t .. t + 2]. The first kLag steps have no sample for the
  // low-cut's half, which reads zeros there and keeps its state. A sample is written into its
  // half kLag steps before it is read whole, long enough for the store to have left the store
  // buffer (a wide load cannot take its value from a narrower store still there).
  const Lanes zero = {0.0, 0.0};
  __m256d inB[kLag + kInputHistory + 2 * kFastMaxSamples];
  inB[0] = combine(midLowPass.input[0], zero);
  inB[1] = combine(midLowPass.input[1], zero);
  for (int t = 0; t < m; ++t) inB[t + kInputHistory] = combine(in[t], zero);
  for (int j = m + kInputHistory; j < m + kInputHistory + kLag; ++j) inB[j] = combine(zero, zero);
  setHighHalf(inB, kLag, lowCut.input[0]);
  setHighHalf(inB, kLag + 1, lowCut.input[1]);
  // The mid high-pass's input, indexed by t + 2 as in SectionInput.
  Lanes* const midIn = midHighPass.input;

  LaneRecursionsAvx2 st = {combine(lowSplit.outputs.y1, highSplit.outputs.y1),
                           combine(lowSplit.outputs.y2, highSplit.outputs.y2),
                           combine(midLowPass.outputs.y1, lowCut.outputs.y1),
                           combine(midLowPass.outputs.y2, lowCut.outputs.y2),
                           midHighPass.outputs.y1,
                           midHighPass.outputs.y2};
  const KernelConstants k = {splitters,
                             lowPassAndCut,
                             CoefficientSource(lowSplit),
                             CoefficientSource(highSplit),
                             CoefficientSource(midLowPass),
                             CoefficientSource(midHighPass),
                             CoefficientSource(lowCut),
                             combine(g.lfMinusOne, g.hfMinusOne),
                             combine(g.lfOn, g.hfOn),
                             g.mfMinusOne,
                             g.mfOn,
                             g.out};
  const bool tracked = lowSplit.tracked || highSplit.tracked || midLowPass.tracked ||
                       midHighPass.tracked || lowCut.tracked;
  const int lagged = m < kLag ? m : kLag;
  if (tracked) {
    for (int t = 0; t < lagged; ++t) bandStep<false, true>(st, k, inA, inB, midIn, t, shift, out);
    for (int t = lagged; t < m; ++t) bandStep<true, true>(st, k, inA, inB, midIn, t, shift, out);
  } else {
    for (int t = 0; t < lagged; ++t) bandStep<false, false>(st, k, inA, inB, midIn, t, shift, out);
    for (int t = lagged; t < m; ++t) bandStep<true, false>(st, k, inA, inB, midIn, t, shift, out);
  }
  const __m256d yA1 = st.yA1;
  const __m256d yA2 = st.yA2;
  const __m256d yB1 = st.yB1;
  const __m256d yB2 = st.yB2;
  const Lanes yM1 = st.yM1;
  const Lanes yM2 = st.yM2;

  // The low-cut's last samples, which B's half has not reached.
  Lanes lowCutY1 = highHalf(yB1);
  Lanes lowCutY2 = highHalf(yB2);
  for (int s = m > kLag ? m - kLag : 0; s < m; ++s) {
    const __m256d* const x = inB + kLag + s;  // x[2] holds sample s
    const Lanes y =
        biquad(k.lowCut[s], highHalf(x[2]), highHalf(x[1]), highHalf(x[0]), lowCutY1, lowCutY2);
    lowCutY2 = lowCutY1;
    lowCutY1 = y;
    out[s >> shift] = y;
  }

  // The splitters' last two inputs, for their write-back.
  for (int j = m; j < m + kInputHistory; ++j) {
    lowSplit.input[j] = lowHalf(inA[j]);
    highSplit.input[j] = highHalf(inA[j]);
    midLowPass.input[j] = lowHalf(inB[j]);
  }
  lowSplit.outputs = {lowHalf(yA1), lowHalf(yA2)};
  highSplit.outputs = {highHalf(yA1), highHalf(yA2)};
  midLowPass.outputs = {lowHalf(yB1), lowHalf(yB2)};
  midHighPass.outputs = {yM1, yM2};
  lowCut.outputs = {lowCutY1, lowCutY2};
  lowCut.input[m + 1] = highHalf(inB[kLag + m + 1]);
  lowCut.input[m] = highHalf(inB[kLag + m]);
}

#undef TAVOLA_AVX2

#else

void trackGlidePairAvx2(LaneSection&, LaneSection&, int) {}
void runBandsAvx2(LaneSection*, const Lanes*, int, int, const BandGains&, Lanes*) {}

#endif

}  // namespace tavola::lanes
