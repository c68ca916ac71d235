#pragma once
// Magnitude responses measured through the plug-in: an impulse fed through a prepared
// instance as a render, then its spectrum at chosen frequencies by a direct Fourier sum.

#include <vector>

#include "tools/common/Console.h"
#include "tools/common/Status.h"

class HostedEffect;

namespace tavola::render {

// The first `frames` samples of the impulse response of a resumed mono instance, with
// its latency removed. Rendered in double precision with a unit impulse.
Status measureImpulseResponse(HostedEffect& effect, const Console& console, long frames,
                              int blockSize, std::vector<double>& response);

// count frequencies from low to high, equally spaced on a logarithmic scale.
std::vector<double> logSpacedFrequencies(double low, double high, int count);

// 20 log10 |sum x[n] e^(-j 2 pi f n / rate)| at each frequency; -300 dB for a zero sum.
std::vector<double> magnitudeDb(const std::vector<double>& response, double sampleRate,
                                const std::vector<double>& frequencies);

}  // namespace tavola::render
