// Processing entries, the loop that cuts the host's blocks into sub-blocks, and the band
// updates that retune the filter sections.

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "effect/SampleChecks.h"
#include "effect/Tavola.h"

using namespace tavola;

namespace {

constexpr auto kRelaxed = std::memory_order_relaxed;
constexpr double kPeakCap = 4.0;

}  // namespace

void Tavola::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (secondInputConnected_.load(kRelaxed) && isStereoIn())
    processLoopFast(inputs, outputs, sampleFrames);
  else
    processLoopFastMono(inputs, outputs, sampleFrames);
}

void Tavola::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (secondInputConnected_.load(kRelaxed) && isStereoIn())
    processLoopFastDouble(inputs, outputs, sampleFrames);
  else
    processLoopFastDoubleMono(inputs, outputs, sampleFrames);
}

void Tavola::processLoopFast(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processLoop<float, 2>(inputs, outputs, sampleFrames);
}

void Tavola::processLoopFastDouble(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processLoop<double, 2>(inputs, outputs, sampleFrames);
}

void Tavola::processLoopFastMono(float** inputs, float** outputs, VstInt32 sampleFrames) {
  processLoop<float, 1>(inputs, outputs, sampleFrames);
}

void Tavola::processLoopFastDoubleMono(double** inputs, double** outputs, VstInt32 sampleFrames) {
  processLoop<double, 1>(inputs, outputs, sampleFrames);
}

void Tavola::updateLowCut() {
  signalPath_->updateLowCut(bandSettings());
}
void Tavola::updateLowShelf() {
  signalPath_->updateLowShelf(bandSettings());
}
void Tavola::updateMid() {
  signalPath_->updateMid(bandSettings());
}
void Tavola::updateHighShelf() {
  signalPath_->updateHighShelf(bandSettings());
}

void Tavola::applyPendingBandUpdates() {
  // A plain load first: the exchange is a locked instruction, which is worth its cost only
  // when there is something to take.
  if (pendingBands_.load(kRelaxed) == 0) return;
  const unsigned pending = pendingBands_.exchange(0, std::memory_order_acquire);
  if (pending == 0) return;
  if (pending & bandBit(Band::kLowCut)) updateLowCut();
  if (pending & bandBit(Band::kLowShelf)) updateLowShelf();
  if (pending & bandBit(Band::kMid)) updateMid();
  if (pending & bandBit(Band::kHighShelf)) updateHighShelf();
}

// One loop for both sample types and both channel counts. The input of each sub-block is
// read whole before any output of it is written, so the host may pass the same buffers for
// input and output.
template <typename Sample, int Channels>
void Tavola::processLoop(Sample** inputs, Sample** outputs, VstInt32 sampleFrames) {
  if (sampleFrames < 1) {
    meters_.peakLevel.store(0.0, kRelaxed);
    return;
  }
  const bool secondOutput = secondOutputConnected_.load(kRelaxed) && isStereoOut();
  constexpr int kSub = SignalPath::kSubBlock;
  double(&input)[2][kSub + 1] = subBlockInput_;
  double(&result)[2][kSub] = subBlockResult_;
  double* inputRows[2] = {input[0], input[1]};
  double* resultRows[2] = {result[0], result[1]};
  double peak[2] = {0.0, 0.0};

  auto write = [&](VstInt32 at, double first, double second) {
    if (Channels == 2 && !secondOutput) {
      // Both results go to the first output, the first channel's last.
      outputs[0][at] = static_cast<Sample>(second);
      outputs[0][at] = static_cast<Sample>(first);
    } else {
      outputs[0][at] = static_cast<Sample>(first);
      if (secondOutput) outputs[1][at] = static_cast<Sample>(second);
    }
  };

  // One sub-block of `count` frames from `position` on; returns how many frames it used. Full
  // sub-blocks, the common case, take a count known when compiling, so that the copying and
  // checking loops have a fixed length.
  auto subBlock = [&](VstInt32 position, auto count) -> int {
    // A sample that is not a number (or infinite) would stay in the recursive sections for
    // good. The sub-block up to the last such sample is dropped to silence and the signal
    // path starts afresh right after it, exactly as a resume would leave it.
    bool anyBad = false;
    for (int c = 0; c < Channels; ++c) anyBad = anyBad | anyNonFinite(inputs[c] + position, count);
    if (anyBad) {
      int lastBad = -1;
      for (int c = 0; c < Channels; ++c)
        for (int i = 0; i < count; ++i)
          if (!std::isfinite(static_cast<double>(inputs[c][position + i])))
            lastBad = std::max(lastBad, i);
      for (int i = 0; i <= lastBad; ++i) write(position + i, 0.0, 0.0);
      restartSignalPath();
      return lastBad + 1;
    }

    applyPendingBandUpdates();
    const SubBlockSettings settings = subBlockSettings();

    for (int c = 0; c < Channels; ++c) {
      const Sample* in = inputs[c] + position;
      // All of the sub-block's samples one place on, the last of them into the carry.
      input[c][0] = inputCarry_[c];
      for (int i = 0; i < count; ++i) input[c][i + 1] = static_cast<double>(in[i]);
      inputCarry_[c] = input[c][count];
    }

    signalPath_->processSubBlock(inputRows, resultRows, Channels, count, settings);

    double subBlockPeak[2] = {peak[0], peak[1]};
    bool finite = true;
    for (int c = 0; c < Channels; ++c)
      finite = finite & raisePeakIfFinite(result[c], count, subBlockPeak[c]);
    if (!finite) {
      // Finite input grown beyond the range of a double: start afresh rather than carry
      // infinities and NaNs in the sections.
      for (int i = 0; i < count; ++i) write(position + i, 0.0, 0.0);
      restartSignalPath();
      return count;
    }

    peak[0] = subBlockPeak[0];
    peak[1] = subBlockPeak[1];
    if (Channels == 2 && !secondOutput) {
      // Both results go to the first output, the first channel's last.
      for (int i = 0; i < count; ++i) outputs[0][position + i] = static_cast<Sample>(result[0][i]);
    } else {
      for (int c = 0; c < (secondOutput ? 2 : 1); ++c)
        for (int i = 0; i < count; ++i)
          outputs[c][position + i] = static_cast<Sample>(result[Channels == 2 ? c : 0][i]);
    }
    return count;
  };

  for (VstInt32 position = 0; position < sampleFrames;) {
    const VstInt32 left = sampleFrames - position;
    position += left >= kSub ? subBlock(position, std::integral_constant<int, kSub>())
                             : subBlock(position, static_cast<int>(left));
  }

  double level = std::min(peak[0], kPeakCap);
  if (Channels == 2) level = std::max(level, std::min(peak[1], kPeakCap));
  meters_.peakLevel.store(level, kRelaxed);
}
