// Level drawing (tiles, bump, plum swap, exit portal, flowers, objects) and
// the camera, which scrolls in whole pixels and shifts every object by the
// amount scrolled because object positions are screen coordinates.
#include "gameplay/level_view.h"

#include <cmath>

#include "game/drawing.h"
#include "game/game_state.h"
#include "gameplay/blocks.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/editor.h"
#include "world/level.h"
#include "world/tile_kinds.h"

float scrollRemainderX = 0.0f;
float scrollRemainderY = 0.0f;
double flowerPhase = 0.0;
double flowerOffset = 0.0;
bool bumpActive = false;
int32_t bumpCell = -1;
float bumpTimerMs = 0.0f;
uint32_t bumpGeneration = 0;

namespace {

constexpr int32_t kDrawnColumns = 26;       // columns visited per frame
constexpr int32_t kDrawnRows = 20;          // rows visited: r0 .. r0 + 20 inclusive
constexpr float kBumpRise = -12.0f;         // pixels at the start of a bump
constexpr float kBumpRate = 0.0033333334f;  // 1 / 300 ms
constexpr int32_t kPlumOffCode = 144;       // plum block without the plum power
constexpr int32_t kPlumOnCode = 162;        // the same block, usable
constexpr int32_t kFirstFlowerCode = 53;    // flowers 53, 71, ..., 143: one per sheet column
constexpr int32_t kFlowerKinds = 6;
constexpr int32_t kFlowerOffsetX = -24;
constexpr int32_t kFlowerOffsetY = -22;
constexpr double kFlowerPhaseRate = 0.002;
constexpr double kFlowerPhaseWrap = 6.25;
constexpr double kFlowerSwingRate = 0.01;
constexpr double kFlowerReach = 150.0;      // flowers nearer than this swell
constexpr double kFlowerGrowth = 0.006666667;
constexpr float kFlowerTilt = 5.0f;
constexpr int32_t kFlowerW = 80;
constexpr int32_t kFlowerH = 55;
constexpr int32_t kFlowerSource[kFlowerKinds][2] = {
    {609, 637}, {528, 693}, {609, 693}, {528, 749}, {609, 749}, {528, 805}};
constexpr int32_t kBlinkPeriodMs = 200;     // an invincible hero is hidden half of it
constexpr int32_t kBlinkHiddenAfterMs = 100;
constexpr float kSuperScale = 1.5f;
constexpr float kFollowRightFraction = 0.35714287f;  // 285.7 pixels at 800
constexpr float kFollowRate = 0.002f;
constexpr float kFollowDownRate = 0.006f;            // falling is followed 3x as fast
constexpr int32_t kFollowBand = 10;                  // vertical target band around mid-screen
constexpr float kRunScrollFactor = 1.5f;
constexpr float kMaxScrollStep = 1.0e6f;  // keeps the whole-pixel count inside int range

bool IsMarkerKind(int32_t kind) {
  switch (kind) {
    case SpringMark: case FruitMark: case KeyMark: case ShuttleMark: case OrbitMark:
    case WalkerMark: case SlowWalkerMark:
      return true;
    default:
      return false;
  }
}

bool OnScreen(int32_t x, int32_t y) {
  return x >= -kTileSize && x <= kScreenWidth && y >= -kTileSize && y <= kScreenHeight;
}

// Objects drawn at their own size even with the super power.
bool KeepsSize(uint32_t type) {
  switch (type) {
    case Fruit: case Walker: case SlowWalker: case Platform: case Spring: case Key:
    case FreezeBonus: case SuperBonus: case JumpBonus: case DigBonus: case PlumBonus:
      return true;
    default:
      return false;
  }
}

// Moves every object by the scrolled pixels, except flying HUD keys and lives.
void ShiftObjects(int32_t dx, int32_t dy) {
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->hudBound && (o->type == Key || o->type == LifeBonus)) continue;
    o->x += float(dx);
    o->y += float(dy);
  }
}

// Takes the whole pixels out of a remainder of at least 1. An absurd
// remainder gives a bounded step and is dropped, so it can never stick.
int32_t TakeWhole(float& remainder) {
  if (!(remainder < kMaxScrollStep)) {
    remainder = 0.0f;
    return int32_t(kMaxScrollStep);
  }
  int32_t whole = int32_t(remainder);
  remainder -= float(whole);
  return whole;
}

// Forward scroll on one axis (right or down): whole pixels moved.
int32_t ScrollForward(int32_t& camera, float& remainder, int32_t maxCamera, float amount) {
  if (camera >= maxCamera || !std::isfinite(amount)) return 0;
  remainder += amount;
  if (!(remainder >= 1.0f)) return 0;
  int32_t whole = TakeWhole(remainder);
  int64_t moved = int64_t(camera) + whole;
  if (moved >= maxCamera) {
    whole = maxCamera - camera;
    camera = maxCamera;
  } else {
    camera = int32_t(moved);
  }
  return whole;
}

