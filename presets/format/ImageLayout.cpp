#include "presets/format/ImageLayout.h"

namespace tavola::image {
namespace {

ImageReadResult reject(ImageReadStatus status, std::string reason) {
  return ImageReadResult::rejected(status, std::move(reason));
}

const char* acceptedName(AcceptedImages accepted) {
  return accepted == AcceptedImages::kPresets ? "a preset image (kind 33 or 34)"
                                              : "a bank image (kind 55 or 56)";
}

}  // namespace

bool isPresetKind(std::uint8_t kind) {
  return kind == kKindOldPreset || kind == kKindPreset;
}

bool isBankKind(std::uint8_t kind) {
  return kind == kKindOldBank || kind == kKindBank;
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

ImageReadResult splitImage(std::span<const unsigned char> bytes, std::int32_t ownId,
                           AcceptedImages accepted, bool invertByteOrder, ImageParts& parts) {
  parts = {};
  if (bytes.size() <= 4)
    return reject(ImageReadStatus::kTooShort,
                  imageReason("%zu bytes: an image is longer than its 4-byte unique identifier",
                              bytes.size()));

  ImageReadResult identifier = checkIdentifier(loadInt32(bytes, 0, false), ownId, parts.foreign);
  if (!identifier.ok()) return identifier;
  if (invertByteOrder) parts.foreign = !parts.foreign;

  parts.kind = bytes[newpresetheader::kKindOffset];
  if (!isPresetKind(parts.kind) && !isBankKind(parts.kind))
    return reject(ImageReadStatus::kUnknownKind,
                  imageReason("kind byte %u is neither a preset image (33 or 34) nor a bank image "
                              "(55 or 56)",
                              static_cast<unsigned>(parts.kind)));
  if (accepted != AcceptedImages::kAny &&
      isPresetKind(parts.kind) != (accepted == AcceptedImages::kPresets))
    return reject(
        ImageReadStatus::kKindNotAccepted,
        imageReason("%s where %s was expected", kindName(parts.kind), acceptedName(accepted)));

  switch (parts.kind) {
    case kKindOldPreset:
      if (bytes.size() < kOldPresetFixedSize)
        return reject(ImageReadStatus::kTooShort,
                      imageReason("version-1 preset of %zu bytes is shorter than its identifier, "
                                  "kind and 24-byte name (29 bytes)",
                                  bytes.size()));
      parts.oldData = bytes.subspan(kOldImageStart);
      parts.oldPresetCount = 1;
      parts.oldFloatCount = static_cast<std::int64_t>((bytes.size() - kOldPresetFixedSize) / 4);
      return ImageReadResult::applied();
    case kKindOldBank: {
      if (bytes.size() < kOldBankFixedSize)
        return reject(ImageReadStatus::kTooShort,
                      imageReason("version-1 bank of %zu bytes is shorter than its identifier, "
                                  "kind and seven 24-byte names (173 bytes)",
                                  bytes.size()));
      const std::size_t perPreset = (bytes.size() - kOldImageStart) / kNumPresets;
      parts.oldData = bytes.subspan(kOldImageStart);
      parts.oldPresetCount = kNumPresets;
      parts.oldFloatCount = static_cast<std::int64_t>((perPreset - kPresetNameSize) / 4);
      return ImageReadResult::applied();
    }
    default:
      return splitHeaderAndRecords(bytes, parts.foreign, parts.header, parts.records);
  }
}

ImageReadResult splitChunk(std::span<const unsigned char> chunk, std::int32_t ownId,
                           ChunkParts& parts) {
  parts = {};
  if (chunk.size() < kChunkHeadSize)
    return reject(ImageReadStatus::kTooShort,
                  imageReason("chunk of %zu bytes is shorter than its 8-byte head (format word "
                              "and unique identifier)",
                              chunk.size()));
  ImageReadResult identifier = checkIdentifier(loadInt32(chunk, 4, false), ownId, parts.foreign);
  if (!identifier.ok()) return identifier;

  // The format word was written in the same order as the rest of the chunk.
  parts.format = loadInt32(chunk, 0, parts.foreign);
  if (parts.format == kChunkFormatOld) return ImageReadResult::applied();
  if (parts.format != kChunkFormat)
    return reject(ImageReadStatus::kUnknownChunkFormat,
                  imageReason("chunk format word 0x%08X is neither version 1 (0x01000000) nor "
                              "version 2 (0x02000000)",
                              static_cast<unsigned>(parts.format)));

  constexpr std::size_t kRecordsOffset = kChunkHeadSize + newpresetheader::kSize;
  if (chunk.size() < kRecordsOffset)
    return reject(ImageReadStatus::kTooShort,
                  imageReason("version-2 chunk of %zu bytes is shorter than its 8-byte head and "
                              "41-byte bank header (49 bytes)",
                              chunk.size()));
  // The bank image behind the head is read as a bank file is: its records are exactly
  // the payload its header gives, which must lie within the chunk.
  return splitHeaderAndRecords(chunk.subspan(kChunkHeadSize), parts.foreign, parts.header,
                               parts.records);
}

ImageReadResult decodeImage(const ImageParts& parts, const ParameterMask& skipped, int current,
                            DecodedImage& out) {
  switch (parts.kind) {
    case kKindOldPreset:
      return decodeOldPreset(parts.oldData, parts.foreign, parts.oldFloatCount, skipped, current,
                             out);
    case kKindPreset:
      return decodePresetRecords(parts.records, parts.header, parts.foreign, current, out);
    case kKindOldBank:
      return decodeOldBank(parts.oldData, parts.foreign, parts.oldPresetCount, parts.oldFloatCount,
                           skipped, out);
    case kKindBank:
      return decodeBankRecords(parts.records, parts.header, parts.foreign, out);
    default:
      out = {};
      return reject(ImageReadStatus::kUnknownKind,
                    imageReason("kind byte %u is no image", static_cast<unsigned>(parts.kind)));
  }
}

ImageReadResult decodeChunk(std::span<const unsigned char> chunk, const ChunkParts& parts,
                            const ParameterMask& skipped, DecodedImage& out) {
  if (parts.format == kChunkFormatOld) return decodeOldChunk(chunk, parts.foreign, skipped, out);
  return decodeBankRecords(parts.records, parts.header, parts.foreign, out);
}

}  // namespace tavola::image
