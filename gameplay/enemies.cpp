// The walking enemies. They patrol at a fixed distance per update, turn at
// walls and ledges, hurt the hero on contact and die when stomped, touched
// by an invincible hero, caught by the dig bomb or shaken by its blast.
#include "gameplay/enemies.h"

#include "game/game_context.h"
#include "game/game_state.h"
#include "game/sound_cues.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"

namespace {

constexpr float kWalkerSpeed = 1.0f;       // pixels per update, not scaled by time
constexpr float kSlowWalkerSpeed = 0.5f;
constexpr int32_t kContactDx = 20;
constexpr int32_t kContactDy = 30;
constexpr float kDeathHop = 5.76f;
constexpr float kStompBounce = 4.824f;
constexpr float kHurtHop = 7.2f;
constexpr float kHitCooldownMs = 2000.0f;
constexpr float kFrozenSpin = 0.005f;
constexpr int32_t kBombExplodeFrame = 25;  // past the last frame: blows at the next step
constexpr float kDustBelowMs = -309.0f;
constexpr int32_t kDustOffsetX = 10;
constexpr int32_t kDustOffsetY = 10;
constexpr int32_t kPoofOffsetX = 19;       // poof centred on the enemy
constexpr int32_t kPoofOffsetY = 31;
constexpr float kPoofLifeMs = -90.0f;
constexpr int32_t kStompSparkX = 16;
constexpr int32_t kStompSparkY = 32;



void CullWalkers() {
  const int32_t mapRight = mapWidth * kTileSize;
  const int32_t mapBottom = mapHeight * kTileSize;
  for (GameObject* o = objectList; o; o = o->next) {
    if (!IsWalker(o)) continue;
    const int32_t x = Ix(o);
    const int32_t y = Iy(o);
    if (x + o->frameW + cameraX < 0 || (!o->dying && y + o->frameH + cameraY < 0) ||
        x + cameraX > mapRight || y + cameraY > mapBottom)
      o->removeMe = 1;
  }
  PurgeRemovedObjects();
}

}  // namespace

int32_t enemiesKilled = 0;

void UpdateEnemies() {
  if (gameState == Paused) return;
  GameObject* hero = FindObject(Hero, 1);
  CullWalkers();
  GameObject* e = objectList;
  while (e) {
    GameObject* next = e->next;
    if (!IsWalker(e) || e->dying) {
      e = next;
      continue;
    }
    // Shake kill: enemies whose corner is on screen.
    if (shakeTimerMs != 0.0f && e->x >= 0.0f && e->x <= static_cast<float>(kScreenWidth) &&
        e->y >= 0.0f && e->y <= static_cast<float>(kScreenHeight)) {
      KillEnemy(e);
      SetJumpSpeed(e, kDeathHop);
      e = next;
      continue;
    }
    if (e->hitCooldown != 0.0f) {
      e->hitCooldown -= frameTimeMs;
      if (e->hitCooldown < 0.0f) e->hitCooldown = 0.0f;
    }
    if (powerState.freezeFlag) {
      e->angleA += frameTimeMs * kFrozenSpin;
      DrawPowerOrbit(static_cast<int32_t>(e->x + static_cast<float>(e->frameW / 2)),
                     static_cast<int32_t>(e->y + static_cast<float>(e->frameH / 2)), e->angleA);
    } else if (e->type == Walker) {
      UpdateWalker(hero, e, kWalkerSpeed, true);
    } else {
      UpdateWalker(hero, e, kSlowWalkerSpeed, false);
    }
    e = next;
  }
}

