// The shipped starter stages can be finished: a simple bot that walks right,
// climbs ladders, jumps at walls, spikes, pits, enemies and keys overhead, and
// waits for a shuttle at a wide gap reaches each exit with the key without
// losing a life.
#include <gtest/gtest.h>

#include <cmath>

#include "game/game_context.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

constexpr int kTile = 32;
constexpr int kJumpHoldFrames = 22;  // a held jump: about 3 tiles high
constexpr int kMaxFrames = 60 * 90;  // a minute and a half of play
constexpr int kWideGap = 4;          // wider than this: wait for a platform
constexpr int kDropRows = 7;         // floor this far below still counts as a way down

// Kinds the bot reads.
constexpr int kLedgeKind = 1, kSolidKind = 2, kDeadlyKind = 5, kHangKind = 7, kLadderKind = 11;
// Object types the bot reads.
constexpr uint32_t kWalkerType = 3, kSlowWalkerType = 4, kPlatformType = 22, kKeyType = 29;

int KindAt(int cx, int cy) {
  if (cx < 0 || cy < 0 || cx >= mapWidth || cy >= mapHeight || !mapCells) return 0;
  const int code = mapCells[cy * mapWidth + cx].tile - 48;
  return code >= 1 && code < kTileCodeCount ? tileKinds[code] : 0;
}
bool Floor(int cx, int cy) { return KindAt(cx, cy) == kLedgeKind || KindAt(cx, cy) == kSolidKind; }
bool FloorBelow(int cx, int row) {
  for (int d = 1; d <= kDropRows; ++d)
    if (Floor(cx, row + d)) return true;
  return false;
}

class Bot {
 public:
  HarnessInput Step() {
    HarnessInput in;
    in.keys.push_back(kHarnessKeyRight);
    GameObject* hero = FindObject(0, 1);
    if (!hero) return in;
    const float hx = hero->x + cameraX, hy = hero->y + cameraY;
    const int col = static_cast<int>((hx + 16) / kTile), row = static_cast<int>((hy + 16) / kTile);
    if (KindAt(col, row) == kLadderKind || KindAt(col, row + 1) == kLadderKind) in.keys.push_back(kHarnessKeyUp);
    const bool onGround = hero->riding || (std::fabs(hero->vy) < 0.01f && Floor(col, row + 1));

    // A wide gap: walk up to its edge, then wait for a platform to step on.
    const int start = !Floor(col + 1, row + 1) ? 1 : (!Floor(col + 2, row + 1) ? 2 : 0);
    int gap = 0;
    if (start)
      while (gap <= kWideGap && !FloorBelow(col + start + gap, row) && KindAt(col + start + gap, row) != kHangKind)
        ++gap;
    if (onGround && gap > kWideGap) {
      if (start == 2 && !hero->riding) return in;
      const GameObject* platform = nullptr;
      for (GameObject* o = objectList; o; o = o->next)
        if (o->type == kPlatformType && (!platform || std::fabs(o->x - hero->x) < std::fabs(platform->x - hero->x)))
          platform = o;
      const bool stepOn = platform && !hero->riding && platform->x > hero->x + 4 && platform->x < hero->x + 70 &&
                          std::fabs(platform->y - (hero->y + kTile)) < 10;
      if (!stepOn) in.keys.clear();
      return in;
    }

    bool wantJump = false;
    if (onGround) {
      if (KindAt(col + 1, row) == kSolidKind || KindAt(col + 1, row) == kDeadlyKind ||
          KindAt(col + 2, row) == kDeadlyKind)
        wantJump = true;
      if ((!Floor(col + 1, row + 1) && KindAt(col + 1, row) != kHangKind) ||
          (!Floor(col + 2, row + 1) && KindAt(col + 2, row) != kHangKind))
        wantJump = true;
      for (GameObject* o = objectList; o; o = o->next) {
        const float dx = o->x - hero->x, dy = o->y - hero->y;
        if ((o->type == kWalkerType || o->type == kSlowWalkerType) && !o->dying && dx > 0 && dx < 3 * kTile &&
            std::fabs(dy) < kTile)
          wantJump = true;
        if (o->type == kKeyType && !o->hudBound && dx > -40 && dx < 24 && dy < -16 && dy > -110) wantJump = true;
      }
    }
    if (holdFrames_ > 0) {
      --holdFrames_;
      in.keys.push_back(kHarnessKeySpace);
    } else if (released_ && wantJump) {
      holdFrames_ = kJumpHoldFrames;
      released_ = false;
      in.keys.push_back(kHarnessKeySpace);
    } else {
      released_ = true;
    }
    return in;
  }

 private:
  int holdFrames_ = 0;
  bool released_ = true;
};

class StarterStage : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(StarterStage, CanBeFinishedWithoutLosingALife) {
#ifndef BR_DATA_GENERATED
  GTEST_SKIP() << "data generation is switched off in this build";
#endif
  HarnessOptions options;
  options.useGameData = true;
  ASSERT_TRUE(HarnessStart(options));
  ASSERT_TRUE(HarnessStartStage(GetParam()));
  const int livesAtStart = lives;
  Bot bot;
  bool keyTaken = false;
  int frames = 0;
  while (frames < kMaxFrames && gameState == Playing && !stageFinished) {
    if (!HarnessFrame(bot.Step())) break;
    keyTaken = keyTaken || keys > 0;
    ++frames;
  }
  EXPECT_TRUE(keyTaken);
  EXPECT_TRUE(stageFinished) << "state " << gameState << " after " << frames << " frames";
  EXPECT_EQ(lives, livesAtStart);
  EXPECT_GE(fruitCount, 5);  // fruit lies along the way
  HarnessStop();
}

INSTANTIATE_TEST_SUITE_P(Shipped, StarterStage, ::testing::Values(1, 2, 3));
