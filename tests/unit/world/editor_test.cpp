// The stage editor driven through the running game with keys and the mouse.
#include "unit/world/world_fixture.h"

#include <cstdio>

#include "game/game_state.h"
#include "harness/harness.h"
#include "world/editor.h"

namespace {

constexpr int kEnd = 93, kHome = 94, kPageUp = 98, kPageDown = 99;
constexpr int kLeft = kHarnessKeyLeft, kRight = kHarnessKeyRight, kUp = kHarnessKeyUp,
              kDown = kHarnessKeyDown, kShift = kHarnessKeyLeftShift;

class Editor : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(HarnessStart()); }
  void TearDown() override { HarnessStop(); }

  // Stage 1 with a w x h map: floor along the bottom, the start above its
  // left end (or the given codes), and the editor switched on.
  void Open(int32_t w, int32_t h, std::vector<int32_t> codes = {}) {
    int32_t kinds[216] = {};
    kinds[1] = 2;
    kinds[180] = 6;
    kinds[181] = 8;
    ASSERT_TRUE(HarnessWriteTileKinds(kinds));
    if (codes.empty()) {
      codes.assign(size_t(w * h), 0);
      for (int32_t x = 0; x < w; ++x) codes[size_t((h - 1) * w + x)] = 1;
      codes[size_t((h - 2) * w)] = 180;
    }
    ASSERT_TRUE(HarnessWriteFile("tarn/e1s1.pak", worldtest::PakBytes(w, h, codes)));
    ASSERT_TRUE(HarnessStartStage(1));
    editorUnlocked = 1;
    Press({kHarnessKeyF1});
    ASSERT_TRUE(editorMode);
  }
  static void Press(std::vector<int> keys) {
    HarnessInput in;
    in.keys = std::move(keys);
    HarnessFrame(in);
    HarnessFrame();
  }
  // The mouse bits reach the next frame through the stored input word, so a
  // release is seen one frame late: two frames up after each click.
  static void Click(int x, int y, std::vector<int> keys = {}) {
    HarnessInput in;
    in.keys = std::move(keys);
    in.mouseSet = in.mouseLeft = true;
    in.mouseX = x, in.mouseY = y;
    HarnessFrame(in);
    in.mouseLeft = false;
    HarnessRunFrames(2, in);
  }
  static int BrushSize() {
    int n = 0;
    for (const BrushEntry& e : brush) n += e.used;
    return n;
  }
};

TEST_F(Editor, PaletteBrushStampsInArrangementAndPaintsWhileHeld) {
  Open(12, 8);
  Press({kHarnessKeySpace});
  ASSERT_TRUE(paletteView);
  Click(37, 69);            // code 20, the anchor
  Click(69, 69, {kShift});  // code 38, right of it
  Click(37, 101, {kShift}); // code 21, below it
  EXPECT_EQ(BrushSize(), 3);
  Press({kHarnessKeySpace});
  Click(5 * 32 + 31, 2 * 32);
  EXPECT_EQ(CellCodeAt(5, 2), 20);
  EXPECT_EQ(CellCodeAt(6, 2), 38);
  EXPECT_EQ(CellCodeAt(5, 3), 21);
  EXPECT_EQ(CellCodeAt(6, 3), 0);
  Click(11 * 32, 7 * 32);  // at the corner only the anchor lands inside
  EXPECT_EQ(CellCodeAt(11, 7), 20);
  EXPECT_EQ(mapWidth * mapHeight, 96);
  Press({kHarnessKeySpace});
  Click(12 * 32 + 3, 0);  // column 12 is code 216: nothing is added
  EXPECT_EQ(BrushSize(), 0);
  Click(3 * 32, 0);  // code 54
  Press({kHarnessKeySpace});
  HarnessInput hold;
  hold.mouseSet = hold.mouseLeft = true;
  hold.mouseY = 100;
  for (int x = 0; x < 6; ++x) {
    hold.mouseX = x * 32 + 7;
    HarnessFrame(hold);
  }
  for (int x = 0; x < 6; ++x) EXPECT_EQ(CellCodeAt(x, 3), 54) << x;
}

