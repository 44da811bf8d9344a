// Tile queries, probes, snapping, geometry and the physics pass.
#include "unit/world/world_fixture.h"

using namespace worldtest;

namespace {

constexpr int32_t kWall = 1, kLedge = 2, kLadder = 3, kBar = 4, kSpikes = 5;

class Physics : public StageFolderTest {
 protected:
  void SetUp() override {
    StageFolderTest::SetUp();
    const int32_t kinds[] = {Solid, Ledge, Ladder, HangBar, Deadly};
    for (int32_t i = 0; i < 5; ++i) tileKinds[kWall + i] = kinds[i];
    Map(10, 8);
  }
  static GameObject* Make(uint32_t type, float x, float y) {
    GameObject* o = CreateObject(int32_t(type), 0, 0, 0.0f, 0.0f, false);
    o->x = x;
    o->y = y;
    o->frameW = o->frameH = o->boxW = o->boxH = 32;
    return o;
  }
};

TEST_F(Physics, TilesOutsideTheMapAndTheRowWrap) {
  Put(0, 1, kWall);
  Put(9, 7, kLadder);
  EXPECT_EQ(TileAt(-1, 40), -1);
  EXPECT_EQ(TileAt(40, -1), -1);
  EXPECT_EQ(TileAt(320, 0), kWall);  // past the last column: the next row's first cell
  EXPECT_EQ(TileAt(319, 255), kLadder);
  EXPECT_EQ(TileAt(320, 255), -1);   // past the last cell
  cameraX = cameraY = 32;
  EXPECT_EQ(TileAt(-33, 0), -1);
  EXPECT_EQ(TileAt(-32, 0), kWall);
  SetTileAt(-1, 0, kWall);
  SetTileAt(0, 256, kWall);
  SetTileAt(300, 100, kSpikes);
  EXPECT_EQ(CellCodeAt(9, 3), kSpikes);
  tileKinds[0] = Ladder;
  EXPECT_FALSE(TileIsLadder(0));
  EXPECT_FALSE(TileIsKind(216, PlainTile));
}

TEST_F(Physics, LedgeHoldsFromAboveOnlyAndProbesMatchTheirKinds) {
  Put(3, 3, kLedge);
  Put(3, 1, kWall);
  EXPECT_TRUE(Floor(96, 64, 32, 32, kFloorGround));   // standing on it
  EXPECT_FALSE(Ceiling(96, 100, 32, 32));             // jumping up through it
  EXPECT_FALSE(WallRight(64, 96, 32, 32));            // walking through it
  EXPECT_FALSE(WallLeft(128, 96, 32, 32));
  EXPECT_TRUE(WallOrLedgeRight(64, 96, 32, 32));      // ground ahead for walkers
  EXPECT_TRUE(Ceiling(96, 60, 32, 32));
  EXPECT_EQ(lastProbe.code, kWall);
  EXPECT_EQ(lastProbe.cellIndex, 13);
  EXPECT_EQ(lastProbe.probeY, 32);
  Put(5, 5, kBar);
  Put(6, 5, kSpikes);
  Put(7, 5, kLadder);
  EXPECT_TRUE(Floor(160, 130, 32, 32, kFloorHangBar));
  EXPECT_TRUE(Floor(192, 130, 32, 32, kFloorDeadly));
  EXPECT_TRUE(Floor(224, 130, 32, 32, kFloorLadder));
  EXPECT_FALSE(Floor(224, 130, 32, 32, kFloorGround));
}

TEST_F(Physics, SnappingLimits) {
  const float up[][2] = {{100, 100}, {114, 100}, {115, 115}};  // 15 deep stays
  for (const auto& c : up) {
    float y = c[0];
    SnapUp(0, y, 28);
    EXPECT_FLOAT_EQ(y, c[1]) << c[0];
  }
  float y = 43, x = 40;
  EXPECT_TRUE(SnapDown(0, y, 0));
  EXPECT_FLOAT_EQ(y, 64);
  SnapLeftOut(x, 0, 0);
  EXPECT_FLOAT_EQ(x, 32);
  x = 49;
  SnapRightOut(x, 0, 0);
  EXPECT_FLOAT_EQ(x, 64);
  y = 20;
  EXPECT_FALSE(SnapUp(-5, y, 0));  // off the map: nothing happens
  EXPECT_FLOAT_EQ(y, 20);
}

TEST_F(Physics, Geometry) {
  EXPECT_TRUE(CentresWithin20(0, 0, 10, 10, 12, 16, 10, 10));  // exactly 20
  EXPECT_FALSE(CentresWithin20(0, 0, 10, 10, 12, 17, 10, 10));
  EXPECT_DOUBLE_EQ(Distance(-2000000000, 0, 2000000000, 0), 4e9);
  EXPECT_TRUE(OverlapBoxes(0, 0, 10, 10, 10, 10, 5, 5));  // touching corners
  GameObject* a = Make(Hero, 10.9f, -31);
  GameObject* b = Make(Walker, 20, 0);
  EXPECT_FALSE(NearBoth(a, b, 10, 40));  // truncated: 10 apart is not closer than 10
  EXPECT_TRUE(NearBoth(a, b, 11, 40));
  EXPECT_FALSE(NearBoth(a, nullptr, 100, 100));
  b->boxH = 30;  // box top 1 = a's box bottom
  a->vy = 1;
  EXPECT_TRUE(StompTest(a, b));
  a->vy = 0;
  EXPECT_FALSE(StompTest(a, b));
}

TEST_F(Physics, MotionLimitsJumpSpeedAndPlayfield) {
  GameObject* hero = Make(Hero, 100, 100);
  GameObject* chip = Make(BrickChip, 100, 100);
  frameTimeMs = 500.0f;
  hero->vx = -50;
  hero->vy = 50;
  chip->vx = 1;
  MoveByVelocity(hero);
  MoveByVelocity(chip);
  EXPECT_FLOAT_EQ(hero->x, 91);  // at most 9 pixels per axis
  EXPECT_FLOAT_EQ(hero->y, 109);
  EXPECT_FLOAT_EQ(chip->x, 140);
  hero->vy = -3;
  SetJumpSpeed(hero, 7.2f);
  EXPECT_FLOAT_EQ(hero->vy, -3);  // already rising while playing
  gameState = EpisodeEnd;
  SetJumpSpeed(hero, 7.2f);
  EXPECT_FLOAT_EQ(hero->vy, -7.2f);
  float x = 790, y = -50;
  EXPECT_TRUE(ClampToPlayfield(x, y, 32, 32));
  EXPECT_FLOAT_EQ(x, 768);
  EXPECT_FLOAT_EQ(y, -32);
  y = 601;  // the map is 256 high: the screen's 600 is the limit
  EXPECT_FALSE(ClampToPlayfield(x, y, 32, 32));
  EXPECT_FLOAT_EQ(y, 600);
}

TEST_F(Physics, FallingLandsHeadBumpsStopAndLostObjectsGo) {
  for (int32_t x = 0; x < 10; ++x) Put(x, 5, kWall);
  Put(7, 1, kWall);
  GameObject* walker = Make(Walker, 64, 100);
  GameObject* spark = Make(SparkStar, 64, 250);
  GameObject* hero = Make(Hero, 224, 70);
  hero->vy = -7.2f;
  jumpHeld = true;
  UpdateObjectPhysics();
  EXPECT_FLOAT_EQ(hero->vy, 0.0f);
  EXPECT_FLOAT_EQ(hero->y, 64);  // snapped under the wall it hit
  for (int i = 0; i < 60; ++i) UpdateObjectPhysics();
  ASSERT_EQ(FindObject(Walker, 1), walker);
  EXPECT_EQ(int32_t(walker->y), 128);  // stands on row 5 (the fraction stays)
  EXPECT_FLOAT_EQ(walker->vy, 0);
  EXPECT_EQ(FindObject(SparkStar, 1), nullptr);  // fell out of the map
  (void)spark;
}

}  // namespace
