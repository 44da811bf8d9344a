// Items, pickups and powers. Collected fruit, keys and lives fly to their HUD
// counter and only count when they arrive; bonus items grant one power at a
// time; the dig power drops a bomb that blasts a hole for five seconds.
#include "gameplay/items.h"

#include <cmath>

#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_main.h"
#include "game/random.h"
#include "game/sound_cues.h"
#include "gameplay/blocks.h"
#include "gameplay/hero.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/level.h"

namespace {

constexpr float kFlyRate = 0.016f;          // share of the distance per velocity unit
constexpr float kLivesTargetX = 513.0f;     // the lives counter
constexpr float kLivesTargetY = 4.0f;
constexpr float kKeysTargetX = 304.0f;      // the keys counter
constexpr float kKeysTargetY = 0.0f;
constexpr float kKeyArriveSlack = 5.0f;
constexpr int32_t kFruitPerLife = 100;

constexpr float kInvincibleGrantMs = 7000.0f;
constexpr float kFreezeGrantMs = 7000.0f;
constexpr float kSuperGrantMs = 7000.0f;
constexpr float kSuperJumpGrantMs = 15000.0f;
constexpr float kDigGrantMs = 35000.0f;
constexpr float kPlumGrantMs = 15000.0f;
constexpr int32_t kChargesDefault = 6;
constexpr int32_t kChargesSuperJump = 2;
constexpr int32_t kChargesDig = 1;
constexpr float kEpisodeEndInvincibleMs = 3500.0f;

constexpr float kOrbitRateCap = 7000.0f;    // orbit speed stops growing above this timer
constexpr float kOrbitSpin = 0.000001f;
constexpr float kFullTurn = 6.28f;
constexpr float kOrbitRadius = 45.0f;
constexpr int32_t kHeroCentreOffset = 16;

constexpr float kHoleOpenMs = 5000.0f;
constexpr float kDustCadenceMs = 200.0f;
constexpr int32_t kDustLastFrame = 8;
constexpr int32_t kDustOffsetX = 10;        // puff centred under the feet
constexpr int32_t kDustOffsetY = 10;

constexpr float kBurstSideSpeed = 0.3f;
constexpr float kBurstRise = 3.0f;

// Sound cues.

// Orbit icons: sheet rectangle and scale of each power's icon.
struct OrbitIcon {
  int32_t sx, sy, w, h;
  float scale;
};
constexpr OrbitIcon kIconInvincible = {17, 105, 13, 14, 0.75f};
constexpr OrbitIcon kIconFreeze = {528, 550, 32, 32, 0.75f};
constexpr OrbitIcon kIconSuper = {560, 550, 32, 32, 0.75f};
constexpr OrbitIcon kIconSuperJump = {592, 550, 32, 32, 1.5f};
constexpr OrbitIcon kIconDig = {0, 931, 32, 32, 0.75f};
constexpr OrbitIcon kIconPlum = {656, 550, 32, 32, 0.75f};

uint32_t holeGeneration = 0;  // map the hole was dug in


bool TouchesHero(const GameObject* hero, const GameObject* item) {
  return CentresWithin20(static_cast<int32_t>(hero->x), static_cast<int32_t>(hero->y),
                         hero->frameW, hero->frameH, static_cast<int32_t>(item->x),
                         static_cast<int32_t>(item->y), item->frameW, item->frameH);
}

// Where a walk goes on after a record was destroyed: the list's second record.
GameObject* SecondRecord() { return objectList ? objectList->next : nullptr; }

void ZeroPowerTimers() {
  powerState.invincibleMs = 0.0f;
  powerState.freezeMs = 0.0f;
  powerState.superMs = 0.0f;
  powerState.superJumpMs = 0.0f;
  powerState.digMs = 0.0f;
  powerState.plumMs = 0.0f;
}

}  // namespace

int32_t fruitCount = 0;
int32_t fruitTowardLife = 0;
int32_t keys = 0;
float hudFlash[kHudCounterCount] = {};

PowerState powerState = {};

HoleState hole = {};
float dustTimerMs = 0.0f;

