// Every converter must stay inside the caller's 12 bytes for any float and any decimals count
// the program can pass, and its text must keep the shape the displays rely on.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "valuetext/TextCapture.h"

namespace {

using valuetext_test::capture;
using valuetext_test::kCallerBuffer;
using valuetext_test::kGuard;

float fromBits(std::uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Values chosen to sit on bounds, to round across them, or to break naive integer
// conversions, followed by a deterministic spread over all float bit patterns.
std::vector<float> awkwardValues() {
  std::vector<float> values = {0.0f,
                               -0.0f,
                               std::numeric_limits<float>::denorm_min(),
                               -std::numeric_limits<float>::denorm_min(),
                               FLT_MIN,
                               -FLT_MIN,
                               FLT_MAX,
                               -FLT_MAX,
                               std::numeric_limits<float>::infinity(),
                               -std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN(),
                               -std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::signaling_NaN(),
                               0.49999f,
                               -0.49999f,
                               0.99999994f,
                               -0.99999994f,
                               9999999.0f,
                               -9999999.0f,
                               10000000.0f,
                               -10000000.0f,
                               99999992.0f,
                               -99999992.0f,
                               1e8f,
                               -1e8f,
                               999999.5f,
                               -999999.5f,
                               99999.5f,
                               -99999.5f,
                               2147483520.0f,
                               2147483648.0f,
                               -2147483648.0f,
                               4294967296.0f,
                               1e20f,
                               -1e20f};
  // A prime stride visits every exponent and both signs.
  for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 999983u) {
    values.push_back(fromBits(static_cast<std::uint32_t>(bits)));
  }
  return values;
}

void expectWellFormed(const std::string& text, std::size_t maxLength, const char* what, float value,
                      int decimals) {
  EXPECT_LE(text.size(), maxLength)
      << what << " value " << value << " decimals " << decimals << ": \"" << text << "\"";
  EXPECT_FALSE(text.empty()) << what << " value " << value << " decimals " << decimals;
  EXPECT_EQ(text.find(' '), std::string::npos) << what << ": \"" << text << "\"";
}

TEST(BufferSafety, NoConverterWritesPastTwelveBytes) {
  const std::vector<float> values = awkwardValues();
  for (const float value : values) {
    for (int decimals = -5; decimals <= 20; ++decimals) {
      // The numeric part alone is at most 8 characters.
      expectWellFormed(capture([&](char* t) { float2string2(value, decimals, t); }), 8,
                       "float2string2", value, decimals);
      expectWellFormed(capture([&](char* t) { dB2string2(value, decimals, t); }), kCallerBuffer - 1,
                       "dB2string2", value, decimals);
    }
    expectWellFormed(capture([&](char* t) { frequencyStringConvert2(value, t); }),
                     kCallerBuffer - 1, "frequencyStringConvert2", value, 0);
    expectWellFormed(capture([&](char* t) { msStringConvert(value, t); }), kCallerBuffer - 1,
                     "msStringConvert", value, 0);
    expectWellFormed(capture([&](char* t) { smpStringConvert(value, t); }), kCallerBuffer - 1,
                     "smpStringConvert", value, 0);
    if (HasFailure()) return;  // one bad value is enough to report
  }
}

TEST(BufferSafety, ExactlyTwelveBytesAreEnoughForTheLongestTexts) {
  // A buffer of exactly 12 bytes followed by guard bytes: the longest texts of the family
  // end with their NUL in the last byte.
  struct Case {
    void (*convert)(float, char*);
    float value;
    const char* text;
  };
  const Case cases[] = {
      {smpStringConvert, 9999999.0f, "9999999smps"},
      {frequencyStringConvert2, 123456000.0f, "123456.0kHz"},
      {frequencyStringConvert2, 1e10f, "10000000kHz"},
  };
  for (const auto& c : cases) {
    char buffer[kCallerBuffer + 4];
    std::memset(buffer, kGuard, sizeof buffer);
    c.convert(c.value, buffer);
    EXPECT_STREQ(buffer, c.text);
    for (std::size_t i = kCallerBuffer; i < sizeof buffer; ++i) {
      EXPECT_EQ(buffer[i], kGuard) << c.text << ": byte " << i;
    }
  }
}

TEST(BufferSafety, WritesStartAtTheBeginningAndOverwriteOldText) {
  char buffer[kCallerBuffer];
  std::strcpy(buffer, "01234567890");
  smpStringConvert(3.0f, buffer);
  EXPECT_STREQ(buffer, "3smps");
  std::strcpy(buffer, "01234567890");
  float2string2(1.0f, 0, buffer);
  EXPECT_STREQ(buffer, "1");
}

}  // namespace
