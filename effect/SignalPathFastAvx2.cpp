// Compiled with the rest of the plug-in's flags: only the functions marked for AVX2 contain
// AVX2 instructions, so nothing the rest of the code shares (inline functions from headers)
// can come out in a form that an older processor cannot run.

#include "effect/SignalPathFastAvx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tavola {

void fillQuadTaps(const double* taps, double* quadTaps) {
  for (int k = 0; k < FastUpSampler::kPairs; k += 2) {
    double* const q = quadTaps + 2 * k;
    q[0] = q[1] = taps[2 * k];
    q[2] = q[3] = taps[2 * k + 2];
  }
}

#if defined(__x86_64__) || defined(__i386__)

namespace {

#define TAVOLA_AVX2 __attribute__((target("avx2")))

// max as the reference takes it, v > e ? v : e per lane: vmaxpd returns its second operand
// when the first is not greater (NaN included).
TAVOLA_AVX2 inline __m256d laneMax(__m256d v, __m256d e) {
  return _mm256_max_pd(v, e);
}

// The maximum of the lanes of e0 and e1; no lane holds a NaN, so the order does not matter.
TAVOLA_AVX2 inline double lanesMax(__m256d e0, __m256d e1) {
  const __m256d e01 = _mm256_max_pd(e0, e1);
  const __m128d e2 = _mm_max_pd(_mm256_castpd256_pd128(e01), _mm256_extractf128_pd(e01, 1));
  return _mm_cvtsd_f64(_mm_max_sd(e2, _mm_unpackhi_pd(e2, e2)));
}

// saturateAvx2() for a window of kSteps x 8 entries, held in registers throughout.
template <int kSteps>
TAVOLA_AVX2 void saturateShortWindowAvx2(const double* window, int length, const double* magnitude,
                                         const double* delay, int start, int n, double* out) {
  constexpr int kRing = FastSaturator::kRing;
  constexpr int kQuads = 2 * kSteps;
  const int half = length / 2;
  __m256d w[kQuads];
  for (int j = 0; j < kQuads; ++j) w[j] = _mm256_loadu_pd(window + 4 * j);
  int i = 0;
  // Two samples at a time, for independent chains of maxima.
  for (; i + 1 < n; i += 2) {
    const int p = (start + i) & (kRing - 1);
    const int q = (p + 1) & (kRing - 1);
    const double* const first = magnitude + p + kRing - (length - 1);
    const double* const second = magnitude + q + kRing - (length - 1);
    __m256d a0 = _mm256_setzero_pd();
    __m256d a1 = _mm256_setzero_pd();
    __m256d b0 = _mm256_setzero_pd();
    __m256d b1 = _mm256_setzero_pd();
    for (int j = 0; j < kQuads; j += 2) {
      a0 = laneMax(_mm256_mul_pd(w[j], _mm256_loadu_pd(first + 4 * j)), a0);
      a1 = laneMax(_mm256_mul_pd(w[j + 1], _mm256_loadu_pd(first + 4 * j + 4)), a1);
      b0 = laneMax(_mm256_mul_pd(w[j], _mm256_loadu_pd(second + 4 * j)), b0);
      b1 = laneMax(_mm256_mul_pd(w[j + 1], _mm256_loadu_pd(second + 4 * j + 4)), b1);
    }
    out[i] = saturatorGain(lanesMax(a0, a1)) * delay[(p - half + kRing) & (kRing - 1)];
    out[i + 1] = saturatorGain(lanesMax(b0, b1)) * delay[(q - half + kRing) & (kRing - 1)];
  }
  if (i < n) {
    const int p = (start + i) & (kRing - 1);
    const double* const oldest = magnitude + p + kRing - (length - 1);
    __m256d e0 = _mm256_setzero_pd();
    __m256d e1 = _mm256_setzero_pd();
    for (int j = 0; j < kQuads; j += 2) {
      e0 = laneMax(_mm256_mul_pd(w[j], _mm256_loadu_pd(oldest + 4 * j)), e0);
      e1 = laneMax(_mm256_mul_pd(w[j + 1], _mm256_loadu_pd(oldest + 4 * j + 4)), e1);
    }
    out[i] = saturatorGain(lanesMax(e0, e1)) * delay[(p - half + kRing) & (kRing - 1)];
  }
}

}  // namespace

