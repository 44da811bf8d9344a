// Blocks the hero hits from below, springs and moving platforms. Blocks are
// tiles recognised by their code; springs and platforms are objects placed on
// their marker tiles. Platforms move from the drawing pass and carry a riding
// hero with the hero's own wall-aware steps.
#include "gameplay/blocks.h"

#include <cmath>

#include "game/game_context.h"
#include "game/random.h"
#include "game/sound_cues.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"

namespace {

constexpr int32_t kChipSize = 16;
constexpr float kChipSideSpeed = 0.3f;
constexpr float kChipRise = 4.0f;
constexpr float kBonusRise = 5.0f;
constexpr float kBonusDrift = 1.0f;
constexpr int32_t kBonusTypeCount = 5;      // FreezeBonus .. PlumBonus
constexpr int32_t kBurstOffsetX = 16;
constexpr int32_t kCheckpointBursts = 3;

constexpr float kSpringBounce = 7.2f;
constexpr int32_t kSpringFirstFrame = 1;

constexpr int32_t kArmAbovePx = 8;          // feet this close to the top arm a landing
constexpr int32_t kLandDepthPx = 8;

constexpr float kShuttleSpeedPerMs = 0.07f;
constexpr float kOrbitSpeed = -0.05f;
constexpr float kOrbitRate = -0.0005f;
constexpr float kOrbitTurn = 6.2832f;
constexpr float kOrbitStartAngle = 3.1415f;



// Empties a cell of the map given by its index.
void EmptyCell(int32_t cellIndex) {
  if (mapWidth <= 0 || cellIndex < 0) return;
  SetTileAt((cellIndex % mapWidth) * kTileSize, (cellIndex / mapWidth) * kTileSize, 0);
}

// Carries a riding hero along with his platform; his own steps stop him at
// walls and ceilings.
void CarryRider(GameObject* platform, float dx, float dy, bool vertical) {
  if (!platform->riding) return;
  GameObject* hero = FindObject(Hero, 1);
  if (!hero || !hero->riding) return;
  if (dx < 0.0f) MoveLeft(-dx, hero);
  else MoveRight(dx, hero);
  if (!vertical) return;
  if (dy < 0.0f) ClimbUp(-dy, hero);
  else ClimbDown(dy, hero);
}

}  // namespace

bool orbitPhaseToggle = true;

void HitBlockFromBelow(GameObject* hero) {
  const int32_t code = lastProbe.code;
  const int32_t cell = lastProbe.cellIndex;
  const int32_t px = lastProbe.probeX;
  const int32_t py = lastProbe.probeY;
  lastProbe.code = -1;
  lastProbe.cellIndex = -1;
  if (!hero || cell < 0) return;
  const int32_t hx = Ix(hero);
  const int32_t hy = Iy(hero);

  switch (code) {
    case kBrickCode:
      PlayCue(CueBlock, effectsVolume);
      if (powerState.superFlag) {
        EmptyCell(cell);
        BreakIntoFour(BrickChip, px, py, kChipSize, kChipSize);
      } else {
        StartBump(hero, cell, px, py);
      }
      break;
    case kRandomBonusCode:
      PlayCue(CueBlock, effectsVolume);
      EmptyCell(cell);
      SpawnBonus(BonusRandom, hx, hy);
      break;
    case kFreezeBlockCode:
    case kLifeBlockCode:
      // Gives its one item and empties.
      PlayCue(CueBlock, effectsVolume);
      EmptyCell(cell);
      SpawnBonus(code == kFreezeBlockCode ? BonusFreeze : BonusLife, hx, hy);
      StartBump(hero, cell, px, py);
      break;
    case kSuperBlockCode:
    case kJumpBlockCode:
    case kDigBlockCode: {
      // These stay in place: every bump gives another item.
      PlayCue(CueBlock, effectsVolume);
      const int32_t kind =
          code == kSuperBlockCode ? BonusSuper : (code == kJumpBlockCode ? BonusJump : BonusDig);
      SpawnBonus(kind, hx, hy);
      SpawnBurst(SparkStar, hx + kBurstOffsetX, hy);
      StartBump(hero, cell, px, py);
      break;
    }
    case kPlumBlockCode:
      PlayCue(CueBlock, effectsVolume);
      SpawnBonus(BonusPlum, hx, hy);
      StartBump(hero, cell, px, py);
      break;
    case kCheckpointCode:
      PlayCue(CueCheckpoint, effectsVolume);
      EmptyCell(cell);
      for (int32_t i = 0; i < kCheckpointBursts; ++i) SpawnBurst(SparkStar, hx + kBurstOffsetX, hy);
      checkpointX = hx + cameraX;
      checkpointY = hy + cameraY;
      checkpointSet = true;
      break;
    default:
      break;  // an ordinary tile
  }
}

void StartBump(GameObject* /*hero*/, int32_t cellIndex, int32_t /*probeX*/, int32_t /*probeY*/) {
  if (cellIndex > 0) StartBumpAt(cellIndex);
}

