#include "presets/format/ImageDecoding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

// Reasons number records, presets and parameters from 0, as the formats and the preset
// menu do.

namespace tavola::image {
namespace {

using Status = ImageReadStatus;

ImageReadResult reject(Status status, std::string reason) {
  return ImageReadResult::rejected(status, std::move(reason));
}

ImageStep resetStep(int preset) {
  ImageStep step;
  step.op = ImageStep::Op::kReset;
  step.preset = static_cast<std::uint8_t>(preset);
  return step;
}

// A name field taken from data keeps its 24 bytes as stored, but always ends in a NUL
// within them: everything that shows a name relies on that.
ImageStep nameStep(int preset, std::span<const unsigned char> field) {
  ImageStep step;
  step.op = ImageStep::Op::kName;
  step.preset = static_cast<std::uint8_t>(preset);
  std::memcpy(step.name, field.data(), kPresetNameSize);
  step.name[kPresetNameSize - 1] = 0;
  return step;
}

ImageStep valueStep(int preset, int index, float value) {
  ImageStep step;
  step.op = ImageStep::Op::kValue;
  step.preset = static_cast<std::uint8_t>(preset);
  step.index = static_cast<std::uint8_t>(index);
  step.value = value;
  return step;
}

// Every stored value must be a normalised value: the effect maps it to steps and gains,
// and the writers hand it on to the next reader, which would refuse it.
ImageReadStatus valueStatus(float value) {
  if (std::isnan(value)) return Status::kValueNotANumber;
  if (value < 0.0f || value > 1.0f) return Status::kValueOutOfRange;
  return Status::kApplied;
}

// The reason for a refused value; `place` names where it was found.
ImageReadResult valueRejection(Status status, float value, const std::string& place) {
  if (status == Status::kValueNotANumber) return reject(status, place + " is not a number");
  return reject(status, place + imageReason(" is %g, outside [0, 1]", static_cast<double>(value)));
}

struct RecordHead {
  std::int32_t type;
  std::int32_t length;
  std::int32_t preset;
};

const char* recordTypeName(std::int32_t type) {
  switch (type) {
    case kNameRecordType:
      return "name record";
    case kParameterRecordType:
      return "parameter record";
    default:
      return "record";
  }
}

// Walks `count` records, handing each head and body to `visit`. Every head and body is
// checked against the bytes really there before it is read, and the walk stops at the
// first record that does not fit: an image that claims more than it holds is refused.
template <typename Visit>
ImageReadResult forEachRecord(std::span<const unsigned char> records, std::int32_t count,
                              bool foreign, Visit visit) {
  if (count < 0)
    return reject(Status::kCountOutOfRange, imageReason("record count %d is negative", count));
  if (static_cast<std::size_t>(count) > records.size() / kRecordHeadSize)
    return reject(Status::kCountOutOfRange,
                  imageReason("record count %d needs at least %lld bytes of records (a 12-byte "
                              "head each), but only %zu bytes of records are there",
                              count, static_cast<long long>(count) * 12, records.size()));
  std::size_t offset = 0;
  for (std::int32_t r = 0; r < count; ++r) {
    const std::size_t left = records.size() - offset;
    if (left < kRecordHeadSize)
      return reject(Status::kTruncatedRecord,
                    imageReason("record %d of %d: its 12-byte head at byte %zu of the records "
                                "runs past their end (%zu bytes)",
                                r, count, offset, records.size()));
    const RecordHead head{loadInt32(records, offset, foreign),
                          loadInt32(records, offset + 4, foreign),
                          loadInt32(records, offset + 8, foreign)};
    if (head.length < 0)
      return reject(Status::kBadRecordLength,
                    imageReason("record %d (type %d) has a negative body length of %d", r,
                                head.type, head.length));
    const std::size_t bodySize = static_cast<std::size_t>(head.length);
    if (bodySize > left - kRecordHeadSize)
      return reject(Status::kTruncatedRecord,
                    imageReason("record %d of %d (type %d) claims a body of %d bytes, but only "
                                "%zu bytes follow its head",
                                r, count, head.type, head.length, left - kRecordHeadSize));
    ImageReadResult result = visit(r, head, records.subspan(offset + kRecordHeadSize, bodySize));
    if (!result.ok()) return result;
    offset += kRecordHeadSize + bodySize;
  }
  return ImageReadResult::applied();
}

ImageReadResult bodyTooShort(int r, const RecordHead& head, std::size_t needed, const char* what) {
  return reject(Status::kBadRecordLength,
                imageReason("record %d (%s) has a body of %d bytes, too short for its %s "
                            "(%zu bytes)",
                            r, recordTypeName(head.type), head.length, what, needed));
}

ImageReadResult readNameRecord(int r, const RecordHead& head, std::span<const unsigned char> body,
                               int preset, bool resetsPreset, DecodedImage& out) {
  if (body.size() < kNameBodyNeeded) return bodyTooShort(r, head, kNameBodyNeeded, "name");
  if (resetsPreset) out.steps.push_back(resetStep(preset));
  out.steps.push_back(nameStep(preset, body));
  return ImageReadResult::applied();
}

// `inBank` only changes the wording of a reason: a preset image has one preset.
ImageReadResult readParameterRecord(int r, const RecordHead& head,
                                    std::span<const unsigned char> body, bool foreign, int preset,
                                    bool inBank, DecodedImage& out) {
  if (body.size() < kParameterBodyNeeded)
    return bodyTooShort(r, head, kParameterBodyNeeded, "parameter index and value");
  const std::int32_t index = loadInt32(body, 0, foreign);
  // Indices the effect does not have belong to another layout: ignored, not refused.
  if (index < 0 || index >= kNumPresetParameters) return ImageReadResult::applied();
  const float value = loadFloat(body, kParameterValueOffset, foreign);
  if (const Status status = valueStatus(value); status != Status::kApplied)
    return valueRejection(
        status, value,
        inBank ? imageReason("record %d: the value of parameter %d of preset %d", r, index, preset)
               : imageReason("record %d: the value of parameter %d", r, index));
  out.steps.push_back(valueStep(preset, index, value));
  return ImageReadResult::applied();
}

// The floats of one version-1 preset: positions the effect marks are passed over unread.
ImageReadResult readOldValues(std::span<const unsigned char> data, std::size_t offset,
                              std::int64_t floatCount, bool foreign, const ParameterMask& skipped,
                              int preset, const char* layout, DecodedImage& out) {
  const int count = static_cast<int>(std::min<std::int64_t>(floatCount, kNumPresetParameters));
  for (int i = 0; i < count; ++i) {
    if (skipped[static_cast<std::size_t>(i)]) continue;
    const float value = loadFloat(data, offset + 4 * static_cast<std::size_t>(i), foreign);
    if (const Status status = valueStatus(value); status != Status::kApplied)
      return valueRejection(
          status, value,
          imageReason("%s: the value of parameter %d of preset %d", layout, i, preset));
    out.steps.push_back(valueStep(preset, i, value));
  }
  return ImageReadResult::applied();
}

// An identifier as its four characters, most significant byte first.
std::string identifierText(std::int32_t id) {
  const auto bits = static_cast<std::uint32_t>(id);
  std::string text = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto c = static_cast<unsigned char>(bits >> shift);
    text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
  }
  return text + "'";
}

}  // namespace

