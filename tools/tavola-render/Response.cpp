#include "tools/tavola-render/Response.h"

#include <cmath>
#include <numbers>

#include "tools/tavola-render/FrameStream.h"
#include "tools/tavola-render/RenderLoop.h"

namespace tavola::render {

Status measureImpulseResponse(HostedEffect& effect, const Console& console, long frames,
                              int blockSize, std::vector<double>& response) {
  response.clear();
  if (frames < 1) return Status::runtime("an impulse response needs at least one frame");
  std::vector<double> impulse(static_cast<std::size_t>(frames), 0.0);
  impulse[0] = 1.0;
  MemoryFrameReader reader(std::move(impulse), 1);
  MemoryFrameWriter writer(1);
  RenderSettings settings;
  settings.blockSize = blockSize;
  settings.useDouble = true;
  RenderResult result;
  if (Status status =
          renderFrames(effect, console, reader, frames, 1, writer, settings, {}, result);
      !status.ok())
    return status;
  response = writer.samples();
  return Status();
}

std::vector<double> logSpacedFrequencies(double low, double high, int count) {
  std::vector<double> frequencies;
  if (count < 1) return frequencies;
  if (count == 1) return {low};
  const double ratio = std::log(high / low);
  for (int i = 0; i < count; ++i) frequencies.push_back(low * std::exp(ratio * i / (count - 1)));
  return frequencies;
}

std::vector<double> magnitudeDb(const std::vector<double>& response, double sampleRate,
                                const std::vector<double>& frequencies) {
  std::vector<double> magnitudes;
  magnitudes.reserve(frequencies.size());
  constexpr std::size_t kResync = 1024;
  for (double frequency : frequencies) {
    const double step = -2.0 * std::numbers::pi * frequency / sampleRate;
    // A rotating phasor instead of a sine and cosine per sample; it is set exactly again
    // every 1024 samples so that its rounding never builds up.
    const double stepCos = std::cos(step), stepSin = std::sin(step);
    double real = 0.0, imaginary = 0.0, phasorCos = 1.0, phasorSin = 0.0;
    for (std::size_t n = 0; n < response.size(); ++n) {
      if (n % kResync == 0) {
        phasorCos = std::cos(step * static_cast<double>(n));
        phasorSin = std::sin(step * static_cast<double>(n));
      }
      real += response[n] * phasorCos;
      imaginary += response[n] * phasorSin;
      const double nextCos = phasorCos * stepCos - phasorSin * stepSin;
      phasorSin = phasorCos * stepSin + phasorSin * stepCos;
      phasorCos = nextCos;
    }
    const double magnitude = std::hypot(real, imaginary);
    magnitudes.push_back(magnitude > 0.0 ? 20.0 * std::log10(magnitude) : -300.0);
  }
  return magnitudes;
}

}  // namespace tavola::render
