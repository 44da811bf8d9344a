// The hero on small stages: jumping, walking, ladders, hang bars, deadly
// tiles and the exit.
#include <algorithm>

#include "hero_stage.h"

namespace {

constexpr float kGroundY = 320.0f;  // standing on row 11 of Room()

class HeroTest : public GameplayStage {
 protected:
  void StartInRoom() {
    Map(Room());
    PutHero(5, 10);
    Frames(30);
    ASSERT_NEAR(hero->y, kGroundY, 1.0f);
  }
  // Rise above the ground over `total` frames with jump held for `held`.
  float Rise(int held, int total) {
    float top = hero->y;
    for (int i = 0; i < total; ++i) {
      Frame(i < held ? uint32_t{BitJump} : 0u);
      top = std::min(top, hero->y);
    }
    return kGroundY - top;
  }
};

TEST_F(HeroTest, HeldJumpRisesHigherThanATapAndDoesNotRepeatOnLanding) {
  StartInRoom();
  const float tap = Rise(1, 80);
  const float held = Rise(200, 200);  // still held long after landing
  EXPECT_NEAR(tap, 68.0f, 5.0f);
  EXPECT_GT(held, tap + 25.0f);
  EXPECT_NEAR(hero->y, kGroundY, 1.0f);
  Frame(0);  // released: the next press jumps
  Frames(2, BitJump);
  EXPECT_LT(hero->y, kGroundY - 1.0f);
}

TEST_F(HeroTest, LeftAndRightTogetherEndFacingRight) {
  StartInRoom();
  const float x = hero->x;
  Frame(BitLeft | BitRight);
  EXPECT_EQ(hero->x, x);
  EXPECT_EQ(hero->heading, HeadingRight);
  EXPECT_EQ(hero->animRow, kHeroRowWalkRight);
}

// The per-axis cap of every object's motion is the physics tests' concern.
TEST_F(HeroTest, LongFramesCapTheRunningStep) {
  StartInRoom();
  frameTimeMs = 100.0f;
  const float x = hero->x;
  Frame(BitRight | BitAction);
  EXPECT_EQ(hero->x - x, 16.0f);
}

TEST_F(HeroTest, HangsFromABarMovesAlongItAndJumpLetsGo) {
  auto rows = Room();
  rows[5] = "#..----------...........#";
  Map(rows);
  PutHero(4, 5);
  Frames(5);
  EXPECT_NEAR(hero->y, 160.0f, 1.0f);
  EXPECT_EQ(hero->animRow, kHeroRowHangRight);
  const float x = hero->x;
  Frames(20, BitRight);
  EXPECT_GT(hero->x, x + 50.0f);
  EXPECT_NEAR(hero->y, 160.0f, 1.0f);
  Frame(BitJump);  // in the air: the tile is recorded instead of a jump
  EXPECT_FALSE(barRelease.armed);
  EXPECT_EQ(barRelease.col, static_cast<int32_t>(hero->x / 32));
  EXPECT_EQ(barRelease.row, 5);
  EXPECT_GE(hero->vy, 0.0f);
  Frames(40);
  EXPECT_NEAR(hero->y, kGroundY, 1.0f);
  EXPECT_TRUE(barRelease.armed);
}

TEST_F(HeroTest, ClimbsALadderUpStandsOnItsTopAndClimbsDown) {
  auto rows = Room();
  for (int r = 7; r <= 10; ++r) rows[r][5] = 'H';
  rows[6] = "#....H#####.............#";
  Map(rows);
  PutHero(5, 10);
  Frames(60, BitUp);
  EXPECT_FALSE(hero->climbing);
  EXPECT_NEAR(hero->y, 160.0f, 1.0f);  // on the ladder's top
  Frames(20, BitRight);                  // and onto the upper floor
  EXPECT_NEAR(hero->y, 160.0f, 1.0f);
  Frames(20, BitLeft);
  Frames(60, BitDown);
  EXPECT_NEAR(hero->y, kGroundY, 2.0f);
}

TEST_F(HeroTest, DeadlyTileCostsALifeUnlessInvincible) {
  auto rows = Room();
  rows[10][5] = '^';
  Map(rows);
  PutHero(5, 8);
  GrantInvincible();
  Frames(40);
  EXPECT_EQ(gameState, Playing);
  ClearPowers();
  hero->y = 256.0f;
  Frames(40);
  EXPECT_EQ(gameState, LifeLost);
  EXPECT_TRUE(hero->dying);
}

TEST_F(HeroTest, ExitNeedsAKey) {
  auto rows = Room();
  rows[10][8] = 'E';
  Map(rows);
  PutHero(8, 10);
  Frames(5);
  EXPECT_FALSE(stageFinished);
  EXPECT_GT(hudFlash[HudKeys], 0.0f);
  keys = 1;
  Frame();
  EXPECT_TRUE(stageFinished);
}

}  // namespace