ImageReadResult checkIdentifier(std::int32_t storedId, std::int32_t ownId, bool& foreign) {
  switch (detectByteOrder(storedId, ownId)) {
    case ByteOrder::kNative:
      foreign = false;
      return ImageReadResult::applied();
    case ByteOrder::kForeign:
      foreign = true;
      return ImageReadResult::applied();
    case ByteOrder::kUnknown:
      break;
  }
  return reject(Status::kUnknownIdentifier,
                imageReason("unique identifier 0x%08X (%s) is neither this effect's 0x%08X (%s) "
                            "nor its byte-reversed form",
                            static_cast<unsigned>(storedId), identifierText(storedId).c_str(),
                            static_cast<unsigned>(ownId), identifierText(ownId).c_str()));
}

ImageReadResult splitHeaderAndRecords(std::span<const unsigned char> image, bool foreign,
                                      newpresetheader& header,
                                      std::span<const unsigned char>& records) {
  const char* what = image.size() > newpresetheader::kKindOffset &&
                             image[newpresetheader::kKindOffset] == kKindPreset
                         ? "preset"
                         : "bank";
  if (image.size() < newpresetheader::kSize)
    return reject(Status::kTooShort,
                  imageReason("%s image of %zu bytes is shorter than its 41-byte header", what,
                              image.size()));
  std::array<unsigned char, newpresetheader::kSize> raw;
  std::memcpy(raw.data(), image.data(), raw.size());
  if (foreign) byteSwapHeader(raw);
  header = readHeader(raw);
  const std::size_t available = image.size() - newpresetheader::kSize;
  if (header.payloadSize < 0)
    return reject(Status::kPayloadOutOfRange,
                  imageReason("%s image: payload size %d is negative", what, header.payloadSize));
  if (static_cast<std::size_t>(header.payloadSize) > available)
    return reject(Status::kPayloadOutOfRange,
                  imageReason("%s image: payload size %d claims more than the %zu bytes after "
                              "the 41-byte header",
                              what, header.payloadSize, available));
  records = image.subspan(newpresetheader::kSize, static_cast<std::size_t>(header.payloadSize));
  return ImageReadResult::applied();
}

