// Marker tiles becoming objects, the hero's start and the camera's start.
#include "world_fixture.h"

#include "gameplay/level_view.h"
#include "harness/harness.h"

using namespace worldtest;

namespace {

class LevelSpawn : public StageFolderTest {
 protected:
  void SetUp() override {
    StageFolderTest::SetUp();
    const int32_t kinds[] = {StartMark, FruitMark, KeyMark, SpringMark, WalkerMark,
                             SlowWalkerMark, ShuttleMark, OrbitMark};
    for (int32_t i = 0; i < 8; ++i) tileKinds[180 + i] = kinds[i];  // codes 180..187
  }
};

TEST_F(LevelSpawn, MarkersBecomeObjectsAtTheirPlacesAndTotalsCount) {
  Map(10, 6);
  const int32_t cells[][3] = {{1, 2, 181}, {2, 2, 181}, {3, 1, 182}, {4, 3, 183},
                              {5, 4, 184}, {6, 4, 185}, {7, 2, 186}, {8, 5, 187}};
  for (const auto& c : cells) Put(c[0], c[1], c[2]);
  fruitTotal = enemyTotal = 99;
  SpawnObjectsFromMap();
  EXPECT_EQ(fruitTotal, 2);
  EXPECT_EQ(enemyTotal, 2);
  EXPECT_EQ(HarnessObjectCount(), 8);
  // Prepended in column order, so the list runs from the last column back.
  const float expected[][3] = {{Platform, 8 * 32 - 19, 5 * 32 - 1}, {Platform, 7 * 32 - 19, 2 * 32 - 1},
                               {SlowWalker, 192, 128}, {Walker, 160, 128}, {Spring, 128, 95},
                               {Key, 96, 32}, {Fruit, 64, 64}, {Fruit, 32, 64}};
  GameObject* o = objectList;
  for (const auto& e : expected) {
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->type, uint32_t(e[0]));
    EXPECT_FLOAT_EQ(o->x, e[1]);
    EXPECT_FLOAT_EQ(o->y, e[2]);
    o = o->next;
  }
  EXPECT_EQ(objectList->subtype, kPlatformOrbit);
  EXPECT_EQ(objectList->next->subtype, kPlatformShuttle);
  EXPECT_EQ(CellCodeAt(1, 2), 181);  // marker tiles stay in the map
}

TEST_F(LevelSpawn, CodesOutsideTheTileRangeAreEmptyForSpawnerAndStart) {
  tileKinds[0] = StartMark;  // a table claiming the empty code is ignored
  Map(3, 3);
  const uint16_t values[] = {48, 48 + 256, 48 + 256 + 181, 47, 48 + 230};
  for (int i = 0; i < 5; ++i) mapCells[i].tile = values[i];
  SpawnObjectsFromMap();
  EXPECT_EQ(HarnessObjectCount(), 0);
  PlaceHero();
  GameObject* hero = FindObject(Hero, 1);
  ASSERT_NE(hero, nullptr);
  EXPECT_FLOAT_EQ(hero->x + hero->y, 0);  // no start tile: (0, 0)
  Put(1, 2, 180);
  Put(2, 0, 180);
  PlaceHero();
  EXPECT_EQ(FindObject(Hero, 2), nullptr);  // the hero is reused
  EXPECT_FLOAT_EQ(hero->x, 32);  // column by column: (1, 2) comes first
  EXPECT_FLOAT_EQ(hero->y, 64);
  EXPECT_EQ(hero->animRow, 2);
  checkpointSet = true;
  checkpointX = 70;
  PlaceHero();
  EXPECT_FLOAT_EQ(hero->x, 70);
}

TEST_F(LevelSpawn, CameraStartsInWholeTilesAndGoesNegativeForNarrowMaps) {
  Map(1, 1);
  PlaceHero();
  PlaceCamera();
  GameObject* hero = FindObject(Hero, 1);
  EXPECT_EQ(cameraX, -768);
  EXPECT_FLOAT_EQ(hero->x, 768);
  EXPECT_EQ(cameraY, -544);  // (32 - 600) rounded toward zero to 32s
  Map(100, 40);
  ResetCamera();
  hero->x = 1600;
  hero->y = 960;
  PlaceCamera();
  EXPECT_EQ(cameraX, 1600 - 384);  // 400 back from the hero, in whole tiles
  EXPECT_EQ(cameraY, 40 * 32 - 608);  // at most the map's end, rounded to tiles
  EXPECT_FLOAT_EQ(hero->x + float(cameraX), 1600);
  EXPECT_FLOAT_EQ(hero->y + float(cameraY), 960);
}

}  // namespace
