#pragma once
// The equaliser effect as the host sees it: identity, capabilities, pins, speaker
// arrangements, latency, the 44-index parameter model and the processing entries.

#include <atomic>
#include <cstdint>
#include <memory>

#include "editor/PanelMeters.h"
#include "effect/signal/ParameterBlock.h"
#include "effect/signal/SignalPath.h"
#include "platform/DiagnosticWriter.h"
#include "presets/CPresetSystemEffect.h"

class ADEditor;

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

  // Any thread, the audio thread included: stores the value, derives its physical value,
  // keeps the current preset in step and mirrors the change into an open editor. Queues
  // one diagnostic line for the writer thread; never blocks.
  void setParameter(VstInt32 index, float value) override;
  float getParameter(VstInt32 index) override;
  // UI thread: texts for the host, written into its buffer.
  void getParameterLabel(VstInt32 index, char* label) override;
  void getParameterDisplay(VstInt32 index, char* text) override;
  void getParameterName(VstInt32 index, char* text) override;
  bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override;
  // Any thread but the audio thread: sets the parameter to the step a text names ("+3.0dB",
  // "6.00kHz", "On"); false, and nothing changed, when it names none.
  bool string2parameter(VstInt32 index, char* text) override;

  // UI thread: identity, pins and capabilities.
  bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
  bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
  // UI thread: also asks the host which pins are connected (processing keeps the answers).
  bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override;
  VstInt32 getGetTailSize() override { return kTailSize; }
  bool getEffectName(char* name) override;
  bool getVendorString(char* text) override;
  bool getProductString(char* text) override;
  VstInt32 getVendorVersion() override { return kVendorVersion; }
  VstInt32 canDo(char* text) override;
  // UI thread: our own requests (host/VendorRequests.h).
  VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override;
  VstInt32 getPlugCategory() override { return kPlugCategMastering; }

  // UI thread, construction.
  void initPresets() override;

  // Retune the filter sections of one band from the current parameters. They run on the
  // audio thread between sub-blocks while processing runs, else on the caller's thread.
  void updateLowCut();
  void updateLowShelf();
  void updateMid();
  void updateHighShelf();

  // Audio thread: the four loop variants that the processing entries choose between.
  virtual void processLoopFast(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastDouble(double** inputs, double** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastMono(float** inputs, float** outputs, VstInt32 sampleFrames);
  virtual void processLoopFastDoubleMono(double** inputs, double** outputs, VstInt32 sampleFrames);
  // Any thread: the latency at the host rate, in milliseconds and in samples.
  float getLatency1();
  float getLatency2();
  // UI thread, never while processing runs: the latency the panel shows follows the rate.
  void setSampleRate(float sampleRate) override;
  virtual int compensate() { return 1; }
  // UI thread, construction: fills the up-sampler's tap table; the table does not depend
  // on the sample rate.
  virtual void initUpsDec();

  // State the editor and the tests read; any thread (atomics, or set only while
  // suspended).
  const tavola::ParameterBlock& parameters() const { return params_; }
  bool isStereoIn() const { return stereoIn_.load(std::memory_order_relaxed) != 0; }
  bool isStereoOut() const { return stereoOut_.load(std::memory_order_relaxed) != 0; }
  bool isSuspended() const { return suspended_ != 0; }
  double peakLevel() const { return meters_.peakLevel.load(PanelMeters::kRelaxed); }
  double clipState() const { return meters_.clipState.load(PanelMeters::kRelaxed); }
  // What the panel reads and clears: the peak, the clip state, the latency.
  PanelMeters& panelMeters() { return meters_; }
  const tavola::SignalPath& signalPath() const { return *signalPath_; }
  // The derived values as the band updates and the next sub-block read them.
  tavola::BandSettings bandSettings() const;
  tavola::SubBlockSettings subBlockSettings() const;
  // Chooses the implementation of the signal path; both give the same bits. UI thread,
  // while processing is suspended.
  void setSignalPathKind(tavola::SignalPathKind kind) { signalPath_->setKind(kind); }

  // The editor object the effect made with itself (null once replaced by nothing). UI
  // thread, never while processing runs: replacing it (tests record what reaches it)
  // destroys the one before.
  ADEditor* panel() const { return panel_.get(); }
  void replaceEditor(std::unique_ptr<ADEditor> editor);

 private:
  template <typename Sample, int Channels>
  void processLoop(Sample** inputs, Sample** outputs, VstInt32 sampleFrames);
  void markBandPending(tavola::Band band);
  void applyPendingBandUpdates();
  // UI thread: asks the host once whether the second pins are connected; the processing
  // entries use these answers instead of calling the host on every block.
  void refreshPinConnections();
  // Retunes every band, leaves immediate mode and clears the delay lines, as resume does.
  void startSignalPath();
  // Brings the signal path back to the state a resume leaves, without the host's part.
  void restartSignalPath();

  // First, so that the diagnostic writer outlives everything that may log.
  tavola::diagnostics::WriterUse diagnosticWriter_;
  // The effect's own typed hold on its editor; the host's side sees it as editor_.
  std::unique_ptr<ADEditor> panel_;
  tavola::ParameterBlock params_;
  std::unique_ptr<tavola::SignalPath> signalPath_;
  // Bands whose parameters changed since their sections were last retuned (bit per band).
  std::atomic<unsigned> pendingBands_{0};
  // The last input sample of each channel from the previous sub-block.
  double inputCarry_[2] = {0.0, 0.0};
  // A sub-block's input (with room for the sample that goes on to the carry) and result,
  // for the audio thread alone. Kept here rather than on the stack, so that where they lie
  // against the signal path's buffers (four-kilobyte aliasing between stores and later
  // loads) does not change from one process to the next.
  alignas(64) double subBlockInput_[2][tavola::SignalPath::kSubBlock + 1] = {};
  alignas(64) double subBlockResult_[2][tavola::SignalPath::kSubBlock] = {};

  PanelMeters meters_;

  std::atomic<std::int32_t> suspended_{0};
  std::atomic<std::uint8_t> stereoIn_{1};
  std::atomic<std::uint8_t> stereoOut_{1};
  std::atomic<bool> secondInputConnected_{true};
  std::atomic<bool> secondOutputConnected_{true};
};
