// Helpers that run a value text converter on a caller's 12-byte buffer placed at the start of
// a larger guarded one, so that every test also checks the converter stays inside its bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "editor/valuetext/ValueText.h"

namespace valuetext_test {

// The size every caller of the converters provides, terminating NUL included.
constexpr std::size_t kCallerBuffer = 12;
constexpr char kGuard = '\x5A';

// Calls `convert(char*)` on a guarded buffer and returns the text it wrote. Fails the current
// test if a byte past the caller's 12 is touched or the text is not terminated within them.
template <typename Convert>
std::string capture(Convert convert) {
  std::array<char, 40> buffer;
  buffer.fill(kGuard);
  convert(buffer.data());
  for (std::size_t i = kCallerBuffer; i < buffer.size(); ++i) {
    if (buffer[i] != kGuard) {
      ADD_FAILURE() << "converter wrote byte " << i << " of a " << kCallerBuffer << "-byte buffer";
      break;
    }
  }
  const void* end = std::memchr(buffer.data(), '\0', kCallerBuffer);
  if (end == nullptr) {
    ADD_FAILURE() << "text not terminated within " << kCallerBuffer << " bytes";
    return std::string(buffer.data(), kCallerBuffer);
  }
  return std::string(buffer.data());
}

inline std::string number(float value, int decimals) {
  return capture([&](char* text) { float2string2(value, decimals, text); });
}
inline std::string frequency(float hz) {
  return capture([&](char* text) { frequencyStringConvert2(hz, text); });
}
inline std::string decibels(float factor, int decimals) {
  return capture([&](char* text) { dB2string2(factor, decimals, text); });
}
inline std::string milliseconds(float ms) {
  return capture([&](char* text) { msStringConvert(ms, text); });
}
inline std::string samples(float count) {
  return capture([&](char* text) { smpStringConvert(count, text); });
}

}  // namespace valuetext_test
