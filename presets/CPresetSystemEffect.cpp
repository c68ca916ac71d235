#include "presets/CPresetSystemEffect.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <string_view>

#include "gui/Utf8.h"
#include "presets/format/ImageDecoding.h"

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

CPresetSystemEffect::CPresetSystemEffect(audioMasterCallback audioMaster,
                                         const tavola::image::ParameterMask& placeholders)
    : AudioEffectX(audioMaster, 1, kNumPresetParameters),
      writtenPlaceholders_(placeholders),
      oldPlaceholders_(placeholders),
      presets_(new PresetRecord[kNumPresets]()),
      chunkBuffer_(new unsigned char[kChunkBufferSize]()) {
  programsAreChunks(true);
  initPresets();
  copyPreset(defaultPreset_, presets_[0]);
}

CPresetSystemEffect::~CPresetSystemEffect() = default;

bool CPresetSystemEffect::isDummy(int index) const {
  return index < 0 || index >= kNumPresetParameters ||
         writtenPlaceholders_[static_cast<std::size_t>(index)];
}

bool CPresetSystemEffect::isDummyOld(int index) const {
  return index < 0 || index >= kNumPresetParameters ||
         oldPlaceholders_[static_cast<std::size_t>(index)];
}

void CPresetSystemEffect::storeName(PresetRecord& preset, const char* name) {
  char field[kPresetNameSize] = {};
  // Valid UTF-8, cut between characters: a malformed byte or half a character would show
  // as garbage in every host, and the panel could not draw the name at all.
  const std::string whole =
      VSTGUI::utf8::validated(std::string_view(name, ::strnlen(name, kPresetNameSize)));
  const std::size_t kept = VSTGUI::utf8::cutPoint(whole, kPresetNameSize - 1);
  std::memcpy(field, whole.data(), kept);
  std::memcpy(preset.name, field, sizeof field);
}

float CPresetSystemEffect::loadValue(const PresetRecord& preset, int index) {
  // atomic_ref wants a mutable object; the load does not write.
  return std::atomic_ref<float>(const_cast<float&>(preset.params[index]))
      .load(std::memory_order_relaxed);
}

void CPresetSystemEffect::storeValue(PresetRecord& preset, int index, float value) {
  std::atomic_ref<float>(preset.params[index]).store(value, std::memory_order_relaxed);
}

void CPresetSystemEffect::setParameter(VstInt32 index, float value) {
  if (index < 0 || index >= kNumPresetParameters) return;
  storeValue(presets_[getPresetNo()], index, storableValue(value));
}

float CPresetSystemEffect::presetValue(int preset, int index) const {
  return loadValue(presets_[preset], index);
}

PresetRecord CPresetSystemEffect::preset(int preset) const {
  PresetRecord copy;
  std::memcpy(copy.name, presets_[preset].name, sizeof copy.name);
  for (int i = 0; i < kNumPresetParameters; ++i) copy.params[i] = presetValue(preset, i);
  return copy;
}

void CPresetSystemEffect::copyPreset(PresetRecord& target, const PresetRecord& source) {
  std::memcpy(target.name, source.name, sizeof target.name);
  for (int i = 0; i < kNumPresetParameters; ++i) storeValue(target, i, loadValue(source, i));
}

float CPresetSystemEffect::getParameter(VstInt32 index) {
  if (index < 0 || index >= kNumPresetParameters) return -1.0f;
  return presetValue(static_cast<int>(getPresetNo()), index);
}

void CPresetSystemEffect::setPresetNo(long n) {
  if (n < 0 || n >= kNumPresets) return;
  presetLoading_.store(true, std::memory_order_relaxed);
  curProgram_ = 0;
  presetNo_.store(n, std::memory_order_relaxed);
  bankChanged();
  for (int i = 0; i < kNumPresetParameters; ++i) {
    setParameter(i, presetValue(static_cast<int>(n), i));
  }
  if (!startingUp_) {
    updateDisplay();
    beginEdit(0);
    endEdit(0);
  }
  presetLoading_.store(false, std::memory_order_relaxed);
}

void CPresetSystemEffect::setPresetName(const char* name) {
  curProgram_ = 0;
  if (name) storeName(presets_[getPresetNo()], name);
  bankChanged();
  if (!startingUp_) updateDisplay();
}

void CPresetSystemEffect::setProgramName(char* name) {
  if (!name) return;
  storeName(presets_[getPresetNo()], name);
  bankChanged();
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
  copyPreset(presets_[i], defaultPreset_);
  bankChanged();
}

void CPresetSystemEffect::loadDefaults() {
  copyPreset(defaultPreset_, presets_[0]);
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
      // A valid name keeps all 24 bytes as the image stored them (the decoder has ended
      // them with a NUL); one that is not valid UTF-8 is mended.
      if (VSTGUI::utf8::isValid(step.name))
        std::memcpy(preset.name, step.name, kPresetNameSize);
      else
        storeName(preset, step.name);
      break;
    case Op::kValue:
      if (step.index < kNumPresetParameters) storeValue(preset, step.index, step.value);
      break;
  }
}
