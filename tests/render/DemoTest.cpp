// The demo and what it is made of: the synthesised signal, the direct Fourier sum against
// hand-computed spectra, a response measured through the plug-in against the published
// gain steps, the plot, and a whole (shortened) demo in a scratch directory.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "render/RenderTestSupport.h"
#include "tools/tavola-render/Demo.h"
#include "tools/tavola-render/DemoSignal.h"
#include "tools/tavola-render/Response.h"

namespace tavola::render {
namespace {

TEST(DemoSignal, DeterministicStereoAtTheAskedPeak) {
  DemoSignalSettings settings;
  settings.seconds = 1.0;
  const std::vector<double> first = synthesiseDemoSignal(settings);
  EXPECT_EQ(first, synthesiseDemoSignal(settings));
  ASSERT_EQ(first.size(), 2u * 44100u);
  double peak = 0.0, leftEnergy = 0.0, difference = 0.0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    peak = std::max(peak, std::fabs(first[i]));
    if (i % 2 == 0) {
      leftEnergy += first[i] * first[i];
      difference += std::fabs(first[i] - first[i + 1]);
    }
  }
  EXPECT_NEAR(20.0 * std::log10(peak), -6.0, 1e-9);
  EXPECT_GT(leftEnergy, 100.0);  // not silence
  EXPECT_GT(difference, 10.0);   // and really two channels
  // Faded in and out, so neither end clicks.
  EXPECT_EQ(first[0], 0.0);
  EXPECT_LT(std::fabs(first[first.size() - 1]), 1e-3);