TAVOLA_AVX2 void upsampleChunkAvx2(const Lanes* history, const Lanes* reversed,
                                   const double* quadTaps, Lanes centre, int count, bool mono,
                                   Lanes* out) {
  const double* const h = reinterpret_cast<const double*>(history);
  for (int i = 0; i < count; ++i) {
    // Stereo samples as doubles, two per sample: x[i-1-k] at newer + 2k, x[i-64+k] at older + 2k.
    const double* const newer =
        reinterpret_cast<const double*>(reversed + FastUpSampler::kChunk - i);
    const double* const older = h + 2 * i;
    // Lanes 0-1 and 2-3 of `low` hold the partial sums s0 and s1, those of `high` s2 and s3:
    // pair k goes to s[k mod 4], each sum from 0.0 in increasing k.
    __m256d low = _mm256_setzero_pd();
    __m256d high = _mm256_setzero_pd();
    for (int k = 0; k < FastUpSampler::kPairs; k += 4) {
      const __m256d pairsLow =
          _mm256_add_pd(_mm256_loadu_pd(newer + 2 * k), _mm256_loadu_pd(older + 2 * k));
      const __m256d pairsHigh =
          _mm256_add_pd(_mm256_loadu_pd(newer + 2 * (k + 2)), _mm256_loadu_pd(older + 2 * (k + 2)));
      low = _mm256_add_pd(low, _mm256_mul_pd(_mm256_loadu_pd(quadTaps + 2 * k), pairsLow));
      high = _mm256_add_pd(high, _mm256_mul_pd(_mm256_loadu_pd(quadTaps + 2 * k + 4), pairsHigh));
    }
    // (s0 + s1) + (s2 + s3)
    const __m128d s01 = _mm_add_pd(_mm256_castpd256_pd128(low), _mm256_extractf128_pd(low, 1));
    const __m128d s23 = _mm_add_pd(_mm256_castpd256_pd128(high), _mm256_extractf128_pd(high, 1));
    __m128d even = _mm_add_pd(s01, s23);
    const __m128d centreLanes = centre;
    __m128d odd = _mm_mul_pd(centreLanes,
                             _mm_loadu_pd(h + 2 * (FastUpSampler::kHistory - kUpsamplerDelay + i)));
    if (mono) {
      even = _mm_unpacklo_pd(even, even);
      odd = _mm_unpacklo_pd(odd, odd);
    }
    _mm_storeu_pd(reinterpret_cast<double*>(out + 2 * i), even);
    _mm_storeu_pd(reinterpret_cast<double*>(out + 2 * i + 1), odd);
  }
}

TAVOLA_AVX2 void saturateAvx2(const double* window, int length, int padded, const double* magnitude,
                              const double* delay, int start, int n, double* out) {
  // Windows up to 40 entries (host rates below 61 500 Hz) stay in registers.
  switch (padded / 8) {
    case 1:
      return saturateShortWindowAvx2<1>(window, length, magnitude, delay, start, n, out);
    case 2:
      return saturateShortWindowAvx2<2>(window, length, magnitude, delay, start, n, out);
    case 3:
      return saturateShortWindowAvx2<3>(window, length, magnitude, delay, start, n, out);
    case 4:
      return saturateShortWindowAvx2<4>(window, length, magnitude, delay, start, n, out);
    case 5:
      return saturateShortWindowAvx2<5>(window, length, magnitude, delay, start, n, out);
    default:
      break;
  }
  constexpr int kRing = FastSaturator::kRing;
  const int half = length / 2;
  auto oldestOf = [&](int p) { return magnitude + p + kRing - (length - 1); };
  int i = 0;
  // Two samples at a time, each window load serving both.
  for (; i + 1 < n; i += 2) {
    const int p = (start + i) & (kRing - 1);
    const int q = (p + 1) & (kRing - 1);
    const double* const first = oldestOf(p);
    const double* const second = oldestOf(q);
    __m256d a0 = _mm256_setzero_pd();
    __m256d a1 = _mm256_setzero_pd();
    __m256d b0 = _mm256_setzero_pd();
    __m256d b1 = _mm256_setzero_pd();
    for (int j = 0; j < padded; j += 8) {
      const __m256d w0 = _mm256_loadu_pd(window + j);
      const __m256d w1 = _mm256_loadu_pd(window + j + 4);
      a0 = laneMax(_mm256_mul_pd(w0, _mm256_loadu_pd(first + j)), a0);
      a1 = laneMax(_mm256_mul_pd(w1, _mm256_loadu_pd(first + j + 4)), a1);
      b0 = laneMax(_mm256_mul_pd(w0, _mm256_loadu_pd(second + j)), b0);
      b1 = laneMax(_mm256_mul_pd(w1, _mm256_loadu_pd(second + j + 4)), b1);
    }
    out[i] = saturatorGain(lanesMax(a0, a1)) * delay[(p - half + kRing) & (kRing - 1)];
    out[i + 1] = saturatorGain(lanesMax(b0, b1)) * delay[(q - half + kRing) & (kRing - 1)];
  }
  for (; i < n; ++i) {
    const int p = (start + i) & (kRing - 1);
    const double* const oldest = oldestOf(p);
    __m256d e0 = _mm256_setzero_pd();
    __m256d e1 = _mm256_setzero_pd();
    for (int j = 0; j < padded; j += 8) {
      e0 = laneMax(_mm256_mul_pd(_mm256_loadu_pd(window + j), _mm256_loadu_pd(oldest + j)), e0);
      e1 = laneMax(_mm256_mul_pd(_mm256_loadu_pd(window + j + 4), _mm256_loadu_pd(oldest + j + 4)),
                   e1);
    }
    out[i] = saturatorGain(lanesMax(e0, e1)) * delay[(p - half + kRing) & (kRing - 1)];
  }
}

#undef TAVOLA_AVX2

#else

// Not an x86 processor: widestFastInstructionSet() never reports AVX2, so these never run.
void upsampleChunkAvx2(const Lanes*, const Lanes*, const double*, Lanes, int, bool, Lanes*) {}
void saturateAvx2(const double*, int, int, const double*, const double*, int, int, double*) {}

#endif

}  // namespace tavola
