// Frame benchmark of the headless game on the generated data: finds the
// busiest stage (most objects after its start), then plays it with the hero
// running right and jumping, and reports the CPU time of one game frame
// (simulation and drawing) — for the whole process, which includes the
// software GL driver's threads, and for the game's own thread — and the same
// with nothing rasterised (the game's own work). Also the CPU and wall time
// of the start-up up to the first presented frame and the peak resident size.
// Then the hero stands still on stage 1, where only a few sprites move
// (frames redrawn only where they changed), and the heap in use is reported
// (malloc's arena and mapped blocks, in the middle of play).
//
// Usage: bench_frame [--frames N]   (run in the build folder, beside the data)
#include <malloc.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "engine/host/host_renderer.h"
#include "engine/platform/KWindow.h"
#include "engine/platform/KWindowDD.h"
#include "game/game_context.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

constexpr int kStages = 20;
constexpr int kWarmUpFrames = 30;

double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

double WallMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

struct FrameCost {
  double processMs = 0, threadMs = 0, wallMs = 0;
};

// Runs `frames` frames of play (right, run, a jump now and then; or with no
// key at all when standing) and gives the mean cost of one.
FrameCost PlayFrames(int frames, bool standing = false) {
  HarnessInput run;
  if (!standing) run.keys = {kHarnessKeyRight, kHarnessKeyLeftShift};
  HarnessInput jump = run;
  if (!standing) jump.keys.push_back(kHarnessKeySpace);
  HarnessRunFrames(kWarmUpFrames, run);
  const double p0 = CpuMs(CLOCK_PROCESS_CPUTIME_ID), t0 = CpuMs(CLOCK_THREAD_CPUTIME_ID), w0 = WallMs();
  int ran = 0;
  for (int i = 0; i < frames; ++i) {
    if (gameState != Playing) break;
    ran += HarnessFrame(i % 40 < 10 ? jump : run) ? 1 : 0;
  }
  FrameCost cost;
  if (ran == 0) return cost;
  cost.processMs = (CpuMs(CLOCK_PROCESS_CPUTIME_ID) - p0) / ran;
  cost.threadMs = (CpuMs(CLOCK_THREAD_CPUTIME_ID) - t0) / ran;
  cost.wallMs = (WallMs() - w0) / ran;
  return cost;
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 600;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) frames = std::max(1, std::atoi(argv[++i]));
  }
  HarnessOptions options;
  options.useGameData = true;

  const double startWall = WallMs(), startCpu = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
  if (!HarnessStart(options)) {
    std::fprintf(stderr, "bench_frame: the game did not start (run it beside generated data)\n");
    return 77;
  }
  HarnessFrame();  // the first presented frame (the main menu)
  std::printf("start-up to the first presented frame: %.1f ms wall, %.1f ms CPU (headless)\n",
              WallMs() - startWall, CpuMs(CLOCK_PROCESS_CPUTIME_ID) - startCpu);
  std::printf("renderer selector: %d\n", GetRendererSelector());

  // The busiest stage: most objects right after its start.
  HarnessSetDrawFrames(false);
  int busiest = 1, most = -1;
  for (int stage = 1; stage <= kStages; ++stage) {
    if (!HarnessStartStage(stage)) continue;
    const int objects = HarnessObjectCount();
    if (objects > most) {
      most = objects;
      busiest = stage;
    }
  }
  std::printf("busiest stage: %d (%d objects)\n", busiest, most);

  HarnessSetDrawFrames(true);
  if (!HarnessStartStage(busiest)) return 1;
  const FrameCost drawn = PlayFrames(frames);
  HarnessSetDrawFrames(false);
  if (!HarnessStartStage(busiest)) return 1;
  const FrameCost logic = PlayFrames(frames);
  std::printf("one frame, drawn:        %.3f ms CPU (process), %.3f ms CPU (game thread), %.3f ms wall\n",
              drawn.processMs, drawn.threadMs, drawn.wallMs);
  std::printf("one frame, not drawn:    %.3f ms CPU (process), %.3f ms CPU (game thread)\n",
              logic.processMs, logic.threadMs);

  // Standing on stage 1: only the few moving sprites change from frame to frame.
  HarnessSetDrawFrames(true);
  if (!HarnessStartStage(1)) return 1;
  KWindowDD* dd = dynamic_cast<KWindowDD*>(gameWindow);
  const uint64_t partial0 = dd != nullptr ? HostDevicePartialRedrawCount(dd->GetDevice()) : 0;
  const uint64_t shown0 = dd != nullptr ? HostDevicePresentCount(dd->GetDevice()) : 0;
  const FrameCost standing = PlayFrames(frames, true);
  const uint64_t partial = dd != nullptr ? HostDevicePartialRedrawCount(dd->GetDevice()) - partial0 : 0;
  const uint64_t shown = dd != nullptr ? HostDevicePresentCount(dd->GetDevice()) - shown0 : 0;
  const struct mallinfo2 heap = mallinfo2();
  std::printf("one frame, standing (stage 1): %.3f ms CPU (process), %.3f of a drawn frame; "
              "%llu of %llu shown frames redrawn only where they changed\n",
              standing.processMs, drawn.processMs > 0 ? standing.processMs / drawn.processMs : 0.0,
              static_cast<unsigned long long>(partial), static_cast<unsigned long long>(shown));
  std::printf("heap in use in play: %.1f MB\n", (heap.uordblks + heap.hblkhd) / 1048576.0);
  HarnessStop();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak resident size: %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}
