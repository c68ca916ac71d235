#include "presets/CPresetSystemEditor.h"

#include "gui/Messages.h"
#include "platform/DiagnosticWriter.h"
#include "platform/ExternalFileDialog.h"
#include "presets/CPresetSystemEffect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect)
    : AEffGUIEditor(effect),
      preferences_(tavola::PreferencesStore::forCurrentUser()),
      fileDialog_(std::make_unique<tavola::ExternalFileDialog>()) {
  // The toolkit's messages wait for standard error no more than ours do.
  VSTGUI::setMessageSink(&tavola::diagnostics::logMessage);
  if (CPresetSystemEffect* bank = presetEffect()) bank->setPresetView(this);
}

CPresetSystemEditor::~CPresetSystemEditor() {
  if (CPresetSystemEffect* bank = presetEffect(); bank && bank->presetView() == this)
    bank->setPresetView(nullptr);
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

void CPresetSystemEditor::loadDefaults() {
  loadDefaultBank();
  if (CPresetSystemEffect* effect = presetEffect()) effect->setPresetNo(0);
  loadDefaultPreset();
  loadDefaultMidi();
  recallPathsAndFilenames();
}
