// Every stage is finishable at the frame times players' machines run at: the
// stage's plan, driven closed loop against the real game (only the player's
// keys reach it), reaches the exit without losing a life at 50 Hz, 60 Hz,
// every second blank of 144 Hz, the 75 per second cap, and on a display
// clock that wanders around 60 Hz through the game's own frame averaging.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "game/game_context.h"
#include "harness/harness.h"
#include "unit/episode/route_driver.h"

namespace {

// One way a machine paces the frames.
struct Rate {
  const char* name;
  float frameMs;
  bool averaged;   // the game averages a clock that jitters by jitterMs
  float jitterMs;
};
constexpr Rate kRates[] = {
    {"At50Hz", 20.0f, false, 0.0f},
    {"At60Hz", 16.67f, false, 0.0f},
    {"At144HzHalved", 13.89f, false, 0.0f},
    {"AtTheCap", 13.33f, false, 0.0f},
    {"Jittered60Hz", 16.7f, true, 2.0f},
};
constexpr uint32_t kJitterSeed = 20261207;  // any fixed seed: the run repeats exactly

class StageRate : public ::testing::TestWithParam<std::tuple<int, int>> {
 protected:
  void TearDown() override {
    HarnessStop();
    episode::RemoveDataDir(dir_);
  }
  std::string dir_;
};

TEST_P(StageRate, PlanFinishesWithoutLosingALife) {
  const int stage = std::get<0>(GetParam());
  const Rate& rate = kRates[std::get<1>(GetParam())];
  REQUIRE_GAME_DATA();
  std::string plan;
  ASSERT_TRUE(episode::ReadTextFile(episode::PlanPath(stage), &plan)) << episode::PlanPath(stage);
  HarnessOptions options;
  options.frameMs = rate.frameMs;
  options.averagedTiming = rate.averaged;
  options.jitterMs = rate.jitterMs;
  options.jitterSeed = kJitterSeed;
  ASSERT_TRUE(episode::StartSilent(stage, &dir_, options));
  const int livesAtStart = lives;
  std::vector<HarnessInput> played;
  const episode::StageRun run = episode::PlayPlan(plan, &played);
  EXPECT_TRUE(run.finished) << "stage " << stage << " " << rate.name << ": " << run.error;
  EXPECT_FALSE(run.lifeLost);
  EXPECT_GE(lives, livesAtStart);  // fruit may add a life, none is lost
  EXPECT_EQ(currentStage, stage);
  std::printf("stage %d %s: finished on frame %d\n", stage, rate.name, run.finishFrame);
}

INSTANTIATE_TEST_SUITE_P(Episode, StageRate,
                         ::testing::Combine(::testing::Range(1, episode::kEpisodeStages + 1),
                                            ::testing::Range(0, static_cast<int>(std::size(kRates)))),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
                           return "Stage" + std::to_string(std::get<0>(info.param)) +
                                  kRates[std::get<1>(info.param)].name;
                         });

}  // namespace
