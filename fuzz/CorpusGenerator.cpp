// Writes the fuzzer's seed corpus: real images as the effect writes them and as the older
// layout and a machine of the other byte order wrote them, each behind the byte that
// chooses its reader (see ImageReaderFuzzer.cpp).
//
//   corpus-generator DIRECTORY

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "presets/CPresetSystemEditor.h"
#include "support/ImageBytes.h"

namespace {

using tavola::test::Bytes;
using tavola::test::ImageBytes;

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

bool writeSeed(const std::string& directory, const std::string& name, unsigned char reader,
               const Bytes& bytes) {
  const std::string path = directory + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  const bool written = std::fputc(reader, file) != EOF &&
                       std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

Bytes bytesOf(const std::unique_ptr<unsigned char[]>& buffer, std::size_t size) {
  return Bytes(buffer.get(), buffer.get() + size);
}

// Version-1 layouts: names and 44 plain floats per preset.
Bytes oldPreset(bool reversedOrder) {
  ImageBytes image(reversedOrder);
  image.i32(tavola::test::kTavolaId).u8(33).name("Old preset");
  for (int i = 0; i < 44; ++i) image.f32(static_cast<float>(i) / 43.0f);
  return image.bytes;
}

Bytes oldBank(bool reversedOrder) {
  ImageBytes image(reversedOrder);
  image.i32(tavola::test::kTavolaId).u8(55);
  for (int p = 0; p < 7; ++p) {
    image.name("Old bank " + std::to_string(p));
    for (int i = 0; i < 44; ++i) image.f32(static_cast<float>((p + i) % 8) / 7.0f);
  }
  return image.bytes;
}

Bytes oldChunk(bool reversedOrder) {
  ImageBytes chunk(reversedOrder);
  chunk.i32(0x01000000).i32(tavola::test::kTavolaId).i32(7).i32(4).zeros(16);
  for (int p = 0; p < 7; ++p) {
    chunk.name("Old chunk " + std::to_string(p));
    for (int i = 0; i < 44; ++i) chunk.f32(static_cast<float>((p * i) % 5) / 4.0f);
  }
  return chunk.bytes;
}

// Native data under the byte-reversed identifier: what the endian-reversed load is for.
Bytes mislabelled(Bytes image) {
  const std::int32_t id = tavola::test::reversedOwnId();
  std::memcpy(image.data(), &id, 4);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
    return 2;
  }
  const std::string directory = argv[1];

  // Keep the effect's diagnostic lines out of the way.
  std::freopen("/dev/null", "w", stderr);
  Tavola effect(quietHost);
  effect.setPresetNo(2);
  effect.setParameter(13, 0.75f);
  effect.setPresetName("Seed preset");
  effect.setPresetNo(5);
  effect.setParameter(24, 0.0f);

  auto& editor = *effect.panel();
  std::unique_ptr<unsigned char[]> buffer;
  const Bytes preset = bytesOf(buffer, editor.PresetToBuffer(buffer));
  const Bytes bank = bytesOf(buffer, editor.BankToBuffer(buffer));
  void* data = nullptr;
  const VstInt32 chunkSize = effect.getChunk(&data);
  const auto* chunkBytes = static_cast<const unsigned char*>(data);
  const Bytes chunk(chunkBytes, chunkBytes + chunkSize);

  using namespace tavola::test;
  const bool ok =
      writeSeed(directory, "chunk", 0, chunk) &&
      writeSeed(directory, "chunk-foreign", 0, reversedChunk(chunk)) &&
      writeSeed(directory, "chunk-v1", 0, oldChunk(false)) &&
      writeSeed(directory, "chunk-v1-foreign", 0, oldChunk(true)) &&
      writeSeed(directory, "preset", 1, preset) &&
      writeSeed(directory, "preset-foreign", 1, reversedImage(preset)) &&
      writeSeed(directory, "preset-v1", 1, oldPreset(false)) &&
      writeSeed(directory, "preset-v1-foreign", 1, oldPreset(true)) &&
      writeSeed(directory, "bank", 2, bank) &&
      writeSeed(directory, "bank-foreign", 2, reversedImage(bank)) &&
      writeSeed(directory, "bank-v1", 2, oldBank(false)) &&
      writeSeed(directory, "bank-v1-foreign", 2, oldBank(true)) &&
      writeSeed(directory, "preset-mislabelled-reversed-load", 3, mislabelled(preset)) &&
      writeSeed(directory, "bank-mislabelled-reversed-load", 4, mislabelled(bank));
  return ok ? 0 : 1;
}
