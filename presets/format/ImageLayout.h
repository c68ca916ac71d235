#pragma once
// The fixed part of an image or a chunk, read before any record: the byte order, the kind
// or chunk version, and where the records or the version-1 values lie. Both the plug-in's
// readers and the command-line tools start here, so that they tell the containers apart
// in one way and refuse the same data for the same reasons.
//
// Plain functions on bytes: no effect, no editor, no host.
//
// Thread contract: any thread; works on the bytes it is given.

#include <cstdint>
#include <span>

#include "presets/format/ImageDecoding.h"
#include "presets/format/ImageFormat.h"
#include "presets/format/ImageReadResult.h"

// Which images a reader takes: a preset file or preference value takes presets (kinds 33
// and 34), a bank file or the default bank takes banks (55, 56). The tools take either.
enum class AcceptedImages { kPresets, kBanks, kAny };

namespace tavola::image {

bool isPresetKind(std::uint8_t kind);
bool isBankKind(std::uint8_t kind);
// "a preset image (kind 34)", "a version-1 bank (kind 55)".
const char* kindName(std::uint8_t kind);

// A preset or bank image split into its parts.
struct ImageParts {
  std::uint8_t kind = 0;
  // After any inversion the caller asked for.
  bool foreign = false;
  // Kinds 34 and 56: the header in native order, and exactly payload-size bytes of records.
  newpresetheader header;
  std::span<const unsigned char> records;
  // Kinds 33 and 55: everything after the identifier and kind, and what it holds by the
  // version-1 arithmetic: 1 or 7 presets of `oldFloatCount` values each.
  std::span<const unsigned char> oldData;
  std::int64_t oldPresetCount = 0;
  std::int64_t oldFloatCount = 0;
};

// A whole image as it comes from a file or a preference value: identifier, kind and the
// rest. The byte order comes from the identifier and `ownId`; `invertByteOrder` turns that
// decision round (the endian-reversed load of a file). Kinds outside `accepted` are
// refused before anything else of the image is looked at.
ImageReadResult splitImage(std::span<const unsigned char> bytes, std::int32_t ownId,
                           AcceptedImages accepted, bool invertByteOrder, ImageParts& parts);

// A host state chunk split into its parts.
struct ChunkParts {
  std::int32_t format = 0;  // kChunkFormat or kChunkFormatOld, in native order
  bool foreign = false;
  // Version 2: the bank image's header in native order and its records.
  newpresetheader header;
  std::span<const unsigned char> records;
};

ImageReadResult splitChunk(std::span<const unsigned char> chunk, std::int32_t ownId,
                           ChunkParts& parts);

// The records or values of a split image, decoded as the plug-in's readers decode them.
// `skipped` marks the positions the version-1 layouts carry but do not take over;
// `current` is the preset a preset image is read into.
ImageReadResult decodeImage(const ImageParts& parts, const ParameterMask& skipped, int current,
                            DecodedImage& out);

// The same for a split chunk; `chunk` is the whole chunk the parts came from.
ImageReadResult decodeChunk(std::span<const unsigned char> chunk, const ChunkParts& parts,
                            const ParameterMask& skipped, DecodedImage& out);

}  // namespace tavola::image
