// Blocks hit from below (bricks, bonus blocks, the checkpoint), springs and
// moving platforms (shuttles and orbiting ones).
#pragma once

#include <cstdint>

struct GameObject;

// Tile codes of the blocks that react to a head bump.
constexpr int32_t kBrickCode = 65;
constexpr int32_t kRandomBonusCode = 83;
constexpr int32_t kFreezeBlockCode = 97;
constexpr int32_t kCheckpointCode = 101;
constexpr int32_t kSuperBlockCode = 115;
constexpr int32_t kJumpBlockCode = 133;
constexpr int32_t kDigBlockCode = 151;
constexpr int32_t kPlumBlockCode = 169;
constexpr int32_t kLifeBlockCode = 187;

// Kinds for SpawnBonus.
enum BonusKind : int32_t {
  BonusRandom = 0,
  BonusFreeze = 1,
  BonusSuper = 2,
  BonusJump = 3,
  BonusDig = 4,
  BonusPlum = 5,
  BonusLife = 6,
};

// Alternates the start direction of successive orbit platforms; true at
// program start.
extern bool orbitPhaseToggle;

// The block in lastProbe reacts to the hero's head; lastProbe is emptied.
void HitBlockFromBelow(GameObject* hero);
// The bumped tile rises and settles for 300 ms (never for cell 0).
void StartBump(GameObject* hero, int32_t cellIndex, int32_t probeX, int32_t probeY);
// A bonus item of the kind at (x, y), put at the head of the list, flying up.
GameObject* SpawnBonus(int32_t kind, int32_t x, int32_t y);
// Four pieces of the type from the corners of a w x h square at (x, y).
void BreakIntoFour(int32_t type, int32_t x, int32_t y, int32_t w, int32_t h);

void SpringContact(GameObject* hero, GameObject* spring);
void PlatformContact(GameObject* hero, GameObject* platform);
// Per-frame motion of the platforms (from the drawing pass), carrying a
// riding hero.
void ShuttlePlatform(GameObject* platform);
void OrbitPlatform(GameObject* platform);
// Advances both orbit phases and gives the step along the circle.
void OrbitAngles(GameObject* platform, float speed, float rate, float& dx, float& dy);
// Set-up of an orbit platform: successive calls alternate its direction and
// start its phases afresh.
void ToggleOrbitPhase(GameObject* platform);
// The toggle back to true: the first orbit platform set up next starts as
// the first of a stage does.
void StartOrbitPhases();
// Stage restart: the toggle becomes true and every orbit platform is set up
// again in list order.
void ResetOrbitPlatforms();
