#pragma once
// An effect set up for measuring: every band, the high-pass and EQ on with gains away from
// 0 dB, stereo float blocks of noise through processReplacing, either signal path.

#include <memory>
#include <string>
#include <vector>

#include "effect/Tavola.h"

namespace tavola::bench {

struct BenchCase {
  SignalPathKind kind = SignalPathKind::kFast;
  float rate = 44100.0f;
  bool saturate = true;
  int block = 512;
  // Every frequency control is retuned before each block, so that every section glides all
  // the time, each glide restarted midway.
  bool glide = false;

  std::string name() const;
};

// Takes --fast_instruction_set=sse2 out of the arguments, if there, and limits the fast path
// to SSE2 for the effects created from then on, to measure what a processor without AVX2 gets.
void takeInstructionSetArgument(int& argc, char** argv);

class BenchEffect {
 public:
  explicit BenchEffect(const BenchCase& benchCase);
  ~BenchEffect();

  // The parameter changes of a gliding case, due before the next block. Each writes a
  // diagnostic line to the standard error stream, so measurements leave them out.
  void retune();
  // One block of benchCase.block stereo frames.
  void process();

  const BenchCase& benchCase() const { return case_; }

 private:
  BenchCase case_;
  std::unique_ptr<Tavola> effect_;
  std::vector<float> input_[2];
  std::vector<float> output_[2];
  long blocks_ = 0;
};

}  // namespace tavola::bench
