#pragma once
// What the panel needs of its effect beyond the VST parameters: the latency for the
// read-outs, and the output peak and clip state for the clip lamp. Both clip values are
// written by the audio thread and read and cleared by the panel; each access is one
// atomic load or store, so a peak lost between the two only delays one lamp update.

class PanelEffect {
 public:
  virtual ~PanelEffect() = default;
  // Any thread: milliseconds and samples at the host rate.
  virtual float getLatency1() = 0;
  virtual float getLatency2() = 0;
  virtual double peakLevel() const = 0;
  virtual void setPeakLevel(double level) = 0;
  virtual double clipState() const = 0;
  virtual void setClipState(double state) = 0;
};
