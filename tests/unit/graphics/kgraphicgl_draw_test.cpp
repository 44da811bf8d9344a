// Drawing with KGraphicGL, checked by reading the back buffer.
#include "gl_fixture.h"
#include "picture_data.h"

namespace {

constexpr Rgba kBlack = 0x000000FF, kWhite = 0xFFFFFFFF, kRed = 0xFF0000FF, kGreen = 0x00FF00FF,
               kBlue = 0x0000FFFF;

class DrawTest : public GLTest {
 protected:
  // 8 x 8: top row white, below it the left half blue (the key), right half red.
  static void LoadKeyed(KGraphicGL& g) {
    const std::vector<uint8_t> bmp = MakeBmp24(8, 8, [](int x, int y) -> uint32_t {
      return y == 0 ? 0xFFFFFF : x < 4 ? 0x0000FF : 0xFF0000;
    });
    g.SetColorKey(true, 0, 0, 255);
    ASSERT_TRUE(g.LoadPictureFromMemory(".bmp", bmp.data(), bmp.size(), true, true));
  }
  static void LoadWhite(KGraphicGL& g, int w = 8, int h = 8) {
    const std::vector<uint8_t> bmp = SolidBmp(w, h, 0xFFFFFF);
    ASSERT_TRUE(g.LoadPictureFromMemory(".bmp", bmp.data(), bmp.size(), true, true));
  }
};

TEST_F(DrawTest, OpaqueBlitShowsTheKeyColourKeyedBlitDoesNot) {
  KGraphicGL g;
  LoadKeyed(g);
  Clear(0, 1, 0);
  g.BlitRectFlip(0, 0, 8, 8, 100, 50, false, false);
  EXPECT_EQ(Pixel(101, 52), kBlue);
  EXPECT_EQ(Pixel(106, 52), kRed);
  EXPECT_EQ(Pixel(106, 50), kWhite);  // the picture's top row at the destination y
  EXPECT_EQ(Pixel(108, 52), kGreen);  // 8 wide: x 100..107
  g.BlitAlphaRectFlip(0, 0, 8, 8, 200, 50, false, false);
  EXPECT_EQ(Pixel(201, 52), kGreen);
  EXPECT_EQ(Pixel(206, 52), kRed);
}

TEST_F(DrawTest, FractionalWidthsSpanWholePixels) {
  KGraphicGL w;
  LoadWhite(w, 16, 4);
  w.BlitRectFlip(0, 0, 10.7f, 4, 50, 10, false, false);  // 10.7 wide spans 10 pixels
  EXPECT_EQ(Pixel(59, 10), kWhite);
  EXPECT_EQ(Pixel(60, 10), kBlack);
}

TEST_F(DrawTest, TintIsLeftSetAfterAlphaBlitAndOnlyAllOnesSwitchesItOff) {
  KGraphicGL g;
  LoadWhite(g);
  g.SetBlitColor(1, 0, 0, 0.5f);
  g.BlitAlphaRectFlip(0, 0, 8, 8, 10, 10, false, false);
  EXPECT_TRUE(Near(Pixel(12, 12), 0x800000FF)) << std::hex << Pixel(12, 12);
  g.BlitRectFlip(0, 0, 8, 8, 30, 10, false, false);  // sets no colour: still red
  EXPECT_EQ(Pixel(32, 12), kRed);
  g.SetBlitColor(1, 1, 1, 1);
  EXPECT_FALSE(g.IsColorOn());
  g.BlitAlphaRectFlip(0, 0, 8, 8, 50, 10, false, false);
  EXPECT_EQ(Pixel(52, 12), kWhite);

  float c[4];
  g.SetBlitColor(2, -1, 0.5f, 3);
  g.GetBlitColor(&c[0], &c[1], &c[2], &c[3]);
  EXPECT_EQ(std::vector<float>(c, c + 4), (std::vector<float>{1, 0, 0.5f, 1}));
}

TEST_F(DrawTest, AlphaFxWithZoomOrAlphaZeroDrawsNothingAndResetsTheColour) {
  KGraphicGL g;
  LoadWhite(g);
  g.BlitAlphaRectFx(0, 0, 8, 8, 10, 10, 0, 0.0f, 1.0f, false, false, 0, 0);
  g.BlitAlphaRectFx(0, 0, 8, 8, 10, 10, 0, 1.0f, 0.0f, false, false, 0, 0);
  g.BlitAlphaRectFx(0, 0, 8, 8, 10, 10, 0, 1.0f, -1.0f, false, false, 0, 0);
  g.BlitAlphaRectFxF(0, 0, 8, 8, 10, 10, 0, 0.0f, 1.0f, false, false, 0, 0);
  EXPECT_EQ(Pixel(12, 12), kBlack);
  g.BlitAlphaRectFx(0, 0, 8, 8, 10, 10, 0, 1.0f, 0.5f, false, false, 0, 0);
  EXPECT_TRUE(Near(Pixel(12, 12), 0x808080FF));
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[3], 1.0f);
}

