#include "presets/format/ImageReadResult.h"

#include <cstdarg>
#include <cstdio>

std::string imageReason(const char* format, ...) {
  char text[256];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  if (length < 0) return {};
  return std::string(text, static_cast<std::size_t>(length) < sizeof text
                               ? static_cast<std::size_t>(length)
                               : sizeof text - 1);
}

const char* imageReadStatusName(ImageReadStatus status) {
  switch (status) {
    case ImageReadStatus::kApplied:
      return "kApplied";
    case ImageReadStatus::kNoPresetMemory:
      return "kNoPresetMemory";
    case ImageReadStatus::kTooShort:
      return "kTooShort";
    case ImageReadStatus::kUnknownIdentifier:
      return "kUnknownIdentifier";
    case ImageReadStatus::kUnknownKind:
      return "kUnknownKind";
    case ImageReadStatus::kKindNotAccepted:
      return "kKindNotAccepted";
    case ImageReadStatus::kUnknownChunkFormat:
      return "kUnknownChunkFormat";
    case ImageReadStatus::kCountOutOfRange:
      return "kCountOutOfRange";
    case ImageReadStatus::kPayloadOutOfRange:
      return "kPayloadOutOfRange";
    case ImageReadStatus::kBadRecordLength:
      return "kBadRecordLength";
    case ImageReadStatus::kTruncatedRecord:
      return "kTruncatedRecord";
    case ImageReadStatus::kValueOutOfRange:
      return "kValueOutOfRange";
    case ImageReadStatus::kValueNotANumber:
      return "kValueNotANumber";
  }
  return "unknown status";
}
