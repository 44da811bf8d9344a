// The object list and the per-frame animation step.
#include "gameplay/objects.h"

#include <cstdlib>
#include <cstring>

#include "game/game_context.h"
#include "game/random.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"

GameObject* objectList = nullptr;

namespace {

constexpr int32_t kFruitStartFrames = 9;  // a fruit starts on a random frame of its strip

// Animation table indexed by type code; rows with used = 0 are never animated.
// used, loop, delay, frames, sheet x, sheet y, frame w, h, box w, h
const ObjectAnim kAnimTable[kObjectTypeCount] = {
    {1, 1, 45, 16, 2, 250, 32, 32, 28, 32},     // 0 Hero
    {1, 0, 40, 25, 0, 931, 32, 32, 32, 32},     // 1 DigBomb
    {1, 0, 40, 25, 0, 963, 32, 32, 32, 32},     // 2 DigBlast
    {1, 1, 45, 16, 2, 514, 32, 32, 30, 30},     // 3 Walker
    {1, 1, 60, 16, 2, 706, 32, 32, 30, 30},     // 4 SlowWalker
    {}, {}, {}, {},                             // 5..8 unused
    {1, 1, 50, 9, 528, 516, 32, 32, 32, 32},    // 9 Fruit
    {1, 0, 40, 1, 528, 550, 32, 32, 32, 32},    // 10 FreezeBonus
    {1, 0, 40, 1, 560, 550, 32, 32, 32, 32},    // 11 SuperBonus
    {1, 0, 40, 1, 592, 550, 32, 32, 32, 32},    // 12 JumpBonus
    {1, 0, 40, 1, 624, 550, 32, 32, 32, 32},    // 13 DigBonus
    {1, 0, 40, 1, 656, 550, 32, 32, 32, 32},    // 14 PlumBonus
    {}, {}, {},                                 // 15..17 unused
    {1, 0, 40, 1, 137, 113, 32, 35, 30, 33},    // 18 Spring (7 frames while active)
    {1, 0, 80, 7, 137, 148, 32, 35, 30, 33},    // 19 ExitPortal
    {}, {},                                     // 20, 21 unused
    {1, 0, 10, 1, 10, 23, 70, 34, 70, 34},      // 22 Platform
    {1, 0, 10, 1, 688, 550, 32, 32, 32, 32},    // 23 LifeBonus
    {1, 0, 666, 1, 17, 105, 13, 14, 13, 14},    // 24 SparkStar
    {1, 0, 666, 1, 17, 120, 13, 14, 13, 14},    // 25 SparkHurt
    {}, {},                                     // 26, 27 unused
    {1, 1, 60, 9, 258, 81, 16, 16, 16, 16},     // 28 Dust
    {1, 0, 666, 1, 507, 121, 32, 32, 32, 32},   // 29 Key
    {},                                         // 30 unused
    {1, 1, 10, 1, 61, 160, 39, 42, 39, 42},     // 31 EnemyPoof
    {1, 0, 666, 1, 854, 907, 16, 16, 16, 16},   // 32 BrickChip
    {1, 0, 666, 1, 849, 805, 49, 49, 49, 49},   // 33 Cursor
};

}  // namespace

const ObjectAnim* GetObjectAnim(uint32_t type) {
  if (type >= kObjectTypeCount || !kAnimTable[type].used) return nullptr;
  return &kAnimTable[type];
}

GameObject* CreateObject(int32_t type, int32_t x, int32_t y, float vx, float vy, bool append) {
  GameObject* object = static_cast<GameObject*>(std::calloc(1, sizeof(GameObject)));
  if (!object) return nullptr;
  object->type = static_cast<uint32_t>(type);
  object->x = object->spawnX = static_cast<float>(x);
  object->y = object->spawnY = static_cast<float>(y);
  object->vx = vx;
  object->vy = vy;
  if (object->type == Fruit) object->frame = Rand() % kFruitStartFrames;

  if (!append) {
    object->next = objectList;
    objectList = object;
    return object;
  }
  if (!objectList) {
    objectList = object;
    return object;
  }
  GameObject* tail = objectList;
  while (tail->next) tail = tail->next;
  tail->next = object;
  return objectList;
}

GameObject* FindObject(uint32_t type, int32_t n) {
  if (n < 1) n = 1;
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->type == type && --n == 0) return o;
  }
  return nullptr;
}

void DestroyObject(GameObject* object) {
  if (!object) return;
  GameObject** link = &objectList;
  while (*link && *link != object) link = &(*link)->next;
  if (!*link) return;  // not in the list: leave it alone
  *link = object->next;
  std::free(object);
}

void DestroyAllObjects() {
  while (objectList) DestroyObject(objectList);
}

void PurgeRemovedObjects() {
  GameObject** link = &objectList;
  while (*link) {
    GameObject* o = *link;
    if (o->removeMe) {
      *link = o->next;  // unlink before freeing: the walk never reads a freed record
      std::free(o);
    } else {
      link = &o->next;
    }
  }
}

void AnimateObjects() {
  if (gameState == Paused) return;
  // A bomb's blast is appended at the tail, so this walk reaches it too.
  for (GameObject* o = objectList; o; o = o->next) {
    const ObjectAnim* anim = GetObjectAnim(o->type);
    if (!anim) continue;
    int32_t frames = anim->frames;
    if (o->type == Spring && o->springActive) frames = kSpringActiveFrames;
    int32_t delay = anim->delayMs;
    if (o->type == Hero && runFlag) delay = kHeroRunDelayMs;

    o->frameTimer += frameTimeMs;
    if (o->frameTimer > static_cast<float>(delay)) {
      o->frameTimer = 0.0f;
      ++o->frame;
      if (anim->loop) {
        if (o->frame >= frames) o->frame = 0;
      } else if (o->frame > frames - 1) {
        // One-shot: the step past the last frame ends the animation there.
        o->frame = frames - 1;
        if (o->type == Spring) {
          o->springActive = 0;
        } else if (o->type == DigBomb && !o->removeMe) {
          Explode(o);
          CreateObject(DigBlast, static_cast<int32_t>(o->x), static_cast<int32_t>(o->y), 0.0f,
                       0.0f, true);
          o->removeMe = 1;
        } else if (o->type == DigBlast) {
          o->removeMe = 1;
        }
      }
    }
    if (o->frame < 0) o->frame = 0;

    o->srcX = anim->sheetX + o->frame * anim->frameW;
    o->srcY = anim->sheetY + o->animRow * anim->frameH;
    o->frameW = anim->frameW;
    o->frameH = anim->frameH;
    o->boxW = anim->boxW;
    o->boxH = anim->boxH;
    if (o->type == Hero && o->heading != 1) {
      o->srcX = anim->sheetX + (frames - o->frame - 1) * anim->frameW;
    }
  }
}
