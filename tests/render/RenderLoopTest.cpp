// The render loop through the real plug-in: latency compensation, output length, the
// tail, block sizes, precision, mono, other sample rates, the peak and over-full-scale
// counts, progress and stopping. The expected positions come from the published latency
// (47 samples at 44 100 Hz, 65 at 96 000 Hz) and from the neutral setting, in which the
// plug-in passes its input through delayed, apart from a low-cut near 2 Hz.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "render/RenderTestSupport.h"
#include "tools/common/ParameterValue.h"
#include "tools/tavola-render/RenderLoop.h"

namespace tavola::render {
namespace {

using test::console;
using test::host;

std::vector<ParameterSetting> neutral() {
  std::vector<ParameterSetting> settings;
  for (const auto& [name, value] :
       {std::pair{"EQ all", "off"}, {"SAT", "off"}, {"HPF", "off"}, {"OUTput", "0dB"}})
    settings.push_back(test::resolved(name, value));
  return settings;
}

std::unique_ptr<HostedEffect> prepared(double rate, int channels,
                                       std::vector<ParameterSetting> settings = neutral(),
                                       int preset = 0, int block = 512) {
  std::unique_ptr<HostedEffect> effect;
  EXPECT_TRUE(host().createInstance(effect).ok());
  EffectSetup setup;
  setup.sampleRate = rate;
  setup.channels = channels;
  setup.blockSize = block;
  setup.preset = preset;
  setup.settings = std::move(settings);
  const Status status = prepareEffect(*effect, console(), setup);
  EXPECT_TRUE(status.ok()) << status.message();
  return effect;
}

struct Rendered {
  Status status;
  RenderResult result;
  std::vector<double> samples;
};

Rendered render(HostedEffect& effect, const std::vector<double>& input, int channels,
                const RenderSettings& settings, const RenderProgress& progress = {}) {
  MemoryFrameReader reader(input, channels);
  MemoryFrameWriter writer(channels);
  Rendered rendered;
  rendered.status = renderFrames(effect, console(), reader, reader.frames(), channels, writer,
                                 settings, progress, rendered.result);
  rendered.samples = writer.samples();
  return rendered;
}

std::vector<double> impulse(long frames, long at, int channels) {
  std::vector<double> samples(static_cast<std::size_t>(frames * channels), 0.0);
  for (int c = 0; c < channels; ++c) samples[static_cast<std::size_t>(at * channels + c)] = 0.5;
  return samples;
}

long loudestFrame(const std::vector<double>& samples, int channels, int channel) {
  long best = -1;
  double peak = -1.0;
  for (std::size_t i = static_cast<std::size_t>(channel); i < samples.size();
       i += static_cast<std::size_t>(channels)) {
    if (std::fabs(samples[i]) > peak) {
      peak = std::fabs(samples[i]);
      best = static_cast<long>(i) / channels;
    }
  }
  return best;
}

TEST(RenderLoop, CompensatedImpulseStaysWhereItWas) {
  auto effect = prepared(44100.0, 2);
  ASSERT_EQ(effect->initialDelay(), 47);
  const Rendered out = render(*effect, impulse(1000, 100, 2), 2, RenderSettings());
  ASSERT_TRUE(out.status.ok()) << out.status.message();
  EXPECT_EQ(out.result.latency, 47);
  EXPECT_EQ(out.result.framesWritten, 1000);
  ASSERT_EQ(out.samples.size(), 2000u);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(loudestFrame(out.samples, 2, c), 100);
    EXPECT_NEAR(out.samples[static_cast<std::size_t>(200 + c)], 0.5, 1e-3);
  }
  // Before the impulse only the up-sampler's faint pre-ringing, far below anything audible
  // (it reaches the kept samples through the low-cut at twice the rate).
  for (std::size_t i = 0; i < 200; ++i) EXPECT_LT(std::fabs(out.samples[i]), 1e-4) << i;
}

TEST(RenderLoop, WithoutCompensationTheLatencyStays) {
  auto effect = prepared(44100.0, 2);
  RenderSettings settings;
  settings.compensate = false;
  const Rendered out = render(*effect, impulse(1000, 100, 2), 2, settings);
  ASSERT_TRUE(out.status.ok());
  EXPECT_EQ(out.result.framesWritten, 1000);
  EXPECT_EQ(loudestFrame(out.samples, 2, 0), 147);
  EXPECT_EQ(loudestFrame(out.samples, 2, 1), 147);
}

TEST(RenderLoop, LastInputFrameIsIncluded) {
  auto effect = prepared(44100.0, 2);
  const Rendered out = render(*effect, impulse(300, 299, 2), 2, RenderSettings());
  ASSERT_TRUE(out.status.ok());
  ASSERT_EQ(out.result.framesWritten, 300);
  EXPECT_EQ(loudestFrame(out.samples, 2, 0), 299);
  EXPECT_NEAR(out.samples[598], 0.5, 1e-3);
}

TEST(RenderLoop, TailIsAppendedAfterTheInput) {
  auto effect = prepared(44100.0, 2);
  RenderSettings settings;
  settings.appendTail = true;
  const Rendered out = render(*effect, impulse(300, 299, 2), 2, settings);
  ASSERT_TRUE(out.status.ok());
  EXPECT_EQ(out.result.tail, 1024);
  EXPECT_EQ(out.result.framesWritten, 300 + 1024);
  EXPECT_EQ(loudestFrame(out.samples, 2, 0), 299);

  auto raw = prepared(44100.0, 2);
  settings.compensate = false;
  const Rendered uncompensated = render(*raw, impulse(300, 299, 2), 2, settings);
  EXPECT_EQ(uncompensated.result.framesWritten, 300 + 1024);
  EXPECT_EQ(loudestFrame(uncompensated.samples, 2, 0), 299 + 47);
}

TEST(RenderLoop, EmptyInputGivesEmptyOutput) {
  auto effect = prepared(44100.0, 1);
  const Rendered out = render(*effect, {}, 1, RenderSettings());
  ASSERT_TRUE(out.status.ok());
  EXPECT_EQ(out.result.framesWritten, 0);
  EXPECT_TRUE(out.samples.empty());
}

// A preset that shapes the sound, so that block edges would show if they mattered.
TEST(RenderLoop, BlockSizeDoesNotChangeTheResult) {
  const std::vector<double> input = test::sineFrames(3000, 2, 44100.0, 440.0, 0.4);
  std::vector<double> reference;
  for (int block : {512, 1, 17, 4096, 65536}) {
    auto effect = prepared(44100.0, 2, {}, 6, block);
    RenderSettings settings;
    settings.blockSize = block;
    const Rendered out = render(*effect, input, 2, settings);
    ASSERT_TRUE(out.status.ok());
    ASSERT_EQ(out.samples.size(), input.size());
    if (reference.empty())
      reference = out.samples;
    else
      EXPECT_EQ(out.samples, reference) << "block " << block;
  }
}

TEST(RenderLoop, DoublePrecisionAgreesWithSingle) {
  const std::vector<double> input = test::sineFrames(2000, 2, 44100.0, 1000.0, 0.4);
  RenderSettings single;
  RenderSettings twice;
  twice.useDouble = true;
  auto a = prepared(44100.0, 2, {}, 2);
  auto b = prepared(44100.0, 2, {}, 2);
  const Rendered floatOut = render(*a, input, 2, single);
  const Rendered doubleOut = render(*b, input, 2, twice);
  ASSERT_TRUE(floatOut.status.ok());
  ASSERT_TRUE(doubleOut.status.ok());
  ASSERT_EQ(floatOut.samples.size(), doubleOut.samples.size());
  double largest = 0.0;
  for (std::size_t i = 0; i < floatOut.samples.size(); ++i)
    largest = std::max(largest, std::fabs(floatOut.samples[i] - doubleOut.samples[i]));
  EXPECT_GT(largest, 0.0);   // two different paths ...
  EXPECT_LT(largest, 1e-6);  // ... that differ only by single-precision rounding
}

TEST(RenderLoop, MonoRunsTheOneChannel) {
  auto effect = prepared(44100.0, 1);
  const Rendered out = render(*effect, impulse(500, 100, 1), 1, RenderSettings());
  ASSERT_TRUE(out.status.ok());
  ASSERT_EQ(out.samples.size(), 500u);
  EXPECT_EQ(loudestFrame(out.samples, 1, 0), 100);
  EXPECT_NEAR(out.samples[100], 0.5, 1e-3);
}

TEST(RenderLoop, OtherRatesCompensateTheirOwnLatency) {
  for (double rate : {48000.0, 96000.0}) {
    auto effect = prepared(rate, 2);
    if (rate == 96000.0) {
      EXPECT_EQ(effect->initialDelay(), 65);  // 33 + 32, no up-sampling
    }
    const Rendered out = render(*effect, impulse(1000, 100, 2), 2, RenderSettings());
    ASSERT_TRUE(out.status.ok());
    EXPECT_EQ(out.result.latency, effect->initialDelay());
    EXPECT_EQ(out.result.framesWritten, 1000);
    EXPECT_EQ(loudestFrame(out.samples, 2, 0), 100) << rate;

    auto raw = prepared(rate, 2);
    RenderSettings settings;
    settings.compensate = false;
    const Rendered delayed = render(*raw, impulse(1000, 100, 2), 2, settings);
    EXPECT_EQ(loudestFrame(delayed.samples, 2, 1), 100 + raw->initialDelay()) << rate;
  }
}

TEST(RenderLoop, PeakAndOversCountWhatWasWritten) {
  // +16 on the 6-per-doubling scale is a factor of 2^(16/6) = 6.35.
  const ParameterSetting loud = test::resolved("OUTput", "16dB");
  std::vector<ParameterSetting> settings = neutral();
  settings.back() = loud;
  auto effect = prepared(44100.0, 2, settings);
  const std::vector<double> input = test::sineFrames(4410, 2, 44100.0, 500.0, 0.25);
  const Rendered out = render(*effect, input, 2, RenderSettings());
  ASSERT_TRUE(out.status.ok());
  long overs = 0;
  double peak = 0.0;
  for (double sample : out.samples) {
    overs += std::fabs(sample) > 1.0;
    peak = std::max(peak, std::fabs(sample));
  }
  EXPECT_GT(overs, 1000);
  EXPECT_EQ(out.result.overs, overs);
  EXPECT_EQ(out.result.peak, peak);
  // Within 2 %: the low-cut near 2 Hz adds a slowly decaying offset while the sine starts.
  EXPECT_NEAR(peak, 0.25 * std::pow(2.0, 16.0 / 6.0), 0.03);

  auto quiet = prepared(44100.0, 2);
  const Rendered clean = render(*quiet, input, 2, RenderSettings());
  EXPECT_EQ(clean.result.overs, 0);
  EXPECT_NEAR(clean.result.peak, 0.25, 0.005);
}

TEST(RenderLoop, ProgressRunsToTheEndAndCanStopTheRender) {
  auto effect = prepared(44100.0, 2);
  std::vector<long> seen;
  long total = 0;
  RenderSettings settings;
  settings.blockSize = 256;
  const Rendered out = render(*effect, impulse(1000, 10, 2), 2, settings, [&](long done, long all) {
    seen.push_back(done);
    total = all;
    return true;
  });
  ASSERT_TRUE(out.status.ok());
  EXPECT_EQ(total, 1000 + 47);
  ASSERT_FALSE(seen.empty());
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_EQ(seen.back(), total);

  auto stopped = prepared(44100.0, 2);
  int calls = 0;
  const Rendered halted =
      render(*stopped, impulse(1000, 10, 2), 2, settings, [&](long, long) { return ++calls < 2; });
  EXPECT_EQ(halted.status.kind(), Status::Kind::kInterrupted);
  EXPECT_EQ(halted.status.exitCode(), 130);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(halted.result.framesWritten, 512 - 47);
}

class ShortReader : public FrameReader {
 public:
  long read(float*, long frames) override { return frames > 10 ? 10 : frames; }
  long read(double*, long frames) override { return frames > 10 ? 10 : frames; }
};

TEST(RenderLoop, AnInputShorterThanItsLengthIsAFailure) {
  auto effect = prepared(44100.0, 1);
  ShortReader reader;
  MemoryFrameWriter writer(1);
  RenderResult result;
  const Status status =
      renderFrames(*effect, console(), reader, 100, 1, writer, RenderSettings(), {}, result);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message(), "the input ended after 10 of 100 frames");
}

