#pragma once
// The equaliser's signal path between the host's samples and the output staging: gain
// smoothing, the rate change up, the three bands split off and added back, output level,
// low-cut, the rate change down and the saturator. It works on sub-blocks of at most 16
// input samples per channel; the effect cuts the host's blocks, reads the parameters once
// per sub-block, and routes the results to the host's outputs.
//
// No host or GUI code here. Thread contract: everything runs on the audio thread while the
// host processes, and on the UI thread while it does not (construction, suspend, resume);
// never both at once.

#include <array>
#include <memory>

#include "dsp/Filter.h"
#include "effect/signal/Saturator.h"
#include "effect/signal/SignalPathFast.h"
#include "effect/signal/UpSampler.h"

namespace tavola {

struct FastKernels;
namespace lanes {
struct FastWork;
}

// The parameter values one sub-block uses, read once at its start.
struct SubBlockSettings {
  bool eqOn = true;
  bool satOn = false;
  double outGain = 1.0;  // target of the output-gain smoothing
  double lfGain = 1.0;   // linear band gain factors
  double mfGain = 1.0;
  double hfGain = 1.0;
  double lfOn = 0.0;  // band switches as the numbers 0 or 1
  double mfOn = 0.0;
  double hfOn = 0.0;
};

// What the band updates read: the derived values of the parameters that tune the sections.
struct BandSettings {
  int eqOn = 1;
  int hpfOn = 1;
  double hpfFreq = 15.0;
  double lfFreq = 100.0;
  double mfFreq = 2000.0;
  double hfFreq = 6000.0;
};

// Which implementation of the per-sample work runs. Both give the same bits.
enum class SignalPathKind { kReference, kFast };

class SignalPath {
 public:
  static constexpr int kSubBlock = 16;
  static constexpr int kMaxChannels = 2;
  static constexpr int kNumSections = 20;
  // The sections that carry signal; the first of each pair serves the first channel.
  static constexpr int kLowCut = 0;
  static constexpr int kLowSplit = 4;
  static constexpr int kMidLowPass = 8;
  static constexpr int kMidHighPass = 10;
  static constexpr int kHighSplit = 12;
  // suspend and resume act on the first eighteen sections.
  static constexpr int kManagedSections = 18;

  SignalPath();
  ~SignalPath();
  SignalPath(const SignalPath&) = delete;
  SignalPath& operator=(const SignalPath&) = delete;

  // Fills the up-sampler's tap table (independent of the rate).
  void initUpsamplerTaps();

  // The band updates: retune the sections of one band at the internal rate.
  void updateLowCut(const BandSettings& settings);
  void updateLowShelf(const BandSettings& settings);
  void updateMid(const BandSettings& settings);
  void updateHighShelf(const BandSettings& settings);
  void updateAllBands(const BandSettings& settings);

  // Clears every delay line, history and filter state; later designs take effect at once.
  // The output gain jumps to `outGain` without a ramp.
  void suspend(double outGain);
  // Chooses the internal rate for host rate r: twice r below 65 kHz, else r itself.
  void chooseRate(double hostRate);
  // From now on design changes glide.
  void leaveImmediateMode();
  // Saturator window and delay lines for the host rate, up-sampler histories cleared.
  void prepare(double hostRate);

  // One sub-block of n (1 to 16) samples per channel. `input` holds the host samples
  // already delayed by the input carry; `output` receives the saturator's results. The
  // reference follows the written order of operations step by step; the fast path gives the
  // same bits and leaves every section, the output gain and its delay lines as the reference
  // would have left them.
  void processSubBlock(const double* const* input, double* const* output, int channels, int n,
                       const SubBlockSettings& settings);

  // The two kinds share the filter sections and the output gain, but each keeps its own
  // up-sampler histories and saturator rings. Choose the kind before resuming: the next
  // prepare() clears the delay lines of both, and from there on either gives the same bits.
  void setKind(SignalPathKind kind) { kind_ = kind; }
  SignalPathKind kind() const { return kind_; }

  bool oversampleActive() const { return oversampleActive_ != 0; }
  double internalSampleRate() const { return internalSampleRate_; }
  double outGainSmoothed() const { return outGainSmoothed_; }
  const Filter& section(int i) const { return *sections_[i]; }
  const double* upsamplerTaps() const { return upsCoeffs_.get(); }
  const Saturator& saturator() const { return saturator_; }
  // The fast path's saturator (its write position moves only while the fast path runs).
  const FastSaturator& fastSaturator() const { return fastSaturator_; }
  // The instruction set of the fast path, chosen when the path is created and again by every
  // prepare() (see SignalPathFastIsa.h).
  FastInstructionSet fastInstructionSet() const { return fastInstructionSet_; }

 private:
  void referenceSubBlock(const double* const* input, double* const* output, int channels, int n,
                         const SubBlockSettings& settings);
  // The reference's steps from the band split to the return to the host rate, on the main
  // work buffers, which hold the up-sampled (or delayed) signal on entry and the saturator's
  // input on return.
  void referenceBands(int channels, int n, const SubBlockSettings& settings);
  // The fast path (SignalPathFast.cpp): referenceSubBlock()'s results and end state.
  void fastSubBlock(const double* const* input, double* const* output, int channels, int n,
                    const SubBlockSettings& settings);
  // n steps of the output-gain smoothing.
  void smoothOutputGain(int n, double target);
  void bringToInternalRate(int first, int count);
  // The fast path's loops for the widest instruction set allowed now.
  void chooseFastKernels();

  double oversampling_ = 1.0;
  int oversampleActive_ = 1;
  double oversampleFactor_ = 1.0;
  double internalSampleRate_ = 88200.0;
  double outGainSmoothed_ = 1.0;
  SignalPathKind kind_ = SignalPathKind::kFast;

  std::array<std::unique_ptr<Filter>, kNumSections> sections_;
  std::unique_ptr<double[]> upsCoeffs_;
  std::array<UpSampler, kMaxChannels> upsamplers_;
  Saturator saturator_;
  FastInstructionSet fastInstructionSet_ = FastInstructionSet::kSse2;
  const FastKernels* fastKernels_ = nullptr;
  std::unique_ptr<lanes::FastWork> fastWork_;
  FastUpSampler fastUpsampler_;
  FastSaturator fastSaturator_;

  // Per channel: the main, low, high, mid and mid-input buffers of a sub-block at up to
  // twice the rate.
  struct WorkBuffers {
    alignas(32) double main[64];
    alignas(32) double low[64];
    alignas(32) double high[64];
    alignas(32) double mid[64];
    alignas(32) double midInput[64];
  };
  std::array<WorkBuffers, kMaxChannels> work_{};
};

}  // namespace tavola
