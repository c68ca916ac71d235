#include "host/AEffGUIEditor.h"

#include "gui/CFrame.h"
#include "host/AudioEffectX.h"

namespace {

// The toolkit's key code from the host's (the host uses the same virtual key numbers).
VSTGUI::VstKeyCode keyCodeOf(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) {
  VSTGUI::VstKeyCode key;
  key.character = character;
  key.virt = static_cast<unsigned char>(virtualKey);
  key.modifier = static_cast<unsigned char>(modifier);
  return key;
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect) : AEffEditor(effect), effectX_(effect) {}

AEffGUIEditor::~AEffGUIEditor() {
  if (frame_) frame_->forget();
}

bool AEffGUIEditor::getRect(ERect** rect) {
  *rect = &rect_;
  return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
  if (frame_ && parentWindow == systemWindow_) return true;
  if (frame_) close();
  frame_ = makeFrame(parentWindow);
  if (!frame_) return false;
  systemWindow_ = parentWindow;
  buildPanel();
  return true;
}

VSTGUI::CFrame* AEffGUIEditor::makeFrame(void* parentWindow) {
  const VSTGUI::CRect size(rect_.left, rect_.top, rect_.right, rect_.bottom);
  auto* frame = new VSTGUI::CFrame(size, parentWindow, this);
  if (parentWindow && !frame->hasWindow()) {
    frame->forget();
    return nullptr;
  }
  return frame;
}

void AEffGUIEditor::close() {
  // Also without a frame: what the panel started (a file dialog) ends with it.
  tearDownPanel();
  if (frame_) {
    frame_->close();
    frame_->forget();
    frame_ = nullptr;
  }
  systemWindow_ = nullptr;
}

void AEffGUIEditor::idle() {
  if (frame_) frame_->idle();
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
  knobMode_ = mode;
  return true;
}

bool AEffGUIEditor::onKeyDown(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) {
  if (!frame_) return false;
  VSTGUI::VstKeyCode key = keyCodeOf(character, virtualKey, modifier);
  return frame_->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) {
  if (!frame_) return false;
  VSTGUI::VstKeyCode key = keyCodeOf(character, virtualKey, modifier);
  return frame_->onKeyUp(key) == 1;
}

bool AEffGUIEditor::isParameter(long index) const {
  return effect_ && index >= 0 && index < effect_->getNumParams();
}

// Controls that are no parameter (the preset strip's) make gestures too; the host knows
// only parameters, so it hears of none of theirs.
void AEffGUIEditor::beginEdit(long index) {
  if (!isParameter(index)) return;
  if (effectX_) effectX_->beginEdit(static_cast<VstInt32>(index));
}

void AEffGUIEditor::endEdit(long index) {
  if (!isParameter(index)) return;
  if (effectX_) effectX_->endEdit(static_cast<VstInt32>(index));
}