class FailingWriter : public FrameWriter {
 public:
  bool write(const float*, long) override { return false; }
  bool write(const double*, long) override { return false; }
  std::string error() const override { return "disk full"; }
};

TEST(RenderLoop, AWriteFailureStopsTheRender) {
  auto effect = prepared(44100.0, 1);
  MemoryFrameReader reader(impulse(2000, 0, 1), 1);
  FailingWriter writer;
  RenderResult result;
  const Status status =
      renderFrames(*effect, console(), reader, 2000, 1, writer, RenderSettings(), {}, result);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message(), "disk full");
}

TEST(RenderLoop, PresetValuesReachThePlugin) {
  // "Loudness": LFgain 7/12 -> k = 28, 2^(4/12), 2.0 dB; HFgain 2/3 -> k = 32, 4.0 dB;
  // LFfreq 0.75 -> step 9, 200 Hz; HPF off.
  auto effect = prepared(44100.0, 2, {}, 2);
  auto quiet = console().pluginCalls();
  EXPECT_EQ(effect->parameterDisplay(15), "2.0dB");
  EXPECT_EQ(effect->parameterDisplay(27), "4.0dB");
  EXPECT_EQ(effect->parameterDisplay(13), "200Hz");
  EXPECT_EQ(effect->parameterDisplay(8), "Off  ");
  EXPECT_EQ(effect->getParameter(15), 7.0f / 12.0f);
}

