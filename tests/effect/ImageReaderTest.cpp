// The preset and bank image readers (kinds 34 and 56) through the entry that files and
// preference values use: what an accepted image changes, in what order, and the rules
// for records the reader passes over.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "effect/PresetImageSupport.h"

using namespace tavola;
using test::Bytes;
using test::ImageBytes;
using ImageReader = test::PresetImageTest;
using test::PresetMemory;
using test::snapshot;

namespace {

Bytes writtenPreset(test::ObservedEffect& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  const std::size_t size = effect.editor().PresetToBuffer(buffer);
  return Bytes(buffer.get(), buffer.get() + size);
}

Bytes writtenBank(test::ObservedEffect& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  const std::size_t size = effect.editor().BankToBuffer(buffer);
  return Bytes(buffer.get(), buffer.get() + size);
}

ImageReadResult readPreset(test::ObservedEffect& effect, const Bytes& bytes, bool invert = false) {
  return effect.editor().readImageFromBytes(bytes, AcceptedImages::kPresets, invert);
}

ImageReadResult readBank(test::ObservedEffect& effect, const Bytes& bytes, bool invert = false) {
  return effect.editor().readImageFromBytes(bytes, AcceptedImages::kBanks, invert);
}

std::string status(const ImageReadResult& result) {
  return std::string(imageReadStatusName(result.status)) + ": " + result.reason;
}

}  // namespace

TEST_F(ImageReader, PresetImageLoadsIntoTheCurrentPresetInOrder) {
  effect->select(3);
  effect->setParameter(13, 0.25f);
  effect->setParameter(27, 0.75f);
  effect->setPresetName("Edited three");
  const Bytes image = writtenPreset(*effect);
  const PresetRecord edited = effect->preset(3);

  effect->select(5);
  effect->forget();
  const ImageReadResult result = readPreset(*effect, image);
  ASSERT_TRUE(result.ok()) << status(result);

  // The stored indices and the name come from the image; preset 5 is otherwise the
  // template, and preset 3 is untouched.
  const PresetRecord& loaded = effect->preset(5);
  EXPECT_STREQ(loaded.name, "Edited three");
  for (int i : test::kStoredIndices) EXPECT_EQ(loaded.params[i], edited.params[i]) << i;
  EXPECT_EQ(effect->getPresetNo(), 5);
  EXPECT_TRUE(test::samePreset(effect->preset(3), edited));
  const std::vector<std::string> expected = {
      "initializePreset 5",
      "setPresetName Edited three",
      "setPresetNo 5",
  };
  EXPECT_EQ(effect->events, expected);
  EXPECT_EQ(effect->setParameterCalls, 44);
  EXPECT_EQ(effect->getParameter(13), 0.25f);
}

TEST_F(ImageReader, ForeignPresetImageLoadsLikeTheNativeOne) {
  effect->select(2);
  effect->setParameter(9, 0.75f);
  effect->setPresetName("Travelled");
  const Bytes native = writtenPreset(*effect);
  const Bytes foreign = test::reversedImage(native);
  ASSERT_NE(native, foreign);

  test::ObservedEffect first, second;
  first.select(4);
  second.select(4);
  ASSERT_TRUE(readPreset(first, native).ok());
  const ImageReadResult result = readPreset(second, foreign);
  ASSERT_TRUE(result.ok()) << status(result);
  EXPECT_TRUE(snapshot(first) == snapshot(second));
  EXPECT_EQ(first.events, second.events);

  // The endian-reversed load turns the decision round: each image is then taken for
  // the other order, which makes no sense of its counts, and is refused.
  const PresetMemory before = snapshot(first);
  first.forget();
  EXPECT_EQ(readPreset(first, native, true).status, ImageReadStatus::kPayloadOutOfRange);
  EXPECT_EQ(readPreset(first, foreign, true).status, ImageReadStatus::kPayloadOutOfRange);
  EXPECT_TRUE(snapshot(first) == before);
  EXPECT_TRUE(first.events.empty());
}

TEST_F(ImageReader, EndianReversedLoadReadsAForeignImageAsNative) {
  // An image written natively but carrying a byte-reversed identifier: the decision says
  // foreign, the endian-reversed load turns it back to native.
  ImageBytes image;
  image.header(34, 2, 0, 168 + 32, test::reversedOwnId())
      .nameRecord(0, "Mislabelled")
      .parameterRecord(0, 6, 0.75f);
  effect->select(1);
  const ImageReadResult result = readPreset(*effect, image.bytes, true);
  ASSERT_TRUE(result.ok()) << status(result);
  EXPECT_STREQ(effect->preset(1).name, "Mislabelled");
  EXPECT_EQ(effect->preset(1).params[6], 0.75f);
}

