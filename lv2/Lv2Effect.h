#pragma once
// The effect as one LV2 plug-in instance: the same effect object the VST 2.4 entry point
// creates, driven through its ports. Control ports are read at the start of each run and
// applied only when they changed and name another step than the effect already has; the
// whole bank travels as the state, in the bytes of the VST chunk.
//
// Threads: instantiate, activate, deactivate, state and cleanup on the host's
// instantiation thread; run on the audio thread; the panel (Lv2Panel) on the UI thread,
// which reaches the effect object directly, as the VST editor does.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "lv2/ports/PortTable.h"

class Tavola;
class Lv2Panel;

class Lv2Effect {
 public:
  // Null when the effect could not be made or the rate is not a positive number.
  static std::unique_ptr<Lv2Effect> create(double sampleRate);
  ~Lv2Effect();

  void connectPort(unsigned port, void* data);
  void activate();
  void deactivate();
  // Audio thread: no allocation, lock or I/O.
  void run(unsigned frames);

  // The whole bank as the VST chunk holds it.
  std::string saveBank();
  // Applies a saved bank, or leaves everything as it was and gives the reason.
  bool restoreBank(std::span<const unsigned char> bank, std::string& reason);

  Tavola& effect() { return *effect_; }
  int latencySamples() const { return latency_; }

  // The state's property and type, mapped by the host at instantiation (0: the host has
  // no URID map, and there is no state).
  std::uint32_t bankKey = 0;
  std::uint32_t chunkType = 0;

  // UI thread: the panel that hears the effect's automation gestures (null: none).
  void attachPanel(Lv2Panel* panel) { panel_.store(panel); }
  Lv2Panel* attachedPanel() const { return panel_.load(); }

 private:
  explicit Lv2Effect(std::unique_ptr<Tavola> effect);
  void applyControlPorts();

  std::unique_ptr<Tavola> effect_;
  int latency_ = 0;
  bool active_ = false;
  const float* inputs_[2] = {nullptr, nullptr};
  float* outputs_[2] = {nullptr, nullptr};
  float* latencyPort_ = nullptr;
  std::array<const float*, tavola::lv2::kNumControlPorts> controls_{};
  // The port values last taken from the host, bit for bit; a value only counts when it
  // changes. NaN until the first run, so that the host's first values are applied.
  std::array<float, tavola::lv2::kNumControlPorts> seen_{};
  // Set by a restored state: the next run takes the ports as they are without applying
  // them, so that the state's values stand until the host moves a port.
  std::atomic<bool> adoptPorts_{false};
  std::atomic<Lv2Panel*> panel_{nullptr};
};
