// Tile queries, edge probes, snapping, geometry and the per-frame physics
// pass shared by every object.
#include "gameplay/physics.h"

#include <cmath>
#include <cstdlib>

#include "gameplay/blocks.h"
#include "gameplay/hero.h"
#include "gameplay/objects.h"
#include "world/level.h"
#include "world/tile_kinds.h"

ProbeTile lastProbe = {-1, -1, 0, 0};

namespace {

constexpr float kVelocityScale = 0.08f;     // velocity units are pixels per 12.5 ms
constexpr float kHeroMaxStep = 9.0f;        // the hero's largest move per axis per frame
constexpr float kGravity = 0.01f;           // added to vy per ms
constexpr float kHeroJumpGravity = 0.0003f; // extra gravity per unit of jumpBudget
constexpr float kPushOutOfWallVy = -2.0f;   // an object stuck in a wall is pushed up
constexpr int32_t kProbeInset = 5;          // probe points sit this far in from one edge
constexpr int32_t kProbeInsetFar = 10;      // ... and this far from the other
constexpr int32_t kSnapLeftLimit = 16;
constexpr int32_t kSnapRightLimit = 16;
constexpr int32_t kSnapDownLimit = 10;
constexpr int32_t kSnapUpLimit = 15;
constexpr double kTouchDistance = 20.0;

// Cell index and rounded screen position of the last TileAt that hit the map.
int32_t tileAtCell = -1;
int32_t tileAtX = 0;
int32_t tileAtY = 0;

bool IsHero(const GameObject* o) { return o->type == Hero; }

// Types that never fall.
bool Weightless(const GameObject* o) {
  switch (o->type) {
    case Fruit: case Key: case Platform: case ExitPortal: case Dust: case EnemyPoof:
    case Cursor: case LifeBonus: case DigBlast: case Spring:
      return true;
    default:
      return false;
  }
}

// Particles fall through the ground.
bool Particle(const GameObject* o) {
  return o->type == BrickChip || o->type == SparkStar || o->type == SparkHurt;
}

// Objects that only move by their velocity, with no collision.
bool MovesFreely(const GameObject* o) {
  switch (o->type) {
    case BrickChip: case SparkStar: case SparkHurt: case Dust: case EnemyPoof: case DigBlast:
      return true;
    default:
      return false;
  }
}

bool GroundKind(int32_t code) { return TileIsKind(code, Solid) || TileIsKind(code, Ledge); }

// The two points of a probe; the first that matches answers.
template <typename Match>
bool ProbeTwo(int32_t x1, int32_t y1, int32_t x2, int32_t y2, Match match) {
  return match(TileAt(x1, y1)) || match(TileAt(x2, y2));
}

// r of the snapping operations: keeps the sign of the dividend like C's %.
int32_t SnapRemainder(float coordinate, int32_t camera, int32_t offset) {
  int64_t v = int64_t(int32_t(coordinate)) + camera + offset;
  return int32_t(v % kTileSize);
}

}  // namespace

// --- tile access ---------------------------------------------------------------

int32_t TileAt(int32_t x, int32_t y) {
  const int64_t worldX = int64_t(x) + cameraX;
  const int64_t worldY = int64_t(y) + cameraY;
  if (worldX < 0 || worldY < 0 || !mapCells || mapWidth <= 0 || mapHeight <= 0) return -1;
  const int64_t index = (worldY / kTileSize) * mapWidth + worldX / kTileSize;
  if (index >= int64_t(mapWidth) * mapHeight) return -1;
  tileAtCell = int32_t(index);
  tileAtX = (x / kTileSize) * kTileSize;
  tileAtY = (y / kTileSize) * kTileSize;
  return int32_t(mapCells[index].tile) - kTileValueBase;
}

void SetTileAt(int32_t worldX, int32_t worldY, int32_t code) {
  if (worldX < 0 || worldY < 0 || !mapCells || mapWidth <= 0) return;
  const int64_t index = int64_t(worldY / kTileSize) * mapWidth + worldX / kTileSize;
  if (index >= int64_t(mapWidth) * mapHeight) return;
  mapCells[index].tile = uint16_t(code + kTileValueBase);
}

bool TileIsKind(int32_t code, TileKind kind) {
  if (code < 0 || code >= kTileCodeCount) return false;
  if (code == kEmptyTileCode) return kind == PlainTile;
  return tileKinds[code] == kind;
}

bool TileIsLadder(int32_t code) { return TileIsKind(code, Ladder); }

// --- edge probes -----------------------------------------------------------------

bool WallRight(int32_t x, int32_t y, int32_t w, int32_t h) {
  return ProbeTwo(x + w, y + kProbeInset, x + w, y + h - kProbeInsetFar,
                  [](int32_t c) { return TileIsKind(c, Solid); });
}

