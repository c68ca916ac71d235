#include "presets/CPresetSystemEditor.h"

#include "platform/ExternalFileDialog.h"
#include "presets/CPresetSystemEffect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect),
      preferences_(tavola::PreferencesStore::forCurrentUser()),
      fileDialog_(std::make_unique<tavola::ExternalFileDialog>()) {}

CPresetSystemEditor::~CPresetSystemEditor() {
  cancelFileDialog();
  storePathsAndFilenames();
}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() const {
  return dynamic_cast<CPresetSystemEffect*>(effect_);
}

void CPresetSystemEditor::useFileDialog(std::unique_ptr<tavola::FileDialog> dialog) {
  cancelFileDialog();
  fileDialog_ = std::move(dialog);
}

bool CPresetSystemEditor::open(void* parentWindow) {
  AEffGUIEditor::open(parentWindow);
  return true;
}

void CPresetSystemEditor::close() {
  // The dialog belongs to the panel the user saw: it goes with it.
  cancelFileDialog();
  AEffGUIEditor::close();
}

void CPresetSystemEditor::idle() {
  pollFileDialog();
  AEffGUIEditor::idle();
}

void CPresetSystemEditor::valueChanged(VSTGUI::CControl* /*control*/) {}

void CPresetSystemEditor::nameChangedExternal(const char* /*name*/) {}

void CPresetSystemEditor::loadDefaults() {
  loadDefaultBank();
  if (CPresetSystemEffect* effect = presetEffect()) effect->setPresetNo(0);
  loadDefaultPreset();
  loadDefaultMidi();
  recallPathsAndFilenames();
}
