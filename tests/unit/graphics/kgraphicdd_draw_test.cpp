// DirectDraw-style surfaces: where and how the quads and primitives land.
#include <cstdint>
#include <string>
#include <utility>

#include "kgraphicdd_fixture.h"
#include "picture_data.h"

namespace {

// 4 x 4 picture whose texel (x, y) has green = 16 * (4y + x) + 1, inside a
// frame of pure key blue so that sampling a neighbour shows at once.
std::vector<uint32_t> FramedPixels() {
  std::vector<uint32_t> px(36, 0xFFFF0000u);  // R | G<<8 | B<<16 | A<<24: blue
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      px[(y + 1) * 6 + x + 1] = 0xFF000000u | (static_cast<uint32_t>(16 * (4 * y + x) + 1) << 8);
    }
  }
  return px;
}

uint8_t Green(int x, int y) { return static_cast<uint8_t>(16 * (4 * y + x) + 1); }

class KGraphicDDDraw : public DDTest {
 protected:
  void SetUp() override {
    DDTest::SetUp();
    pixels = FramedPixels();
    ASSERT_TRUE(pic.MakePictureFromArray(pixels.data(), 6, 6, true));
  }
  std::vector<uint32_t> pixels;
  KGraphicDD pic;
};

TEST_F(KGraphicDDDraw, BlitsMapEveryTexelToItsPixelAndNoNeighbour) {
  pic.BlitRect(1, 1, 5, 5, 10, 20);
  pic.BlitRectFlip(1, 1, 5, 5, 30, 20, true, false);
  pic.BlitAlphaRectFlipF(1, 1, 5, 5, 50.0f, 20.0f, false, true);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) {
      EXPECT_EQ(Pixel(10 + x, 20 + y).g, Green(x, y)) << x << "," << y;
      EXPECT_EQ(Pixel(30 + x, 20 + y).g, Green(3 - x, y)) << x << "," << y;
      EXPECT_EQ(Pixel(50 + x, 20 + y).g, Green(x, 3 - y)) << x << "," << y;
      EXPECT_EQ(Pixel(10 + x, 20 + y).b, 0);
    }
  }
  for (auto [x, y] : {std::pair{9, 20}, {14, 23}, {10, 24}, {10, 19}})  // nothing outside
    EXPECT_EQ(Pixel(x, y), (DDColor{0, 0, 0, 255})) << x << "," << y;
}

TEST_F(KGraphicDDDraw, TintAlphaAndVertexColour) {
  EXPECT_EQ(pic.QuadColor(), 0xFFFFFFFFu);
  pic.SetBlitColor(2, -1, 0.5f, 3);  // clamped to (1, 0, 0.5, 1)
  EXPECT_EQ(pic.QuadColor(), 0xFFFF007Fu);
  pic.SetBlitColor(1, 1, 1, 1);  // tint off
  EXPECT_EQ(pic.QuadColor(), 0xFFFFFFFFu);

  uint32_t white[1] = {0xFFFFFFFFu};
  KGraphicDD w;
  ASSERT_TRUE(w.MakePictureFromArray(white, 1, 1, true));
  // Alpha 0.5 without a tint: vertex colour (A 127, R G B 255) over black.
  w.BlitAlphaRectFx(0, 0, 1, 1, 100, 100, 0, 1, 0.5f, false, false, 0, 0);
  EXPECT_EQ(Pixel(100, 100), (DDColor{127, 127, 127, 255}));
  EXPECT_EQ(w.QuadColor(), 0xFFFFFFFFu);  // the alpha factor is back to 1
  // Zoom 0 and alpha 0 draw nothing.
  w.BlitAlphaRectFx(0, 0, 1, 1, 110, 100, 0, 0, 1, false, false, 0, 0);
  w.BlitAlphaRectFx(0, 0, 1, 1, 120, 100, 0, 1, 0, false, false, 0, 0);
  EXPECT_EQ(Pixel(110, 100), (DDColor{0, 0, 0, 255}));
  EXPECT_EQ(Pixel(120, 100), (DDColor{0, 0, 0, 255}));
  // A red tint at half alpha, left set for later blits.
  w.SetBlitColor(1, 0, 0, 0.5f);
  w.BlitAlphaRect(0, 0, 1, 1, 130, 100);
  EXPECT_EQ(Pixel(130, 100), (DDColor{127, 0, 0, 255}));
}