bool WallOrLedgeRight(int32_t x, int32_t y, int32_t w, int32_t h) {
  return ProbeTwo(x + w, y + kProbeInset, x + w, y + h - kProbeInsetFar, GroundKind);
}

bool WallLeft(int32_t x, int32_t y, int32_t w, int32_t h) {
  (void)w;
  return ProbeTwo(x, y + kProbeInset, x, y + h - kProbeInsetFar,
                  [](int32_t c) { return TileIsKind(c, Solid); });
}

bool WallOrLedgeLeft(int32_t x, int32_t y, int32_t w, int32_t h) {
  (void)w;
  return ProbeTwo(x, y + kProbeInset, x, y + h - kProbeInsetFar, GroundKind);
}

bool Ceiling(int32_t x, int32_t y, int32_t w, int32_t h) {
  (void)h;
  const int32_t xs[2] = {x + kProbeInset, x + w - kProbeInsetFar};
  for (int32_t px : xs) {
    int32_t code = TileAt(px, y);
    if (code == -1) continue;
    lastProbe.code = code;
    lastProbe.cellIndex = tileAtCell;
    lastProbe.probeX = tileAtX;
    lastProbe.probeY = tileAtY;
    if (TileIsKind(code, Solid)) return true;
  }
  return false;
}

bool Floor(int32_t x, int32_t y, int32_t w, int32_t h, int32_t mode) {
  const int32_t x1 = x + kProbeInset, x2 = x + w - kProbeInsetFar, py = y + h;
  switch (mode) {
    case kFloorGround: return ProbeTwo(x1, py, x2, py, GroundKind);
    case kFloorHangBar:
      return ProbeTwo(x1, py, x2, py, [](int32_t c) { return TileIsKind(c, HangBar); });
    case kFloorLadder: return ProbeTwo(x1, py, x2, py, TileIsLadder);
    case kFloorDeadly:
      return ProbeTwo(x1, py, x2, py, [](int32_t c) { return TileIsKind(c, Deadly); });
    default: return false;
  }
}

// --- snapping ----------------------------------------------------------------------

void SnapLeftOut(float& x, float y, int32_t offset) {
  if (TileAt(int32_t(x), int32_t(y)) == -1) return;
  int32_t r = SnapRemainder(x, cameraX, offset);
  if (r > 0 && r < kSnapLeftLimit) x -= float(r);
}

void SnapRightOut(float& x, float y, int32_t offset) {
  if (TileAt(int32_t(x), int32_t(y)) == -1) return;
  int32_t r = SnapRemainder(x, cameraX, offset);
  if (r > kSnapRightLimit) x += float(kTileSize - r);
}

bool SnapDown(float x, float& y, int32_t offset) {
  if (TileAt(int32_t(x), int32_t(y)) == -1) return false;
  int32_t r = SnapRemainder(y, cameraY, offset);
  if (r <= kSnapDownLimit) return false;
  y += float(kTileSize - r);
  return true;
}

bool SnapUp(float x, float& y, int32_t offset) {
  if (TileAt(int32_t(x), int32_t(y)) == -1) return false;
  int32_t r = SnapRemainder(y, cameraY, offset);
  if (r >= kSnapUpLimit) return false;
  y -= float(r);
  return true;
}

// --- geometry ----------------------------------------------------------------------

double Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const int64_t dx = int64_t(x1) - x2;
  const int64_t dy = int64_t(y1) - y2;
  return std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
}

bool CentresWithin20(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                     int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
  return Distance(x1 + w1 / 2, y1 + h1 / 2, x2 + w2 / 2, y2 + h2 / 2) <= kTouchDistance;
}

bool OverlapBoxes(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                  int32_t x2, int32_t y2, int32_t w2, int32_t h2) {
  return int64_t(x1) + w1 >= x2 && x1 <= int64_t(x2) + w2 &&
         int64_t(y1) + h1 >= y2 && y1 <= int64_t(y2) + h2;
}

bool NearBoth(const GameObject* a, const GameObject* b, int32_t dx, int32_t dy) {
  if (!a || !b) return false;
  const int64_t ax = int32_t(a->x), ay = int32_t(a->y);
  const int64_t bx = int32_t(b->x), by = int32_t(b->y);
  return std::llabs(ax - bx) < dx && std::llabs(ay - by) < dy;
}

bool StompTest(const GameObject* a, const GameObject* b) {
  if (!a || !b) return false;
  const float aBottom = a->y + float((a->frameH + a->boxH) / 2);
  const float bTop = b->y + float((b->frameH - b->boxH) / 2);
  const float bBottom = b->y + float(b->frameH);
  return aBottom >= bTop && aBottom <= bBottom && a->vy > 0.0f;
}

