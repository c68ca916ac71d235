#include "presets/format/ImageFormat.h"

#include <cassert>
#include <cstring>
#include <utility>

void mySwapBytes(void* field) {
  auto* bytes = static_cast<unsigned char*>(field);
  std::swap(bytes[0], bytes[3]);
  std::swap(bytes[1], bytes[2]);
}

void byteSwapHeader(std::span<unsigned char, newpresetheader::kSize> header) {
  for (std::size_t offset = newpresetheader::kVersionOffset; offset < newpresetheader::kSize;
       offset += 4)
    mySwapBytes(header.data() + offset);
}

namespace {

std::int32_t int32From(const unsigned char* bytes) {
  std::int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

void int32To(unsigned char* bytes, std::int32_t value) {
  std::memcpy(bytes, &value, sizeof value);
}

}  // namespace

newpresetheader readHeader(std::span<const unsigned char, newpresetheader::kSize> bytes) {
  const unsigned char* p = bytes.data();
  newpresetheader header;
  header.uniqueId = int32From(p + newpresetheader::kUniqueIdOffset);
  header.kind = p[newpresetheader::kKindOffset];
  header.version = int32From(p + newpresetheader::kVersionOffset);
  header.parameterCount = int32From(p + newpresetheader::kParameterCountOffset);
  header.recordCount = int32From(p + newpresetheader::kRecordCountOffset);
  header.currentPreset = int32From(p + newpresetheader::kCurrentPresetOffset);
  header.payloadSize = int32From(p + newpresetheader::kPayloadSizeOffset);
  for (int i = 0; i < 4; ++i)
    header.reserved[i] = int32From(p + newpresetheader::kReservedOffset + 4 * i);
  return header;
}

void writeHeader(const newpresetheader& header,
                 std::span<unsigned char, newpresetheader::kSize> bytes) {
  unsigned char* p = bytes.data();
  int32To(p + newpresetheader::kUniqueIdOffset, header.uniqueId);
  p[newpresetheader::kKindOffset] = header.kind;
  int32To(p + newpresetheader::kVersionOffset, header.version);
  int32To(p + newpresetheader::kParameterCountOffset, header.parameterCount);
  int32To(p + newpresetheader::kRecordCountOffset, header.recordCount);
  int32To(p + newpresetheader::kCurrentPresetOffset, header.currentPreset);
  int32To(p + newpresetheader::kPayloadSizeOffset, header.payloadSize);
  for (int i = 0; i < 4; ++i)
    int32To(p + newpresetheader::kReservedOffset + 4 * i, header.reserved[i]);
}

namespace tavola::image {

std::int32_t reversed(std::int32_t value) {
  mySwapBytes(&value);
  return value;
}

ByteOrder detectByteOrder(std::int32_t storedId, std::int32_t ownId) {
  // An identifier that reads the same both ways counts as native: that is all a reader
  // can know of it.
  if (storedId == ownId) return ByteOrder::kNative;
  if (storedId == reversed(ownId)) return ByteOrder::kForeign;
  return ByteOrder::kUnknown;
}

std::int32_t loadInt32(std::span<const unsigned char> bytes, std::size_t offset, bool foreign) {
  assert(offset <= bytes.size() && bytes.size() - offset >= 4);
  std::int32_t value = int32From(bytes.data() + offset);
  if (foreign) mySwapBytes(&value);
  return value;
}

float loadFloat(std::span<const unsigned char> bytes, std::size_t offset, bool foreign) {
  const std::int32_t bits = loadInt32(bytes, offset, foreign);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void storeInt32(std::span<unsigned char> bytes, std::size_t offset, std::int32_t value) {
  assert(offset <= bytes.size() && bytes.size() - offset >= 4);
  int32To(bytes.data() + offset, value);
}

void storeFloat(std::span<unsigned char> bytes, std::size_t offset, float value) {
  std::int32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  storeInt32(bytes, offset, bits);
}

}  // namespace tavola::image
