// The whole game, headless, driven by keys: a stage file written by the test,
// walked from the start over a wall to the key and the exit.
#include "unit/world/world_fixture.h"

#include "game/game_state.h"
#include "gameplay/items.h"
#include "harness/harness.h"

namespace {

// '#' solid, '@' start, 'k' key, 'D' exit door.
std::vector<uint8_t> StagePak(const std::vector<std::string>& rows) {
  std::vector<int32_t> codes;
  for (const std::string& row : rows)
    for (char c : row) codes.push_back(c == '#' ? 1 : c == '@' ? 180 : c == 'k' ? 182 : c == 'D' ? 189 : 0);
  return worldtest::PakBytes(int32_t(rows[0].size()), int32_t(rows.size()), codes);
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

  HarnessInput right, jumpRight;
  right.keys = {kHarnessKeyRight};
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
