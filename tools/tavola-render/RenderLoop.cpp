#include "tools/tavola-render/RenderLoop.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "vsthost/HostedEffect.h"

namespace tavola::render {
namespace {

// One loop for both sample types and both channel counts.
template <typename Sample>
Status run(HostedEffect& effect, const Console& console, FrameReader& input, long inputFrames,
           int channels, FrameWriter& output, const RenderSettings& settings,
           const RenderProgress& progress, RenderResult& result) {
  const long block = settings.blockSize;
  const long latency = std::max(0, effect.initialDelay());
  const long tail = settings.appendTail ? std::max<long>(0, effect.tailSize()) : 0;
  const long skip = settings.compensate ? latency : 0;
  const long outputFrames = inputFrames + tail;
  const long totalFed = inputFrames + skip + tail;
  result = RenderResult();
  result.latency = static_cast<int>(latency);
  result.tail = tail;

  // The effect gets a buffer for every pin it declares, as a DAW gives it; pins beyond the
  // file's channels read silence and write into scratch.
  const int inputPins = std::max<int>(channels, effect.numInputs());
  const int outputPins = std::max<int>(channels, effect.numOutputs());
  const std::size_t blockSamples = static_cast<std::size_t>(block);
  std::vector<std::vector<Sample>> inputBuffers(static_cast<std::size_t>(inputPins),
                                                std::vector<Sample>(blockSamples));
  std::vector<std::vector<Sample>> outputBuffers(static_cast<std::size_t>(outputPins),
                                                 std::vector<Sample>(blockSamples));
  std::vector<Sample*> inputPointers, outputPointers;
  for (auto& buffer : inputBuffers) inputPointers.push_back(buffer.data());
  for (auto& buffer : outputBuffers) outputPointers.push_back(buffer.data());
  std::vector<Sample> interleaved(blockSamples * static_cast<std::size_t>(channels));
  const std::size_t channelCount = static_cast<std::size_t>(channels);

  long fed = 0, skipped = 0, read = 0;
  while (fed < totalFed) {
    const long frames = std::min(block, totalFed - fed);
    const long fromInput = std::clamp(inputFrames - read, 0L, frames);
    if (fromInput > 0) {
      const long got = input.read(interleaved.data(), fromInput);
      if (got != fromInput)
        return Status::runtime("the input ended after " + std::to_string(read + std::max(got, 0L)) +
                               " of " + std::to_string(inputFrames) + " frames");
      read += got;
    }
    const std::size_t count = static_cast<std::size_t>(frames);
    for (std::size_t c = 0; c < channelCount; ++c)
      for (std::size_t i = 0; i < count; ++i)
        inputBuffers[c][i] =
            i < static_cast<std::size_t>(fromInput) ? interleaved[i * channelCount + c] : Sample(0);

    {
      auto quiet = console.pluginCalls();
      if constexpr (std::is_same_v<Sample, float>)
        effect.processReplacing(inputPointers.data(), outputPointers.data(),
                                static_cast<VstInt32>(frames));
      else
        effect.processDoubleReplacing(inputPointers.data(), outputPointers.data(),
                                      static_cast<VstInt32>(frames));
    }
    fed += frames;

    const long drop = std::min(frames, skip - skipped);
    skipped += drop;
    const long keep = std::min(frames - drop, outputFrames - result.framesWritten);
    if (keep > 0) {
      for (std::size_t i = 0; i < static_cast<std::size_t>(keep); ++i) {
        for (std::size_t c = 0; c < channelCount; ++c) {
          const Sample sample = outputBuffers[c][static_cast<std::size_t>(drop) + i];
          const double magnitude = std::fabs(static_cast<double>(sample));
          // NaN counts as over full scale: it is certainly not a usable sample.
          if (!(magnitude <= 1.0)) ++result.overs;
          if (magnitude > result.peak) result.peak = magnitude;
          interleaved[i * channelCount + c] = sample;
        }
      }
      if (!output.write(interleaved.data(), keep)) return Status::runtime(output.error());
      result.framesWritten += keep;
    }
    if (progress && !progress(fed, totalFed)) return Status::interrupted();
  }
  return Status();
}

}  // namespace

Status renderFrames(HostedEffect& effect, const Console& console, FrameReader& input,
                    long inputFrames, int channels, FrameWriter& output,
                    const RenderSettings& settings, const RenderProgress& progress,
                    RenderResult& result) {
  if (channels < 1 || channels > 2) return Status::runtime("only mono and stereo can be rendered");
  if (settings.blockSize < 1) return Status::runtime("the block size must be at least 1");
  if (settings.useDouble) {
    if (!effect.canDoubleReplacing())
      return Status::runtime("the plug-in cannot process double precision");
    return run<double>(effect, console, input, inputFrames, channels, output, settings, progress,
                       result);
  }
  if (!effect.canReplacing()) return Status::runtime("the plug-in cannot process single precision");
  return run<float>(effect, console, input, inputFrames, channels, output, settings, progress,
                    result);
}

}  // namespace tavola::render
