#pragma once
// Preset images, bank images and chunks built by hand, field by field, from the layout
// (never by the effect's own writers), and the same bytes with every 4-byte field
// reversed, as a machine of the other byte order writes them. Plain bytes only: usable
// both by the tests that construct the effect and by those that load the plug-in.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/VstInterface.h"

namespace tavola::test {

using Bytes = std::vector<unsigned char>;

// The effect's unique identifier, as the images store it.
constexpr std::int32_t kTavolaId = fourCharCode('K', 'W', 'T', 'V');

// The identifier as a machine of the other byte order stores it.
inline std::int32_t reversedOwnId() {
  return static_cast<std::int32_t>(__builtin_bswap32(static_cast<std::uint32_t>(kTavolaId)));
}

// Bytes appended one field at a time, in native order or with every 4-byte field
// reversed.
class ImageBytes {
 public:
  explicit ImageBytes(bool reversedOrder = false) : reversed_(reversedOrder) {}

  ImageBytes& i32(std::int32_t value) {
    unsigned char field[4];
    std::memcpy(field, &value, 4);
    if (reversed_) std::reverse(field, field + 4);
    // One byte at a time: GCC 12 at -O3 misreads a range insert here as an overflow.
    for (unsigned char b : field) bytes.push_back(b);
    return *this;
  }
  ImageBytes& f32(float value) {
    std::int32_t bits;
    std::memcpy(&bits, &value, 4);
    return i32(bits);
  }
  ImageBytes& u8(std::uint8_t value) {
    bytes.push_back(value);
    return *this;
  }
  ImageBytes& zeros(std::size_t count) {
    bytes.insert(bytes.end(), count, 0);
    return *this;
  }
  // A 24-byte name field: the text, then zeros.
  ImageBytes& name(const std::string& text) {
    std::array<unsigned char, 24> field{};
    std::memcpy(field.data(), text.data(), std::min<std::size_t>(text.size(), 24));
    bytes.insert(bytes.end(), field.begin(), field.end());
    return *this;
  }
  // The 41-byte header of a kind 34 or 56 image.
  ImageBytes& header(std::uint8_t kind, std::int32_t recordCount, std::int32_t currentPreset,
                     std::int32_t payloadSize, std::int32_t id = kTavolaId) {
    return i32(id)
        .u8(kind)
        .i32(0x01080000)
        .i32(44)
        .i32(recordCount)
        .i32(currentPreset)
        .i32(payloadSize)
        .zeros(16);
  }
  ImageBytes& nameRecord(std::int32_t preset, const std::string& text) {
    return i32(0).i32(156).i32(preset).name(text).zeros(4 + 128);
  }
  ImageBytes& parameterRecord(std::int32_t preset, std::int32_t index, float value) {
    return i32(1).i32(20).i32(preset).i32(index).i32(0).i32(0).f32(value).i32(0);
  }
  // Any record head with `bodySize` bytes of `fill` after it.
  ImageBytes& record(std::int32_t type, std::int32_t length, std::int32_t preset,
                     std::size_t bodySize, unsigned char fill = 0) {
    i32(type).i32(length).i32(preset);
    bytes.insert(bytes.end(), bodySize, fill);
    return *this;
  }
  // Overwrites one 4-byte field in this builder's order.
  ImageBytes& patch(std::size_t offset, std::int32_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 4) std::abort();
    std::memcpy(bytes.data() + offset, &value, 4);
    if (reversed_) std::reverse(bytes.begin() + offset, bytes.begin() + offset + 4);
    return *this;
  }

  Bytes bytes;

 private:
  bool reversed_;
};

inline void reverseFieldAt(Bytes& bytes, std::size_t offset) {
  std::reverse(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + 4));
}

inline std::int32_t nativeField(const Bytes& bytes, std::size_t offset) {
  std::int32_t value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

// Reverses every 4-byte field of a native kind 34 or 56 image that starts at `start`:
// identifier, the nine header fields, each record head, and the 4-byte fields of the
// records' bodies; the kind byte and name fields stay as they are.
inline void reverseImageFields(Bytes& bytes, std::size_t start) {
  reverseFieldAt(bytes, start);
  for (std::size_t offset = start + 5; offset < start + 41; offset += 4)
    reverseFieldAt(bytes, offset);
  std::size_t offset = start + 41;
  while (offset + 12 <= bytes.size()) {
    const std::int32_t type = nativeField(bytes, offset);
    const std::int32_t length = nativeField(bytes, offset + 4);
    for (int field = 0; field < 3; ++field) reverseFieldAt(bytes, offset + 4 * field);
    const std::size_t body = offset + 12;
    const std::size_t firstField = type == 0 ? 24 : 0;
    if (type == 0 || type == 1)
      for (std::size_t f = firstField; f + 4 <= static_cast<std::size_t>(length); f += 4)
        reverseFieldAt(bytes, body + f);
    offset = body + static_cast<std::size_t>(length);
  }
}

inline Bytes reversedImage(Bytes native) {
  reverseImageFields(native, 0);
  return native;
}

// A version-2 chunk: format word, identifier, then the image.
inline Bytes reversedChunk(Bytes native) {
  reverseFieldAt(native, 0);
  reverseFieldAt(native, 4);
  reverseImageFields(native, 8);
  return native;
}

// Version-1 layouts: identifier, kind, then names and floats.
inline Bytes reversedOldPreset(Bytes native) {
  reverseFieldAt(native, 0);
  for (std::size_t offset = 29; offset + 4 <= native.size(); offset += 4)
    reverseFieldAt(native, offset);
  return native;
}

inline Bytes reversedOldBank(Bytes native) {
  reverseFieldAt(native, 0);
  const std::size_t floats = ((native.size() - 5) / 7 - 24) / 4;
  const std::size_t stride = 24 + 4 * floats;
  for (std::size_t p = 0; p < 7; ++p)
    for (std::size_t i = 0; i < floats; ++i) reverseFieldAt(native, 5 + p * stride + 24 + 4 * i);
  return native;
}

inline Bytes reversedOldChunk(Bytes native) {
  const std::int32_t presets = nativeField(native, 8);
  for (std::size_t offset = 0; offset < 32; offset += 4) reverseFieldAt(native, offset);
  if (presets <= 0) return native;
  const std::size_t floats = ((native.size() - 32) / static_cast<std::size_t>(presets) - 24) / 4;
  const std::size_t stride = 24 + 4 * floats;
  for (std::size_t p = 0; p < static_cast<std::size_t>(std::min(presets, 7)); ++p)
    for (std::size_t i = 0; i < floats; ++i) reverseFieldAt(native, 32 + p * stride + 24 + 4 * i);
  return native;
}

}  // namespace tavola::test
