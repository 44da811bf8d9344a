// Game objects: every thing that moves or animates inside a level, kept in
// one singly linked list walked in list order by every per-frame pass.
#pragma once

#include <cstdint>

// Type codes of game objects. Codes not listed are unused.
enum ObjectType : uint32_t {
  Hero = 0,
  DigBomb = 1,
  DigBlast = 2,
  Walker = 3,
  SlowWalker = 4,
  Fruit = 9,
  FreezeBonus = 10,
  SuperBonus = 11,
  JumpBonus = 12,
  DigBonus = 13,
  PlumBonus = 14,
  Spring = 18,
  ExitPortal = 19,
  Platform = 22,
  LifeBonus = 23,
  SparkStar = 24,
  SparkHurt = 25,
  Dust = 28,
  Key = 29,
  EnemyPoof = 31,
  BrickChip = 32,
  Cursor = 33,
};

// Platform subtypes.
constexpr uint16_t kPlatformShuttle = 13;
constexpr uint16_t kPlatformOrbit = 15;

// Hero sprite rows (animRow).
constexpr int32_t kHeroRowWalkRight = 0;
constexpr int32_t kHeroRowWalkLeft = 1;
constexpr int32_t kHeroRowStandRight = 2;
constexpr int32_t kHeroRowStandLeft = 3;
constexpr int32_t kHeroRowHangLeft = 4;
constexpr int32_t kHeroRowHangRight = 5;
constexpr int32_t kHeroRowClimbDown = 6;
constexpr int32_t kHeroRowClimbUp = 7;

// One object. Positions are screen coordinates (world minus camera) of the
// sprite frame's top-left corner; velocities are pixels per 12.5 ms; timers
// are milliseconds.
struct GameObject {
  uint32_t type;        // ObjectType code
  int32_t heading;      // hero: motion state; walkers: 0 right, 1 left
  int32_t animRow;      // row of the sprite strip in use
  float spawnX;         // world position restored after a lost life
  float spawnY;
  float x;              // screen position of the frame's top-left corner
  float y;
  float vx;             // horizontal velocity
  float vy;             // vertical velocity, positive downward
  float angleA;         // radian phases (orbit platforms, power-icon orbit)
  float angleB;
  int32_t srcX;         // top-left of the current frame in the sprite sheet
  int32_t srcY;
  int32_t frameW;       // size of the sprite frame
  int32_t frameH;
  int32_t boxW;         // collision box, centred in the frame
  int32_t boxH;
  int32_t frame;        // current animation frame
  float frameTimer;     // ms accumulated toward the next frame
  float timer;          // general countdown
  float hitCooldown;    // enemies: ms during which this one cannot hurt again
  uint8_t orbitReverse; // orbit platforms: 1 positive angles, 0 negated
  uint8_t hudBound;     // flying to its HUD counter: not collided
  uint16_t subtype;     // platforms: 13 shuttle, 15 orbit
  uint8_t removeMe;     // set to ask PurgeRemovedObjects to free it
  uint8_t platformArmed;// platforms: hero seen above the top, landing may follow
  uint8_t riding;       // hero and platform: hero stands on this platform
  uint8_t climbing;     // hero: on a ladder
  uint8_t springActive; // springs: bounce animation running
  uint8_t dying;        // hero or enemy is dying
  uint16_t platformDir; // shuttle platforms: 1 moving left, 0 moving right
  GameObject* next;     // next record in objectList, or null
};

// Whole-pixel position of an object, truncated toward zero.
inline int32_t Ix(const GameObject* o) { return static_cast<int32_t>(o->x); }
inline int32_t Iy(const GameObject* o) { return static_cast<int32_t>(o->y); }
// Either of the two walking enemies.
inline bool IsWalker(const GameObject* o) { return o->type == Walker || o->type == SlowWalker; }
// One of the five bonus items that grant a power (FreezeBonus .. PlumBonus).
inline bool IsBonusItem(const GameObject* o) { return o->type >= FreezeBonus && o->type <= PlumBonus; }

// One row of the animation table.
struct ObjectAnim {
  uint8_t used;        // 0: the code has no sprite and is never animated
  uint8_t loop;        // 1 wraps to frame 0, 0 stops on the last frame
  int32_t delayMs;     // a frame step happens when frameTimer exceeds this
  int32_t frames;      // frame count (Spring: 7 while springActive, else 1)
  int32_t sheetX;      // top-left of the strip in spritesSurface
  int32_t sheetY;
  int32_t frameW;
  int32_t frameH;
  int32_t boxW;
  int32_t boxH;
};

constexpr uint32_t kObjectTypeCount = 34;       // codes 0..33
constexpr int32_t kHeroRunDelayMs = 30;         // hero frame delay while running
constexpr int32_t kSpringActiveFrames = 7;

// Animation row of a type code, or null for codes without one.
const ObjectAnim* GetObjectAnim(uint32_t type);

// Head of the list of every object of the stage (null when empty).
extern GameObject* objectList;

// Allocates a zeroed record at (x, y) with the velocity; prepends it, or
// appends it when append is true. Returns the new record, except when
// appending to a non-empty list: then the list's head.
GameObject* CreateObject(int32_t type, int32_t x, int32_t y, float vx, float vy, bool append);
// The n-th object of the type counting from 1 (n below 2 means the first).
GameObject* FindObject(uint32_t type, int32_t n);
// Unlinks and frees the record; a record not in the list is left alone.
void DestroyObject(GameObject* object);
void DestroyAllObjects();
// Frees every record whose removeMe is set, in list order.
void PurgeRemovedObjects();
// Advances every object's animation by one frame (nothing while Paused).
void AnimateObjects();
