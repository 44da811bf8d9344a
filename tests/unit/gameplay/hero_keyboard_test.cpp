// The whole game, headless, driven by keys: a stage file written by the test,
// walked from the start over a wall to the key and the exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_context.h"
#include "game/game_state.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

// '#' solid, '@' start, 'k' key, 'D' exit door.
std::vector<uint8_t> StagePak(const std::vector<std::string>& rows) {
  std::vector<uint8_t> bytes;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(static_cast<uint32_t>(rows[0].size()));
  put32(static_cast<uint32_t>(rows.size()));
  for (const std::string& row : rows) {
    for (char c : row) {
      const uint32_t code = c == '#' ? 1 : c == '@' ? 180 : c == 'k' ? 182 : c == 'D' ? 189 : 0;
      put32(code + 48);
    }
  }
  return bytes;
}

TEST(HeroKeyboard, WalksJumpsOverAWallTakesTheKeyAndFinishesTheStage) {
  ASSERT_TRUE(HarnessStart());
  int32_t kinds[216] = {};
  kinds[1] = 2;      // solid
  kinds[180] = 6;    // start
  kinds[182] = 12;   // key
  kinds[189] = 4;    // exit door
  ASSERT_TRUE(HarnessWriteTileKinds(kinds));
  std::vector<std::string> rows(19, "#.......................#");
  rows[17] = rows[18] = std::string(25, '#');
  rows[16] = "#.@...#...........k...D.#";
  rows[15] = "#.....#.................#";
  ASSERT_TRUE(HarnessWriteFile("tarn/e1s1.pak", StagePak(rows)));
  ASSERT_TRUE(HarnessStartStage(1));

  HarnessInput right;
  right.keys = {kHarnessKeyRight};
  HarnessInput jumpRight;
  jumpRight.keys = {kHarnessKeyRight, kHarnessKeySpace};
  HarnessRunFrames(40, right);      // up to the wall
  GameObject* hero = FindObject(Hero, 1);
  ASSERT_NE(hero, nullptr);
  const float stuck = hero->x;
  HarnessRunFrames(10, right);
  EXPECT_EQ(hero->x, stuck);        // the wall holds him
  HarnessRunFrames(40, jumpRight);  // a held jump clears it
  EXPECT_GT(hero->x, stuck + 64.0f);
  EXPECT_EQ(gameState, Playing);
  EXPECT_TRUE(HarnessRunUntil([] { return stageFinished; }, 300, right));
  EXPECT_EQ(keys, 1);
  HarnessStop();
}

}  // namespace
