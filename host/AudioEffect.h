#pragma once
// The effect side of the VST 2.4 binding: owns the AEffect record the host holds, turns
// the host's dispatcher requests into virtual operations, and wraps the host callback.
//
// Thread contract, as hosts use it: the dispatcher's requests arrive on the host's UI
// thread; processReplacing and processDoubleReplacing on its audio thread; setParameter
// and getParameter on whatever thread the host automates from (the audio thread
// included).

#include "host/VstInterface.h"

class AEffEditor;

class AudioEffect {
 public:
  AudioEffect(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  virtual ~AudioEffect();
  AudioEffect(const AudioEffect&) = delete;
  AudioEffect& operator=(const AudioEffect&) = delete;

  // UI thread. Maps one dispatcher request to its operation; unknown requests answer 0.
  virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt);

  virtual void open() {}
  virtual void close() {}
  // UI thread, never while a processing call runs.
  virtual void suspend() {}
  virtual void resume() {}

  virtual void setSampleRate(float sampleRate) { sampleRate_ = sampleRate; }
  virtual void setBlockSize(VstInt32 blockSize) { blockSize_ = blockSize; }

  // Audio thread.
  virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
  virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/,
                                      VstInt32 /*sampleFrames*/) {}

  // Any thread.
  virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
  virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
  // UI thread: applies a user's change and reports it to the host as automation.
  virtual void setParameterAutomated(VstInt32 index, float value);

  virtual VstInt32 getProgram() { return curProgram_; }
  virtual void setProgram(VstInt32 program) { curProgram_ = program; }
  virtual void setProgramName(char* /*name*/) {}
  virtual void getProgramName(char* name) { *name = 0; }
  virtual void getParameterLabel(VstInt32 /*index*/, char* label) { *label = 0; }
  virtual void getParameterDisplay(VstInt32 /*index*/, char* text) { *text = 0; }
  virtual void getParameterName(VstInt32 /*index*/, char* text) { *text = 0; }
  // UI thread. The chunk stays owned by the effect until the next request.
  virtual VstInt32 getChunk(void** data, bool /*isPreset*/ = false) {
    *data = nullptr;
    return 0;
  }
  virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) {
    return 0;
  }

  // Fields of the AEffect record, set by the effect's constructor.
  virtual void setUniqueID(VstInt32 id) { cEffect_.uniqueID = id; }
  virtual void setNumInputs(VstInt32 inputs) { cEffect_.numInputs = inputs; }
  virtual void setNumOutputs(VstInt32 outputs) { cEffect_.numOutputs = outputs; }
  virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
  virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
  virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
  // Stores the latency in the record; hosts read it there after a resume.
  virtual void setInitialDelay(VstInt32 delay) { cEffect_.initialDelay = delay; }

  // The effect keeps the editor pointer; null detaches it. The effect deletes an editor
  // still attached when it is destroyed.
  virtual void setEditor(AEffEditor* editor);
  AEffEditor* getEditor() const { return editor_; }

  AEffect* getAeffect() { return &cEffect_; }
  VstInt32 getNumParams() const { return numParams_; }
  float getSampleRate() const { return sampleRate_; }
  VstInt32 getBlockSize() const { return blockSize_; }
  audioMasterCallback getAudioMaster() const { return audioMaster_; }

  virtual VstInt32 getMasterVersion();
  virtual void masterIdle();
  // True when the host says the pin is connected, or cannot be asked.
  virtual bool isInputConnected(VstInt32 input);
  virtual bool isOutputConnected(VstInt32 output);

 protected:
  VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);
  void setFlag(VstInt32 flag, bool state);

  float sampleRate_ = 44100.0f;
  VstInt32 blockSize_ = 1024;
  VstInt32 numPrograms_;
  VstInt32 numParams_;
  VstInt32 curProgram_ = 0;
  AEffEditor* editor_ = nullptr;
  audioMasterCallback audioMaster_;
  AEffect cEffect_{};
};
