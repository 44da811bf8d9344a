// The headless harness itself: start-up to the menu, frame stepping with a
// fixed frame time, scripted input and replays.
#include <gtest/gtest.h>

#include <cstdio>

#include "game/config_file.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
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

TEST_F(HarnessTest, ReplayDrivesTheMenuSelectorAndPointer) {
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

  ASSERT_TRUE(HarnessReplayText("mouse=900,123\n\n"));  // x is clamped to the screen
  GameObject* cursor = FindObject(Cursor, 1);
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->x, 762.0f);
  EXPECT_EQ(cursor->y, 123.0f);  // and stays put on the frame without a mouse move
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
