// Files through the renderer: WAV, AIFF and FLAC, mono and stereo, at 48 and 96 kHz,
// written by the test with libsndfile, rendered with the neutral setting, and read back
// with libsndfile. The neutral setting passes the input through, so every output must
// match its input sample for sample within the files' resolution and the small effect of
// the low-cut near 2 Hz.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "render/RenderTestSupport.h"
#include "tools/tavola-render/RenderJob.h"
#include "tools/tavola-render/SoundFile.h"

namespace tavola::render {
namespace {

std::vector<ParameterRequest> neutralRequests() {
  return {{"EQ all", "off"}, {"SAT", "off"}, {"HPF", "off"}, {"OUTput", "0dB"}};
}

struct RoundTrip {
  const char* inputName;
  int inputFormat;
  const char* outputName;
  int expectedFormat;
  int channels;
  int rate;
  bool floatOutput;
};

void checkRoundTrip(const RoundTrip& trip) {
  SCOPED_TRACE(std::string(trip.inputName) + " -> " + trip.outputName + ", " +
               std::to_string(trip.channels) + " ch at " + std::to_string(trip.rate));
  test::TempDir dir;
  const std::string input = dir.file(trip.inputName), output = dir.file(trip.outputName);
  const long frames = 3000;
  const std::vector<double> samples =
      test::sineFrames(frames, trip.channels, trip.rate, 997.0, 0.25);
  ASSERT_TRUE(test::writeAudioFile(input, trip.inputFormat, trip.channels, trip.rate, samples));

  RenderJob job;
  job.input = input;
  job.output = output;
  job.parameters = neutralRequests();
  job.floatOutput = trip.floatOutput;
  RenderSummary summary;
  const Status status = renderFile(test::host(), test::console(), job, {}, summary);
  ASSERT_TRUE(status.ok()) << status.message();

  const test::AudioFile back = test::readAudioFile(output);
  EXPECT_EQ(back.info.format, trip.expectedFormat);
  EXPECT_EQ(back.info.channels, trip.channels);
  EXPECT_EQ(back.info.samplerate, trip.rate);
  ASSERT_EQ(back.frames(), frames);
  EXPECT_EQ(summary.frames, frames);
  EXPECT_EQ(summary.channels, trip.channels);
  EXPECT_EQ(summary.sampleRate, trip.rate);
  double largest = 0.0;
  for (std::size_t i = 0; i < samples.size(); ++i)
    largest = std::max(largest, std::fabs(back.samples[i] - samples[i]));
  EXPECT_LT(largest, 2e-3);
  EXPECT_NEAR(summary.result.peak, 0.25, 1e-3);
}

TEST(RenderFiles, RoundTripsKeepFormatChannelsRateAndSignal) {
  constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
  constexpr int kWavFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  constexpr int kAiff16 = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
  constexpr int kAiff24 = SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
  constexpr int kAiffFloat = SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
  constexpr int kFlac16 = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
  constexpr int kFlac24 = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  const RoundTrip trips[] = {
      {"in.wav", kWav16, "out.wav", kWav16, 2, 48000, false},
      {"in.wav", kWav24, "out.aiff", kAiff24, 1, 96000, false},
      {"in.aif", kAiff16, "out.flac", kFlac16, 2, 96000, false},
      {"in.flac", kFlac24, "out.wav", kWav24, 1, 48000, false},
      {"in.flac", kFlac16, "out.AIF", kAiff16, 2, 44100, false},
      // FLAC has no float samples: 24-bit PCM instead.
      {"in.wav", kWavFloat, "out.flac", kFlac24, 1, 96000, false},
      {"in.wav", kWavFloat, "out.aiff", kAiffFloat, 2, 48000, false},
      {"in.wav", kWav16, "out.wav", kWavFloat, 2, 96000, true},
      {"in.flac", kFlac16, "out.aiff", kAiffFloat, 1, 48000, true},
  };
  for (const RoundTrip& trip : trips) checkRoundTrip(trip);
}

TEST(RenderFiles, OutputFormatChoice) {
  const int wav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_FLAC, wav16, false, 2, 44100),
            SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
  // 32-bit integers are not FLAC's, signed bytes not WAV's: 24 bits instead.
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_FLAC, SF_FORMAT_WAV | SF_FORMAT_PCM_32, false, 2, 44100),
            SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_WAV, SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, false, 1, 44100),
            SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_WAV, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, false, 1, 44100),
            SF_FORMAT_WAV | SF_FORMAT_DOUBLE);
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_WAV, wav16, true, 2, 44100),
            SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(chooseOutputFormat(SF_FORMAT_FLAC, wav16, true, 2, 44100), 0);
  EXPECT_EQ(describeFormat(SF_FORMAT_FLAC | SF_FORMAT_PCM_24), "FLAC, 24-bit PCM");
  EXPECT_EQ(describeFormat(SF_FORMAT_AIFF | SF_FORMAT_FLOAT), "AIFF, 32-bit float");
}

TEST(RenderFiles, IntegerOutputsClipInsteadOfWrapping) {
  test::TempDir dir;
  const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
  ASSERT_TRUE(test::writeAudioFile(input, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, 44100,
                                   test::sineFrames(2000, 1, 44100.0, 300.0, 0.5)));
  RenderJob job;
  job.input = input;
  job.output = output;
  job.parameters = neutralRequests();
  job.parameters.back().value = "12dB";  // a factor of 4
  RenderSummary summary;
  ASSERT_TRUE(renderFile(test::host(), test::console(), job, {}, summary).ok());
  EXPECT_GT(summary.result.overs, 0);
  EXPECT_NEAR(summary.result.peak, 2.0, 0.04);  // the low-cut's start adds up to 2 %
  const test::AudioFile back = test::readAudioFile(output);
  double peak = 0.0;
  for (double sample : back.samples) peak = std::max(peak, std::fabs(sample));
  EXPECT_GT(peak, 0.999);
  EXPECT_LE(peak, 1.0);
  // Clipped, not wrapped: the sign of every loud sample is that of the sine.
  for (long n = 0; n < back.frames(); ++n) {
    const double expected = std::sin(2.0 * std::numbers::pi * 300.0 * n / 44100.0);
    if (std::fabs(expected) > 0.6) {
      EXPECT_GT(back.at(n, 0) * expected, 0.5) << n;
    }
  }
  EXPECT_NE(overWarning(summary).find("samples exceeded full scale (clipped in the integer file)"),
            std::string::npos);
}

TEST(RenderFiles, UnreadableInputs) {
  test::TempDir dir;
  RenderJob job;
  job.input = dir.file("missing.wav");
  job.output = dir.file("out.wav");
  RenderSummary summary;
  Status status = renderFile(test::host(), test::console(), job, {}, summary);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message(), "cannot read " + job.input + ": No such file or directory");

  job.input = dir.file("text.wav");
  {
    std::ofstream text(job.input);
    text << "not audio at all";
  }
  status = renderFile(test::host(), test::console(), job, {}, summary);
  EXPECT_EQ(status.kind(), Status::Kind::kRuntime);
  EXPECT_EQ(status.message().rfind("cannot read " + job.input + ": ", 0), 0u) << status.message();

  job.input = dir.file("six.wav");
  ASSERT_TRUE(test::writeAudioFile(job.input, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 6, 44100,
                                   std::vector<double>(600, 0.0)));
  status = renderFile(test::host(), test::console(), job, {}, summary);
  EXPECT_EQ(status.message(),
            job.input + " has 6 channels; only mono and stereo files can be rendered");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"six.wav", "text.wav"}));
}

}  // namespace
}  // namespace tavola::render
