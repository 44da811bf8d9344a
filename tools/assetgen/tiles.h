// Tile codes of the tile sheet, their kinds, and the painted sheet itself.
#pragma once
#include <cstdint>
#include <vector>

#include "image.h"

namespace assetgen {

// Kind values stored in world1.prp.
enum Kind : int32_t {
  kKindNone = 0,
  kKindLedge = 1,
  kKindSolid = 2,
  kKindSpring = 3,
  kKindExit = 4,
  kKindDeadly = 5,
  kKindStart = 6,
  kKindHang = 7,
  kKindFruit = 8,
  kKindLadder = 11,
  kKindKey = 12,
  kKindShuttle = 13,
  kKindOrbit = 15,
  kKindWalker = 16,
  kKindSlowWalker = 17,
};

// Tile codes (code c sits at column c / 18, row c % 18 of the sheet).
namespace code {
constexpr int kEmpty = 0;
constexpr int kGround = 1;  // 1..16: ground shaped by which sides are open (1 + mask)
constexpr int kGroundOpenTop = 1, kGroundOpenRight = 2, kGroundOpenBottom = 4, kGroundOpenLeft = 8;
constexpr int kStone = 17;
constexpr int kLedgeLeft = 18, kLedgeMid = 19, kLedgeRight = 20, kLedgeSingle = 21;
constexpr int kBrickWall = 22;
constexpr int kCrate = 23;
constexpr int kMetal = 24;
constexpr int kDirtBack = 25;  // dark earth seen behind, passable
constexpr int kLadder = 36;
constexpr int kHangBar = 37;
constexpr int kSpikes = 38;
constexpr int kLavaTop = 39;
constexpr int kLava = 40;
constexpr int kWaterTop = 41;  // deadly water
constexpr int kWater = 42;
constexpr int kFlowers[6] = {53, 71, 89, 107, 125, 143};
constexpr int kGrassTuft = 54, kBush = 55, kRock = 56, kMushroom = 57, kFence = 58, kSignArrow = 59,
              kSmallFlowers = 60, kTreeTrunk = 61, kTreeTop = 62, kCloudDecor = 63, kVines = 64;
constexpr int kBrick = 65;
constexpr int kRandomBlock = 83;
constexpr int kFreezeBlock = 97;
constexpr int kCheckpoint = 101;
constexpr int kSuperBlock = 115;
constexpr int kJumpBlock = 133;
constexpr int kDigBlock = 151;
constexpr int kPlumPowerBlock = 169;
constexpr int kLifeBlock = 187;
constexpr int kPlumOff = 144;
constexpr int kPlumOn = 162;
constexpr int kStart = 180, kFruit = 181, kKey = 182, kSpring = 183, kWalker = 184, kSlowWalker = 185,
              kShuttle = 186, kOrbit = 188, kExitDoor = 189;
constexpr int kFirstKindIcon = 198;  // codes from here on are the kind-icon column
}  // namespace code

// Kind of every tile code, 216 entries.
std::vector<int32_t> TileKindTable();
// world1.prp: the table as 216 little-endian int32.
std::vector<uint8_t> EncodeKindTable(const std::vector<int32_t>& kinds);

// The 800 x 640 tile sheet (keyed tiles, kind icons, legend).
Image PaintTileSheet();

// Codes that have a picture on the sheet (used by the tests and the preview).
std::vector<int> PaintedTileCodes();

}  // namespace assetgen