ImageReadResult decodePresetRecords(std::span<const unsigned char> records,
                                    const newpresetheader& header, bool foreign, int current,
                                    DecodedImage& out) {
  out = {};
  out.selectedPreset = current;
  // The preset starts from the template, so that values the image does not carry come
  // from there. The records' preset index fields mean nothing in a preset image.
  out.steps.push_back(resetStep(current));
  return forEachRecord(records, header.recordCount, foreign,
                       [&](int r, const RecordHead& head, std::span<const unsigned char> body) {
                         switch (head.type) {
                           case kNameRecordType:
                             return readNameRecord(r, head, body, current, false, out);
                           case kParameterRecordType:
                             return readParameterRecord(r, head, body, foreign, current, false,
                                                        out);
                           default:
                             return ImageReadResult::applied();
                         }
                       });
}

ImageReadResult decodeBankRecords(std::span<const unsigned char> records,
                                  const newpresetheader& header, bool foreign, DecodedImage& out) {
  out = {};
  out.selectedPreset =
      header.currentPreset >= 0 && header.currentPreset < kNumPresets ? header.currentPreset : 0;
  return forEachRecord(records, header.recordCount, foreign,
                       [&](int r, const RecordHead& head, std::span<const unsigned char> body) {
                         // Records of presets this bank does not have are passed over unread.
                         if (head.preset < 0 || head.preset >= kNumPresets)
                           return ImageReadResult::applied();
                         switch (head.type) {
                           case kNameRecordType:
                             // The name record resets its preset to the template: a bank carries
                             // each preset's name before its values.
                             return readNameRecord(r, head, body, head.preset, true, out);
                           case kParameterRecordType:
                             return readParameterRecord(r, head, body, foreign, head.preset, true,
                                                        out);
                           default:
                             return ImageReadResult::applied();
                         }
                       });
}

ImageReadResult decodeOldPreset(std::span<const unsigned char> data, bool foreign,
                                std::int64_t floatCount, const ParameterMask& skipped, int current,
                                DecodedImage& out) {
  out = {};
  out.selectedPreset = current;
  if (data.size() < kPresetNameSize)
    return reject(Status::kTooShort,
                  imageReason("version-1 preset: %zu bytes after the identifier and kind, "
                              "fewer than its 24-byte name",
                              data.size()));
  const std::size_t room = (data.size() - kPresetNameSize) / 4;
  if (floatCount < 0 || static_cast<std::uint64_t>(floatCount) > room)
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 preset: %lld values claimed, but its %zu bytes hold "
                              "a name and %zu values",
                              static_cast<long long>(floatCount), data.size(), room));
  out.steps.push_back(resetStep(current));
  out.steps.push_back(nameStep(current, data));
  return readOldValues(data, kPresetNameSize, floatCount, foreign, skipped, current,
                       "version-1 preset", out);
}

