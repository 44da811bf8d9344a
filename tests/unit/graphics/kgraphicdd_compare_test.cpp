// The same sprite scene drawn through the OpenGL and DirectDraw-style pairs gives the same picture.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/graphics/KGraphicGL.h"
#include "engine/host/host_renderer.h"
#include "engine/platform/KWindowDD.h"
#include "engine/platform/KWindowGL.h"
#include "kgraphicdd_fixture.h"
#include "picture_data.h"

namespace {

constexpr int kW = 800, kH = 600;

// 32 x 32 sheet: a key-blue border around coloured stripes, so a sampled neighbour or missing key shows.
std::vector<uint8_t> SheetBmp() {
  return MakeBmp24(32, 32, [](int x, int y) -> uint32_t {
    if (x < 2 || y < 2 || x >= 30 || y >= 30) return 0x0000FF;
    const uint32_t r = static_cast<uint32_t>(x * 8), g = static_cast<uint32_t>(y * 8);
    return (r << 16) | (g << 8) | ((x / 4 + y / 4) % 2 == 0 ? 0x40u : 0xC0u);
  });
}

void DrawScene(KGraphic& sheet) {
  sheet.FillRect(0, 0, 800, 600, 0.2f, 0.3f, 0.4f, 1);
  sheet.BlitAlphaRectFlip(0, 0, 32, 32, 10, 10, false, false);    // keyed
  sheet.BlitRectFlip(2, 2, 30, 30, 60, 10, true, false);          // opaque, flipped
  sheet.SetBlitColor(1, 0.5f, 0.5f, 1);                           // tint
  sheet.BlitAlphaRectFlip(0, 0, 32, 32, 110, 10, false, true);
  sheet.SetBlitColor(1, 1, 1, 1);
  sheet.BlitAlphaRectFx(0, 0, 32, 32, 160, 10, 0, 1, 0.5f, false, false, 0, 0);  // alpha
  sheet.BlitAlphaRectFx(0, 0, 32, 32, 300, 100, 90, 2, 1, false, false, 0, 0);   // turn, zoom
  sheet.BlitAlphaRectFx(0, 0, 32, 32, 400, 100, 180, 1, 1, true, false, 4, -3);  // pivot
  sheet.BlitAlphaRectFx(0, 0, 32, 32, 500, 100, 30, 1.5f, 1, false, false, 0, 0);
  sheet.FillRect(400, 400, 500, 450, 1, 0, 0, 0.5f);             // fill, blended
  sheet.FillRect(600, 400, 650, 420, 0, 1, 0, 1);                // fill, opaque
  sheet.DrawLine(100, 300, 300, 300, 1, 1, 1, 1);                // line
  sheet.DrawLine(100, 320, 100, 420, 1, 1, 0, 1);
}

// RGB of every pixel, rows top first.
using Frame = std::vector<uint32_t>;

Frame DrawWithGL(std::string file) {
  Frame frame;
  KWindowGL window(false);
  if (!window.CreateGameWindow(kW, kH, 32, true, "gl")) return frame;
  {
    KGraphicGL sheet;
    sheet.SetColorKey(true, 0, 0, 255);
    if (!sheet.LoadPicture(file.data(), true, true)) return frame;
    window.SetClearColor(0, 0, 0, 1);
    window.SetWorldView(0, 0, 0, 1, true);
    DrawScene(sheet);
    std::unique_ptr<uint8_t[]> rgba = KGraphicGL::ReadBackBuffer(kW, kH);
    if (!rgba) return frame;
    frame.resize(static_cast<size_t>(kW) * kH);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const uint8_t* p = &rgba[(static_cast<size_t>(kH - 1 - y) * kW + x) * 4];
        frame[static_cast<size_t>(y) * kW + x] = (p[0] << 16) | (p[1] << 8) | p[2];
      }
    }
  }
  return frame;
}

Frame DrawWithDD(std::string file, const char* driver) {
  Frame frame;
  UseRenderDriver(driver);
  KWindowDD window(false);
  if (!window.CreateGameWindow(kW, kH, 32, true, "dd")) return frame;
  KGraphicDD sheet;
  sheet.SetColorKey(true, 0, 0, 255);
  if (!sheet.LoadPicture(file.data(), true, true)) return frame;
  window.SetClearColor(0, 0, 0, 1);
  window.SetWorldView(0, 0, 0, 1, true);
  DrawScene(sheet);
  frame.resize(static_cast<size_t>(kW) * kH);
  if (!HostDeviceReadPixels(window.GetDevice(), 0, 0, kW, kH, frame.data())) frame.clear();
  for (uint32_t& p : frame) p &= 0x00FFFFFFu;
  return frame;
}

int Distance(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) -
                           static_cast<int>((b >> shift) & 0xFF));
    worst = d > worst ? d : worst;
  }
  return worst;
}

// SDL 2.26's software renderer maps a quarter-turned quad one texel off: left out there.
bool InQuarterTurnSprite(int x, int y) { return x >= 280 && x < 352 && y >= 80 && y < 152; }

// Pixels of `a` with no nearly equal pixel of `b` within one pixel (edges may move by one).
int Unmatched(const Frame& a, const Frame& b, int tolerance, bool skipQuarterTurn) {
  int count = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (skipQuarterTurn && InQuarterTurnSprite(x, y)) continue;
      const uint32_t p = a[static_cast<size_t>(y) * kW + x];
      bool found = false;
      for (int dy = -1; dy <= 1 && !found; ++dy) {
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          const int nx = x + dx, ny = y + dy;
          if (nx < 0 || ny < 0 || nx >= kW || ny >= kH) continue;
          found = Distance(p, b[static_cast<size_t>(ny) * kW + nx]) <= tolerance;
        }
      }
      if (!found) ++count;
    }
  }
  return count;
}

class KGraphicDDCompare : public PerDriverTest {
 protected:
  void TearDown() override {
    PerDriverTest::TearDown();
    KGraphicGL::ForgetBoundTexture();
  }
};

TEST_P(KGraphicDDCompare, SameSceneSamePicture) {
  TempDir dir;
  const std::string file = dir.Write("sheet.bmp", SheetBmp());
  const Frame gl = DrawWithGL(file);
  const Frame dd = DrawWithDD(file, GetParam());
  ASSERT_EQ(gl.size(), static_cast<size_t>(kW) * kH);
  ASSERT_EQ(dd.size(), gl.size());

  // Most pixels agree exactly (rounding of blends aside).
  const bool software = std::string(GetParam()) == "software";
  int close = 0;
  for (size_t i = 0; i < gl.size(); ++i) close += Distance(gl[i], dd[i]) <= 2 ? 1 : 0;
  EXPECT_GT(close, static_cast<int>(gl.size()) - (software ? 6000 : 2000));
  // And nothing is drawn by one and missing from the other.
  EXPECT_LT(Unmatched(dd, gl, 6, software), 150);
  EXPECT_LT(Unmatched(gl, dd, 6, software), 150);
  // The opaque blit starts inside the border, so key blue must show nowhere.
  for (size_t i = 0; i < dd.size(); ++i) {
    ASSERT_NE(dd[i], 0x0000FFu) << "key blue at " << i % kW << "," << i / kW;
  }
}

INSTANTIATE_TEST_SUITE_P(Drivers, KGraphicDDCompare, ::testing::Values("software", "opengl"));

}  // namespace