TEST_F(DrawTest, RectFxTurnsAboutTheCentre) {
  KGraphicGL g;
  LoadKeyed(g);
  g.BlitRectFx(0, 0, 8, 8, 40, 40, 180.0f, 1.0f, false, false);  // white row at the bottom
  EXPECT_EQ(Pixel(44, 47), kWhite);
  EXPECT_EQ(Pixel(41, 43), kRed);
  g.BlitRectFx(0, 0, 8, 8, 60, 40, 0.0f, 0.0f, false, false);
  EXPECT_EQ(Pixel(63, 43), kBlack);
}

TEST_F(DrawTest, FillRectBlendsAtPartialAlphaWhateverTheBlendMode) {
  KGraphicGL g;
  g.SetBlendMode(2);  // (ONE, ONE_MINUS_SRC_ALPHA) would give full green
  g.SetBlendMode(7);  // unknown: no change
  EXPECT_EQ(g.GetBlendSrc(), static_cast<uint32_t>(GL_ONE));
  Clear(1, 1, 1);
  g.FillRect(10, 10, 20, 20, 0, 1, 0, 0.2f);
  EXPECT_TRUE(Near(Pixel(15, 15), 0xCCFFCCFF)) << std::hex << Pixel(15, 15);
  EXPECT_EQ(Pixel(20, 15), kWhite);  // x2 is exclusive
  g.FillRect(30, 10, 40, 20, 1, 0, 0, 1.0f);
  EXPECT_EQ(Pixel(35, 15), kRed);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  // Texturing is off now; the next textured draw turns it on through the cache.
  KGraphicGL w;
  LoadWhite(w);
  w.FillRect(0, 0, 1, 1, 0, 0, 0, 1);
  w.BlitRectFlip(0, 0, 8, 8, 50, 50, false, false);
  EXPECT_EQ(Pixel(52, 52), kWhite);
}

TEST_F(DrawTest, StretchAndQuadFillTheirDestination) {
  KGraphicGL g;
  LoadKeyed(g);
  g.StretchAlphaRect(4, 1, 8, 8, 100, 100, 140, 120, 1.0f, 0, false, false, 0, 0);
  EXPECT_EQ(Pixel(139, 119), kRed);
  EXPECT_EQ(Pixel(140, 110), kBlack);
  g.BlitQuad(4, 1, 4, 8, 8, 8, 8, 1, 200, 200, 200, 220, 220, 220, 220, 200);
  EXPECT_EQ(Pixel(210, 210), kRed);
}

TEST_F(DrawTest, BackBufferGrabHoldsTheScreenTopRowFirst) {
  KGraphicGL box;
  LoadKeyed(box);
  box.BlitRectFlip(0, 0, 8, 8, 0, 0, false, false);
  KGraphicGL grab;
  grab.SetColorKey(true, 255, 0, 0);
  ASSERT_TRUE(grab.GrabBackBuffer(nullptr));
  EXPECT_EQ(Texel(grab, 5, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Texel(grab, 1, 3), 0x0000FFFFu);
  EXPECT_EQ(Texel(grab, 6, 3), 0u);  // red was the grab's key
  EXPECT_EQ(Texel(grab, 100, 599), 0x000000FFu);
  ASSERT_TRUE(grab.GrabBackBuffer([](int32_t, int32_t, int32_t* r, int32_t* g, int32_t* b) {
    *r = 10, *g = 20, *b = 30;
  }));
  EXPECT_EQ(Texel(grab, 400, 300), 0x0A141EFFu);
}

TEST_F(DrawTest, FadeOverlayDarkensTheWholeScreen) {
  Clear(1, 1, 1);
  KGraphicGL::DrawFadeOverlay(1.0f);
  EXPECT_EQ(Pixel(400, 300), kWhite);
  KGraphicGL::DrawFadeOverlay(0.5f);
  EXPECT_TRUE(Near(Pixel(0, 0), 0x808080FF) && Near(Pixel(799, 599), 0x808080FF));
}

}  // namespace
