// Level drawing and the camera.
#include "unit/world/world_fixture.h"

#include "unit/game/drawing_recorder.h"

#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "world/editor.h"

using namespace worldtest;

namespace {

class LevelView : public StageFolderTest {
 protected:
  void SetUp() override {
    StageFolderTest::SetUp();
    tileKinds[1] = Solid;
    tileKinds[180] = StartMark;
    tileKinds[181] = FruitMark;
    tileKinds[189] = ExitDoor;
    saved_[0] = tileSheetSurface;
    saved_[1] = spritesSurface;
    tileSheetSurface = &sheet_;
    spritesSurface = &sprites_;
    mapReady = 1;
    currentStage = 1;
    keys = 0;
    powerState = PowerState{};
    editorMode = false;
    ResetCamera();
  }
  void TearDown() override {
    tileSheetSurface = saved_[0];
    spritesSurface = saved_[1];
    StageFolderTest::TearDown();
  }
  RecordingGraphic sheet_, sprites_;
  KGraphic* saved_[2] = {};
};

TEST_F(LevelView, DrawsOnlyCellsOfTheMapThatAreOnScreen) {
  Map(3, 2, 1);
  DrawLevel(0, 0);
  EXPECT_EQ(sheet_.calls.size(), 6u);  // a narrow map: only its own cells
  Map(60, 40, 1);
  sheet_.calls.clear();
  DrawLevel(40, 40);
  EXPECT_EQ(sheet_.calls.size(), 26u * 20u);  // the 21st row starts below the screen
  sheet_.calls.clear();
  DrawLevel(60 * 32 - 800, 40 * 32 - 600);  // the far corner: nothing past the map
  EXPECT_EQ(sheet_.calls.size(), 25u * 19u);
}

TEST_F(LevelView, MarkersStartDoorFlowersAndPlumBlocks) {
  Map(40, 1);
  const int32_t codes[] = {180, 181, 189, 143, 144};  // 143: flower 5
  for (int32_t i = 0; i < 5; ++i) Put(i, 0, codes[i]);
  Put(30, 0, 144);
  DrawLevel(0, 0);
  ASSERT_EQ(sheet_.calls.size(), 2u);  // the door (no key held) and the plum block
  EXPECT_EQ(sheet_.calls[0].dx, 64);
  ASSERT_EQ(sprites_.calls.size(), 1u);
  EXPECT_EQ(sprites_.calls[0].sy1, 805);
  EXPECT_EQ(sprites_.calls[0].dx, 96 - 24);
  keys = 1;
  powerState.plumFlag = true;
  DrawLevel(0, 0);
  DrawLevel(0, 0);
  ASSERT_NE(FindObject(ExitPortal, 1), nullptr);  // one portal in place of the door
  EXPECT_EQ(FindObject(ExitPortal, 2), nullptr);
  EXPECT_FLOAT_EQ(FindObject(ExitPortal, 1)->spawnX, 64);
  EXPECT_EQ(CellCodeAt(4, 0), 162);   // swapped in view
  EXPECT_EQ(CellCodeAt(30, 0), 144);  // never visited
}

TEST_F(LevelView, BumpRisesTwelveAndSettlesIn300Ms) {
  Map(3, 3, 1);
  StartBumpAt(0);
  EXPECT_FALSE(bumpActive);  // the first cell never bumps
  StartBumpAt(4);
  frameTimeMs = 100.0f;
  int32_t dx, dy, seen[4];
  BumpOffset(dx, dy, 3);
  EXPECT_EQ(dy, 0);
  for (int32_t& s : seen) BumpOffset(dx, s, 4);
  EXPECT_EQ(seen[0], -12);
  EXPECT_EQ(seen[1], -8);
  EXPECT_EQ(seen[3], 0);
  EXPECT_FALSE(bumpActive);
  StartBumpAt(4);
  Map(3, 3, 1);  // a bump of a replaced map is dropped
  BumpOffset(dx, dy, 4);
  EXPECT_EQ(dy, 0);
}

TEST_F(LevelView, ScrollingKeepsRemaindersAndShiftsObjects) {
  Map(50, 30);
  GameObject* fruit = CreateObject(Fruit, 400, 300, 0, 0, false);
  GameObject* key = CreateObject(Key, 10, 10, 0, 0, false);
  key->hudBound = 1;
  ScrollRight(0.75f);
  ScrollRight(0.75f);
  EXPECT_EQ(cameraX, 1);
  EXPECT_FLOAT_EQ(scrollRemainderX, 0.5f);
  EXPECT_FLOAT_EQ(fruit->x, 399);
  EXPECT_FLOAT_EQ(key->x, 10);  // a key flying to the HUD stays put
  runFlag = true;
  ScrollRight(2.0f);  // 3 pixels while running
  EXPECT_EQ(cameraX, 4);
  runFlag = false;
  cameraX = 800;  // the right end: nothing changes, not even the remainder
  ScrollRight(10.0f);
  EXPECT_EQ(cameraX, 800);
  EXPECT_FLOAT_EQ(scrollRemainderX, 0.5f);
  cameraX = 3;
  const float before = fruit->x;
  ScrollLeft(10.0f);  // stops at 0, moving only what was left
  EXPECT_EQ(cameraX, 0);
  EXPECT_FLOAT_EQ(fruit->x, before + 3);
  ScrollDown(1e30f);  // absurd amounts stay in range and do not stick
  EXPECT_EQ(cameraY, 30 * 32 - 600);
  ScrollUp(2.0f);
  EXPECT_LT(cameraY, 30 * 32 - 600);
}

TEST_F(LevelView, FollowingHasDeadZonesAndFollowsFallsFaster) {
  Map(100, 100);
  cameraX = cameraY = 1000;
  GameObject* hero = CreateObject(Hero, 270, 300, 0, 0, false);
  FollowHeroX(hero);
  FollowHeroY(hero);
  EXPECT_EQ(cameraX + cameraY, 2000);  // inside both dead zones
  hero->x = 385.7143f;  // 100 right of the zone: 16 ms x 100 x 0.002 = 3.2
  hero->y = 410;        // 100 below: 9.6
  FollowHeroX(hero);
  FollowHeroY(hero);
  EXPECT_EQ(cameraX, 1003);
  EXPECT_EQ(cameraY, 1009);
}

TEST_F(LevelView, FlowersSwellNearTheHero) {
  GameObject* hero = CreateObject(Hero, 100, 100, 0, 0, false);
  hero->frameW = hero->frameH = 32;
  gameState = Paused;  // keeps the swing still
  flowerOffset = 0.0;
  DrawFlower(0, 116, 116);  // on the hero's centre
  DrawFlower(1, 316, 116);  // 200 away
  DrawFlower(9, 0, 0);      // unknown kind: nothing
  ASSERT_EQ(sprites_.calls.size(), 2u);
  EXPECT_NEAR(sprites_.calls[0].zoom, 2.0f, 1e-4);
  EXPECT_NEAR(sprites_.calls[0].angle, 5.0f, 1e-3);
  EXPECT_FLOAT_EQ(sprites_.calls[1].zoom, 1.0f);
}

TEST_F(LevelView, HeroBelowThePlayfieldLosesALife) {
  Map(30, 19);
  GameObject* fruit = CreateObject(Fruit, 10, 10, 0, 0, false);
  GameObject* hero = CreateObject(Hero, 100, 700, 0, 0, false);
  hero->frameW = hero->frameH = fruit->frameW = fruit->frameH = 32;
  EXPECT_FALSE(DrawObjects());
  EXPECT_EQ(gameState, LifeLost);
  EXPECT_TRUE(sprites_.calls.empty());  // the pass stopped at the hero
  EXPECT_TRUE(DrawObjects());
  EXPECT_EQ(sprites_.calls.back().dx, 10);
}

}  // namespace
