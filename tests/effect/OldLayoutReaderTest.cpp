// The version-1 layouts, still read but never written: the preset (kind 33), the bank
// (kind 55) and the state chunk (format word 0x01000000).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/PresetImageSupport.h"

using namespace tavola;
using test::Bytes;
using test::ImageBytes;
using OldLayoutReader = test::PresetImageTest;
using test::PresetMemory;
using test::snapshot;

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Distinct in-range values: position i of preset p.
float oldValue(int p, int i) {
  return static_cast<float>(p * 44 + i + 1) / 512.0f;
}

bool storedOld(int index) {
  for (int stored : test::kStoredIndices)
    if (stored == index) return true;
  return false;
}

// `count` floats for preset p. Positions the effect does not take over hold 7.0, and
// positions beyond 44 hold -3.0: neither may be read.
void appendOldValues(ImageBytes& bytes, int p, int count) {
  for (int i = 0; i < count; ++i) bytes.f32(i >= 44 ? -3.0f : storedOld(i) ? oldValue(p, i) : 7.0f);
}

Bytes oldPreset(const std::string& name, int count, bool reversedOrder = false) {
  ImageBytes bytes(reversedOrder);
  bytes.i32(test::kOwnId).u8(33).name(name);
  appendOldValues(bytes, 0, count);
  return bytes.bytes;
}

Bytes oldBank(int count, bool reversedOrder = false) {
  ImageBytes bytes(reversedOrder);
  bytes.i32(test::kOwnId).u8(55);
  for (int p = 0; p < kNumPresets; ++p) {
    bytes.name("Old " + std::to_string(p));
    appendOldValues(bytes, p, count);
  }
  return bytes.bytes;
}

// A version-1 chunk with `written` presets of `count` floats, claiming `presetCount`.
Bytes oldChunk(std::int32_t presetCount, std::int32_t current, int written = 7, int count = 44,
               bool reversedOrder = false) {
  ImageBytes bytes(reversedOrder);
  bytes.i32(0x01000000).i32(test::kOwnId).i32(presetCount).i32(current).i32(0).i32(0).i32(0).i32(0);
  for (int p = 0; p < written; ++p) {
    bytes.name("Chunk " + std::to_string(p));
    appendOldValues(bytes, p, count);
  }
  return bytes.bytes;
}

// Replaces the float at position i of preset p in a version-1 layout.
void setOldFloat(Bytes& bytes, std::size_t start, int count, int p, int i, float value) {
  const std::size_t offset =
      start + static_cast<std::size_t>(p) * (24 + 4 * static_cast<std::size_t>(count)) + 24 +
      4 * static_cast<std::size_t>(i);
  std::memcpy(bytes.data() + offset, &value, 4);
}

// Preset p as a version-1 reader leaves it: the template with the name and the values of
// the positions it takes over, up to `count`.
PresetRecord expectedOld(const std::string& name, int p, int count) {
  PresetRecord expected = test::templatePreset();
  std::memset(expected.name, 0, sizeof expected.name);
  std::strcpy(expected.name, name.c_str());
  for (int i = 0; i < std::min(count, 44); ++i)
    if (storedOld(i)) expected.params[i] = oldValue(p, i);
  return expected;
}

ImageReadResult readPreset(test::ObservedEffect& effect, const Bytes& bytes) {
  return effect.editor().readImageFromBytes(bytes, AcceptedImages::kPresets);
}

ImageReadResult readBank(test::ObservedEffect& effect, const Bytes& bytes) {
  return effect.editor().readImageFromBytes(bytes, AcceptedImages::kBanks);
}

VstInt32 setChunk(test::ObservedEffect& effect, Bytes bytes) {
  return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()));
}

}  // namespace

TEST_F(OldLayoutReader, OldPresetOfFiftyValuesReadsFortyFour) {
  effect->select(2);
  const Bytes image = oldPreset("Fifty", 50);
  ASSERT_EQ(image.size(), 29u + 4 * 50);
  const ImageReadResult result = readPreset(*effect, image);
  ASSERT_TRUE(result.ok()) << result.reason;
  EXPECT_TRUE(test::samePreset(effect->preset(2), expectedOld("Fifty", 0, 44)));
  const std::vector<std::string> expected = {
      "initializePreset 2",
      "setPresetName Fifty",
      "setPresetNo 2",
  };
  EXPECT_EQ(effect->events, expected);
}

TEST_F(OldLayoutReader, OldPresetOfTenValuesLeavesTheRestAtTheTemplate) {
  effect->select(6);
  ASSERT_TRUE(readPreset(*effect, oldPreset("Ten", 10)).ok());
  EXPECT_TRUE(test::samePreset(effect->preset(6), expectedOld("Ten", 0, 10)));
  // A partial last float (two stray bytes) is not a value.
  Bytes ragged = oldPreset("Ragged", 10);
  ragged.push_back(0x42);
  ragged.push_back(0x42);
  ASSERT_TRUE(readPreset(*effect, ragged).ok());
  EXPECT_TRUE(test::samePreset(effect->preset(6), expectedOld("Ragged", 0, 10)));
  // Only a name.
  ASSERT_TRUE(readPreset(*effect, oldPreset("Name only", 0)).ok());
  EXPECT_TRUE(test::samePreset(effect->preset(6), expectedOld("Name only", 0, 0)));
}

