// Cost of one harness frame of play, drawn (software GL rasterises and
// presents the whole frame) and undrawn (HarnessOptions::drawFrames = false).
// Reported as process CPU time, so the renderer's worker threads count too.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "harness/harness.h"

namespace {

constexpr int kFramesPerDirection = 120;

const std::vector<std::string> kStage = {
    "", "", "", "", "", "", "", "", "", "",
    "#                                                         #",
    "#          ?    B?B          s             o              #",
    "#                                                         #",
    "#     f  f    w     k    ====       v    f    f   w       #",
    "#  S ###### ^  ########  C    #######   ########   ###### #",
    "###########################################################",
};

// The hero runs to and fro over the stage, so the camera scrolls.
void BM_HarnessFrame(benchmark::State& state) {
  HarnessOptions options;
  options.drawFrames = state.range(0) != 0;
  if (!HarnessStart(options) || !HarnessWriteStage(1, kStage) || !HarnessStartStage(1)) {
    state.SkipWithError("the harness did not start the stage");
    HarnessStop();
    return;
  }
  HarnessInput right, left;
  right.keys = {kHarnessKeyRight};
  left.keys = {kHarnessKeyLeft};
  int64_t n = 0;
  for (auto _ : state) {
    HarnessFrame((n / kFramesPerDirection) % 2 ? left : right);
    ++n;
  }
  HarnessStop();
}
BENCHMARK(BM_HarnessFrame)
    ->ArgName("drawn")
    ->Arg(1)
    ->Arg(0)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
