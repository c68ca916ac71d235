// The image writers of the preset system editor: the current preset as a preset image,
// all seven presets as a bank image. Both are written in native byte order; readers on
// a machine of the other order recognise it from the unique identifier.

#include <cstring>
#include <vector>

#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/ImageFormat.h"

using namespace tavola::image;

namespace {

// Writes records one after another into an image buffer allocated zero-filled, so that
// the zero fields of the records need no writing.
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

// The parameter indices the current formats store, ascending.
std::vector<int> storedIndices(CPresetSystemEffect& effect) {
  std::vector<int> indices;
  for (int i = 0; i < kNumPresetParameters; ++i)
    if (!effect.isDummy(i)) indices.push_back(i);
  return indices;
}

// Builds an image of `presetCount` presets starting at `firstPreset`; the records of a
// preset image carry preset index 0, those of a bank their preset's number.
std::size_t writeImage(CPresetSystemEffect& effect, std::uint8_t kind, int firstPreset,
                       int presetCount, std::int32_t currentPreset,
                       std::unique_ptr<unsigned char[]>& buffer) {
  const std::vector<int> indices = storedIndices(effect);
  const std::size_t perPreset = kNameRecordSize + kParameterRecordSize * indices.size();
  const std::size_t payload = perPreset * static_cast<std::size_t>(presetCount);
  const std::size_t size = newpresetheader::kSize + payload;

  buffer = std::make_unique<unsigned char[]>(size);  // zero-filled
  const std::span<unsigned char> image(buffer.get(), size);

  newpresetheader header;
  header.uniqueId = effect.getUniqueID();
  header.kind = kind;
  header.version = kFormatVersion;
  header.parameterCount = kNumPresetParameters;
  header.recordCount = presetCount * static_cast<std::int32_t>(1 + indices.size());
  header.currentPreset = currentPreset;
  header.payloadSize = static_cast<std::int32_t>(payload);
  writeHeader(header, image.first<newpresetheader::kSize>());

  RecordWriter records(image, newpresetheader::kSize);
  const bool isBank = kind == kKindBank;
  for (int p = firstPreset; p < firstPreset + presetCount; ++p) {
    const std::int32_t presetIndex = isBank ? p : 0;
    records.nameRecord(presetIndex, effect.preset(p).name);
    for (int i : indices) records.parameterRecord(presetIndex, i, effect.presetValue(p, i));
  }
  return records.offset();
}

}  // namespace

std::size_t CPresetSystemEditor::PresetToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return 0;
  return writeImage(*effect, kKindPreset, static_cast<int>(effect->getPresetNo()), 1, 0, buffer);
}

std::size_t CPresetSystemEditor::BankToBuffer(std::unique_ptr<unsigned char[]>& buffer) {
  buffer.reset();
  CPresetSystemEffect* effect = presetEffect();
  if (!effect) return 0;
  return writeImage(*effect, kKindBank, 0, kNumPresets,
                    static_cast<std::int32_t>(effect->getPresetNo()), buffer);
}
