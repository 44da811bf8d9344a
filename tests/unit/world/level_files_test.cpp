// Stage and tile-kind files: loading, refusing corrupt sizes, saving safely.
#include "world_fixture.h"

using namespace worldtest;

namespace {

class LevelFiles : public StageFolderTest {};

TEST_F(LevelFiles, PakLoadsKeepsALoadedMapAndShortFilesLeaveZeros) {
  Write("tarn/e1s1.pak", PakBytes(3, 2, {1, 2, 3, 4, 5, 6}, 0x1234));
  std::vector<uint8_t> shortFile = PakBytes(4, 4, {7, 7, 7});
  shortFile.push_back(0x33);  // half a cell
  Write("tarn/e1s2.pak", shortFile);
  ASSERT_TRUE(LoadPak("e1s1.pak"));
  EXPECT_EQ(CellCodeAt(2, 1), 6);
  EXPECT_EQ(mapCells[4].extra, 0x1234);
  EXPECT_TRUE(LoadPak("e1s2.pak"));  // a map is loaded: nothing is read
  EXPECT_EQ(mapWidth, 3);
  FreeLevel();
  ASSERT_TRUE(LoadPak("e1s2.pak"));
  EXPECT_EQ(CellCodeAt(2, 0), 7);
  EXPECT_EQ(mapCells[3].tile, 0);
  EXPECT_EQ(mapCells[15].tile, 0);
}

TEST_F(LevelFiles, CorruptSizesAreRefusedByBothLoaders) {
  const int32_t sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {65536, 65536}, {-65536, -65536},
                              {2049, 2048}, {INT32_MAX, 2}};
  Write("tarn/ok.pak", PakBytes(1, 1, {9}));
  for (const auto& s : sizes) {
    Write("tarn/bad.pak", PakBytes(s[0], s[1], {}));
    Write("tarn/bad.mapd", MapdBytes(s[0], s[1], {}));
    EXPECT_FALSE(LoadPak("bad.pak")) << s[0] << "x" << s[1];
    EXPECT_TRUE(mapCells == nullptr && mapWidth == 0 && mapHeight == 0);
    ASSERT_TRUE(LoadPak("ok.pak"));
    EXPECT_FALSE(LoadMapd("bad.mapd")) << s[0] << "x" << s[1];
    EXPECT_EQ(CellCodeAt(0, 0), 9);  // the map in memory stays
    FreeLevel();
  }
  Write("tarn/head.pak", {1, 0, 0, 0, 1});
  EXPECT_FALSE(LoadPak("head.pak"));
  EXPECT_FALSE(LoadPak("missing.pak"));
  EXPECT_FALSE(LoadMapd("missing.mapd"));
}

TEST_F(LevelFiles, MapdTakesTheCodeOfEachRecord) {
  std::vector<uint8_t> bytes = MapdBytes(3, 2, {5, 0, 70000, 12});
  bytes.resize(bytes.size() - 3);  // the fourth record is cut
  Write("tarn/e1s1.mapd", bytes);
  Write("tarn/e1s1.pak", PakBytes(1, 1, {9}));
  ASSERT_TRUE(LoadPak("e1s1.pak"));
  ASSERT_TRUE(LoadMapd("e1s1.mapd"));  // replaces the loaded map
  const uint16_t expected[] = {5 + 48, 48, uint16_t(70000 + 48), 48, 48, 48};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(mapCells[i].tile, expected[i]) << i;
  EXPECT_EQ(mapCells[0].extra, 0);
}

TEST_F(LevelFiles, SaveWritesTableAndMapThroughATemporaryFile) {
  Write("tarn/e1s1.pak", PakBytes(2, 2, {1, 2, 3, 4}, 77));
  ASSERT_TRUE(LoadPak("e1s1.pak"));
  tileKinds[215] = -7;
  Put(1, 1, 99);
  ASSERT_TRUE(SaveLevel("e1s1.pak"));
  std::vector<uint8_t> pak = Read("tarn/e1s1.pak");
  ASSERT_EQ(pak.size(), 24u);
  EXPECT_EQ(pak[8 + 12], 99 + 48);
  EXPECT_EQ(pak[8 + 14], 77);  // second values travel with the cells
  ClearTileKinds();
  ASSERT_TRUE(LoadTileKinds());
  EXPECT_EQ(tileKinds[215], -7);
  // When the temporary file cannot be made the stage on disk stays whole.
  Put(0, 0, 50);
  std::filesystem::create_directories(dir_ + "/tarn/e1s1.pak.tmp");
  EXPECT_FALSE(SaveLevel("e1s1.pak"));
  EXPECT_EQ(Read("tarn/e1s1.pak"), pak);
  // A game run from its own writable folder plays its own copy, even when a
  // per-user copy exists; an installed game plays the per-user copy.
  Write("xdg/bramblets2/tarn/e1s1.pak", PakBytes(5, 1, {4, 4, 4, 4, 4}));
  FreeLevel();
  ASSERT_TRUE(LoadPak("e1s1.pak"));
  EXPECT_EQ(mapWidth, 2);
  const std::string marker = dir_ + "\n";
  Write("bramblets2.installed", std::vector<uint8_t>(marker.begin(), marker.end()));
  FreeLevel();
  ASSERT_TRUE(LoadPak("e1s1.pak"));
  EXPECT_EQ(mapWidth, 5);
}

TEST_F(LevelFiles, TileKindTableShortFileAndRange) {
  EXPECT_FALSE(LoadTileKinds());
  Write("tarn/world1.prp", {2, 0, 0, 0, 11, 0, 0, 0, 6});  // an incomplete entry is not taken
  tileKinds[100] = 9;
  ASSERT_TRUE(LoadTileKinds());
  EXPECT_EQ(tileKinds[0], 2);
  EXPECT_EQ(tileKinds[1], 11);
  EXPECT_EQ(tileKinds[2] + tileKinds[100], 0);
  EXPECT_EQ(TileKindOf(-1) + TileKindOf(216) + TileKindOf(255), 0);
  SetTileKind(12, 0, 5);   // code 216: outside the table
  SetTileKind(-1, 17, 5);  // code -1
  SetTileKind(11, 17, 4);  // code 215: the last entry
  int32_t sum = 0;
  for (int32_t k : tileKinds) sum += k;
  EXPECT_EQ(sum, 2 + 11 + 4);
}

}  // namespace
