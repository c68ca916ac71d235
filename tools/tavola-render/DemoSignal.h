#pragma once
// The demo's test signal: a few seconds of a small band in stereo, with something for
// every band of the equaliser: a kick-like thump for the low band, plucked tones in the
// middle, a snare-like noise burst and hats for the top, and a quiet pink-ish noise bed
// under everything. Deterministic: the noise comes from a fixed seed and a generator of
// our own, so every machine makes the same file.

#include <cstdint>
#include <vector>

namespace tavola::render {

struct DemoSignalSettings {
  double seconds = 6.0;
  int sampleRate = 44100;
  std::uint64_t seed = 0x7a601a2024ull;
  // Peak of the finished signal, in dBFS.
  double peakDb = -6.0;
};

// Interleaved stereo frames.
std::vector<double> synthesiseDemoSignal(const DemoSignalSettings& settings);

}  // namespace tavola::render
