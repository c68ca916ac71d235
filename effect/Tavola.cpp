#include "effect/Tavola.h"

#include <cstring>
#include <memory>

#include "editor/ADEditor.h"
#include "effect/signal/Latency.h"
#include "effect/signal/ParameterMapping.h"
#include "host/VendorRequests.h"

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

// The indices the preset formats leave out: those that are no control.
tavola::image::ParameterMask placeholderParameters() {
  tavola::image::ParameterMask placeholders;
  for (int i = 0; i < kNumPresetParameters; ++i)
    placeholders[static_cast<std::size_t>(i)] = !tavola::isUsedParameter(i);
  return placeholders;
}

}  // namespace

Tavola::Tavola(audioMasterCallback audioMaster)
    : CPresetSystemEffect(audioMaster, placeholderParameters()),
      signalPath_(std::make_unique<tavola::SignalPath>()) {
  setSampleRate(44100.0f);
  initUpsDec();
  setNumInputs(2);
  setNumOutputs(2);
  setUniqueID(kUniqueId);
  canProcessReplacing(true);
  canDoubleReplacing(true);
  setInitialDelay(static_cast<VstInt32>(getLatency2()));

  replaceEditor(std::make_unique<ADEditor>(*this, meters_));

  initPresets();
  CPresetSystemEffect::loadDefaults();
  panel_->loadDefaults();
  CPresetSystemEffect::setPresetNo(0);
  suspend();
  endStartUp();
}

// The editor goes first, while the effect it may still call is whole.
Tavola::~Tavola() {
  replaceEditor(nullptr);
}

void Tavola::replaceEditor(std::unique_ptr<ADEditor> editor) {
  AudioEffect::setEditor(editor.get());
  panel_ = std::move(editor);
}

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

VstIntPtr Tavola::vendorSpecific(VstInt32 index, VstIntPtr, void* ptr, float) {
  ADEditor* editor = panel_.get();
  if (index != tavola::kEditorPictureRequest || !ptr || !editor) return 0;
  const bool openedHere = !editor->isOpen();
  if (openedHere && !editor->open(nullptr)) return 0;
  const bool written = editor->writePicture(static_cast<const char*>(ptr));
  if (openedHere) editor->close();
  return written ? 1 : 0;
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
  refreshPinConnections();
  return supported;
}

void Tavola::refreshPinConnections() {
  secondInputConnected_.store(isInputConnected(1), std::memory_order_relaxed);
  secondOutputConnected_.store(isOutputConnected(1), std::memory_order_relaxed);
}

float Tavola::getLatency2() {
  return static_cast<float>(tavola::latencySamples(getSampleRate()));
}

float Tavola::getLatency1() {
  return static_cast<float>(tavola::latencyMilliseconds(getSampleRate()));
}

void Tavola::setSampleRate(float sampleRate) {
  CPresetSystemEffect::setSampleRate(sampleRate);
  meters_.latencyMilliseconds.store(getLatency1(), PanelMeters::kRelaxed);
  meters_.latencySamples.store(getLatency2(), PanelMeters::kRelaxed);
}

void Tavola::initUpsDec() {
  signalPath_->initUpsamplerTaps();
}

void Tavola::suspend() {
  inputCarry_[0] = inputCarry_[1] = 0.0;
  signalPath_->suspend(params_.outGain.load(std::memory_order_relaxed));
  meters_.clipState.store(0.0, PanelMeters::kRelaxed);
  meters_.peakLevel.store(0.0, PanelMeters::kRelaxed);
  if (panel_) panel_->internalSampleRateChanged();
  suspended_.store(1, std::memory_order_release);
}

void Tavola::resume() {
  if (suspended_.load(std::memory_order_acquire) == 0) suspend();
  signalPath_->chooseRate(getSampleRate());
  startSignalPath();
  refreshPinConnections();
  const VstInt32 latency = static_cast<VstInt32>(getLatency2());
  const bool latencyChanged = latency != cEffect_.initialDelay;
  setInitialDelay(latency);
  // Hosts read the delay once unless told; without this a rate change would leave their
  // compensation off by the difference (47 samples at 44.1 kHz, 65 at 96 kHz).
  if (latencyChanged && canHostDo("acceptIOChanges") == 1) ioChanged();
  if (panel_) {
    panel_->internalSampleRateChanged();
    panel_->resume();
  }
  suspended_.store(0, std::memory_order_release);
}

void Tavola::startSignalPath() {
  // Changes that arrive from now on are applied by the audio thread; those before are
  // covered by the updates below. The first pass installs the designs at once, the second
  // runs in gliding mode as every later change will.
  pendingBands_.exchange(0, std::memory_order_acquire);
  signalPath_->updateAllBands(bandSettings());
  signalPath_->leaveImmediateMode();
  signalPath_->updateAllBands(bandSettings());
  signalPath_->prepare(getSampleRate());
}

void Tavola::restartSignalPath() {
  inputCarry_[0] = inputCarry_[1] = 0.0;
  signalPath_->suspend(params_.outGain.load(std::memory_order_relaxed));
  startSignalPath();
}
