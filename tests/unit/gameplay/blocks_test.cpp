// Blocks hit from below, the checkpoint, springs and moving platforms.
#include <algorithm>

#include "hero_stage.h"

namespace {

class BlocksTest : public GameplayStage {
 protected:
  // The hero's head hits the block at (col, row), as the physics pass reports it.
  void HitFromBelow(int32_t col, int32_t row) {
    lastProbe = {CodeAt(col, row), row * mapWidth + col, col * 32, row * 32};
    HitBlockFromBelow(hero);
  }
};

TEST_F(BlocksTest, BrickBumpsWithoutSuperAndBreaksWithIt) {
  auto rows = Room();
  rows[8][5] = 'B';
  Map(rows);
  PutHero(5, 10);
  Frames(30);
  Frame(BitJump);
  Frames(20);
  EXPECT_TRUE(bumpActive);
  EXPECT_EQ(bumpCell, 8 * 25 + 5);
  EXPECT_EQ(CodeAt(5, 8), kBrickCode);
  GrantPower(PowerSuper);
  Frames(30);
  Frame(BitJump);
  Frames(10);
  EXPECT_EQ(CodeAt(5, 8), 0);
  EXPECT_EQ(CountType(BrickChip), 4);
}

TEST_F(BlocksTest, SuperBlockGivesABonusEveryHitOneUseBlocksEmptyAndCellZeroNeverBumps) {
  auto rows = Room();
  rows[8][5] = 'S';
  rows[8][7] = 'L';
  rows[0][0] = 'B';
  Map(rows);
  PutHero(5, 9);
  for (int i = 0; i < 3; ++i) HitFromBelow(5, 8);
  EXPECT_EQ(CountType(SuperBonus), 3);
  EXPECT_EQ(CodeAt(5, 8), kSuperBlockCode);
  EXPECT_LT(objectList->vy, -3.9f);  // at the head of the list, flying up
  HitFromBelow(7, 8);
  EXPECT_EQ(CodeAt(7, 8), 0);
  EXPECT_EQ(objectList->type, LifeBonus);
  bumpActive = false;
  HitFromBelow(0, 0);
  EXPECT_FALSE(bumpActive);
}

TEST_F(BlocksTest, CheckpointMovesTheRestartPointAndSurvivesALostLife) {
  auto rows = Room();
  rows[8][12] = 'C';
  Map(rows);
  PutHero(12, 9);
  hero->x += 3.0f;
  HitFromBelow(12, 8);
  EXPECT_EQ(CodeAt(12, 8), 0);
  ASSERT_TRUE(checkpointSet);
  EXPECT_EQ(checkpointX, 12 * 32 + 3);
  LoseLife();
  StartStage();
  EXPECT_TRUE(checkpointSet);
  EXPECT_EQ(static_cast<int32_t>(hero->x) + cameraX, 12 * 32 + 3);
  EXPECT_EQ(static_cast<int32_t>(hero->y) + cameraY, 9 * 32);
}

TEST_F(BlocksTest, SpringBouncesTheHeroToItsFullHeight) {
  Map(Room());
  Put(Spring, 5 * 32, 10 * 32 - 1);
  PutHero(5, 10);
  float top = hero->y;
  for (int i = 0; i < 60; ++i) {
    Frame();
    top = std::min(top, hero->y);
  }
  EXPECT_NEAR(320.0f - top, 207.0f, 10.0f);
}

TEST_F(BlocksTest, SuccessiveOrbitPlatformsStartInOppositeDirectionsAndCircle) {
  GameObject* a = Put(Platform, 300, 100);
  GameObject* b = Put(Platform, 500, 100);
  a->subtype = b->subtype = kPlatformOrbit;
  ResetOrbitPlatforms();
  OrbitPlatform(a);
  OrbitPlatform(b);
  EXPECT_GT(a->x, 300.0f);
  EXPECT_LT(b->x, 500.0f);
  for (int i = 0; i < 785; ++i) OrbitPlatform(a);  // one turn in about 12.6 s
  EXPECT_NEAR(a->x, 300.0f, 2.0f);
  EXPECT_NEAR(a->y, 100.0f, 2.0f);
}

TEST_F(BlocksTest, ShuttleCarriesTheHeroUntilAWallStopsHim) {
  auto rows = Room();
  rows[5][14] = '#';  // in the rider's row, above the platform's
  Map(rows);
  GameObject* p = Put(Platform, 200, 192);
  p->subtype = kPlatformShuttle;
  PutHero(7, 4);
  for (int i = 0; i < 60 && !hero->riding; ++i) Frame();
  ASSERT_TRUE(hero->riding);
  const float x = hero->x;
  const float px = p->x;
  Frames(40);
  EXPECT_NEAR(hero->x - x, p->x - px, 0.01f);
  Frames(250);
  EXPECT_LE(hero->x + 28.0f, 14 * 32 + 1.0f);
  EXPECT_FALSE(hero->riding);  // left behind
}

TEST_F(BlocksTest, LandingOnAPlatformNeedsComingFromAbove) {
  GameObject* h = Put(Hero, 100, 90);
  GameObject* p = Put(Platform, 90, 100);
  h->vy = 1.0f;
  PlatformContact(h, p);  // feet inside the platform, never seen above it
  EXPECT_FALSE(h->riding);
  h->y = 60.0f;
  PlatformContact(h, p);
  h->y = 74.0f;
  PlatformContact(h, p);
  EXPECT_TRUE(h->riding && p->riding);
  EXPECT_EQ(h->y, 69.0f);
}

}  // namespace