TEST_F(OldLayoutReader, OldPresetWithABadValueChangesNothing) {
  effect->select(3);
  const PresetMemory before = snapshot(*effect);
  struct Bad {
    int position;
    float value;
    ImageReadStatus status;
  };
  for (const Bad& bad : {Bad{13, 1.5f, ImageReadStatus::kValueOutOfRange},
                         Bad{0, -0.1f, ImageReadStatus::kValueOutOfRange},
                         Bad{27, kInf, ImageReadStatus::kValueOutOfRange},
                         Bad{25, -kInf, ImageReadStatus::kValueOutOfRange},
                         Bad{6, std::nanf(""), ImageReadStatus::kValueNotANumber}}) {
    Bytes image = oldPreset("Bad", 44);
    setOldFloat(image, 5, 44, 0, bad.position, bad.value);
    effect->forget();
    const ImageReadResult result = readPreset(*effect, image);
    EXPECT_EQ(result.status, bad.status) << bad.position << ": " << result.reason;
    expectUntouched(before, "version-1 preset with a bad value");
  }
  Bytes image = oldPreset("Bad", 44);
  setOldFloat(image, 5, 44, 0, 13, 1.5f);
  EXPECT_EQ(readPreset(*effect, image).reason,
            "version-1 preset: the value of parameter 13 of preset 3 is 1.5, outside [0, 1]");

  // A position the effect does not take over is not even read.
  Bytes unread = oldPreset("Unread", 44);
  setOldFloat(unread, 5, 44, 0, 3, std::nanf(""));
  EXPECT_TRUE(readPreset(*effect, unread).ok());
}

TEST_F(OldLayoutReader, ForeignOldPresetLoadsLikeTheNativeOne) {
  test::ObservedEffect native, foreign;
  native.select(4);
  foreign.select(4);
  ASSERT_TRUE(readPreset(native, oldPreset("Both ways", 44)).ok());
  const Bytes reversed = oldPreset("Both ways", 44, true);
  ASSERT_EQ(reversed, test::reversedOldPreset(oldPreset("Both ways", 44)));
  ASSERT_TRUE(readPreset(foreign, reversed).ok());
  EXPECT_TRUE(snapshot(native) == snapshot(foreign));
}

TEST_F(OldLayoutReader, OldBankReadsSevenPresetsAndSelectsTheFirst) {
  effect->select(5);
  const Bytes bank = oldBank(44);
  ASSERT_EQ(bank.size(), 5u + 7 * (24 + 4 * 44));
  const ImageReadResult result = readBank(*effect, bank);
  ASSERT_TRUE(result.ok()) << result.reason;
  for (int p = 0; p < kNumPresets; ++p)
    EXPECT_TRUE(test::samePreset(effect->preset(p), expectedOld("Old " + std::to_string(p), p, 44)))
        << p;
  EXPECT_EQ(effect->getPresetNo(), 0);
  ASSERT_EQ(effect->events.size(), kNumPresets + 1u);
  EXPECT_EQ(effect->events[0], "initializePreset 0");
  EXPECT_EQ(effect->events[7], "setPresetNo 0");

  // Foreign order, stray trailing bytes and fewer values per preset.
  test::ObservedEffect foreign, ragged, short10;
  ASSERT_TRUE(readBank(foreign, oldBank(44, true)).ok());
  EXPECT_TRUE(snapshot(foreign) == snapshot(*effect));
  Bytes trailing = bank;
  trailing.insert(trailing.end(), 6, 0xEE);  // not a whole float per preset
  ASSERT_TRUE(readBank(ragged, trailing).ok());
  EXPECT_TRUE(snapshot(ragged) == snapshot(*effect));
  ASSERT_TRUE(readBank(short10, oldBank(10)).ok());
  for (int p = 0; p < kNumPresets; ++p)
    EXPECT_TRUE(test::samePreset(short10.preset(p), expectedOld("Old " + std::to_string(p), p, 10)))
        << p;
  // Fifty values per preset: the stride is the file's own, the last six are not read.
  test::ObservedEffect fifty;
  ASSERT_TRUE(readBank(fifty, oldBank(50)).ok());
  EXPECT_TRUE(snapshot(fifty) == snapshot(*effect));
}

TEST_F(OldLayoutReader, OldBankWithABadValueChangesNothing) {
  effect->select(3);
  const PresetMemory before = snapshot(*effect);
  for (float value : {1.5f, -0.1f, kInf, std::nanf("")}) {
    Bytes bank = oldBank(44);
    setOldFloat(bank, 5, 44, 5, 21, value);
    effect->forget();
    const ImageReadResult result = readBank(*effect, bank);
    EXPECT_FALSE(result.ok()) << value;
    expectUntouched(before, "version-1 bank with a bad value");
  }
}

