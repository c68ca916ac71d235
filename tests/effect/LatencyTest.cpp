// The latency in milliseconds that the editor shows; the latency in samples is checked
// through the built plug-in (plugin/IdentityTest.cpp).

#include <gtest/gtest.h>

#include "effect/signal/Latency.h"

TEST(Latency, MillisecondsAtTheHostRateAndOutsideTheUsualRates) {
  EXPECT_NEAR(tavola::latencyMilliseconds(44100), 1.0658, 1e-4);
  EXPECT_NEAR(tavola::latencyMilliseconds(96000), 65 * 1000.0 / 96000, 1e-12);
  // Rates outside 20 to 200 kHz are shown as if the host ran at 44.1 kHz.
  EXPECT_NEAR(tavola::latencyMilliseconds(10000), 36 * 1000.0 / 44100, 1e-12);
  EXPECT_NEAR(tavola::latencyMilliseconds(384000), 161 * 1000.0 / 44100, 1e-12);
}
