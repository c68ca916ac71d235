// Coverage-guided fuzzing of everything that reads preset images and chunks from outside:
// the host's setChunk and the entry that files and preference values go through.
//
// The first byte chooses the reader, the rest is the data:
//   0  setChunk (chunk versions 1 and 2)
//   1  readImageFromBytes, presets (kinds 33, 34)
//   2  readImageFromBytes, banks (kinds 55, 56)
//   3  as 1, with the endian-reversed load
//   4  as 2, with the endian-reversed load
// Besides crashes and sanitizer reports, the target aborts when a reader breaks its
// promises: a rejection that changed the preset memory, an accepted image that left a
// value outside [0, 1] or a name without its NUL, or a chunk we write that we cannot read.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "presets/CPresetSystemEditor.h"

namespace {

VstIntPtr fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

using Memory = std::vector<PresetRecord>;

Memory presetMemory(const Tavola& effect) {
  Memory memory;
  for (int p = 0; p < kNumPresets; ++p) memory.push_back(effect.preset(p));
  return memory;
}

bool sameMemory(const Memory& a, const Memory& b) {
  return std::memcmp(a.data(), b.data(), a.size() * sizeof(PresetRecord)) == 0;
}

[[noreturn]] void broken(const char* promise, const ImageReadResult& result) {
  std::fprintf(stderr, "broken promise: %s (reader said: %s)\n", promise,
               result.ok() ? "applied" : result.reason.c_str());
  std::abort();
}

std::vector<unsigned char> chunkOf(Tavola& effect) {
  void* data = nullptr;
  const VstInt32 size = effect.getChunk(&data);
  const auto* bytes = static_cast<const unsigned char*>(data);
  return size > 0 && bytes ? std::vector<unsigned char>(bytes, bytes + size)
                           : std::vector<unsigned char>{};
}

struct Fixture {
  std::unique_ptr<Tavola> effect = std::make_unique<Tavola>(fuzzHost);
  std::vector<unsigned char> baseline;

  Fixture() {
    // A state with every preset different, on preset 3, that each input starts from.
    for (int p = kNumPresets - 1; p >= 0; --p) {
      effect->setPresetNo(p);
      effect->setParameter(13, static_cast<float>(p) / 8.0f);
      effect->setPresetName("Fuzz baseline");
    }
    effect->setPresetNo(3);
    baseline = chunkOf(*effect);
  }

  void restore() {
    if (!effect->readChunk(baseline).ok()) broken("the baseline chunk reads back", {});
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  if (size == 0) return 0;
  Tavola& effect = *fixture.effect;
  auto& editor = *effect.panel();
  fixture.restore();

  // The data in a buffer of its own exact size, so that the address sanitizer sees any
  // read past it.
  const std::size_t length = size - 1;
  std::unique_ptr<unsigned char[]> bytes(new unsigned char[length]);
  if (length) std::memcpy(bytes.get(), data + 1, length);
  const std::span<const unsigned char> input(bytes.get(), length);

  const Memory before = presetMemory(effect);
  const long presetBefore = effect.getPresetNo();
  ImageReadResult result;
  switch (data[0] % 5) {
    case 0: {
      result = effect.readChunk(input);
      const VstInt32 answer =
          effect.setChunk(length ? bytes.get() : nullptr, static_cast<VstInt32>(length));
      if (answer != (result.ok() ? 0 : -1)) broken("setChunk answers as readChunk decides", result);
      break;
    }
    case 1:
      result = editor.readImageFromBytes(input, AcceptedImages::kPresets);
      break;
    case 2:
      result = editor.readImageFromBytes(input, AcceptedImages::kBanks);
      break;
    case 3:
      result = editor.readImageFromBytes(input, AcceptedImages::kPresets, true);
      break;
    default:
      result = editor.readImageFromBytes(input, AcceptedImages::kBanks, true);
      break;
  }

  if (!result.ok()) {
    if (result.reason.empty()) broken("a rejection gives its reason", result);
    if (!sameMemory(presetMemory(effect), before) || effect.getPresetNo() != presetBefore)
      broken("a rejected image changes nothing", result);
    return 0;
  }
  for (int p = 0; p < kNumPresets; ++p) {
    const PresetRecord& preset = effect.preset(p);
    if (std::memchr(preset.name, 0, kPresetNameSize) == nullptr)
      broken("names end within their 24 bytes", result);
    for (float value : preset.params)
      if (!(value >= 0.0f && value <= 1.0f)) broken("stored values are normalised", result);
  }
  if (!effect.readChunk(chunkOf(effect)).ok()) broken("our own chunk reads back", result);
  return 0;
}
