// Frame timing, screen shake and the F / G tests of the frame loop.
#include <gtest/gtest.h>

#include "engine/host/host_clock.h"
#include "engine/host/host_input.h"
#include "engine/host/host_window.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KWindow.h"
#include "game/game_context.h"
#include "game/game_main.h"
#include "game/input_mapping.h"
#include "game/random.h"

namespace {

class FrameTimingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostUseManualClock(5000);
    ResetFrameTiming();
  }
  void TearDown() override { HostUseRealClock(); }
};

}  // namespace

TEST_F(FrameTimingTest, FirstFrameMeasuresZeroThenTheAverage) {
  EXPECT_FLOAT_EQ(frameTimeMs, 16.0f);
  UpdateFrameTiming();
  EXPECT_FLOAT_EQ(frameTimeMs, 0.0f);
  EXPECT_DOUBLE_EQ(lastResetClockMs, 5000.0);
  HostAdvanceClock(20);
  UpdateFrameTiming();
  EXPECT_FLOAT_EQ(frameTimeMs, 10.0f);  // 20 ms over two frames
  HostAdvanceClock(20);
  UpdateFrameTiming();
  EXPECT_FLOAT_EQ(frameTimeMs, 40.0f / 3.0f);
  EXPECT_FLOAT_EQ(timingAccumulatorMs, 0.0f + 10.0f + 40.0f / 3.0f);
}

TEST_F(FrameTimingTest, ResetsOnlyWhenTheAccumulatorPassesOneSecond) {
  UpdateFrameTiming();
  timingAccumulatorMs = 999.0f;
  HostAdvanceClock(2);
  UpdateFrameTiming();  // 2 ms over two frames: 1 ms, accumulator exactly 1000
  EXPECT_FLOAT_EQ(timingAccumulatorMs, 1000.0f);
  EXPECT_EQ(framesSinceReset, 2u);
  HostAdvanceClock(1);
  UpdateFrameTiming();  // 3 ms over three frames: 1001 > 1000
  EXPECT_FLOAT_EQ(timingAccumulatorMs, 0.0f);
  EXPECT_EQ(framesSinceReset, 0u);
  EXPECT_DOUBLE_EQ(lastResetClockMs, 5003.0);
  HostAdvanceClock(16);
  UpdateFrameTiming();
  EXPECT_FLOAT_EQ(frameTimeMs, 16.0f);
}

TEST_F(FrameTimingTest, ShakeDrawsXThenYUntilTheTimerRunsOut) {
  KWindow* saved = gameWindow;
  gameWindow = nullptr;  // no window: PresentFrame only updates the offsets
  SeedRandom(1);  // draws 41, 18467, 6334, 26500, 19169, 15724
  StartScreenShake();
  EXPECT_FLOAT_EQ(shakeTimerMs, 300.0f);
  frameTimeMs = 120.0f;
  const int offsets[3][2] = {{-4, 2}, {-1, -5}, {4, -1}};
  for (const auto& o : offsets) {  // 180, 60, then 0: still shaking
    PresentFrame();
    EXPECT_EQ(shakeX, o[0]);
    EXPECT_EQ(shakeY, o[1]);
  }
  EXPECT_FLOAT_EQ(shakeTimerMs, 0.0f);
  PresentFrame();
  EXPECT_EQ(shakeX, 0);
  EXPECT_EQ(shakeY, 0);
  gameWindow = saved;
}

TEST(FrameLoop, FAndGTogetherEndWindowedAndAQuitRequestSkipsTheLoop) {
  HostResetInjectedInput();
  ASSERT_TRUE(InitializeGraphics());
  ASSERT_TRUE(InitializeInput());
  EXPECT_FALSE(joystickPresent);  // nothing attached in the test environment
  EXPECT_TRUE(HostIsWindowFullScreen());  // the game starts in full screen
  KInput::SetKeyDownForTest(KeyF, true);
  KInput::SetKeyDownForTest(KeyG, true);
  const GameState saved = gameState;
  gameState = Quit;  // the loop body runs F / G once, then leaves
  RunFrameLoop();
  EXPECT_FALSE(HostIsWindowFullScreen());
  KInput::SetKeyDownForTest(KeyG, false);
  RunFrameLoop();  // F alone: full screen again
  EXPECT_TRUE(HostIsWindowFullScreen());
  HostResetInjectedInput();

  gameWindow->SetQuit(true);
  gameState = MainMenu;
  HostUseManualClock(0);
  RunFrameLoop();  // would run frames (and move the clock) if it entered
  EXPECT_EQ(HostMilliseconds(), 0u);
  HostUseRealClock();
  gameState = saved;
  delete gameWindow;
  gameWindow = nullptr;
  KInput::ShowMouse();
}
