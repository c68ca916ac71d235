#include "effect/signal/SignalPathFastBands.h"

#include <algorithm>

#include "effect/signal/SignalPathFastKernels.h"
#include "effect/signal/SignalPathFastLanes.h"

namespace tavola {

using namespace lanes;

namespace {

// With EQ off only the low-cut runs; the bands are the main signal itself and add what the
// reference's sum of their differences adds (zeros, whose signs can still matter).
void lowCutOnly(LaneSection& lowCut, const Lanes* in, int m, int shift, const BandGains& g,
                Lanes* out) {
  Lanes* const lowCutIn = lowCut.input;  // sample t at lowCutIn[t + 2]
  Lanes y1 = lowCut.outputs.y1;
  Lanes y2 = lowCut.outputs.y2;
  for (int t = 0; t < m; ++t) {
    const Lanes x = in[t];
    const Lanes midInput = x - x;
    const Lanes mid = (midInput - midInput) * g.mfMinusOne;
    const Lanes lowBand = (x - x) * g.lfMinusOne;
    const Lanes highBand = (x - x) * g.hfMinusOne;
    const Lanes sum = x + ((g.lfOn * lowBand + g.hfOn * highBand) + g.mfOn * mid);
    lowCutIn[t + 2] = sum * g.out;
    const LaneCoefficients& c = lowCut.tracked ? lowCut.track[t] : lowCut.target;
    const Lanes y = biquad(c, lowCutIn[t + 2], lowCutIn[t + 1], lowCutIn[t], y1, y2);
    y2 = y1;
    y1 = y;
    out[t >> shift] = y;
  }
  lowCut.outputs = {y1, y2};
}

// processFrame() leaves the samples alone in these cases; the kernel always filters.
bool passesThrough(const Filter& f) {
  return f.getType() == Filter::kOff || (f.getStatus() == 0 && f.glideRemaining() == 0);
}

}  // namespace

bool bandsRunFast(const FastBandSections& sections, int channels, bool eqOn) {
  Filter* const* const pairs[kSlots] = {sections.lowSplit, sections.highSplit, sections.midLowPass,
                                        sections.midHighPass, sections.lowCut};
  // With EQ off only the low-cut runs.
  for (int slot = eqOn ? 0 : kLowCutSlot; slot < kSlots; ++slot)
    for (int c = 0; c < channels; ++c)
      if (passesThrough(*pairs[slot][c])) return false;
  return true;
}

void processBandsFast(const FastBandSections& sections, int channels, const FastBandInput& input,
                      int m, bool decimate, const SubBlockSettings& settings, double outGain,
                      const FastKernels& kernels, BandWork& work, Lanes* out) {
  Filter* const* const pairs[kSlots] = {sections.lowSplit, sections.highSplit, sections.midLowPass,
                                        sections.midHighPass, sections.lowCut};
  // With EQ off only the low-cut runs, and only its state may change.
  const int firstSlot = settings.eqOn ? 0 : kLowCutSlot;
  LaneSection* const lanes = work.sections;
  const int second = channels == 2 ? 1 : 0;
  for (int slot = firstSlot; slot < kSlots; ++slot) {
    lanes[slot].load(*pairs[slot][0], *pairs[slot][second], m);
    if (lanes[slot].tracked) trackGlide(lanes[slot], m);
  }

  const int shift = decimate ? 1 : 0;
  const BandGains gains = {both(settings.lfGain - 1.0),
                           both(settings.mfGain - 1.0),
                           both(settings.hfGain - 1.0),
                           both(settings.lfOn),
                           both(settings.mfOn),
                           both(settings.hfOn),
                           both(outGain)};
  if (input.chunk)
    kernels.upsampledBands(work, *input.chunk, m / 2, gains, out);
  else if (settings.eqOn)
    kernels.bands(work, input.samples, m, shift, gains, out);
  else
    lowCutOnly(lanes[kLowCutSlot], input.samples, m, shift, gains, out);

  for (int slot = firstSlot; slot < kSlots; ++slot)
    for (int c = 0; c < channels; ++c) lanes[slot].store(*pairs[slot][c], c, m);
}

}  // namespace tavola
