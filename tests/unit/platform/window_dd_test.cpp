// The DirectDraw-style window on SDL's software renderer (no display needed).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_clock.h"
#include "engine/host/host_image.h"
#include "engine/host/host_input.h"
#include "engine/host/host_renderer.h"
#include "engine/host/host_window.h"
#include "engine/platform/KWindowDD.h"
#include "unit/platform/temp_dir.h"

namespace {

class WindowDDTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    window = new KWindowDD(false);
    ASSERT_TRUE(window->CreateGameWindow(800, 600, 16, true, "dd window test"));
  }
  void TearDown() override {
    delete window;
    HostUseRealClock();
    HostResetInjectedInput();
  }
  uint32_t Pixel(int x, int y) {
    uint32_t p = 0;
    EXPECT_TRUE(HostDeviceReadPixels(window->GetDevice(), x, y, 1, 1, &p));
    return p & 0x00FFFFFFu;
  }
  KWindowDD* window = nullptr;
};

std::vector<KEvent> seen;
bool record(KEvent* e) {
  seen.push_back(*e);
  return true;
}
bool swallow(KWindowHandle, uint32_t, uintptr_t, intptr_t) { return false; }

TEST_F(WindowDDTest, CreationGivesTheLogicalFrameAndFixedAnswers) {
  EXPECT_NE(window->GetWindowHandle(), nullptr);
  EXPECT_EQ(HostDeviceWidth(window->GetDevice()), 800);
  EXPECT_EQ(HostDeviceHeight(window->GetDevice()), 600);
  EXPECT_STREQ(HostDeviceDriverName(window->GetDevice()), "software");
  window->SetFadeLevel(-2.0f);
  EXPECT_EQ(window->GetFadeLevel(), 0.0f);
}

TEST_F(WindowDDTest, ClearColourAndWorldView) {
  window->SetClearColor(0.5f, 0.25f, 1.0f, 0.0f);
  window->SetWorldView(0, 0, 0, 1, true);
  EXPECT_EQ(Pixel(400, 300), 0x7F3FFFu);

  // The offset moves drawing right and up; clear off keeps the frame.
  KGraphicDD g;
  window->SetWorldView(10, 5, 0, 1, false);
  g.FillRect(100, 100, 101, 101, 1, 1, 1, 1);
  EXPECT_EQ(Pixel(110, 95), 0xFFFFFFu);
  EXPECT_EQ(Pixel(100, 100), 0x7F3FFFu);
  // Half a turn about the centre of the frame.
  window->SetWorldView(0, 0, 180, 1, false);
  g.FillRect(0, 0, 10, 10, 1, 0, 0, 1);
  EXPECT_EQ(Pixel(795, 595), 0xFF0000u);
  EXPECT_EQ(Pixel(5, 5), 0x7F3FFFu);
}

TEST_F(WindowDDTest, FrameRateCapAndItsAbsence) {
  window->SetMaxFrameRate(60);
  EXPECT_EQ(window->GetFrameIntervalMs(), 16);
  window->SetMaxFrameRate(0);
  EXPECT_EQ(window->GetFrameIntervalMs(), 0);
  HostUseManualClock(1000);
  for (int i = 0; i < 4; ++i) window->FlipBackBuffer(false, true);
  // Without a cap of its own the flips still run at most 75 a second.
  EXPECT_GE(HostMilliseconds(), 1000u + 3 * 13);
  window->SetMaxFrameRate(-1);
  EXPECT_EQ(window->GetFrameIntervalMs(), -1);
  const uint64_t before = HostMilliseconds();
  for (int i = 0; i < 4; ++i) window->FlipBackBuffer(false, true);
  EXPECT_EQ(HostMilliseconds(), before);  // no waiting at all
}

