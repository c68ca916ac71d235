#include "editor/valuetext/ValueText.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

// The numeric field is 8 characters wide, sign and point included; the longest unit is 4
// characters ("smps"), so with the NUL every text fits the caller's 12 bytes.
constexpr int kNumberWidth = 8;
constexpr std::size_t kTextCapacity = 12;

// A NaN carries no magnitude from which a row or a unit could be chosen, so every converter
// shows it as this bare text instead of letting the failed comparisons pick a row.
constexpr const char* kNotANumber = "NaN";

// Writes `number` followed by `unit` to `text`, never touching more than kTextCapacity bytes.
void writeText(char* text, const char* number, const char* unit) {
  std::size_t length = 0;
  for (const char* part : {number, unit}) {
    for (const char* c = part; *c != '\0' && length + 1 < kTextCapacity; ++c) {
      text[length++] = *c;
    }
  }
  text[length] = '\0';
}

// The formatter behind float2string2; `out` must hold at least kNumberWidth + 1 bytes.
void formatNumber(float value, int decimals, char* out) {
  if (std::isnan(value)) {
    std::strcpy(out, kNotANumber);
    return;
  }

  // Rounding: move the value by one unit of the last kept digit when the dropped part is at
  // least 0.49999 of it; the truncating digit generation and the cut below then round half
  // away from zero. The fraction is taken with trunc in double rather than through a 32-bit
  // integer: the two agree wherever the integer conversion is defined, and trunc stays
  // defined for magnitudes of 2^31 and above. An infinite or NaN v (an infinite value, or a
  // scale beyond the double range) gives a NaN fraction and leaves the value as it is; an
  // infinite value then fails the range check below and reads "Huge!".
  const double v = static_cast<double>(value) * std::pow(10.0, decimals);
  const double f = v - std::trunc(v);
  double working = value;
  if (f >= 0.49999) {
    working = (v + 1.0) * std::pow(0.1, decimals);
  } else if (f <= -0.49999) {
    working = (v - 1.0) * std::pow(0.1, decimals);
  }

  // Negative zero is not below zero, so it prints without a sign.
  const bool negative = working < 0.0;
  const double magnitude = negative ? -working : working;
  int count = negative ? 3 : 2;  // sign, one integer digit and the point
  const double limit = negative ? 9999999.0 : 99999999.0;
  if (!(magnitude <= limit)) {
    std::strcpy(out, "Huge!");
    return;
  }

  // Integer digits from the right. The range check above bounds them to 8 (7 when
  // negative); the extra bound only keeps the writes local.
  const int maxIntegerDigits = negative ? kNumberWidth - 1 : kNumberWidth;
  char integerDigits[kNumberWidth];
  int integerCount = 0;
  double x = std::floor(magnitude);
  integerDigits[integerCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(x, 10.0)));
  x /= 10.0;
  while (x >= 1.0 && integerCount < maxIntegerDigits) {
    integerDigits[integerCount++] = static_cast<char>('0' + static_cast<int>(std::fmod(x, 10.0)));
    x /= 10.0;
    ++count;
  }

  int length = 0;
  if (negative) out[length++] = '-';
  while (integerCount > 0) out[length++] = integerDigits[--integerCount];
  const int point = length;

  if (count > kNumberWidth - 1) {
    // Sign and integer digits already fill the field, leaving no room for a fraction: show
    // the whole number without a dangling point, at most 8 characters.
    out[length] = '\0';
    return;
  }

  out[length++] = '.';
  // Fraction digits, again from the right, so that the field is exactly 8 characters.
  const int fractionCount = kNumberWidth - count;
  double g = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionCount);
  for (int i = fractionCount - 1; i >= 0; --i) {
    if (g > 0.0) {
      out[length + i] = static_cast<char>('0' + static_cast<int>(std::fmod(g, 10.0)));
      g /= 10.0;
    } else {
      out[length + i] = '0';
    }
  }
  length += fractionCount;
  out[length] = '\0';

  // Cut behind the requested digit; 0 decimals drops the point as well, and a negative
  // count keeps the whole field. Written so that a huge count cannot overflow the index.
  if (decimals == 0) {
    out[point] = '\0';
  } else if (decimals > 0 && decimals < fractionCount) {
    out[point + 1 + decimals] = '\0';
  }
}

}  // namespace

