// The painted sheets: every rectangle the game cuts holds artwork, the places
// that must stay transparent do, and painting is reproducible.
#include <gtest/gtest.h>

#include <cstdlib>

#include "font.h"
#include "image.h"
#include "layout.h"
#include "screens.h"
#include "sprites.h"
#include "tiles.h"

using namespace assetgen;

namespace {

const Image& Sprites() {
  static const Image sheet = PaintSpriteSheet();
  return sheet;
}

int InkPixels(const Image& img, const Rect& r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x) n += !img.IsKey(x, y);
  return n;
}

bool AllKey(const Image& img, const Rect& r) { return InkPixels(img, r) == 0; }

}  // namespace

TEST(SpriteSheet, EveryRectangleLiesInsideAndHasArtwork) {
  const Image& s = Sprites();
  ASSERT_EQ(s.width, kSheetSize);
  ASSERT_EQ(s.height, kSheetSize);
  for (const NamedRect& n : AllSpriteRects()) {
    SCOPED_TRACE(std::string(n.name) + " at " + std::to_string(n.r.x) + "," + std::to_string(n.r.y));
    ASSERT_GE(n.r.x, 0);
    ASSERT_GE(n.r.y, 0);
    ASSERT_LE(n.r.x + n.r.w, s.width);
    ASSERT_LE(n.r.y + n.r.h, s.height);
    // the last dust frame is never shown but is still painted
    EXPECT_GE(InkPixels(s, n.r), 3);
  }
}

TEST(SpriteSheet, SharedAndSpacingColumnsStayTransparent) {
  const Image& s = Sprites();
  // large digits 3|4, 5|6 and 8|9 share columns: both glyphs need them clear
  EXPECT_TRUE(AllKey(s, {851, 755, 4, 48}));
  EXPECT_TRUE(AllKey(s, {912, 755, 5, 48}));
  EXPECT_TRUE(AllKey(s, {804, 805, 6, 48}));
  // small digits advance 25 pixels: their last two columns overlap the next digit
  for (int d = 0; d < 10; ++d)
    EXPECT_TRUE(AllKey(s, {kSmallDigits.x + d * kSmallDigits.w + kSmallDigitAdvance, kSmallDigits.y, 2, 21}))
        << "digit " << d;
  // walkers rest 2 pixels into the floor: their two bottom rows are empty
  for (const Strip* st : {&kWalker, &kSlowWalker})
    for (int r = 0; r < st->rows; ++r)
      for (int f = 0; f < st->frames; ++f)
        EXPECT_TRUE(AllKey(s, {st->x + f * st->w, st->y + r * st->h + 30, st->w, 2})) << st->name << " " << f;
  // springs and the portal overlap the tile below by their last two rows
  for (const Strip* st : {&kSpring, &kPortal})
    for (int f = 0; f < st->frames; ++f)
      EXPECT_TRUE(AllKey(s, {st->x + f * st->w, st->y + 33, st->w, 2})) << st->name << " " << f;
  // the stage plate is drawn opaque: no key colour may show through it
  EXPECT_EQ(InkPixels(s, kStagePlate), kStagePlate.w * kStagePlate.h);
}

TEST(SpriteSheet, HeroStandsOnTheBottomRowAndFitsItsBox) {
  const Image& s = Sprites();
  for (int f = 0; f < kHero.frames; ++f) {
    const int x = kHero.x + f * kHero.w;
    // standing and walking frames touch the floor
    for (int row : {0, 1, 2, 3}) EXPECT_GT(InkPixels(s, {x, kHero.y + row * 32 + 31, 32, 1}), 0) << row;
    // hanging frames reach the bar with their hands
    for (int row : {4, 5}) EXPECT_GT(InkPixels(s, {x, kHero.y + row * 32, 32, 5}), 0) << row;
    // one clear column each side keeps neighbouring frames apart
    for (int row = 0; row < kHero.rows; ++row) {
      EXPECT_TRUE(AllKey(s, {x, kHero.y + row * 32, 1, 32}));
      EXPECT_TRUE(AllKey(s, {x + 31, kHero.y + row * 32, 1, 32}));
    }
  }
}

