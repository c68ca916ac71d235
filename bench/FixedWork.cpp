// A fixed amount of processing for callgrind: the instruction count of measuredBlocks() alone,
// divided by the frames it processed, is the cost per stereo frame, independent of the load
// of the machine. bench/callgrind.sh runs it.
//
//   tavola_fixed_work [--fast_instruction_set=sse2] fast|reference RATE sat_on|sat_off BLOCK
//                     FRAMES [gliding]

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "BenchEffect.h"

using namespace tavola;
using namespace tavola::bench;

// callgrind counts only inside this function (--toggle-collect), so set-up and warm-up are left
// out. The parameter changes of a gliding case are counted in: with their diagnostic lines and
// band updates they add a few thousand instructions per block.
__attribute__((noinline)) void measuredBlocks(BenchEffect& effect, long blocks) {
  for (long b = 0; b < blocks; ++b) {
    if (effect.benchCase().glide) effect.retune();
    effect.process();
  }
}

int main(int argc, char** argv) {
  takeInstructionSetArgument(argc, argv);
  if (argc < 6) {
    std::fprintf(stdout, "usage: %s fast|reference RATE sat_on|sat_off BLOCK FRAMES [gliding]\n",
                 argv[0]);
    return 2;
  }
  BenchCase benchCase;
  benchCase.kind =
      std::strcmp(argv[1], "fast") == 0 ? SignalPathKind::kFast : SignalPathKind::kReference;
  benchCase.rate = static_cast<float>(std::atof(argv[2]));
  benchCase.saturate = std::strcmp(argv[3], "sat_on") == 0;
  benchCase.block = std::atoi(argv[4]);
  const long frames = std::atol(argv[5]);
  benchCase.glide = argc > 6 && std::strcmp(argv[6], "gliding") == 0;

  const int devNull = ::open("/dev/null", O_WRONLY);
  if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);

  BenchEffect effect(benchCase);
  const long blocks = frames / benchCase.block;
  // Warm-up outside the counted function: delay lines filled, output gain settled.
  for (int b = 0; b < 64; ++b) {
    if (benchCase.glide) effect.retune();
    effect.process();
  }
  measuredBlocks(effect, blocks);
  std::fprintf(stdout, "%s %ld\n", benchCase.name().c_str(), blocks * benchCase.block);
  return 0;
}