void float2string2(float value, int decimals, char* text) {
  char number[kNumberWidth + 1];
  formatNumber(value, decimals, number);
  writeText(text, number, "");
}

void frequencyStringConvert2(float value, char* text) {
  if (std::isnan(value)) {
    writeText(text, kNotANumber, "");
    return;
  }
  // The row is chosen before rounding, so 9.96 reads "10.0Hz" and 999.6 reads "1000Hz".
  // 0.2 has no exact float, so that bound is compared in double; the others are exact.
  char number[kNumberWidth + 1];
  if (static_cast<double>(value) < 0.2) {
    formatNumber(value, 3, number);
    writeText(text, number, "Hz");
  } else if (value < 1.0f) {
    formatNumber(value, 2, number);
    writeText(text, number, "Hz");
  } else if (value < 10.0f) {
    formatNumber(value, 1, number);
    writeText(text, number, "Hz");
  } else if (value < 1000.0f) {
    formatNumber(value, 0, number);
    writeText(text, number, "Hz");
  } else if (value < 10000.0f) {
    formatNumber(static_cast<float>(value * 0.001), 2, number);
    writeText(text, number, "kHz");
  } else {
    formatNumber(static_cast<float>(value * 0.001), 1, number);
    writeText(text, number, "kHz");
  }
}

void dB2string2(float value, int decimals, char* text) {
  if (std::isnan(value)) {
    writeText(text, kNotANumber, "");
    return;
  }
  if (!(value > 0.0f)) {
    writeText(text, "-oodB", "");
    return;
  }
  // 6 dB per doubling of the factor, so that the output level's own scale reads directly;
  // a factor of 0.001 reads -59.79 rather than -60. Both roundings to float are part of the
  // displayed result.
  const float scaled = static_cast<float>(std::log10(static_cast<double>(value)) * 6.0);
  const float level = static_cast<float>(scaled / std::log10(2.0));
  char number[kNumberWidth + 1];
  formatNumber(level, decimals, number);
  writeText(text, number, "dB");
}

void msStringConvert(float value, char* text) {
  if (std::isnan(value)) {
    writeText(text, kNotANumber, "");
    return;
  }
  // The 0.0001 bound is compared in double, so 0.0001f itself (just below it) reads "0ms".
  char number[kNumberWidth + 1];
  if (static_cast<double>(value) < 0.0001) {
    writeText(text, "0ms", "");
  } else if (value < 1.0f) {
    formatNumber(value, 2, number);
    writeText(text, number, "ms");
  } else if (value < 10.0f) {
    formatNumber(value, 1, number);
    writeText(text, number, "ms");
  } else if (value < 1000.0f) {
    formatNumber(value, 0, number);
    writeText(text, number, "ms");
  } else {
    formatNumber(static_cast<float>(value * 0.001), 2, number);
    writeText(text, number, "s");
  }
}

void smpStringConvert(float value, char* text) {
  if (std::isnan(value)) {
    writeText(text, kNotANumber, "");
    return;
  }
  if (value < 1.0f) {
    writeText(text, "0smps", "");
    return;
  }
  // Eight digits and "smps" would not fit 12 bytes (and from 2^31 up the integer conversion
  // is undefined), so such counts, and infinity, read like the other out-of-range texts.
  if (!(value < 10000000.0f)) {
    writeText(text, "Huge!", "smps");
    return;
  }
  char number[kNumberWidth + 1];
  std::snprintf(number, sizeof number, "%d", static_cast<int>(value));
  writeText(text, number, "smps");
}