TEST_F(ImageReader, ValuesTheImageDoesNotCarryComeFromTheTemplate) {
  const PresetRecord templ = test::templatePreset();
  effect->select(6);
  ImageBytes image;
  image.header(34, 3, 0, 168 + 2 * 32)
      .nameRecord(0, "Two values")
      .parameterRecord(0, 0, 0.0f)
      .parameterRecord(0, 1, 1.0f);
  ASSERT_TRUE(readPreset(*effect, image.bytes).ok());
  const PresetRecord& loaded = effect->preset(6);
  EXPECT_EQ(loaded.params[0], 0.0f);
  EXPECT_EQ(loaded.params[1], 1.0f);
  for (int i = 2; i < kNumPresetParameters; ++i) EXPECT_EQ(loaded.params[i], templ.params[i]) << i;
  EXPECT_STREQ(loaded.name, "Two values");

  // Without a name record the template's name stays.
  effect->select(2);
  ImageBytes nameless;
  nameless.header(34, 1, 0, 32).parameterRecord(0, 15, 0.25f);
  ASSERT_TRUE(readPreset(*effect, nameless.bytes).ok());
  EXPECT_STREQ(effect->preset(2).name, templ.name);
  EXPECT_EQ(effect->preset(2).params[15], 0.25f);
}

TEST_F(ImageReader, RecordsTheReaderPassesOver) {
  effect->select(1);
  // Unknown types are skipped by their length, whatever their body holds; parameter
  // indices outside 0 to 43 are ignored, whatever their value; the preset index field of
  // a preset image means nothing; a body longer than its fields is fine.
  ImageBytes image;
  image.header(34, 8, 0, 0)
      .record(7, 40, 0, 40, 0xFF)
      .nameRecord(55, "Skipping")
      .record(0x7FFFFFFF, 0, 0, 0)
      .parameterRecord(0, 44, 1.5f)
      .parameterRecord(-3, -1, std::nanf(""))
      .parameterRecord(0, 0x7FFFFFFF, -0.5f)
      .record(-1, 4, 0, 4, 0x7F)
      .record(1, 24, 9, 0)
      .i32(13)
      .i32(0)
      .i32(0)
      .f32(0.125f)
      .i32(0)
      .i32(0);
  image.patch(21, static_cast<std::int32_t>(image.bytes.size() - 41));

  const ImageReadResult result = readPreset(*effect, image.bytes);
  ASSERT_TRUE(result.ok()) << status(result);
  EXPECT_STREQ(effect->preset(1).name, "Skipping");
  EXPECT_EQ(effect->preset(1).params[13], 0.125f);
  EXPECT_EQ(effect->preset(1).params[0], test::templatePreset().params[0]);
}

TEST_F(ImageReader, BankImageRoundTripsAndSelectsItsCurrentPreset) {
  effect->select(2);
  effect->setParameter(25, 0.0f);
  effect->setPresetName("Two edited");
  effect->select(6);
  effect->setParameter(0, 0.0f);
  const Bytes bank = writtenBank(*effect);

  test::ObservedEffect other;
  other.select(1);
  const ImageReadResult result = readBank(other, bank);
  ASSERT_TRUE(result.ok()) << status(result);
  for (int p = 0; p < kNumPresets; ++p) {
    EXPECT_STREQ(other.preset(p).name, effect->preset(p).name);
    for (int i : test::kStoredIndices)
      EXPECT_EQ(other.preset(p).params[i], effect->preset(p).params[i]) << p << "/" << i;
  }
  EXPECT_EQ(other.getPresetNo(), 6);
  EXPECT_EQ(other.getParameter(0), 0.0f);
  ASSERT_EQ(other.events.size(), kNumPresets + 1u);
  EXPECT_EQ(other.events[0], "initializePreset 0");
  EXPECT_EQ(other.events[6], "initializePreset 6");
  EXPECT_EQ(other.events[7], "setPresetNo 6");

  // The same bank with every field reversed gives the same memory.
  test::ObservedEffect foreign;
  foreign.select(1);
  ASSERT_TRUE(readBank(foreign, test::reversedImage(bank)).ok());
  EXPECT_TRUE(snapshot(foreign) == snapshot(other));
}

TEST_F(ImageReader, BankCurrentPresetOutsideTheBankSelectsPresetZero) {
  for (std::int32_t current : {9, 7, -1, INT32_MIN, INT32_MAX}) {
    test::ObservedEffect other;
    other.select(4);
    ImageBytes bank;
    bank.header(56, 1, current, 168).nameRecord(2, "Only two");
    ASSERT_TRUE(readBank(other, bank.bytes).ok()) << current;
    EXPECT_EQ(other.getPresetNo(), 0) << current;
    EXPECT_STREQ(other.preset(2).name, "Only two");
  }
}