// Backward scroll on one axis (left or up): whole pixels moved.
int32_t ScrollBackward(int32_t& camera, float& remainder, float amount) {
  if (camera < 1 || !std::isfinite(amount)) return 0;
  remainder -= amount;
  if (!(remainder < 0.0f)) return 0;
  int32_t whole;
  if (!(remainder > -kMaxScrollStep)) {
    whole = int32_t(kMaxScrollStep);
    remainder = 0.0f;
  } else {
    whole = int32_t(1.0f - remainder);
    remainder += float(whole);
  }
  if (int64_t(camera) - whole <= 0) {
    whole = camera;
    camera = 0;
  } else {
    camera -= whole;
  }
  return whole;
}

}  // namespace

void StartBumpAt(int32_t cellIndex) {
  if (cellIndex <= 0) return;
  bumpActive = true;
  bumpCell = cellIndex;
  bumpTimerMs = kBumpDurationMs;
  bumpGeneration = mapGeneration;
}

void ResetCamera() {
  cameraX = 0;
  cameraY = 0;
  scrollRemainderX = 0.0f;
  scrollRemainderY = 0.0f;
}

void BumpOffset(int32_t& dx, int32_t& dy, int32_t cellIndex) {
  dx = 0;
  dy = 0;
  if (!bumpActive || cellIndex != bumpCell) return;
  if (bumpGeneration != mapGeneration) {  // the map changed under the bump
    bumpActive = false;
    return;
  }
  dy = int32_t(bumpTimerMs * kBumpRate * kBumpRise);
  bumpTimerMs -= frameTimeMs;
  if (bumpTimerMs < 0.0f) {
    dx = 0;
    dy = 0;
    bumpActive = false;
  }
}

void DrawFlower(int32_t kind, int32_t x, int32_t y) {
  if (kind < 0 || kind >= kFlowerKinds) return;
  if (gameState != Paused) {
    flowerPhase += frameTimeMs * kFlowerPhaseRate;
    if (flowerPhase >= kFlowerPhaseWrap) flowerPhase -= kFlowerPhaseWrap;
    flowerOffset += std::sin(flowerPhase) * frameTimeMs * kFlowerSwingRate;
  }
  const int32_t swing = int32_t(flowerOffset);
  const int32_t drawnY = (kind % 2 == 0) ? y - swing : y + swing;
  double d = -1.0;
  if (GameObject* hero = FindObject(Hero, 1)) {
    d = Distance(x, drawnY, int32_t(hero->x) + hero->frameW / 2,
                 int32_t(hero->y) + hero->frameH / 2);
  }
  double g = (d >= 0.0 && d <= kFlowerReach) ? (kFlowerReach - d) * kFlowerGrowth : 0.0;
  DrawSpriteScaled(spritesSurface, float(kFlowerSource[kind][0]), float(kFlowerSource[kind][1]),
                   float(x), float(drawnY), kFlowerW, kFlowerH, float(g) * kFlowerTilt,
                   1.0f + float(g));
}

void DrawLevel(int32_t cx, int32_t cy) {
  if (currentStage > kStageCount || gameState == EpisodeEnd || !mapCells || !tileSheetSurface ||
      mapReady != 1)
    return;
  if (editorMode) {
    DrawEditorMap();
    return;
  }
  const int32_t c0 = cx < kTileSize ? 0 : cx / kTileSize;
  const int32_t r0 = cy < kTileSize ? 0 : cy / kTileSize;
  const int32_t columns = mapWidth < kDrawnColumns ? mapWidth : kDrawnColumns;
  const int32_t rows = mapHeight < kDrawnRows ? mapHeight : kDrawnRows;
  for (int32_t c = c0; c < c0 + columns; ++c) {
    if (c >= mapWidth) break;
    for (int32_t r = r0; r <= r0 + rows; ++r) {
      if (r >= mapHeight) break;
      const int32_t index = r * mapWidth + c;
      int32_t code = CellCode(mapCells[index].tile);
      if (code == 0) continue;
      const int32_t kind = TileKindOf(code);
      if (kind == StartMark) continue;
      const int32_t x = c * kTileSize - cx;
      const int32_t y = r * kTileSize - cy;
      if (kind == ExitDoor && keys > 0) {
        if (!FindObject(ExitPortal, 1)) {
          CreateObject(ExitPortal, x, y, 0.0f, 0.0f, true);
          if (GameObject* portal = FindObject(ExitPortal, 1)) {
            portal->spawnX = float(x + cameraX);
            portal->spawnY = float(y + cameraY);
          }
        }
        continue;
      }
      int32_t dx, dy;
      BumpOffset(dx, dy, index);
      if (powerState.plumFlag && code == kPlumOffCode) {
        code = kPlumOnCode;
        mapCells[index].tile = uint16_t(code + kTileValueBase);
      } else if (!powerState.plumFlag && code == kPlumOnCode) {
        code = kPlumOffCode;
        mapCells[index].tile = uint16_t(code + kTileValueBase);
      }
      if (code >= kFirstFlowerCode && (code - kFirstFlowerCode) % kSheetRows == 0 &&
          (code - kFirstFlowerCode) / kSheetRows < kFlowerKinds) {
        if (OnScreen(x, y))
          DrawFlower((code - kFirstFlowerCode) / kSheetRows, x + kFlowerOffsetX, y + kFlowerOffsetY);
        continue;
      }
      if (IsMarkerKind(TileKindOf(code))) continue;
      if (OnScreen(x, y)) {
        DrawSprite(tileSheetSurface, kTileSize * (code / kSheetRows),
                   kTileSize * (code % kSheetRows), x + dx, y + dy, kTileSize, kTileSize, true);
      }
    }
  }
}

