// Digits as the player reads them: the menu's stage number never runs into
// the stage plate, and a zero is not mistaken for an eight.
#include <gtest/gtest.h>

#include <string>

#include "font.h"
#include "image.h"
#include "layout.h"
#include "sprites.h"

using namespace assetgen;

namespace {

const Image& Sheet() {
  static const Image sheet = PaintSpriteSheet();
  return sheet;
}

// Right-most screen column with ink when the number is drawn the menu's way:
// each digit's cell copied keyed, the cell width as the advance.
int LastInkColumn(int number, int x) {
  const Image& s = Sheet();
  int last = -1;
  for (char c : std::to_string(number)) {
    const Rect& r = kBigDigits[c - '0'];
    for (int col = 0; col < r.w; ++col)
      for (int row = 0; row < r.h; ++row)
        if (!s.IsKey(r.x + col, r.y + row) && x + col > last) last = x + col;
    x += r.w;
  }
  return last;
}

}  // namespace

TEST(MenuDigits, StageNumbersStayLeftOfThePlate) {
  constexpr int kPlateX = 386, kSingleX = 336, kDoubleX = 321;
  for (int stage = 1; stage <= 20; ++stage) {
    const int last = LastInkColumn(stage, stage < 10 ? kSingleX : kDoubleX);
    EXPECT_GT(last, 0) << "stage " << stage;
    EXPECT_LT(last, kPlateX) << "stage " << stage;
  }
}

TEST(MenuDigits, ZeroHasAnOpenCounter) {
  // the middle rows of the font's zero hold ink only in the two side strokes
  for (int row = 1; row <= 7; ++row) {
    EXPECT_FALSE(FontInk('0', 2, row)) << "row " << row;
    EXPECT_FALSE(FontInk('0', 3, row)) << "row " << row;
  }
  // the painted small zero is hollow too: its centre shows the key colour
  const Image& s = Sheet();
  const int cx = kSmallDigits.x + (kSmallDigitAdvance - 1) / 2, cy = kSmallDigits.y + kSmallDigits.h / 2;
  EXPECT_TRUE(s.IsKey(cx, cy));
  EXPECT_TRUE(s.IsKey(cx, cy - 2));
  EXPECT_TRUE(s.IsKey(cx, cy + 2));
}