// The level of one frequency in a Hann-windowed stretch of a mono signal, relative to
// nothing: callers compare two of them.
double windowedLevel(const std::vector<double>& samples, std::size_t from, std::size_t count,
                     double hz, double rate) {
  double re = 0, im = 0;
  for (std::size_t k = 0; k < count; ++k) {
    const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / count);
    const double phase = 2 * std::numbers::pi * hz * k / rate;
    re += samples[from + k] * window * std::cos(phase);
    im += samples[from + k] * window * std::sin(phase);
  }
  return std::hypot(re, im);
}

TEST(RenderLoop, TheSaturatorFoldsBackWhatTheManualSays) {
  // The manual's figures: a 15 kHz sine at 0.99 through SAT with the output at +6 dB, at
  // 44.1 kHz. The saturator runs at the host rate, so its odd harmonics fold: the 3rd
  // (45 kHz) to 900 Hz, the 5th (75 kHz) to 13.2 kHz, the 7th (105 kHz) to 16.8 kHz.
  constexpr double kRate = 44100;
  auto effect = prepared(kRate, 1, {test::resolved("SAT", "on"), test::resolved("OUTput", "6dB")});
  const Rendered out =
      render(*effect, test::sineFrames(2 * 44100, 1, kRate, 15000, 0.99), 1, RenderSettings());
  ASSERT_TRUE(out.status.ok()) << out.status.message();
  const std::size_t from = 22050, count = 44100;  // one second, well after the start
  const double fundamental = windowedLevel(out.samples, from, count, 15000, kRate);
  const auto relative = [&](double hz) {
    return 20 * std::log10(windowedLevel(out.samples, from, count, hz, kRate) / fundamental);
  };
  EXPECT_NEAR(relative(16800), -31, 1.0);
  EXPECT_NEAR(relative(13200), -32, 1.0);
  EXPECT_NEAR(relative(900), -55, 1.0);
}

}  // namespace
}  // namespace tavola::render
