// The stage compiler: format, shaping of auto tiles, refusals with their
// locations and the .pak layout.
#include <gtest/gtest.h>

#include "stages.h"
#include "tiles.h"

using namespace assetgen;

namespace {

// A minimal valid stage: 25 x 19, floor on the bottom rows.
std::string Valid(const std::string& row15 = "#@   *   k           D  #") {
  std::string s;
  for (int y = 0; y < 19; ++y) {
    if (y == 15)
      s += row15;
    else if (y >= 16)
      s += std::string(25, '#');
    else
      s += "#" + std::string(23, ' ') + "#";
    s += "\n";
  }
  return s;
}

std::string CompileError(const std::string& text) {
  Stage st;
  std::string err;
  EXPECT_FALSE(CompileStage(text, "t.txt", &st, &err));
  return err;
}

int At(const Stage& s, int x, int y) { return s.codes[static_cast<size_t>(y) * s.width + x]; }

}  // namespace

TEST(StageCompiler, CompilesMarkersAndShapesGroundAndLedges) {
  Stage s;
  std::string err;
  ASSERT_TRUE(CompileStage(Valid("#@ === *  k   =       D #"), "t.txt", &s, &err)) << err;
  EXPECT_EQ(s.width, 25);
  EXPECT_EQ(s.height, 19);
  EXPECT_EQ(At(s, 1, 15), code::kStart);
  EXPECT_EQ(At(s, 7, 15), code::kFruit);
  EXPECT_EQ(At(s, 10, 15), code::kKey);
  EXPECT_EQ(At(s, 22, 15), code::kExitDoor);
  EXPECT_EQ(At(s, 3, 15), code::kLedgeLeft);
  EXPECT_EQ(At(s, 4, 15), code::kLedgeMid);
  EXPECT_EQ(At(s, 5, 15), code::kLedgeRight);
  EXPECT_EQ(At(s, 14, 15), code::kLedgeSingle);
  // floor top: grass (open top); inside: plain; the map edge counts as closed
  EXPECT_EQ(At(s, 5, 16), code::kGround + code::kGroundOpenTop);
  EXPECT_EQ(At(s, 5, 18), code::kGround);
  EXPECT_EQ(At(s, 0, 0), code::kGround + code::kGroundOpenRight);
  EXPECT_EQ(At(s, 0, 16), code::kGround);
  EXPECT_EQ(At(s, 2, 2), code::kEmpty);
}

TEST(StageCompiler, CommentsDirectivesShortLinesAndWindowsLineEnds) {
  std::string text = "; a comment\n!Q 17\n" + Valid("#@ Q  k  D");
  for (size_t p = text.find('\n'); p != std::string::npos; p = text.find('\n', p + 2)) text.insert(p, "\r");
  Stage s;
  std::string err;
  ASSERT_TRUE(CompileStage(text, "t.txt", &s, &err)) << err;
  EXPECT_EQ(s.width, 25);  // the short row is padded with empty cells
  EXPECT_EQ(At(s, 3, 15), 17);
  EXPECT_EQ(At(s, 20, 15), code::kEmpty);
  EXPECT_EQ(At(s, 9, 15), code::kExitDoor);
}

TEST(StageCompiler, RefusesBrokenStagesNamingWhere) {
  EXPECT_EQ(CompileError(Valid("#    *   k           D  #")), "t.txt: no start ('@')");
  EXPECT_EQ(CompileError(Valid("#@   *               D  #")), "t.txt: no key ('k')");
  EXPECT_EQ(CompileError(Valid("#@   *   k              #")), "t.txt: no exit door ('D')");
  // the second start is reported at its own line (after the comment) and column
  EXPECT_EQ(CompileError(";\n" + Valid("#@   *   k    @      D  #")),
            "t.txt:17:15: a second start ('@'); a stage has exactly one");
  EXPECT_EQ(CompileError(Valid("#@   Q   k           D  #")), "t.txt:16:6: unknown tile character 'Q'");
  EXPECT_EQ(CompileError("!Q 198\n" + Valid("#@   Q   k           D  #")),
            "t.txt:17:6: tile code 198 is not a tile (codes from 198 on are the kind icons)");
  EXPECT_NE(CompileError("!Q 300\n" + Valid()).find("t.txt:1:4: bad tile code"), std::string::npos);
  EXPECT_NE(CompileError("!Q\n" + Valid()).find("t.txt:1:1:"), std::string::npos);
  // too narrow, too low, empty
  std::string narrow;
  for (int y = 0; y < 19; ++y) narrow += y == 5 ? "@kD\n" : "#\n";
  EXPECT_EQ(CompileError(narrow), "t.txt: the stage is 3 x 19 cells, at least 25 x 19 are needed");
  EXPECT_NE(CompileError(Valid().substr(26)).find("x 18 cells"), std::string::npos);
  EXPECT_NE(CompileError("").find("0 x 0"), std::string::npos);
  EXPECT_NE(CompileError(std::string("\x01\x02", 2)).find("t.txt:"), std::string::npos);
}

TEST(StageCompiler, PakRoundTripAndLayout) {
  Stage s;
  std::string err;
  ASSERT_TRUE(CompileStage(Valid(), "t.txt", &s, &err)) << err;
  const std::vector<uint8_t> pak = EncodePak(s);
  ASSERT_EQ(pak.size(), 8u + 4u * 25 * 19);
  EXPECT_EQ(pak[0], 25);
  EXPECT_EQ(pak[4], 19);
  // cell (1, 15): tile value = code + 48, second value 0
  const size_t at = 8 + 4 * (15 * 25 + 1);
  EXPECT_EQ(pak[at] | (pak[at + 1] << 8), code::kStart + kTileValueBase);
  EXPECT_EQ(pak[at + 2] | pak[at + 3], 0);
  // an empty cell stores 48
  EXPECT_EQ(pak[8 + 4 * (2 * 25 + 2)], 48);
  Stage back;
  ASSERT_TRUE(DecodePak(pak, &back));
  EXPECT_EQ(back.width, s.width);
  EXPECT_EQ(back.height, s.height);
  EXPECT_EQ(back.codes, s.codes);
  // truncated or nonsense files are refused
  EXPECT_FALSE(DecodePak(std::vector<uint8_t>(pak.begin(), pak.end() - 1), &back));
  EXPECT_FALSE(DecodePak({1, 0, 0}, &back));
  EXPECT_FALSE(DecodePak({0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}, &back));
}

TEST(StageCompiler, LiquidsGetASurfaceAndABumpIsOpenOnThreeSides) {
  Stage s;
  std::string err;
  ASSERT_TRUE(CompileStage(Valid("#@ #  k  D  ~~  __      #"), "t.txt", &s, &err)) << err;
  // a single ground cell standing on the floor: open left, top and right
  EXPECT_EQ(At(s, 3, 15),
            code::kGround + (code::kGroundOpenTop | code::kGroundOpenLeft | code::kGroundOpenRight));
  EXPECT_EQ(At(s, 12, 15), code::kLavaTop);
  EXPECT_EQ(At(s, 16, 15), code::kWaterTop);
  // a second row of lava below the surface is plain lava
  std::string deep = Valid("#@    k  D  ~~          #");
  deep.replace(26 * 14, 25, "#           ~~          #");
  ASSERT_TRUE(CompileStage(deep, "t.txt", &s, &err)) << err;
  EXPECT_EQ(At(s, 12, 14), code::kLavaTop);
  EXPECT_EQ(At(s, 12, 15), code::kLava);
}
