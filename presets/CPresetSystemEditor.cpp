#include "presets/CPresetSystemEditor.h"

#include "presets/CPresetSystemEffect.h"

CPresetSystemEditor::CPresetSystemEditor(AudioEffect* effect) : AEffGUIEditor(effect) {}

CPresetSystemEffect* CPresetSystemEditor::presetEffect() const {
  return dynamic_cast<CPresetSystemEffect*>(effect_);
}

bool CPresetSystemEditor::open(void* parentWindow) {
  AEffGUIEditor::open(parentWindow);
  return false;
}

void CPresetSystemEditor::close() {
  AEffGUIEditor::close();
}

void CPresetSystemEditor::nameChangedExternal(const char* /*name*/) {}

void CPresetSystemEditor::loadDefaults() {
  if (CPresetSystemEffect* effect = presetEffect()) effect->setPresetNo(0);
}
