// Soak test: the headless game plays a long stretch of simulated time (an hour
// by default) with random input, from the main menu through stages, deaths,
// game overs and back, starting random stages along the way. It watches the
// process's memory and the object list: the run fails on a crash (the
// process dies), on a heap that keeps growing after the warm-up, or on an
// object list that grows without bound. The first time the game reaches each
// state, the window is closed there: the shutdown must leave the progress
// file in its stored form holding the stage last started; the game then
// starts again on that file.
//
// Usage: stress_soak [--minutes N] [--seed S] [--draw] [--growth-mb N]
//   --draw renders every frame (slow with software GL); by default the game
//   makes every draw call but nothing is rasterised. --growth-mb sets how
//   much the heap in use may grow after the warm-up (default 16).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <GL/gl.h>
#include <malloc.h>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "game/game_context.h"
#include "game/game_state.h"
#include "engine/platform/KWindow.h"
#include "gameplay/objects.h"
#include "harness/harness.h"
#include "world/editor.h"

namespace {

constexpr float kFrameMs = 16.0f;
constexpr int kFramesPerMinute = static_cast<int>(60000.0f / kFrameMs);
// Memory may still grow while the allocator's pools and the driver's caches
// fill (several game starts); the peak of this stretch is the baseline.
constexpr int kWarmUpMinutes = 20;
constexpr int kMaxObjects = 4000;           // far above any stage's own objects
constexpr int kStages = 20;

long ResidentKb() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::atol(line + 6);
  std::fclose(f);
  return kb;
}

namespace fs = std::filesystem;

// A scratch game folder with the build tree's data (the current folder), kept
// across restarts so the progress carries over.
std::string MakeGameFolder() {
  const std::string dir = HarnessMakeTempDir();
  std::error_code ec;
  const fs::path build = fs::current_path(ec);
  fs::copy_file(build / "data.dat", fs::path(dir) / "data.dat", ec);
  fs::create_directories(fs::path(dir) / "tarn", ec);
  for (const auto& entry : fs::directory_iterator(build / "tarn", ec)) {
    const std::string name = entry.path().filename().string();
    if (name != "br2.cfg") fs::copy_file(entry.path(), fs::path(dir) / "tarn" / name, ec);
  }
  fs::create_directory_symlink(build / "audio", fs::path(dir) / "audio", ec);
  return dir;
}

// The progress file after a shutdown: stored form (every byte + 128) and the
// stage last started on its second line.
bool ProgressFileHolds(const std::string& dir, int32_t reached) {
  std::FILE* f = std::fopen((dir + "/tarn/br2.cfg").c_str(), "rb");
  if (!f) return false;
  char text[4096];
  const size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  if (n < 2 || static_cast<uint8_t>(text[0]) != 'B' + 128) return false;
  for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>(static_cast<uint8_t>(text[i]) + 128);
  text[n] = '\0';
  char magic[8];
  int value = 0;
  return std::sscanf(text, "%7s %d", magic, &value) == 2 && value == reached;
}

// Heap bytes in use (small blocks plus mmapped large ones), in kB: unlike the
// resident size it does not count memory the allocator keeps after a free.
long HeapInUseKb() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// Picks what the player holds next, and for how many frames.
class RandomPlayer {
 public:
  explicit RandomPlayer(uint32_t seed) : rng(seed) {}

  HarnessInput Next() {
    if (framesLeft-- > 0) return current;
    current = HarnessInput();
    framesLeft = Pick(5, 90);
    const int roll = Pick(0, 999);
    if (gameState == MainMenu) {
      // Mostly start playing; sometimes move the selector or hover the
      // buttons; rarely quit (the credits end the run, which then restarts).
      if (roll < 30) {
        current.mouseSet = true;
        current.mouseX = 400;  // the quit button
        current.mouseY = 510;
        current.mouseLeft = true;
      } else if (roll < 330) current.keys = {kHarnessKeyEnter};
      else if (roll < 500) current.keys = {kHarnessKeyRight};
      else if (roll < 600) current.keys = {kHarnessKeyLeft};
      else {
        current.mouseSet = true;
        current.mouseX = Pick(0, 799);
        current.mouseY = Pick(0, 460);  // above the quit button
        current.mouseLeft = roll < 700;
      }
      framesLeft = Pick(1, 20);
      return current;
    }
    if (roll < 3) {
      current.keys = {kHarnessKeyEscape};  // back to the menu now and then
      framesLeft = 2;
      return current;
    }
    if (roll < 15) {
      current.keys = {kHarnessKeyP};
      framesLeft = Pick(1, 30);
      return current;
    }
    if (roll < 25) {
      current.keys = {kHarnessKeyF1};  // the editor, once unlocked
      framesLeft = 2;
      return current;
    }
    if (roll < 40) {
      current.keys = {kHarnessKeyEnter};  // skips the tally
      return current;
    }
    // Movement: mostly to the right, with jumps, runs and climbs.
    const int direction = Pick(0, 9);
    if (direction < 6) current.keys.push_back(kHarnessKeyRight);
    else if (direction < 8) current.keys.push_back(kHarnessKeyLeft);
    if (Pick(0, 2) == 0) current.keys.push_back(kHarnessKeySpace);
    if (Pick(0, 3) == 0) current.keys.push_back(kHarnessKeyLeftShift);
    if (Pick(0, 5) == 0) current.keys.push_back(Pick(0, 1) ? kHarnessKeyUp : kHarnessKeyDown);
    if (editorMode) {  // paint a little and leave again
      current.mouseSet = true;
      current.mouseX = Pick(0, 799);
      current.mouseY = Pick(0, 599);
      current.mouseLeft = Pick(0, 1) == 0;
    }
    return current;
  }

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