void FlashHud(int32_t counter) {
  if (counter >= 0 && counter < kHudCounterCount) hudFlash[counter] = kHudFlashMs;
}

void FlashAllHud() {
  for (float& t : hudFlash) t = kHudFlashMs;
}

void HeroTouches(GameObject* hero) {
  if (!hero) return;
  GameObject* o = objectList;
  while (o) {
    GameObject* next = o->next;  // taken first: the record may be destroyed
    switch (o->type) {
      case Spring:
        SpringContact(hero, o);
        break;
      case Platform:
        if (!(hero->riding && !o->riding)) PlatformContact(hero, o);
        break;
      case Fruit:
        if (!o->hudBound && o->vy <= 0.0f && TouchesHero(hero, o)) {
          FlashHud(HudFruit);
          PlayCue(CueFruit, effectsVolume);
          FlyToHud(o, 0.0f, 0.0f);
          o->hudBound = 1;
          next = objectList;
        }
        break;
      case LifeBonus:
        if (!o->hudBound && TouchesHero(hero, o)) {
          FlashHud(HudLives);
          PlayCue(CueLifeUp, effectsVolume);
          FlyToHud(o, kLivesTargetX, kLivesTargetY);
          o->hudBound = 1;
          next = objectList;
        }
        break;
      case Key:
        if (!o->hudBound && TouchesHero(hero, o)) {
          FlashHud(HudKeys);
          PlayCue(CueKey, effectsVolume);
          FlyToHud(o, kKeysTargetX, kKeysTargetY);
          o->hudBound = 1;
          next = objectList;
        }
        break;
      default:
        if (IsBonusItem(o) && o->vy >= 0.0f && TouchesHero(hero, o)) {
          PlayCue(CueBonus, effectsVolume);
          GrantPower(static_cast<int32_t>(o->type - FreezeBonus) + PowerFreeze);
          DestroyObject(o);
          next = objectList;
        }
        break;
    }
    o = next;
  }
}

void FlyToHud(GameObject* item, float targetX, float targetY) {
  if (!item) return;
  item->vx = (targetX - item->x) * kFlyRate;
  item->vy = (targetY - item->y) * kFlyRate;
}

void UpdateHudBoundItems() {
  GameObject* o = objectList;
  while (o) {
    if (!o->hudBound) {
      o = o->next;
      continue;
    }
    bool arrived = false;
    if (o->type == Fruit) {
      if (o->x <= 0.0f && o->y <= 0.0f) {
        AddFruit(1);
        arrived = true;
      }
    } else if (o->type == LifeBonus) {
      if (o->y <= 0.0f) {
        lives += 1;
        arrived = true;
      }
    } else if (o->type == Key) {
      // A key also counts when it happens to pass the lives counter.
      if (o->y <= 0.0f || (std::fabs(o->x - kLivesTargetX) <= kKeyArriveSlack &&
                           std::fabs(o->y - kLivesTargetY) <= kKeyArriveSlack)) {
        keys += 1;
        arrived = true;
      }
    }
    if (arrived) {
      DestroyObject(o);
      o = SecondRecord();
      continue;
    }
    DrawSprite(spritesSurface, o->srcX, o->srcY, static_cast<int32_t>(o->x),
               static_cast<int32_t>(o->y), o->frameW, o->frameH, true);
    o = o->next;
  }
}

void AddFruit(int32_t n) {
  fruitCount += n;
  fruitTowardLife += n;
  while (fruitTowardLife >= kFruitPerLife) {
    fruitTowardLife -= kFruitPerLife;
    lives += 1;
    PlayCue(CueLifeUp, effectsVolume);
    FlashHud(HudLives);
  }
}

void GrantPower(int32_t kind) {
  float ms = 0.0f;
  int32_t charges = kChargesDefault;
  float* timer = nullptr;
  switch (kind) {
    case PowerInvincible: timer = &powerState.invincibleMs; ms = kInvincibleGrantMs; break;
    case PowerFreeze: timer = &powerState.freezeMs; ms = kFreezeGrantMs; break;
    case PowerSuper: timer = &powerState.superMs; ms = kSuperGrantMs; break;
    case PowerSuperJump: timer = &powerState.superJumpMs; ms = kSuperJumpGrantMs; charges = kChargesSuperJump; break;
    case PowerDig: timer = &powerState.digMs; ms = kDigGrantMs; charges = kChargesDig; break;
    case PowerPlum: timer = &powerState.plumMs; ms = kPlumGrantMs; break;
    default: return;  // not a power
  }
  ZeroPowerTimers();
  *timer = ms;
  powerState.powerCharges = charges;
}

