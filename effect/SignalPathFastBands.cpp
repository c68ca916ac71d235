#include "effect/SignalPathFastBands.h"

#include "effect/SignalPathFastLanes.h"

#include <algorithm>
#include <utility>

namespace tavola {

using namespace lanes;

namespace {

// The coefficients of sample t: the track's while the section glides, else the target.
template <bool kTracked>
inline const LaneCoefficients& coefficientsAt(const LaneSection& s, const LaneCoefficients& target,
                                              int t) {
  return kTracked && s.tracked ? s.track[t] : target;
}

// One output of each section: the last (or the one before) of every recursion.
struct LaneRecursions {
  Lanes lowSplit, highSplit, midLowPass, midHighPass, lowCut;
};

// The sub-block's m samples through every stage. The splitters' input buffers already hold
// the main signal; the mid high-pass's and the low-cut's are filled here as their inputs are
// computed.
// Coefficients and last outputs are held in locals, so that no store can force them back to
// memory, and the samples go in pairs: the first of a pair overwrites the outputs from two
// samples back with its own, the second the others, so no output is ever moved.
template <bool kEqOn, bool kTracked>
void runBands(LaneSection* sections, int m, int shift, const BandGains& g, Lanes* __restrict out) {
  // With EQ off only the low-cut slot is loaded; the others then name it too, unused.
  LaneSection& lowSplit = sections[kEqOn ? kLowSplitSlot : kLowCutSlot];
  LaneSection& highSplit = sections[kEqOn ? kHighSplitSlot : kLowCutSlot];
  LaneSection& midLowPass = sections[kEqOn ? kMidLowPassSlot : kLowCutSlot];
  LaneSection& midHighPass = sections[kEqOn ? kMidHighPassSlot : kLowCutSlot];
  LaneSection& lowCut = sections[kLowCutSlot];
  const LaneCoefficients lowSplitTarget = lowSplit.target;
  const LaneCoefficients highSplitTarget = highSplit.target;
  const LaneCoefficients midLowPassTarget = midLowPass.target;
  const LaneCoefficients midHighPassTarget = midHighPass.target;
  const LaneCoefficients lowCutTarget = lowCut.target;
  // Indexed by t + 2: [t] is two samples back, [t + 1] one.
  const Lanes* const lowSplitIn = lowSplit.input;
  const Lanes* const highSplitIn = highSplit.input;
  const Lanes* const midLowPassIn = midLowPass.input;
  Lanes* const midHighPassIn = midHighPass.input;
  Lanes* const lowCutIn = lowCut.input;
  // With EQ off the main signal comes from the low-cut's own buffer (see processBandsFast).
  const Lanes* const mainIn = kEqOn ? lowSplitIn : lowCutIn;

  // Sample t with y1 the outputs one sample back and y2 two back; y2 receives sample t's.
  auto sample = [&](int t, const LaneRecursions& y1, LaneRecursions& y2) {
    const Lanes x = mainIn[t + 2];
    // With EQ off the splitters do not run: each band is the main signal itself.
    Lanes low = x;
    Lanes high = x;
    Lanes lowPassed = x;
    if constexpr (kEqOn) {
      y2.lowSplit = biquad(coefficientsAt<kTracked>(lowSplit, lowSplitTarget, t), x,
                           lowSplitIn[t + 1], lowSplitIn[t], y1.lowSplit, y2.lowSplit);
      y2.highSplit = biquad(coefficientsAt<kTracked>(highSplit, highSplitTarget, t), x,
                            highSplitIn[t + 1], highSplitIn[t], y1.highSplit, y2.highSplit);
      y2.midLowPass = biquad(coefficientsAt<kTracked>(midLowPass, midLowPassTarget, t), x,
                             midLowPassIn[t + 1], midLowPassIn[t], y1.midLowPass, y2.midLowPass);
      low = y2.lowSplit;
      high = y2.highSplit;
      lowPassed = y2.midLowPass;
    }
    const Lanes midInput = x - lowPassed;
    Lanes midPassed = midInput;
    if constexpr (kEqOn) {
      midHighPassIn[t + 2] = midInput;
      y2.midHighPass =
          biquad(coefficientsAt<kTracked>(midHighPass, midHighPassTarget, t), midInput,
                 midHighPassIn[t + 1], midHighPassIn[t], y1.midHighPass, y2.midHighPass);
      midPassed = y2.midHighPass;
    }
    const Lanes mid = (midInput - midPassed) * g.mfMinusOne;
    const Lanes lowBand = (x - low) * g.lfMinusOne;
    const Lanes highBand = (x - high) * g.hfMinusOne;
    Lanes y = x + ((g.lfOn * lowBand + g.hfOn * highBand) + g.mfOn * mid);
    y = y * g.out;
    const Lanes lowCutX1 = lowCutIn[t + 1];
    const Lanes lowCutX2 = lowCutIn[t];
    lowCutIn[t + 2] = y;
    y2.lowCut = biquad(coefficientsAt<kTracked>(lowCut, lowCutTarget, t), y, lowCutX1, lowCutX2,
                       y1.lowCut, y2.lowCut);
    out[t >> shift] = y2.lowCut;
  };

  LaneRecursions a = {lowSplit.outputs.y1, highSplit.outputs.y1, midLowPass.outputs.y1,
                      midHighPass.outputs.y1, lowCut.outputs.y1};
  LaneRecursions b = {lowSplit.outputs.y2, highSplit.outputs.y2, midLowPass.outputs.y2,
                      midHighPass.outputs.y2, lowCut.outputs.y2};
  int t = 0;
  for (; t + 1 < m; t += 2) {
    sample(t, a, b);
    sample(t + 1, b, a);
  }
  if (t < m) {
    sample(t, a, b);
    std::swap(a, b);
  }

  if constexpr (kEqOn) {
    lowSplit.outputs = {a.lowSplit, b.lowSplit};
    highSplit.outputs = {a.highSplit, b.highSplit};
    midLowPass.outputs = {a.midLowPass, b.midLowPass};
    midHighPass.outputs = {a.midHighPass, b.midHighPass};
  }
  lowCut.outputs = {a.lowCut, b.lowCut};
}

template <bool kEqOn>
void runBands(bool tracked, LaneSection* sections, int m, int shift, const BandGains& g,
              Lanes* out) {
  if (tracked)
    runBands<kEqOn, true>(sections, m, shift, g, out);
  else
    runBands<kEqOn, false>(sections, m, shift, g, out);
}

// processFrame() leaves the samples alone in these cases; the kernel always filters.
bool passesThrough(const Filter& f) {
  return f.getType() == Filter::kOff || (f.getStatus() == 0 && f.glideRemaining() == 0);
}

}  // namespace

bool processBandsFast(const FastBandSections& sections, int channels, const Lanes* in, int m,
                      bool decimate, const SubBlockSettings& settings, double outGain,
                      FastInstructionSet instructionSet, Lanes* out) {
  Filter* const* const pairs[kSlots] = {sections.lowSplit, sections.highSplit, sections.midLowPass,
                                        sections.midHighPass, sections.lowCut};
  // With EQ off only the low-cut runs, and only its state may change.
  const int firstSlot = settings.eqOn ? 0 : kLowCutSlot;
  for (int slot = firstSlot; slot < kSlots; ++slot)
    for (int c = 0; c < channels; ++c)
      if (passesThrough(*pairs[slot][c])) return false;

  LaneSection lanes[kSlots];
  const int second = channels == 2 ? 1 : 0;
  for (int slot = firstSlot; slot < kSlots; ++slot)
    lanes[slot].load(*pairs[slot][0], *pairs[slot][second], m);

  const BandGains gains = {both(settings.lfGain - 1.0),
                           both(settings.mfGain - 1.0),
                           both(settings.hfGain - 1.0),
                           both(settings.lfOn),
                           both(settings.mfOn),
                           both(settings.hfOn),
                           both(outGain)};
  const int shift = decimate ? 1 : 0;

  bool tracked = false;
  bool trackedAlready[kSlots] = {};
  if (instructionSet == FastInstructionSet::kAvx2) {
    // Sections whose every lane glides through the whole sub-block go in pairs.
    int waiting = -1;
    for (int slot = firstSlot; slot < kSlots; ++slot) {
      const LaneSection& section = lanes[slot];
      if (section.glideSamples[0] != m || section.glideSamples[1] != m) continue;
      if (waiting < 0) {
        waiting = slot;
        continue;
      }
      trackGlidePairAvx2(lanes[waiting], lanes[slot], m);
      trackedAlready[waiting] = trackedAlready[slot] = true;
      waiting = -1;
    }
  }
  for (int slot = firstSlot; slot < kSlots; ++slot) {
    if (!lanes[slot].tracked) continue;
    if (!trackedAlready[slot]) trackGlide(lanes[slot], m);
    tracked = true;
  }
  if (instructionSet == FastInstructionSet::kAvx2 && settings.eqOn) {
    runBandsAvx2(lanes, in, m, shift, gains, out);
  } else {
    // The splitters read the main signal from their own buffers, behind their own histories;
    // with EQ off the kernel reads it from the low-cut's buffer, ahead of where it writes.
    if (settings.eqOn) {
      for (int slot : {kLowSplitSlot, kHighSplitSlot, kMidLowPassSlot})
        std::copy(in, in + m, lanes[slot].input + kInputHistory);
    } else {
      std::copy(in, in + m, lanes[kLowCutSlot].input + kInputHistory);
    }
    if (settings.eqOn)
      runBands<true>(tracked, lanes, m, shift, gains, out);
    else
      runBands<false>(tracked, lanes, m, shift, gains, out);
  }

  for (int slot = firstSlot; slot < kSlots; ++slot)
    for (int c = 0; c < channels; ++c) lanes[slot].store(*pairs[slot][c], c, m);
  return true;
}

}  // namespace tavola
