// The values the preset system remembers in the user's preferences: the default bank and
// preset, memories A and B, and the last folder and file names. Every write replaces the
// value whole and is synced (PreferencesStore), so another instance, in this host or any
// other process, reads either the old image or the new one.

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/XPlatFile.h"

namespace {

// A remembered name fits the old 257-byte buffers and holds no NUL.
bool isRememberable(const std::string& value) {
  return value.size() <= CPresetSystemEditor::kMaxRememberedNameSize &&
         value.find('\0') == std::string::npos;
}

}  // namespace

void CPresetSystemEditor::storeImage(const char* key, FileKind kind, const char* what) {
  std::unique_ptr<unsigned char[]> image;
  const std::size_t size = kind == FileKind::kBank ? BankToBuffer(image) : PresetToBuffer(image);
  if (size == 0) return;
  std::string error;
  if (!preferences_.writeBytes(key, std::span(image.get(), size), &error))
    alert(std::string("Could not store ") + what + " in the preferences: " + error);
}

void CPresetSystemEditor::recallImage(const char* key, AcceptedImages accepted, const char* what) {
  const std::optional<std::vector<unsigned char>> value = preferences_.readBytes(key);
  // Nothing stored, or too little to be an image: nothing to do, and nothing to report.
  if (!value || value->size() <= 4) return;
  const ImageReadResult result = readImageFromBytes(*value, accepted);
  if (!result.ok())
    alert(std::string("The ") + what + " in the preferences (" +
          (preferences_.folder() / key).string() + ") was not loaded: " + result.reason);
}

void CPresetSystemEditor::removeValue(const char* key, const char* what) {
  std::string error;
  if (!preferences_.remove(key, &error))
    alert(std::string("Could not remove ") + what + " from the preferences: " + error);
}

void CPresetSystemEditor::saveDefaultBank() {
  storeImage(kDefaultBankKey, FileKind::kBank, "the default bank");
}

void CPresetSystemEditor::resetDefaultBank() {
  removeValue(kDefaultBankKey, "the default bank");
}

void CPresetSystemEditor::loadDefaultBank() {
  recallImage(kDefaultBankKey, AcceptedImages::kBanks, "default bank");
}

void CPresetSystemEditor::saveDefaultPreset() {
  storeImage(kDefaultPresetKey, FileKind::kPreset, "the default preset");
}

void CPresetSystemEditor::resetDefaultPreset() {
  removeValue(kDefaultPresetKey, "the default preset");
}

void CPresetSystemEditor::loadDefaultPreset() {
  recallImage(kDefaultPresetKey, AcceptedImages::kPresets, "default preset");
}

void CPresetSystemEditor::storeA() {
  storeImage(kMemoryAKey, FileKind::kPreset, "memory A");
}

void CPresetSystemEditor::storeB() {
  storeImage(kMemoryBKey, FileKind::kPreset, "memory B");
}

void CPresetSystemEditor::recallA() {
  recallImage(kMemoryAKey, AcceptedImages::kPresets, "memory A");
}

void CPresetSystemEditor::recallB() {
  recallImage(kMemoryBKey, AcceptedImages::kPresets, "memory B");
}

void CPresetSystemEditor::resetDefaultMidi() {
  removeValue(kDefaultMidiKey, "the default MIDI assignments");
}

void CPresetSystemEditor::storeName(RememberedName& name) {
  if (!name.chosen) return;
  // Writing what is already there would cost a sync for nothing.
  if (preferences_.readString(name.key) == name.value) {
    name.chosen = false;
    return;
  }
  std::string error;
  if (preferences_.writeString(name.key, name.value, &error))
    name.chosen = false;
  else
    alert(std::string("Could not remember the last ") +
          (&name == &currentDir_ ? "folder" : "file name") + " in the preferences: " + error);
}

void CPresetSystemEditor::storePathsAndFilenames() {
  for (RememberedName* name : {&currentDir_, &bankFileName_, &presetFileName_}) storeName(*name);
}

void CPresetSystemEditor::recallPathsAndFilenames() {
  for (RememberedName* name : {&currentDir_, &bankFileName_, &presetFileName_}) {
    const std::optional<std::string> value = preferences_.readString(name->key);
    if (!value || !isRememberable(*value)) continue;
    name->value = *value;
    name->chosen = false;
  }
}
