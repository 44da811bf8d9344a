// Pickups flying to the HUD, the powers with their timers and charges, the
// dig bomb with its hole and shake.
#include <cmath>

#include "hero_stage.h"

namespace {

class ItemsTest : public GameplayStage {};

TEST_F(ItemsTest, PickupsCountOnArrivalAndTheHundredthFruitGivesALife) {
  Map(Room());
  PutHero(5, 10);
  Frames(30);
  Put(Fruit, 5 * 32, 10 * 32);
  Put(Key, 5 * 32, 10 * 32);
  fruitTowardLife = 99;
  Frame();
  EXPECT_EQ(fruitCount, 0);  // still flying
  EXPECT_EQ(keys, 0);
  Frames(60);
  EXPECT_EQ(CountType(Fruit) + CountType(Key), 0);
  EXPECT_EQ(fruitCount, 1);
  EXPECT_EQ(fruitTowardLife, 0);
  EXPECT_EQ(lives, 5);
  EXPECT_EQ(keys, 1);
}

TEST_F(ItemsTest, RisingBonusWaitsAndANewBonusReplacesThePowerAndItsCharges) {
  GameObject* h = Put(Hero, 100, 100);
  GrantPower(PowerSuperJump);
  EXPECT_EQ(powerState.powerCharges, 2);
  GameObject* b = Put(FreezeBonus, 100, 100);
  b->vy = -3.0f;
  HeroTouches(h);
  EXPECT_EQ(CountType(FreezeBonus), 1);
  b->vy = 0.0f;
  HeroTouches(h);
  EXPECT_EQ(CountType(FreezeBonus), 0);
  EXPECT_EQ(powerState.superJumpMs, 0.0f);
  EXPECT_EQ(powerState.freezeMs, 7000.0f);
  EXPECT_EQ(powerState.powerCharges, 6);
}

TEST_F(ItemsTest, DigBombOneAtATimeItsShakeKillsAndNoneWhileTheHoleIsOpen) {
  Map(Room());
  GameObject* h = PutHero(5, 10);
  GameObject* w = Put(Walker, 15 * 32, 10 * 32);
  Frames(30);
  GrantPower(PowerDig);
  UseAction(h);
  GrantPower(PowerDig);
  UseAction(h);  // the bomb exists
  EXPECT_EQ(CountType(DigBomb), 1);
  EXPECT_EQ(powerState.powerCharges, 1);
  Frames(80);  // fuse, blast, shake
  EXPECT_EQ(CountType(DigBomb), 0);
  ASSERT_TRUE(hole.open);
  EXPECT_TRUE(w->dying);
  UseAction(h);  // the hole is open
  EXPECT_EQ(CountType(DigBomb), 0);
}

TEST_F(ItemsTest, HoleClosesAfterFiveSecondsAndNeverOutlivesItsStage) {
  Map(Room());
  Explode(Put(DigBomb, 5 * 32, 10 * 32));
  ASSERT_TRUE(hole.open);
  EXPECT_EQ(shakeTimerMs, 300.0f);
  EXPECT_EQ(CodeAt(5, 11), 0);
  frameTimeMs = 2500.0f;
  UpdateHole();
  UpdateHole();
  EXPECT_TRUE(hole.open);
  UpdateHole();
  EXPECT_FALSE(hole.open);
  EXPECT_EQ(CodeAt(5, 11), 1);

  Explode(Put(DigBomb, 5 * 32, 10 * 32));
  auto rows = Room();
  rows[11][5] = 'B';
  Map(rows);  // another stage while the hole was open
  UpdateHole();
  UpdateHole();
  UpdateHole();
  EXPECT_FALSE(hole.open);
  EXPECT_EQ(CodeAt(5, 11), kBrickCode);
}

TEST_F(ItemsTest, BombOffTheMapExplodesQuietly) {
  Map(Room());
  Explode(Put(DigBomb, 5 * 32, 11 * 32 + 8));
  EXPECT_FALSE(hole.open);
  EXPECT_EQ(shakeTimerMs, 0.0f);
}

TEST_F(ItemsTest, OrbitSlowsBelow7000MsAndSurvivesZeroCharges) {
  GameObject* h = Put(Hero, 100, 100);
  auto spin = [&](float freezeMs, int32_t charges) {
    GrantPower(PowerFreeze);
    powerState.freezeMs = freezeMs + frameTimeMs;
    powerState.powerCharges = charges;
    h->angleA = 0.0f;
    UpdatePowerOrbit(h);
    return h->angleA;
  };
  const float full = spin(7000.0f, 6);
  EXPECT_FLOAT_EQ(spin(20000.0f, 6), full);
  EXPECT_NEAR(spin(3500.0f, 6) / full, 0.5f, 0.01f);
  EXPECT_TRUE(std::isfinite(spin(5000.0f, 0)));
  EXPECT_EQ(powerState.freezeMs, 0.0f);  // no charges: every power ends
}

}  // namespace
