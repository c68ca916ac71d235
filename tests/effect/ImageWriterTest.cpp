// The preset and bank writers and the host chunk, against images built by hand from the
// layout.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "effect/PresetImageSupport.h"

using namespace tavola;
using test::Bytes;
using test::ImageBytes;

namespace {

// The factory presets' values of the stored indices, as the preset table gives them.
struct FactoryRow {
  const char* name;
  float values[test::kStoredCount];  // indices 0, 6, 7, 8, 9, 12, 13, 15, 20, 21, 23, 24, 25, 27
};
const FactoryRow kFactory[kNumPresets] = {
    {"Default", {1, 0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 1, 0.5f, 0.5f, 1, 0.5f, 0.5f}},
    {"Air", {1, 0.5f, 0, 0, 0, 0, 0.5f, 0.5f, 0, 0.5f, 0.5f, 1, 0.75f, 7.0f / 12}},
    {"Loudness", {1, 0.5f, 0, 0, 0, 1, 0.75f, 7.0f / 12, 0, 0.5f, 0.5f, 1, 0.75f, 2.0f / 3}},
    {"Zoom 1", {1, 0.5f, 0, 0, 0, 0, 0.5f, 0.5f, 1, 2.0f / 3, 13.0f / 24, 1, 1.0f / 3, 13.0f / 24}},
    {"Zoom 2",
     {1, 0.5f, 0, 0, 0, 1, 0.25f, 5.0f / 12, 1, 2.0f / 3, 13.0f / 24, 1, 1.0f / 3, 13.0f / 24}},
    {"Speaker", {1, 0.5f, 0, 1, 0.75f, 1, 0.5f, 0.5f, 1, 0.5f, 0.625f, 1, 5.0f / 6, 5.0f / 12}},
    {"Bright Vox", {1, 0.5f, 0, 1, 0.5f, 1, 0.5f, 7.0f / 12, 1, 5.0f / 6, 0.625f, 1, 0.5f, 0.5f}},
};

Bytes presetImage(const std::unique_ptr<Tavola>& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  auto* editor = effect->panel();
  const std::size_t size = editor->PresetToBuffer(buffer);
  return size ? Bytes(buffer.get(), buffer.get() + size) : Bytes{};
}

Bytes bankImage(const std::unique_ptr<Tavola>& effect) {
  std::unique_ptr<unsigned char[]> buffer;
  auto* editor = effect->panel();
  const std::size_t size = editor->BankToBuffer(buffer);
  return size ? Bytes(buffer.get(), buffer.get() + size) : Bytes{};
}

Bytes chunkOf(Tavola& effect, bool isPreset = false) {
  void* data = nullptr;
  const VstInt32 size = effect.getChunk(&data, isPreset);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return Bytes(bytes, bytes + size);
}

std::int32_t fieldAt(const Bytes& bytes, std::size_t offset) {
  return test::nativeField(bytes, offset);
}

// Every index stored: the sizes the layout allows at most.
class EveryIndexStored : public Tavola {
 public:
  EveryIndexStored() : Tavola(test::connectedHost) { setWrittenPlaceholders({}); }
};

}  // namespace

TEST(ImageWriter, SizesWithEveryIndexStored) {
  test::QuietStandardError quiet;
  auto effect = std::make_unique<EveryIndexStored>();
  auto* editor = effect->panel();
  std::unique_ptr<unsigned char[]> buffer;
  EXPECT_EQ(editor->PresetToBuffer(buffer), 1617u);
  EXPECT_EQ(editor->BankToBuffer(buffer), 11073u);
  // The largest chunk fills the effect's chunk buffer exactly.
  const Bytes chunk = chunkOf(*effect);
  ASSERT_EQ(chunk.size(), 11081u);
  EXPECT_EQ(fieldAt(chunk, 8 + 13), 7 * 45);
  // The last record is parameter 43 of preset 6.
  EXPECT_EQ(fieldAt(chunk, 11081 - 32 + 8), 6);
  EXPECT_EQ(fieldAt(chunk, 11081 - 32 + 12), 43);
}

