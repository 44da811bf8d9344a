// A whole stage in the running game: the hero falls from his start, lands on
// the floor, and the camera follows him.
#include <gtest/gtest.h>

#include <vector>

#include "game/game_context.h"
#include "game/game_state.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

TEST(LevelViewStage, HeroFallsLandsAndIsFollowed) {
  ASSERT_TRUE(HarnessStart());
  constexpr int32_t w = 60, h = 40;
  int32_t kinds[216] = {};
  kinds[1] = 2;    // floor
  kinds[180] = 6;  // start
  ASSERT_TRUE(HarnessWriteTileKinds(kinds));
  std::vector<uint8_t> pak;
  auto le32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) pak.push_back(uint8_t(v >> (8 * i)));
  };
  le32(w);
  le32(h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) le32(48u + (y == h - 1 ? 1u : (x == 30 && y == 5 ? 180u : 0u)));
  ASSERT_TRUE(HarnessWriteFile("tarn/e1s1.pak", pak));
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
