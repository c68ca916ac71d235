// float2string2: the fixed-width decimal formatter behind every value text.
//
// Expected texts are worked out by hand from the float nearest to each literal; where that
// float is not the literal itself, the comment gives its exact value.

#include <cfloat>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "valuetext/TextCapture.h"

namespace {

using valuetext_test::number;

TEST(Float2String2Rounding, RoundsHalfAwayFromZero) {
  EXPECT_EQ(number(5.0f, 2), "5.00");
  EXPECT_EQ(number(0.125f, 2), "0.13");
  EXPECT_EQ(number(1.25f, 1), "1.3");
  EXPECT_EQ(number(-1.25f, 1), "-1.3");
  EXPECT_EQ(number(1.24f, 1), "1.2");
  EXPECT_EQ(number(-1.24f, 1), "-1.2");
  EXPECT_EQ(number(-0.4f, 1), "-0.4");
  EXPECT_EQ(number(2.5f, 0), "3");
  EXPECT_EQ(number(-2.5f, 0), "-3");
  EXPECT_EQ(number(123.456f, 2), "123.46");
}

TEST(Float2String2Rounding, CarriesIntoTheIntegerPart) {
  EXPECT_EQ(number(0.999996f, 2), "1.00");
  EXPECT_EQ(number(0.95f, 1), "1.0");  // 0.949999988...
  EXPECT_EQ(number(9.5f, 0), "10");
  EXPECT_EQ(number(99.5f, 0), "100");
  EXPECT_EQ(number(999.5f, 0), "1000");
  EXPECT_EQ(number(-9.5f, 0), "-10");
  EXPECT_EQ(number(-99.96f, 1), "-100.0");
}

TEST(Float2String2Rounding, ToleranceIsOneHundredThousandthOfTheLastDigit) {
  // The dropped part counts as a half from 0.49999 of the last kept digit on.
  EXPECT_EQ(number(0.499995f, 0), "1");  // 0.49999499...
  EXPECT_EQ(number(-0.499995f, 0), "-1");
  EXPECT_EQ(number(0.49998f, 0), "0");  // 0.49998000...
  // 0.00499991 is stored as 0.0049999100..., 0.0049999 as 0.0049998997...
  EXPECT_EQ(number(0.00499991f, 2), "0.01");
  EXPECT_EQ(number(0.0049999f, 2), "0.00");
  // 9.995 is stored as 9.99499988..., only 0.4999886 of a hundredth above 9.99.
  EXPECT_EQ(number(9.995f, 2), "9.99");
  // 99.95 is stored as 99.94999694..., 0.49997 of a tenth above 99.9.
  EXPECT_EQ(number(99.95f, 1), "99.9");
}

TEST(Float2String2Rounding, RoundingHappensInDoublePrecision) {
  // 0.99999994 + 1 is 1.99999994 in double but would round to 2.0 as a float, which would
  // truncate to "2".
  EXPECT_EQ(number(0.99999994f, 0), "1");
}

TEST(Float2String2Rounding, SmallNegativeValuesKeepTheirSign) {
  EXPECT_EQ(number(-0.001f, 2), "-0.00");
  EXPECT_EQ(number(-0.3f, 0), "-0");
}

TEST(Float2String2Rounding, NegativeZeroHasNoSign) {
  EXPECT_EQ(number(-0.0f, 2), "0.00");
  EXPECT_EQ(number(-0.0f, 0), "0");
  EXPECT_EQ(number(0.0f, 3), "0.000");
}

TEST(Float2String2Rounding, DenormalsReadAsZero) {
  EXPECT_EQ(number(std::numeric_limits<float>::denorm_min(), 2), "0.00");
  EXPECT_EQ(number(-std::numeric_limits<float>::denorm_min(), 2), "-0.00");
  EXPECT_EQ(number(FLT_MIN, 0), "0");
}

// Expected text of m / 10^(decimals + 1) rounded half away from zero to `decimals` digits,
// built with integer arithmetic only.
std::string roundedReference(int m, int decimals) {
  const bool negative = m < 0;
  const int units = ((negative ? -m : m) + 5) / 10;
  int scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  std::string text = negative ? "-" : "";
  text += std::to_string(units / scale);
  if (decimals > 0) {
    const std::string fraction = std::to_string(units % scale);
    text += '.' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
  }
  return text;
}

TEST(Float2String2Rounding, SweepAgainstIntegerReference) {
  // Values m / 10^(decimals + 1) put every case, ties included, one digit behind the last
  // kept one. |m| < 1000 keeps the float's own error well inside the 0.00001 tolerance.
  for (int decimals = 0; decimals <= 3; ++decimals) {
    int failures = 0;
    for (int m = -999; m <= 999 && failures < 5; ++m) {
      const float value = static_cast<float>(m / std::pow(10.0, decimals + 1));
      const std::string expected = roundedReference(m, decimals);
      const std::string text = number(value, decimals);
      if (text != expected) {
        ADD_FAILURE() << "m=" << m << " decimals=" << decimals << ": got \"" << text
                      << "\", expected \"" << expected << "\"";
        ++failures;
      }
    }
  }
}

TEST(Float2String2Field, KeepsTrailingZeros) {
  EXPECT_EQ(number(5.0f, 2), "5.00");
  EXPECT_EQ(number(-6.0f, 3), "-6.000");
  EXPECT_EQ(number(12.5f, 4), "12.5000");
  EXPECT_EQ(number(0.05f, 3), "0.050");
}

TEST(Float2String2Field, ZeroDecimalsDropsThePoint) {
  EXPECT_EQ(number(100.0f, 0), "100");
  EXPECT_EQ(number(15.0f, 0), "15");
  EXPECT_EQ(number(0.0f, 0), "0");
  EXPECT_EQ(number(-99999.0f, 0), "-99999");
  EXPECT_EQ(number(999999.0f, 0), "999999");
}

// The reference for decimals 0: whole numbers and quarters rounded half away from zero.
TEST(Float2String2Field, ZeroDecimalsNeverLeavesAPoint) {
  int failures = 0;
  for (int i = -99999; i <= 999999 && failures < 5; ++i) {
    const int away = i < 0 ? -1 : 1;
    const struct {
      float value;
      int rounded;
    } cases[] = {
        {static_cast<float>(i), i},
        {static_cast<float>(i + 0.25 * away), i},
        {static_cast<float>(i + 0.5 * away), i + away},
        {static_cast<float>(i + 0.75 * away), i + away},
    };
    for (const auto& c : cases) {
      const std::string text = number(c.value, 0);
      if (text != std::to_string(c.rounded)) {
        ADD_FAILURE() << "value " << c.value << ": got \"" << text << "\", expected " << c.rounded;
        ++failures;
      }
    }
  }
}

TEST(Float2String2Field, NegativeDecimalsKeepTheWholeField) {
  EXPECT_EQ(number(1.36f, -1), "1.360000");
  EXPECT_EQ(number(1.36f, -5), "1.360000");
  EXPECT_EQ(number(-4.0f, -1), "-4.00000");
  EXPECT_EQ(number(123416.7f, -2), "123416.7");
  // The rounding step still works at the (negative) decimals position, but nothing is cut
  // away afterwards: 5 is half a ten, so one ten is added and the field shows 15; -6 is
  // more than half a ten below zero and shows -16.
  EXPECT_EQ(number(5.0f, -1), "15.00000");
  EXPECT_EQ(number(-6.0f, -1), "-16.0000");
}

TEST(Float2String2Field, MoreDecimalsThanTheFieldHoldsKeepTheField) {
  EXPECT_EQ(number(1.36f, 6), "1.360000");
  EXPECT_EQ(number(1.36f, 7), "1.360000");
  EXPECT_EQ(number(-6.0f, 7), "-6.00000");
  EXPECT_EQ(number(1.36f, 20), "1.360000");
  EXPECT_EQ(number(-1.5f, 20), "-1.50000");
  EXPECT_EQ(number(123456.7f, 3), "123456.7");
  EXPECT_EQ(number(0.0f, 20), "0.000000");
}

TEST(Float2String2Field, FractionDigitsAreTruncatedNotRounded) {
  // 0.1 is stored as 0.100000001490116...; 1/3 as 0.333333343267...
  EXPECT_EQ(number(0.1f, -1), "0.100000");
  EXPECT_EQ(number(1.0f / 3.0f, -1), "0.333333");
  EXPECT_EQ(number(2.0f / 3.0f, -1), "0.666666");
  EXPECT_EQ(number(-2.0f / 3.0f, -1), "-0.66666");
}

TEST(Float2String2Range, PositiveValuesUpTo99999999) {
  EXPECT_EQ(number(99999992.0f, 0), "99999992");  // the largest float below 1e8
  EXPECT_EQ(number(1e8f, 0), "Huge!");
  EXPECT_EQ(number(1e8f, 2), "Huge!");
  EXPECT_EQ(number(FLT_MAX, 1), "Huge!");
}

TEST(Float2String2Range, NegativeValuesDownTo9999999) {
  EXPECT_EQ(number(-9999999.0f, 0), "-9999999");
  EXPECT_EQ(number(-9999999.0f, 2), "-9999999");
  EXPECT_EQ(number(-10000000.0f, 0), "Huge!");
  EXPECT_EQ(number(10000000.0f, 0), "10000000");  // the same magnitude fits when positive
  EXPECT_EQ(number(-FLT_MAX, 1), "Huge!");
}

TEST(Float2String2Range, RoundingCanCarryOverTheBound) {
  // -9999999 at tens: the dropped 9 units are over half a ten, so -10000009 is checked.
  EXPECT_EQ(number(-9999999.0f, -1), "Huge!");
}

TEST(Float2String2Range, IntegerPartFillingTheFieldShowsWithoutPoint) {
  // Sign, digits and point would leave no room for a fraction: the whole number is shown.
  EXPECT_EQ(number(1234567.0f, 2), "1234567");
  EXPECT_EQ(number(1234567.0f, 0), "1234567");
  EXPECT_EQ(number(12345678.0f, 1), "12345678");
  EXPECT_EQ(number(-123456.0f, 1), "-123456");
  EXPECT_EQ(number(-1234561.0f, -1), "-1234561");
  EXPECT_EQ(number(999999.5f, 0), "1000000");
  EXPECT_EQ(number(-99999.5f, 0), "-100000");
}

TEST(Float2String2Range, LargeMagnitudesWithManyDecimals) {
  // value x 10^decimals is far beyond any 32-bit integer here.
  EXPECT_EQ(number(123456.0f, 20), "123456.0");
  EXPECT_EQ(number(-54321.0f, 15), "-54321.0");
  EXPECT_EQ(number(99999992.0f, 20), "99999992");
  EXPECT_EQ(number(3e9f, 5), "Huge!");
  EXPECT_EQ(number(-3e9f, 0), "Huge!");
}

TEST(Float2String2NonFinite, InfinitiesAreHuge) {
  EXPECT_EQ(number(std::numeric_limits<float>::infinity(), 2), "Huge!");
  EXPECT_EQ(number(-std::numeric_limits<float>::infinity(), 2), "Huge!");
  EXPECT_EQ(number(std::numeric_limits<float>::infinity(), -5), "Huge!");
  EXPECT_EQ(number(-std::numeric_limits<float>::infinity(), 20), "Huge!");
}

TEST(Float2String2NonFinite, NaNReadsNaN) {
  EXPECT_EQ(number(std::numeric_limits<float>::quiet_NaN(), 2), "NaN");
  EXPECT_EQ(number(-std::numeric_limits<float>::quiet_NaN(), 0), "NaN");
  EXPECT_EQ(number(std::numeric_limits<float>::signaling_NaN(), 20), "NaN");
}

TEST(Float2String2NonFinite, ZeroTimesAnOverflowingScaleIsStillZero) {
  // 10^400 is infinite in double, so 0 x 10^400 is NaN; the value must still print.
  EXPECT_EQ(number(0.0f, 400), "0.000000");
  EXPECT_EQ(number(1.0f, 400), "1.000000");
  EXPECT_EQ(number(1.0f, -400), "1.000000");
}

}  // namespace
