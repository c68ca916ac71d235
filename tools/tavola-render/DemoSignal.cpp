#include "tools/tavola-render/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tavola::render {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// splitmix64: tiny, fast and the same everywhere, unlike the standard distributions.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  // Uniform in [-1, 1).
  double next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
  }

 private:
  std::uint64_t state_;
};

// Paul Kellet's economy pink filter: white noise tilted to about -3 dB per octave.
class Pink {
 public:
  double next(double white) {
    b0_ = 0.99765 * b0_ + white * 0.0990460;
    b1_ = 0.96300 * b1_ + white * 0.2965164;
    b2_ = 0.57000 * b2_ + white * 1.0526913;
    return (b0_ + b1_ + b2_ + white * 0.1848) * 0.25;
  }

 private:
  double b0_ = 0.0, b1_ = 0.0, b2_ = 0.0;
};

struct Stereo {
  std::vector<double>& samples;
  long frames;
  void add(long frame, double left, double right) {
    if (frame < 0 || frame >= frames) return;
    samples[static_cast<std::size_t>(2 * frame)] += left;
    samples[static_cast<std::size_t>(2 * frame + 1)] += right;
  }
};

// A plucked string: harmonics that start together and die away faster the higher they
// are, with a short attack so the onset does not click. Each harmonic is a rotating,
// shrinking phasor, so the inner loop needs no sine or exponential per sample.
void pluck(Stereo& out, double rate, double start, double frequency, double level, double pan) {
  constexpr int kHarmonics = 10;
  struct Partial {
    double re, im, stepRe, stepIm;
  };
  Partial partials[kHarmonics];
  int count = 0;
  for (int h = 1; h <= kHarmonics && frequency * h < 0.45 * rate; ++h) {
    const double decay = std::exp(-(2.0 + 1.1 * h) / rate);
    const double angle = kTwoPi * frequency * h / rate;
    partials[count++] = {1.0 / h, 0.0, decay * std::cos(angle), decay * std::sin(angle)};
  }
  const long first = static_cast<long>(start * rate);
  const long length = static_cast<long>(1.6 * rate);
  const double left = level * std::cos(pan * std::numbers::pi / 2);
  const double right = level * std::sin(pan * std::numbers::pi / 2);
  const long attack = std::max(1L, static_cast<long>(0.003 * rate));
  for (long n = 0; n < length; ++n) {
    double sum = 0.0;
    for (int h = 0; h < count; ++h) {
      Partial& p = partials[h];
      // The imaginary part of a phasor that starts on the real axis is a sine from zero.
      sum += p.im;
      const double re = p.re * p.stepRe - p.im * p.stepIm;
      p.im = p.re * p.stepIm + p.im * p.stepRe;
      p.re = re;
    }
    const double gain = n < attack ? static_cast<double>(n) / static_cast<double>(attack) : 1.0;
    out.add(first + n, sum * gain * left, sum * gain * right);
  }
}

// A kick: a sine whose pitch falls from 130 Hz to 45 Hz, with a click of noise on top.
void kick(Stereo& out, double rate, double start, double level, Noise& noise) {
  const long first = static_cast<long>(start * rate);
  const long length = static_cast<long>(0.6 * rate);
  double phase = 0.0;
  for (long n = 0; n < length; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double frequency = 45.0 + 85.0 * std::exp(-t / 0.035);
    phase += kTwoPi * frequency / rate;
    double value = std::sin(phase) * std::exp(-t / 0.18);
    if (t < 0.004) value += 0.3 * noise.next() * (1.0 - t / 0.004);
    const double attack = std::min(1.0, t / 0.001);
    out.add(first + n, level * attack * value, level * attack * value);
  }
}

// A snare-like burst: noise with a little body at 190 Hz, dying away in a tenth of a second.
void burst(Stereo& out, double rate, double start, double level, Noise& noise) {
  const long first = static_cast<long>(start * rate);
  const long length = static_cast<long>(0.35 * rate);
  for (long n = 0; n < length; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double body = 0.5 * std::sin(kTwoPi * 190.0 * t) * std::exp(-t / 0.05);
    const double envelope = std::exp(-t / 0.07);
    out.add(first + n, level * (body + envelope * noise.next()),
            level * (body + envelope * noise.next()));
  }
}

// A closed hat: the difference of successive noise samples (a bright noise), very short.
void hat(Stereo& out, double rate, double start, double level, double pan, Noise& noise) {
  const long first = static_cast<long>(start * rate);
  const long length = static_cast<long>(0.08 * rate);
  double previous = 0.0;
  for (long n = 0; n < length; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double white = noise.next();
    const double value = (white - previous) * std::exp(-t / 0.018);
    previous = white;
    out.add(first + n, level * (1.0 - pan) * value, level * pan * value);
  }
}

}  // namespace

std::vector<double> synthesiseDemoSignal(const DemoSignalSettings& settings) {
  const double rate = settings.sampleRate;
  const long frames = std::max(0L, static_cast<long>(std::lround(settings.seconds * rate)));
  std::vector<double> samples(static_cast<std::size_t>(2 * frames), 0.0);
  Stereo out{samples, frames};
  Noise noise(settings.seed);

  // 120 beats a minute: a kick on every beat, the burst on beats 2 and 4, hats on the
  // off-beats and an arpeggio of A minor pentatonic in eighths, panned from side to side.
  const double beat = 0.5;
  const double notes[] = {220.0, 261.63, 329.63, 392.0, 440.0, 392.0, 329.63, 293.66};
  const int beats = static_cast<int>(settings.seconds / beat);
  for (int b = 0; b < beats; ++b) {
    const double at = b * beat;
    kick(out, rate, at, 0.9, noise);
    if (b % 2 == 1) burst(out, rate, at, 0.35, noise);
    hat(out, rate, at + beat / 2, 0.25, b % 2 ? 0.3 : 0.7, noise);
    for (int half = 0; half < 2; ++half) {
      const int step = 2 * b + half;
      const double pan = 0.5 + 0.35 * std::sin(step * 0.7);
      pluck(out, rate, at + half * beat / 2, notes[step % 8], 0.28, pan);
    }
  }

  Pink pinkLeft, pinkRight;
  for (long n = 0; n < frames; ++n) {
    const double left = pinkLeft.next(noise.next()), right = pinkRight.next(noise.next());
    out.add(n, 0.04 * left, 0.04 * right);
  }

  // Short fades at both ends, then the peak brought to the level asked for.
  const long fade = std::min(frames / 2, static_cast<long>(0.01 * rate));
  for (long n = 0; n < fade; ++n) {
    const double gain = static_cast<double>(n) / static_cast<double>(fade);
    for (long frame : {n, frames - 1 - n})
      for (int c = 0; c < 2; ++c) samples[static_cast<std::size_t>(2 * frame + c)] *= gain;
  }
  double peak = 0.0;
  for (double sample : samples) peak = std::max(peak, std::fabs(sample));
  if (peak > 0.0) {
    const double gain = std::pow(10.0, settings.peakDb / 20.0) / peak;
    for (double& sample : samples) sample *= gain;
  }
  return samples;
}

}  // namespace tavola::render
