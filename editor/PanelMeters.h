#pragma once
// What the panel shows of its effect beyond the parameters: the latency for the read-outs,
// and the output peak and clip state for the clip lamp. The effect writes them (the audio
// thread the peak, the sample rate's setter the latency); the panel reads them, and clears
// the peak and the clip state. Each access is one relaxed atomic load or store, so a peak
// lost between two only delays one lamp update.

#include <atomic>

struct PanelMeters {
  std::atomic<float> latencyMilliseconds{0.0f};
  std::atomic<float> latencySamples{0.0f};
  std::atomic<double> peakLevel{0.0};
  std::atomic<double> clipState{0.0};

  static constexpr auto kRelaxed = std::memory_order_relaxed;
};
