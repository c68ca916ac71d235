#pragma once
// One second-order recursive section (a biquad) in double precision, designed with the audio
// cookbook formulas and gliding between designs so that parameter changes never click.
//
// The design maths lives in designFilter() alone: the audio path, the response plot and the
// tests all call it, so what is drawn is what is heard.
//
// Thread contract: a section holds no lock. Setters, suspend() and reset() may run on any
// thread, but never at the same time as processFrame() on the same section; the effect applies
// new designs on the audio thread between sub-blocks. processFrame() runs on the audio thread.

#include <cstdint>

// Coefficients of H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2). a0 keeps the
// design's unnormalised leading denominator term for information only: the other five are
// already divided by it. The default is the identity section.
struct FilterCoefficients {
  double a0 = 1.0;
  double a1 = 0.0;
  double a2 = 0.0;
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
};

// A design taken apart into what a glide moves in straight lines: two zeros, two poles (real
// and imaginary parts) and the gain factor k, which is the design's b0.
struct FilterRoots {
  double z1re = 0.0;
  double z1im = 0.0;
  double z2re = 0.0;
  double z2im = 0.0;
  double p1re = 0.0;
  double p1im = 0.0;
  double p2re = 0.0;
  double p2im = 0.0;
  double k = 0.0;
};

// The target coefficients of a section with these settings. Pure; any thread. An off section
// (status 0), type 0, the unused types 2 and 9, and any type outside 1 to 10 give the identity
// section. The settings are used as given: clamping is the setters' job.
FilterCoefficients designFilter(double sampleRate, int type, double freq, double q, double gainDb,
                                int status);

// Zeros of b0 z^2 + b1 z + b2, poles of z^2 + a1 z + a2, and k = b0. Where a pair is complex,
// the first member has the imaginary part of the sign opposite to b0 (zeros) or negative
// (poles), so that the first zero and the first pole lie on the same side. Pure; any thread.
FilterRoots filterRootsOf(const FilterCoefficients& c);

// The coefficients a glide rebuilds from its current roots at every sample (a0 = 1).
inline FilterCoefficients filterCoefficientsOf(const FilterRoots& r) {
  FilterCoefficients c;
  c.a0 = 1.0;
  c.b0 = r.k;
  c.b1 = -r.k * (r.z1re + r.z2re);
  c.b2 = r.k * (r.z1re * r.z2re - r.z1im * r.z2im);
  c.a1 = -(r.p1re + r.p2re);
  c.a2 = r.p1re * r.p2re - r.p1im * r.p2im;
  return c;
}

// |H(e^jw)| of a coefficient set at freq Hz for the given sample rate. Pure; any thread.
double filterMagnitude(const FilterCoefficients& c, double sampleRate, double freq);

// Everything processFrame() changes: the coefficients of the last sample, the history of the
// difference equation and how far the glide has come. An optimised kernel that runs several
// sections side by side takes this out of each section before a block and puts it back after;
// it must leave the section exactly as processFrame() on the same samples would have. Settings,
// target design, target roots and increments stay in the section (read them with the getters).
struct FilterRunState {
  FilterCoefficients current;
  double x1 = 0.0;
  double x2 = 0.0;
  double y1 = 0.0;
  double y2 = 0.0;
  FilterRoots glide;  // the current roots
  std::uint64_t glideRemaining = 0;
};

class Filter {
 public:
  // Design numbers accepted by setType(). 2 and 9 are not used and give the identity section,
  // as does 0, which also makes processFrame() leave samples untouched.
  static constexpr int kOff = 0;
  static constexpr int kHighPass = 1;
  static constexpr int kLowShelf = 3;
  static constexpr int kPeaking = 4;
  static constexpr int kBandPass = 5;
  static constexpr int kNotch = 6;
  static constexpr int kHighShelf = 7;
  static constexpr int kLowPass = 8;
  static constexpr int kAllPass = 10;

  // Stores the settings without clamping, so that the effect can create its sections before it
  // knows its rate; only values that are not finite are replaced, as the setters would replace
  // them (a non-finite rate by 44 100 Hz). Starts off, in immediate mode, with cleared state. No
  // design is computed until the first setter runs.
  Filter(double sampleRate, int type, double freq, double q, double gainDb);

