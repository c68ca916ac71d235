#pragma once
// What became of an image or chunk handed to a reader: applied, or rejected whole with
// the reason. The reason is one line of plain text for people (command-line tools print
// it), naming the offending field, record, preset or parameter and the numbers involved.
//
// Thread contract: a plain value, used on whichever thread holds it.

#include <string>
#include <utility>

enum class ImageReadStatus {
  kApplied,
  kNoPresetMemory,      // no effect, editor or preset memory to read into
  kTooShort,            // fewer bytes than the fixed part of the layout
  kUnknownIdentifier,   // neither our unique identifier nor its byte-reversed form
  kUnknownKind,         // a kind byte that is no image we know
  kKindNotAccepted,     // a known kind, but not one the caller asked for
  kUnknownChunkFormat,  // a chunk format word other than versions 1 and 2
  kCountOutOfRange,     // a record, preset or float count the data cannot hold, or < 0
  kPayloadOutOfRange,   // a payload size below 0 or beyond the data
  kBadRecordLength,     // a record length below 0 or too short for the record's fields
  kTruncatedRecord,     // a record head or body that runs past the data
  kValueOutOfRange,     // a parameter value below 0 or above 1 (infinities included)
  kValueNotANumber,     // a parameter value that is NaN
};

struct ImageReadResult {
  ImageReadStatus status = ImageReadStatus::kApplied;
  std::string reason;

  bool ok() const { return status == ImageReadStatus::kApplied; }

  static ImageReadResult applied() { return {}; }
  static ImageReadResult rejected(ImageReadStatus status, std::string reason) {
    return {status, std::move(reason)};
  }
};

// Builds a reason with printf formatting.
std::string imageReason(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The status's name as written in this header ("kTruncatedRecord"), for test messages.
const char* imageReadStatusName(ImageReadStatus status);
