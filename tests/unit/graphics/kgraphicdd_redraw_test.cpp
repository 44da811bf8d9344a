// Frames that differ from the one on screen in a few draws are redrawn only
// where they changed, and come out exactly as a frame drawn whole.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_renderer.h"
#include "engine/host/host_window.h"
#include "engine/platform/KWindowDD.h"
#include "kgraphicdd_fixture.h"
#include "picture_data.h"

namespace {

constexpr int kW = 800, kH = 600;

// 32 x 32 sheet: key-blue border around coloured stripes.
std::vector<uint8_t> SheetBmp() {
  return MakeBmp24(32, 32, [](int x, int y) -> uint32_t {
    if (x < 2 || y < 2 || x >= 30 || y >= 30) return 0x0000FF;
    return (static_cast<uint32_t>(x * 8) << 16) | (static_cast<uint32_t>(y * 8) << 8) | 0x80u;
  });
}

// One frame of a small scene; `step` moves a few of its sprites.
void DrawScene(KWindowDD& window, KGraphic& sheet, int step) {
  window.SetWorldView(0, 0, 0, 1, true);
  sheet.FillRect(0, 0, 800, 600, 0.2f, 0.3f, 0.4f, 1);
  for (int i = 0; i < 10; ++i) sheet.BlitAlphaRectFlip(0, 0, 32, 32, 40 + i * 70, 400, false, false);
  sheet.BlitAlphaRectFlip(0, 0, 32, 32, 10 + step * 3, 10, false, false);  // walks right
  // A turned sprite the walker below passes over: it must be redrawn whole.
  sheet.BlitAlphaRectFx(0, 0, 32, 32, 300, 100, 30, 1.5f, 1, false, false, 0, 0);
  sheet.BlitAlphaRectFlip(0, 0, 32, 32, 280 + step * 5, 110, step % 2 == 1, false);
  sheet.FillRect(500, 200, 560, 260, 1, 0, 0, 0.5f);                     // blended, still
  sheet.DrawLine(100, 300, 700, 300, 1, 1, 1, 1);
  sheet.BlitAlphaRectFlip(0, 0, 32, 32, 520 + step, 230, false, false);  // under the fill's edge
}

std::vector<uint32_t> BackBuffer(KWindowDD& window) {
  std::vector<uint32_t> frame(static_cast<size_t>(kW) * kH);
  if (!HostDeviceReadPixels(window.GetDevice(), 0, 0, kW, kH, frame.data())) frame.clear();
  return frame;
}

// The back buffer after drawing steps first..last, one presented frame each,
// and how many of them were redrawn only in part.
struct Played {
  std::vector<uint32_t> frame;
  std::vector<uint32_t> window;  // what the window shows (software driver only)
  uint64_t partial = 0;
};

// The window's own pixels as 0x00RRGGBB, when the driver draws into the
// window's surface (SDL's software renderer).
std::vector<uint32_t> WindowPixels() {
  std::vector<uint32_t> pixels;
  SDL_Surface* surface = SDL_GetWindowSurface(HostSDLWindow());
  if (surface == nullptr || surface->w != kW || surface->h != kH) return pixels;
  pixels.resize(static_cast<size_t>(kW) * kH);
  if (SDL_ConvertPixels(kW, kH, surface->format->format, surface->pixels, surface->pitch,
                        SDL_PIXELFORMAT_ARGB8888, pixels.data(), kW * 4) != 0) {
    pixels.clear();
  }
  for (uint32_t& p : pixels) p &= 0x00FFFFFFu;
  return pixels;
}

Played Play(const std::string& file, const char* driver, int first, int last,
         void (*scene)(KWindowDD&, KGraphic&, int) = DrawScene) {
  Played run;
  UseRenderDriver(driver);
  KWindowDD window(false);
  if (!window.CreateGameWindow(kW, kH, 32, true, "redraw")) return run;
  KGraphicDD sheet;
  sheet.SetColorKey(true, 0, 0, 255);
  if (!sheet.LoadPicture(const_cast<char*>(file.c_str()), true, true)) return run;
  window.SetClearColor(0, 0, 0, 1);
  const uint64_t before = HostDevicePartialRedrawCount(window.GetDevice());
  for (int step = first; step <= last; ++step) {
    scene(window, sheet, step);
    window.FlipBackBuffer(false, true);
  }
  run.partial = HostDevicePartialRedrawCount(window.GetDevice()) - before;
  run.frame = BackBuffer(window);
  if (std::string(driver) == "software") run.window = WindowPixels();
  return run;
}

using KGraphicDDRedraw = PerDriverTest;

TEST_P(KGraphicDDRedraw, FewChangedDrawsRedrawnInPlaceGiveTheWholeFramesPixels) {
  TempDir dir;
  const std::string file = dir.Write("sheet.bmp", SheetBmp());
  // Steps 0..4 presented one after the other, against step 4 drawn on a
  // fresh device (nothing to keep from before).
  const Played kept = Play(file, GetParam(), 0, 4);
  const Played whole = Play(file, GetParam(), 4, 4);
  ASSERT_EQ(kept.frame.size(), static_cast<size_t>(kW) * kH);
  ASSERT_EQ(whole.frame.size(), kept.frame.size());
  EXPECT_EQ(whole.partial, 0u);
  // Steps 2 to 4 were redrawn in place (not the first two frames of a device).
  EXPECT_EQ(kept.partial, 3u);
  int differ = 0;
  for (size_t i = 0; i < kept.frame.size(); ++i) differ += kept.frame[i] != whole.frame[i] ? 1 : 0;
  EXPECT_EQ(differ, 0);
  // The window, which got only the changed regions, shows the same picture.
  if (std::string(GetParam()) == "software") {
    ASSERT_EQ(kept.window.size(), kept.frame.size());
    differ = 0;
    for (size_t i = 0; i < kept.frame.size(); ++i) {
      differ += kept.window[i] != (whole.frame[i] & 0x00FFFFFFu) ? 1 : 0;
    }
    EXPECT_EQ(differ, 0);
  }
}

// Every frame darkens the whole picture a little more: nothing can be kept.
void FadingScene(KWindowDD& window, KGraphic& sheet, int step) {
  DrawScene(window, sheet, 0);
  sheet.FillRect(0, 0, 800, 600, 0, 0, 0, 0.1f * step);
}

TEST_P(KGraphicDDRedraw, FrameChangedEverywhereIsDrawnWhole) {
  TempDir dir;
  const std::string file = dir.Write("sheet.bmp", SheetBmp());
  const Played faded = Play(file, GetParam(), 0, 3, FadingScene);
  const Played whole = Play(file, GetParam(), 3, 3, FadingScene);
  EXPECT_EQ(faded.partial, 0u);
  ASSERT_EQ(faded.frame.size(), whole.frame.size());
  EXPECT_TRUE(faded.frame == whole.frame);
}

INSTANTIATE_TEST_SUITE_P(Drivers, KGraphicDDRedraw, ::testing::Values("software", "opengl"));

TEST(LetterboxBars, OnlyWhatTheFrameLeavesIsPaintedBlack) {
  HostRect bars[4];
  // 4:3 frame filling a 4:3 window: nothing to clear.
  EXPECT_EQ(HostLetterboxBars(1024, 768, HostRect{0, 0, 1024, 768}, bars), 0);
  // A 5:4 screen: bars above and below.
  ASSERT_EQ(HostLetterboxBars(1280, 1024, HostRect{0, 32, 1280, 960}, bars), 2);
  EXPECT_EQ(bars[0].y, 0);
  EXPECT_EQ(bars[0].h, 32);
  EXPECT_EQ(bars[1].y, 992);
  EXPECT_EQ(bars[1].h, 32);
  EXPECT_EQ(bars[1].w, 1280);
  // A wide screen: bars left and right, as tall as the frame.
  ASSERT_EQ(HostLetterboxBars(1920, 1080, HostRect{240, 0, 1440, 1080}, bars), 2);
  EXPECT_EQ(bars[0].x, 0);
  EXPECT_EQ(bars[0].w, 240);
  EXPECT_EQ(bars[1].x, 1680);
  EXPECT_EQ(bars[1].w, 240);
  EXPECT_EQ(bars[1].h, 1080);
  // An odd leftover pixel on one side only still gets its bar.
  ASSERT_EQ(HostLetterboxBars(801, 600, HostRect{0, 0, 800, 600}, bars), 1);
  EXPECT_EQ(bars[0].x, 800);
  EXPECT_EQ(bars[0].w, 1);
}

}  // namespace

