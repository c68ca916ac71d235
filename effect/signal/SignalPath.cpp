#include "effect/signal/SignalPath.h"

#include <cmath>
#include <cstring>

#include "effect/signal/SignalPathFastKernels.h"
#include "effect/signal/SignalPathFastLanes.h"

namespace tavola {

namespace {

// Section types as created, in order; the band updates give the ten that carry signal
// their final types.
constexpr int kCreatedTypes[SignalPath::kNumSections] = {1, 1, 1, 1, 3, 3, 4, 4, 4, 4,
                                                         4, 4, 7, 7, 8, 8, 8, 8, 8, 8};

constexpr double kDenormalGuard = 1e-30;

// Q of the low-cut: gentler at the lowest corners, Butterworth from 40 Hz up.
double lowCutQ(double hpfFreq) {
  if (hpfFreq < 10.0) return 0.5;
  if (hpfFreq < 40.0) return 0.6;
  return 0.705;  // also for a frequency that is not a number
}

}  // namespace

SignalPath::SignalPath()
    : upsCoeffs_(new double[kUpsamplerTableSize]()),
      fastWork_(std::make_unique<lanes::FastWork>()) {
  for (UpSampler& upsampler : upsamplers_) upsampler.setTaps(upsCoeffs_.get());
  fastUpsampler_.setTaps(upsCoeffs_.get());
  chooseFastKernels();
  fastSaturator_.prepare(saturator_);
  for (int i = 0; i < kNumSections; ++i)
    sections_[i] =
        std::make_unique<Filter>(internalSampleRate_, kCreatedTypes[i], 1000.0, 1.0, 0.0);
}

SignalPath::~SignalPath() = default;

void SignalPath::initUpsamplerTaps() {
  computeUpsamplerTaps(upsCoeffs_.get());
  fastUpsampler_.setTaps(upsCoeffs_.get());
}

void SignalPath::bringToInternalRate(int first, int count) {
  for (int i = first; i < first + count; ++i)
    if (sections_[i]->getSampleRate() != internalSampleRate_)
      sections_[i]->setSampleRate(internalSampleRate_);
}

void SignalPath::updateLowCut(const BandSettings& settings) {
  for (int i = kLowCut; i < kLowCut + 2; ++i) sections_[i]->setType(Filter::kHighPass);
  bringToInternalRate(kLowCut, 2);
  const double q = lowCutQ(settings.hpfFreq);
  for (int i = kLowCut; i < kLowCut + 2; ++i) sections_[i]->setQ(q);
  // Switched off, the section stays in the chain as a 2.13 Hz high-pass that only removes DC.
  const double corner = settings.eqOn != 0 && settings.hpfOn != 0 ? 0.71 * settings.hpfFreq : 2.13;
  for (int i = kLowCut; i < kLowCut + 2; ++i) {
    sections_[i]->setFreq(corner);
    sections_[i]->setStatus(1);
  }
}

void SignalPath::updateLowShelf(const BandSettings& settings) {
  bringToInternalRate(kLowSplit, 2);
  for (int i = kLowSplit; i < kLowSplit + 2; ++i) {
    Filter& section = *sections_[i];
    section.setType(Filter::kHighPass);
    section.setStatus(1);
    section.setFreq(0.5 * settings.lfFreq);
    section.setQ(0.5);
  }
}

void SignalPath::updateMid(const BandSettings& settings) {
  bringToInternalRate(kMidLowPass, 4);
  for (int i = kMidLowPass; i < kMidLowPass + 4; ++i) sections_[i]->setStatus(1);
  for (int i = kMidLowPass; i < kMidLowPass + 2; ++i) sections_[i]->setType(Filter::kLowPass);
  for (int i = kMidHighPass; i < kMidHighPass + 2; ++i) sections_[i]->setType(Filter::kHighPass);
  // The mid band spans one octave below to one octave above the selected frequency.
  for (int i = kMidLowPass; i < kMidLowPass + 2; ++i) sections_[i]->setFreq(0.5 * settings.mfFreq);
  for (int i = kMidHighPass; i < kMidHighPass + 2; ++i)
    sections_[i]->setFreq(2.0 * settings.mfFreq);
  for (int i = kMidLowPass; i < kMidLowPass + 4; ++i) sections_[i]->setQ(0.5);
}

void SignalPath::updateHighShelf(const BandSettings& settings) {
  bringToInternalRate(kHighSplit, 2);
  for (int i = kHighSplit; i < kHighSplit + 2; ++i) {
    Filter& section = *sections_[i];
    section.setType(Filter::kLowPass);
    section.setStatus(1);
    section.setFreq(settings.hfFreq / 1.5);
    section.setQ(0.5);
  }
}

void SignalPath::updateAllBands(const BandSettings& settings) {
  updateLowCut(settings);
  updateLowShelf(settings);
  updateMid(settings);
  updateHighShelf(settings);
}

void SignalPath::suspend(double outGain) {
  for (int i = 0; i < kManagedSections; ++i) {
    sections_[i]->suspend(true);
    sections_[i]->reset();
  }
  outGainSmoothed_ = outGain;
  std::memset(static_cast<void*>(work_.data()), 0, sizeof work_);
}

void SignalPath::chooseRate(double hostRate) {
  // Not-a-number rates take the branch without oversampling.
  oversampling_ = hostRate < 65000.0 ? 1.0 : 0.0;
  oversampleFactor_ = static_cast<int>(oversampling_ + 0.5);
  if (oversampleFactor_ >= 0.5) {
    internalSampleRate_ = 2.0 * hostRate;
    oversampleActive_ = 1;
  } else {
    internalSampleRate_ = hostRate;
    oversampleActive_ = 0;
  }
}

void SignalPath::leaveImmediateMode() {
  for (int i = 0; i < kManagedSections; ++i) sections_[i]->suspend(false);
}

void SignalPath::chooseFastKernels() {
  fastInstructionSet_ = fastInstructionSetForNewPaths();
  fastKernels_ = &fastKernelsFor(fastInstructionSet_);
  fastUpsampler_.setInstructionSet(fastInstructionSet_);
  fastSaturator_.setInstructionSet(fastInstructionSet_);
}

void SignalPath::prepare(double hostRate) {
  chooseFastKernels();
  saturator_.prepare(hostRate);
  for (UpSampler& upsampler : upsamplers_) upsampler.clear();
  fastSaturator_.prepare(saturator_);
  fastUpsampler_.clear();
}

void SignalPath::processSubBlock(const double* const* input, double* const* output, int channels,
                                 int n, const SubBlockSettings& settings) {
  if (kind_ == SignalPathKind::kFast)
    fastSubBlock(input, output, channels, n, settings);
  else
    referenceSubBlock(input, output, channels, n, settings);
}

void SignalPath::smoothOutputGain(int n, double target) {
  // n steps; the value reached serves the whole sub-block.
  for (int i = 0; i < n; ++i) {
    outGainSmoothed_ = outGainSmoothed_ + (target - outGainSmoothed_) * 0.002;
    outGainSmoothed_ = (outGainSmoothed_ + kDenormalGuard) - kDenormalGuard;
  }
}

void SignalPath::referenceSubBlock(const double* const* input, double* const* output, int channels,
                                   int n, const SubBlockSettings& s) {
  smoothOutputGain(n, s.outGain);

  for (int c = 0; c < channels; ++c) {
    WorkBuffers& w = work_[c];
    if (oversampleActive_) {
      upsamplers_[c].upsample(input[c], n, w.main);
    } else {
      std::memcpy(w.main, input[c], sizeof(double) * n);
      upsamplers_[c].delay(w.main, n);
    }
  }

  referenceBands(channels, n, s);

  const double* saturatorInput[kMaxChannels] = {work_[0].main, work_[1].main};
  saturator_.process(saturatorInput, output, channels, n, s.satOn);
}

void SignalPath::referenceBands(int channels, int n, const SubBlockSettings& s) {
  const int m = oversampleActive_ ? 2 * n : n;
  for (int c = 0; c < channels; ++c) {
    WorkBuffers& w = work_[c];
    std::memcpy(w.low, w.main, sizeof(double) * m);
    std::memcpy(w.high, w.main, sizeof(double) * m);
    std::memcpy(w.mid, w.main, sizeof(double) * m);
  }

  if (s.eqOn) {
    for (int c = 0; c < channels; ++c) {
      sections_[kLowSplit + c]->processFrame(work_[c].low, m);
      sections_[kHighSplit + c]->processFrame(work_[c].high, m);
      sections_[kMidLowPass + c]->processFrame(work_[c].mid, m);
    }
  }

  for (int c = 0; c < channels; ++c) {
    WorkBuffers& w = work_[c];
    for (int i = 0; i < m; ++i) {
      w.mid[i] = w.main[i] - w.mid[i];
      w.midInput[i] = w.mid[i];
    }
    if (s.eqOn) sections_[kMidHighPass + c]->processFrame(w.mid, m);
    for (int i = 0; i < m; ++i) w.mid[i] = (w.midInput[i] - w.mid[i]) * (s.mfGain - 1.0);

    for (int i = 0; i < m; ++i) {
      w.low[i] = (w.main[i] - w.low[i]) * (s.lfGain - 1.0);
      w.high[i] = (w.main[i] - w.high[i]) * (s.hfGain - 1.0);
      w.main[i] = w.main[i] + (s.lfOn * w.low[i] + s.hfOn * w.high[i] + s.mfOn * w.mid[i]);
    }

    for (int i = 0; i < m; ++i) w.main[i] = w.main[i] * outGainSmoothed_;

    sections_[kLowCut + c]->processFrame(w.main, m);

    // Back to the host rate: the up-sampler has already limited the band, so every second
    // sample is simply kept.
    if (oversampleActive_)
      for (int j = 0; j < n; ++j) w.main[j] = w.main[2 * j + 1];
  }
}

}  // namespace tavola
