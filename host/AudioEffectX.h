#pragma once
// The VST 2 extensions of the effect binding: identity, capabilities, pins, speaker
// arrangements, parameter properties, indexed program names and the host notifications
// that came with version 2.

#include "host/AudioEffect.h"

class AudioEffectX : public AudioEffect {
 public:
  AudioEffectX(audioMasterCallback audioMaster, VstInt32 numPrograms, VstInt32 numParams);
  ~AudioEffectX() override = default;

  // UI thread, like every dispatcher request.
  VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) override;

  // Identity and capabilities; UI thread.
  virtual bool getEffectName(char* /*name*/) { return false; }
  virtual bool getVendorString(char* /*text*/) { return false; }
  virtual bool getProductString(char* /*text*/) { return false; }
  virtual VstInt32 getVendorVersion() { return 0; }
  virtual VstIntPtr vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }
  // 1 = yes, -1 = no, 0 = don't know.
  virtual VstInt32 canDo(char* /*text*/) { return 0; }
  virtual VstInt32 getVstVersion() { return kVstVersion; }
  virtual VstInt32 getPlugCategory() { return kPlugCategUnknown; }
  // Samples of output that follow the end of the input; 0 lets the host choose.
  virtual VstInt32 getGetTailSize() { return 0; }

  // Pins, arrangements, parameter properties and programs; UI thread.
  virtual bool getInputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
    return false;
  }
  virtual bool getOutputProperties(VstInt32 /*index*/, VstPinProperties* /*properties*/) {
    return false;
  }
  virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*input*/,
                                     VstSpeakerArrangement* /*output*/) {
    return false;
  }
  virtual bool getSpeakerArrangement(VstSpeakerArrangement** input,
                                     VstSpeakerArrangement** output) {
    *input = nullptr;
    *output = nullptr;
    return false;
  }
  virtual bool getParameterProperties(VstInt32 /*index*/, VstParameterProperties* /*p*/) {
    return false;
  }
  virtual bool canParameterBeAutomated(VstInt32 index) { return index >= 0 && index < numParams_; }
  virtual bool string2parameter(VstInt32 /*index*/, char* /*text*/) { return false; }
  virtual bool getProgramNameIndexed(VstInt32 /*category*/, VstInt32 /*index*/, char* /*text*/) {
    return false;
  }
  virtual bool beginSetProgram() { return false; }
  virtual bool endSetProgram() { return false; }
  // Audio thread: the events of the next block.
  virtual VstInt32 processEvents(VstEvents* /*events*/) { return 0; }
  virtual bool setBypass(bool /*onOff*/) { return false; }
  virtual bool setProcessPrecision(VstInt32 /*precision*/) { return false; }
  // UI thread: the host's processing starts and stops.
  virtual VstInt32 startProcess() { return 0; }
  virtual VstInt32 stopProcess() { return 0; }
  virtual VstInt32 getNumMidiInputChannels() { return 0; }
  virtual VstInt32 getNumMidiOutputChannels() { return 0; }

  // Notifications to the host and queries of it: the UI thread, never the audio thread
  // (hosts may take locks or redraw in their answers).
  virtual bool updateDisplay();
  virtual bool beginEdit(VstInt32 index);
  virtual bool endEdit(VstInt32 index);
  // Tells the host that the latency or the pins changed; only for a host whose
  // canHostDo("acceptIOChanges") answered 1.
  virtual bool ioChanged();
  // 1 yes, -1 no, 0 don't know (also without a host callback).
  virtual VstInt32 canHostDo(const char* text);
  virtual VstInt32 updateBlockSize();
  virtual VstInt32 getOutputLatency();
  virtual VstInt32 getInputLatency();
};
