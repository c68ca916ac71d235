// Magnitude responses measured through the effect's processing agree with the response
// computed from the section designs and the band sums.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "effect/TestHost.h"
#include "effect/signal/FrequencyResponse.h"

using namespace tavola;
using tavola::test::quietly;

namespace {

constexpr int kImpulseLength = 1 << 16;

std::vector<double> impulseResponse(Tavola& effect) {
  std::vector<double> left(kImpulseLength, 0.0), right(kImpulseLength, 0.0);
  left[0] = right[0] = 1.0;
  std::vector<double> outLeft(kImpulseLength), outRight(kImpulseLength);
  for (int start = 0; start < kImpulseLength; start += 512) {
    double* in[2] = {left.data() + start, right.data() + start};
    double* out[2] = {outLeft.data() + start, outRight.data() + start};
    effect.processDoubleReplacing(in, out, 512);
  }
  return outLeft;
}

double measuredDb(const std::vector<double>& ir, double rate, double freq) {
  std::complex<double> sum = 0.0;
  const double w = 2.0 * M_PI * freq / rate;
  for (size_t n = 0; n < ir.size(); ++n) sum += ir[n] * std::polar(1.0, -w * n);
  return 20.0 * std::log10(std::abs(sum));
}

std::vector<double> logFrequencies(double from, double to, int count) {
  std::vector<double> f;
  for (int i = 0; i < count; ++i) f.push_back(from * std::pow(to / from, i / (count - 1.0)));
  return f;
}

// Measures the effect as it stands (after resume) and compares with the model.
void expectResponseMatches(Tavola& effect, double rate, const std::string& what) {
  const std::vector<double> ir = impulseResponse(effect);
  const SubBlockSettings settings = effect.subBlockSettings();
  double worst = 0.0, worstAt = 0.0;
  for (double f : logFrequencies(20.0, 16000.0, 60)) {
    const double model =
        20.0 * std::log10(std::abs(chainResponse(effect.signalPath(), settings, f)));
    const double error = std::fabs(measuredDb(ir, rate, f) - model);
    if (error > worst) {
      worst = error;
      worstAt = f;
    }
  }
  EXPECT_LT(worst, 0.05) << what << ": worst error " << worst << " dB at " << worstAt << " Hz";
}

std::unique_ptr<Tavola> effectWith(const std::vector<std::pair<int, float>>& values, float rate) {
  auto effect = test::makeEffect();
  quietly([&] {
    for (auto [index, value] : values) effect->setParameter(index, value);
  });
  effect->setSampleRate(rate);
  effect->resume();
  return effect;
}

}  // namespace

TEST(Response, EveryFactoryPresetMatchesItsDesign) {
  for (int preset = 0; preset < kNumPresets; ++preset) {
    auto effect = test::makeEffect();
    quietly([&] { effect->setPresetNo(preset); });
    effect->setSampleRate(44100.0f);
    effect->resume();
    expectResponseMatches(*effect, 44100.0, effect->preset(preset).name);
  }
}

TEST(Response, EachBandAloneAtItsExtremeGains) {
  struct Band {
    int on, freq, gain;
  };
  const Band bands[] = {{kLf, kLfFreq, kLfGain}, {kMf, kMfFreq, kMfGain}, {kHf, kHfFreq, kHfGain}};
  for (const Band& band : bands) {
    for (float freq : {0.0f, 0.5f, 1.0f}) {
      for (float gain : {0.0f, 1.0f}) {
        std::vector<std::pair<int, float>> values = {
            {kHpf, 0.0f}, {kLf, 0.0f}, {kMf, 0.0f}, {kHf, 0.0f}, {kSat, 0.0f}};
        values.push_back({band.on, 1.0f});
        values.push_back({band.freq, freq});
        values.push_back({band.gain, gain});
        auto effect = effectWith(values, 44100.0f);
        expectResponseMatches(*effect, 44100.0,
                              "band " + std::to_string(band.on) + " freq " + std::to_string(freq) +
                                  " gain " + std::to_string(gain));
        // The band must show: even the extreme corners move the audible range by over 1 dB.
        double extreme = 0.0;
        for (double f : logFrequencies(20.0, 16000.0, 60))
          extreme = std::max(
              extreme,
              std::fabs(20.0 * std::log10(std::abs(chainResponse(effect->signalPath(),
                                                                 effect->subBlockSettings(), f)))));
        EXPECT_GT(extreme, 1.0);
      }
    }
  }
}

TEST(Response, AllBandsAndHighPassOffIsFlat) {
  for (float rate : {44100.0f, 96000.0f}) {
    auto effect = effectWith(
        {{kHpf, 0.0f}, {kLf, 0.0f}, {kMf, 0.0f}, {kHf, 0.0f}, {kSat, 0.0f}, {kOutput, 0.5f}}, rate);
    const std::vector<double> ir = impulseResponse(*effect);
    for (double f : logFrequencies(20.0, 16000.0, 40))
      EXPECT_NEAR(measuredDb(ir, rate, f), 0.0, 0.05) << rate << " Hz rate, at " << f;
  }
}

TEST(Response, HighRatesWithoutOversamplingMatchToo) {
  auto effect = test::makeEffect();
  quietly([&] { effect->setPresetNo(6); });
  effect->setSampleRate(96000.0f);
  effect->resume();
  expectResponseMatches(*effect, 96000.0, "Bright Vox at 96 kHz");
}
