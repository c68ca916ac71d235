#pragma once
// The effect's program memory: seven named presets, the current preset's number and the
// template preset. Towards the host the effect is a single program whose whole state
// travels as a chunk; the seven presets are chosen from the editor and restored from
// the chunk. A preset becomes sound by routing each stored value through the effect's
// own setParameter.

#include <atomic>
#include <memory>

#include "host/AudioEffectX.h"
#include "presets/PresetRecord.h"

class CPresetSystemEffect : public AudioEffectX {
 public:
  explicit CPresetSystemEffect(audioMasterCallback audioMaster);
  ~CPresetSystemEffect() override;

  // UI thread. The effect overrides it; the base keeps nothing to resume.
  void resume() override {}
  // Any thread. Keeps the current preset in step with the live parameters.
  void setParameter(VstInt32 index, float value) override;
  // Any thread. The current preset's value, or -1 for an unknown index.
  float getParameter(VstInt32 index) override;

  // The host sees one program that never moves from 0.
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  VstInt32 processEvents(VstEvents* /*events*/) override { return 0; }
  VstInt32 canDo(char* /*text*/) override { return 0; }

  // UI thread.
  virtual long getPresetNo() const { return presetNo_.load(std::memory_order_relaxed); }
  // Applies preset n (0 to 6) through setParameter for every index; other numbers are
  // ignored.
  virtual void setPresetNo(long n);
  virtual void setPresetName(const char* name);
  virtual void attachMidi(int /*param*/, int /*cc*/) {}
  virtual void detachMidiParam(int /*param*/) {}
  virtual void detachMidiCC(int /*cc*/) {}
  virtual int getMidiCC(int /*param*/) { return 0; }
  virtual int getMidiParam(int /*cc*/) { return 0; }
  virtual int getMidiActivity() { return 0; }
  virtual void beginLearn() {}
  virtual void endLearn() {}
  virtual void setLearnParam(int /*param*/) {}
  virtual void beginCancel() {}
  virtual void endCancel() {}
  virtual VstInt32 getUniqueID() { return cEffect_.uniqueID; }
  // Preset i becomes a copy of the template, name included.
  virtual void initializePreset(long i);
  // True for parameter indices the preset formats do not store (isDummy when writing,
  // isDummyOld when reading the version-1 layouts).
  virtual bool isDummy(int index) = 0;
  virtual bool isDummyOld(int index) = 0;
  virtual void loadDefaults();
  virtual void initPresets() {}
  virtual void initMidi() {}

  // Read-only view of the preset memory, for the image writers and the tests.
  const PresetRecord& preset(int i) const { return presets_[i]; }
  bool isPresetLoading() const { return presetLoading_.load(std::memory_order_relaxed); }

 protected:
  // Copies a name into a preset's name field: at most 23 characters, zero-padded.
  static void storeName(PresetRecord& preset, const char* name);

  std::unique_ptr<PresetRecord[]> presets_;
  std::atomic<long> presetNo_{0};
  std::unique_ptr<unsigned char[]> oldChunkBuffer_;
  std::unique_ptr<unsigned char[]> chunkBuffer_;
  PresetRecord defaultPreset_{};
  std::atomic<bool> presetLoading_{false};

  static constexpr int kOldChunkBufferSize = 1432;
  static constexpr int kChunkBufferSize = 11081;
};
