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

// Every accepted version-1 image, as a table: what it is, the reader, the preset selected
// before, and what the reader must leave. Each preset read becomes the template with its
// name and the values it takes over (expectedOld); every other preset stays as it was, and
// the selected preset is applied.
TEST_F(OldLayoutReader, AcceptedImagesLeaveExactlyWhatTheyHold) {
  enum class Reader { kPreset, kBank, kChunk };
  struct Case {
    std::string what;
    Reader reader;
    Bytes bytes;
    int selectedBefore;
    // Of each preset read: the name it takes, and how many of its values are read.
    std::vector<std::string> names;
    int valuesRead;
    int current;
  };
  const auto bankNames = [](const char* stem, int count) {
    std::vector<std::string> names;
    for (int p = 0; p < count; ++p) names.push_back(stem + std::to_string(p));
    return names;
  };
  Bytes ragged = oldPreset("Ragged", 10);
  ragged.insert(ragged.end(), {0x42, 0x42});  // a partial last float is not a value
  Bytes trailing = oldBank(44);
  trailing.insert(trailing.end(), 6, 0xEE);  // not a whole float per preset
  const std::vector<std::string> seven = bankNames("Old ", 7), chunkSeven = bankNames("Chunk ", 7);
  std::vector<Case> cases = {
      {"preset of 50 values", Reader::kPreset, oldPreset("Fifty", 50), 2, {"Fifty"}, 44, 2},
      {"preset of 10 values", Reader::kPreset, oldPreset("Ten", 10), 6, {"Ten"}, 10, 6},
      {"preset with stray bytes", Reader::kPreset, ragged, 6, {"Ragged"}, 10, 6},
      {"preset of a name only", Reader::kPreset, oldPreset("Name only", 0), 6, {"Name only"}, 0, 6},
      {"preset, foreign order",
       Reader::kPreset,
       oldPreset("Both ways", 44, true),
       4,
       {"Both ways"},
       44,
       4},
      {"bank", Reader::kBank, oldBank(44), 5, seven, 44, 0},
      {"bank, foreign order", Reader::kBank, oldBank(44, true), 5, seven, 44, 0},
      {"bank with stray bytes", Reader::kBank, trailing, 5, seven, 44, 0},
      {"bank of 10 values", Reader::kBank, oldBank(10), 5, seven, 10, 0},
      // The stride is the file's own: the last six values of each preset are not read.
      {"bank of 50 values", Reader::kBank, oldBank(50), 5, seven, 44, 0},
      {"chunk", Reader::kChunk, oldChunk(7, 4), 1, chunkSeven, 44, 4},
      {"chunk, foreign order", Reader::kChunk, oldChunk(7, 4, 7, 44, true), 1, chunkSeven, 44, 4},
      {"chunk of ten presets", Reader::kChunk, oldChunk(10, 4, 10), 1, chunkSeven, 44, 4},
      {"chunk of 50 values", Reader::kChunk, oldChunk(7, 4, 7, 50), 1, chunkSeven, 44, 4},
      {"chunk of three presets", Reader::kChunk, oldChunk(3, 1, 3), 2, bankNames("Chunk ", 3), 44,
       1},
      // No division by zero: nothing is read, and presets after a count of 0 neither.
      {"chunk of no presets", Reader::kChunk, oldChunk(0, 5, 0), 2, {}, 44, 5},
      {"chunk of no presets with some after", Reader::kChunk, oldChunk(0, 5, 7), 2, {}, 44, 5},
  };
  // A current preset outside 0 to 6 (taken as unsigned) selects preset 0.
  for (std::int32_t current : {7, 9, -1, INT32_MIN})
    cases.push_back({"chunk naming preset " + std::to_string(current), Reader::kChunk,
                     oldChunk(7, current), 3, chunkSeven, 44, 0});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::ObservedEffect target;
    target.select(c.selectedBefore);
    target.setParameter(13, 0.125f);
    PresetMemory expected = snapshot(target);
    for (std::size_t p = 0; p < c.names.size(); ++p) {
      // A preset image goes into the current preset, with the values of a bank's first.
      const int into = c.reader == Reader::kPreset ? c.selectedBefore : static_cast<int>(p);
      expected.presets[static_cast<std::size_t>(into)] =
          expectedOld(c.names[p], static_cast<int>(p), c.valuesRead);
    }
    expected.current = c.current;
    target.forget();
    switch (c.reader) {
      case Reader::kPreset:
        ASSERT_TRUE(readPreset(target, c.bytes).ok());
        break;
      case Reader::kBank:
        ASSERT_TRUE(readBank(target, c.bytes).ok());
        break;
      case Reader::kChunk:
        ASSERT_EQ(setChunk(target, c.bytes), 0);
        break;
    }
    EXPECT_TRUE(snapshot(target) == expected);
    // The selected preset is applied once, last.
    ASSERT_FALSE(target.events.empty());
    EXPECT_EQ(target.events.back(), "setPresetNo " + std::to_string(c.current));
    EXPECT_EQ(target.setParameterCalls, kNumParameters);
  }
}

TEST_F(OldLayoutReader, TheLayoutsHaveTheirSizesAndForeignOrderIsTheWholeImageReversed) {
  EXPECT_EQ(oldPreset("Fifty", 50).size(), 29u + 4 * 50);
  EXPECT_EQ(oldBank(44).size(), 5u + 7 * (24 + 4 * 44));
  EXPECT_EQ(oldChunk(7, 4).size(), 1432u);
  EXPECT_EQ(oldPreset("Both ways", 44, true), test::reversedOldPreset(oldPreset("Both ways", 44)));
  EXPECT_EQ(oldChunk(7, 4, 7, 44, true), test::reversedOldChunk(oldChunk(7, 4)));
}

TEST_F(OldLayoutReader, APresetIsReadRenamedAndAppliedInThatOrder) {
  effect->select(2);
  ASSERT_TRUE(readPreset(*effect, oldPreset("Fifty", 50)).ok());
  const std::vector<std::string> expected = {
      "initializePreset 2",
      "setPresetName Fifty",
      "setPresetNo 2",
  };
  EXPECT_EQ(effect->events, expected);
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
