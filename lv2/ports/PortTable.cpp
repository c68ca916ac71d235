#include "lv2/ports/PortTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "editor/valuetext/ValueText.h"
#include "effect/signal/FactoryPresetTable.h"
#include "effect/signal/ParameterMapping.h"
#include "effect/signal/ParameterText.h"

namespace tavola::lv2 {
namespace {

constexpr std::array<ControlPort, kNumControlPorts> kControls = {{
    {"eq_all", kEqAll, PortKind::kToggle},
    {"output", kOutput, PortKind::kLevel},
    {"sat", kSat, PortKind::kToggle},
    {"hpf", kHpf, PortKind::kToggle},
    {"hpf_freq", kHpfFreq, PortKind::kFrequency},
    {"lf", kLf, PortKind::kToggle},
    {"lf_freq", kLfFreq, PortKind::kFrequency},
    {"lf_gain", kLfGain, PortKind::kBandGain},
    {"mf", kMf, PortKind::kToggle},
    {"mf_freq", kMfFreq, PortKind::kFrequency},
    {"mf_gain", kMfGain, PortKind::kBandGain},
    {"hf", kHf, PortKind::kToggle},
    {"hf_freq", kHfFreq, PortKind::kFrequency},
    {"hf_gain", kHfGain, PortKind::kBandGain},
}};

constexpr int kLevelSteps = 129;
constexpr int kBandGainSteps = 49;

const FrequencyTable& frequencyTable(const ControlPort& control) {
  switch (control.parameter) {
    case kHpfFreq:
      return kHpfFrequencies;
    case kLfFreq:
      return kLfFrequencies;
    case kMfFreq:
      return kMfFrequencies;
    default:
      return kHfFrequencies;
  }
}

int switchFlag(const ControlPort& control, float p) {
  switch (control.parameter) {
    case kEqAll:
      return eqSwitch(p);
    case kSat:
      return saturationSwitch(p);
    default:
      return roundedSwitch(p);
  }
}

}  // namespace

const std::array<ControlPort, kNumControlPorts>& controlPorts() {
  return kControls;
}

const ControlPort* controlPortAt(unsigned port) {
  if (port < kFirstControlPort || port >= kFirstControlPort + kNumControlPorts) return nullptr;
  return &kControls[port - kFirstControlPort];
}

const ControlPort* controlPortOfParameter(int parameter) {
  for (const ControlPort& control : kControls)
    if (control.parameter == parameter) return &control;
  return nullptr;
}

unsigned portIndexOf(const ControlPort& control) {
  return kFirstControlPort + static_cast<unsigned>(&control - kControls.data());
}

int stepCount(const ControlPort& control) {
  switch (control.kind) {
    case PortKind::kToggle:
      return 2;
    case PortKind::kLevel:
      return kLevelSteps;
    case PortKind::kBandGain:
      return kBandGainSteps;
    case PortKind::kFrequency:
      return kNumFrequencySteps;
  }
  return 1;
}

double stepValue(const ControlPort& control, int step) {
  step = std::clamp(step, 0, stepCount(control) - 1);
  switch (control.kind) {
    case PortKind::kToggle:
      return step;
    case PortKind::kLevel:
      return step / 4.0 - 16.0;
    case PortKind::kBandGain:
      // The half decibels the display reads; each step is 0.50172 dB.
      return (step - 24) / 2.0;
    case PortKind::kFrequency:
      return frequencyTable(control)[static_cast<std::size_t>(step)];
  }
  return 0.0;
}

std::string stepLabel(const ControlPort& control, int step) {
  const float p = normalisedOfStep(control, step);
  char text[64] = {};
  switch (control.kind) {
    case PortKind::kToggle:
      if (control.parameter == kSat) return step != 0 ? "Sat" : "Thru";
      return step != 0 ? "On" : "Off";
    case PortKind::kLevel:
      dB2string2(static_cast<float>(outputGain(p)), 2, text);
      break;
    case PortKind::kBandGain:
      float2string2(static_cast<float>(20.0 * std::log10(bandGain(p))), 1, text);
      std::strcat(text, "dB");
      break;
    case PortKind::kFrequency:
      frequencyStringConvert2(
          static_cast<float>(frequencyTable(control)[static_cast<std::size_t>(frequencyIndex(p))]),
          text);
      break;
  }
  return text;
}

int stepOfNormalised(const ControlPort& control, float normalised) {
  int step = 0;
  switch (control.kind) {
    case PortKind::kToggle:
      step = switchFlag(control, normalised) != 0 ? 1 : 0;
      break;
    case PortKind::kLevel:
      step = static_cast<int>(std::lround((outputLevel(normalised) + 16.0) * 4.0));
      break;
    case PortKind::kBandGain:
      step = static_cast<int>(std::lround(12.0 * std::log2(bandGain(normalised)))) + 24;
      break;
    case PortKind::kFrequency:
      step = frequencyIndex(normalised);
      break;
  }
  return std::clamp(step, 0, stepCount(control) - 1);
}

float normalisedOfStep(const ControlPort& control, int step) {
  step = std::clamp(step, 0, stepCount(control) - 1);
  if (control.kind == PortKind::kToggle) return static_cast<float>(step);
  // Every step value lies on the range, so the number always names a step.
  return normalisedFromNumber(control.parameter, stepValue(control, step)).value_or(0.0f);
}

int stepOfPortValue(const ControlPort& control, float value) {
  if (std::isnan(value)) return -1;
  if (control.kind == PortKind::kToggle) return value > 0.0f ? 1 : 0;
  const double held = std::clamp<double>(value, minimumValue(control), maximumValue(control));
  const std::optional<float> p = normalisedFromNumber(control.parameter, held);
  return p ? stepOfNormalised(control, *p) : -1;
}

double minimumValue(const ControlPort& control) {
  return stepValue(control, 0);
}

double maximumValue(const ControlPort& control) {
  return stepValue(control, stepCount(control) - 1);
}

double defaultValue(const ControlPort& control) {
  const float p = factoryPresetValues(0).values[control.parameter];
  return stepValue(control, stepOfNormalised(control, p));
}

const char* unitName(const ControlPort& control) {
  switch (control.kind) {
    case PortKind::kLevel:
    case PortKind::kBandGain:
      return "db";
    case PortKind::kFrequency:
      return "hz";
    case PortKind::kToggle:
      return "";
  }
  return "";
}

}  // namespace tavola::lv2