TEST_F(KGraphicDDDraw, PrimitivesFillAndPoint) {
  pic.FillRect(10, 10, 20, 15, 1, 0, 0, 1);
  EXPECT_EQ(Pixel(10, 10), (DDColor{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(19, 14), (DDColor{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(20, 14), (DDColor{0, 0, 0, 255}));
  EXPECT_EQ(Pixel(19, 15), (DDColor{0, 0, 0, 255}));
  pic.FillRect(10, 10, 20, 15, 0, 0, 1, 0.2f);  // blended
  EXPECT_EQ(Pixel(12, 12), (DDColor{204, 0, 51, 255}));
  pic.PlotPixel(50, 60, 1, 1, 1, 1);
  EXPECT_EQ(Pixel(50, 60), (DDColor{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(51, 60), (DDColor{0, 0, 0, 255}));
}

TEST_F(KGraphicDDDraw, StretchQuadAndRotatedTexture) {
  pic.StretchAlphaRect(1, 1, 5, 5, 100, 100, 108, 104, 1, 0, false, false, 0, 0);
  EXPECT_EQ(Pixel(100, 100).g, Green(0, 0));
  EXPECT_EQ(Pixel(107, 103).g, Green(3, 3));
  EXPECT_EQ(Pixel(108, 103), (DDColor{0, 0, 0, 255}));
  pic.BlitQuad(1, 1, 5, 1, 5, 5, 1, 5, 200, 100, 204, 100, 204, 104, 200, 104);
  EXPECT_EQ(Pixel(200, 100).g, Green(0, 0));
  EXPECT_EQ(Pixel(203, 103).g, Green(3, 3));
  // The texture square 0..extent shows turned by half a turn.
  KGraphicDD whole;
  uint32_t px[16];
  for (int i = 0; i < 16; ++i) px[i] = pixels[(i / 4 + 1) * 6 + i % 4 + 1];
  ASSERT_TRUE(whole.MakePictureFromArray(px, 4, 4, true));
  whole.DrawTextureRotated(300, 100, 4, 4, 1.0f, 0);
  EXPECT_EQ(Pixel(303, 103).g, Green(0, 0));
  EXPECT_EQ(Pixel(300, 100).g, Green(3, 3));
}

TEST_F(KGraphicDDDraw, BlendModesAndUnknownMode) {
  uint32_t half[1] = {0x80FFFFFFu};  // white, alpha 128
  KGraphicDD g;
  ASSERT_TRUE(g.MakePictureFromArray(half, 1, 1, true));
  pic.FillRect(0, 0, 50, 50, 0, 0, 1, 1);
  g.SetBlendMode(7);  // ignored: still ordinary alpha blending
  g.BlitAlphaRect(0, 0, 1, 1, 10, 10);
  const DDColor blended = Pixel(10, 10);
  EXPECT_NEAR(blended.r, 128, 2);
  EXPECT_NEAR(blended.b, 255, 2);
  g.BlitRect(0, 0, 1, 1, 11, 10);  // opaque: alpha ignored
  EXPECT_EQ(Pixel(11, 10), (DDColor{255, 255, 255, 255}));
}

TEST_F(KGraphicDDDraw, LostDeviceSkipsDrawsUntilRebuilt) {
  HostPushDeviceResetEvent();
  pic.BlitRect(1, 1, 5, 5, 10, 20);
  pic.FillRect(0, 0, 5, 5, 1, 1, 1, 1);
  window->ProcessEvents();
  window->SetWorldView(0, 0, 0, 1, true);
  EXPECT_EQ(Pixel(10, 20), (DDColor{0, 0, 0, 255}));
  pic.BlitRect(1, 1, 5, 5, 10, 20);
  EXPECT_EQ(Pixel(10, 20).g, Green(0, 0));
}

class KGraphicDDClip : public DDTest {
 protected:
  void SetUp() override {
    depthBuffer = true;
    DDTest::SetUp();
  }
};

TEST_F(KGraphicDDClip, ClipRectLastsUntilTheNextView) {
  KGraphicDD g;
  window->SetClipRect(10, 10, 20, 20);
  g.FillRect(0, 0, 100, 100, 1, 1, 1, 1);
  EXPECT_EQ(Pixel(10, 10), (DDColor{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(19, 19), (DDColor{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(20, 19), (DDColor{0, 0, 0, 255}));
  EXPECT_EQ(Pixel(9, 15), (DDColor{0, 0, 0, 255}));
  window->FlipBackBuffer(false, true);  // presenting keeps the clip; the view reset ends it
  g.FillRect(0, 0, 100, 100, 1, 0, 0, 1);
  EXPECT_EQ(Pixel(50, 50), (DDColor{255, 0, 0, 255}));
}

TEST_F(KGraphicDDDraw, ClipRectNeedsTheDepthBuffer) {
  KGraphicDD g;
  window->SetClipRect(10, 10, 20, 20);
  g.FillRect(0, 0, 100, 100, 1, 1, 1, 1);
  EXPECT_EQ(Pixel(50, 50), (DDColor{255, 255, 255, 255}));
}

}  // namespace