bool DrawObjects() {
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->hudBound) continue;
    flipNextSprite = false;
    if (o->type == Hero) {
      if (powerState.invincibleMs > 0.0f &&
          int32_t(powerState.invincibleMs) % kBlinkPeriodMs > kBlinkHiddenAfterMs)
        continue;
      if (!ClampToPlayfield(o->x, o->y, o->frameW, o->frameH) && HeroInPlay()) {
        LoseLife();
        return false;
      }
      if (o->dying) flipNextSprite = true;
    }
    if (IsWalker(o) && o->dying) flipNextSprite = true;
    if (o->type == Platform) {
      if (o->subtype == kPlatformShuttle) ShuttlePlatform(o);
      else if (o->subtype == kPlatformOrbit) OrbitPlatform(o);
    }
    if (o->type == SparkStar || o->type == SparkHurt) {
      if (!ClampToPlayfield(o->x, o->y, o->frameW, o->frameH)) o->removeMe = 1;
    }
    if (powerState.superFlag && !KeepsSize(o->type)) {
      DrawSpriteScaled(spritesSurface, float(o->srcX), float(o->srcY), o->x, o->y, o->frameW,
                       o->frameH, 0.0f, kSuperScale);
    } else {
      DrawSprite(spritesSurface, o->srcX, o->srcY, int32_t(o->x), int32_t(o->y), o->frameW,
                 o->frameH, true);
    }
  }
  return true;
}

void FollowHeroX(GameObject* hero) {
  if (!hero) return;
  const float d = hero->x - float(kScreenWidth) * kFollowRightFraction;
  if (d > 0.0f) {
    if (cameraX < mapWidth * kTileSize - kScreenWidth) ScrollRight(frameTimeMs * d * kFollowRate);
  } else if (hero->x < float(kScreenWidth / 3) && cameraX > 0) {
    ScrollLeft((float(kScreenWidth / 3) - hero->x) * frameTimeMs * kFollowRate);
  }
}

void FollowHeroY(GameObject* hero) {
  if (!hero) return;
  const float low = float(kScreenHeight / 2 + kFollowBand);
  const float high = float(kScreenHeight / 2 - kFollowBand);
  if (hero->y > low) {
    ScrollDown((hero->y - low) * frameTimeMs * kFollowDownRate);
  } else if (hero->y < high) {
    ScrollUp((high - hero->y) * frameTimeMs * kFollowRate);
  }
}

void ScrollRight(float amount) {
  if (runFlag) amount *= kRunScrollFactor;
  int32_t whole = ScrollForward(cameraX, scrollRemainderX, mapWidth * kTileSize - kScreenWidth,
                                amount);
  if (whole != 0) ShiftObjects(-whole, 0);
}

void ScrollLeft(float amount) {
  if (runFlag) amount *= kRunScrollFactor;
  int32_t whole = ScrollBackward(cameraX, scrollRemainderX, amount);
  if (whole != 0) ShiftObjects(whole, 0);
}

void ScrollDown(float amount) {
  int32_t whole = ScrollForward(cameraY, scrollRemainderY, mapHeight * kTileSize - kScreenHeight,
                                amount);
  if (whole != 0) ShiftObjects(0, -whole);
}

void ScrollUp(float amount) {
  int32_t whole = ScrollBackward(cameraY, scrollRemainderY, amount);
  if (whole != 0) ShiftObjects(0, whole);
}