TEST_F(OldLayoutReader, OldChunkReadsPresetsAndSelectsItsCurrentOne) {
  effect->select(1);
  ASSERT_EQ(oldChunk(7, 4).size(), 1432u);
  ASSERT_EQ(setChunk(*effect, oldChunk(7, 4)), 0);
  for (int p = 0; p < kNumPresets; ++p)
    EXPECT_TRUE(
        test::samePreset(effect->preset(p), expectedOld("Chunk " + std::to_string(p), p, 44)))
        << p;
  EXPECT_EQ(effect->getPresetNo(), 4);
  EXPECT_EQ(effect->events.back(), "setPresetNo 4");
  const PresetMemory read = snapshot(*effect);

  // A current preset outside 0 to 6 (taken as unsigned) selects preset 0.
  for (std::int32_t current : {7, 9, -1, INT32_MIN}) {
    test::ObservedEffect other;
    ASSERT_EQ(setChunk(other, oldChunk(7, current)), 0) << current;
    EXPECT_EQ(other.getPresetNo(), 0) << current;
  }
  // Foreign order; more presets than seven; more values than 44 per preset (a chunk
  // larger than the 1432 bytes of seven presets of 44).
  test::ObservedEffect foreign, ten, fifty;
  ASSERT_EQ(setChunk(foreign, oldChunk(7, 4, 7, 44, true)), 0);
  EXPECT_TRUE(snapshot(foreign) == read);
  EXPECT_EQ(oldChunk(7, 4, 7, 44, true), test::reversedOldChunk(oldChunk(7, 4)));
  ASSERT_EQ(setChunk(ten, oldChunk(10, 4, 10)), 0);
  EXPECT_TRUE(snapshot(ten) == read);
  ASSERT_EQ(setChunk(fifty, oldChunk(7, 4, 7, 50)), 0);
  EXPECT_TRUE(snapshot(fifty) == read);
}

TEST_F(OldLayoutReader, OldChunkWithFewerPresetsLeavesTheOthers) {
  effect->select(2);
  effect->setParameter(13, 0.125f);
  const PresetMemory before = snapshot(*effect);
  ASSERT_EQ(setChunk(*effect, oldChunk(3, 1, 3)), 0);
  for (int p = 0; p < 3; ++p)
    EXPECT_TRUE(
        test::samePreset(effect->preset(p), expectedOld("Chunk " + std::to_string(p), p, 44)));
  for (int p = 3; p < kNumPresets; ++p)
    EXPECT_TRUE(test::samePreset(effect->preset(p), before.presets[static_cast<std::size_t>(p)]))
        << p;
  EXPECT_EQ(effect->getPresetNo(), 1);
}

TEST_F(OldLayoutReader, OldChunkWithNoPresetsOnlySelects) {
  effect->select(2);
  const PresetMemory before = snapshot(*effect);
  effect->forget();
  // No division by zero: nothing is read, the current preset is applied.
  ASSERT_EQ(setChunk(*effect, oldChunk(0, 5, 0)), 0);
  PresetMemory expected = before;
  expected.current = 5;
  EXPECT_TRUE(snapshot(*effect) == expected);
  EXPECT_EQ(effect->events, std::vector<std::string>{"setPresetNo 5"});
  // Presets after a count of 0 are not read either.
  ASSERT_EQ(setChunk(*effect, oldChunk(0, 9, 7)), 0);
  expected.current = 0;
  EXPECT_TRUE(snapshot(*effect) == expected);
}

TEST_F(OldLayoutReader, OldChunkRejectionsChangeNothing) {
  effect->select(3);
  const PresetMemory before = snapshot(*effect);
  struct Case {
    const char* what;
    Bytes chunk;
    ImageReadStatus status;
  };
  const Bytes full = oldChunk(7, 0);
  std::vector<Case> cases = {
      {"negative count", oldChunk(-1, 0), ImageReadStatus::kCountOutOfRange},
      {"INT32_MIN count", oldChunk(INT32_MIN, 0), ImageReadStatus::kCountOutOfRange},
      {"INT32_MAX count", oldChunk(INT32_MAX, 0), ImageReadStatus::kCountOutOfRange},
      {"eight presets claimed, seven there", oldChunk(8, 0, 7, 0),
       ImageReadStatus::kCountOutOfRange},
      {"shorter than the head", Bytes(full.begin(), full.begin() + 31), ImageReadStatus::kTooShort},
  };
  for (float value : {1.5f, -0.1f, kInf, -kInf, std::nanf("")}) {
    Bytes chunk = oldChunk(7, 0);
    setOldFloat(chunk, 32, 44, 4, 23, value);  // preset 4: presets 0 to 3 read before it
    cases.push_back({"bad value", chunk,
                     std::isnan(value) ? ImageReadStatus::kValueNotANumber
                                       : ImageReadStatus::kValueOutOfRange});
  }
  for (Case& c : cases) {
    effect->forget();
    EXPECT_EQ(effect->readChunk(c.chunk).status, c.status) << c.what;
    EXPECT_EQ(setChunk(*effect, c.chunk), -1) << c.what;
    expectUntouched(before, c.what);
  }
  EXPECT_EQ(effect->readChunk(cases.back().chunk).reason,
            "version-1 chunk: the value of parameter 23 of preset 4 is not a number");
}