TEST_F(WindowDDTest, ModeSwitchesRebuildEverythingAndKeepTheLogicalSize) {
  uint32_t px[1] = {0xFF00FF00u};
  KGraphicDD g;
  ASSERT_TRUE(g.MakePictureFromArray(px, 1, 1, true));
  EXPECT_FALSE(window->ToggleFullScreen(false));  // already windowed: the current state

  EXPECT_TRUE(window->ToggleFullScreen(true));
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_TRUE(window->ToggleFullScreen(true));  // already full screen
  EXPECT_TRUE(window->ToggleFullScreen(false));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(window->GetWidth(), 800);
  EXPECT_EQ(HostDeviceWidth(window->GetDevice()), 800);
  EXPECT_EQ(HostDeviceHeight(window->GetDevice()), 600);

  // The picture came back with the new device and draws.
  ASSERT_NE(g.GetSurface(), nullptr);
  EXPECT_FALSE(HostIsSurfaceLost(g.GetSurface()));
  window->SetWorldView(0, 0, 0, 1, true);
  g.BlitRect(0, 0, 1, 1, 5, 5);
  EXPECT_EQ(Pixel(5, 5), 0x00FF00u);
}

TEST_F(WindowDDTest, EventsReachTheCallbackAndCloseRequestsQuit) {
  seen.clear();
  window->SetEventCallback(record);
  HostPushKeyEvent(0x41, true);  // 'A'
  window->ProcessEvents();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back().type, K_EVENT_KEYDOWN);
  EXPECT_EQ(seen.back().virtualKey, 0x41u);

  window->SetMessageHook(swallow);  // a swallowed close changes nothing
  HostPushQuitEvent();
  window->ProcessEvents();
  EXPECT_FALSE(window->IsQuitting());
  window->SetMessageHook(nullptr);
  HostPushQuitEvent();
  window->FlipBackBuffer(false, true);
  EXPECT_TRUE(window->IsQuitting());
  window->SetQuit(false);
  window->Terminate();
  EXPECT_TRUE(window->IsQuitting());
}

TEST_F(WindowDDTest, FadeDarkensThePresentedFrame) {
  KGraphicDD g;
  g.FillRect(0, 0, 800, 600, 1, 1, 1, 1);
  window->SetFadeLevel(0.5f);
  window->FlipBackBuffer(false, false);
  const uint32_t p = Pixel(400, 300);
  EXPECT_NEAR(static_cast<int>(p & 0xFF), 128, 2);
}

TEST_F(WindowDDTest, ScreenshotsAreOpaqueFilesOfTheFrame) {
  window->SetClearColor(0, 0, 1, 0);  // alpha 0 in the frame
  window->SetWorldView(0, 0, 0, 1, true);
  KGraphicDD g;
  g.FillRect(0, 0, 400, 300, 1, 0, 0, 1);
  const std::string path = "/tmp/br_dd_shot_" + std::to_string(SDL_GetTicks()) + ".tga";
  ASSERT_TRUE(window->SaveScreenshot(path.c_str(), 2, 0, 0));
  std::vector<uint8_t> bytes = ReadBytes(path);
  HostImage image;
  ASSERT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), kImageTga, 4096, &image));
  ASSERT_EQ(image.width, 800);
  ASSERT_EQ(image.height, 600);
  EXPECT_EQ(image.rgba[0], 255);  // top-left is red
  const size_t last = (static_cast<size_t>(599) * 800 + 799) * 4;
  EXPECT_EQ(image.rgba[last + 2], 255);  // bottom-right is the blue clear colour
  if (image.hasAlpha) {
    EXPECT_EQ(image.rgba[last + 3], 255);
  }
  std::remove(path.c_str());

  // A requested size scales the whole frame; an unknown format writes nothing.
  ASSERT_TRUE(window->SaveScreenshot(path.c_str(), 2, 400, 300));
  bytes = ReadBytes(path);
  ASSERT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), kImageTga, 4096, &image));
  EXPECT_EQ(image.width, 400);
  EXPECT_EQ(image.height, 300);
  std::remove(path.c_str());
  EXPECT_TRUE(window->SaveScreenshot(path.c_str(), 9, 0, 0));
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
  // A file that cannot be written is reported.
  EXPECT_FALSE(window->SaveScreenshot("/nonexistent-dir/shot.tga", 2, 0, 0));
}

