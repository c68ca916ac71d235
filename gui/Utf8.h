#pragma once
// UTF-8 text by characters rather than bytes: where a byte limit may cut a text without
// splitting a character, and how a caret steps over whole characters.

#include <cstddef>
#include <string>
#include <string_view>

namespace VSTGUI::utf8 {

inline bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// The longest prefix of `text` of at most `maxBytes` bytes that ends between characters.
inline std::size_t cutPoint(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text.size();
  std::size_t cut = maxBytes;
  while (cut > 0 && isContinuation(static_cast<unsigned char>(text[cut]))) --cut;
  return cut;
}

// The start of the character after the one at `at`, and of the one before it.
inline std::size_t next(std::string_view text, std::size_t at) {
  if (at >= text.size()) return text.size();
  ++at;
  while (at < text.size() && isContinuation(static_cast<unsigned char>(text[at]))) ++at;
  return at;
}

inline std::size_t previous(std::string_view text, std::size_t at) {
  if (at == 0) return 0;
  --at;
  while (at > 0 && isContinuation(static_cast<unsigned char>(text[at]))) --at;
  return at;
}

inline std::size_t length(std::string_view text) {
  std::size_t count = 0;
  for (char c : text)
    if (!isContinuation(static_cast<unsigned char>(c))) ++count;
  return count;
}

// Appends one character; nothing for a surrogate or a value past U+10FFFF.
inline void append(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c < 0xE000) return;
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A noncharacter (U+FDD0 to U+FDEF, and the last two of every plane): valid Unicode, but
// text libraries such as cairo refuse it, so names never keep one.
inline bool isNoncharacter(char32_t c) {
  return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// Decodes the well-formed character at `at` (no overlong form, surrogate or value past
// U+10FFFF); returns its length in bytes, or 0 when the bytes there are malformed.
inline std::size_t decodeAt(std::string_view text, std::size_t at, char32_t& c) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    c = lead;
    return 1;
  }
  std::size_t length = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  c = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(byte(i))) return 0;
    c = (c << 6) | (byte(i) & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return 0;
  return length;
}

// True when every character of `text` is well formed and no noncharacter.
inline bool isValid(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const std::size_t length = decodeAt(text, at, c);
    if (length == 0 || isNoncharacter(c)) return false;
    at += length;
  }
  return true;
}

// `text` with every malformed byte and every noncharacter made U+FFFD, the replacement
// character: what a host, an old file or an input method hands in becomes a text that
// every part of the plug-in can show.
inline std::string validated(std::string_view text) {
  if (isValid(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const std::size_t length = decodeAt(text, at, c);
    if (length == 0 || isNoncharacter(c)) {
      out += "\xEF\xBF\xBD";
      at += length == 0 ? 1 : length;
    } else {
      out.append(text.substr(at, length));
      at += length;
    }
  }
  return out;
}

// The first character of `text`, or U+FFFD for a malformed start; 0 for an empty text.
inline char32_t decodeFirst(std::string_view text) {
  if (text.empty()) return 0;
  char32_t c = 0;
  return decodeAt(text, 0, c) ? c : 0xFFFD;
}

}  // namespace VSTGUI::utf8
