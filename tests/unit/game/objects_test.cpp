// The object list and the animation step.
#include <gtest/gtest.h>

#include "game/game_context.h"
#include "game/random.h"
#include "gameplay/hero.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

class ObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DestroyAllObjects();
    gameState = Playing;
    frameTimeMs = 16.0f;
    runFlag = false;
    SeedRandom(1);
  }
  void TearDown() override { DestroyAllObjects(); }

  // One frame step per call: the frame time exceeds the delay.
  static void Steps(int steps, int32_t delayMs) {
    float saved = frameTimeMs;
    frameTimeMs = static_cast<float>(delayMs) + 1.0f;
    for (int i = 0; i < steps; ++i) AnimateObjects();
    frameTimeMs = saved;
  }
};

TEST_F(ObjectsTest, ListCreateFindAndDestroy) {
  GameObject* a = CreateObject(Walker, 10, 20, 1.5f, -2.0f, false);
  ASSERT_NE(a, nullptr);
  GameObject* b = CreateObject(Key, 0, 0, 0, 0, false);
  EXPECT_EQ(objectList, b);  // prepended: runs first
  EXPECT_EQ(b->next, a);
  // Appending to a non-empty list answers the head, not the new record.
  EXPECT_EQ(CreateObject(Dust, 1, 1, 0, 0, true), b);
  EXPECT_EQ(a->next->type, static_cast<uint32_t>(Dust));
  GameObject* w1 = CreateObject(Walker, 1, 0, 0, 0, false);
  // Find counts from one; 0 and below mean the first.
  for (int n : {-5, 0, 1}) EXPECT_EQ(FindObject(Walker, n), w1);
  EXPECT_EQ(FindObject(Walker, 2), a);
  EXPECT_EQ(FindObject(Walker, 3), nullptr);
  EXPECT_EQ(FindObject(Hero, 1), nullptr);

  GameObject outsider{};
  DestroyObject(&outsider);  // not in the list: nothing happens
  DestroyObject(nullptr);
  DestroyObject(b);  // the middle
  EXPECT_EQ(w1->next, a);
  DestroyObject(a->next);  // the tail
  EXPECT_EQ(a->next, nullptr);
  DestroyObject(w1);  // the head
  EXPECT_EQ(objectList, a);
  DestroyAllObjects();
  GameObject* only = CreateObject(Dust, 1, 1, 0, 0, true);
  EXPECT_EQ(only, objectList);  // an empty list answers the new record
}

TEST_F(ObjectsTest, PurgeFreesMarkedRecordsAnywhereInTheList) {
  // Marked head, middle run and tail (ASan catches a read of a freed record).
  for (int i = 0; i < 7; ++i) CreateObject(Key, i, 0, 0, 0, true);
  int i = 0;
  for (GameObject* o = objectList; o; o = o->next, ++i) {
    o->removeMe = (i == 0 || i == 2 || i == 3 || i == 6) ? 1 : 0;
  }
  PurgeRemovedObjects();
  ASSERT_EQ(HarnessObjectCount(), 3);
  EXPECT_EQ(objectList->x, 1.0f);
  EXPECT_EQ(objectList->next->x, 4.0f);
  EXPECT_EQ(objectList->next->next->x, 5.0f);

  for (GameObject* o = objectList; o; o = o->next) o->removeMe = 1;
  PurgeRemovedObjects();
  EXPECT_EQ(objectList, nullptr);
}

TEST_F(ObjectsTest, FrameAdvancesOnlyWhenTheTimerExceedsTheDelay) {
  GameObject* w = CreateObject(Walker, 0, 0, 0, 0, false);  // delay 45
  frameTimeMs = 15.0f;
  for (int i = 0; i < 3; ++i) AnimateObjects();  // 45: not strictly greater
  EXPECT_EQ(w->frame, 0);
  AnimateObjects();  // 60 > 45
  EXPECT_EQ(w->frame, 1);
  EXPECT_EQ(w->srcX, 2 + 32);
  w->animRow = 1;
  AnimateObjects();
  EXPECT_EQ(w->srcY, 514 + 32);
}

