#include "lv2/Lv2Effect.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "effect/Tavola.h"
#include "host/VstInterface.h"
#include "lv2/Lv2Panel.h"

using namespace tavola::lv2;

namespace {

bool sameBits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

void copyText(void* destination, const char* text, std::size_t capacity) {
  if (!destination) return;
  auto* out = static_cast<char*>(destination);
  std::strncpy(out, text, capacity - 1);
  out[capacity - 1] = 0;
}

// The effect's host, as far as an LV2 plug-in has one: the questions the effect asks get
// plain answers, and the panel's automation gestures go on to the LV2 panel, which hands
// them to the LV2 host. Calls during the effect's construction come before the instance
// is known (the record's user pointer is still null) and change nothing.
VstIntPtr lv2HostCallback(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr /*value*/,
                          void* ptr, float opt) {
  auto* self = record ? static_cast<Lv2Effect*>(record->user) : nullptr;
  Lv2Panel* panel = self ? self->attachedPanel() : nullptr;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterAutomate:
      if (panel) panel->hostAutomate(index, opt);
      return 0;
    case audioMasterBeginEdit:
      if (panel) panel->hostGesture(index, true);
      return 1;
    case audioMasterEndEdit:
      if (panel) panel->hostGesture(index, false);
      return 1;
    case audioMasterPinConnected:
      return 0;  // inverted: every pin of the LV2 plug-in is connected
    case audioMasterGetVendorString:
      copyText(ptr, "LV2 host", kVstMaxVendorStrLen);
      return 1;
    case audioMasterGetProductString:
      copyText(ptr, "LV2 host", kVstMaxProductStrLen);
      return 1;
    default:
      return 0;
  }
}

}  // namespace

std::unique_ptr<Lv2Effect> Lv2Effect::create(double sampleRate) {
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) return nullptr;
  auto effect = std::make_unique<Tavola>(&lv2HostCallback);
  effect->setSampleRate(static_cast<float>(sampleRate));
  std::unique_ptr<Lv2Effect> self(new Lv2Effect(std::move(effect)));
  return self;
}

Lv2Effect::Lv2Effect(std::unique_ptr<Tavola> effect) : effect_(std::move(effect)) {
  effect_->getAeffect()->user = this;
  latency_ = static_cast<int>(effect_->getLatency2());
  seen_.fill(std::numeric_limits<float>::quiet_NaN());
}

Lv2Effect::~Lv2Effect() {
  if (active_) effect_->suspend();
  effect_->getAeffect()->user = nullptr;
}

void Lv2Effect::connectPort(unsigned port, void* data) {
  switch (port) {
    case kInputLeft:
    case kInputRight:
      inputs_[port - kInputLeft] = static_cast<const float*>(data);
      return;
    case kOutputLeft:
    case kOutputRight:
      outputs_[port - kOutputLeft] = static_cast<float*>(data);
      return;
    case kLatencyPort:
      latencyPort_ = static_cast<float*>(data);
      return;
    default:
      if (controlPortAt(port)) controls_[port - kFirstControlPort] = static_cast<float*>(data);
      return;
  }
}

void Lv2Effect::activate() {
  if (active_) return;
  // The values the host has set by now are taken before the resume, so that every filter
  // is designed at once and the output level starts without a ramp, as when a VST host
  // sets the parameters of a new insert before it resumes it.
  applyControlPorts();
  effect_->resume();
  active_ = true;
}

void Lv2Effect::deactivate() {
  if (!active_) return;
  effect_->suspend();
  active_ = false;
}

void Lv2Effect::applyControlPorts() {
  const bool adopt = adoptPorts_.exchange(false, std::memory_order_acq_rel);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (!controls_[i]) continue;
    const float value = *controls_[i];
    if (sameBits(value, seen_[i])) continue;
    seen_[i] = value;
    if (adopt) continue;
    const ControlPort& control = controlPorts()[i];
    const int step = stepOfPortValue(control, value);
    if (step < 0) continue;
    // A value that names the step the effect has changes nothing, so that the stored
    // value of the current preset stays as the panel or a preset left it.
    if (stepOfNormalised(control, effect_->getParameter(control.parameter)) == step) continue;
    effect_->setParameter(control.parameter, normalisedOfStep(control, step));
  }
}

void Lv2Effect::run(unsigned frames) {
  applyControlPorts();
  if (latencyPort_) *latencyPort_ = static_cast<float>(latency_);
  if (frames == 0 || !outputs_[0] || !outputs_[1]) return;
  if (!active_ || !inputs_[0] || !inputs_[1]) {
    std::fill_n(outputs_[0], frames, 0.0f);
    std::fill_n(outputs_[1], frames, 0.0f);
    return;
  }
  // The effect reads each input sample before it writes the output sample, so buffers the
  // host shares between input and output are fine.
  float* inputs[2] = {const_cast<float*>(inputs_[0]), const_cast<float*>(inputs_[1])};
  float* outputs[2] = {outputs_[0], outputs_[1]};
  constexpr unsigned kLongest = 1u << 30;
  for (unsigned done = 0; done < frames;) {
    const unsigned n = std::min(frames - done, kLongest);
    float* in[2] = {inputs[0] + done, inputs[1] + done};
    float* out[2] = {outputs[0] + done, outputs[1] + done};
    effect_->processReplacing(in, out, static_cast<VstInt32>(n));
    done += n;
  }
}

std::string Lv2Effect::saveBank() {
  void* data = nullptr;
  const VstInt32 size = effect_->getChunk(&data, false);
  if (size <= 0 || !data) return {};
  return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

bool Lv2Effect::restoreBank(std::span<const unsigned char> bank, std::string& reason) {
  const ImageReadResult result = effect_->readChunk(bank);
  if (!result.ok()) {
    reason = result.reason;
    return false;
  }
  adoptPorts_.store(true, std::memory_order_release);
  return true;
}