TEST_F(Editor, KindAssignmentAndTheEditReachTheFilesOnSwitchOff) {
  Open(30, 20);
  Press({kHarnessKeySpace});
  Click(2 * 32, 5 * 32);           // selects code 41
  Click(11 * 32 + 4, 8 * 32 + 4);  // kind icon 8 (fruit marker)
  EXPECT_EQ(kindPick, 8);
  Click(10 * 32, 2 * 32);          // code 182 gets it
  EXPECT_EQ(kindPick, -1);
  ASSERT_EQ(BrushSize(), 1);       // the clicked spot with the code chosen before
  EXPECT_EQ(brush[brushAnchor].code, 41);
  EXPECT_EQ(brush[brushAnchor].x, 320);
  Click(10 * 32, 2 * 32);          // now paint code 182
  Press({kHarnessKeySpace});
  Click(4 * 32, 12 * 32);
  std::vector<uint8_t> table, pak;
  ASSERT_TRUE(HarnessReadFile("tarn/world1.prp", &table));
  EXPECT_EQ(table[182 * 4], 0);    // nothing is written before switching off
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);
  EXPECT_EQ(gameState, Playing);
  ASSERT_TRUE(HarnessReadFile("tarn/world1.prp", &table));
  EXPECT_EQ(table[182 * 4], 8);
  ASSERT_TRUE(HarnessReadFile("tarn/e1s1.pak", &pak));
  ASSERT_EQ(pak.size(), 8u + 4u * 30 * 20);
  EXPECT_EQ(pak[8 + 4 * (12 * 30 + 4)], 182 + 48);
  // The restarted stage has the new fruit.
  EXPECT_EQ(fruitTotal, 1);
  GameObject* fruit = FindObject(Fruit, 1);
  ASSERT_NE(fruit, nullptr);
  EXPECT_FLOAT_EQ(fruit->y + float(cameraY), 12 * 32);
}

TEST_F(Editor, ResizingAtEachEdgeKeepsTheOtherCellsInPlace) {
  const std::vector<int32_t> codes = {1, 2, 3, 4, 5, 6};  // 3 x 2
  Open(3, 2, codes);
  Press({kEnd, kRight});
  Press({kHome, kRight});
  Press({kPageUp, kDown});
  Press({kPageDown, kDown});
  ASSERT_EQ(mapWidth, 5);
  ASSERT_EQ(mapHeight, 4);
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(CellCodeAt(1 + i % 3, 1 + i / 3), codes[size_t(i)]);
  EXPECT_EQ(mapCells[0].tile, 48);          // new cells are empty: value 48 ...
  EXPECT_EQ(mapCells[3 * 5 + 2].tile, 0);   // ... or 0 in the row added at the bottom
  Press({kPageDown, kUp});
  Press({kPageUp, kUp});
  Press({kHome, kLeft});
  Press({kEnd, kLeft});
  ASSERT_EQ(mapWidth * 10 + mapHeight, 32);
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(CellCodeAt(i % 3, i / 3), codes[size_t(i)]);
  HarnessInput hold;  // a held combination acts once per press
  hold.keys = {kEnd, kRight};
  HarnessRunFrames(5, hold);
  EXPECT_EQ(mapWidth, 4);
  Press({kHarnessKeyF1});
  Open(1, 1, {1});  // the last column and row are never removed
  for (auto keys : {std::vector<int>{kEnd, kLeft}, {kHome, kLeft}, {kPageUp, kUp}, {kPageDown, kUp}})
    Press(keys);
  EXPECT_EQ(mapWidth * mapHeight, 1);
}

TEST_F(Editor, OpensOnlyUnlockedFallsBackToTheMapdAndStaysOffWithoutAnyFile) {
  Open(30, 20);
  Press({kHarnessKeyF1});
  editorUnlocked = 0;
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);
  editorUnlocked = 1;
  ASSERT_TRUE(HarnessWriteFile("tarn/e1s1.mapd", worldtest::MapdBytes(2, 1, {7, 9})));
  std::remove((HarnessDataDir() + "/tarn/e1s1.pak").c_str());
  Press({kHarnessKeyF1});
  ASSERT_TRUE(editorMode);
  EXPECT_EQ(CellCodeAt(1, 0), 9);
  Press({kHarnessKeyF1});  // saved as .pak on the way out
  std::vector<uint8_t> pak;
  ASSERT_TRUE(HarnessReadFile("tarn/e1s1.pak", &pak));
  EXPECT_EQ(pak.size(), 16u);
  std::remove((HarnessDataDir() + "/tarn/e1s1.pak").c_str());
  std::remove((HarnessDataDir() + "/tarn/e1s1.mapd").c_str());
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);  // nothing to open: the stage keeps its map
  EXPECT_EQ(mapWidth, 2);
}

}  // namespace