TEST_F(ObjectsTest, StripsLoopHoldOrRemoveThemselvesAtTheirEnd) {
  GameObject* dust = CreateObject(Dust, 0, 0, 0, 0, false);          // 9 frames, loops
  GameObject* portal = CreateObject(ExitPortal, 0, 0, 0, 0, false);  // 7 frames, one-shot
  GameObject* blast = CreateObject(DigBlast, 5, 6, 0, 0, false);     // 25 frames, then gone
  Steps(9, 80);
  EXPECT_EQ(dust->frame, 0);
  EXPECT_EQ(portal->frame, 6);  // stays on its seventh frame
  Steps(15, 80);
  EXPECT_EQ(portal->srcX, 137 + 6 * 32);
  EXPECT_EQ(blast->frame, 24);
  EXPECT_EQ(blast->removeMe, 0);
  Steps(1, 80);
  EXPECT_EQ(blast->removeMe, 1);
}

TEST_F(ObjectsTest, NothingAnimatesWhilePausedAndUnknownCodesAreSkipped) {
  GameObject* w = CreateObject(Walker, 0, 0, 0, 0, false);
  GameObject* odd = CreateObject(7, 0, 0, 0, 0, false);
  GameObject* high = CreateObject(200, 0, 0, 0, 0, false);
  gameState = Paused;
  Steps(3, 45);
  EXPECT_EQ(w->frameTimer, 0.0f);
  gameState = Playing;
  Steps(3, 60);
  EXPECT_EQ(w->frame, 3);
  EXPECT_EQ(odd->frameTimer, 0.0f);
  EXPECT_EQ(high->frameTimer, 0.0f);
  EXPECT_EQ(odd->srcX, 0);
}

TEST_F(ObjectsTest, HeroStripsPlayBackwardsExceptWalkingLeft) {
  GameObject* hero = CreateObject(Hero, 0, 0, 0, 0, false);
  frameTimeMs = 0.0f;  // hold frame 3
  hero->frame = 3;
  hero->heading = 1;  // walking left: forward
  hero->animRow = 1;
  AnimateObjects();
  EXPECT_EQ(hero->srcX, 2 + 3 * 32);
  EXPECT_EQ(hero->srcY, 250 + 32);
  for (int heading : {0, 2, 4, 5, 6}) {
    hero->heading = heading;
    AnimateObjects();
    EXPECT_EQ(hero->srcX, 2 + (16 - 3 - 1) * 32) << "heading " << heading;
  }
}

TEST_F(ObjectsTest, SpringPlaysSevenFramesOnceThenRests) {
  GameObject* spring = CreateObject(Spring, 0, 0, 0, 0, false);
  Steps(1, 40);
  EXPECT_EQ(spring->frame, 0);  // at rest: one frame
  spring->springActive = 1;
  spring->frame = 1;
  Steps(5, 40);
  EXPECT_EQ(spring->frame, 6);
  EXPECT_EQ(spring->springActive, 1);
  Steps(1, 40);  // the step past the last frame ends the bounce
  EXPECT_EQ(spring->springActive, 0);
  Steps(1, 40);
  EXPECT_EQ(spring->frame, 0);
}

TEST_F(ObjectsTest, BombForcedPastItsStripExplodesAtItsNextFrameStep) {
  // No stage is loaded, so the explosion itself opens nothing.
  GameObject* bomb = CreateObject(DigBomb, 40, 70, 0, 0, false);
  bomb->x = 40.7f;
  bomb->frame = 25;
  frameTimeMs = 10.0f;  // no frame step yet
  AnimateObjects();
  EXPECT_EQ(bomb->removeMe, 0);
  EXPECT_EQ(HarnessObjectCount(), 1);
  frameTimeMs = 31.0f;  // 41 > 40: the step to 26 is past the last frame
  AnimateObjects();
  EXPECT_EQ(bomb->removeMe, 1);
  EXPECT_EQ(bomb->frame, 24);
  GameObject* blast = FindObject(DigBlast, 1);
  ASSERT_NE(blast, nullptr);
  EXPECT_EQ(bomb->next, blast);  // appended
  EXPECT_EQ(blast->x, 40.0f);    // at the bomb's integer position
  PurgeRemovedObjects();
  EXPECT_EQ(objectList, blast);
}

}  // namespace
