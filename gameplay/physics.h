// Tile queries, edge probes against the tile grid, snapping back onto tile
// boundaries, geometric tests between objects, and the per-frame physics pass
// (gravity, motion, landing, head bumps) every object goes through.
//
// Object positions are screen coordinates; every tile query adds the camera.
#pragma once

#include <cstdint>

#include "game/game_context.h"

struct GameObject;

// What a tile does, looked up in tileKinds by tile code. Values are stored in
// the tile-kind file; unnamed values (9, 10, 14, 18, 19) behave as 0.
enum TileKind : int32_t {
  PlainTile = 0,       // passable decoration
  Ledge = 1,           // stand on it; passable from below and sideways
  Solid = 2,           // wall, floor and ceiling
  SpringMark = 3,      // a Spring is placed here; not drawn
  ExitDoor = 4,        // the stage's exit
  Deadly = 5,          // kills the hero
  StartMark = 6,       // the hero's start; not drawn
  HangBar = 7,         // the hero hangs from it
  FruitMark = 8,       // a Fruit is placed here; not drawn
  Ladder = 11,         // climbable; its top can be stood on
  KeyMark = 12,        // a Key is placed here; not drawn
  ShuttleMark = 13,    // a shuttle Platform is placed here; not drawn
  OrbitMark = 15,      // an orbit Platform is placed here; not drawn
  WalkerMark = 16,     // a Walker is placed here; not drawn
  SlowWalkerMark = 17, // a SlowWalker is placed here; not drawn
};

// The empty cell's code: it never has a kind, whatever the table says.
constexpr int32_t kEmptyTileCode = 0;

// Floor probe modes: which kinds count as found.
constexpr int32_t kFloorGround = 2;   // Solid or Ledge
constexpr int32_t kFloorHangBar = 7;  // HangBar
constexpr int32_t kFloorLadder = 11;  // Ladder
constexpr int32_t kFloorDeadly = 5;   // Deadly

// The tile found by the last ceiling probe. cellIndex -1 = none. probeX/probeY
// are the probe point's screen position rounded toward zero to a multiple of
// 32. The head-bump code reads it and sets code and cellIndex back to -1.
struct ProbeTile {
  int32_t code;
  int32_t cellIndex;
  int32_t probeX;
  int32_t probeY;
};
extern ProbeTile lastProbe;

// --- tile access --------------------------------------------------------------
// Tile code at a screen point (camera added); -1 when either world coordinate
// is negative or the cell index is past the map. A point right of the last
// column reads the next row's first cells.
int32_t TileAt(int32_t x, int32_t y);
// Stores code + 48 in the cell at a world point; outside the map: nothing.
void SetTileAt(int32_t worldX, int32_t worldY, int32_t code);
// Kind test on a tile code: false for codes outside 0..215 (and -1); the
// empty code is a PlainTile whatever the table holds.
bool TileIsKind(int32_t code, TileKind kind);
// Ladder test: as TileIsKind, and code 0 is never a ladder.
bool TileIsLadder(int32_t code);

// --- edge probes (screen-space box x, y, w, h) --------------------------------
bool WallRight(int32_t x, int32_t y, int32_t w, int32_t h);        // Solid
bool WallOrLedgeRight(int32_t x, int32_t y, int32_t w, int32_t h); // Solid or Ledge
bool WallLeft(int32_t x, int32_t y, int32_t w, int32_t h);
bool WallOrLedgeLeft(int32_t x, int32_t y, int32_t w, int32_t h);
// Solid above the box; copies every probed point on the map to lastProbe.
bool Ceiling(int32_t x, int32_t y, int32_t w, int32_t h);
// Tile under the box matching mode (kFloorGround, kFloorHangBar, kFloorLadder,
// kFloorDeadly).
bool Floor(int32_t x, int32_t y, int32_t w, int32_t h, int32_t mode);

// --- snapping: r = (truncated coordinate + camera + offset) mod 32 ------------
// Each does nothing when TileAt of the point (x, y) is -1.
void SnapLeftOut(float& x, float y, int32_t offset);   // 0 < r < 16: x -= r
void SnapRightOut(float& x, float y, int32_t offset);  // r > 16: x += 32 - r
bool SnapDown(float x, float& y, int32_t offset);      // r > 10: y += 32 - r
bool SnapUp(float x, float& y, int32_t offset);        // r < 15: y -= r

// --- geometry ------------------------------------------------------------------
// Square root of the integer sum of squared differences (computed in 64 bits).
double Distance(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Box centres (halves truncated) at most 20 pixels apart.
bool CentresWithin20(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                     int32_t x2, int32_t y2, int32_t w2, int32_t h2);
// Boxes overlap; touching edges count.
bool OverlapBoxes(int32_t x1, int32_t y1, int32_t w1, int32_t h1,
                  int32_t x2, int32_t y2, int32_t w2, int32_t h2);
// Truncated positions closer than dx and dy; false when either is null.
bool NearBoth(const GameObject* a, const GameObject* b, int32_t dx, int32_t dy);
// a falls onto b from above.
bool StompTest(const GameObject* a, const GameObject* b);

// --- motion --------------------------------------------------------------------
// Moves by velocity x frameTimeMs x 0.08; the hero at most 9 pixels per axis.
void MoveByVelocity(GameObject* object);
// vy = -speed, except that while Playing an already rising object keeps its vy.
void SetJumpSpeed(GameObject* object, float speed);
// Holds x on the screen; false (y set to the limit) when y passed the bottom
// of the playfield; y above -h is set to -h.
bool ClampToPlayfield(float& x, float& y, int32_t w, int32_t h);

// --- the physics pass ----------------------------------------------------------
// Gravity and motion for every object in list order, then the removed ones
// are freed.
void UpdateObjectPhysics();
void ApplyGravity(GameObject* object);
// False when the object should be removed (it fell out of the map).
bool MoveObject(GameObject* object);
