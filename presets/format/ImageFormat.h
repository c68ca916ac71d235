#pragma once
// The byte layout of preset images, bank images and the host state chunk, and the
// byte-order helpers their writers and readers share.
//
// Every multi-byte field is stored in the writer's native order. A reader learns the
// order from the stored unique identifier: the effect's own means native, the same four
// bytes reversed means foreign, and then every 4-byte field is reversed before use.
// Fields are always copied in and out with memcpy: images arrive from files, the user's
// preferences and hosts at any alignment.
//
// Thread contract: any thread; pure functions of their arguments and constant tables.

#include <cstddef>
#include <cstdint>
#include <span>

#include "presets/format/PresetRecord.h"

namespace tavola::image {

// The kind byte after the unique identifier.
constexpr std::uint8_t kKindOldPreset = 33;  // '!', version 1, read only
constexpr std::uint8_t kKindPreset = 34;     // '"'
constexpr std::uint8_t kKindOldBank = 55;    // '7', version 1, read only
constexpr std::uint8_t kKindBank = 56;       // '8'

constexpr std::int32_t kFormatVersion = 0x01080000;

// Records follow the header back to back, each a 12-byte head (type, body length, preset
// index) and its body.
constexpr std::size_t kRecordHeadSize = 12;
constexpr std::int32_t kNameRecordType = 0;
constexpr std::int32_t kParameterRecordType = 1;
// Name record body: the 24-byte name field, 4 zero bytes, 128 zero bytes.
constexpr std::int32_t kNameRecordLength = 156;
// Parameter record body: index, zero, zero, value, zero.
constexpr std::int32_t kParameterRecordLength = 20;
constexpr std::size_t kNameRecordSize = kRecordHeadSize + kNameRecordLength;            // 168
constexpr std::size_t kParameterRecordSize = kRecordHeadSize + kParameterRecordLength;  // 32
// What a reader takes from a body; longer bodies are fine, shorter ones cannot be read.
constexpr std::size_t kNameBodyNeeded = kPresetNameSize;
constexpr std::size_t kParameterBodyNeeded = 16;  // index, two zero fields, value
constexpr std::size_t kParameterValueOffset = 12;

// Version-1 layouts: identifier and kind, then names and plain floats.
constexpr std::size_t kOldImageStart = 5;
constexpr std::size_t kOldPresetFixedSize = kOldImageStart + kPresetNameSize;              // 29
constexpr std::size_t kOldBankFixedSize = kOldImageStart + kNumPresets * kPresetNameSize;  // 173

// The host state chunk: a format word and the unique identifier before the bank image
// (version 2), or before a preset count, the current preset and four unused fields
// (version 1).
constexpr std::int32_t kChunkFormatOld = 0x01000000;
constexpr std::int32_t kChunkFormat = 0x02000000;
constexpr std::size_t kChunkHeadSize = 8;
constexpr std::size_t kOldChunkHeadSize = 32;
constexpr std::size_t kOldChunkPresetCountOffset = 8;
constexpr std::size_t kOldChunkCurrentOffset = 12;

}  // namespace tavola::image

// The 41-byte image header, as its fields. On disk it is packed (no padding), so it is
// never overlaid on the bytes: readHeader and writeHeader copy it field by field.
struct newpresetheader {
  static constexpr std::size_t kSize = 41;
  static constexpr std::size_t kUniqueIdOffset = 0;
  static constexpr std::size_t kKindOffset = 4;
  static constexpr std::size_t kVersionOffset = 5;
  static constexpr std::size_t kParameterCountOffset = 9;
  static constexpr std::size_t kRecordCountOffset = 13;
  static constexpr std::size_t kCurrentPresetOffset = 17;
  static constexpr std::size_t kPayloadSizeOffset = 21;
  static constexpr std::size_t kReservedOffset = 25;

  std::int32_t uniqueId = 0;
  std::uint8_t kind = 0;
  std::int32_t version = 0;
  std::int32_t parameterCount = 0;
  std::int32_t recordCount = 0;  // signed on disk; a negative count is rejected
  std::int32_t currentPreset = 0;
  std::int32_t payloadSize = 0;  // bytes of records after the header
  std::int32_t reserved[4] = {0, 0, 0, 0};
};

// Reverses the 4 bytes of one 32-bit field in place. Works at any alignment.
void mySwapBytes(void* field);

// Reverses the nine 4-byte fields of a 41-byte header (offsets 5 to 37) in place; the
// unique identifier and the kind byte are left as they are.
void byteSwapHeader(std::span<unsigned char, newpresetheader::kSize> header);

// The header's fields from 41 bytes, as stored (no byte-order change).
newpresetheader readHeader(std::span<const unsigned char, newpresetheader::kSize> bytes);
// The header's 41 bytes, in native order.
void writeHeader(const newpresetheader& header,
                 std::span<unsigned char, newpresetheader::kSize> bytes);

namespace tavola::image {

// The same 32-bit value with its four bytes reversed.
std::int32_t reversed(std::int32_t value);

enum class ByteOrder { kNative, kForeign, kUnknown };
// The order an image was written in, from its stored identifier and our own.
ByteOrder detectByteOrder(std::int32_t storedId, std::int32_t ownId);

// One 32-bit field at `offset`, reversed when the data is foreign. The caller has checked
// that the four bytes are there.
std::int32_t loadInt32(std::span<const unsigned char> bytes, std::size_t offset, bool foreign);
float loadFloat(std::span<const unsigned char> bytes, std::size_t offset, bool foreign);

// Native-order stores, for the writers.
void storeInt32(std::span<unsigned char> bytes, std::size_t offset, std::int32_t value);
void storeFloat(std::span<unsigned char> bytes, std::size_t offset, float value);

}  // namespace tavola::image
