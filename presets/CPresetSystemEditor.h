#pragma once
// The editor object the effect creates with itself and keeps for its whole life. Besides
// the preset strip of the open panel, it carries out the preset system's work that needs
// no window: preset and bank files, the values remembered in the user's preferences (the
// default bank and preset applied at start-up, memories A and B, the last folder and file
// names) and the names shown for the presets. The writers and readers of preset and bank
// images are the effect's; the ones here hand the work to it.
//
// Failures are never silent: whatever stops a file or preference operation is told to the
// user with XPlatDisplayAlert (alert), with the reason (the reader's own for a refused image).
//
// Threads: everything here runs on the host's UI thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "gui/CControl.h"
#include "host/AEffGUIEditor.h"
#include "platform/DocumentOpener.h"
#include "platform/FileDialog.h"
#include "platform/PreferencesStore.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/PresetStrip.h"
#include "presets/format/ImageFormat.h"
#include "presets/format/ImageLayout.h"
#include "presets/format/ImageReadResult.h"

namespace tavola::image {
struct DecodedImage;
}

class CPresetSystemEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
 public:
  // The longest folder or file name remembered, in bytes of UTF-8: what the preferences
  // have always held (256 characters and a NUL).
  static constexpr std::size_t kMaxRememberedNameSize = 256;

  // The keys of the values remembered in the user's preferences.
  static constexpr const char* kCurrentDirKey = "CurrDir";
  static constexpr const char* kCurrentBankKey = "CurrBank";
  static constexpr const char* kCurrentPresetKey = "CurrPreset";
  static constexpr const char* kDefaultPresetKey = "DefaultPreset";
  static constexpr const char* kDefaultBankKey = "DefaultBank";
  static constexpr const char* kMemoryAKey = "MemoAPreset";
  static constexpr const char* kMemoryBKey = "MemoBPreset";
  static constexpr const char* kDefaultMidiKey = "DefaultMidi";

  // The editor of `bank`, and its view. Takes the user's preference store as the
  // environment names it now ($XDG_CONFIG_HOME/tavola) and the desktop's file dialog.
  explicit CPresetSystemEditor(CPresetSystemEffect& bank);
  // Remembers the folder and file names chosen since they were last stored.
  ~CPresetSystemEditor() override;

  void idle() override;
  // The preset strip's controls (tags 92 and up); others are the effect editor's.
  void valueChanged(VSTGUI::CControl* control) override;

  // The preset strip's tags.
  using enum PresetStrip::Tag;
  static constexpr std::size_t kNameFieldBytes = PresetStrip::kNameFieldBytes;
  // Where the manual lives, under the user's documents folder, and the folder of the
  // maker in that path.
  static constexpr const char* kMakerFolder = "Tavola Audio";
  static constexpr const char* kManualFileName = "ZEB Tavola Manual.pdf";

  // The current preset's name changed outside the strip: the strip shows the bank now
  // rather than at the next idle.
  virtual void nameChangedExternal(const char* name);
  // A name typed here, which the current preset takes.
  void nameChangedInternal(const char* name);
  // The strip's control of a tag while the panel is open, else null.
  VSTGUI::CControl* stripControl(long tag) const;
  // The manual's path under the documents folder ("Documents/.../ZEB Tavola Manual.pdf").
  static std::string manualPath(const std::string& documentsFolder);
  // At start-up, after the effect's loadDefaults: the default bank, preset 0, the default
  // preset, and the folder and file names the preferences remember.
  virtual void loadDefaults();

  // Image readers, handed to the effect's bank (CPresetSystemEffect::readImage and the
  // others). Each checks the whole image first; a rejected image leaves every preset as it
  // was and applies nothing. An accepted one is written into the preset memory and
  // applied through the effect's setPresetNo.
  //
  // A version-1 bank, from the byte after the identifier and kind: `presetCount` presets
  // of a name and `floatCount` values each. Selects preset 0.
  virtual ImageReadResult BufferToBankOld(std::span<const unsigned char> data, bool foreign,
                                          std::int64_t presetCount, std::int64_t floatCount);
  // A bank image's records, into all seven presets; selects the bank's current preset.
  virtual ImageReadResult BufferToBank(std::span<const unsigned char> records,
                                       const newpresetheader& header, bool foreign);
  // Image writers. Each allocates a new buffer into `buffer` (released by the caller
  // through the unique_ptr) and returns the image size: the bank of all seven presets and
  // the current preset's number, or the current preset. Both write only the parameter
  // indices the effect's isDummy does not mark. 0 and no buffer without a preset effect.
  virtual std::size_t BankToBuffer(std::unique_ptr<unsigned char[]>& buffer);
  // A version-1 preset, from the byte after the identifier and kind: a name and
  // `floatCount` values.
  virtual ImageReadResult BufferToPresetOld(std::span<const unsigned char> data, bool foreign,
                                            std::int64_t floatCount);
  // A preset image's records (exactly the payload), into the current preset. `header` is
  // in native order; `foreign` says the records are not.
  virtual ImageReadResult BufferToPreset(std::span<const unsigned char> records,
                                         const newpresetheader& header, bool foreign);
  virtual std::size_t PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer);

  // The file operations ask the user for a file in a dialog that does not stop the host;
  // the file is read or written when the answer comes (see pollFileDialog). While one
  // dialog is open, another operation asks nothing and does nothing.
  //
  // Bank files (.zbb). loadBank reads the chosen file, in the other byte order than its
  // identifier says when `endianReversed`, and starts at preset 0 whatever preset the
  // file had current. saveBank writes the bank image over the chosen file, which stays
  // whole if the save fails.
  virtual void loadBank(bool endianReversed);
  virtual void saveBank();
  // The default bank in the preferences ("DefaultBank"), applied at every start-up.
  virtual void saveDefaultBank();
  virtual void resetDefaultBank();
  virtual void loadDefaultBank();

  // Preset files (.zeb), read into and written from the current preset.
  virtual void loadPreset(bool endianReversed);
  virtual void savePreset();
  // The default preset in the preferences ("DefaultPreset"), applied to preset 0 at
  // every start-up.
  virtual void saveDefaultPreset();
  virtual void resetDefaultPreset();
  virtual void loadDefaultPreset();

  // The quick memories: the current preset stored in the preferences and read back into
  // the current preset, by any instance of the effect.
  virtual void storeA();
  virtual void storeB();
  virtual void recallA();
  virtual void recallB();

  // MIDI learning is not part of this effect; only the reset removes a stale value.
  virtual void loadMidi() {}
  virtual void saveMidi() {}
  virtual void saveDefaultMidi() {}
  virtual void resetDefaultMidi();
  virtual void loadDefaultMidi() {}

  // The last folder and the last bank and preset file names. Store writes the names this
  // instance has chosen since they were last stored, and only where the preferences hold
  // something else: an instance that chose nothing writes nothing, and never puts back an
  // older name over one that another instance chose later. Recall takes what the
  // preferences hold; a missing, overlong or malformed value leaves its name as it was.
  virtual void storePathsAndFilenames();
  virtual void recallPathsAndFilenames();

  // Reads a whole preset or bank image as it comes from a file or a preference value:
  // identifier, kind byte and the rest. The byte order comes from the identifier;
  // `invertByteOrder` turns that decision round (the endian-reversed load of a file).
  // Kinds outside `accepted` are refused.
  ImageReadResult readImageFromBytes(
      std::span<const unsigned char> bytes, AcceptedImages accepted, bool invertByteOrder = false,
      CPresetSystemEffect::BankStart start = CPresetSystemEffect::BankStart::kImagesCurrent);

  // The dialog the file operations ask (the tests give a scripted one). An open one is
  // closed first.
  void useFileDialog(std::unique_ptr<tavola::FileDialog> dialog);
  // A file dialog is open; its answer is applied by pollFileDialog (the idle calls it).
  bool fileDialogOpen() const { return fileOperation_ != FileOperation::kNone; }
  void pollFileDialog();
  // Closes an open dialog without acting on it (the panel closes, the effect goes).
  void cancelFileDialog();
  const tavola::PreferencesStore& preferences() const { return preferences_; }

  // The remembered names: the folder (ending in "/") and the file names in it.
  const std::string& currentDir() const { return currentDir_.value; }
  const std::string& bankFileName() const { return bankFileName_.value; }
  const std::string& presetFileName() const { return presetFileName_.value; }

 protected:
  // The whole panel is to be redrawn (a file was loaded).
  virtual void frameInvalidated();

  CPresetSystemEffect& bank() const { return bank_; }
  // The preset strip joins the frame the effect's own editor made, after its controls;
  // on closing, a name being typed is kept and the file dialog goes with the panel.
  void buildPanel() override;
  void tearDownPanel() override;

 private:
  CPresetSystemEffect& bank_;

  // One remembered name and whether this instance chose it since it was last stored.
  struct RememberedName {
    const char* key;
    std::string value;
    bool chosen = false;
  };
  enum class FileKind { kPreset, kBank };

  // Files. The dialog runs beside the host; its answer is taken in a later idle (or at
  // once when it gives it at once), and only then is the file read or written.
  enum class FileOperation { kNone, kLoadPreset, kSavePreset, kLoadBank, kSaveBank };
  bool startFileDialog(const tavola::FileDialogRequest& request, FileOperation operation,
                       bool endianReversed);
  void finishLoadPreset(const std::string& path, bool endianReversed);
  void finishLoadBank(const std::string& path, bool endianReversed);
  // The folder and name remembered from a chosen path, and the whole file read or written.
  void rememberChosenFile(const std::string& path, FileKind kind);
  bool loadImageFile(const std::string& path, AcceptedImages accepted, bool endianReversed,
                     CPresetSystemEffect::BankStart start);
  void saveImageFile(const std::string& path, FileKind kind);

  // Preferences: an image stored, recalled or removed; `what` names it for the user.
  void storeImage(const char* key, FileKind kind, const char* what);
  void recallImage(const char* key, AcceptedImages accepted, const char* what);
  void removeValue(const char* key, const char* what);
  void storeName(RememberedName& name);

  // XPlatDisplayAlert, in this editor's window when it is open and there is no dialog
  // program.
  void alert(std::string_view text);

  // The manual: the documents folder's copy, else the one beside the plug-in; xdg-open
  // runs beside the host, and a failure is told in a later idle.
  void openManual();
  void pollManual();

  tavola::PreferencesStore preferences_;
  std::unique_ptr<tavola::FileDialog> fileDialog_;
  FileOperation fileOperation_ = FileOperation::kNone;
  bool fileEndianReversed_ = false;
  RememberedName currentDir_{kCurrentDirKey, {}};
  RememberedName bankFileName_{kCurrentBankKey, {}};
  RememberedName presetFileName_{kCurrentPresetKey, {}};

  // While the panel is open.
  std::unique_ptr<PresetStrip> strip_;
  std::unique_ptr<tavola::DocumentOpener> manualOpener_;
  std::string manualShown_;  // the manual the opener was last given
};
