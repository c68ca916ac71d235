// The host's state chunk. Version 2 (written): a format word, the unique identifier and
// a bank image from the bank writer. Version 1 (read only): a format
// word, the identifier, a preset count, the current preset, four unused fields, then the
// presets as names and plain floats. Both are in the writer's byte order.

#include <cstring>

#include "presets/CPresetSystemEffect.h"
#include "presets/format/ImageDecoding.h"
#include "presets/format/ImageLayout.h"

using namespace tavola::image;

VstInt32 CPresetSystemEffect::getChunk(void** data, bool /*isPreset*/) {
  if (!data) return 0;
  *data = nullptr;
  const std::span<unsigned char> chunk(chunkBuffer_.get(), kChunkBufferSize);
  std::memset(chunk.data(), 0, chunk.size());
  storeInt32(chunk, 0, kChunkFormat);
  storeInt32(chunk, 4, getUniqueID());

  std::unique_ptr<unsigned char[]> bank;
  const std::size_t size = bankImage(bank);
  if (size == 0 || size > chunk.size() - kChunkHeadSize) return 0;
  std::memcpy(chunk.data() + kChunkHeadSize, bank.get(), size);
  *data = chunk.data();
  return static_cast<VstInt32>(size + kChunkHeadSize);
}

VstInt32 CPresetSystemEffect::setChunk(void* data, VstInt32 byteSize, bool /*isPreset*/) {
  if (!data || byteSize < 0) return -1;
  const std::span<const unsigned char> chunk(static_cast<const unsigned char*>(data),
                                             static_cast<std::size_t>(byteSize));
  return readChunk(chunk).ok() ? 0 : -1;
}

ImageReadResult CPresetSystemEffect::readChunk(std::span<const unsigned char> chunk) {
  ChunkParts parts;
  ImageReadResult split = splitChunk(chunk, getUniqueID(), parts);
  if (!split.ok()) return split;
  if (parts.format == kChunkFormatOld) return setChunkOld(chunk, parts.foreign);
  return readBankRecords(parts.records, parts.header, parts.foreign);
}

ImageReadResult CPresetSystemEffect::setChunkOld(std::span<const unsigned char> chunk,
                                                 bool foreign) {
  DecodedImage image;
  ImageReadResult result = decodeOldChunk(chunk, foreign, oldPlaceholders_, image);
  if (!result.ok()) return result;
  applyDecodedImage(image);
  finishBankRead(image.selectedPreset);
  return result;
}