ImageReadResult decodeOldBank(std::span<const unsigned char> data, bool foreign,
                              std::int64_t presetCount, std::int64_t floatCount,
                              const ParameterMask& skipped, DecodedImage& out) {
  out = {};
  out.selectedPreset = 0;
  if (presetCount < 0)
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 bank: preset count %lld is negative",
                              static_cast<long long>(presetCount)));
  if (floatCount < 0 || static_cast<std::uint64_t>(floatCount) > data.size() / 4)
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 bank: %lld values per preset claimed, but the bank "
                              "holds only %zu bytes",
                              static_cast<long long>(floatCount), data.size()));
  // The stride is the file's own: it may carry more values per preset than we read.
  const std::size_t stride = kPresetNameSize + 4 * static_cast<std::size_t>(floatCount);
  const int presets = static_cast<int>(std::min<std::int64_t>(presetCount, kNumPresets));
  if (static_cast<std::size_t>(presets) * stride > data.size())
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 bank: %d presets of %zu bytes claimed, but only %zu "
                              "bytes follow the identifier and kind",
                              presets, stride, data.size()));
  for (int p = 0; p < presets; ++p) {
    const std::size_t base = static_cast<std::size_t>(p) * stride;
    out.steps.push_back(resetStep(p));
    out.steps.push_back(nameStep(p, data.subspan(base)));
    ImageReadResult values = readOldValues(data, base + kPresetNameSize, floatCount, foreign,
                                           skipped, p, "version-1 bank", out);
    if (!values.ok()) return values;
  }
  return ImageReadResult::applied();
}

ImageReadResult decodeOldChunk(std::span<const unsigned char> chunk, bool foreign,
                               const ParameterMask& skipped, DecodedImage& out) {
  out = {};
  if (chunk.size() < kOldChunkHeadSize)
    return reject(
        Status::kTooShort,
        imageReason("version-1 chunk of %zu bytes is shorter than its 32-byte head", chunk.size()));
  const std::int32_t presetCount = loadInt32(chunk, kOldChunkPresetCountOffset, foreign);
  const std::int32_t current = loadInt32(chunk, kOldChunkCurrentOffset, foreign);
  // An unsigned look at the current preset: negative numbers select preset 0 as well.
  out.selectedPreset =
      static_cast<std::uint32_t>(current) < static_cast<std::uint32_t>(kNumPresets) ? current : 0;
  if (presetCount < 0)
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 chunk: preset count %d is negative", presetCount));
  // No presets: nothing to read (and nothing to divide by); only the selection remains.
  if (presetCount == 0) return ImageReadResult::applied();

  const std::size_t body = chunk.size() - kOldChunkHeadSize;
  const std::size_t perPreset = body / static_cast<std::size_t>(presetCount);
  if (perPreset < kPresetNameSize)
    return reject(Status::kCountOutOfRange,
                  imageReason("version-1 chunk: %zu bytes after the 32-byte head cannot hold "
                              "%d presets of at least a 24-byte name each",
                              body, presetCount));
  const std::size_t floatCount = (perPreset - kPresetNameSize) / 4;
  const std::size_t stride = kPresetNameSize + 4 * floatCount;
  const int presets = std::min<int>(presetCount, kNumPresets);
  for (int p = 0; p < presets; ++p) {
    const std::size_t base = kOldChunkHeadSize + static_cast<std::size_t>(p) * stride;
    out.steps.push_back(resetStep(p));
    out.steps.push_back(nameStep(p, chunk.subspan(base)));
    ImageReadResult values =
        readOldValues(chunk, base + kPresetNameSize, static_cast<std::int64_t>(floatCount), foreign,
                      skipped, p, "version-1 chunk", out);
    if (!values.ok()) return values;
  }
  return ImageReadResult::applied();
}

}  // namespace tavola::image
