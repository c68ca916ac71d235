// The loop of SignalPathFastLoop.h compiled once per instruction set. The plug-in's usual
// flags hold for the whole file: only the functions marked for AVX2 contain AVX2
// instructions, so nothing shared with the rest of the code (inline functions from headers)
// can come out in a form that an older processor cannot run.

#include "effect/signal/SignalPathFastKernels.h"

#include "effect/signal/SignalPathFastLoop.h"

namespace tavola {
namespace {

#if defined(__x86_64__) || defined(__i386__)
#define TAVOLA_AVX2 __attribute__((target("avx2")))
#define TAVOLA_HAS_AVX2 1
#else
#define TAVOLA_AVX2
#define TAVOLA_HAS_AVX2 0
#endif

template <class Wide>
TAVOLA_LANES_INLINE void saturateAny(const double* window, int length, int padded,
                                     const double* magnitude, const double* delay, int start, int n,
                                     double* out) {
  // Windows up to 40 entries (host rates below 61 500 Hz) stay in registers.
  switch (padded / 8) {
    case 1:
      return loop::saturate<Wide, 1>(window, length, padded, magnitude, delay, start, n, out);
    case 2:
      return loop::saturate<Wide, 2>(window, length, padded, magnitude, delay, start, n, out);
    case 3:
      return loop::saturate<Wide, 3>(window, length, padded, magnitude, delay, start, n, out);
    case 4:
      return loop::saturate<Wide, 4>(window, length, padded, magnitude, delay, start, n, out);
    case 5:
      return loop::saturate<Wide, 5>(window, length, padded, magnitude, delay, start, n, out);
    default:
      return loop::saturate<Wide, 0>(window, length, padded, magnitude, delay, start, n, out);
  }
}

// The entry points of each instruction set: the same loop, compiled for it.
void upsampleChunkSse2(const lanes::UpsampleChunk& chunk, int count, Lanes* out) {
  loop::upsampleChunk<lanes::Pair>(chunk, count, out);
}
void saturateSse2(const double* window, int length, int padded, const double* magnitude,
                  const double* delay, int start, int n, double* out) {
  saturateAny<lanes::Pair>(window, length, padded, magnitude, delay, start, n, out);
}
void bandsSse2(lanes::BandWork& work, const Lanes* in, int m, int shift,
               const lanes::BandGains& gains, Lanes* out) {
  loop::bands<lanes::Pair>(work, loop::BufferedInput{in}, m, shift, gains, out);
}
void upsampledBandsSse2(lanes::BandWork& work, const lanes::UpsampleChunk& chunk, int n,
                        const lanes::BandGains& gains, Lanes* out) {
  loop::bands<lanes::Pair>(work, loop::UpsampledInput<lanes::Pair>(chunk, n), 2 * n, 1, gains, out);
}
constexpr FastKernels kSse2Kernels = {upsampleChunkSse2, saturateSse2, bandsSse2,
                                      upsampledBandsSse2};

#if TAVOLA_HAS_AVX2
TAVOLA_AVX2 void upsampleChunkAvx2(const lanes::UpsampleChunk& chunk, int count, Lanes* out) {
  loop::upsampleChunk<lanes::Quad>(chunk, count, out);
}
TAVOLA_AVX2 void saturateAvx2(const double* window, int length, int padded, const double* magnitude,
                              const double* delay, int start, int n, double* out) {
  saturateAny<lanes::Quad>(window, length, padded, magnitude, delay, start, n, out);
}
TAVOLA_AVX2 void bandsAvx2(lanes::BandWork& work, const Lanes* in, int m, int shift,
                           const lanes::BandGains& gains, Lanes* out) {
  loop::bands<lanes::Quad>(work, loop::BufferedInput{in}, m, shift, gains, out);
}
TAVOLA_AVX2 void upsampledBandsAvx2(lanes::BandWork& work, const lanes::UpsampleChunk& chunk, int n,
                                    const lanes::BandGains& gains, Lanes* out) {
  loop::bands<lanes::Quad>(work, loop::UpsampledInput<lanes::Quad>(chunk, n), 2 * n, 1, gains, out);
}
constexpr FastKernels kAvx2Kernels = {upsampleChunkAvx2, saturateAvx2, bandsAvx2,
                                      upsampledBandsAvx2};
#endif

}  // namespace

const FastKernels& fastKernelsFor(FastInstructionSet set) {
#if TAVOLA_HAS_AVX2
  if (set == FastInstructionSet::kAvx2 && widestFastInstructionSet() == FastInstructionSet::kAvx2)
    return kAvx2Kernels;
#endif
  (void)set;
  return kSse2Kernels;
}

}  // namespace tavola
