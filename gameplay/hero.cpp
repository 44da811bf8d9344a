// The hero: turns the player's action bits into walking, running, jumping,
// climbing and the exit check, and reacts to ladders, hang bars and deadly
// tiles from inside the physics pass.
#include "gameplay/hero.h"

#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "game/sound_cues.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"

namespace {

constexpr float kWalkSpeedPerMs = 0.2f;
constexpr float kRunFactor = 1.5f;
constexpr float kMaxStep = 16.0f;          // sideways pixels per frame, however long
constexpr float kJumpSpeed = 7.2f;
constexpr float kSuperJumpSpeed = 14.4f;
constexpr float kJumpBudgetStart = 75.0f;
constexpr float kJumpBudgetDrainPerMs = 0.3f;
constexpr float kTileScale = 0.03125f;     // 1 / 32

constexpr int32_t kLadderReachHigh = 16;   // ladder probes, frame raised by these
constexpr int32_t kLadderReachLow = 8;
constexpr int32_t kBarReach = 32;          // a bar is caught one tile above the feet
constexpr int32_t kExitProbe = 16;

// Exit hint: with and without a key.
constexpr int32_t kExitHintKeyX = 289;
constexpr int32_t kExitHintKeyY = 1;
constexpr int32_t kExitHintNoKeyY = 27;
constexpr int32_t kExitHintW = 153;
constexpr int32_t kExitHintH = 25;
constexpr int32_t kExitHintBottom = 33;


constexpr InputBits kLeftBits = BitLeft | BitJoyLeft;
constexpr InputBits kRightBits = BitRight | BitJoyRight;
constexpr InputBits kDownBits = BitDown | BitJoyDown;
constexpr InputBits kUpBits = BitUp | BitJoyUp;
constexpr InputBits kJumpBits = BitJump | BitJoyJump;
constexpr InputBits kUseBits = BitAction | BitJoyAction;


// Lets go of a hang bar: remembers the tile the hero is in.
void ReleaseBar(const GameObject* hero) {
  barRelease.armed = false;
  barRelease.col = static_cast<int32_t>(hero->x * kTileScale);
  barRelease.row = static_cast<int32_t>(hero->y * kTileScale);
}

}  // namespace

bool canJump = false;
bool jumpHeld = false;
float jumpBudget = 0.0f;
int32_t lastDirection = 0;
bool runFlag = false;
bool useLatch = false;
BarRelease barRelease = {true, 0, 0};

void ResetHeroState() {
  canJump = false;
  jumpHeld = false;
  jumpBudget = 0.0f;
  lastDirection = 0;
  runFlag = false;
  useLatch = false;
}

bool MoveLeft(float speed, GameObject* object) {
  if (!object) return false;
  if (!WallLeft(Ix(object), Iy(object), object->boxW, object->boxH)) {
    object->x -= speed;
    return true;
  }
  SnapRightOut(object->x, object->y, (object->frameW - object->boxW) / 2);
  return false;
}

bool MoveRight(float speed, GameObject* object) {
  if (!object) return false;
  if (!WallRight(Ix(object), Iy(object), object->boxW, object->boxH)) {
    object->x += speed;
    return true;
  }
  SnapLeftOut(object->x, object->y, object->boxW);
  return false;
}

bool ClimbUp(float speed, GameObject* object) {
  if (!object) return false;
  if (Ceiling(Ix(object), Iy(object), object->frameW, object->frameH)) return false;
  object->y -= speed;
  return true;
}

bool ClimbDown(float speed, GameObject* object) {
  if (!object) return false;
  if (Floor(Ix(object), Iy(object), object->frameW, object->frameH, kFloorGround)) return false;
  object->y += speed;
  return true;
}

void SuperJump(GameObject* hero) {
  if (!hero) return;
  if (powerState.superJumpMs > 0.0f && powerState.powerCharges > 0) {
    powerState.powerCharges -= 1;
    SetJumpSpeed(hero, kSuperJumpSpeed);
  }
}

