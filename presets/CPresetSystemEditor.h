#pragma once
// The editor object the effect creates with itself and keeps for its whole life. Besides
// the preset strip of the open panel, it carries out the preset system's work that needs
// no window: the defaults applied at start-up, the names shown for the presets, and the
// writers and readers of preset and bank images (files, preference values and, through
// the effect, the host's state chunk).
//
// Threads: everything here runs on the host's UI thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "host/AEffGUIEditor.h"
#include "presets/ImageFormat.h"
#include "presets/ImageReadResult.h"

class CPresetSystemEffect;

namespace tavola::image {
struct DecodedImage;
}

// Which images a caller of readImageFromBytes takes: a preset file or preference value
// takes presets (kinds 33 and 34), a bank file or the default bank takes banks (55, 56).
enum class AcceptedImages { kPresets, kBanks };

class CPresetSystemEditor : public AEffGUIEditor {
 public:
  explicit CPresetSystemEditor(AudioEffect* effect);
  ~CPresetSystemEditor() override = default;

  // Opening needs the panel's frame, which the effect's own editor builds first.
  bool open(void* parentWindow) override;
  void close() override;

  // The host renamed the current program; the panel shows the new name.
  virtual void nameChangedExternal(const char* name);
  // At start-up: applies what the user's preferences remember.
  virtual void loadDefaults();

  // Image writers. Each allocates a new buffer into `buffer` (released by the caller
  // through the unique_ptr) and returns the image size: the current preset, or the bank
  // of all seven presets and the current preset's number. Both write only the parameter
  // indices the effect's isDummy does not mark. 0 and no buffer without a preset effect.
  virtual std::size_t PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer);
  virtual std::size_t BankToBuffer(std::unique_ptr<unsigned char[]>& buffer);

  // Image readers. Each checks the whole image first; a rejected image leaves every
  // preset as it was and applies nothing. An accepted one is written into the preset
  // memory and applied through the effect's setPresetNo.
  //
  // A preset image's records (exactly the payload), into the current preset. `header` is
  // in native order; `foreign` says the records are not.
  virtual ImageReadResult BufferToPreset(std::span<const unsigned char> records,
                                         const newpresetheader& header, bool foreign);
  // A version-1 preset, from the byte after the identifier and kind: a name and
  // `floatCount` values.
  virtual ImageReadResult BufferToPresetOld(std::span<const unsigned char> data, bool foreign,
                                            std::int64_t floatCount);
  // A bank image's records, into all seven presets; selects the bank's current preset.
  virtual ImageReadResult BufferToBank(std::span<const unsigned char> records,
                                       const newpresetheader& header, bool foreign);
  // A version-1 bank, from the byte after the identifier and kind: `presetCount` presets
  // of a name and `floatCount` values each. Selects preset 0.
  virtual ImageReadResult BufferToBankOld(std::span<const unsigned char> data, bool foreign,
                                          std::int64_t presetCount, std::int64_t floatCount);

  // Reads a whole preset or bank image as it comes from a file or a preference value:
  // identifier, kind byte and the rest. The byte order comes from the identifier;
  // `invertByteOrder` turns that decision round (the endian-reversed load of a file).
  // Kinds outside `accepted` are refused.
  ImageReadResult readImageFromBytes(std::span<const unsigned char> bytes, AcceptedImages accepted,
                                     bool invertByteOrder = false);

 protected:
  // Where the readers touch the preset strip. The controls exist only while the panel is
  // open; an override must check that each control exists before it touches it. Until
  // the panel has its strip, these do nothing.
  //
  // The preset menu selects entry `preset` and gives it `name` (a reader has just read
  // that preset's name).
  virtual void presetNameShown(int /*preset*/, const char* /*name*/) {}
  // The preset menu selects entry `preset` and the name field shows `name` (a reader has
  // finished and is about to apply that preset).
  virtual void currentPresetShown(int /*preset*/, const char* /*name*/) {}

  CPresetSystemEffect* presetEffect() const;

 private:
  // Writes a checked image into the preset memory, showing each name read when asked.
  void applyDecodedImage(CPresetSystemEffect& effect, const tavola::image::DecodedImage& image,
                         bool showNames);
  // The end of the preset readers: show, rename and apply the preset that was read.
  void finishPresetRead(CPresetSystemEffect& effect, int preset);
  // The end of the bank readers: show and apply the selected preset.
  void finishBankRead(CPresetSystemEffect& effect, int preset);
};
