#include "presets/format/ImageWriting.h"

#include <cassert>
#include <cstring>

#include "presets/format/ImageFormat.h"

namespace tavola::image {
namespace {

// Writes records one after another into an image whose bytes are all zero to begin with,
// so that the zero fields of the records need no writing.
class RecordWriter {
 public:
  RecordWriter(std::span<unsigned char> image, std::size_t offset)
      : image_(image), offset_(offset) {}

  void nameRecord(std::int32_t presetIndex, const char (&name)[kPresetNameSize]) {
    head(kNameRecordType, kNameRecordLength, presetIndex);
    std::memcpy(image_.data() + offset_ + kRecordHeadSize, name, kPresetNameSize);
    offset_ += kNameRecordSize;
  }

  void parameterRecord(std::int32_t presetIndex, std::int32_t index, float value) {
    head(kParameterRecordType, kParameterRecordLength, presetIndex);
    storeInt32(image_, offset_ + kRecordHeadSize, index);
    storeFloat(image_, offset_ + kRecordHeadSize + kParameterValueOffset, value);
    offset_ += kParameterRecordSize;
  }

  std::size_t offset() const { return offset_; }

 private:
  void head(std::int32_t type, std::int32_t length, std::int32_t presetIndex) {
    storeInt32(image_, offset_, type);
    storeInt32(image_, offset_ + 4, length);
    storeInt32(image_, offset_ + 8, presetIndex);
  }

  std::span<unsigned char> image_;
  std::size_t offset_;
};

std::size_t presetPayloadSize(const ParameterMask& stored) {
  return kNameRecordSize + kParameterRecordSize * stored.count();
}

// An image of `presets`; the records of a preset image carry preset index 0, those of a
// bank their preset's number.
void writeImage(std::span<unsigned char> image, std::int32_t uniqueId, std::uint8_t kind,
                std::span<const PresetRecord> presets, std::int32_t current,
                const ParameterMask& stored) {
  const std::size_t payload = presetPayloadSize(stored) * presets.size();
  assert(image.size() == newpresetheader::kSize + payload);
  std::memset(image.data(), 0, image.size());

  newpresetheader header;
  header.uniqueId = uniqueId;
  header.kind = kind;
  header.version = kFormatVersion;
  header.parameterCount = kNumPresetParameters;
  header.recordCount = static_cast<std::int32_t>(presets.size() * (1 + stored.count()));
  header.currentPreset = current;
  header.payloadSize = static_cast<std::int32_t>(payload);
  writeHeader(header, image.first<newpresetheader::kSize>());

  RecordWriter records(image, newpresetheader::kSize);
  const bool isBank = kind == kKindBank;
  for (std::size_t p = 0; p < presets.size(); ++p) {
    const auto presetIndex = static_cast<std::int32_t>(isBank ? p : 0);
    records.nameRecord(presetIndex, presets[p].name);
    for (int i = 0; i < kNumPresetParameters; ++i)
      if (stored[static_cast<std::size_t>(i)])
        records.parameterRecord(presetIndex, i, presets[p].params[i]);
  }
  assert(records.offset() == image.size());
}

}  // namespace

std::size_t presetImageSize(const ParameterMask& stored) {
  return newpresetheader::kSize + presetPayloadSize(stored);
}

std::size_t bankImageSize(const ParameterMask& stored) {
  return newpresetheader::kSize + kNumPresets * presetPayloadSize(stored);
}

void writePresetImage(std::span<unsigned char> image, std::int32_t uniqueId,
                      const PresetRecord& preset, const ParameterMask& stored) {
  writeImage(image, uniqueId, kKindPreset, std::span(&preset, 1), 0, stored);
}

void writeBankImage(std::span<unsigned char> image, std::int32_t uniqueId,
                    std::span<const PresetRecord, kNumPresets> presets, std::int32_t current,
                    const ParameterMask& stored) {
  writeImage(image, uniqueId, kKindBank, presets, current, stored);
}

std::vector<unsigned char> presetImage(std::int32_t uniqueId, const PresetRecord& preset,
                                       const ParameterMask& stored) {
  std::vector<unsigned char> image(presetImageSize(stored));
  writePresetImage(image, uniqueId, preset, stored);
  return image;
}

std::vector<unsigned char> bankImage(std::int32_t uniqueId,
                                     std::span<const PresetRecord, kNumPresets> presets,
                                     std::int32_t current, const ParameterMask& stored) {
  std::vector<unsigned char> image(bankImageSize(stored));
  writeBankImage(image, uniqueId, presets, current, stored);
  return image;
}

}  // namespace tavola::image
