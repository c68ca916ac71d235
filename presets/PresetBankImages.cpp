// The bank's image readers and writers, on the effect itself, so that the host's state
// chunk, files and preference values all go through one piece of code whether or not an
// editor object exists. Every reader first decodes and checks the whole image
// (ImageDecoding), then writes it into the preset memory and applies it through
// setPresetNo; a rejected image changes nothing and calls nothing. The writers go through
// the format's own (ImageWriting).

#include <array>
#include <cstring>

#include "presets/CPresetSystemEffect.h"
#include "presets/format/ImageDecoding.h"
#include "presets/format/ImageLayout.h"
#include "presets/format/ImageWriting.h"

using namespace tavola::image;

void CPresetSystemEffect::applyDecodedImage(const DecodedImage& image) {
  for (const ImageStep& step : image.steps) applyImageStep(step);
  bankChanged();
}

void CPresetSystemEffect::finishPresetRead(int preset) {
  // A copy: setPresetName rewrites the very field it would otherwise read from.
  char name[kPresetNameSize];
  std::memcpy(name, presetName(preset), sizeof name);
  setPresetName(name);
  setPresetNo(preset);
}

void CPresetSystemEffect::finishBankRead(int preset) {
  setPresetNo(preset);
}

ImageReadResult CPresetSystemEffect::readPresetRecords(std::span<const unsigned char> records,
                                                       const newpresetheader& header,
                                                       bool foreign) {
  const int current = static_cast<int>(getPresetNo());
  DecodedImage image;
  ImageReadResult result = decodePresetRecords(records, header, foreign, current, image);
  if (!result.ok()) return result;
  applyDecodedImage(image);
  finishPresetRead(current);
  return result;
}

ImageReadResult CPresetSystemEffect::readOldPreset(std::span<const unsigned char> data,
                                                   bool foreign, std::int64_t floatCount) {
  const int current = static_cast<int>(getPresetNo());
  DecodedImage image;
  ImageReadResult result =
      decodeOldPreset(data, foreign, floatCount, oldPlaceholders_, current, image);
  if (!result.ok()) return result;
  applyDecodedImage(image);
  finishPresetRead(current);
  return result;
}

ImageReadResult CPresetSystemEffect::readBankRecords(std::span<const unsigned char> records,
                                                     const newpresetheader& header, bool foreign,
                                                     BankStart start) {
  DecodedImage image;
  ImageReadResult result = decodeBankRecords(records, header, foreign, image);
  if (!result.ok()) return result;
  applyDecodedImage(image);
  finishBankRead(start == BankStart::kFirstPreset ? 0 : image.selectedPreset);
  return result;
}

ImageReadResult CPresetSystemEffect::readOldBank(std::span<const unsigned char> data, bool foreign,
                                                 std::int64_t presetCount,
                                                 std::int64_t floatCount) {
  DecodedImage image;
  ImageReadResult result =
      decodeOldBank(data, foreign, presetCount, floatCount, oldPlaceholders_, image);
  if (!result.ok()) return result;
  applyDecodedImage(image);
  finishBankRead(image.selectedPreset);
  return result;
}

ImageReadResult CPresetSystemEffect::readImage(std::span<const unsigned char> bytes,
                                               AcceptedImages accepted, bool invertByteOrder,
                                               BankStart start) {
  ImageParts parts;
  ImageReadResult split = splitImage(bytes, getUniqueID(), accepted, invertByteOrder, parts);
  if (!split.ok()) return split;
  switch (parts.kind) {
    case kKindOldPreset:
      return readOldPreset(parts.oldData, parts.foreign, parts.oldFloatCount);
    case kKindOldBank:
      return readOldBank(parts.oldData, parts.foreign, parts.oldPresetCount, parts.oldFloatCount);
    case kKindPreset:
      return readPresetRecords(parts.records, parts.header, parts.foreign);
    default:
      return readBankRecords(parts.records, parts.header, parts.foreign, start);
  }
}

std::size_t CPresetSystemEffect::presetImage(std::unique_ptr<unsigned char[]>& buffer) {
  const ParameterMask stored = storedIndices();
  const PresetRecord current = preset(static_cast<int>(getPresetNo()));
  const std::size_t size = presetImageSize(stored);
  buffer = std::make_unique<unsigned char[]>(size);
  writePresetImage(std::span(buffer.get(), size), getUniqueID(), current, stored);
  return size;
}

std::size_t CPresetSystemEffect::bankImage(std::unique_ptr<unsigned char[]>& buffer) {
  const ParameterMask stored = storedIndices();
  std::array<PresetRecord, kNumPresets> presets;
  for (int p = 0; p < kNumPresets; ++p) presets[static_cast<std::size_t>(p)] = preset(p);
  const std::size_t size = bankImageSize(stored);
  buffer = std::make_unique<unsigned char[]>(size);
  writeBankImage(std::span(buffer.get(), size), getUniqueID(), presets,
                 static_cast<std::int32_t>(getPresetNo()), stored);
  return size;
}
