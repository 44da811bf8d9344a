// Where the game cuts every picture out of the sheets. The generator paints
// into exactly these rectangles and the tests check them.
#pragma once
#include <vector>

namespace assetgen {

struct Rect {
  int x, y, w, h;
};

// A strip of `frames` frames side by side and `rows` rows below each other.
struct Strip {
  const char* name;
  int x, y, w, h, frames, rows;
};

constexpr int kSheetSize = 1024;

constexpr Strip kSmallDigits{"small digits", 0, 1, 27, 21, 10, 1};
constexpr int kSmallDigitAdvance = 25;  // the last two columns of each digit stay key blue
constexpr Rect kHintDoorOpen{289, 1, 153, 25};
constexpr Rect kHintNeedKey{289, 27, 153, 25};
constexpr Rect kHelpPanel{652, 0, 233, 164};
constexpr Rect kHudLives{960, 4, 63, 18};
constexpr Rect kPlatform{10, 23, 70, 34};
constexpr int kFontX = 8, kFontY = 66;
constexpr Strip kDust{"dust", 258, 81, 16, 16, 9, 1};
constexpr Rect kSparkStar{17, 105, 13, 14};
constexpr Rect kSparkHurt{17, 120, 13, 14};
constexpr Rect kIconKeyboard{437, 107, 64, 54};
constexpr Rect kIconJoystick{437, 162, 64, 54};
constexpr Strip kSpring{"spring", 137, 113, 32, 35, 7, 1};
constexpr Strip kPortal{"exit portal", 137, 148, 32, 35, 7, 1};
constexpr Rect kKey{507, 121, 32, 32};
constexpr Rect kHudStage{507, 155, 32, 24};
constexpr Rect kPoof{61, 160, 39, 42};
constexpr Strip kHero{"hero", 2, 250, 32, 32, 16, 8};
constexpr Strip kWalker{"walker", 2, 514, 32, 32, 16, 2};
constexpr Strip kSlowWalker{"slow walker", 2, 706, 32, 32, 16, 2};
constexpr Strip kFruit{"fruit", 528, 516, 32, 32, 9, 1};
constexpr Strip kPowerItems{"power items", 528, 550, 32, 32, 5, 1};  // freeze, super, jump, dig, plum
constexpr Rect kLifeBonus{688, 550, 32, 32};
constexpr Rect kFlowers[6] = {{609, 637, 80, 55}, {528, 693, 80, 55}, {609, 693, 80, 55},
                              {528, 749, 80, 55}, {609, 749, 80, 55}, {528, 805, 80, 55}};
// Menu buttons: previous, next, play, quit; normal and hovered.
constexpr Rect kButtons[4] = {{731, 551, 60, 60}, {791, 551, 60, 60}, {731, 612, 120, 60}, {731, 674, 120, 80}};
constexpr Rect kButtonsHover[4] = {{861, 551, 60, 60}, {921, 551, 60, 60}, {861, 612, 120, 60}, {861, 674, 120, 80}};
constexpr Rect kStagePlate{861, 477, 98, 70};
constexpr Rect kPauseSign{904, 363, 115, 37};
constexpr Rect kGameOverSign{804, 401, 214, 37};
constexpr Rect kBigDigits[10] = {{731, 755, 30, 48}, {761, 755, 30, 48}, {791, 755, 34, 48}, {825, 755, 30, 48},
                                 {851, 755, 35, 48}, {886, 755, 31, 48}, {912, 755, 35, 48}, {731, 805, 36, 48},
                                 {767, 805, 43, 48}, {804, 805, 45, 48}};
constexpr Rect kCursor{849, 805, 49, 49};
constexpr Rect kBrickChip{854, 907, 16, 16};
constexpr Strip kDigBomb{"dig bomb", 0, 931, 32, 32, 25, 1};
constexpr Strip kDigBlast{"dig blast", 0, 963, 32, 32, 25, 1};

// Tile sheet.
constexpr int kTileSheetW = 800, kTileSheetH = 640;
constexpr int kTileCodes = 216;
constexpr int kTileRows = 18;
constexpr int kKindIconX = 352;
constexpr int kKindCount = 20;

inline Rect TileRect(int code) { return {32 * (code / kTileRows), 32 * (code % kTileRows), 32, 32}; }

// Every sprite-sheet rectangle the game reads, strips expanded into frames.
struct NamedRect {
  const char* name;
  Rect r;
};
std::vector<NamedRect> AllSpriteRects();

}  // namespace assetgen