  // Each setter stores its (clamped) value and designs anew: at once in immediate mode, else as
  // a glide of glideLength() samples from wherever the current glide stands.
  void setType(int type);
  // Below 0.001 Hz (and NaN) gives 0.001 Hz; otherwise at most 0.499 x the sample rate.
  void setFreq(double freq);
  // Clamped to [0.0001, 1000]; NaN gives 0.0001.
  void setQ(double q);
  // Clamped to [-1000, 1000] dB; NaN gives 0 dB, which leaves a shelf or peak flat.
  void setGain(double gainDb);
  // Rates outside [20 000, 400 000] Hz, and NaN, fall back to 44 100 Hz. The stored frequency is
  // not clamped again.
  void setSampleRate(double sampleRate);
  // 0 = off, anything else = on. Setting the value already stored does nothing at all, so a
  // repeated "on" never restarts a glide under way.
  void setStatus(int status);

  // Target coefficients from the settings.
  void calcDestCoeffs();
  // Target coefficients, then target roots and a new glide (or an immediate switch).
  void calcDestPolesAndZeros();

  // Audio thread. Filters count samples in place; allocates nothing, takes no lock. Type 0
  // leaves the samples and all state alone; a section that is off with no glide left passes the
  // samples through and clears its history, so that it starts from silence when switched on.
  void processFrame(double* samples, int count);

  // true: later designs take effect at once (while the host has processing suspended).
  // false: later designs glide. Either way any glide under way is finished at once by jumping
  // the roots to their targets; coefficients and history are kept.
  void suspend(bool immediate);
  // Clears the history and puts the roots at rest; coefficients and settings are kept.
  void reset();

  double getSampleRate() const { return sampleRate_; }
  int getType() const { return type_; }
  double getFreq() const { return freq_; }
  double getQ() const { return q_; }
  double getGain() const { return gain_; }
  int getStatus() const { return status_; }
  bool isImmediate() const { return immediate_; }
  bool isGliding() const { return glideRemaining_ > 0; }
  std::uint64_t glideRemaining() const { return glideRemaining_; }
  std::uint64_t glideLength() const { return glideLength_; }

  const FilterCoefficients& targetCoefficients() const { return target_; }
  // The coefficients of the last sample processed (a0 = 1 while gliding).
  const FilterCoefficients& currentCoefficients() const { return current_; }
  const FilterRoots& currentRoots() const { return glideCurrent_; }
  const FilterRoots& targetRoots() const { return glideTarget_; }
  // What each glide sample adds to currentRoots().
  const FilterRoots& glideIncrements() const { return glideStep_; }

  // The state processFrame() works on, for a kernel that processes this section in its place
  // (see FilterRunState). Same thread rules as processFrame().
  FilterRunState runState() const {
    return {current_, x1_, x2_, y1_, y2_, glideCurrent_, glideRemaining_};
  }
  // The last two inputs and outputs alone, for a kernel's sub-block without a glide.
  double lastInput() const { return x1_; }
  double inputBeforeLast() const { return x2_; }
  double lastOutput() const { return y1_; }
  double outputBeforeLast() const { return y2_; }
  // What processFrame() leaves after samples that did not glide: these inputs and outputs,
  // and the target as the current coefficients.
  void setSettledRun(double x1, double x2, double y1, double y2) {
    current_ = target_;
    x1_ = x1;
    x2_ = x2;
    y1_ = y1;
    y2_ = y2;
  }
  void setRunState(const FilterRunState& state) {
    current_ = state.current;
    x1_ = state.x1;
    x2_ = state.x2;
    y1_ = state.y1;
    y2_ = state.y2;
    glideCurrent_ = state.glide;
    glideRemaining_ = state.glideRemaining;
  }

  // The roots reset() and the constructor install: zero 1 at z = 1, everything else at 0, k = 1.
  // This is not the identity section, so a design should be installed in immediate mode before
  // the first glide (the effect's resume does exactly that).
  static FilterRoots restRoots();
  // trunc(sampleRate x 50 / 1000): 50 ms worth of samples; 0 for rates that give no sample.
  static std::uint64_t glideSamplesFor(double sampleRate);

 private:
  double sampleRate_;
  int type_;
  double freq_;
  double q_;
  double gain_;
  int status_ = 0;

  FilterCoefficients target_;
  FilterCoefficients current_;

  // History of the difference equation: the last two inputs and outputs.
  double x1_ = 0.0;
  double x2_ = 0.0;
  double y1_ = 0.0;
  double y2_ = 0.0;

  FilterRoots glideCurrent_;
  FilterRoots glideTarget_;
  FilterRoots glideStep_;
  std::uint64_t glideRemaining_ = 0;
  std::uint64_t glideLength_;
  bool immediate_ = true;
};
