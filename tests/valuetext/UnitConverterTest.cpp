// The unit converters: frequency, level, time and sample count texts, and the display texts
// the effect and its editor build from them.
//
// Where a literal has no exact float, the comment gives the float that is actually formatted.

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "valuetext/TextCapture.h"

namespace {

using valuetext_test::capture;
using valuetext_test::decibels;
using valuetext_test::frequency;
using valuetext_test::milliseconds;
using valuetext_test::samples;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// ---------------------------------------------------------------------------------------------
// frequencyStringConvert2

TEST(FrequencyText, EachRangeHasItsPrecisionAndUnit) {
  EXPECT_EQ(frequency(0.05f), "0.050Hz");
  EXPECT_EQ(frequency(0.125f), "0.125Hz");
  EXPECT_EQ(frequency(0.5f), "0.50Hz");
  EXPECT_EQ(frequency(1.0f), "1.0Hz");
  EXPECT_EQ(frequency(15.0f), "15Hz");
  EXPECT_EQ(frequency(1000.0f), "1.00kHz");
  EXPECT_EQ(frequency(1234.0f), "1.23kHz");
  EXPECT_EQ(frequency(12500.0f), "12.5kHz");
  EXPECT_EQ(frequency(22050.0f), "22.1kHz");
}

TEST(FrequencyText, RangeBounds) {
  EXPECT_EQ(frequency(0.0f), "0.000Hz");
  EXPECT_EQ(frequency(std::nextafter(0.2f, 0.0f)), "0.200Hz");  // 0.19999998...
  EXPECT_EQ(frequency(0.2f), "0.20Hz");
  EXPECT_EQ(frequency(std::nextafter(1.0f, 0.0f)), "1.00Hz");
  EXPECT_EQ(frequency(std::nextafter(10.0f, 0.0f)), "10.0Hz");
  EXPECT_EQ(frequency(10.0f), "10Hz");
  EXPECT_EQ(frequency(999.0f), "999Hz");
  EXPECT_EQ(frequency(10000.0f), "10.0kHz");
}

TEST(FrequencyText, RoundingCarriesOverABoundWithoutChangingTheRow) {
  EXPECT_EQ(frequency(9.96f), "10.0Hz");
  EXPECT_EQ(frequency(999.6f), "1000Hz");
  EXPECT_EQ(frequency(9999.0f), "10.00kHz");
  EXPECT_EQ(frequency(0.9999f), "1.00Hz");
}

TEST(FrequencyText, KilohertzAreRoundedFromTheFloatOfValueTimesAThousandth) {
  // 3175 x 0.001 becomes the float 3.17499995..., 0.4999952 of a hundredth above 3.17: a
  // half within the tolerance. 9525 x 0.001 becomes 9.52499961..., only 0.4999618 of it.
  EXPECT_EQ(frequency(3175.0f), "3.18kHz");
  EXPECT_EQ(frequency(9525.0f), "9.52kHz");
}

TEST(FrequencyText, StepTablesOfTheFilters) {
  struct Case {
    float hz;
    const char* text;
  };
  const Case highPass[] = {{15, "15Hz"},    {18.9f, "19Hz"}, {23.8f, "24Hz"}, {30, "30Hz"},
                           {37.8f, "38Hz"}, {47.6f, "48Hz"}, {60, "60Hz"},    {75.6f, "76Hz"},
                           {95, "95Hz"},    {120, "120Hz"},  {151, "151Hz"},  {190, "190Hz"},
                           {240, "240Hz"}};
  const Case lowShelf[] = {{25, "25Hz"},   {31.5f, "32Hz"}, {39.7f, "40Hz"}, {50, "50Hz"},
                           {63, "63Hz"},   {79, "79Hz"},    {100, "100Hz"},  {126, "126Hz"},
                           {159, "159Hz"}, {200, "200Hz"},  {252, "252Hz"},  {317, "317Hz"},
                           {400, "400Hz"}};
  const Case mid[] = {{500, "500Hz"},    {630, "630Hz"},    {794, "794Hz"},    {1000, "1.00kHz"},
                      {1260, "1.26kHz"}, {1587, "1.59kHz"}, {2000, "2.00kHz"}, {2520, "2.52kHz"},
                      {3175, "3.18kHz"}, {4000, "4.00kHz"}, {5040, "5.04kHz"}, {6350, "6.35kHz"},
                      {8000, "8.00kHz"}};
  const Case highShelf[] = {{1500, "1.50kHz"},  {1890, "1.89kHz"},  {2381, "2.38kHz"},
                            {3000, "3.00kHz"},  {3780, "3.78kHz"},  {4763, "4.76kHz"},
                            {6000, "6.00kHz"},  {7560, "7.56kHz"},  {9525, "9.52kHz"},
                            {12000, "12.0kHz"}, {15120, "15.1kHz"}, {19049, "19.0kHz"},
                            {24000, "24.0kHz"}};
  for (const auto* table : {highPass, lowShelf, mid, highShelf}) {
    for (int i = 0; i < 13; ++i) {
      EXPECT_EQ(frequency(table[i].hz), table[i].text) << "frequency " << table[i].hz;
    }
  }
}

TEST(FrequencyText, OutOfRangeValues) {
  EXPECT_EQ(frequency(-5.0f), "-5.000Hz");
  EXPECT_EQ(frequency(1e11f), "Huge!kHz");  // 1e8 kHz
  EXPECT_EQ(frequency(kInf), "Huge!kHz");
  EXPECT_EQ(frequency(-kInf), "Huge!Hz");
  EXPECT_EQ(frequency(-FLT_MAX), "Huge!Hz");
  EXPECT_EQ(frequency(kNaN), "NaN");
}

// ---------------------------------------------------------------------------------------------
// dB2string2

TEST(DecibelText, SixDecibelsPerDoubling) {
  EXPECT_EQ(decibels(1.0f, 1), "0.0dB");
  EXPECT_EQ(decibels(1.0f, 2), "0.00dB");
  EXPECT_EQ(decibels(2.0f, 2), "6.00dB");
  EXPECT_EQ(decibels(0.5f, 2), "-6.00dB");
  EXPECT_EQ(decibels(4.0f, 2), "12.00dB");
  EXPECT_EQ(decibels(0.25f, 1), "-12.0dB");
  // A thousandth is log2(1000) = 9.9658 doublings: -59.79, not the -60 of a 20 log10 scale.
  EXPECT_EQ(decibels(0.001f, 2), "-59.79dB");
  EXPECT_EQ(decibels(10.0f, 2), "19.93dB");  // 6 x 3.32193 doublings
  EXPECT_EQ(decibels(2.0f, 0), "6dB");
}

TEST(DecibelText, TheScaledLogarithmIsRoundedToFloatBeforeTheDivision) {
  // log10(1.85531807) x 6 = 1.6105102459 becomes the float 1.6105102301; divided by log10(2)
  // that is 5.3499991804, whose nearest float is 5.3499989510: 0.499989510 of a tenth over
  // 5.3, just short of a half. Without the first rounding the level would be 5.3499992329,
  // the float 5.3499994278, and the text "5.4dB".
  EXPECT_EQ(decibels(1.85531807f, 1), "5.3dB");
}

TEST(DecibelText, ExtremeFactors) {
  // 2^-149 and just below 2^128: -894 and +768 in 6-dB doublings.
  EXPECT_EQ(decibels(std::numeric_limits<float>::denorm_min(), 2), "-894.00dB");
  EXPECT_EQ(decibels(FLT_MAX, 2), "768.00dB");
  EXPECT_EQ(decibels(kInf, 2), "Huge!dB");
}

TEST(DecibelText, ZeroOrNegativeFactorsAreMinusInfinity) {
  EXPECT_EQ(decibels(0.0f, 2), "-oodB");
  EXPECT_EQ(decibels(-0.0f, 2), "-oodB");
  EXPECT_EQ(decibels(-1.0f, 1), "-oodB");
  EXPECT_EQ(decibels(-kInf, 1), "-oodB");
}

TEST(DecibelText, NaNReadsNaN) {
  EXPECT_EQ(decibels(kNaN, 2), "NaN");
}

// The output level has 129 steps of a quarter unit from -16 to +16 on the 6-per-doubling
// scale; the display must read back exactly the step's level with two decimals.
TEST(DecibelText, OutputLevelStepsReadTheirLevel) {
  for (int k = 0; k <= 128; ++k) {
    const int hundredths = 25 * k - 1600;
    const int magnitude = std::abs(hundredths);
    const std::string expected = (hundredths < 0 ? "-" : "") + std::to_string(magnitude / 100) +
                                 (magnitude % 100 < 10 ? ".0" : ".") +
                                 std::to_string(magnitude % 100) + "dB";
    const double gain = std::pow(2.0, (k / 4.0 - 16.0) / 6.0);
    EXPECT_EQ(decibels(static_cast<float>(gain), 2), expected) << "step " << k;
  }
}

// The band gain display of the effect: the gain in 20 log10 decibels with one decimal and
// "dB" appended.
std::string bandGainText(int k) {
  const double gain = std::pow(2.0, (k - 24) / 12.0);
  return capture([&](char* text) {
    float2string2(static_cast<float>(20.0 * std::log10(gain)), 1, text);
    std::strcat(text, "dB");
  });
}

TEST(DecibelText, BandGainStepsReadInHalfDecibels) {
  EXPECT_EQ(bandGainText(24), "0.0dB");
  EXPECT_EQ(bandGainText(25), "0.5dB");  // 0.5017 dB
  EXPECT_EQ(bandGainText(23), "-0.5dB");
  EXPECT_EQ(bandGainText(36), "6.0dB");  // 6.0206 dB
  EXPECT_EQ(bandGainText(48), "12.0dB");
  EXPECT_EQ(bandGainText(0), "-12.0dB");
  // Each step is 0.50172 dB, so step n away from 0 dB never strays 0.05 from n halves.
  for (int k = 0; k <= 48; ++k) {
    const int halves = k - 24;
    const int magnitude = std::abs(halves);
    const std::string expected = (halves < 0 ? "-" : "") + std::to_string(magnitude / 2) +
                                 (magnitude % 2 != 0 ? ".5" : ".0") + "dB";
    EXPECT_EQ(bandGainText(k), expected) << "step " << k;
  }
}

// ---------------------------------------------------------------------------------------------
// msStringConvert

TEST(MillisecondText, EachRangeHasItsPrecisionAndUnit) {
  EXPECT_EQ(milliseconds(0.0f), "0ms");
  EXPECT_EQ(milliseconds(0.5f), "0.50ms");
  EXPECT_EQ(milliseconds(2.0f), "2.0ms");
  EXPECT_EQ(milliseconds(10.0f), "10ms");
  EXPECT_EQ(milliseconds(999.0f), "999ms");
  EXPECT_EQ(milliseconds(1000.0f), "1.00s");
  EXPECT_EQ(milliseconds(1500.0f), "1.50s");
}

TEST(MillisecondText, RowIsChosenBeforeRounding) {
  EXPECT_EQ(milliseconds(999.6f), "1000ms");
  EXPECT_EQ(milliseconds(9.96f), "10.0ms");
  EXPECT_EQ(milliseconds(0.999f), "1.00ms");
  EXPECT_EQ(milliseconds(99999.0f), "100.00s");  // 99.999 s
}

TEST(MillisecondText, TinyValuesReadZero) {
  EXPECT_EQ(milliseconds(0.00005f), "0ms");
  // The float 0.0001 is 0.0000999999997..., just under the bound, which is exact.
  EXPECT_EQ(milliseconds(0.0001f), "0ms");
  EXPECT_EQ(milliseconds(0.00011f), "0.00ms");
  EXPECT_EQ(milliseconds(0.005f), "0.01ms");  // 0.00499999988..., a half within tolerance
  EXPECT_EQ(milliseconds(-0.0f), "0ms");
  EXPECT_EQ(milliseconds(-5.0f), "0ms");
  EXPECT_EQ(milliseconds(-kInf), "0ms");
}

TEST(MillisecondText, OutOfRangeValues) {
  EXPECT_EQ(milliseconds(1e12f), "Huge!s");
  EXPECT_EQ(milliseconds(kInf), "Huge!s");
  EXPECT_EQ(milliseconds(kNaN), "NaN");
}

// ---------------------------------------------------------------------------------------------
// smpStringConvert

TEST(SampleText, WholeSamples) {
  EXPECT_EQ(samples(64.9f), "64smps");
  EXPECT_EQ(samples(1.0f), "1smps");
  EXPECT_EQ(samples(9999999.0f), "9999999smps");  // the longest text: 11 characters
}

TEST(SampleText, BelowOneReadsZero) {
  EXPECT_EQ(samples(0.5f), "0smps");
  EXPECT_EQ(samples(0.0f), "0smps");
  EXPECT_EQ(samples(std::nextafter(1.0f, 0.0f)), "0smps");
  EXPECT_EQ(samples(-3.0f), "0smps");
  EXPECT_EQ(samples(-kInf), "0smps");
}

TEST(SampleText, CountsTooLongForTheBufferAreHuge) {
  EXPECT_EQ(samples(10000000.0f), "Huge!smps");
  EXPECT_EQ(samples(2147483648.0f), "Huge!smps");
  EXPECT_EQ(samples(kInf), "Huge!smps");
  EXPECT_EQ(samples(kNaN), "NaN");
}

// ---------------------------------------------------------------------------------------------
// The editor's latency read-outs: 33 + trunc(N / 2) samples, N the odd window near rate / 1500.

TEST(LatencyReadout, CommonSampleRates) {
  EXPECT_EQ(samples(47.0f), "47smps");
  EXPECT_EQ(milliseconds(static_cast<float>(47 * 1000.0 / 44100.0)), "1.1ms");  // 1.0658
  EXPECT_EQ(samples(49.0f), "49smps");
  EXPECT_EQ(milliseconds(static_cast<float>(49 * 1000.0 / 48000.0)), "1.0ms");  // 1.0208
  EXPECT_EQ(samples(65.0f), "65smps");
  EXPECT_EQ(milliseconds(static_cast<float>(65 * 1000.0 / 96000.0)), "0.68ms");  // 0.6771
}

}  // namespace
