// The image readers of the preset system editor, and the entry that files and preference
// values go through. Every reader first decodes and checks the whole image
// (ImageDecoding), then writes it into the preset memory and applies it; a rejected
// image changes nothing and calls nothing.

#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/ImageDecoding.h"
#include "presets/ImageLayout.h"

using namespace tavola::image;

namespace {

ImageReadResult noPresetMemory() {
  return ImageReadResult::rejected(ImageReadStatus::kNoPresetMemory,
                                   "no preset effect to read the image into");
}

ParameterMask oldLayoutSkipped(CPresetSystemEffect& effect) {
  ParameterMask skipped;
  for (int i = 0; i < kNumPresetParameters; ++i)
    skipped[static_cast<std::size_t>(i)] = effect.isDummyOld(i);
  return skipped;
}

}  // namespace

void CPresetSystemEditor::applyDecodedImage(CPresetSystemEffect& effect, const DecodedImage& image,
                                            bool showNames) {
  for (const ImageStep& step : image.steps) {
    effect.applyImageStep(step);
    if (showNames && step.op == ImageStep::Op::kName) presetNameShown(step.preset, step.name);
  }
}

void CPresetSystemEditor::finishPresetRead(CPresetSystemEffect& effect, int preset) {
  // A copy: setPresetName rewrites the very field it would otherwise read from.
  char name[kPresetNameSize];
  std::memcpy(name, effect.presetName(preset), sizeof name);
  currentPresetShown(preset, name);
  effect.setPresetName(name);
  effect.setPresetNo(preset);
}

void CPresetSystemEditor::finishBankRead(CPresetSystemEffect& effect, int preset) {
  currentPresetShown(preset, effect.presetName(preset));
  effect.setPresetNo(preset);
}

ImageReadResult CPresetSystemEditor::BufferToPreset(std::span<const unsigned char> records,
                                                    const newpresetheader& header, bool foreign) {
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return noPresetMemory();
  const int current = static_cast<int>(effect->getPresetNo());
  DecodedImage image;
  ImageReadResult result = decodePresetRecords(records, header, foreign, current, image);
  if (!result.ok()) return result;
  applyDecodedImage(*effect, image, true);
  finishPresetRead(*effect, current);
  return result;
}

ImageReadResult CPresetSystemEditor::BufferToPresetOld(std::span<const unsigned char> data,
                                                       bool foreign, std::int64_t floatCount) {
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return noPresetMemory();
  const int current = static_cast<int>(effect->getPresetNo());
  DecodedImage image;
  ImageReadResult result =
      decodeOldPreset(data, foreign, floatCount, oldLayoutSkipped(*effect), current, image);
  if (!result.ok()) return result;
  applyDecodedImage(*effect, image, false);
  finishPresetRead(*effect, current);
  return result;
}

ImageReadResult CPresetSystemEditor::BufferToBank(std::span<const unsigned char> records,
                                                  const newpresetheader& header, bool foreign) {
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return noPresetMemory();
  DecodedImage image;
  ImageReadResult result = decodeBankRecords(records, header, foreign, image);
  if (!result.ok()) return result;
  applyDecodedImage(*effect, image, true);
  finishBankRead(*effect, image.selectedPreset);
  return result;
}

ImageReadResult CPresetSystemEditor::BufferToBankOld(std::span<const unsigned char> data,
                                                     bool foreign, std::int64_t presetCount,
                                                     std::int64_t floatCount) {
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return noPresetMemory();
  DecodedImage image;
  ImageReadResult result =
      decodeOldBank(data, foreign, presetCount, floatCount, oldLayoutSkipped(*effect), image);
  if (!result.ok()) return result;
  applyDecodedImage(*effect, image, true);
  finishBankRead(*effect, image.selectedPreset);
  return result;
}

ImageReadResult CPresetSystemEditor::readImageFromBytes(std::span<const unsigned char> bytes,
                                                        AcceptedImages accepted,
                                                        bool invertByteOrder) {
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return noPresetMemory();
  ImageParts parts;
  ImageReadResult split =
      splitImage(bytes, effect->getUniqueID(), accepted, invertByteOrder, parts);
  if (!split.ok()) return split;
  switch (parts.kind) {
    case kKindOldPreset:
      return BufferToPresetOld(parts.oldData, parts.foreign, parts.oldFloatCount);
    case kKindOldBank:
      return BufferToBankOld(parts.oldData, parts.foreign, parts.oldPresetCount,
                             parts.oldFloatCount);
    case kKindPreset:
      return BufferToPreset(parts.records, parts.header, parts.foreign);
    default:
      return BufferToBank(parts.records, parts.header, parts.foreign);
  }
}
