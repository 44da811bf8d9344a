// The hero: walking, running, jumping, climbing ladders, hanging from bars,
// deadly tiles and the exit. UpdateHero runs once per frame after the physics
// pass; the ladder, hang-bar and deadly-tile checks run inside the physics
// pass itself (see the hooks at the bottom).
#pragma once

#include <cstdint>

struct GameObject;

// Motion states kept in the hero's `heading`.
enum HeroHeading : int32_t {
  HeadingStanding = 0,
  HeadingLeft = 1,
  HeadingRight = 2,
  HeadingDown = 4,
  HeadingAirLeft = 5,
  HeadingAirRight = 6,
};

// The tile the hero was in when he let go of a hang bar; while he stays in
// that tile the bar does not catch him again.
struct BarRelease {
  bool armed;     // armed at program start, not re-armed by stage starts
  int32_t col;    // hero screen x * 0.03125, truncated
  int32_t row;    // hero screen y * 0.03125, truncated
};

// Hero state beside the record.
extern bool canJump;         // set on landing, cleared in the air and on ladders
extern bool jumpHeld;        // the jump action was held in the previous frame
extern float jumpBudget;     // 75 at take-off, drains while jump is held
extern int32_t lastDirection;  // 1 after left, 2 after right, 4 after down
extern bool runFlag;         // the run action is held this frame
extern bool useLatch;        // the use action was held in the previous frame
extern BarRelease barRelease;

// One frame of the hero with the player's action bits. Does nothing while
// the stage is finished or without a hero.
void UpdateHero(uint32_t actions);

// Sideways steps: false (and snapped out of the wall) when a wall blocks.
bool MoveLeft(float speed, GameObject* object);
bool MoveRight(float speed, GameObject* object);
// Vertical steps on ladders and platforms: false when the ceiling or the
// ground stops the object.
bool ClimbUp(float speed, GameObject* object);
bool ClimbDown(float speed, GameObject* object);
// With the super-jump power and a charge left: uses the charge and jumps at
// 14.4.
void SuperJump(GameObject* hero);

// Hooks run by the physics pass for the hero:
// ladder detection (before the hero moves by its velocity);
void HeroLadderCheck(GameObject* hero);
// hang bars and deadly tiles (while falling or at rest, before landing).
void HeroBarAndDeadlyCheck(GameObject* hero);

// Stage start: the hero's per-stage state (lastDirection, latches, jump).
// barRelease is left as it is.
void ResetHeroState();
