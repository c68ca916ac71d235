// The image readers of the preset system editor, and the entry that files and preference
// values go through. Every reader first decodes and checks the whole image
// (ImageDecoding), then writes it into the preset memory and applies it; a rejected
// image changes nothing and calls nothing.

#include <cstring>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/ImageDecoding.h"

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

const char* kindName(std::uint8_t kind) {
  switch (kind) {
    case kKindOldPreset:
      return "a version-1 preset (kind 33)";
    case kKindPreset:
      return "a preset image (kind 34)";
    case kKindOldBank:
      return "a version-1 bank (kind 55)";
    case kKindBank:
      return "a bank image (kind 56)";
    default:
      return "an unknown kind";
  }
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
  std::memcpy(name, effect.preset(preset).name, sizeof name);
  currentPresetShown(preset, name);
  effect.setPresetName(name);
  effect.setPresetNo(preset);
}

void CPresetSystemEditor::finishBankRead(CPresetSystemEffect& effect, int preset) {
  currentPresetShown(preset, effect.preset(preset).name);
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
  if (bytes.size() <= 4)
    return ImageReadResult::rejected(
        ImageReadStatus::kTooShort,
        imageReason("%zu bytes: an image is longer than its 4-byte unique identifier",
                    bytes.size()));

  bool foreign = false;
  ImageReadResult identifier =
      checkIdentifier(loadInt32(bytes, 0, false), effect->getUniqueID(), foreign);
  if (!identifier.ok()) return identifier;
  if (invertByteOrder) foreign = !foreign;

  const std::uint8_t kind = bytes[newpresetheader::kKindOffset];
  const bool presetKind = kind == kKindOldPreset || kind == kKindPreset;
  const bool bankKind = kind == kKindOldBank || kind == kKindBank;
  if (!presetKind && !bankKind)
    return ImageReadResult::rejected(
        ImageReadStatus::kUnknownKind,
        imageReason("kind byte %u is neither a preset image (33 or 34) nor a bank image (55 or "
                    "56)",
                    static_cast<unsigned>(kind)));
  if (presetKind != (accepted == AcceptedImages::kPresets))
    return ImageReadResult::rejected(
        ImageReadStatus::kKindNotAccepted,
        imageReason("%s where %s was expected", kindName(kind),
                    accepted == AcceptedImages::kPresets ? "a preset image (kind 33 or 34)"
                                                         : "a bank image (kind 55 or 56)"));

  switch (kind) {
    case kKindOldPreset: {
      if (bytes.size() < kOldPresetFixedSize)
        return ImageReadResult::rejected(
            ImageReadStatus::kTooShort,
            imageReason("version-1 preset of %zu bytes is shorter than its identifier, kind "
                        "and 24-byte name (29 bytes)",
                        bytes.size()));
      const auto floats = static_cast<std::int64_t>((bytes.size() - kOldPresetFixedSize) / 4);
      return BufferToPresetOld(bytes.subspan(kOldImageStart), foreign, floats);
    }
    case kKindOldBank: {
      if (bytes.size() < kOldBankFixedSize)
        return ImageReadResult::rejected(
            ImageReadStatus::kTooShort,
            imageReason("version-1 bank of %zu bytes is shorter than its identifier, kind "
                        "and seven 24-byte names (173 bytes)",
                        bytes.size()));
      const std::size_t perPreset = (bytes.size() - kOldImageStart) / kNumPresets;
      const auto floats = static_cast<std::int64_t>((perPreset - kPresetNameSize) / 4);
      return BufferToBankOld(bytes.subspan(kOldImageStart), foreign, kNumPresets, floats);
    }
    default: {
      newpresetheader header;
      std::span<const unsigned char> records;
      ImageReadResult split = splitHeaderAndRecords(bytes, foreign, header, records);
      if (!split.ok()) return split;
      return kind == kKindPreset ? BufferToPreset(records, header, foreign)
                                 : BufferToBank(records, header, foreign);
    }
  }
}
