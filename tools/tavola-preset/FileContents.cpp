#include "tools/tavola-preset/FileContents.h"

#include <algorithm>
#include <map>

#include "presets/format/ImageFormat.h"
#include "presets/format/ImageLayout.h"

namespace tavola::presettool {
namespace {

using image::ImageStep;

bool identifierAt(std::span<const unsigned char> bytes, std::size_t offset, std::int32_t ownId) {
  if (bytes.size() < offset + 4) return false;
  return image::detectByteOrder(image::loadInt32(bytes, offset, false), ownId) !=
         image::ByteOrder::kUnknown;
}

// The decoded steps as the presets they leave, each value as the last step gave it.
std::vector<PresetContents> presetsOf(const image::DecodedImage& decoded) {
  std::map<int, PresetContents> presets;
  std::map<int, std::map<int, float>> values;
  for (const ImageStep& step : decoded.steps) {
    PresetContents& preset = presets[step.preset];
    preset.number = step.preset;
    switch (step.op) {
      case ImageStep::Op::kReset:
        // A name record (re)starts its preset from the template.
        values[step.preset].clear();
        preset.name.reset();
        break;
      case ImageStep::Op::kName:
        preset.name = std::string(step.name);
        break;
      case ImageStep::Op::kValue:
        values[step.preset][step.index] = step.value;
        break;
    }
  }
  std::vector<PresetContents> list;
  for (auto& [number, preset] : presets) {
    for (const auto& [index, value] : values[number]) preset.values.push_back({index, value});
    list.push_back(preset);
  }
  return list;
}

ImageReadResult readImage(std::span<const unsigned char> bytes, std::int32_t ownId,
                          const image::ParameterMask& skippedOld, FileContents& contents) {
  image::ImageParts parts;
  ImageReadResult result = image::splitImage(bytes, ownId, AcceptedImages::kAny, false, parts);
  if (!result.ok()) return result;
  image::DecodedImage decoded;
  result = image::decodeImage(parts, skippedOld, 0, decoded);
  if (!result.ok()) return result;

  contents.foreign = parts.foreign;
  switch (parts.kind) {
    case image::kKindOldPreset:
      contents.container = FileContents::Container::kOldPreset;
      break;
    case image::kKindOldBank:
      contents.container = FileContents::Container::kOldBank;
      break;
    case image::kKindPreset:
      contents.container = FileContents::Container::kPreset;
      break;
    default:
      contents.container = FileContents::Container::kBank;
      break;
  }
  contents.formatVersion = parts.header.version;
  contents.parameterCount = parts.header.parameterCount;
  contents.recordCount = parts.header.recordCount;
  contents.oldPresetCount = parts.oldPresetCount;
  contents.oldFloatCount = parts.oldFloatCount;
  // The version-1 bank has no current preset of its own.
  if (parts.kind == image::kKindBank) {
    contents.currentPreset = decoded.selectedPreset;
    contents.storedCurrentPreset = parts.header.currentPreset;
  }
  contents.presets = presetsOf(decoded);
  return result;
}

ImageReadResult readChunk(std::span<const unsigned char> bytes, std::int32_t ownId,
                          const image::ParameterMask& skippedOld, FileContents& contents) {
  image::ChunkParts parts;
  ImageReadResult result = image::splitChunk(bytes, ownId, parts);
  if (!result.ok()) return result;
  image::DecodedImage decoded;
  result = image::decodeChunk(bytes, parts, skippedOld, decoded);
  if (!result.ok()) return result;

  contents.foreign = parts.foreign;
  contents.currentPreset = decoded.selectedPreset;
  if (parts.format == image::kChunkFormatOld) {
    contents.container = FileContents::Container::kOldChunk;
    // decodeOldChunk has checked the head and the counts.
    const auto presets = image::loadInt32(bytes, image::kOldChunkPresetCountOffset, parts.foreign);
    contents.storedCurrentPreset =
        image::loadInt32(bytes, image::kOldChunkCurrentOffset, parts.foreign);
    contents.oldPresetCount = presets;
    if (presets > 0)
      contents.oldFloatCount = static_cast<std::int64_t>(
          ((bytes.size() - image::kOldChunkHeadSize) / static_cast<std::size_t>(presets) -
           kPresetNameSize) /
          4);
  } else {
    contents.container = FileContents::Container::kChunk;
    contents.formatVersion = parts.header.version;
    contents.parameterCount = parts.header.parameterCount;
    contents.recordCount = parts.header.recordCount;
    contents.storedCurrentPreset = parts.header.currentPreset;
  }
  contents.presets = presetsOf(decoded);
  return result;
}

}  // namespace

ImageReadResult readFileContents(std::span<const unsigned char> bytes, std::int32_t ownId,
                                 const image::ParameterMask& skippedOld, FileContents& contents) {
  contents = FileContents();
  if (identifierAt(bytes, 0, ownId)) return readImage(bytes, ownId, skippedOld, contents);
  if (identifierAt(bytes, image::kChunkHeadSize - 4, ownId))
    return readChunk(bytes, ownId, skippedOld, contents);

  // Neither: the image reader's reason, and the chunk reader's when the data is long
  // enough to be one.
  image::ImageParts imageParts;
  const ImageReadResult asImage =
      image::splitImage(bytes, ownId, AcceptedImages::kAny, false, imageParts);
  if (bytes.size() < image::kChunkHeadSize) return asImage;
  image::ChunkParts chunkParts;
  const ImageReadResult asChunk = image::splitChunk(bytes, ownId, chunkParts);
  return ImageReadResult::rejected(asImage.status,
                                   "neither a preset or bank image (at byte 0, " + asImage.reason +
                                       ") nor a chunk (at byte 4, " + asChunk.reason + ")");
}

}  // namespace tavola::presettool
