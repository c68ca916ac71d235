#include "host/AEffGUIEditor.h"

#include <chrono>

#include "gui/CFrame.h"
#include "host/AudioEffectX.h"

namespace {

constexpr std::uint32_t kIdleInterval = 100;

// The toolkit's key code from the host's (the host uses the same virtual key numbers).
VSTGUI::VstKeyCode keyCodeOf(VstInt32 character, VstInt32 virtualKey, VstInt32 modifier) {
  VSTGUI::VstKeyCode key;
  key.character = character;
  key.virt = static_cast<unsigned char>(virtualKey);
  key.modifier = static_cast<unsigned char>(modifier);
  return key;
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {}

AEffGUIEditor::~AEffGUIEditor() {
  if (frame_) frame_->forget();
}

bool AEffGUIEditor::getRect(ERect** rect) {
  *rect = &rect_;
  return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
  systemWindow_ = parentWindow;
  return true;
}

void AEffGUIEditor::close() {
  systemWindow_ = nullptr;
}

void AEffGUIEditor::idle() {
  if (inIdleStuff_ || !frame_) return;
  frame_->idle();
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
  if (auto* effectX = dynamic_cast<AudioEffectX*>(effect_))
    effectX->beginEdit(static_cast<VstInt32>(index));
}

void AEffGUIEditor::endEdit(long index) {
  if (!isParameter(index)) return;
  if (auto* effectX = dynamic_cast<AudioEffectX*>(effect_))
    effectX->endEdit(static_cast<VstInt32>(index));
}

std::uint32_t AEffGUIEditor::getTicks() {
  using namespace std::chrono;
  return static_cast<std::uint32_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void AEffGUIEditor::doIdleStuff() {
  if (inIdleStuff_) return;
  const std::uint32_t now = getTicks();
  // Wrap-safe: due once the difference turns non-negative.
  if (static_cast<std::int32_t>(now - nextIdleDue_) < 0) return;
  inIdleStuff_ = true;
  idle();
  nextIdleDue_ = now + kIdleInterval;
  if (effect_) effect_->masterIdle();
  inIdleStuff_ = false;
}
