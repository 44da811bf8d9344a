// Frames that repeat the image on screen are not drawn or shown again; every
// change (drawing, texels, the window) still reaches the screen, and
// read-backs always see the frame as drawn.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_image.h"
#include "engine/host/host_input.h"
#include "engine/host/host_renderer.h"
#include "engine/host/host_window.h"
#include "engine/platform/KWindowDD.h"

namespace {

constexpr uint32_t kRed = 0xFF0000u, kBlue = 0x0000FFu, kGreen = 0x00FF00u;

class WindowDDIdleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_OVERRIDE);
    window = new KWindowDD(false);
    ASSERT_TRUE(window->CreateGameWindow(800, 600, 16, true, "dd idle test"));
    window->SetMaxFrameRate(-1);  // no waiting between the test's flips
  }
  void TearDown() override {
    delete window;
    HostResetInjectedInput();
  }
  // A full-frame red background with a blue square at (x, 100).
  void DrawFrame(KGraphicDD& g, float x) {
    window->SetDefaultWorldView();
    g.FillRect(0, 0, 800, 600, 1, 0, 0, 1);
    g.FillRect(x, 100, x + 20, 120, 0, 0, 1, 1);
  }
  uint64_t Presents() { return HostDevicePresentCount(window->GetDevice()); }
  // Shows the frame until the window's own start-up events (shown, exposed
  // ...) have passed and a repeat is no longer shown; false if that never happens.
  bool Settle(KGraphicDD& g, float x) {
    for (int i = 0; i < 5; ++i) {
      const uint64_t before = Presents();
      DrawFrame(g, x);
      window->FlipBackBuffer(false, true);
      if (i > 0 && Presents() == before) return true;
    }
    return false;
  }
  uint32_t Pixel(int x, int y) {
    uint32_t p = 0;
    EXPECT_TRUE(HostDeviceReadPixels(window->GetDevice(), x, y, 1, 1, &p));
    return p & 0x00FFFFFFu;
  }
  KWindowDD* window = nullptr;
};

TEST_F(WindowDDIdleTest, RepeatedFramesAreNotShownAgainChangedOnesAre) {
  KGraphicDD g;
  ASSERT_TRUE(Settle(g, 100));
  const uint64_t first = Presents();
  for (int i = 0; i < 3; ++i) {
    DrawFrame(g, 100);
    window->FlipBackBuffer(false, true);
  }
  EXPECT_EQ(Presents(), first);
  DrawFrame(g, 140);  // the square moved
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), first + 1);
  DrawFrame(g, 140);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), first + 1);
  // Back to the earlier image: it is not the one on screen, so it is shown.
  DrawFrame(g, 100);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), first + 2);
}

TEST_F(WindowDDIdleTest, SkippedFrameStillReadsBackAndScreenshotsAsTheLastImage) {
  KGraphicDD g;
  ASSERT_TRUE(Settle(g, 100));
  const uint64_t shown = Presents();

  EXPECT_EQ(Pixel(105, 105), kBlue);
  EXPECT_EQ(Pixel(300, 300), kRed);
  const std::string path = "/tmp/br_dd_idle_" + std::to_string(SDL_GetTicks()) + ".tga";
  ASSERT_TRUE(window->SaveScreenshot(path.c_str(), 2, 0, 0));
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  std::remove(path.c_str());
  HostImage image;
  ASSERT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), kImageTga, 4096, &image));
  ASSERT_EQ(image.width, 800);
  const uint8_t* blue = &image.rgba[(static_cast<size_t>(105) * 800 + 105) * 4];
  EXPECT_EQ(blue[0], 0);
  EXPECT_EQ(blue[2], 255);
  EXPECT_EQ(image.rgba[(static_cast<size_t>(300) * 800 + 300) * 4], 255);

  // Reading did not change the picture: the same frame is still not shown again.
  DrawFrame(g, 100);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown);
}

TEST_F(WindowDDIdleTest, ReadingMidFrameSeesTheDrawingAndThatFrameIsShown) {
  KGraphicDD g;
  DrawFrame(g, 100);
  window->FlipBackBuffer(false, true);
  const uint64_t shown = Presents();
  DrawFrame(g, 100);
  g.FillRect(500, 500, 510, 510, 0, 1, 0, 1);
  EXPECT_EQ(Pixel(505, 505), kGreen);
  g.FillRect(500, 500, 510, 510, 0, 0, 1, 1);
  EXPECT_EQ(Pixel(505, 505), kBlue);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown + 1);
}

TEST_F(WindowDDIdleTest, FramesThatDoNotCoverEveryPixelAreAlwaysShown) {
  // Half-transparent squares over the previous frame build up; skipping one
  // would leave a different image.
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
  };
  for (int i = 0; i < 3; ++i) {  // past the window's start-up events
    frame();
    window->FlipBackBuffer(false, true);
  }
  const uint64_t shown = Presents();
  frame();
  window->FlipBackBuffer(false, true);
  ASSERT_EQ(Presents(), shown);

  // The same texels uploaded again still count as a change.
  int32_t pitch = 0;
  ASSERT_NE(HostLockSurface(picture.GetSurface(), &pitch), nullptr);
  HostUnlockSurface(picture.GetSurface());
  frame();
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown + 1);

  // The window was uncovered: its pixels may be gone.
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_EXPOSED;
  e.window.windowID = SDL_GetWindowID(HostSDLWindow());
  SDL_PushEvent(&e);
  frame();
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown + 2);
  frame();
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown + 2);
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
  DrawFrame(g, 200);
  window->FlipBackBuffer(false, true);
  HostSetRasterDisabled(false);
  EXPECT_EQ(Presents(), shown);
  EXPECT_EQ(Pixel(205, 105), kRed);  // nothing drawn either
  DrawFrame(g, 100);
  window->FlipBackBuffer(false, true);
  EXPECT_EQ(Presents(), shown);
}

}  // namespace
