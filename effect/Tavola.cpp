#include "effect/Tavola.h"

#include <cstring>

#include "editor/ADEditor.h"
#include "effect/Latency.h"

namespace {

void copyText(char* destination, const char* text, std::size_t capacity) {
  std::strncpy(destination, text, capacity - 1);
  destination[capacity - 1] = 0;
}

bool fillPinProperties(VstInt32 index, VstPinProperties* properties, const char* firstLabel,
                       const char* secondLabel) {
  if (index == 0) {
    copyText(properties->label, firstLabel, sizeof properties->label);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
  }
  if (index == 1) {
    copyText(properties->label, secondLabel, sizeof properties->label);
    properties->flags = kVstPinIsActive;
    return true;
  }
  return false;
}

}  // namespace

Tavola::Tavola(audioMasterCallback audioMaster) : CPresetSystemEffect(audioMaster) {
  setSampleRate(44100.0f);
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  setInitialDelay(static_cast<VstInt32>(getLatency2()));

  setEditor(new ADEditor(this));

  initPresets();
  CPresetSystemEffect::loadDefaults();
  CPresetSystemEffect::setPresetNo(0);
  suspend();
}

Tavola::~Tavola() = default;

bool Tavola::getEffectName(char* name) {
  copyText(name, kEffectName, kVstMaxEffectNameLen);
  return true;
}

bool Tavola::getVendorString(char* text) {
  copyText(text, kVendorName, kVstMaxVendorStrLen);
  return true;
}

bool Tavola::getProductString(char* text) {
  copyText(text, kProductName, kVstMaxProductStrLen);
  return true;
}

VstInt32 Tavola::canDo(char* text) {
  static constexpr const char* kCapabilities[] = {"offline", "plugAsChannelInsert", "mixDryWet",
                                                  "1in1out", "2in2out"};
  for (const char* capability : kCapabilities)
    if (std::strcmp(text, capability) == 0) return 1;
  return 0;
}

bool Tavola::getInputProperties(VstInt32 index, VstPinProperties* properties) {
  return fillPinProperties(index, properties, "ZEB Tavola 1 In", "ZEB Tavola 2 In");
}

bool Tavola::getOutputProperties(VstInt32 index, VstPinProperties* properties) {
  return fillPinProperties(index, properties, "ZEB Tavola 1 Out", "ZEB Tavola 2 Out");
}

bool Tavola::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
  const int in = input ? input->numChannels : -1;
  const int out = output ? output->numChannels : -1;
  std::uint8_t stereoIn = 1;
  std::uint8_t stereoOut = 1;
  bool supported = true;
  if (in == 1 && out == 1) {
    stereoIn = 0;
    stereoOut = 0;
  } else if (in == 1 && out == 2) {
    stereoIn = 0;
  } else if (!(in == 2 && out == 2)) {
    supported = false;
  }
  stereoIn_.store(stereoIn, std::memory_order_relaxed);
  stereoOut_.store(stereoOut, std::memory_order_relaxed);
  return supported;
}

float Tavola::getLatency2() {
  return static_cast<float>(tavola::latencySamples(getSampleRate()));
}

float Tavola::getLatency1() {
  return static_cast<float>(tavola::latencyMilliseconds(getSampleRate()));
}

void Tavola::suspend() {
  clipState_.store(0.0, std::memory_order_relaxed);
  peakLevel_.store(0.0, std::memory_order_relaxed);
  if (auto* editor = dynamic_cast<ADEditor*>(editor_)) editor->internalSampleRateChanged();
  suspended_ = 1;
}

void Tavola::resume() {
  if (suspended_ == 0) suspend();
  const double rate = getSampleRate();
  oversampling_ = rate < 65000.0 ? 1.0 : 0.0;
  oversampleFactor_ = static_cast<int>(oversampling_ + 0.5);
  if (oversampleFactor_ >= 0.5) {
    internalSampleRate_ = 2.0 * rate;
    oversampleActive_ = 1;
  } else {
    internalSampleRate_ = rate;
    oversampleActive_ = 0;
  }
  setInitialDelay(static_cast<VstInt32>(getLatency2()));
  if (auto* editor = dynamic_cast<ADEditor*>(editor_)) {
    editor->internalSampleRateChanged();
    editor->resume();
  }
  suspended_ = 0;
}