void GrantInvincible() { GrantPower(PowerInvincible); }

void ClearPowers() {
  ZeroPowerTimers();
  powerState.powerCharges = 0;
  powerState.freezeFlag = powerState.superFlag = powerState.superJumpFlag = powerState.plumFlag = false;
}

void UpdatePowerFlags() {
  powerState.freezeFlag = powerState.superFlag = powerState.superJumpFlag = powerState.plumFlag = false;
  if (powerState.freezeMs > 0.0f) {
    powerState.freezeFlag = true;
  } else if (powerState.superMs > 0.0f) {
    powerState.superFlag = true;
  } else if (powerState.superJumpMs > 0.0f) {
    powerState.superJumpFlag = true;
  } else if (!(powerState.digMs > 0.0f) && powerState.plumMs > 0.0f) {
    powerState.plumFlag = true;
  }
}

namespace {

// A timed power's timer runs down; the orbit turns faster the more is left.
float RunDownTimer(float& timer) {
  timer -= frameTimeMs;
  if (timer < 0.0f) timer = 0.0f;
  return timer < kOrbitRateCap ? timer : kOrbitRateCap;
}

}  // namespace

void UpdatePowerOrbit(GameObject* hero) {
  if (!hero) return;
  if (gameState == EpisodeEnd) {
    powerState.powerCharges = kChargesDefault;
    powerState.invincibleMs = kEpisodeEndInvincibleMs;
  }
  float rate = 0.0f;
  if (powerState.invincibleMs > 0.0f) {
    powerState.invincibleMs -= frameTimeMs;
    if (powerState.invincibleMs < 0.0f) powerState.invincibleMs = 0.0f;
    hero->angleA += frameTimeMs * powerState.invincibleMs * kOrbitSpin;
  } else if (powerState.freezeMs > 0.0f) {
    rate = RunDownTimer(powerState.freezeMs);
  } else if (powerState.superMs > 0.0f) {
    rate = RunDownTimer(powerState.superMs);
  } else if (powerState.superJumpMs > 0.0f) {
    rate = RunDownTimer(powerState.superJumpMs);
  } else if (powerState.digMs > 0.0f) {
    rate = powerState.digMs < kOrbitRateCap ? powerState.digMs : kOrbitRateCap;  // dig never runs out by time
  } else if (powerState.plumMs > 0.0f) {
    rate = RunDownTimer(powerState.plumMs);
  } else {
    return;
  }
  hero->angleA += rate * frameTimeMs * kOrbitSpin;
  // The icons are evenly spaced, so the phase only matters modulo one
  // spacing. Without charges the powers are about to end: wrap on a full turn
  // instead of dividing by zero.
  const float step = powerState.powerCharges > 0 ? kFullTurn / static_cast<float>(powerState.powerCharges) : kFullTurn;
  if (hero->angleA >= step) hero->angleA -= step;
  DrawPowerOrbit(static_cast<int32_t>(hero->x) + kHeroCentreOffset,
                 static_cast<int32_t>(hero->y) + kHeroCentreOffset, hero->angleA);
}

