#pragma once
// The plug-in's ports in the LV2 binding, derived from the effect's parameter table: stereo
// audio in and out, one control input per control in the units the panel shows, and the
// latency output. Each control has a list of steps, the same steps the effect's parameter
// takes; a port value names a step, and a normalised parameter value selects one.
//
// Thread contract: any thread; pure functions of their arguments and constant tables.

#include <array>
#include <string>

namespace tavola::lv2 {

enum class PortKind { kToggle, kLevel, kBandGain, kFrequency };

struct ControlPort {
  const char* symbol;
  int parameter;  // the effect's parameter index
  PortKind kind;
};

constexpr int kNumControlPorts = 14;
// Port indices: audio first, then the controls in the order of controlPorts(), then the
// latency.
constexpr unsigned kInputLeft = 0;
constexpr unsigned kInputRight = 1;
constexpr unsigned kOutputLeft = 2;
constexpr unsigned kOutputRight = 3;
constexpr unsigned kFirstControlPort = 4;
constexpr unsigned kLatencyPort = kFirstControlPort + kNumControlPorts;
constexpr unsigned kNumPorts = kLatencyPort + 1;

const std::array<ControlPort, kNumControlPorts>& controlPorts();
// The control port of LV2 port `port`, or null for the audio and latency ports and
// unknown indices.
const ControlPort* controlPortAt(unsigned port);
// The control port of a parameter index, or null for placeholders and unknown indices.
const ControlPort* controlPortOfParameter(int parameter);
unsigned portIndexOf(const ControlPort& control);

int stepCount(const ControlPort& control);
// The port value of a step, in the unit of the port (0 or 1, dB or Hz).
double stepValue(const ControlPort& control, int step);
// The text the effect displays for the step ("On", "-3.0dB", "1.26kHz").
std::string stepLabel(const ControlPort& control, int step);
// The step the effect takes for a normalised value, kept within the port's steps.
int stepOfNormalised(const ControlPort& control, float normalised);
// A normalised value the effect turns into exactly that step.
float normalisedOfStep(const ControlPort& control, int step);
// The step a port value selects: a toggle is on above 0; other values are held to the
// port's range and take the step the effect takes for that number as a typed value. -1
// for NaN, which selects nothing.
int stepOfPortValue(const ControlPort& control, float value);

double minimumValue(const ControlPort& control);
double maximumValue(const ControlPort& control);
// The value of the factory "Default" preset.
double defaultValue(const ControlPort& control);
// "db", "hz" or empty: the LV2 units vocabulary's name of the port's unit.
const char* unitName(const ControlPort& control);

}  // namespace tavola::lv2
