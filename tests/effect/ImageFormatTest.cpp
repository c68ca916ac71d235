// The byte-order helpers and the 41-byte image header.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <numeric>

#include "effect/PresetImageSupport.h"
#include "presets/ImageFormat.h"

using namespace tavola;
using namespace tavola::image;

TEST(ImageFormat, SwapBytesReversesOneFieldAtAnyAlignment) {
  unsigned char bytes[7] = {9, 1, 2, 3, 4, 9, 9};
  mySwapBytes(bytes + 1);
  const unsigned char expected[7] = {9, 4, 3, 2, 1, 9, 9};
  EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);
  EXPECT_EQ(reversed(0x01020304), 0x04030201);
  EXPECT_EQ(reversed(reversed(-123456789)), -123456789);
}

TEST(ImageFormat, ByteSwapHeaderLeavesIdentifierAndKindAlone) {
  std::array<unsigned char, 41> header;
  std::iota(header.begin(), header.end(), 0);
  byteSwapHeader(header);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(header[static_cast<std::size_t>(i)], i);
  for (int field = 0; field < 9; ++field)
    for (int b = 0; b < 4; ++b)
      EXPECT_EQ(header[static_cast<std::size_t>(5 + 4 * field + b)], 5 + 4 * field + (3 - b))
          << "field at " << 5 + 4 * field;
}

TEST(ImageFormat, HeaderFieldsSitAtTheirPackedOffsets) {
  const test::Bytes expected =
      test::ImageBytes().header(56, 105, 3, 4312).patch(25, 7).patch(37, -2).bytes;
  ASSERT_EQ(expected.size(), 41u);

  newpresetheader header;
  header.uniqueId = test::kOwnId;
  header.kind = 56;
  header.version = 0x01080000;
  header.parameterCount = 44;
  header.recordCount = 105;
  header.currentPreset = 3;
  header.payloadSize = 4312;
  header.reserved[0] = 7;
  header.reserved[3] = -2;
  std::array<unsigned char, 41> written;
  writeHeader(header, written);
  EXPECT_EQ(test::Bytes(written.begin(), written.end()), expected);

  // Read back from an odd address, as images arrive from files and hosts.
  std::array<unsigned char, 42> shifted{};
  std::memcpy(shifted.data() + 1, expected.data(), 41);
  const newpresetheader read = readHeader(std::span(shifted).subspan<1, 41>());
  EXPECT_EQ(read.uniqueId, test::kOwnId);
  EXPECT_EQ(read.kind, 56);
  EXPECT_EQ(read.version, 0x01080000);
  EXPECT_EQ(read.parameterCount, 44);
  EXPECT_EQ(read.recordCount, 105);
  EXPECT_EQ(read.currentPreset, 3);
  EXPECT_EQ(read.payloadSize, 4312);
  EXPECT_EQ(read.reserved[0], 7);
  EXPECT_EQ(read.reserved[1], 0);
  EXPECT_EQ(read.reserved[3], -2);

  // A foreign header swapped in place reads as the native one.
  std::array<unsigned char, 41> foreign;
  const test::Bytes reversedHeader = test::ImageBytes(true).header(56, 105, 3, 4312).bytes;
  std::memcpy(foreign.data(), reversedHeader.data(), 41);
  byteSwapHeader(foreign);
  const newpresetheader swapped = readHeader(foreign);
  EXPECT_EQ(swapped.recordCount, 105);
  EXPECT_EQ(swapped.payloadSize, 4312);
  EXPECT_EQ(swapped.uniqueId, reversed(test::kOwnId));  // the identifier is not swapped
}

TEST(ImageFormat, ByteOrderComesFromTheIdentifier) {
  const std::int32_t own = test::kOwnId;
  EXPECT_EQ(detectByteOrder(own, own), ByteOrder::kNative);
  EXPECT_EQ(detectByteOrder(reversed(own), own), ByteOrder::kForeign);
  EXPECT_EQ(detectByteOrder(fourCharCode('N', 'o', 'p', 'e'), own), ByteOrder::kUnknown);
  EXPECT_EQ(detectByteOrder(0, own), ByteOrder::kUnknown);
  // An identifier that reads the same both ways can only be taken as native.
  const std::int32_t palindrome = fourCharCode('A', 'B', 'B', 'A');
  EXPECT_EQ(detectByteOrder(palindrome, palindrome), ByteOrder::kNative);
}
