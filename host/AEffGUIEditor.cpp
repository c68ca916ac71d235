#include "host/AEffGUIEditor.h"

#include "host/AudioEffectX.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

bool AEffGUIEditor::getRect(ERect** rect) {
  *rect = &rect_;
  return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
  systemWindow_ = parentWindow;
  return true;
}

void AEffGUIEditor::idle() {}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode_ = mode;
  return true;
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
  if (auto* effectX = dynamic_cast<AudioEffectX*>(effect_)) effectX->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
  if (auto* effectX = dynamic_cast<AudioEffectX*>(effect_)) effectX->endEdit(index);
}
