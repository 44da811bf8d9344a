// The headless harness itself: start-up to the menu, frame stepping with a
// fixed frame time, scripted input and replays.
#include <gtest/gtest.h>

#include <cstdio>

#include "game/config_file.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "game/random.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

class HarnessTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(HarnessStart()); }
  void TearDown() override { HarnessStop(); }
};

TEST_F(HarnessTest, ParsesAndFormatsRecordedInput) {
  std::vector<HarnessInput> frames;
  std::string error;
  ASSERT_TRUE(HarnessParseInput("Right Space *3\n\n# comment only\nmouse=10,20,L k40 # note\n",
                                &frames, &error))
      << error;
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(frames[0].keys, (std::vector<int>{3, 4}));
  EXPECT_EQ(frames[2].keys, (std::vector<int>{3, 4}));
  EXPECT_TRUE(frames[3].keys.empty());
  EXPECT_TRUE(frames[4].mouseSet);
  EXPECT_EQ(frames[4].mouseX, 10);
  EXPECT_EQ(frames[4].mouseY, 20);
  EXPECT_TRUE(frames[4].mouseLeft);
  EXPECT_EQ(frames[4].keys, (std::vector<int>{40}));
  EXPECT_EQ(HarnessFormatInput(frames[4]), "P mouse=10,20,L");

  std::vector<HarnessInput> again;
  ASSERT_TRUE(HarnessParseInput(HarnessFormatInput(frames[0]), &again));
  EXPECT_EQ(again[0].keys, frames[0].keys);

  for (const char* bad : {"Jump", "*0", "*x", "mouse=1", "mouse=1,2,Q", "k100", "k-1"}) {
    EXPECT_FALSE(HarnessParseInput(bad, &frames, &error)) << bad;
  }
}

TEST_F(HarnessTest, ReplayDrivesTheMenuSelector) {
  // Unlock stages 1..3 so the selector can move.
  stageStatus[1][1] = 1;
  stageStatus[1][2] = 1;
  EnterMainMenu();
  ASSERT_EQ(highestPlayableStage[1], 3);
  int ran = 0;
  EXPECT_TRUE(HarnessReplayText("Right\n\nRight\n\nRight\n\nLeft\n", &ran));
  EXPECT_EQ(ran, 7);
  EXPECT_EQ(currentStage, 2);  // 1 -> 2 -> 3 (not above 3) -> 2
  EXPECT_EQ(HarnessRecordedInput(), "Right\n\nRight\n\nRight\n\nLeft\n");
}

TEST_F(HarnessTest, MouseMovesTheMenuPointerAndThenStaysPut) {
  ASSERT_TRUE(HarnessReplayText("mouse=900,123\n\n"));  // x is clamped to the screen
  GameObject* cursor = FindObject(Cursor, 1);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->x, 762.0f);
  EXPECT_EQ(cursor->y, 123.0f);
}

// On the build tree's generated data (skipped when the build has none).
TEST(HarnessGameDataTest, RunsTheMenuOnTheGeneratedData) {
  std::FILE* archive = std::fopen("data.dat", "rb");
  if (!archive) GTEST_SKIP() << "no generated data beside the tests";
  std::fclose(archive);
  HarnessOptions options;
  options.useGameData = true;
  ASSERT_TRUE(HarnessStart(options));
  EXPECT_EQ(gameState, MainMenu);
  EXPECT_NE(spritesSurface, nullptr);
  EXPECT_NE(backgroundSurface, nullptr);
  EXPECT_EQ(HarnessRunFrames(3), 3);
  HarnessStop();
}

TEST(HarnessLifecycleTest, ARecordedRunReplaysExactly) {
  const std::vector<std::string> stage = {
      "", "", "", "", "", "", "", "", "", "", "", "", "", "",
      "                    ##   ",
      "          f  w           ",
      "   S     ###        f    ",
      "#########################",
  };
  float endX[2] = {}, endY[2] = {};
  uint32_t endRandom[2] = {};
  std::string recording;
  for (int run = 0; run < 2; ++run) {
    ASSERT_TRUE(HarnessStart());
    ASSERT_TRUE(HarnessWriteStage(1, stage));
    ASSERT_TRUE(HarnessStartStage(1));
    if (run == 0) {
      HarnessInput right, jump;
      right.keys = {kHarnessKeyRight};
      jump.keys = {kHarnessKeyRight, kHarnessKeySpace};
      HarnessRunFrames(30, right);
      HarnessRunFrames(10, jump);
      HarnessRunFrames(20);
      recording = HarnessRecordedInput();
    } else {
      int ran = 0;
      ASSERT_TRUE(HarnessReplayText(recording, &ran));
      EXPECT_EQ(ran, 60);
    }
    GameObject* hero = FindObject(Hero, 1);
    ASSERT_NE(hero, nullptr);
    endX[run] = hero->x + static_cast<float>(cameraX);
    endY[run] = hero->y + static_cast<float>(cameraY);
    endRandom[run] = randomState;
    HarnessStop();
  }
  EXPECT_GT(endX[0], 3 * 32.0f);  // the hero did move
  EXPECT_EQ(endX[0], endX[1]);
  EXPECT_EQ(endY[0], endY[1]);
  EXPECT_EQ(endRandom[0], endRandom[1]);
}

TEST(HarnessLifecycleTest, StopsCleanlyAndStartsAgain) {
  HarnessStop();  // not running: nothing happens
  EXPECT_FALSE(HarnessRunning());
  EXPECT_FALSE(HarnessFrame());
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(HarnessStart());
    const std::string dir = HarnessDataDir();
    EXPECT_TRUE(HarnessRunning());
    EXPECT_EQ(gameState, MainMenu);
    EXPECT_EQ(HarnessRunFrames(2), 2);
    EXPECT_EQ(HarnessFrameCount(), 2);
    EXPECT_EQ(frameTimeMs, 16.0f);  // fixed, not measured
    HarnessStop();
    std::FILE* left = std::fopen((dir + "/sprites.bmp").c_str(), "rb");
    EXPECT_EQ(left, nullptr);  // the folder the harness made is gone
    if (left) std::fclose(left);
  }
}

}  // namespace
