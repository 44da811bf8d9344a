// Frames run without drawing (long playthroughs) must leave the game exactly
// where drawn frames leave it; and the harness's frames never sleep.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "engine/host/host_window.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/random.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "harness/harness.h"

namespace {

// Most of what a frame updates: walkers, fruit, key, spring, blocks, platforms.
const std::vector<std::string> kBusyStage = {
    "", "", "", "", "", "", "", "", "",
    "#                                                         #",
    "#                                                         #",
    "#          ?    B?B          s             o              #",
    "#                                                         #",
    "#     f  f    w     k    ====       v    f    f   w      E#",
    "#  S ###### ^  ########  C    #######   ########   ###### #",
    "###########################################################",
};

// Everything a frame can change that later frames depend on.
std::string GameFingerprint() {
  std::ostringstream out;
  out << "state " << gameState << " stage " << currentStage << " lives " << lives << " fruit "
      << fruitCount << " keys " << keys << " random " << randomState << " camera " << cameraX
      << "," << cameraY << " checkpoint " << checkpointSet << " objects " << HarnessObjectCount()
      << "\n";
  for (const GameObject* o = objectList; o != nullptr; o = o->next) {
    out << o->type << " " << o->heading << " " << o->x << " " << o->y << " " << o->vx << " "
        << o->vy << " " << o->frame << " " << o->frameTimer << " " << o->timer << " "
        << o->angleA << " " << int(o->riding) << int(o->climbing) << int(o->dying)
        << int(o->removeMe) << "\n";
  }
  return out.str();
}

// Fixed input through the busy stage; drawing turns on at frame switchAt (>= 0).
std::string PlayBusyStage(bool draw, int switchAt = -1) {
  HarnessOptions options;
  options.drawFrames = draw;
  EXPECT_TRUE(HarnessStart(options));
  EXPECT_EQ(HostRasterDisabled(), !draw);
  EXPECT_TRUE(HarnessWriteStage(1, kBusyStage));
  EXPECT_TRUE(HarnessStartStage(1));
  std::vector<HarnessInput> frames;
  EXPECT_TRUE(HarnessParseInput(
      "Right *40\nRight Space *12\nRight *30\nRight LShift Space *20\n*15\n"
      "Left *25\nRight Space *18\nRight *60\nUp Right *20\nRight LShift *60\n",
      &frames));
  for (size_t i = 0; i < frames.size(); ++i) {
    if (static_cast<int>(i) == switchAt) HarnessSetDrawFrames(true);
    EXPECT_TRUE(HarnessFrame(frames[i])) << "frame " << i;
  }
  std::string print = GameFingerprint();
  HarnessStop();
  return print;
}

TEST(UndrawnFramesTest, LeaveTheGameExactlyWhereDrawnFramesDo) {
  const std::string drawn = PlayBusyStage(true);
  const std::string mixed = PlayBusyStage(false, 280);
  const std::string undrawn = PlayBusyStage(false);
  EXPECT_EQ(drawn, undrawn);
  EXPECT_EQ(drawn, mixed);
  // The next run draws again, and the run did something: the hero left the start.
  HarnessStart();
  EXPECT_TRUE(HarnessDrawsFrames());
  EXPECT_FALSE(HostRasterDisabled());
  HarnessWriteStage(1, kBusyStage);
  HarnessStartStage(1);
  const std::string start = GameFingerprint();
  HarnessStop();
  EXPECT_NE(drawn, start);
}

// The window's frame cap must not stretch short averaged frames.
TEST(UndrawnFramesTest, ShortFramesAreNotStretchedByFramePacing) {
  HarnessOptions options;
  options.frameMs = 5.0f;
  options.averagedTiming = true;
  options.drawFrames = false;
  ASSERT_TRUE(HarnessStart(options));
  EXPECT_EQ(HarnessRunFrames(100), 100);
  EXPECT_NEAR(frameTimeMs, 5.0f, 0.1f);
  HarnessStop();
}

}  // namespace
