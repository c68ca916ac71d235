#pragma once
// The effect's program memory: seven named presets, the current preset's number and the
// template preset. Towards the host the effect is a single program whose whole state
// travels as a chunk; the seven presets are chosen from the editor and restored from
// the chunk. A preset becomes sound by routing each stored value through the effect's
// own setParameter.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "host/AudioEffectX.h"
#include "presets/format/ImageDecoding.h"
#include "presets/format/ImageFormat.h"
#include "presets/format/ImageLayout.h"
#include "presets/format/ImageReadResult.h"
#include "presets/format/PresetRecord.h"

class CPresetSystemEffect : public AudioEffectX {
 public:
  // `placeholders`: the parameter indices the preset formats do not store, both when
  // writing and when reading the version-1 layouts.
  CPresetSystemEffect(audioMasterCallback audioMaster,
                      const tavola::image::ParameterMask& placeholders);
  ~CPresetSystemEffect() override;

  // UI thread. The effect overrides it; the base keeps nothing to resume.
  void resume() override {}
  // Any thread. Keeps the current preset in step with the live parameters.
  void setParameter(VstInt32 index, float value) override;
  // Any thread. The current preset's value, or -1 for an unknown index.
  float getParameter(VstInt32 index) override;

  // UI thread. The host sees one program that never moves from 0.
  VstInt32 getProgram() override { return 0; }
  void setProgram(VstInt32 /*program*/) override {}
  void setProgramName(char* name) override;
  void getProgramName(char* name) override;
  bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
  // UI thread. The host's state: a version-2 chunk (format word, unique identifier, bank
  // image of all seven presets), built by the bank writer. The data stays ours until the
  // next request. The preset flag is ignored: the chunk always carries the whole bank.
  VstInt32 getChunk(void** data, bool isPreset = false) override;
  // UI thread. Reads a chunk of version 2 or 1: 0 when it was applied, -1 when it was
  // rejected, and then every preset is as it was and nothing was applied.
  VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset = false) override;
  // setChunk with the reason for a rejection.
  ImageReadResult readChunk(std::span<const unsigned char> chunk);
  // The version-1 chunk reader: the whole chunk, format word included.
  ImageReadResult setChunkOld(std::span<const unsigned char> chunk, bool foreign);

  // Audio thread: MIDI events are ignored.
  VstInt32 processEvents(VstEvents* /*events*/) override { return 0; }
  // UI thread: the effect answers the host's capability questions.
  VstInt32 canDo(char* /*text*/) override { return 0; }

  // UI thread.
  virtual long getPresetNo() const { return presetNo_.load(std::memory_order_relaxed); }
  // Applies preset n (0 to 6) through setParameter for every index; other numbers are
  // ignored. Tells the host (a display update and one edit of parameter 0) once the
  // effect has started.
  virtual void setPresetNo(long n);
  virtual void setPresetName(const char* name);
  // UI thread: MIDI learning hooks of the shared preset system, all empty here.
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
  // Any thread: fixed at construction.
  virtual VstInt32 getUniqueID() { return cEffect_.uniqueID; }
  // UI thread. Preset i becomes a copy of the template, name included.
  virtual void initializePreset(long i);
  // Any thread; fixed at construction. True for parameter indices the preset formats do
  // not store (isDummy when writing, isDummyOld when reading the version-1 layouts).
  bool isDummy(int index) const;
  bool isDummyOld(int index) const;
  // UI thread, construction: the template becomes preset 0. The defaults remembered in the
  // user's preferences are the editor object's to apply (CPresetSystemEditor::loadDefaults).
  virtual void loadDefaults();
  virtual void initPresets() {}
  virtual void initMidi() {}

  // UI thread: the name field of preset i (0 to 6). Names change on the UI thread only.
  const char* presetName(int i) const { return presets_[i].name; }
  // Any thread: one stored value, read the way the live setParameter writes it.
  float presetValue(int preset, int index) const;
  // Any thread: a copy of preset i (0 to 6), its values read as presetValue reads them.
  PresetRecord preset(int i) const;
  // UI thread, for the image readers: one change of an image that has been checked
  // whole (template, name or value).
  void applyImageStep(const tavola::image::ImageStep& step);
  bool isPresetLoading() const { return presetLoading_.load(std::memory_order_relaxed); }
  // UI thread. Until the effect is made, applying the start-up preset and the user's
  // defaults tells the host nothing: a host's scanner instantiates the plug-in only to read
  // it, and display updates and edit gestures from inside instantiation reach a host that
  // has no record of the effect yet.
  void endStartUp() { startingUp_ = false; }

  // UI thread. Image readers: each checks the whole image first; a rejected image leaves
  // every preset as it was and applies nothing. An accepted one is written into the preset
  // memory and applied through setPresetNo.
  //
  // A preset image's records (exactly the payload), into the current preset. `header` is
  // in native order; `foreign` says the records are not.
  ImageReadResult readPresetRecords(std::span<const unsigned char> records,
                                    const newpresetheader& header, bool foreign);
  // A version-1 preset, from the byte after the identifier and kind: a name and
  // `floatCount` values.
  ImageReadResult readOldPreset(std::span<const unsigned char> data, bool foreign,
                                std::int64_t floatCount);
  // Which preset a bank read applies: the one the image names (the host's state), or the
  // first (a bank file loaded by the user starts there). Either way it is applied once.
  enum class BankStart { kImagesCurrent, kFirstPreset };
  // A bank image's records, into all seven presets.
  ImageReadResult readBankRecords(std::span<const unsigned char> records,
                                  const newpresetheader& header, bool foreign,
                                  BankStart start = BankStart::kImagesCurrent);
  // A version-1 bank: `presetCount` presets of a name and `floatCount` values each.
  // Selects preset 0.
  ImageReadResult readOldBank(std::span<const unsigned char> data, bool foreign,
                              std::int64_t presetCount, std::int64_t floatCount);
  // A whole image as it comes from a file or a preference value: identifier, kind byte and
  // the rest. The byte order comes from the identifier; `invertByteOrder` turns that
  // decision round (the endian-reversed load of a file). Kinds outside `accepted` are
  // refused.
  ImageReadResult readImage(std::span<const unsigned char> bytes, AcceptedImages accepted,
                            bool invertByteOrder = false,
                            BankStart start = BankStart::kImagesCurrent);
  // UI thread. Image writers: a new buffer into `buffer` and the image's size, for the
  // current preset or for the bank of all seven and the current preset's number. Both
  // write only the parameter indices isDummy does not mark.
  std::size_t presetImage(std::unique_ptr<unsigned char[]>& buffer);
  std::size_t bankImage(std::unique_ptr<unsigned char[]>& buffer);

  // Any thread: moves on whenever a name or the current preset may have changed, so that
  // whatever shows them (the panel's preset strip, in its idle) knows to look again.
  std::uint32_t changeCount() const { return changes_.load(std::memory_order_acquire); }

 protected:
  // A name or the current preset changed.
  void bankChanged() { changes_.fetch_add(1, std::memory_order_release); }
  // Construction only: the indices left out when writing (a test stores every one).
  void setWrittenPlaceholders(const tavola::image::ParameterMask& placeholders) {
    writtenPlaceholders_ = placeholders;
  }
  // Copies a name into a preset's name field: at most 23 characters, zero-padded. The
  // name may be the field itself.
  static void storeName(PresetRecord& preset, const char* name);
  // Every stored value is shared: setParameter writes the current preset from whatever
  // thread the host automates on while the UI thread reads, copies and replaces presets.
  // All access to a value goes through these two, one relaxed atomic access each.
  static float loadValue(const PresetRecord& preset, int index);
  static void storeValue(PresetRecord& preset, int index, float value);
  // The name and every value, each value copied with the atomic access.
  static void copyPreset(PresetRecord& target, const PresetRecord& source);

 private:
  tavola::image::ParameterMask storedIndices() const { return ~writtenPlaceholders_; }
  // Writes a checked image into the preset memory.
  void applyDecodedImage(const tavola::image::DecodedImage& image);
  // The end of the preset readers: rename and apply the preset that was read.
  void finishPresetRead(int preset);
  // The end of the bank readers: apply the selected preset.
  void finishBankRead(int preset);

 protected:
  tavola::image::ParameterMask writtenPlaceholders_;
  tavola::image::ParameterMask oldPlaceholders_;
  std::unique_ptr<PresetRecord[]> presets_;
  std::atomic<long> presetNo_{0};
  std::atomic<std::uint32_t> changes_{0};
  // What getChunk hands the host. Version-1 chunks are decoded straight from the host's
  // bytes, with every offset checked against the size it gave, so they need no copy.
  std::unique_ptr<unsigned char[]> chunkBuffer_;
  PresetRecord defaultPreset_{};
  std::atomic<bool> presetLoading_{false};
  bool startingUp_ = true;

  // The largest chunk the layout can produce: head, header and seven presets with all 44
  // values stored.
  static constexpr int kChunkBufferSize = 11081;
};
