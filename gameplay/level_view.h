// Drawing a level frame (tiles, the bumped tile, plum blocks, the exit portal,
// flowers, objects) and the camera that follows the hero in whole pixels.
#pragma once

#include <cstdint>

#include "game/game_context.h"

struct GameObject;

// Pending fractional scroll, in [0, 1) between frames.
extern float scrollRemainderX;
extern float scrollRemainderY;

// The flower swing shared by every flower.
extern double flowerPhase;
extern double flowerOffset;

// The bumped tile: it rises and settles while bumpActive. bumpGeneration is
// the mapGeneration the cell belongs to; a bump of another map is ignored.
constexpr float kBumpDurationMs = 300.0f;
extern bool bumpActive;
extern int32_t bumpCell;
extern float bumpTimerMs;
extern uint32_t bumpGeneration;
// Starts the bump of a cell (cell indices above 0 only, the first cell never
// bumps).
void StartBumpAt(int32_t cellIndex);

// Camera and scroll remainders to 0 (stage start).
void ResetCamera();

// Draws the visible tiles of the map for a camera position.
void DrawLevel(int32_t cx, int32_t cy);
// Offset of a cell being bumped ((0, 0) for the others); runs the bump timer.
void BumpOffset(int32_t& dx, int32_t& dy, int32_t cellIndex);
// One flower (kind 0..5) swinging, swelling near the hero.
void DrawFlower(int32_t kind, int32_t x, int32_t y);
// Draws every object; false when the hero fell out of the level while Playing
// (the life is lost and the pass stops).
bool DrawObjects();

// Horizontal follow with a dead zone between 266 and 285.7 pixels.
void FollowHeroX(GameObject* hero);
// Vertical follow toward 290..310; a falling hero is followed faster.
void FollowHeroY(GameObject* hero);

// Scroll the camera by an amount in pixels (fractions kept in the remainder)
// and shift every object the opposite way by the whole pixels moved.
void ScrollLeft(float amount);
void ScrollRight(float amount);
void ScrollUp(float amount);
void ScrollDown(float amount);
