#include "presets/CPresetSystemEffect.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "presets/ImageDecoding.h"

namespace {

// A stored preset must stay readable by the image readers, which reject values outside
// [0, 1] and NaN. Hosts may send such values; keeping them as sent would make the next
// saved project or bank unloadable, so the memory keeps the nearest valid value.
float storableValue(float value) {
  if (std::isnan(value)) return 0.0f;
  if (value < 0.0f) return 0.0f;
  if (value > 1.0f) return 1.0f;
  return value;
}

}  // namespace

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, 1, kNumPresetParameters),
      presets_(new PresetRecord[kNumPresets]()),
      chunkBuffer_(new unsigned char[kChunkBufferSize]()) {
  programsAreChunks(true);
  initPresets();
  defaultPreset_ = presets_[0];
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

void CPresetSystemEffect::storeName(PresetRecord& preset, const char* name) {
  char field[kPresetNameSize] = {};
  std::strncpy(field, name, kPresetNameSize - 1);
  std::memcpy(preset.name, field, sizeof field);
}

CPresetSystemEditor* CPresetSystemEffect::presetEditor() const {
  return dynamic_cast<CPresetSystemEditor*>(editor_);
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (index < 0 || index >= kNumPresetParameters) return;
  float& slot = presets_[getPresetNo()].params[index];
  std::atomic_ref<float>(slot).store(storableValue(value), std::memory_order_relaxed);
}

float CPresetSystemEffect::presetValue(int preset, int index) const {
  return std::atomic_ref<float>(presets_[preset].params[index]).load(std::memory_order_relaxed);
}

PresetRecord CPresetSystemEffect::presetSnapshot(int preset) const {
  PresetRecord copy;
  std::memcpy(copy.name, presets_[preset].name, sizeof copy.name);
  for (int i = 0; i < kNumPresetParameters; ++i) copy.params[i] = presetValue(preset, i);
  return copy;
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
  if (index < 0 || index >= kNumPresetParameters) return -1.0f;
  float& slot = presets_[getPresetNo()].params[index];
  return std::atomic_ref<float>(slot).load(std::memory_order_relaxed);
}

void CPresetSystemEffect::setPresetNo(long n) {
  if (n < 0 || n >= kNumPresets) return;
  presetLoading_.store(true, std::memory_order_relaxed);
  curProgram_ = 0;
  presetNo_.store(n, std::memory_order_relaxed);
  for (int i = 0; i < kNumPresetParameters; ++i) {
    setParameter(i, std::atomic_ref<float>(presets_[n].params[i]).load(std::memory_order_relaxed));
  }
  updateDisplay();
  beginEdit(0);
  endEdit(0);
  presetLoading_.store(false, std::memory_order_relaxed);
}

void CPresetSystemEffect::setPresetName(const char* name) {
  curProgram_ = 0;
  if (name) storeName(presets_[getPresetNo()], name);
  updateDisplay();
}

void CPresetSystemEffect::setProgramName(char* name) {
  if (!name) return;
  PresetRecord& current = presets_[getPresetNo()];
  storeName(current, name);
  if (CPresetSystemEditor* editor = presetEditor()) editor->nameChangedExternal(current.name);
}

void CPresetSystemEffect::getProgramName(char* name) {
  std::memcpy(name, presets_[getPresetNo()].name, kPresetNameSize);
}

bool CPresetSystemEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
  if (index < 0 || index >= kNumPresets) return false;
  std::memcpy(text, presets_[index].name, kPresetNameSize);
  return true;
}

void CPresetSystemEffect::initializePreset(long i) {
  if (i < 0 || i >= kNumPresets) return;
  presets_[i] = defaultPreset_;
}

void CPresetSystemEffect::loadDefaults() {
  defaultPreset_ = presets_[0];
  if (CPresetSystemEditor* editor = presetEditor()) editor->loadDefaults();
}

void CPresetSystemEffect::applyImageStep(const tavola::image::ImageStep& step) {
  using Op = tavola::image::ImageStep::Op;
  if (step.preset >= kNumPresets) return;
  PresetRecord& preset = presets_[step.preset];
  switch (step.op) {
    case Op::kReset:
      initializePreset(step.preset);
      break;
    case Op::kName:
      // All 24 bytes as the image stored them; the decoder has ended them with a NUL.
      std::memcpy(preset.name, step.name, kPresetNameSize);
      break;
    case Op::kValue:
      if (step.index < kNumPresetParameters)
        std::atomic_ref<float>(preset.params[step.index])
            .store(step.value, std::memory_order_relaxed);
      break;
  }
}
