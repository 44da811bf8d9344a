// The host window without OpenGL: key taps pushed as real SDL events, frame
// pacing, the scale filter chosen by factor, mode switches a window manager
// refuses, and the window icon.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/host/host_clock.h"
#include "engine/host/host_input.h"
#include "engine/host/host_window.h"

namespace {

constexpr uint32_t kVkSpace = 0x20, kVkEscape = 0x1B, kVkShift = 0x10, kVkLShift = 0xA0;

class HostWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    ASSERT_TRUE(HostCreatePlainWindow(800, 600, false, "host window test"));
    HostPumpMessages();  // start-up window events out of the way
  }
  void TearDown() override {
    HostFailModeSwitches(0);
    HostDestroyWindow();
    HostUseRealClock();
    HostResetInjectedInput();
  }
};

}  // namespace

TEST_F(HostWindowTest, PlainWindowHasNoOpenGL) {
  ASSERT_NE(HostSDLWindow(), nullptr);
  EXPECT_EQ(SDL_GetWindowFlags(HostSDLWindow()) & SDL_WINDOW_OPENGL, 0u);
  EXPECT_EQ(HostLogicalWidth(), 800);
  EXPECT_STREQ(HostGLString(0x1F00), "");  // no context to ask
  HostPresentFrame();                       // nothing to swap: a quiet no-op
}

TEST_F(HostWindowTest, TapBetweenTwoPumpsReadsDownUntilTheNextPump) {
  HostPushKeyEvent(kVkSpace, true);
  HostPushKeyEvent(kVkSpace, false);
  HostPumpMessages();
  // Every reader of this frame sees it, not only the first.
  EXPECT_TRUE(HostIsVirtualKeyDown(kVkSpace));
  EXPECT_TRUE(HostIsVirtualKeyDown(kVkSpace));
  HostPumpMessages();
  EXPECT_FALSE(HostIsVirtualKeyDown(kVkSpace));

  // A sided modifier tapped also shows through the generic key.
  HostPushKeyEvent(kVkLShift, true);
  HostPushKeyEvent(kVkLShift, false);
  HostPumpMessages();
  EXPECT_TRUE(HostIsVirtualKeyDown(kVkShift));
  HostPumpMessages();
  EXPECT_FALSE(HostIsVirtualKeyDown(kVkShift));
}

TEST_F(HostWindowTest, HeldKeysReadAsBeforeAndReleaseAtOnce) {
  HostPushKeyEvent(kVkEscape, true);
  HostPumpMessages();
  EXPECT_TRUE(HostIsVirtualKeyDown(kVkEscape));
  HostPumpMessages();
  EXPECT_TRUE(HostIsVirtualKeyDown(kVkEscape));  // still held
  HostPushKeyEvent(kVkEscape, false);
  HostPumpMessages();
  EXPECT_FALSE(HostIsVirtualKeyDown(kVkEscape));  // released: up in the same frame

  // Losing the focus forgets taps as well as held keys.
  HostPushKeyEvent(kVkEscape, true);
  HostPushKeyEvent(kVkEscape, false);
  HostPushFocusEvent(false);
  HostPumpMessages();
  EXPECT_FALSE(HostIsVirtualKeyDown(kVkEscape));
  HostPushFocusEvent(true);
  HostPumpMessages();
}

TEST(HostScaleFilter, WholeFactorsStayNearestOthersAreFiltered) {
  EXPECT_FALSE(HostScaleIsLinear(800, 600, 800, 600));
  EXPECT_FALSE(HostScaleIsLinear(1600, 1200, 800, 600));
  EXPECT_FALSE(HostScaleIsLinear(1920, 1200, 800, 600));  // fits at 2 with bars at the sides
  EXPECT_FALSE(HostScaleIsLinear(2400, 1800, 800, 600));
  EXPECT_TRUE(HostScaleIsLinear(1024, 768, 800, 600));    // 1.28
  EXPECT_TRUE(HostScaleIsLinear(1920, 1080, 800, 600));   // 1.8
  EXPECT_TRUE(HostScaleIsLinear(1280, 1024, 800, 600));   // 1.6
  EXPECT_TRUE(HostScaleIsLinear(640, 480, 800, 600));     // shrunk
  // Nothing to scale into.
  EXPECT_FALSE(HostScaleIsLinear(0, 0, 800, 600));
  EXPECT_FALSE(HostScaleIsLinear(1024, 768, 0, 0));
}