// --- motion ----------------------------------------------------------------------------

void MoveByVelocity(GameObject* object) {
  float dx = frameTimeMs * object->vx * kVelocityScale;
  float dy = frameTimeMs * object->vy * kVelocityScale;
  if (IsHero(object)) {
    dx = std::fmax(-kHeroMaxStep, std::fmin(kHeroMaxStep, dx));
    dy = std::fmax(-kHeroMaxStep, std::fmin(kHeroMaxStep, dy));
  }
  object->x += dx;
  object->y += dy;
}

void SetJumpSpeed(GameObject* object, float speed) {
  if (!object) return;
  if (gameState == Playing && object->vy < 0.0f) return;
  object->vy = -speed;
}

bool ClampToPlayfield(float& x, float& y, int32_t w, int32_t h) {
  if (x < 0.0f) x = 0.0f;
  if (x > float(kScreenWidth - w)) x = float(kScreenWidth - w);
  const int64_t mapBottom = int64_t(mapHeight) * kTileSize;
  const float bottom = float((mapBottom > kScreenHeight ? mapBottom : kScreenHeight) - cameraY);
  if (y > bottom) {
    y = bottom;
    return false;
  }
  if (y < float(-h)) y = float(-h);
  return true;
}

// --- the physics pass ----------------------------------------------------------------------

void ApplyGravity(GameObject* o) {
  if (gameState == Paused) return;
  const bool hero = IsHero(o);
  if (!((hero && gameState == LifeLost) || o->dying)) {
    if (Weightless(o)) return;
    if (o->riding) {
      if (hero) canJump = true;
      if (o->vy >= 0.0f) return;
    }
    if (o->climbing) {
      o->vy = 0.0f;
      return;
    }
    if (gameState != LifeLost && !Particle(o)) {
      const int32_t x = int32_t(o->x), y = int32_t(o->y);
      if (Floor(x, y, o->frameW, o->frameH, kFloorGround) ||
          Floor(x, y, o->frameW, o->frameH, kFloorLadder)) {
        if (hero && !jumpHeld) {
          canJump = true;
          jumpBudget = 0.0f;
        }
        SnapUp(o->x, o->y, o->boxH);
        return;  // landing keeps vy; MoveObject zeroes it
      }
    }
  }
  if (hero) {
    o->vy += (jumpBudget * kHeroJumpGravity + kGravity) * frameTimeMs;
    canJump = false;
  } else {
    o->vy += kGravity * frameTimeMs;
  }
}

bool MoveObject(GameObject* o) {
  if (gameState == Paused || o->type == Cursor) return true;
  const bool hero = IsHero(o);
  if (!hero && int64_t(int32_t(o->y)) + cameraY > int64_t(mapHeight) * kTileSize) return false;
  if (MovesFreely(o) || (hero && gameState == LifeLost) || (IsWalker(o) && o->dying)) {
    MoveByVelocity(o);
    return true;
  }
  if (hero) HeroLadderCheck(o);
  if (hero || IsWalker(o)) {
    const int32_t cx = int32_t(o->x + float(o->frameW / 2));
    const int32_t cy = int32_t(o->y + float(o->frameH / 2));
    if (TileIsKind(TileAt(cx, cy), Solid)) o->vy = kPushOutOfWallVy;
  }
  if (o->vx == 0.0f && o->vy == 0.0f) return true;
  MoveByVelocity(o);
  if (o->hudBound &&
      (o->type == Fruit || IsBonusItem(o) || o->type == LifeBonus || o->type == Key))
    return true;
  if (gameState != Playing && gameState != EpisodeEnd && gameState != LifeLost &&
      gameState != GameOver)
    return true;
  if (o->vy >= 0.0f) {
    if (hero) HeroBarAndDeadlyCheck(o);
    if (o->dying) return true;
    if (Floor(int32_t(o->x), int32_t(o->y), o->frameW, o->frameH, kFloorGround)) {
      if (o->type == Fruit || IsBonusItem(o)) o->vx = 0.0f;
      if (SnapUp(o->x, o->y, o->boxH)) o->vy = 0.0f;
    }
    return true;
  }
  if (!Ceiling(int32_t(o->x), int32_t(o->y), o->frameW, o->frameH)) return true;
  o->vy = 0.0f;
  SnapDown(o->x, o->y, o->boxH);
  if (hero && lastProbe.cellIndex != -1) HitBlockFromBelow(o);
  return true;
}

void UpdateObjectPhysics() {
  for (GameObject* o = objectList; o; o = o->next) {
    ApplyGravity(o);
    if (!MoveObject(o)) o->removeMe = 1;
  }
  PurgeRemovedObjects();
}