TEST_F(ImageReader, BankNameRecordResetsItsPresetAndOtherPresetsStay) {
  const PresetRecord templ = test::templatePreset();
  effect->select(5);
  effect->setParameter(6, 0.25f);
  effect->select(0);
  const PresetMemory before = snapshot(*effect);

  // Preset 4: a value before its name record is lost to the reset, one after it stays.
  // Records of presets 7 and -1 are passed over, even with bad values or short bodies.
  ImageBytes bank;
  bank.header(56, 6, 4, 0)
      .parameterRecord(4, 13, 0.125f)
      .nameRecord(4, "Reset four")
      .parameterRecord(4, 15, 0.875f)
      .parameterRecord(7, 13, 1.5f)
      .record(1, 2, -1, 2)
      .nameRecord(-1, "Nobody");
  const std::int32_t payload = static_cast<std::int32_t>(bank.bytes.size() - 41);
  bank.patch(21, payload);
  const ImageReadResult result = readBank(*effect, bank.bytes);
  ASSERT_TRUE(result.ok()) << status(result);

  PresetRecord expected = templ;
  std::memset(expected.name, 0, sizeof expected.name);
  std::strcpy(expected.name, "Reset four");
  expected.params[15] = 0.875f;
  EXPECT_TRUE(test::samePreset(effect->preset(4), expected));
  for (int p : {0, 1, 2, 3, 5, 6})
    EXPECT_TRUE(test::samePreset(effect->preset(p), before.presets[static_cast<std::size_t>(p)]))
        << "preset " << p;
  EXPECT_EQ(effect->getPresetNo(), 4);
}

TEST_F(ImageReader, NamesFromDataEndWithinTheirField) {
  const std::string full(24, 'N');
  effect->select(3);
  ImageBytes preset;
  preset.header(34, 1, 0, 168).nameRecord(0, full);
  ASSERT_TRUE(readPreset(*effect, preset.bytes).ok());
  EXPECT_EQ(std::string(effect->preset(3).name), std::string(23, 'N'));
  char hostName[kPresetNameSize + 8];
  effect->getProgramName(hostName);
  EXPECT_EQ(std::string(hostName), std::string(23, 'N'));

  ImageBytes bank;
  bank.header(56, 1, 0, 168).nameRecord(6, full);
  ASSERT_TRUE(readBank(*effect, bank.bytes).ok());
  EXPECT_EQ(effect->preset(6).name[23], 0);
  EXPECT_EQ(std::strlen(effect->preset(6).name), 23u);
}

TEST_F(ImageReader, KindsAreFilteredByWhatTheCallerTakes) {
  const Bytes preset = writtenPreset(*effect);
  const Bytes bank = writtenBank(*effect);
  const PresetMemory before = snapshot(*effect);
  effect->forget();

  ImageReadResult result = readBank(*effect, preset);
  EXPECT_EQ(result.status, ImageReadStatus::kKindNotAccepted) << status(result);
  EXPECT_EQ(result.reason,
            "a preset image (kind 34) where a bank image (kind 55 or 56) was expected");
  result = readPreset(*effect, bank);
  EXPECT_EQ(result.status, ImageReadStatus::kKindNotAccepted) << status(result);
  Bytes oldPreset(29 + 4 * 44, 0);
  std::memcpy(oldPreset.data(), &test::kOwnId, 4);
  oldPreset[4] = 33;
  EXPECT_EQ(readBank(*effect, oldPreset).status, ImageReadStatus::kKindNotAccepted);

  for (unsigned char kind : {0, 32, 35, 54, 57, 65, 255}) {
    Bytes other = preset;
    other[4] = kind;
    result = readPreset(*effect, other);
    EXPECT_EQ(result.status, ImageReadStatus::kUnknownKind) << int(kind);
  }
  EXPECT_EQ(result.reason,
            "kind byte 255 is neither a preset image (33 or 34) nor a bank image (55 or 56)");
  EXPECT_TRUE(snapshot(*effect) == before);
  EXPECT_TRUE(effect->events.empty());
}

TEST_F(ImageReader, ForeignIdentifierIsRefusedWithBothIdentifiersNamed) {
  Bytes image = writtenPreset(*effect);
  const std::int32_t nope = fourCharCode('N', 'o', 'p', 'e');
  std::memcpy(image.data(), &nope, 4);
  const PresetMemory before = snapshot(*effect);
  effect->forget();
  const ImageReadResult result = readPreset(*effect, image);
  EXPECT_EQ(result.status, ImageReadStatus::kUnknownIdentifier);
  EXPECT_EQ(result.reason,
            "unique identifier 0x4E6F7065 ('Nope') is neither this effect's 0x4B575456 ('KWTV') "
            "nor its byte-reversed form");
  expectUntouched(before, "foreign identifier");
}