void UpdateWalker(GameObject* hero, GameObject* enemy, float speed, bool makesDust) {
  if (!enemy) return;
  if (HeroEnemyContact(hero, enemy, kContactDx, kContactDy)) return;

  // Going left the probes use the frame's corner, going right the box's: the
  // one-pixel difference is how these walkers have always turned. Both steps
  // may run in one update, so a walker boxed in by two walls turns every
  // update and stays where it is.
  if (enemy->heading == 1) {
    enemy->x -= speed;
    enemy->animRow = 1;
    if (WallLeft(Ix(enemy), Iy(enemy), enemy->boxW, enemy->boxH)) {
      enemy->heading = 0;
      SnapRightOut(enemy->x, enemy->y, (enemy->frameW - enemy->boxW) / 2);
    }
    if (!WallOrLedgeLeft(Ix(enemy), Iy(enemy) + kTileSize, enemy->boxW, enemy->boxH))
      enemy->heading = 0;
  }
  if (enemy->heading == 0) {
    enemy->x += speed;
    enemy->animRow = 0;
    const int32_t ox = (enemy->frameW - enemy->boxW) / 2;
    const int32_t oy = (enemy->frameH - enemy->boxH) / 2;
    if (WallRight(Ix(enemy) + ox, Iy(enemy) + oy, enemy->boxW, enemy->boxH)) {
      enemy->heading = 1;
      SnapLeftOut(enemy->x, enemy->y, ox);
    }
    if (!WallOrLedgeRight(Ix(enemy) + ox, Iy(enemy) + oy + kTileSize, enemy->boxW, enemy->boxH))
      enemy->heading = 1;
  }

  if (makesDust) {
    enemy->timer -= frameTimeMs;
    if (enemy->timer < kDustBelowMs) {
      enemy->timer = 0.0f;
      CreateObject(Dust, static_cast<int32_t>(enemy->x + static_cast<float>(enemy->frameW / 2 - kDustOffsetX)),
                   static_cast<int32_t>(enemy->y + static_cast<float>(enemy->frameH - kDustOffsetY)),
                   0.0f, 0.0f, true);
    }
  }
}

bool HeroEnemyContact(GameObject* hero, GameObject* enemy, int32_t dx, int32_t dy) {
  if (!enemy) return true;
  // 1. The dig bomb blows up when an enemy comes near it.
  GameObject* bomb = FindObject(DigBomb, 1);
  if (bomb && NearBoth(enemy, bomb, dx, dy)) {
    bomb->frame = kBombExplodeFrame;
    PlayCue(CueEnemyDies, effectsVolume);
    KillEnemy(enemy);
    SetJumpSpeed(enemy, kDeathHop);
  }
  // A dying enemy takes no further part: it neither hurts the hero nor is
  // killed (and counted) a second time.
  if (enemy->dying) return true;
  // 2. Not touching the hero.
  if (!hero || !NearBoth(hero, enemy, dx, dy)) return false;
  // 3. Invincible: one charge per enemy.
  if (powerState.invincibleMs > 0.0f) {
    if (powerState.powerCharges > 0) powerState.powerCharges -= 1;
    PlayCue(CueEnemyDies, effectsVolume);
    KillEnemy(enemy);
    SetJumpSpeed(enemy, kDeathHop);
    return true;
  }
  // 4. Stomp from above.
  if (StompTest(hero, enemy)) {
    SpawnBurst(SparkStar, Ix(hero) + kStompSparkX, Iy(hero) + kStompSparkY);
    KillEnemy(enemy);
    SetJumpSpeed(enemy, kDeathHop);
    hero->vy = 0.0f;
    SetJumpSpeed(hero, kStompBounce);
    return true;
  }
  // 5. Hurt, at most once per cooldown.
  if (enemy->hitCooldown != 0.0f) return true;
  enemy->hitCooldown = kHitCooldownMs;
  SpawnBurst(SparkHurt, Ix(hero), Iy(hero));
  hero->vy = 0.0f;
  SetJumpSpeed(hero, kHurtHop);
  LoseLife();
  return true;
}

void KillEnemy(GameObject* enemy) {
  if (!enemy || enemy->dying) return;
  enemy->dying = 1;
  enemiesKilled += 1;
  if (IsWalker(enemy)) PlayCue(CueEnemyDies, effectsVolume);
  CreateObject(EnemyPoof,
               static_cast<int32_t>(enemy->x + static_cast<float>(enemy->frameW / 2 - kPoofOffsetX)),
               static_cast<int32_t>(enemy->y + static_cast<float>(enemy->frameH / 2 - kPoofOffsetY)),
               0.0f, 0.0f, true);
}

void ExpirePoofs() {
  GameObject* o = objectList;
  while (o) {
    if (o->type == EnemyPoof) {
      o->timer -= frameTimeMs;
      if (o->timer < kPoofLifeMs) {
        DestroyObject(o);
        o = objectList ? objectList->next : nullptr;
        continue;
      }
    }
    o = o->next;
  }
}