namespace {

// A file picture keeps no copy of its texels once uploaded; reading them
// later (after drawing with it, which lets the driver repack the texture)
// still gives every texel exactly, the key colour of clear ones included.
using KGraphicDDCopy = DDTest;

TEST_F(KGraphicDDCopy, FilePicturesTexelsReadBackExactlyAfterDrawing) {
  TempDir dir;
  const std::string name = dir.Write("key.bmp", MakeBmp24(3, 1, [](int x, int) -> uint32_t {
    return x == 0 ? 0x0000FFu : x == 1 ? 0xFF0000u : 0x336699u;
  }));
  KGraphicDD g;
  g.SetColorKey(true, 0, 0, 255);
  for (bool trueColor : {true, false}) {
    ASSERT_TRUE(g.LoadPicture(const_cast<char*>(name.c_str()), trueColor, true));
    g.BlitAlphaRectFlip(0, 0, 3, 1, 10, 10, false, false);
    window->FlipBackBuffer(false, true);
    if (trueColor) {
      EXPECT_EQ(Texel32(g.GetSurface(), 0, 0), (DDColor{0, 0, 255, 0}));
      EXPECT_EQ(Texel32(g.GetSurface(), 2, 0), (DDColor{0x33, 0x66, 0x99, 255}));
      EXPECT_EQ(Texel32(g.GetSurface(), 3, 0), (DDColor{0, 0, 0, 0}));  // beyond the picture
    } else {
      EXPECT_EQ(Texel16(g.GetSurface(), 0, 0), 0x000F);
      EXPECT_EQ(Texel16(g.GetSurface(), 2, 0), 0xF369);
    }
  }
}

}  // namespace
