// Processing entries and the four loop variants.

#include <algorithm>

#include "effect/Tavola.h"

void Tavola::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
  if (isInputConnected(1) && isStereoIn())
    processLoopFast(inputs, outputs, sampleFrames);
  else
    processLoopFastMono(inputs, outputs, sampleFrames);
}

void Tavola::processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) {
  if (isInputConnected(1) && isStereoIn())
    processLoopFastDouble(inputs, outputs, sampleFrames);
  else
    processLoopFastDoubleMono(inputs, outputs, sampleFrames);
}

// Until the signal path is in place the loops pass the signal through unchanged, routed
// to the outputs as the finished loops will route it.
template <typename Sample>
void Tavola::passThrough(Sample** inputs, Sample** outputs, VstInt32 sampleFrames, bool stereo) {
  if (sampleFrames < 1) {
    peakLevel_.store(0.0, std::memory_order_relaxed);
    return;
  }
  const bool secondOutput = isOutputConnected(1) && isStereoOut();
  for (VstInt32 i = 0; i < sampleFrames; ++i) {
    const Sample first = inputs[0][i];
    const Sample second = stereo ? inputs[1][i] : first;
    if (secondOutput) {
      outputs[0][i] = first;
      outputs[1][i] = second;
    } else {
      outputs[0][i] = first;
    }
  }
}

void Tavola::processLoopFast(float** inputs, float** outputs, VstInt32 sampleFrames) {
  passThrough(inputs, outputs, sampleFrames, true);
}

void Tavola::processLoopFastDouble(double** inputs, double** outputs, VstInt32 sampleFrames) {
  passThrough(inputs, outputs, sampleFrames, true);
}

void Tavola::processLoopFastMono(float** inputs, float** outputs, VstInt32 sampleFrames) {
  passThrough(inputs, outputs, sampleFrames, false);
}

void Tavola::processLoopFastDoubleMono(double** inputs, double** outputs, VstInt32 sampleFrames) {
  passThrough(inputs, outputs, sampleFrames, false);
}