TEST(ImageWriter, PresetImageMatchesTheLayoutByteForByte) {
  test::QuietStandardError quiet;
  auto effect = test::makeEffect();
  effect->setPresetNo(3);  // "Zoom 1"
  effect->setParameter(13, 0.25f);
  effect->setPresetName("Hand built");

  ImageBytes expected;
  expected.header(34, 15, 0, 168 + 14 * 32).nameRecord(0, "Hand built");
  for (int column = 0; column < test::kStoredCount; ++column) {
    const int index = test::kStoredIndices[column];
    expected.parameterRecord(0, index, index == 13 ? 0.25f : kFactory[3].values[column]);
  }
  EXPECT_EQ(presetImage(effect), expected.bytes);
}

TEST(ImageWriter, ChunkMatchesTheLayoutByteForByte) {
  test::QuietStandardError quiet;
  auto effect = test::makeEffect();
  effect->setPresetNo(5);

  ImageBytes expected;
  expected.i32(0x02000000).i32(test::kOwnId).header(56, 105, 5, 7 * (168 + 14 * 32));
  const Bytes chunk = chunkOf(*effect);
  ASSERT_GE(chunk.size(), 49u);
  EXPECT_EQ(Bytes(chunk.begin(), chunk.begin() + 49), expected.bytes) << "head and bank header";

  for (int p = 0; p < kNumPresets; ++p) {
    expected.nameRecord(p, kFactory[p].name);
    for (int column = 0; column < test::kStoredCount; ++column)
      expected.parameterRecord(p, test::kStoredIndices[column], kFactory[p].values[column]);
  }
  EXPECT_EQ(chunk, expected.bytes) << "the whole chunk";
  // The bank image is the chunk without its head.
  EXPECT_EQ(bankImage(effect), Bytes(chunk.begin() + 8, chunk.end()));
}

TEST(ImageWriter, ChunkIgnoresThePresetFlagAndStaysOwnedByTheEffect) {
  test::QuietStandardError quiet;
  auto effect = test::makeEffect();
  void* first = nullptr;
  void* second = nullptr;
  const VstInt32 size = effect->getChunk(&first, false);
  EXPECT_EQ(effect->getChunk(&second, true), size);
  EXPECT_EQ(first, second);
  EXPECT_EQ(chunkOf(*effect, true), chunkOf(*effect, false));
  EXPECT_EQ(effect->getChunk(nullptr), 0);
}

// The state chunk is the effect's own: it goes out and back in with no editor object at
// all, as a binding without an editor (or a host that never asks for one) needs.
TEST(ImageWriter, TheChunkNeedsNoEditorObject) {
  test::QuietStandardError quiet;
  const auto withoutEditor = [] {
    auto effect = test::makeEffect();
    effect->replaceEditor(nullptr);
    return effect;
  };
  auto source = withoutEditor();
  source->setPresetNo(3);
  char name[] = "Edited \xC3\xA9";
  source->setProgramName(name);
  source->setParameter(15, 0.25f);
  void* data = nullptr;
  const VstInt32 size = source->getChunk(&data);
  ASSERT_GT(size, 0);
  ASSERT_NE(data, nullptr);
  const std::vector<unsigned char> chunk(static_cast<unsigned char*>(data),
                                         static_cast<unsigned char*>(data) + size);

  auto target = withoutEditor();
  ASSERT_EQ(target->setChunk(const_cast<unsigned char*>(chunk.data()), size), 0);
  EXPECT_EQ(target->getPresetNo(), 3);
  EXPECT_STREQ(target->presetName(3), "Edited \xC3\xA9");
  EXPECT_EQ(target->getParameter(15), 0.25f);
  void* again = nullptr;
  ASSERT_EQ(target->getChunk(&again), size);
  EXPECT_EQ(std::memcmp(again, chunk.data(), chunk.size()), 0);

  // A chunk cut short is refused whole: the bank is byte for byte as it was.
  ASSERT_EQ(target->setChunk(const_cast<unsigned char*>(chunk.data()), size - 9), -1);
  ASSERT_EQ(target->getChunk(&again), size);
  EXPECT_EQ(std::memcmp(again, chunk.data(), chunk.size()), 0);
}