TEST(SpriteSheet, EveryFontGlyphHasInkInsideItsOwnWidth) {
  const Image& s = Sprites();
  for (int c = kFontFirst; c <= kFontLast; ++c) {
    if (FontWidth(c) == 0) continue;
    const Rect r{kFontX + FontOffset(c), kFontY, FontWidth(c), kFontHeight};
    EXPECT_GT(InkPixels(s, {r.x, r.y, r.w - 1, r.h}), 0) << static_cast<char>(c);
  }
  // nothing is painted between the end of 'z' and the next rectangle
  EXPECT_TRUE(AllKey(s, {kFontX + 532, kFontY, 8, kFontHeight}));
}

TEST(SpriteSheet, NoKeyBlueFringeInsideArtwork) {
  // the conversion is hard-edged: every pixel is either exactly the key or
  // clearly not key blue; a blend of artwork and key near the key colour
  // would show as a blue fringe around the sprites
  constexpr int kNearKey = 48;  // sum of the channel distances to the key
  const Image& s = Sprites();
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      if (s.IsKey(x, y)) continue;
      const uint8_t* p = s.At(x, y);
      const int distance = std::abs(p[0] - kKeyR) + std::abs(p[1] - kKeyG) + std::abs(p[2] - kKeyB);
      ASSERT_GT(distance, kNearKey) << x << "," << y << " is almost key blue";
    }
}

TEST(TileSheet, FixedCodesMarkersAndKindIconsArePainted) {
  const Image t = PaintTileSheet();
  ASSERT_EQ(t.width, kTileSheetW);
  ASSERT_EQ(t.height, kTileSheetH);
  for (int c : {65, 83, 97, 101, 115, 133, 151, 169, 187, 144, 162, 53, 71, 89, 107, 125, 143})
    EXPECT_GT(InkPixels(t, TileRect(c)), 40) << "code " << c;
  for (int c : PaintedTileCodes()) {
    EXPECT_LT(c, code::kFirstKindIcon);
    EXPECT_GT(InkPixels(t, TileRect(c)), 40) << "code " << c;
  }
  // kind icon 0 is drawn over every empty-kind cell of the palette: it is blank
  EXPECT_TRUE(AllKey(t, {kKindIconX, 0, 32, 32}));
  for (int k = 1; k < kKindCount; ++k) {
    const int ink = InkPixels(t, {kKindIconX, 32 * k, 32, 32});
    EXPECT_GT(ink, 20) << "kind " << k;
    EXPECT_LT(ink, 32 * 32 / 2) << "kind " << k << " hides the tile under it";
  }
  // the legend right of the codes is opaque
  EXPECT_EQ(InkPixels(t, {384, 0, kTileSheetW - 384, kTileSheetH}), (kTileSheetW - 384) * kTileSheetH);
}

TEST(TileKinds, TableStaysInRangeAndEncodesLittleEndian) {
  const std::vector<int32_t> k = TileKindTable();
  ASSERT_EQ(k.size(), 216u);
  EXPECT_EQ(k[0], 0);
  // the kind icons drawn over the palette are no tiles of a stage
  for (int c = code::kFirstKindIcon; c < 216; ++c) EXPECT_EQ(k[c], 0) << c;
  for (int32_t v : k) EXPECT_TRUE(v >= 0 && v < kKindCount);
  const std::vector<uint8_t> bytes = EncodeKindTable(k);
  ASSERT_EQ(bytes.size(), 864u);
  EXPECT_EQ(bytes[4 * code::kLadder], kKindLadder);
  EXPECT_EQ(bytes[4 * code::kLadder + 1], 0);
}