void DrawPowerOrbit(int32_t cx, int32_t cy, float angle) {
  if (powerState.powerCharges <= 0) {
    ZeroPowerTimers();
    return;
  }
  const OrbitIcon* icon = nullptr;
  if (powerState.invincibleMs > 0.0f) icon = &kIconInvincible;
  else if (powerState.freezeMs > 0.0f) icon = &kIconFreeze;
  else if (powerState.superMs > 0.0f) icon = &kIconSuper;
  else if (powerState.superJumpMs > 0.0f) icon = &kIconSuperJump;
  else if (powerState.digMs > 0.0f) icon = &kIconDig;
  else if (powerState.plumMs > 0.0f) icon = &kIconPlum;
  if (!icon) return;
  const float step = kFullTurn / static_cast<float>(powerState.powerCharges);
  // One icon per charge (counted as an integer so rounding never adds one).
  for (int32_t k = 0; k < powerState.powerCharges && k < kChargesDefault; ++k) {
    const float a = angle + static_cast<float>(k) * step;
    const float dx = std::cos(a) * kOrbitRadius + static_cast<float>(cx - icon->w / 2);
    const float dy = std::sin(a) * kOrbitRadius + static_cast<float>(cy - icon->h / 2);
    DrawSpriteScaled(spritesSurface, static_cast<float>(icon->sx), static_cast<float>(icon->sy),
                     dx, dy, icon->w, icon->h, 0.0f, icon->scale);
  }
}

void UseAction(GameObject* hero) {
  if (!hero) return;
  if (!(powerState.digMs > 0.0f) || powerState.powerCharges <= 0 || hole.open) return;
  if (FindObject(DigBomb, 1)) return;
  powerState.powerCharges -= 1;
  CreateObject(DigBomb, static_cast<int32_t>(hero->x), static_cast<int32_t>(hero->y), 0.0f, 0.0f,
               true);
}

void Explode(GameObject* bomb) {
  if (!bomb) return;
  const int32_t px = static_cast<int32_t>(bomb->x + static_cast<float>(bomb->frameW / 2));
  const int32_t py = static_cast<int32_t>(bomb->y + static_cast<float>(bomb->frameH));
  const int32_t code = TileAt(px, py);
  if (code == -1) return;  // off the map: no hole, no shake, no sound
  // A hole still open would lose its tile if overwritten: close it first.
  if (hole.open) CancelHole(true);
  StartScreenShake();
  PlayCue(CueBlast, effectsVolume);
  hole.code = code;
  hole.worldX = px + cameraX;
  hole.worldY = py + cameraY;
  hole.open = true;
  hole.timerMs = kHoleOpenMs;
  holeGeneration = mapGeneration;
  SetTileAt(hole.worldX, hole.worldY, 0);
}

void UpdateHole() {
  if (!hole.open) return;
  if (holeGeneration != mapGeneration) {  // the stage it belonged to is gone
    CancelHole(false);
    return;
  }
  hole.timerMs -= frameTimeMs;
  if (hole.timerMs < 0.0f) CancelHole(true);
}

void CancelHole(bool writeBack) {
  if (hole.open && writeBack && holeGeneration == mapGeneration)
    SetTileAt(hole.worldX, hole.worldY, hole.code);
  hole.open = false;
  hole.timerMs = 0.0f;
}

void SpawnBurst(int32_t type, int32_t x, int32_t y) {
  if (y < 0) return;
  const float speeds[3] = {-kBurstSideSpeed, 0.0f, kBurstSideSpeed};
  for (float vx : speeds) {
    const float vy = static_cast<float>(Rand() % 100) * 0.01f - kBurstRise;
    CreateObject(type, x, y, vx, vy, true);
  }
}

void UpdateDust() {
  GameObject* o = objectList;
  while (o) {
    if (o->type == Dust && o->frame >= kDustLastFrame) {
      DestroyObject(o);
      o = SecondRecord();
      continue;
    }
    o = o->next;
  }
  dustTimerMs -= frameTimeMs;
  if (dustTimerMs < 0.0f) dustTimerMs = 0.0f;
  GameObject* hero = FindObject(Hero, 1);
  if (!hero || !runFlag) return;
  if (hero->heading != HeadingLeft && hero->heading != HeadingRight) return;
  if (dustTimerMs != 0.0f) return;
  dustTimerMs = kDustCadenceMs;
  CreateObject(Dust, static_cast<int32_t>(hero->x + static_cast<float>(hero->frameW / 2 - kDustOffsetX)),
               static_cast<int32_t>(hero->y + static_cast<float>(hero->frameH - kDustOffsetY)), 0.0f,
               0.0f, true);
}

void ResetItemsForStage() {
  ClearPowers();
  CancelHole(true);
  dustTimerMs = 0.0f;
}
