#pragma once
// The equaliser effect as the host sees it: identity, capabilities, pins, speaker
// arrangements, latency, the 44-index parameter model and the processing entries.

#include <atomic>
#include <cstdint>

#include "effect/ParameterBlock.h"
#include "presets/CPresetSystemEffect.h"

class Tavola : public CPresetSystemEffect {
 public:
  static constexpr VstInt32 kUniqueId = fourCharCode('K', 'W', 'T', 'V');
  static constexpr VstInt32 kVendorVersion = 1800;
  static constexpr const char* kVersionText = "1.8.0";
  static constexpr const char* kEffectName = "ZEB Tavola";
  static constexpr const char* kProductName = "ZEB Tavola - classic program eq";
  static constexpr const char* kVendorName = "www.tavola.audio";
  static constexpr VstInt32 kTailSize = 1024;

  // UI thread: the entry point creates the effect with the host's callback.
  explicit Tavola(audioMasterCallback audioMaster);
  ~Tavola() override;

  // UI thread, never while processing runs.
  void suspend() override;
  void resume() override;

  // Audio thread.
  void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
  void processDoubleReplacing(double** inputs, double** outputs, VstInt32 sampleFrames) override;

  // Any thread: stores the value, derives its physical value, keeps the current preset in
  // step and mirrors the change into an open editor. Writes one diagnostic line.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  // UI thread: texts for the host, written into its buffer.
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override;

  bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
  VstInt32 getGetTailSize() override { return kTailSize; }
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstInt32 canDo(char* text) override;
  VstInt32 getPlugCategory() override { return kPlugCategMastering; }

  bool isDummy(int index) override;
  bool isDummyOld(int index) override;
  void initPresets() override;

  virtual void processLoopFast(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastDouble(double** inputs, double** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastMono(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastDoubleMono(double** inputs, double** outputs, VstInt32 sampleFrames);
  // Any thread: the latency at the host rate, in milliseconds and in samples.
  virtual float getLatency1();
  virtual float getLatency2();
  virtual int compensate() { return 1; }

  // State the editor and the tests read.
  const tavola::ParameterBlock& parameters() const { return params_; }
  bool isStereoIn() const { return stereoIn_.load(std::memory_order_relaxed) != 0; }
  bool isStereoOut() const { return stereoOut_.load(std::memory_order_relaxed) != 0; }
  bool isSuspended() const { return suspended_ != 0; }
  double peakLevel() const { return peakLevel_.load(std::memory_order_relaxed); }

 private:
  template <typename Sample>
  void passThrough(Sample** inputs, Sample** outputs, VstInt32 sampleFrames, bool stereo);

  tavola::ParameterBlock params_;

  double oversampling_ = 1.0;
  std::int32_t oversampleActive_ = 1;
  double oversampleFactor_ = 1.0;
  double internalSampleRate_ = 88200.0;

  std::atomic<double> peakLevel_{0.0};
  std::atomic<double> clipState_{0.0};

  std::int32_t suspended_ = 0;
  std::atomic<std::uint8_t> stereoIn_{1};
  std::atomic<std::uint8_t> stereoOut_{1};
};