TEST_F(WindowDDTest, LostDeviceIsRebuiltByTheFlip) {
  HostPushDeviceResetEvent();
  EXPECT_TRUE(HostDeviceIsLost(window->GetDevice()));
  window->FlipBackBuffer(false, true);
  ASSERT_NE(window->GetDevice(), nullptr);
  EXPECT_FALSE(HostDeviceIsLost(window->GetDevice()));
  EXPECT_EQ(KGraphicDD::GetDevice(), window->GetDevice());
}

TEST(WindowDDLifetime, SurfacesMayOutliveTheWindowAndNothingWorksUncreated) {
  SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
  KWindowDD* window = new KWindowDD(false);
  // Before creation every drawing slot is a quiet no-op.
  window->SetDefaultWorldView();
  window->SetClipRect(0, 0, 10, 10);
  window->FlipBackBuffer(true, true);
  EXPECT_FALSE(window->SaveScreenshot("/tmp/never.tga", 2, 0, 0));
  EXPECT_FALSE(window->ToggleFullScreen(true));
  ASSERT_TRUE(window->CreateGameWindow(320, 240, 16, true, "short life"));
  KGraphicDD* g = new KGraphicDD();
  uint32_t px[1] = {0xFFFFFFFFu};
  ASSERT_TRUE(g->MakePictureFromArray(px, 1, 1, true));
  delete window;
  EXPECT_EQ(KGraphicDD::GetDevice(), nullptr);
  g->BlitRect(0, 0, 1, 1, 0, 0);  // no device: nothing happens
  delete g;
}

// Repeated frames are not shown again; every change still is, and read-backs see the frame as drawn.
constexpr uint32_t kRed = 0xFF0000u, kBlue = 0x0000FFu, kGreen = 0x00FF00u;

class WindowDDIdleTest : public WindowDDTest {
 protected:
  void SetUp() override {
    WindowDDTest::SetUp();
    window->SetMaxFrameRate(-1);  // no waiting between the test's flips
  }
  // A full-frame red background with a blue square at (x, 100).
  void DrawFrame(KGraphicDD& g, float x) {
    window->SetDefaultWorldView();
    g.FillRect(0, 0, 800, 600, 1, 0, 0, 1);
    g.FillRect(x, 100, x + 20, 120, 0, 0, 1, 1);
  }
  uint64_t Presents() { return HostDevicePresentCount(window->GetDevice()); }
  // Draws and flips one frame; returns the present count after it.
  uint64_t Show(KGraphicDD& g, float x) {
    DrawFrame(g, x);
    window->FlipBackBuffer(false, true);
    return Presents();
  }
  // Shows the frame until start-up window events have passed and a repeat is no longer shown.
  bool Settle(KGraphicDD& g, float x) {
    for (int i = 0; i < 5; ++i) {
      const uint64_t before = Presents();
      if (Show(g, x) == before && i > 0) return true;
    }
    return false;
  }
};

TEST_F(WindowDDIdleTest, RepeatedFramesAreNotShownAgainChangedOnesAre) {
  KGraphicDD g;
  ASSERT_TRUE(Settle(g, 100));
  const uint64_t first = Presents();
  Show(g, 100);
  EXPECT_EQ(Show(g, 100), first);
  EXPECT_EQ(Show(g, 140), first + 1);  // the square moved
  EXPECT_EQ(Show(g, 140), first + 1);
  EXPECT_EQ(Show(g, 100), first + 2);  // the earlier image is no longer on screen
}

TEST_F(WindowDDIdleTest, SkippedFrameStillReadsBackAsTheLastImage) {
  KGraphicDD g;
  ASSERT_TRUE(Settle(g, 100));
  const uint64_t shown = Presents();
  EXPECT_EQ(Pixel(105, 105), kBlue);
  EXPECT_EQ(Pixel(300, 300), kRed);
  EXPECT_EQ(Show(g, 100), shown);  // reading did not change the picture
}

TEST_F(WindowDDIdleTest, ReadingMidFrameSeesTheDrawingAndThatFrameIsShown) {
  KGraphicDD g;
  const uint64_t shown = Show(g, 100);
  DrawFrame(g, 100);
  g.FillRect(500, 500, 510, 510, 0, 1, 0, 1);
  EXPECT_EQ(Pixel(505, 505), kGreen);
  g.FillRect(500, 500, 510, 510, 0, 0, 1, 1);
  EXPECT_EQ(Pixel(505, 505), kBlue);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown + 1);
}

