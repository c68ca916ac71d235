// The host chunk read by the effect itself: the version-2 chunk's round trip, its byte
// order, its answers to the host, and the head checks.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "effect/PresetImageSupport.h"

using namespace tavola;
using test::Bytes;
using test::ImageBytes;
using test::PresetMemory;
using test::snapshot;
using ChunkReader = test::PresetImageTest;

namespace {

Bytes chunkOf(Tavola& effect) {
  void* data = nullptr;
  const VstInt32 size = effect.getChunk(&data);
  const auto* bytes = static_cast<const unsigned char*>(data);
  return Bytes(bytes, bytes + size);
}

VstInt32 setChunk(Tavola& effect, Bytes bytes) {
  return effect.setChunk(bytes.data(), static_cast<VstInt32>(bytes.size()));
}

// Names and the stored values of every preset, and the current preset.
void expectSameStoredState(const Tavola& a, const Tavola& b) {
  EXPECT_EQ(a.getPresetNo(), b.getPresetNo());
  for (int p = 0; p < kNumPresets; ++p) {
    EXPECT_EQ(std::memcmp(a.preset(p).name, b.preset(p).name, kPresetNameSize), 0) << p;
    for (int i : test::kStoredIndices)
      EXPECT_EQ(a.preset(p).params[i], b.preset(p).params[i]) << p << "/" << i;
  }
}

}  // namespace

TEST_F(ChunkReader, ChunkRestoresEveryPresetAndTheCurrentOne) {
  for (int p : {1, 4, 6}) {
    effect->select(p);
    effect->setParameter(21, static_cast<float>(p) / 7.0f);
    effect->setPresetName(("Chunk " + std::to_string(p)).c_str());
  }
  effect->select(4);
  const Bytes chunk = chunkOf(*effect);

  test::ObservedEffect target;
  target.select(2);
  ASSERT_EQ(setChunk(target, chunk), 0);
  expectSameStoredState(*effect, target);
  EXPECT_EQ(target.getParameter(21), 4.0f / 7.0f);
  EXPECT_EQ(chunkOf(target), chunk);
  ASSERT_EQ(target.events.size(), kNumPresets + 1u);
  EXPECT_EQ(target.events[1], "initializePreset 1");
  EXPECT_EQ(target.events[7], "setPresetNo 4");
  EXPECT_EQ(target.setParameterCalls, kNumParameters);

  // Every 4-byte field reversed, as a machine of the other byte order writes it.
  test::ObservedEffect foreign;
  const Bytes reversed = test::reversedChunk(chunk);
  ASSERT_NE(reversed, chunk);
  ASSERT_EQ(setChunk(foreign, reversed), 0);
  EXPECT_TRUE(snapshot(foreign) == snapshot(target));
  EXPECT_EQ(foreign.events, target.events);
}

TEST_F(ChunkReader, HeadChecks) {
  const Bytes chunk = chunkOf(*effect);
  const PresetMemory before = snapshot(*effect);
  effect->forget();
  Bytes copy = chunk;
  EXPECT_EQ(effect->setChunk(nullptr, static_cast<VstInt32>(chunk.size())), -1);
  EXPECT_EQ(effect->setChunk(copy.data(), -1), -1);
  EXPECT_EQ(effect->setChunk(copy.data(), INT32_MIN), -1);
  EXPECT_EQ(effect->setChunk(copy.data(), 0), -1);
  expectUntouched(before, "null data or negative size");

  // The format word is compared as a native value: a version-2 word in the other order on
  // native data, and any other word, are unknown formats.
  for (std::int32_t format : {0x03000000, 0, 0x00000002, 0x02000001, -1, 0x01000001}) {
    Bytes other = chunk;
    std::memcpy(other.data(), &format, 4);
    EXPECT_EQ(effect->readChunk(other).status, ImageReadStatus::kUnknownChunkFormat) << format;
    EXPECT_EQ(setChunk(*effect, other), -1) << format;
    expectUntouched(before, "unknown format word");
  }
}

TEST_F(ChunkReader, TheHeadAloneDecidesIdentity) {
  // The bank header inside a chunk repeats the identifier and kind; the reader goes by
  // the chunk's head, as it always has, so a chunk is read whatever they say.
  Bytes chunk = chunkOf(*effect);
  std::memset(chunk.data() + 8, 0, 5);
  test::ObservedEffect target;
  EXPECT_EQ(setChunk(target, chunk), 0);
  expectSameStoredState(*effect, target);
}