TEST(Pictures, CreditsAvoidKeyBlueAndSmallPicturesHaveInk) {
  const Image screens[] = {PaintTitleScreen(), PaintWorldBackdrop(), PaintScoreScreen(), PaintEndingScreen(),
                           PaintCreditsScreen(), PaintCurtain()};
  // the credits picture is drawn keyed over an uncleared screen
  EXPECT_EQ(InkPixels(screens[4], {0, 0, 800, 600}), 800 * 600);
  for (const Image& img : {PaintBrushMark(), PaintEditorCursor(), PaintEraser()}) {
    EXPECT_GT(InkPixels(img, {0, 0, 32, 32}), 20);
  }
  // the brush mark and the editor cursor are frames: their middle is clear
  EXPECT_TRUE(AllKey(PaintBrushMark(), {6, 6, 20, 20}));
}

TEST(Pictures, PaintingTwiceGivesTheSameBytes) {
  EXPECT_EQ(EncodeBmp(PaintSpriteSheet()), EncodeBmp(Sprites()));
  EXPECT_EQ(EncodeBmp(PaintTileSheet()), EncodeBmp(PaintTileSheet()));
}

namespace {

bool Uniform(const Image& img, const Rect& r, const uint8_t* colour) {
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x)
      for (int c = 0; c < 3; ++c)
        if (img.At(x, y)[c] != colour[c]) return false;
  return true;
}

}  // namespace

TEST(Pictures, MenuLeavesCalmZonesThatMatchTheStagePlate) {
  const Image title = PaintTitleScreen();
  // the opaque plate is painted on the panel colour, so plate and number sit on one panel
  const uint8_t* plateBackground = Sprites().At(kStagePlate.x, kStagePlate.y);
  EXPECT_TRUE(Uniform(title, {321, 295, 64, 48}, plateBackground)) << "big stage number zone";
  EXPECT_TRUE(Uniform(title, {386, 285, 98, 2}, plateBackground)) << "around the plate";
  // rounded buttons show the panel at their corners
  const Rect buttons[] = {{251, 280, 60, 60}, {489, 280, 60, 60}, {340, 380, 120, 60}, {340, 470, 120, 80}};
  for (const Rect& b : buttons) {
    EXPECT_TRUE(Uniform(title, {b.x, b.y, 3, 3}, plateBackground)) << b.x << "," << b.y;
    EXPECT_TRUE(Uniform(title, {b.x + b.w - 3, b.y + b.h - 3, 3, 3}, plateBackground)) << b.x << "," << b.y;
  }
}

TEST(Pictures, ScoreScreenKeepsTheNumberPlacesFree) {
  const Image score = PaintScoreScreen();
  const uint8_t* panel = score.At(300, 350);
  // collected counts (up to three digits from x 281), totals from x 415, the mark at 360
  EXPECT_TRUE(Uniform(score, {281, 384, 82, 21}, panel));
  EXPECT_TRUE(Uniform(score, {281, 452, 82, 21}, panel));
  EXPECT_TRUE(Uniform(score, {415, 382, 76, 21}, panel));
  EXPECT_TRUE(Uniform(score, {415, 450, 76, 21}, panel));
  EXPECT_TRUE(Uniform(score, {360, 524, 52, 21}, panel));
  // the separators are painted between the two columns
  EXPECT_FALSE(Uniform(score, {375, 382, 30, 24}, panel));
}

TEST(Pictures, BackdropIsLowContrast) {
  const Image w = PaintWorldBackdrop();
  int lo = 255 * 3, hi = 0;
  for (int y = 0; y < w.height; ++y)
    for (int x = 0; x < w.width; ++x) {
      const uint8_t* p = w.At(x, y);
      const int sum = p[0] + p[1] + p[2];
      lo = std::min(lo, sum);
      hi = std::max(hi, sum);
    }
  EXPECT_GT(lo, 3 * 170) << "dark areas would hide tiles and sprites";
  EXPECT_LT(hi - lo, 3 * 70);
}
