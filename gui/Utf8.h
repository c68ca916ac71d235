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

// The first character of `text`, or U+FFFD for a malformed start; 0 for an empty text.
inline char32_t decodeFirst(std::string_view text) {
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text[0]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
  if (extra < 0 || text.size() < static_cast<std::size_t>(extra) + 1) return 0xFFFD;
  char32_t c = lead & (0x3F >> extra);
  for (int i = 1; i <= extra; ++i) {
    const auto byte = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
    if (!isContinuation(byte)) return 0xFFFD;
    c = (c << 6) | (byte & 0x3F);
  }
  return c;
}

}  // namespace VSTGUI::utf8
