// Makes the routes: with BR_RECORD_STAGES set (for example "4,5" or "all")
// it runs each named stage's plan against the real game and writes the
// recorded input to the stage's route file. Skipped otherwise. With
// BR_PLAN_FRAME_MS set as well (for example 20 or 13.33) the plans are only
// tried at that frame time and nothing is written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

#include "game/game_context.h"
#include "harness/harness.h"
#include "unit/episode/route_driver.h"

namespace {

std::vector<int> StagesToRecord() {
  std::vector<int> out;
  const char* env = std::getenv("BR_RECORD_STAGES");
  if (!env) return out;
  const std::string list = env;
  if (list == "all") {
    for (int s = 1; s <= episode::kEpisodeStages; ++s) out.push_back(s);
    return out;
  }
  std::stringstream ss(list);
  std::string item;
  while (std::getline(ss, item, ',')) {
    const int s = std::atoi(item.c_str());
    if (s >= 1 && s <= episode::kEpisodeStages) out.push_back(s);
  }
  return out;
}

TEST(RecordRoutes, FromPlans) {
  const std::vector<int> stages = StagesToRecord();
  if (stages.empty()) GTEST_SKIP() << "set BR_RECORD_STAGES to record routes";
  ASSERT_TRUE(episode::GameDataPresent());
  const char* tryMs = std::getenv("BR_PLAN_FRAME_MS");
  const float frameMs = tryMs ? static_cast<float>(std::atof(tryMs)) : 16.0f;
  const bool dryRun = tryMs != nullptr;
  for (int stage : stages) {
    std::string plan;
    ASSERT_TRUE(episode::ReadTextFile(episode::PlanPath(stage), &plan)) << episode::PlanPath(stage);
    const std::string dir = episode::MakeSilentDataDir();
    ASSERT_FALSE(dir.empty());
    HarnessOptions options;
    options.drawFrames = false;  // nothing looks at the pictures of a route run
    options.dataDir = dir;
    options.frameMs = frameMs;
    ASSERT_TRUE(HarnessStart(options));
    ASSERT_TRUE(HarnessStartStage(stage));
    std::vector<HarnessInput> frames;
    const episode::StageRun run = episode::PlayPlan(plan, &frames);
    HarnessStop();
    episode::RemoveDataDir(dir);
    EXPECT_TRUE(run.finished) << "stage " << stage << ": " << run.error;
    if (!run.finished) continue;
    if (dryRun) {
      std::printf("stage %d at %.2f ms: finished on frame %d\n", stage, frameMs, run.finishFrame);
      continue;
    }
    const std::string header = "# Stage " + std::to_string(stage) + ": " + std::to_string(run.finishFrame) +
                               " frames of 16 ms from the start to the exit.\n";
    ASSERT_TRUE(episode::WriteTextFile(episode::RoutePath(stage), episode::FormatRoute(frames, header)));
    std::printf("stage %d: %d frames (%.1f s)\n", stage, run.finishFrame, run.finishFrame * 0.016);
  }
}

}  // namespace
