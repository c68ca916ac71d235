// The parameter model: storing and deriving values, names, display texts and properties.

#include <cmath>
#include <cstring>

#include "editor/ADEditor.h"
#include "editor/valuetext/ValueText.h"
#include "effect/Tavola.h"
#include "effect/signal/ParameterText.h"
#include "platform/DiagnosticWriter.h"

using namespace tavola;

namespace {

double switchNumber(int flag) {
  return flag != 0 ? 1.0 : 0.0;
}

bool isSwitchLike(int index) {
  switch (index) {
    case kEqAll:
    case kSat:
    case kHpf:
    case kLf:
    case kMf:
    case kHf:
    case 28:
    case 29:
    case 30:
    case 34:
    case 36:
    case 37:
    case 38:
    case 39:
    case 41:
    case 43:
      return true;
    default:
      return false;
  }
}

void onOffText(int flag, char* text) {
  std::strcpy(text, flag >= 0.5f ? "On   " : "Off  ");
}

void bandGainText(double gain, char* text) {
  float2string2(static_cast<float>(20.0 * std::log10(gain)), 1, text);
  std::strcat(text, "dB");
}

}  // namespace

void Tavola::setParameter(VstInt32 index, float value) {
  diagnostics::logParameterChange(index, value);
  if (index < 0 || index >= kNumParameters) return;

  params_.store(index, value);
  const Band band = bandOfParameter(index);
  if (band != Band::kNone) markBandPending(band);

  if (!isPresetLoading()) CPresetSystemEffect::setParameter(index, value);
  if (panel_) panel_->setParameter(index, value);
}

float Tavola::getParameter(VstInt32 index) {
  if (index < 0 || index >= kNumParameters) return 0.0f;
  return params_.normalised(index);
}

void Tavola::getParameterLabel(VstInt32 /*index*/, char* label) {
  label[0] = 0;
}

void Tavola::getParameterName(VstInt32 index, char* text) {
  std::strcpy(text, parameterName(index));
}

void Tavola::getParameterDisplay(VstInt32 index, char* text) {
  constexpr auto kRelaxed = std::memory_order_relaxed;
  text[0] = 0;
  switch (index) {
    case kEqAll:
      onOffText(params_.eqOn.load(kRelaxed), text);
      break;
    case kHpf:
      onOffText(params_.hpfOn.load(kRelaxed), text);
      break;
    case kLf:
      onOffText(params_.lfOn.load(kRelaxed), text);
      break;
    case kMf:
      onOffText(params_.mfOn.load(kRelaxed), text);
      break;
    case kHf:
      onOffText(params_.hfOn.load(kRelaxed), text);
      break;
    case kOutput:
      dB2string2(static_cast<float>(params_.outGain.load(kRelaxed)), 2, text);
      break;
    case kSat:
      std::strcpy(text, params_.satOn.load(kRelaxed) ? "Sat" : "Thru");
      break;
    case kHpfFreq:
      frequencyStringConvert2(static_cast<float>(params_.hpfFreq.load(kRelaxed)), text);
      break;
    case kLfFreq:
      frequencyStringConvert2(static_cast<float>(params_.lfFreq.load(kRelaxed)), text);
      break;
    case kMfFreq:
      frequencyStringConvert2(static_cast<float>(params_.mfFreq.load(kRelaxed)), text);
      break;
    case kHfFreq:
      frequencyStringConvert2(static_cast<float>(params_.hfFreq.load(kRelaxed)), text);
      break;
    case kLfGain:
      bandGainText(params_.lfGain.load(kRelaxed), text);
      break;
    case kMfGain:
      bandGainText(params_.mfGain.load(kRelaxed), text);
      break;
    case kHfGain:
      bandGainText(params_.hfGain.load(kRelaxed), text);
      break;
    default:
      break;
  }
}

bool Tavola::string2parameter(VstInt32 index, char* text) {
  if (!text) return false;
  const std::optional<float> value = normalisedFromText(index, text);
  if (!value) return false;
  setParameter(index, *value);
  return true;
}

bool Tavola::getParameterProperties(VstInt32 index, VstParameterProperties* properties) {
  if (!isSwitchLike(index)) return false;
  properties->flags = kVstParameterIsSwitch | kVstParameterUsesFloatStep;
  properties->stepFloat = 1.0f;
  properties->smallStepFloat = 1.0f;
  properties->largeStepFloat = 1.0f;
  std::strncpy(properties->label, parameterName(index), sizeof properties->label - 1);
  properties->label[sizeof properties->label - 1] = 0;
  std::memset(properties->shortLabel, 0, sizeof properties->shortLabel);
  std::strncpy(properties->shortLabel, parameterName(index), 7);
  return true;
}

// The parameters as the signal path reads them: the band designs, retuned on the audio
// thread when markBandPending says so, and what each sub-block applies.
BandSettings Tavola::bandSettings() const {
  BandSettings b;
  b.eqOn = params_.eqOn.load(std::memory_order_relaxed);
  b.hpfOn = params_.hpfOn.load(std::memory_order_relaxed);
  b.hpfFreq = params_.hpfFreq.load(std::memory_order_relaxed);
  b.lfFreq = params_.lfFreq.load(std::memory_order_relaxed);
  b.mfFreq = params_.mfFreq.load(std::memory_order_relaxed);
  b.hfFreq = params_.hfFreq.load(std::memory_order_relaxed);
  return b;
}

SubBlockSettings Tavola::subBlockSettings() const {
  SubBlockSettings s;
  s.eqOn = params_.eqOn.load(std::memory_order_relaxed) != 0;
  s.satOn = params_.satOn.load(std::memory_order_relaxed) != 0;
  s.outGain = params_.outGain.load(std::memory_order_relaxed);
  s.lfGain = params_.lfGain.load(std::memory_order_relaxed);
  s.mfGain = params_.mfGain.load(std::memory_order_relaxed);
  s.hfGain = params_.hfGain.load(std::memory_order_relaxed);
  s.lfOn = switchNumber(params_.lfOn.load(std::memory_order_relaxed));
  s.mfOn = switchNumber(params_.mfOn.load(std::memory_order_relaxed));
  s.hfOn = switchNumber(params_.hfOn.load(std::memory_order_relaxed));
  return s;
}

void Tavola::markBandPending(Band band) {
  // Release: the audio thread that sees the bit also sees the derived values stored before.
  pendingBands_.fetch_or(bandBit(band), std::memory_order_release);
}