void UpdateHero(uint32_t actions) {
  if (stageFinished) return;
  GameObject* hero = FindObject(Hero, 1);
  if (!hero) return;

  // 1-2. Contacts, powers and the camera.
  hero->heading = HeadingStanding;
  HeroTouches(hero);
  UpdatePowerOrbit(hero);
  UpdatePowerFlags();
  FollowHeroX(hero);
  FollowHeroY(hero);

  // 3. Use, on the first frame of a press.
  if (actions & kUseBits) {
    if (!useLatch) {
      useLatch = true;
      UseAction(hero);
    }
  } else {
    useLatch = false;
  }

  // 4. Jump. Holding the action keeps the budget draining while rising, which
  // weakens gravity and gives a higher jump.
  if (actions & kJumpBits) {
    if (jumpHeld && hero->vy < 0.0f) {
      jumpBudget -= frameTimeMs * kJumpBudgetDrainPerMs;
      if (jumpBudget < 0.0f) jumpBudget = 0.0f;
    }
    if (!jumpHeld) {
      jumpHeld = true;
      if (canJump) {
        PlayCue(CueJump, effectsVolume);
        canJump = false;
        if (powerState.superJumpFlag) {
          SuperJump(hero);
        } else {
          SetJumpSpeed(hero, kJumpSpeed);
        }
        jumpBudget = kJumpBudgetStart;
      } else if (barRelease.armed) {
        ReleaseBar(hero);
      }
    }
  } else {
    jumpHeld = false;
  }

  // 5. Speed.
  float speed = frameTimeMs * kWalkSpeedPerMs;
  if (actions & kUseBits) {
    runFlag = true;
    speed *= kRunFactor;
  } else {
    runFlag = false;
  }
  if (speed > kMaxStep) speed = kMaxStep;

  // 6. Standing row from the last direction.
  if (lastDirection == HeadingLeft) hero->animRow = kHeroRowStandLeft;
  else if (lastDirection == HeadingRight) hero->animRow = kHeroRowStandRight;

  // 7-8. Left, then right: both may act in one frame.
  if (actions & kLeftBits) {
    lastDirection = HeadingLeft;
    if (MoveLeft(speed, hero)) {
      hero->heading = HeadingLeft;
      hero->animRow = kHeroRowWalkLeft;
    }
  }
  if (actions & kRightBits) {
    lastDirection = HeadingRight;
    if (MoveRight(speed, hero)) {
      hero->heading = HeadingRight;
      hero->animRow = kHeroRowWalkRight;
    }
  }

  // 9. Down: lets go of a bar, grabs a ladder below, climbs down.
  if (actions & kDownBits) {
    lastDirection = HeadingDown;
    hero->heading = HeadingDown;
    if (barRelease.armed) ReleaseBar(hero);
    if (!hero->climbing && Floor(Ix(hero), Iy(hero) + hero->frameH / 2, hero->frameW, hero->frameH,
                                 kFloorLadder)) {
      canJump = false;
      hero->climbing = 1;
    }
    if (hero->climbing) {
      if (!ClimbDown(speed, hero)) {
        hero->climbing = 0;
        hero->animRow = lastDirection;
      } else {
        hero->animRow = kHeroRowClimbDown;
      }
    }
  }

  // 10. Up, only on a ladder.
  if ((actions & kUpBits) && hero->climbing) {
    ClimbUp(speed, hero);
    if (hero->climbing) hero->animRow = kHeroRowClimbUp;
  }

  // 11. The exit: the hint always, the end of the stage with a key.
  if (TileIsKind(TileAt(Ix(hero) + kExitProbe, Iy(hero) + kExitProbe), ExitDoor)) {
    DrawSprite(spritesSurface, kExitHintKeyX, keys > 0 ? kExitHintKeyY : kExitHintNoKeyY,
               (kScreenWidth - kExitHintW) / 2, kScreenHeight - kExitHintBottom, kExitHintW,
               kExitHintH, true);
    FlashHud(HudKeys);
    if (keys != 0) {
      hero->vy = 0.0f;
      FinishStage();
    }
  }

  // 12. Airborne headings.
  if (hero->vy != 0.0f) {
    if (lastDirection == HeadingLeft) hero->heading = HeadingAirLeft;
    else if (lastDirection == HeadingRight) hero->heading = HeadingAirRight;
  }
}

void HeroLadderCheck(GameObject* hero) {
  if (!hero) return;
  const int32_t x = Ix(hero);
  const int32_t y = Iy(hero);
  if (Floor(x, y - kLadderReachHigh, hero->frameW, hero->frameH, kFloorLadder) ||
      Floor(x, y - kLadderReachLow, hero->frameW, hero->frameH, kFloorLadder)) {
    hero->vy = 0.0f;
    hero->climbing = 1;
    canJump = false;
    if (hero->animRow != kHeroRowClimbDown && hero->animRow != kHeroRowClimbUp)
      hero->animRow = kHeroRowClimbDown;
  } else if (hero->climbing) {
    hero->climbing = 0;
  }
}

void HeroBarAndDeadlyCheck(GameObject* hero) {
  if (!hero) return;
  // 1. Just let go of a bar: it does not catch him again in the same tile.
  bool skipBar = false;
  if (!barRelease.armed) {
    const int32_t col = static_cast<int32_t>(hero->x * kTileScale);
    const int32_t row = static_cast<int32_t>(hero->y * kTileScale);
    if (col == barRelease.col && row == barRelease.row) {
      skipBar = true;
    } else {
      barRelease.armed = true;
    }
  }
  // 2. Hang: gravity adds to vy every frame and this takes it away again.
  if (!skipBar &&
      Floor(Ix(hero), Iy(hero) - kBarReach, hero->frameW, hero->frameH, kFloorHangBar)) {
    hero->vy = 0.0f;
    SnapUp(hero->x, hero->y, kBarReach);
    if (hero->animRow == kHeroRowWalkRight || hero->animRow == kHeroRowStandRight)
      hero->animRow = kHeroRowHangRight;
    else if (hero->animRow == kHeroRowWalkLeft || hero->animRow == kHeroRowStandLeft)
      hero->animRow = kHeroRowHangLeft;
  }
  // 3. Deadly tiles, unless invincible.
  if (Floor(Ix(hero), Iy(hero) - hero->boxH / 2, hero->frameW, hero->frameH, kFloorDeadly) &&
      !(powerState.invincibleMs > 0.0f)) {
    SpawnBurst(SparkHurt, Ix(hero), Iy(hero));
    SetJumpSpeed(hero, kJumpSpeed);
    LoseLife();
  }
}
