// The image writers of the preset system editor: the current preset as a preset image,
// all seven presets as a bank image, both through the format's own writers
// (ImageWriting). Readers on a machine of the other byte order recognise the order from
// the unique identifier.

#include <array>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/ImageWriting.h"

using namespace tavola::image;

namespace {

// The parameter indices the current formats store.
ParameterMask storedIndices(CPresetSystemEffect& effect) {
  ParameterMask stored;
  for (int i = 0; i < kNumPresetParameters; ++i)
    stored[static_cast<std::size_t>(i)] = !effect.isDummy(i);
  return stored;
}

}  // namespace

std::size_t CPresetSystemEditor::PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return 0;
  const ParameterMask stored = storedIndices(*effect);
  const PresetRecord preset = effect->preset(static_cast<int>(effect->getPresetNo()));
  const std::size_t size = presetImageSize(stored);
  buffer = std::make_unique<unsigned char[]>(size);
  writePresetImage(std::span(buffer.get(), size), effect->getUniqueID(), preset, stored);
  return size;
}

std::size_t CPresetSystemEditor::BankToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return 0;
  const ParameterMask stored = storedIndices(*effect);
  std::array<PresetRecord, kNumPresets> presets;
  for (int p = 0; p < kNumPresets; ++p) presets[static_cast<std::size_t>(p)] = effect->preset(p);
  const std::size_t size = bankImageSize(stored);
  buffer = std::make_unique<unsigned char[]>(size);
  writeBankImage(std::span(buffer.get(), size), effect->getUniqueID(), presets,
                 static_cast<std::int32_t>(effect->getPresetNo()), stored);
  return size;
}
