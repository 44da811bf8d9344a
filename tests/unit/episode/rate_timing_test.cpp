// The timing the rate proofs rest on: plan frame counts last as long at any
// frame time, and the jittered clock wanders around its rate the same way
// for the same seed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/game_context.h"
#include "harness/harness.h"
#include "unit/episode/route_driver.h"

namespace {

// A flat floor with the hero's start and an exit far away.
const std::vector<std::string> kFloor = {
    "                                                ",
    "  S                                          E  ",
    "################################################",
};

class RateTiming : public ::testing::Test {
 protected:
  void TearDown() override { HarnessStop(); }
  void Start(float frameMs, bool averaged = false, float jitterMs = 0.0f, uint32_t seed = 1) {
    HarnessOptions options;
    options.drawFrames = false;
    options.frameMs = frameMs;
    options.averagedTiming = averaged;
    options.jitterMs = jitterMs;
    options.jitterSeed = seed;
    ASSERT_TRUE(HarnessStart(options));
    ASSERT_TRUE(HarnessWriteStage(1, kFloor));
    ASSERT_TRUE(HarnessStartStage(1));
  }
  // Frames a plan of fixed holds plays before it runs out.
  int FramesOfPlan(const std::string& plan) {
    std::vector<HarnessInput> played;
    episode::PlayPlan(plan, &played);
    return static_cast<int>(played.size());
  }
};

TEST_F(RateTiming, PlanHoldsLastAsLongAtEveryFrameTime) {
  // 16 frames of 16 ms and 30 of them: 256 ms and 480 ms at every rate
  const std::string plan = "Right *16\n- *30\n";
  Start(16.0f);
  EXPECT_EQ(FramesOfPlan(plan), 46);
  Start(20.0f);
  EXPECT_EQ(FramesOfPlan(plan), 13 + 24);
  Start(13.33f);
  EXPECT_EQ(FramesOfPlan(plan), 19 + 36);
  // a single frame stays a frame however short the plan's frame
  Start(40.0f);
  EXPECT_EQ(FramesOfPlan("Jump *1\n"), 1);
}

TEST_F(RateTiming, JitteredClockAveragesAroundItsRateAndRepeats) {
  constexpr float kRate = 16.7f, kJitter = 2.0f;
  auto run = [&](uint32_t seed) {
    Start(kRate, true, kJitter, seed);
    HarnessRunFrames(5);  // past the first frames of the averaging
    std::vector<float> times;
    for (int i = 0; i < 300; ++i) {
      HarnessFrame();
      times.push_back(frameTimeMs);
    }
    return times;
  };
  const std::vector<float> a = run(7);
  float low = a[0], high = a[0], sum = 0;
  bool varies = false;
  for (float t : a) {
    low = std::fmin(low, t);
    high = std::fmax(high, t);
    sum += t;
    varies = varies || t != a[0];
  }
  EXPECT_TRUE(varies) << "the averaged frame time never moved";
  // a steady clock only wobbles by the host's whole milliseconds
  EXPECT_GT(high - low, kJitter / 2) << "the clock does not jitter";
  EXPECT_GE(low, kRate - kJitter - 1.0f);  // whole milliseconds on the host clock
  EXPECT_LE(high, kRate + kJitter + 1.0f);
  EXPECT_NEAR(sum / a.size(), kRate, 0.5f);
  EXPECT_EQ(run(7), a);   // the same seed, the same clock
  EXPECT_NE(run(8), a);   // another seed, another clock
}

}  // namespace
