// Processing cost of the effect, reference signal path against fast, in ns per stereo frame
// and as a multiple of real time. Each iteration times one host block through
// processReplacing; the parameter changes of the gliding cases happen outside the timing,
// because every change writes a diagnostic line.
//
//   tavola_bench --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
//                --benchmark_report_aggregates_only=true [--fast_instruction_set=sse2]

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include "BenchEffect.h"

using namespace tavola;
using namespace tavola::bench;

namespace {

// Long enough to fill every delay line and settle the output gain before timing starts.
constexpr int kWarmUpFrames = 1 << 15;

void processBlocks(benchmark::State& state, const BenchCase benchCase) {
  BenchEffect effect(benchCase);
  for (int done = 0; done < kWarmUpFrames; done += benchCase.block) {
    if (benchCase.glide) effect.retune();
    effect.process();
  }
  for (auto _ : state) {
    if (benchCase.glide) effect.retune();
    const auto start = std::chrono::steady_clock::now();
    effect.process();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  const double frames = benchCase.block;
  state.counters["ns_per_frame"] = benchmark::Counter(
      frames * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["x_realtime"] =
      benchmark::Counter(frames / benchCase.rate, benchmark::Counter::kIsIterationInvariantRate);
}

// Each case for the reference and then the fast path, next to each other, so that a change in
// the machine's load between cases does not fall between the two halves of a comparison (run
// with --benchmark_enable_random_interleaving to spread the repetitions as well).
void registerCases() {
  for (float rate : {44100.0f, 96000.0f, 192000.0f})
    for (bool saturate : {true, false})
      for (int block : {64, 512})
        for (bool glide : {false, true})
          for (SignalPathKind kind : {SignalPathKind::kReference, SignalPathKind::kFast}) {
            const BenchCase benchCase{kind, rate, saturate, block, glide};
            benchmark::RegisterBenchmark(benchCase.name().c_str(), processBlocks, benchCase)
                ->UseManualTime();
          }
}

}  // namespace

int main(int argc, char** argv) {
  // The effect writes a diagnostic line for every parameter change; keep them off the report.
  const int devNull = ::open("/dev/null", O_WRONLY);
  if (devNull >= 0) ::dup2(devNull, STDERR_FILENO);
  takeInstructionSetArgument(argc, argv);
  registerCases();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
