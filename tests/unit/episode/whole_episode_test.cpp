// The whole episode in one run, the way a player goes through it: the main
// menu, the curtain, the twenty stages on their routes with the score tally
// between them, and the ending; the progress file then records every stage.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "game/config_file.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "harness/harness.h"
#include "unit/episode/route_driver.h"

namespace {

constexpr int kMenuFrames = 400;        // the play curtain closes and holds
constexpr int kTallyWaitFrames = 3000;  // the curtain closes and the finish tune ends
constexpr int kEndingFrames = 950;      // the ending runs its 14 s

HarnessInput Enter() {
  HarnessInput in;
  in.keys = {kHarnessKeyEnter};
  return in;
}

class WholeEpisode : public ::testing::Test {
 protected:
  void TearDown() override {
    HarnessStop();
    episode::RemoveDataDir(dir_);
  }
  std::string dir_;
};

TEST_F(WholeEpisode, FromTheMenuToTheEnding) {
  REQUIRE_GAME_DATA();
  std::vector<std::vector<HarnessInput>> routes(episode::kEpisodeStages + 1);
  for (int stage = 1; stage <= episode::kEpisodeStages; ++stage) {
    std::string text, error;
    ASSERT_TRUE(episode::ReadTextFile(episode::RoutePath(stage), &text)) << episode::RoutePath(stage);
    ASSERT_TRUE(HarnessParseInput(text, &routes[stage], &error)) << "stage " << stage << ": " << error;
  }
  ASSERT_TRUE(episode::StartSilent(0, &dir_));
  ASSERT_EQ(gameState, MainMenu);

  // Enter on the menu closes the curtain; the game starts behind it.
  HarnessFrame(Enter());
  ASSERT_TRUE(HarnessRunUntil([] { return gameState == Playing; }, kMenuFrames));
  const int livesAtStart = lives;

  for (int stage = 1; stage <= episode::kEpisodeStages; ++stage) {
    SCOPED_TRACE("stage " + std::to_string(stage));
    ASSERT_EQ(currentStage, stage);
    ASSERT_EQ(gameState, Playing);
    const episode::StageRun run = episode::PlayFrames(routes[stage]);
    ASSERT_TRUE(run.finished) << run.error;
    std::printf("stage %d finished, %lld frames since start-up, lives %d\n", stage,
                static_cast<long long>(HarnessFrameCount()), lives);
    if (stage < episode::kEpisodeStages) {
      // Curtain and tune, then the tally; Enter goes on to the next stage.
      ASSERT_TRUE(HarnessRunUntil([] { return gameState == LevelScore; }, kTallyWaitFrames));
      ASSERT_TRUE(HarnessRunUntil([] { return gameState == Playing; }, 10, Enter()));
    }
  }
  EXPECT_EQ(gameState, EpisodeEnd);
  EXPECT_EQ(editorUnlocked, 1);
  HarnessRunFrames(kEndingFrames);
  EXPECT_EQ(gameState, EpisodeEnd);  // the ending picture stays until Escape
  EXPECT_GE(lives, livesAtStart);    // no life lost, fruit may have added some
  HarnessStop();

  // Started again, the game reads back every stage as completed.
  for (int stage = 1; stage <= episode::kEpisodeStages; ++stage) stageStatus[1][stage] = 0;
  editorUnlocked = 0;
  HarnessOptions again;
  again.drawFrames = false;
  again.dataDir = dir_;
  ASSERT_TRUE(HarnessStart(again));
  for (int stage = 1; stage <= episode::kEpisodeStages; ++stage)
    EXPECT_NE(stageStatus[1][stage], 0) << "stage " << stage << " not recorded";
  EXPECT_EQ(editorUnlocked, 1);
}

}  // namespace