TEST(HostFramePace, SkippedFramesWaitTheRefreshWhenPresentingWould) {
  const double cap = kHostMinFrameIntervalMs;
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(0, true, true, 1000.0 / 60), cap);
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(0, false, false, 1000.0 / 60), cap);
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(0, false, true, 1000.0 / 60), 1000.0 / 60);
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(0, false, true, 0.0), cap);  // refresh unknown
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(0, false, true, 1000.0 / 144), cap);
  EXPECT_DOUBLE_EQ(HostFrameIntervalMs(50, false, true, 1000.0 / 60), 50.0);
}

TEST(HostFramePace, EveryFrameWaitsItsOwnInterval) {
  HostUseManualClock(5000);
  HostResetPacing();
  HostPaceFrame(10.0);  // starts the rhythm
  uint64_t before = HostMilliseconds();
  HostPaceFrame(10.0);
  EXPECT_EQ(HostMilliseconds() - before, 10u);
  // A longer interval for one frame is waited in full from the previous one.
  before = HostMilliseconds();
  HostPaceFrame(17.0);
  EXPECT_EQ(HostMilliseconds() - before, 17u);
  // A frame that took longer than its interval does not wait at all ...
  HostAdvanceClock(40);
  before = HostMilliseconds();
  HostPaceFrame(10.0);
  EXPECT_EQ(HostMilliseconds(), before);
  // ... and the next one waits its whole interval again (no catching up).
  HostPaceFrame(10.0);
  EXPECT_EQ(HostMilliseconds() - before, 10u);
  HostUseRealClock();
}

TEST_F(HostWindowTest, RefusedModeSwitchKeepsTheWindowAsItWas) {
  HostFailModeSwitches(1);
  EXPECT_FALSE(HostSetWindowFullScreen(true));
  EXPECT_FALSE(HostIsWindowFullScreen());
  EXPECT_TRUE(HostWindowExists());
  EXPECT_TRUE(HostSetWindowFullScreen(true));  // the next one goes through
  EXPECT_TRUE(HostIsWindowFullScreen());
  EXPECT_TRUE(HostSetWindowFullScreen(true));  // asking for the current mode
  EXPECT_TRUE(HostSetWindowFullScreen(false));
  int w = 0, h = 0;
  HostWindowSize(&w, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
}

TEST(HostPlainWindow, RefusedFullScreenCreationFailsCleanly) {
  HostFailModeSwitches(1);
  EXPECT_FALSE(HostCreatePlainWindow(800, 600, true, "refused"));
  EXPECT_FALSE(HostWindowExists());
  EXPECT_FALSE(HostCreatePlainWindow(0, 600, false, "no size"));
  EXPECT_FALSE(HostWindowExists());
  HostFailModeSwitches(0);
}

TEST_F(HostWindowTest, IconComesFromABmpAndBadFilesAreRefused) {
  const std::string dir = ::testing::TempDir();
  const std::string good = dir + "host_icon.bmp", bad = dir + "host_icon_bad.bmp";
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 32, 32, 32, SDL_PIXELFORMAT_ARGB8888);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, 0xFFCC3366u);
  ASSERT_EQ(SDL_SaveBMP(s, good.c_str()), 0);
  SDL_FreeSurface(s);
  std::FILE* f = std::fopen(bad.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("BM not really a picture", f);
  std::fclose(f);

  EXPECT_TRUE(HostSetWindowIconFile(good.c_str()));
  EXPECT_FALSE(HostSetWindowIconFile(bad.c_str()));
  EXPECT_FALSE(HostSetWindowIconFile((dir + "missing.bmp").c_str()));
  EXPECT_FALSE(HostSetWindowIconFile(""));
  EXPECT_FALSE(HostSetWindowIconFile(nullptr));
  HostDestroyWindow();
  EXPECT_FALSE(HostSetWindowIconFile(good.c_str()));  // no window
  std::remove(good.c_str());
  std::remove(bad.c_str());
}
