// A whole stage in the running game: the hero falls from his start, lands on
// the floor, and the camera follows him.
#include "unit/world/world_fixture.h"

#include "game/game_state.h"
#include "gameplay/level_view.h"
#include "harness/harness.h"

namespace {

TEST(LevelViewStage, HeroFallsLandsAndIsFollowed) {
  ASSERT_TRUE(HarnessStart());
  constexpr int32_t w = 60, h = 40;
  int32_t kinds[216] = {};
  kinds[1] = 2;    // floor
  kinds[180] = 6;  // start
  ASSERT_TRUE(HarnessWriteTileKinds(kinds));
  std::vector<int32_t> codes(w * h, 0);  // a floor along the bottom, the start at (30, 5)
  for (int32_t x = 0; x < w; ++x) codes[(h - 1) * w + x] = 1;
  codes[5 * w + 30] = 180;
  ASSERT_TRUE(HarnessWriteFile("tarn/e1s1.pak", worldtest::PakBytes(w, h, codes)));
  ASSERT_TRUE(HarnessStartStage(1));
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
  EXPECT_EQ(cameraY, h * 32 - 600);                // followed down to the map's bottom
  EXPECT_NEAR(hero->x, 285.7f, 2.0f);              // and sideways into the dead zone
  EXPECT_NEAR(hero->x + float(cameraX), 960, 1.0f);  // he never moved sideways
  HarnessStop();
}

}  // namespace
