#pragma once
// One effect instance hosted the way a DAW hosts it: created through the plug-in's entry
// point with this host's callback, then driven only through the AEffect record (the
// dispatcher, the parameter entries, the processing entries and the record's fields).
// Nothing here knows the plug-in's classes, so what passes here passes in a DAW.
//
// Thread contract, as a DAW uses an effect:
// - create, the destructor, open, close, resume, suspend, setSampleRate, setBlockSize,
//   the program, chunk, editor and identity requests: one thread at a time (the host's
//   UI thread).
// - processReplacing, processDoubleReplacing: the audio thread, while the UI thread may
//   keep calling setParameter, getParameter and the text requests.
// - setParameter, getParameter, setPinConnected, the callback log and the answers that
//   the callback gives: any thread. The only state that the callback and the calls share
//   is atomic or behind the log's mutex.
// The destructor and close must not run while another thread still calls in.

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/VstInterface.h"
#include "vsthost/HostCallLog.h"
#include "vsthost/PluginLibrary.h"

struct HostOptions {
  // False makes the callback answer 0 to audioMasterVersion, as a host from before
  // VST 2 does; an effect that needs 2.4 must then refuse to be created.
  bool answerVersion = true;
  // Sends effOpen as soon as the entry point has returned, as every DAW does.
  bool openOnCreate = true;
  // The entry point to call instead of the library's own choice, for example its "main"
  // as found with PluginLibrary::symbol; null uses PluginLibrary::entry().
  VstPluginEntry entryPoint = nullptr;
  // Answers 1 to canDo "acceptIOChanges" and to audioMasterIOChanged, as hosts that
  // re-read the latency when told do.
  bool acceptIOChanges = false;
};

class HostedEffect {
 public:
  // Pins per direction that the connection table covers; pins beyond it answer "not
  // connected".
  static constexpr int kMaxPins = 16;

  // Calls the library's entry point and checks the record it returns. Null on failure,
  // with one line saying why in *error (if given): no entry point, a null effect, or a
  // record without the 'VstP' magic. The library must outlive the effect.
  static std::unique_ptr<HostedEffect> create(const PluginLibrary& library,
                                              std::string* error = nullptr,
                                              const HostOptions& options = {});

  // Suspends the effect if it is running and closes it.
  ~HostedEffect();
  HostedEffect(const HostedEffect&) = delete;
  HostedEffect& operator=(const HostedEffect&) = delete;

  // The record as the effect returned it; null once the effect is closed.
  AEffect* aeffect() const { return effect_; }
  // Any dispatcher request; answers 0 once the effect is closed.
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;

  void open();
  // effClose: the effect deletes itself. Every later request is a no-op answering 0.
  void close();
  bool isClosed() const { return effect_ == nullptr; }

  // Identity. The texts are empty optionals when the effect answers 0 to the request.
  std::optional<std::string> effectName() const;
  std::optional<std::string> vendorString() const;
  std::optional<std::string> productString() const;
  VstInt32 vendorVersion() const;
  // The unique id from the record, and the same as four characters (most significant
  // byte first; non-printable bytes shown as '.').
  VstInt32 uniqueId() const;
  std::string uniqueIdText() const;
  VstInt32 category() const;
  VstInt32 vstVersion() const;

  // Counts and flags, read from the record.
  VstInt32 numPrograms() const;
  VstInt32 numParams() const;
  VstInt32 numInputs() const;
  VstInt32 numOutputs() const;
  VstInt32 flags() const;
  bool hasProgramChunks() const { return (flags() & effFlagsProgramChunks) != 0; }
  bool canReplacing() const { return (flags() & effFlagsCanReplacing) != 0; }
  bool canDoubleReplacing() const { return (flags() & effFlagsCanDoubleReplacing) != 0; }
  bool hasEditor() const { return (flags() & effFlagsHasEditor) != 0; }
  // The latency in samples, read from the record (hosts read it after each resume).
  VstInt32 initialDelay() const;
  VstIntPtr tailSize() const;
  // 1 yes, -1 no, 0 don't know.
  VstIntPtr canDo(const std::string& text) const;

  // The pin requests fill the caller's record; false leaves whatever the effect left in
  // it (a well-behaved effect leaves it untouched).
  bool inputProperties(VstInt32 index, VstPinProperties& properties) const;
  bool outputProperties(VstInt32 index, VstPinProperties& properties) const;
  // Offers a mono (1) or stereo (2) arrangement on each side; other counts are sent as
  // user-defined arrangements with that many speakers.
  bool setSpeakerArrangement(VstInt32 inputChannels, VstInt32 outputChannels) const;
  bool setSpeakerArrangement(VstSpeakerArrangement& input, VstSpeakerArrangement& output) const;

  // Parameters: the texts through the dispatcher, the values through the record.
  std::string parameterName(VstInt32 index) const;
  std::string parameterLabel(VstInt32 index) const;
  std::string parameterDisplay(VstInt32 index) const;
  bool parameterProperties(VstInt32 index, VstParameterProperties& properties) const;
  float getParameter(VstInt32 index) const;
  void setParameter(VstInt32 index, float value) const;
  // effString2Parameter: the effect sets the parameter from a display text; false when it
  // refused the text.
  bool setParameterFromText(VstInt32 index, const std::string& text) const;

  // Programs. The indexed name is absent when the effect answers 0 for the index.
  std::optional<std::string> programNameIndexed(VstInt32 index, VstInt32 category = -1) const;
  VstInt32 program() const;
  void setProgram(VstInt32 program) const;
  std::string programName() const;
  void setProgramName(const std::string& name) const;

  // The sample rate and block size are sent to the effect and become the callback's
  // answers to audioMasterGetSampleRate and audioMasterGetBlockSize (44100 and 1024
  // before any is set).
  void setSampleRate(float rate);
  float sampleRate() const { return sampleRate_.load(); }
  void setBlockSize(VstInt32 frames);
  VstInt32 blockSize() const { return blockSize_.load(); }
  // effMainsChanged on and off.
  void resume();
  void suspend();
  bool isResumed() const { return resumed_.load(); }

  // One block through the record's replacing entries; the arrays hold one pointer per
  // channel. False (and nothing called) when the effect lacks the entry.
  bool processReplacing(float* const* inputs, float* const* outputs, VstInt32 frames) const;
  bool processDoubleReplacing(double* const* inputs, double* const* outputs, VstInt32 frames) const;

  // The state chunk, copied out of the effect's buffer; empty when the effect gives none.
  std::vector<unsigned char> getChunk(bool preset = false) const;
  // Hands the effect a copy of the bytes; returns the effect's answer.
  VstIntPtr setChunk(const std::vector<unsigned char>& data, bool preset = false) const;

  std::optional<ERect> editorRect() const;

  // The answer to audioMasterPinConnected for one pin (all pins start connected).
  void setPinConnected(bool output, int pin, bool connected);
  bool pinConnected(bool output, int pin) const;

  HostCallLog& log() { return log_; }
  const HostCallLog& log() const { return log_; }

 private:
  explicit HostedEffect(const HostOptions& options);

  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                void* ptr, float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  std::optional<std::string> textRequest(VstInt32 opcode, VstInt32 index, VstIntPtr value) const;

  const HostOptions options_;
  AEffect* effect_ = nullptr;
  std::atomic<float> sampleRate_{44100.0f};
  std::atomic<VstInt32> blockSize_{1024};
  std::atomic<bool> resumed_{false};
  std::array<std::atomic<bool>, kMaxPins> inputConnected_;
  std::array<std::atomic<bool>, kMaxPins> outputConnected_;
  HostCallLog log_;
};
