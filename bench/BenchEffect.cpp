#include "BenchEffect.h"

#include <cstring>
#include <random>

#include "effect/signal/SignalPathFastIsa.h"

namespace tavola::bench {

namespace {

// Every pin connected, nothing else answered.
VstIntPtr benchHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

constexpr int kFrequencyControls[] = {kHpfFreq, kLfFreq, kMfFreq, kHfFreq};

}  // namespace

void takeInstructionSetArgument(int& argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fast_instruction_set=sse2") != 0) continue;
    limitFastInstructionSet(FastInstructionSet::kSse2);
    for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    return;
  }
}

std::string BenchCase::name() const {
  // Appended piece by piece: "literal" + std::string trips a false -Wrestrict in GCC 12 at -O3.
  std::string n = kind == SignalPathKind::kFast ? "fast" : "reference";
  n += '/';
  n += std::to_string(static_cast<int>(rate));
  n += saturate ? "/sat_on" : "/sat_off";
  n += "/block_";
  n += std::to_string(block);
  if (glide) n += "/gliding";
  return n;
}

BenchEffect::BenchEffect(const BenchCase& benchCase)
    : case_(benchCase), effect_(std::make_unique<Tavola>(benchHost)) {
  effect_->setSignalPathKind(case_.kind);
  for (int index : {kEqAll, kHpf, kLf, kMf, kHf}) effect_->setParameter(index, 1.0f);
  effect_->setParameter(kHpfFreq, 0.3f);
  effect_->setParameter(kLfGain, 0.8f);
  effect_->setParameter(kMfGain, 0.35f);
  effect_->setParameter(kHfGain, 0.65f);
  effect_->setParameter(kOutput, 0.55f);
  effect_->setParameter(kSat, case_.saturate ? 1.0f : 0.0f);
  effect_->setSampleRate(case_.rate);
  effect_->setBlockSize(case_.block);
  effect_->resume();

  // Noise at about -6 dBFS: loud enough for the saturator to work, never silence.
  std::mt19937 random(1);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  for (int c = 0; c < 2; ++c) {
    input_[c].resize(case_.block);
    output_[c].resize(case_.block);
    for (float& x : input_[c]) x = noise(random);
  }
}

BenchEffect::~BenchEffect() = default;

void BenchEffect::retune() {
  // Two settings in turn, far enough apart that every glide has real work to do.
  const float value = blocks_ % 2 ? 0.2f : 0.7f;
  for (int index : kFrequencyControls) effect_->setParameter(index, value);
}

void BenchEffect::process() {
  float* inputs[2] = {input_[0].data(), input_[1].data()};
  float* outputs[2] = {output_[0].data(), output_[1].data()};
  effect_->processReplacing(inputs, outputs, case_.block);
  ++blocks_;
}

}  // namespace tavola::bench