GameObject* SpawnBonus(int32_t kind, int32_t x, int32_t y) {
  if (kind < BonusRandom || kind > BonusLife) return nullptr;
  const float vx = static_cast<float>(Rand() % 200) * 0.01f - kBonusDrift;
  const float vy = static_cast<float>(Rand() % 100) * 0.01f - kBonusRise;
  int32_t type = LifeBonus;
  if (kind == BonusRandom) type = FreezeBonus + Rand() % kBonusTypeCount;
  else if (kind != BonusLife) type = FreezeBonus + (kind - BonusFreeze);
  return CreateObject(type, x, y, vx, vy, false);
}

void BreakIntoFour(int32_t type, int32_t x, int32_t y, int32_t w, int32_t h) {
  struct Piece {
    int32_t x, y;
    float vx;
  };
  const Piece pieces[4] = {{x, y, -kChipSideSpeed},
                           {x, y + h, -kChipSideSpeed},
                           {x + w, y, kChipSideSpeed},
                           {x + w, y + h, kChipSideSpeed}};
  for (const Piece& p : pieces) {
    const float vy = static_cast<float>(Rand() % 100) * 0.01f - kChipRise;
    CreateObject(type, p.x, p.y, p.vx, vy, true);
  }
}

void SpringContact(GameObject* hero, GameObject* spring) {
  if (!hero || !spring) return;
  if (spring->springActive) return;
  if (!CentresWithin20(Ix(hero), Iy(hero), hero->frameW, hero->frameH, Ix(spring), Iy(spring),
                       spring->frameW, spring->frameH))
    return;
  spring->springActive = 1;
  spring->frame = kSpringFirstFrame;
  hero->vy = 0.0f;
  PlayCue(CueSpring, effectsVolume);
  SetJumpSpeed(hero, kSpringBounce);
  jumpBudget = 0.0f;
}

void PlatformContact(GameObject* hero, GameObject* platform) {
  if (!hero || !platform) return;
  const int32_t hx = Ix(hero);
  const int32_t hy = Iy(hero);
  const int32_t px = Ix(platform);
  const int32_t py = Iy(platform);
  if (!hero->riding && hy + kTileSize <= py + kArmAbovePx) platform->platformArmed = 1;
  if (OverlapBoxes(hx, hy, hero->frameW, hero->frameH, px, py, platform->frameW,
                   platform->frameH)) {
    if (hero->vy >= 0.0f && platform->platformArmed && hy - py + hero->frameH <= kLandDepthPx) {
      hero->vy = 0.0f;
      hero->y = platform->y + 1.0f - static_cast<float>(hero->frameH);
      platform->platformArmed = 0;
      hero->riding = 1;
      platform->riding = 1;
    }
  } else {
    hero->riding = 0;
    platform->riding = 0;
  }
}

void ShuttlePlatform(GameObject* platform) {
  if (!platform || gameState == Paused) return;
  const int32_t ox = (platform->frameW - platform->boxW) / 2;
  const int32_t oy = (platform->frameH - platform->boxH) / 2;
  float dx;
  if (platform->platformDir == 1) {
    dx = frameTimeMs * -kShuttleSpeedPerMs;
    if (WallLeft(Ix(platform) + ox, Iy(platform) + oy, platform->boxW, platform->boxH))
      platform->platformDir = 0;
  } else {
    dx = frameTimeMs * kShuttleSpeedPerMs;
    if (WallRight(Ix(platform) + ox, Iy(platform) + oy, platform->boxW, platform->boxH))
      platform->platformDir = 1;
  }
  platform->x += dx;
  CarryRider(platform, dx, 0.0f, false);
}

void OrbitAngles(GameObject* platform, float speed, float rate, float& dx, float& dy) {
  dx = dy = 0.0f;
  if (!platform) return;
  float* angles[2] = {&platform->angleA, &platform->angleB};
  for (float* a : angles) {
    *a += frameTimeMs * rate;
    if (*a >= kOrbitTurn) *a -= kOrbitTurn;
    // Turning the other way the phase would shrink without end and lose
    // precision; a full turn changes nothing on the circle.
    if (*a <= -kOrbitTurn) *a += kOrbitTurn;
  }
  const float sign = platform->orbitReverse ? 1.0f : -1.0f;
  dx = std::cos(sign * platform->angleA) * frameTimeMs * speed;
  dy = std::sin(sign * platform->angleB) * frameTimeMs * speed;
}

void OrbitPlatform(GameObject* platform) {
  if (!platform || gameState == Paused) return;
  float dx = 0.0f;
  float dy = 0.0f;
  OrbitAngles(platform, kOrbitSpeed, kOrbitRate, dx, dy);
  platform->x += dx;
  platform->y += dy;
  CarryRider(platform, dx, dy, true);
}

void ToggleOrbitPhase(GameObject* platform) {
  orbitPhaseToggle = !orbitPhaseToggle;
  if (!platform) return;
  platform->orbitReverse = orbitPhaseToggle ? 1 : 0;
  // Both phases start afresh, so a restarted stage circles as it did at its
  // start rather than from where the platform was when the hero died.
  const float start = orbitPhaseToggle ? 0.0f : kOrbitStartAngle;
  platform->angleA = start;
  platform->angleB = start;
}

void StartOrbitPhases() { orbitPhaseToggle = true; }

void ResetOrbitPlatforms() {
  StartOrbitPhases();
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->type == Platform && o->subtype == kPlatformOrbit) ToggleOrbitPhase(o);
  }
}
