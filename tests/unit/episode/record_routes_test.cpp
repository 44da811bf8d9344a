// The routes come from the plans: every stage's plan, run against the real
// game at 16 ms frames, records its committed route byte for byte.
//
// Making the routes: with BR_RECORD_STAGES set (for example "4,5" or "all")
// RecordRoutes.FromPlans runs each named stage's plan and writes the recorded
// input to the stage's route file (skipped otherwise). With BR_PLAN_FRAME_MS
// set as well (for example 20 or 13.33) the plans are only tried at that
// frame time and nothing is written.
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

// Plays the stage's plan from the stage's start at this frame time.
episode::StageRun RunPlan(int stage, float frameMs, std::vector<HarnessInput>* frames) {
  episode::StageRun run;
  std::string plan;
  if (!episode::ReadTextFile(episode::PlanPath(stage), &plan)) {
    run.error = "cannot read " + episode::PlanPath(stage);
    return run;
  }
  std::string dir;
  HarnessOptions options;
  options.frameMs = frameMs;
  if (!episode::StartSilent(stage, &dir, options)) {
    run.error = "the stage did not start";
  } else {
    run = episode::PlayPlan(plan, frames);
  }
  HarnessStop();
  episode::RemoveDataDir(dir);
  return run;
}

std::string RouteText(int stage, const episode::StageRun& run, const std::vector<HarnessInput>& frames) {
  const std::string header = "# Stage " + std::to_string(stage) + ": " + std::to_string(run.finishFrame) +
                             " frames of 16 ms from the start to the exit.\n";
  return episode::FormatRoute(frames, header);
}

class PlanRecords : public ::testing::TestWithParam<int> {};

TEST_P(PlanRecords, TheCommittedRoute) {
  const int stage = GetParam();
  REQUIRE_GAME_DATA();
  std::string committed;
  ASSERT_TRUE(episode::ReadTextFile(episode::RoutePath(stage), &committed)) << episode::RoutePath(stage);
  std::vector<HarnessInput> frames;
  const episode::StageRun run = RunPlan(stage, 16.0f, &frames);
  ASSERT_TRUE(run.finished) << "stage " << stage << ": its plan does not finish: " << run.error;
  EXPECT_TRUE(RouteText(stage, run, frames) == committed)
      << "stage " << stage << ": its plan records another route than " << episode::RoutePath(stage)
      << " (record it again: BR_RECORD_STAGES=" << stage << ")";
}

INSTANTIATE_TEST_SUITE_P(Episode, PlanRecords, ::testing::Range(1, episode::kEpisodeStages + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Stage" + std::to_string(info.param);
                         });

TEST(RecordRoutes, FromPlans) {
  const std::vector<int> stages = StagesToRecord();
  if (stages.empty()) GTEST_SKIP() << "set BR_RECORD_STAGES to record routes";
  REQUIRE_GAME_DATA();
  const char* tryMs = std::getenv("BR_PLAN_FRAME_MS");
  const float frameMs = tryMs ? static_cast<float>(std::atof(tryMs)) : 16.0f;
  const bool dryRun = tryMs != nullptr;
  for (int stage : stages) {
    std::vector<HarnessInput> frames;
    const episode::StageRun run = RunPlan(stage, frameMs, &frames);
    EXPECT_TRUE(run.finished) << "stage " << stage << ": " << run.error;
    if (!run.finished) continue;
    if (dryRun) {
      std::printf("stage %d at %.2f ms: finished on frame %d\n", stage, frameMs, run.finishFrame);
      continue;
    }
    ASSERT_TRUE(episode::WriteTextFile(episode::RoutePath(stage), RouteText(stage, run, frames)));
    std::printf("stage %d: %d frames (%.1f s)\n", stage, run.finishFrame, run.finishFrame * 0.016);
  }
}

}  // namespace
