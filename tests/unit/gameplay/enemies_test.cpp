// Walkers: patrols, contact with the hero, the shake kill, and the guards
// against a dying enemy being killed again or hurting the hero.
#include "hero_stage.h"

namespace {

class EnemiesTest : public GameplayStage {};

TEST_F(EnemiesTest, WalkerBoxedInTurnsEveryUpdateAndStaysPut) {
  auto rows = Room();
  rows[10] = "#...#.#.................#";
  Map(rows);
  GameObject* w = Put(Walker, 5 * 32, 10 * 32);
  Frames(3);
  for (int i = 0; i < 10; ++i) {
    const int32_t heading = w->heading;
    Frame();
    EXPECT_NE(w->heading, heading);
    EXPECT_NEAR(w->x, 160.0f, 1.5f);
  }
}

TEST_F(EnemiesTest, WalkerTurnsAtALedgeBeforeItsBoxLeavesTheGround) {
  auto rows = Room();
  rows[11] = "#.....######............#";  // ground 192 .. 383
  Map(rows);
  GameObject* w = Put(SlowWalker, 8 * 32, 10 * 32);
  Frames(3);
  const float y = w->y;
  int turns = 0;
  for (int i = 0; i < 1200; ++i) {
    const int32_t heading = w->heading;
    Frame();
    turns += heading != w->heading;
    ASSERT_LE(w->x + 1.0f, 383.0f);  // box x + 1 .. x + 31
    ASSERT_GE(w->x + 31.0f, 192.0f);
    ASSERT_EQ(w->y, y);
  }
  EXPECT_GE(turns, 3);
}

TEST_F(EnemiesTest, FrozenEnemyNeitherHurtsNorDies) {
  Map(Room());
  PutHero(5, 10);
  GameObject* w = Put(Walker, 5 * 32, 10 * 32);
  GrantPower(PowerFreeze);
  UpdatePowerFlags();
  Frames(20);
  EXPECT_EQ(gameState, Playing);
  EXPECT_FALSE(w->dying);
  EXPECT_EQ(w->x, 160.0f);
}

TEST_F(EnemiesTest, StompBouncesTheHeroAndFlipsTheEnemyAwayOnce) {
  Map(Room());
  GameObject* h = PutHero(5, 9);
  GameObject* w = Put(Walker, 5 * 32, 10 * 32);
  h->y = 295.0f;
  h->vy = 2.0f;
  EXPECT_TRUE(HeroEnemyContact(h, w, 20, 30));
  EXPECT_FLOAT_EQ(h->vy, -4.824f);
  EXPECT_FLOAT_EQ(w->vy, -5.76f);
  EXPECT_TRUE(w->dying);
  EXPECT_EQ(CountType(EnemyPoof), 1);
  KillEnemy(w);  // the bomb and the hero in one update: counted once
  EXPECT_EQ(enemiesKilled, 1);
  EXPECT_EQ(CountType(EnemyPoof), 1);
  h->y = w->y;  // a dying enemy never hurts
  h->vy = 0.0f;
  HeroEnemyContact(h, w, 20, 30);
  EXPECT_EQ(gameState, Playing);
}

TEST_F(EnemiesTest, HurtsOnceThenWaitsTwoSeconds) {
  Map(Room());
  GameObject* h = PutHero(5, 10);
  GameObject* w = Put(Walker, 5 * 32, 10 * 32);
  UpdateEnemies();
  EXPECT_EQ(gameState, LifeLost);
  EXPECT_EQ(w->hitCooldown, 2000.0f);
  gameState = Playing;
  h->dying = 0;
  frameTimeMs = 1999.0f;
  UpdateEnemies();
  EXPECT_EQ(gameState, Playing);
  frameTimeMs = 1.0f;
  UpdateEnemies();
  EXPECT_EQ(gameState, LifeLost);
}

TEST_F(EnemiesTest, InvincibleContactUsesOneChargePerKillAndNoChargesEndEveryPower) {
  Map(Room());
  GameObject* h = PutHero(5, 10);
  GrantInvincible();
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(HeroEnemyContact(h, Put(Walker, 5 * 32, 10 * 32), 20, 30));
    EXPECT_EQ(powerState.powerCharges, 5 - i);
  }
  EXPECT_EQ(enemiesKilled, 6);
  UpdatePowerOrbit(h);
  EXPECT_EQ(powerState.invincibleMs, 0.0f);
}

TEST_F(EnemiesTest, ShakeKillsOnlyEnemiesWhoseCornerIsOnScreen) {
  Map(Room());
  GameObject* inside = Put(Walker, 100, 100);
  GameObject* left = Put(Walker, -5, 100);
  GameObject* above = Put(SlowWalker, 100, -5);
  shakeTimerMs = 300.0f;
  UpdateEnemies();
  EXPECT_TRUE(inside->dying);
  EXPECT_FLOAT_EQ(inside->vy, -5.76f);
  EXPECT_FALSE(left->dying);
  EXPECT_FALSE(above->dying);
}

}  // namespace
