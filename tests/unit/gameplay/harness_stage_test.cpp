// Whole stages in the headless game: a stage file written by the test, played
// frame by frame.
#include "unit/world/world_fixture.h"

#include "game/game_state.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "harness/harness.h"

namespace {

// Writes tile kinds and stage 1 drawn as text ('#' solid, '@' start, 'k' key,
// 'D' exit door) and starts it.
bool StartTextStage(const std::vector<std::string>& rows) {
  int32_t kinds[216] = {};
  kinds[1] = 2;     // solid
  kinds[180] = 6;   // start
  kinds[182] = 12;  // key
  kinds[189] = 4;   // exit door
  std::vector<int32_t> codes;
  for (const std::string& row : rows)
    for (char c : row) codes.push_back(c == '#' ? 1 : c == '@' ? 180 : c == 'k' ? 182 : c == 'D' ? 189 : 0);
  return HarnessStart() && HarnessWriteTileKinds(kinds) &&
         HarnessWriteFile("tarn/e1s1.pak", worldtest::PakBytes(int32_t(rows[0].size()), int32_t(rows.size()), codes)) &&
         HarnessStartStage(1);
}

TEST(HarnessStage, HeroFallsLandsAndIsFollowed) {
  constexpr int32_t w = 60, h = 40;
  std::vector<std::string> rows(h, std::string(w, '.'));
  rows[h - 1] = std::string(w, '#');
  rows[5][30] = '@';
  ASSERT_TRUE(StartTextStage(rows));
  GameObject* hero = FindObject(Hero, 1);
  ASSERT_NE(hero, nullptr);
  // Placed in whole tiles around the start tile.
  EXPECT_EQ(cameraX % 32, 0);
  EXPECT_FLOAT_EQ(hero->x + float(cameraX), 960);
  HarnessRunFrames(240);
  ASSERT_EQ(gameState, Playing);
  hero = FindObject(Hero, 1);
  ASSERT_NE(hero, nullptr);
  EXPECT_NEAR(hero->y + float(cameraY), (h - 2) * 32, 1.0f);  // standing on the floor
  EXPECT_FLOAT_EQ(hero->vy, 0.0f);
  EXPECT_EQ(cameraY, h * 32 - 600);                  // followed down to the map's bottom
  EXPECT_NEAR(hero->x, 285.7f, 2.0f);                // and sideways into the dead zone
  EXPECT_NEAR(hero->x + float(cameraX), 960, 1.0f);  // he never moved sideways
  HarnessStop();
}

TEST(HarnessStage, KeysWalkJumpOverAWallTakeTheKeyAndFinishTheStage) {
  std::vector<std::string> rows(19, "#.......................#");
  rows[17] = rows[18] = std::string(25, '#');
  rows[16] = "#.@...#...........k...D.#";
  rows[15] = "#.....#.................#";
  ASSERT_TRUE(StartTextStage(rows));
  HarnessInput right, jumpRight;
  right.keys = {kHarnessKeyRight};
  jumpRight.keys = {kHarnessKeyRight, kHarnessKeySpace};
  HarnessRunFrames(40, right);  // up to the wall
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
