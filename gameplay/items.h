// Items, pickups and powers: fruit, keys and lives flying to their HUD
// counters, the five bonus powers with their timers and charges, the icons
// orbiting the hero, the dig bomb with its hole and shake, sparks and dust.
#pragma once

#include <cstdint>

struct GameObject;

// HUD counters that flash (index into hudFlash).
enum HudCounter : int32_t {
  HudFruit = 0,
  HudLives = 1,
  HudKeys = 2,
};
constexpr int32_t kHudCounterCount = 3;
constexpr float kHudFlashMs = 2500.0f;

// Stage and run counters (`lives` itself is in the game context).
extern int32_t fruitCount;       // fruit collected this stage
extern int32_t fruitTowardLife;  // 0..99, a life at 100
extern int32_t keys;             // keys held
// Per-counter flash timers in ms; the HUD shows a counter's panel while its
// timer is not 0.
extern float hudFlash[kHudCounterCount];

// The powers: one timer each in ms (only one power is in force at a time),
// the shared charges, and the flags derived from the timers every frame by
// UpdatePowerFlags.
struct PowerState {
  float invincibleMs;
  float freezeMs;
  float superMs;
  float superJumpMs;
  float digMs;
  float plumMs;
  int32_t powerCharges;
  bool freezeFlag;
  bool superFlag;
  bool superJumpFlag;
  bool plumFlag;
};
extern PowerState powerState;

// The hole blasted by the dig bomb.
struct HoleState {
  bool open;
  float timerMs;
  int32_t worldX;   // world point of the removed tile
  int32_t worldY;
  int32_t code;     // tile code to write back
};
extern HoleState hole;
extern float dustTimerMs;  // cadence of the running hero's dust

// Power kinds for GrantPower.
enum PowerKind : int32_t {
  PowerInvincible = 0,
  PowerFreeze = 1,
  PowerSuper = 2,
  PowerSuperJump = 3,
  PowerDig = 4,
  PowerPlum = 5,
};

// Contacts of the hero with springs, platforms and pickups (per frame).
void HeroTouches(GameObject* hero);
// Sends an item in a straight line to (targetX, targetY) in 781.25 ms.
void FlyToHud(GameObject* item, float targetX, float targetY);
// Counts items that reached their counter, draws the others (per frame).
void UpdateHudBoundItems();
// Adds fruit; every 100th gives a life.
void AddFruit(int32_t n);
// Starts a counter's flash (2500 ms).
void FlashHud(int32_t counter);
// Starts all three flashes (stage start).
void FlashAllHud();

// Replaces the power in force: sets its timer, zeroes the others and sets
// the charges.
void GrantPower(int32_t kind);
// The invincibility given at the end of a stage.
void GrantInvincible();
// Zeroes every power timer, the charges and the four flags.
void ClearPowers();
// Recomputes the four flags from the timers.
void UpdatePowerFlags();
// Runs the active power's timer and draws its icons around the hero.
void UpdatePowerOrbit(GameObject* hero);
// Draws one icon per charge on a circle of radius 45 around (cx, cy); with
// no charges left every power ends.
void DrawPowerOrbit(int32_t cx, int32_t cy, float angle);

// The use action: with the dig power places a bomb.
void UseAction(GameObject* hero);
// The bomb's end: blasts a hole under it and shakes the screen.
void Explode(GameObject* bomb);
// Closes the hole after 5 s (per frame).
void UpdateHole();
// Ends an open hole at once; writeBack puts the removed tile back (a restart
// of the same stage), otherwise it is dropped (the map is going away).
void CancelHole(bool writeBack);

// Three particles of the type at (x, y) spreading left, up and right.
void SpawnBurst(int32_t type, int32_t x, int32_t y);
// Expires dust puffs and leaves new ones behind a running hero (per frame).
void UpdateDust();

// Stage start: powers off, hole cancelled (tile written back), dust timer 0.
void ResetItemsForStage();
