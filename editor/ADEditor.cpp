#include "editor/ADEditor.h"

#include "host/AudioEffect.h"

ADEditor::ADEditor(AudioEffect* effect) : CPresetSystemEditor(effect) {
  rect_ = ERect{0, 0, kHeight, kWidth};
}

ADEditor::~ADEditor() {
  if (effect_ && effect_->getEditor() == this) effect_->setEditor(nullptr);
}

void ADEditor::setParameter(VstInt32 /*index*/, float /*value*/) {}

void ADEditor::internalSampleRateChanged() {}

void ADEditor::resume() {}