  settings.seed = 1;
  EXPECT_NE(first, synthesiseDemoSignal(settings));
}

TEST(Response, LogSpacedFrequencies) {
  const std::vector<double> f = logSpacedFrequencies(20.0, 20000.0, 4);
  ASSERT_EQ(f.size(), 4u);
  EXPECT_DOUBLE_EQ(f[0], 20.0);
  EXPECT_NEAR(f[1], 200.0, 1e-9);
  EXPECT_NEAR(f[2], 2000.0, 1e-9);
  EXPECT_NEAR(f[3], 20000.0, 1e-9);
  EXPECT_TRUE(logSpacedFrequencies(20.0, 20000.0, 0).empty());
}

TEST(Response, DirectSumMatchesHandComputedSpectra) {
  const double rate = 48000.0;
  const std::vector<double> frequencies = {0.0, 100.0, 6000.0, 12000.0, 23000.0};
  // A unit impulse delayed by 5000 samples: 0 dB everywhere, whatever the delay.
  std::vector<double> delayed(6000, 0.0);
  delayed[5000] = 1.0;
  for (double db : magnitudeDb(delayed, rate, frequencies)) EXPECT_NEAR(db, 0.0, 1e-9);
  // x = [1, 1]: |H| = 2 |cos(pi f / rate)|.
  const std::vector<double> pair = {1.0, 1.0};
  const std::vector<double> db = magnitudeDb(pair, rate, frequencies);
  for (std::size_t i = 0; i < frequencies.size(); ++i) {
    const double expected = 2.0 * std::fabs(std::cos(std::numbers::pi * frequencies[i] / rate));
    EXPECT_NEAR(db[i], 20.0 * std::log10(expected), 1e-9) << frequencies[i];
  }
  // A long decaying exponential a^n: |H| = 1 / |1 - a e^(-jw)|, with the phasor running
  // over many resynchronisations.
  const double a = 0.9995;
  std::vector<double> decay(40000);
  for (std::size_t n = 0; n < decay.size(); ++n) decay[n] = std::pow(a, static_cast<double>(n));
  const std::vector<double> measured = magnitudeDb(decay, rate, frequencies);
  for (std::size_t i = 0; i < frequencies.size(); ++i) {
    const double w = 2.0 * std::numbers::pi * frequencies[i] / rate;
    const double expected = 1.0 / std::hypot(1.0 - a * std::cos(w), a * std::sin(w));
    EXPECT_NEAR(measured[i], 20.0 * std::log10(expected), 1e-3) << frequencies[i];
  }
  EXPECT_EQ(magnitudeDb(std::vector<double>(10, 0.0), rate, {1000.0})[0], -300.0);
}

TEST(Response, MeasuredThroughThePluginFollowsTheGainSteps) {
  // Only the low band, at 100 Hz and 6.02 dB (a factor of 2), with the high-pass off: far
  // below the corner the band's full gain, far above it none.
  std::vector<ParameterSetting> settings;
  for (const auto& [name, value] : {std::pair{"HPF", "off"},
                                    {"MF", "off"},
                                    {"HF", "off"},
                                    {"LF", "on"},
                                    {"LFfreq", "100Hz"},
                                    {"LFgain", "6dB"}}) {
    settings.push_back(test::resolved(name, value));
  }
  std::unique_ptr<HostedEffect> effect;
  ASSERT_TRUE(test::host().createInstance(effect).ok());
  EffectSetup setup;
  setup.channels = 1;
  setup.settings = settings;
  ASSERT_TRUE(prepareEffect(*effect, test::console(), setup).ok());
  std::vector<double> response;
  ASSERT_TRUE(measureImpulseResponse(*effect, test::console(), 32768, 512, response).ok());
  ASSERT_EQ(response.size(), 32768u);
  const std::vector<double> db = magnitudeDb(response, 44100.0, {20.0, 10000.0});
  EXPECT_NEAR(db[0], 20.0 * std::log10(2.0), 0.5);
  EXPECT_NEAR(db[1], 0.0, 0.1);
}

int pngSize(const std::string& path, int& width, int& height) {
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  const int status = cairo_surface_status(image);
  width = cairo_image_surface_get_width(image);
  height = cairo_image_surface_get_height(image);
  cairo_surface_destroy(image);
  return status;
}

TEST(Demo, WritesTheSignalSevenRendersAndThePlot) {
  test::TempDir dir;
  const std::string out = dir.file("demo/out");
  DemoSettings settings;
  settings.signalSeconds = 0.25;
  settings.impulseFrames = 4096;
  settings.plotPoints = 40;
  std::vector<std::string> noted;
  DemoReport report;
  const Status status = runDemo(
      test::host(), test::console(), out, settings,
      [&](const std::string& file) { noted.push_back(file); }, report);
  ASSERT_TRUE(status.ok()) << status.message();

  const std::vector<std::string> names = {"input.wav",       "01-Default.wav",    "02-Air.wav",
                                          "03-Loudness.wav", "04-Zoom-1.wav",     "05-Zoom-2.wav",
                                          "06-Speaker.wav",  "07-Bright-Vox.wav", "responses.png"};
  ASSERT_EQ(noted.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) EXPECT_EQ(noted[i], out + "/" + names[i]);
  EXPECT_EQ(report.files, noted);
  std::vector<std::string> present;
  for (const auto& entry : std::filesystem::directory_iterator(out))
    present.push_back(entry.path().filename().string());
  std::sort(present.begin(), present.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(present, expected);  // and no temporary file left over

  const test::AudioFile input = test::readAudioFile(out + "/input.wav");
  EXPECT_EQ(input.info.channels, 2);
  EXPECT_EQ(input.info.samplerate, 44100);
  EXPECT_EQ(input.frames(), 11025);
  for (std::size_t i = 1; i < 8; ++i) {
    const test::AudioFile rendered = test::readAudioFile(out + "/" + names[i]);
    EXPECT_EQ(rendered.frames(), input.frames()) << names[i];
    EXPECT_EQ(rendered.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24) << names[i];
    EXPECT_NE(rendered.samples, input.samples) << names[i];
  }

  int width = 0, height = 0;
  EXPECT_EQ(pngSize(out + "/responses.png", width, height), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(width, 1200);
  EXPECT_EQ(height, 700);

  ASSERT_EQ(report.curves.size(), 7u);
  EXPECT_EQ(report.curves[6].label, "Bright Vox");
  for (const ResponseCurve& curve : report.curves) EXPECT_EQ(curve.decibels.size(), 40u);
  // "Default" has every band at 0 dB: flat in the middle of the range.
  ASSERT_EQ(report.table.size(), 7u);
  EXPECT_NEAR(report.table[0][2], 0.0, 0.05);  // 1 kHz

  // A second run replaces its own files.
  EXPECT_TRUE(runDemo(test::host(), test::console(), out, settings, {}, report).ok());
}

TEST(Demo, AnInterruptStopsItWithoutHalfFiles) {
  test::TempDir dir;
  DemoSettings settings;
  settings.signalSeconds = 0.25;
  settings.impulseFrames = 4096;
  settings.plotPoints = 10;
  // Let the signal and the first render through, then stop inside the second render, when
  // its temporary file is half written.
  int askedSince = 0;
  const std::string first = dir.file("01-Default.wav");
  settings.keepGoing = [&] { return !std::filesystem::exists(first) || ++askedSince < 3; };
  DemoReport report;
  const Status status = runDemo(test::host(), test::console(), dir.path(), settings, {}, report);
  EXPECT_EQ(status.kind(), Status::Kind::kInterrupted);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"01-Default.wav", "input.wav"}));
}

TEST(Demo, AFileInTheWayIsAFailure) {
  test::TempDir dir;
  { std::ofstream blocker(dir.file("taken")); }
  DemoReport report;
  const Status status =
      runDemo(test::host(), test::console(), dir.file("taken"), DemoSettings(), {}, report);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message().rfind("cannot make the folder " + dir.file("taken") + ": ", 0), 0u)
      << status.message();
}

}  // namespace
}  // namespace tavola::render
