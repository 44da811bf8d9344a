// The game's drawing helpers, checked against a recording surface.
#include <gtest/gtest.h>

#include <string>

#include "drawing_recorder.h"
#include "game/drawing.h"
#include "game/game_context.h"

namespace {

class DrawingHelpersTest : public ::testing::Test {
 protected:
  RecordingGraphic sheet;
  KGraphic* savedSprites = spritesSurface;

  void SetUp() override {
    spritesSurface = &sheet;
    shakeX = shakeY = 0;
    flipNextSprite = false;
  }
  void TearDown() override {
    spritesSurface = savedSprites;
    shakeX = shakeY = 0;
  }
  // Source x and destination x of every recorded call.
  std::string Xs() const {
    std::string s;
    for (const GraphicCall& c : sheet.calls) s += std::to_string(int(c.sx1)) + "@" + std::to_string(int(c.dx)) + " ";
    return s;
  }
};

TEST_F(DrawingHelpersTest, SpriteCopyAddsTheShakeAndPicksKeyedOrOpaque) {
  EXPECT_FALSE(DrawSprite(nullptr, 0, 0, 0, 0, 10, 10, true));
  shakeX = -5;
  shakeY = 4;
  EXPECT_TRUE(DrawSprite(&sheet, 10, 20, 100, 200, 30, 40, true));
  EXPECT_TRUE(DrawSprite(&sheet, 1, 2, 3, 4, 5, 6, false));
  ASSERT_EQ(sheet.calls.size(), 2u);
  const GraphicCall& k = sheet.calls[0];
  EXPECT_EQ(k.op, "BlitAlphaRectFlip");
  EXPECT_EQ(k.sy2, 60);
  EXPECT_EQ(k.dx, 95);
  EXPECT_EQ(k.dy, 204);
  EXPECT_EQ(sheet.calls[1].op, "BlitRectFlip");
}

TEST_F(DrawingHelpersTest, FlipFlagCopiesRowsUpsideDownOnce) {
  flipNextSprite = true;
  DrawSprite(&sheet, 0, 10, 50, 60, 8, 3, true);
  EXPECT_FALSE(flipNextSprite);
  ASSERT_EQ(sheet.calls.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sheet.calls[i].sy1, 12 - i);  // source rows 12, 11, 10, one each
    EXPECT_EQ(sheet.calls[i].sy2, 13 - i);
    EXPECT_EQ(sheet.calls[i].dy, 60 + i);
  }
  DrawSprite(&sheet, 0, 10, 50, 60, 8, 3, true);
  EXPECT_EQ(sheet.calls.size(), 4u);  // the next call draws normally again

  flipNextSprite = true;
  sheet.calls.clear();
  DrawSpriteScaled(&sheet, 0, 10, 50, 60, 8, 2, 0, 2.0f);
  ASSERT_EQ(sheet.calls.size(), 2u);
  EXPECT_EQ(sheet.calls[0].zoom, 1.0f);  // flipped copies ignore the scale
  EXPECT_EQ(sheet.calls[0].sy1, 11);
}

TEST_F(DrawingHelpersTest, ScaledSpriteTruncatesTheShakenDestination) {
  shakeX = 2;
  shakeY = -3;
  DrawSpriteScaled(&sheet, 1.5f, 2.0f, 10.7f, 20.9f, 16, 8, 3.0f, 1.5f);
  ASSERT_EQ(sheet.calls.size(), 1u);
  const GraphicCall& c = sheet.calls[0];
  EXPECT_EQ(c.op, "BlitAlphaRectFx");
  EXPECT_EQ(c.dx, 12);
  EXPECT_EQ(c.dy, 17);
  EXPECT_EQ(c.sx2, 17.5f);
}

TEST_F(DrawingHelpersTest, Numbers) {
  DrawSmallNumber(100, 50, 105);  // 27-wide glyphs 25 apart
  EXPECT_EQ(Xs(), "27@100 0@125 135@150 ");
  sheet.calls.clear();
  DrawSmallNumber(0, 0, 0);
  DrawSmallNumber(0, 0, -7);  // never a glyph left of the sheet
  EXPECT_EQ(Xs(), "0@0 189@0 ");

  sheet.calls.clear();
  DrawBigNumber(7, 300, 200, 0);
  ASSERT_EQ(sheet.calls.size(), 1u);
  EXPECT_EQ(sheet.calls[0].sy1, 805);
  EXPECT_EQ(sheet.calls[0].sx2 - sheet.calls[0].sx1, 36);
  EXPECT_EQ(sheet.calls[0].sy2 - sheet.calls[0].sy1, 48);
  sheet.calls.clear();
  DrawBigNumber(20, 300, 200, 0);   // "2" is 34 wide
  DrawBigNumber(19, 300, 200, 15);  // a given advance wins
  DrawBigNumber(-1, 0, 0, 0);
  EXPECT_EQ(Xs(), "791@300 731@334 761@300 804@315 ");
}

TEST_F(DrawingHelpersTest, TextUsesTheFontTableAndSkipsWhatItCannotDraw) {
  DrawText(10, 20, "a`b %d", 7);  // the backtick draws nothing and does not advance
  EXPECT_EQ(Xs(), "365@10 372@17 52@30 ");

  sheet.calls.clear();
  DrawText(0, 0, "~\x01\xE9Z{");  // no glyph: skipped without advancing
  EXPECT_EQ(Xs(), "330@0 ");

  sheet.calls.clear();
  const std::string longText(2000, '0');
  DrawText(0, 0, "%s", longText.c_str());
  EXPECT_EQ(sheet.calls.size(), 511u);  // bounded by the 512-byte buffer
}

}  // namespace
