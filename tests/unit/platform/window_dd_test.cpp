// The DirectDraw-style window on SDL's software renderer (no display needed):
// creation, views, pacing, mode switches, events, fade, screenshots and the
// recovery from a lost device.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_clock.h"
#include "engine/host/host_image.h"
#include "engine/host/host_input.h"
#include "engine/host/host_renderer.h"
#include "engine/host/host_window.h"
#include "engine/platform/KWindowDD.h"

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
  EXPECT_EQ(window->GetWidth(), 800);
  EXPECT_EQ(window->GetHeight(), 600);
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_NE(window->GetWindowHandle(), nullptr);
  EXPECT_EQ(HostDeviceWidth(window->GetDevice()), 800);
  EXPECT_EQ(HostDeviceHeight(window->GetDevice()), 600);
  EXPECT_STREQ(HostDeviceDriverName(window->GetDevice()), "software");
  EXPECT_TRUE(window->IsHardwareAccelerated());
  EXPECT_TRUE(window->UseTextureRectangle());
  EXPECT_FALSE(window->IsQuitting());
  window->SetFadeLevel(-2.0f);
  EXPECT_EQ(window->GetFadeLevel(), 0.0f);
}

TEST_F(WindowDDTest, ClearColourAndWorldView) {
  window->SetClearColor(0.5f, 0.25f, 1.0f, 0.0f);
  EXPECT_EQ(window->GetClearColorArgb(), 0x007F3FFFu);
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
  EXPECT_EQ(window->GetWidth(), 800);
  EXPECT_EQ(HostDeviceWidth(window->GetDevice()), 800);
  EXPECT_TRUE(window->ToggleFullScreen(false));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(window->GetWidth(), 800);
  EXPECT_EQ(window->GetHeight(), 600);
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
  EXPECT_FALSE(window->IsQuitting());
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
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
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
  bytes.clear();
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
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

}  // namespace
