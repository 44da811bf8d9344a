// Every stage of the episode is finishable: its recorded route, replayed in
// the real game from the stage's start, reaches the exit without losing a
// life.
#include <gtest/gtest.h>

#include <string>

#include "game/game_context.h"
#include "harness/harness.h"
#include "unit/episode/route_driver.h"

namespace {

class StageRoute : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override {
    HarnessStop();
    episode::RemoveDataDir(dir_);
  }
  std::string dir_;
};

TEST_P(StageRoute, FinishesWithoutLosingALife) {
  const int stage = GetParam();
  REQUIRE_GAME_DATA();
  std::string text;
  ASSERT_TRUE(episode::ReadTextFile(episode::RoutePath(stage), &text)) << episode::RoutePath(stage);
  std::vector<HarnessInput> frames;
  std::string error;
  ASSERT_TRUE(HarnessParseInput(text, &frames, &error)) << error;
  ASSERT_FALSE(frames.empty());

  ASSERT_TRUE(episode::StartSilent(stage, &dir_));
  const int livesAtStart = lives;
  const episode::StageRun run = episode::PlayFrames(frames);
  EXPECT_TRUE(run.finished) << run.error;
  EXPECT_FALSE(run.lifeLost) << run.error;
  EXPECT_EQ(lives, livesAtStart);
  EXPECT_EQ(currentStage, stage);
  // The route was recorded up to the finishing frame.
  EXPECT_EQ(run.finishFrame, static_cast<int>(frames.size()));
  RecordProperty("frames", run.finishFrame);
  std::printf("stage %d finished on frame %d (%.1f s of play)\n", stage, run.finishFrame, run.finishFrame * 0.016);
}

INSTANTIATE_TEST_SUITE_P(Episode, StageRoute, ::testing::Range(1, episode::kEpisodeStages + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Stage" + std::to_string(info.param);
                         });

}  // namespace
