#include "presets/CPresetSystemEditor.h"

#include "gui/CFrame.h"
#include "gui/Messages.h"
#include "platform/DiagnosticWriter.h"
#include "platform/ExternalFileDialog.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/XPlatFile.h"

CPresetSystemEditor::CPresetSystemEditor(CPresetSystemEffect& bank)
    : AEffGUIEditor(&bank),
      bank_(bank),
      preferences_(tavola::PreferencesStore::forCurrentUser()),
      fileDialog_(std::make_unique<tavola::ExternalFileDialog>()) {
  // The toolkit's messages wait for standard error no more than ours do.
  VSTGUI::setMessageSink(&tavola::diagnostics::logMessage);
}

CPresetSystemEditor::~CPresetSystemEditor() {
  cancelFileDialog();
  storePathsAndFilenames();
}

void CPresetSystemEditor::alert(std::string_view text) {
  XPlatDisplayAlert(text, frame_ ? frame_->getPlatformWindow() : nullptr);
}

void CPresetSystemEditor::useFileDialog(std::unique_ptr<tavola::FileDialog> dialog) {
  cancelFileDialog();
  fileDialog_ = std::move(dialog);
}

void CPresetSystemEditor::loadDefaults() {
  loadDefaultBank();
  bank_.setPresetNo(0);
  loadDefaultPreset();
  loadDefaultMidi();
  recallPathsAndFilenames();
}