TEST_F(WindowDDIdleTest, FramesThatDoNotCoverEveryPixelAreAlwaysShown) {
  // Half-transparent squares build up over the previous frame; skipping one would change the image.
  KGraphicDD g;
  window->SetWorldView(0, 0, 0, 1, true);
  window->FlipBackBuffer(false, true);
  const uint64_t shown = Presents();
  for (int i = 0; i < 3; ++i) {
    window->SetDefaultWorldView();
    g.FillRect(10, 10, 20, 20, 1, 1, 1, 0.5f);
    window->FlipBackBuffer(false, true);
  }
  EXPECT_EQ(Presents(), shown + 3);
  EXPECT_GT(Pixel(15, 15) & 0xFF, 0xD0u);  // three layers: about 7/8 white
}

TEST_F(WindowDDIdleTest, NewTexelsAndWindowChangesShowTheFrameAgain) {
  std::vector<uint32_t> texels(static_cast<size_t>(800) * 600, 0xFF00FF00u);
  KGraphicDD picture;
  ASSERT_TRUE(picture.MakePictureFromArray(texels.data(), 800, 600, true));
  auto frame = [&] {
    window->SetDefaultWorldView();
    picture.BlitRect(0, 0, 800, 600, 0, 0);  // opaque: overwrites every pixel
    window->FlipBackBuffer(false, true);
    return Presents();
  };
  for (int i = 0; i < 3; ++i) frame();  // past the window's start-up events
  const uint64_t shown = Presents();
  ASSERT_EQ(frame(), shown);

  // The same texels uploaded again still count as a change.
  int32_t pitch = 0;
  ASSERT_NE(HostLockSurface(picture.GetSurface(), &pitch), nullptr);
  HostUnlockSurface(picture.GetSurface());
  EXPECT_EQ(frame(), shown + 1);

  // The window was uncovered: its pixels may be gone.
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_EXPOSED;
  e.window.windowID = SDL_GetWindowID(HostSDLWindow());
  SDL_PushEvent(&e);
  EXPECT_EQ(frame(), shown + 2);
  EXPECT_EQ(frame(), shown + 2);
  EXPECT_EQ(Pixel(400, 300), kGreen);
}

TEST_F(WindowDDIdleTest, TexturesChangedOrFreedMidFrameDrawAsIssued) {
  uint8_t* texels = nullptr;
  int32_t pitch = 0;
  {
    uint32_t green[1] = {0xFF00FF00u};
    KGraphicDD picture;
    ASSERT_TRUE(picture.MakePictureFromArray(green, 1, 1, true));
    window->SetWorldView(0, 0, 0, 1, true);
    picture.BlitRect(0, 0, 1, 1, 10, 10);
    // New texels after the draw: that draw keeps the old ones.
    texels = HostLockSurface(picture.GetSurface(), &pitch);
    ASSERT_NE(texels, nullptr);
    const uint32_t red = 0xFFFF0000u;  // A R G B as stored
    std::memcpy(texels, &red, 4);
    HostUnlockSurface(picture.GetSurface());
    picture.BlitRect(0, 0, 1, 1, 20, 20);
  }  // the picture is freed before the frame is shown
  window->FlipBackBuffer(false, false);
  EXPECT_EQ(Pixel(10, 10), kGreen);
  EXPECT_EQ(Pixel(20, 20), kRed);
}

TEST_F(WindowDDIdleTest, NothingIsShownWhileRasterisingIsOff) {
  KGraphicDD g;
  ASSERT_TRUE(Settle(g, 100));
  const uint64_t shown = Presents();
  HostSetRasterDisabled(true);
  Show(g, 200);
  HostSetRasterDisabled(false);
  EXPECT_EQ(Presents(), shown);
  EXPECT_EQ(Pixel(205, 105), kRed);  // nothing drawn either
  EXPECT_EQ(Show(g, 100), shown);
}

}  // namespace