 private:
  std::mt19937 rng;
  HarnessInput current;
  int framesLeft = 0;
};

}  // namespace

int main(int argc, char** argv) {
  int minutes = 60;
  uint32_t seed = 12345;
  bool draw = false;
  long allowedGrowthKb = 16 * 1024;  // after the warm-up
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--minutes") == 0 && i + 1 < argc) minutes = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) seed = std::strtoul(argv[++i], nullptr, 10);
    else if (std::strcmp(argv[i], "--draw") == 0) draw = true;
    else if (std::strcmp(argv[i], "--growth-mb") == 0 && i + 1 < argc) allowedGrowthKb = std::atol(argv[++i]) * 1024;
    else {
      std::fprintf(stderr, "usage: stress_soak [--minutes N] [--seed S] [--draw] [--growth-mb N]\n");
      return 2;
    }
  }
  if (minutes < 1) minutes = 1;

  HarnessOptions options;
  options.dataDir = MakeGameFolder();
  options.frameMs = kFrameMs;
  options.drawFrames = draw;
  options.calendarSeconds = seed;
  if (!fs::exists(options.dataDir + "/data.dat") || !HarnessStart(options)) {
    std::fprintf(stderr, "soak: the game did not start (run it beside the generated data)\n");
    std::error_code ec;
    fs::remove_all(options.dataDir, ec);
    return 77;
  }
  std::set<int> closedIn;
  int closes = 0;
  RandomPlayer player(seed);
  long baselineKb = 0, peakKb = 0;
  int peakObjects = 0, restarts = 0, stageStarts = 0, gameOvers = 0, livesLost = 0;
  int lastState = gameState;
  bool failed = false;
  for (int minute = 1; minute <= minutes && !failed; ++minute) {
    for (int frame = 0; frame < kFramesPerMinute; ++frame) {
      // Now and then jump straight into a random stage, as a menu start would.
      if (gameState == MainMenu && player.Pick(0, 2000) == 0) {
        if (HarnessStartStage(player.Pick(1, kStages))) ++stageStarts;
      }
      if (!HarnessFrame(player.Next())) {
        // The loop ended (quit through the credits): start over.
        HarnessStop();
        if (!HarnessStart(options)) {
          std::fprintf(stderr, "soak: restart failed\n");
          return 1;
        }
        ++restarts;
      }
      if (gameState != lastState && gameState != Quit && !closedIn.count(gameState)) {
        // Close the window here once: the shutdown writes the progress file.
        closedIn.insert(gameState);
        const int32_t reached = reachedStage;
        const int state = gameState;
        gameWindow->SetQuit(true);
        HarnessFrame();
        HarnessStop();
        ++closes;
        if (!ProgressFileHolds(options.dataDir, reached)) {
          std::fprintf(stderr, "soak: closed in state %d: progress file not stored or lost stage %d\n",
                       state, static_cast<int>(reached));
          failed = true;
          break;
        }
        if (!HarnessStart(options)) {
          std::fprintf(stderr, "soak: restart after the close in state %d failed\n", state);
          failed = true;
          break;
        }
        lastState = gameState;
        continue;
      }
      if (gameState != lastState) {
        if (gameState == Playing && lastState == MainMenu) ++stageStarts;
        if (gameState == GameOver) ++gameOvers;
        if (gameState == LifeLost) ++livesLost;
        lastState = gameState;
      }
      // Without drawing nothing is presented, so nothing makes the GL driver
      // finish its queued work and free what the game released; flush here
      // so the heap shows the game's own memory.
      if (!draw && frame % 60 == 0) glFinish();
      const int objects = HarnessObjectCount();
      peakObjects = std::max(peakObjects, objects);
      if (objects > kMaxObjects) {
        std::fprintf(stderr, "soak: %d objects in state %d at minute %d\n", objects,
                     static_cast<int>(gameState), minute);
        failed = true;
        break;
      }
    }
    const long kb = HeapInUseKb();
    const long residentKb = ResidentKb();
    peakKb = std::max(peakKb, residentKb);
    const int warmUp = std::min(kWarmUpMinutes, std::max(1, minutes / 3));
    if (minute <= warmUp) baselineKb = std::max(baselineKb, kb);
    std::printf("minute %3d: state %2d, stage %2d, lives %d, %4d objects, heap %ld kB, resident %ld kB\n",
                minute, static_cast<int>(gameState), currentStage, lives, HarnessObjectCount(), kb,
                residentKb);
    std::fflush(stdout);
    if (minute > warmUp && kb > baselineKb + allowedGrowthKb) {
      std::fprintf(stderr, "soak: the heap grew from a peak of %ld kB to %ld kB\n", baselineKb, kb);
      failed = true;
    }
  }
  std::printf("soak: %d simulated minutes, %d stage starts, %d lives lost, %d game overs, "
              "%d restarts, peak %d objects, peak %ld kB resident\n",
              minutes, stageStarts, livesLost, gameOvers, restarts, peakObjects, peakKb);
  std::printf("soak: closed the window in %d states:", closes);
  for (int state : closedIn) std::printf(" %d", state);
  std::printf("\n");
  HarnessStop();
  std::error_code ec;
  fs::remove_all(options.dataDir, ec);
  std::printf(failed ? "FAIL\n" : "PASS\n");
  return failed ? 1 : 0;
}
