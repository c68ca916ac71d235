#include "effect/signal/ParameterBlock.h"

namespace tavola {

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}

Band bandOfParameter(int index) {
  switch (index) {
    case kEqAll:
    case kHpf:
    case kHpfFreq:
      return Band::kLowCut;
    case kLf:
    case kLfFreq:
    case kLfGain:
      return Band::kLowShelf;
    case kMf:
    case kMfFreq:
    case kMfGain:
      return Band::kMid;
    case kHf:
    case kHfFreq:
    case kHfGain:
      return Band::kHighShelf;
    default:
      return Band::kNone;
  }
}

ParameterBlock::ParameterBlock() {
  for (auto& value : normalised_) value.store(0.0f, kRelaxed);
}

float ParameterBlock::normalised(int index) const {
  return normalised_[index].load(kRelaxed);
}

void ParameterBlock::store(int index, float p) {
  normalised_[index].store(p, kRelaxed);
  switch (index) {
    case kEqAll:
      eqOn.store(eqSwitch(p), kRelaxed);
      break;
    case kOutput:
      outGain.store(outputGain(p), kRelaxed);
      break;
    case kSat:
      satOn.store(saturationSwitch(p), kRelaxed);
      break;
    case kHpf:
      hpfOn.store(roundedSwitch(p), kRelaxed);
      break;
    case kHpfFreq:
      hpfFreq.store(kHpfFrequencies[frequencyIndex(p)], kRelaxed);
      break;
    case kLf:
      lfOn.store(roundedSwitch(p), kRelaxed);
      break;
    case kLfFreq:
      lfFreq.store(kLfFrequencies[frequencyIndex(p)], kRelaxed);
      break;
    case kLfGain:
      lfGain.store(bandGain(p), kRelaxed);
      break;
    case kMf:
      mfOn.store(roundedSwitch(p), kRelaxed);
      break;
    case kMfFreq:
      mfFreq.store(kMfFrequencies[frequencyIndex(p)], kRelaxed);
      break;
    case kMfGain:
      mfGain.store(bandGain(p), kRelaxed);
      break;
    case kHf:
      hfOn.store(roundedSwitch(p), kRelaxed);
      break;
    case kHfFreq:
      hfFreq.store(kHfFrequencies[frequencyIndex(p)], kRelaxed);
      break;
    case kHfGain:
      hfGain.store(bandGain(p), kRelaxed);
      break;
    default:
      break;
  }
}

}  // namespace tavola
