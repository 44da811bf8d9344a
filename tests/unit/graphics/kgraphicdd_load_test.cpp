// DirectDraw-style surfaces: texel formats, loads, arrays, grabs and restores after a lost device.
#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "kgraphicdd_fixture.h"
#include "picture_data.h"

namespace {

constexpr uint32_t kBlue = 0x0000FF, kRed = 0xFF0000, kWhite = 0xFFFFFF;

TEST(KGraphicDDFormats, TexelPackingAndSurfaceChoice) {
  EXPECT_EQ(PackX1R5G5B5(0xFF, 0x80, 0x08), (31 << 10) | (16 << 5) | 1);
  EXPECT_EQ(PackX1R5G5B5(0xFF, 0xFF, 0xFF) & 0x8000, 0);  // bit 15 stays clear
  EXPECT_EQ(SurfaceFormatFor(false, false, true), kHostA4R4G4B4);  // the image's own alpha is kept
  for (auto [w, h, side] : {std::array{1, 1, 1}, {3, 2, 4}, {256, 256, 256}, {300, 20, 512}})
    EXPECT_EQ(SurfaceSideFor(w, h), side) << w << "x" << h;
  int32_t src = 0, dst = 0;
  EXPECT_FALSE(BlendFactorsForMode(7, &src, &dst));
}

TEST(KGraphicDDFormats, LoadsFailWithoutDevice) {
  KGraphicDD::SetDeviceObjects(nullptr, 0, 0, 0);
  TempDir dir;
  std::string name = dir.Write("a.bmp", SolidBmp(2, 2, kRed));
  KGraphicDD g;
  EXPECT_FALSE(g.LoadPicture(name.data(), true, true));
  EXPECT_STREQ(g.GetFileName(), "");
  uint32_t px[4] = {0};
  EXPECT_FALSE(g.MakePictureFromArray(px, 2, 2, true));
  EXPECT_FALSE(g.GrabBackBuffer(nullptr));
  g.BlitRect(0, 0, 2, 2, 0, 0);  // nothing to draw on, nothing happens
}

using KGraphicDDLoad = DDTest;

TEST_F(KGraphicDDLoad, OnePixelPictureGetsOneTexel) {
  TempDir dir;
  std::string name = dir.Write("one.bmp", SolidBmp(1, 1, kRed));
  KGraphicDD g;
  ASSERT_TRUE(g.LoadPicture(name.data(), true, true));
  EXPECT_EQ(g.GetTextureWidth(), 1.0f);
  EXPECT_EQ(HostSurfaceWidth(g.GetSurface()), 1);
  EXPECT_EQ(HostSurfaceHeight(g.GetSurface()), 1);
}

TEST_F(KGraphicDDLoad, KeyedBlueBecomesTransparentInBothAlphaFormats) {
  TempDir dir;
  std::string name = dir.Write("key.bmp", MakeBmp24(2, 1, [](int x, int) {
                                 return x == 0 ? kBlue : kRed;
                               }));
  KGraphicDD g;
  g.SetColorKey(true, 0, 0, 255);

  ASSERT_TRUE(g.LoadPicture(name.data(), true, true));
  ASSERT_EQ(HostSurfaceGetFormat(g.GetSurface()), kHostA8R8G8B8);
  EXPECT_EQ(Texel32(g.GetSurface(), 0, 0), (DDColor{0, 0, 255, 0}));
  EXPECT_EQ(Texel32(g.GetSurface(), 1, 0), (DDColor{255, 0, 0, 255}));
  // Beyond the picture the texture is clear.
  EXPECT_EQ(Texel32(g.GetSurface(), 0, 1), (DDColor{0, 0, 0, 0}));

  ASSERT_TRUE(g.LoadPicture(name.data(), false, true));
  ASSERT_EQ(HostSurfaceGetFormat(g.GetSurface()), kHostA4R4G4B4);
  EXPECT_EQ(Texel16(g.GetSurface(), 0, 0), 0x000F);  // alpha nibble 0, blue 15
  EXPECT_EQ(Texel16(g.GetSurface(), 1, 0), 0xFF00);

  // Sixteen bits without alpha drop the key with the alpha.
  ASSERT_TRUE(g.LoadPicture(name.data(), false, false));
  ASSERT_EQ(HostSurfaceGetFormat(g.GetSurface()), kHostX1R5G5B5);
  EXPECT_EQ(Texel16(g.GetSurface(), 0, 0), 0x001F);
}

TEST_F(KGraphicDDLoad, BadFilesAreRefusedAndForgotten) {
  TempDir dir;
  std::string good = dir.Write("good.bmp", SolidBmp(2, 2, kRed));
  std::vector<uint8_t> junk(40, 0x5A);
  std::string bad = dir.Write("bad.bmp", junk);
  std::string missing = dir.File("missing.png");
  std::string untyped = dir.Write("plain.txt", SolidBmp(2, 2, kRed));
  KGraphicDD g;
  ASSERT_TRUE(g.LoadPicture(good.data(), true, true));
  EXPECT_FALSE(g.LoadPicture(bad.data(), true, true));
  EXPECT_EQ(g.GetSurface(), nullptr);
  EXPECT_STREQ(g.GetFileName(), "");
  EXPECT_FALSE(g.LoadPictureKeyPixel(missing.data(), 0, 0));
  EXPECT_FALSE(g.LoadPicture(untyped.data(), true, true));
  EXPECT_FALSE(g.LoadPictureFromMemory(".bmp", nullptr, 10, true, true));
  EXPECT_FALSE(g.LoadPictureFromMemory(".gif", junk.data(), 40, true, true));
  EXPECT_FALSE(g.LoadPictureWithMask(good.data(), bad.data(), true));
}

TEST_F(KGraphicDDLoad, KeyPixelMakesAnExactPlainSurfaceKeyedAtThatColour) {
  TempDir dir;
  std::string name = dir.Write("plain.bmp", MakeBmp24(5, 3, [](int x, int y) {
                                 return x == 0 && y == 0 ? kBlue : kWhite;
                               }));
  KGraphicDD g;
  ASSERT_TRUE(g.LoadPictureKeyPixel(name.data(), 0, 0));
  EXPECT_TRUE(g.IsPlain());
  EXPECT_EQ(g.GetTextureWidth(), 5.0f);
  EXPECT_EQ(g.GetTextureHeight(), 3.0f);
  // Drawn blended over red, the key texel lets the red through.
  g.FillRect(0, 0, 100, 100, 1, 0, 0, 1);
  g.BlitAlphaRect(0, 0, 5, 3, 10, 10);
  EXPECT_EQ(Pixel(10, 10), (DDColor{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(11, 10), (DDColor{255, 255, 255, 255}));
  // A key pixel outside the picture keys nothing.
  ASSERT_TRUE(g.LoadPictureKeyPixel(name.data(), 50, 50));
  g.BlitAlphaRect(0, 0, 5, 3, 10, 10);
  EXPECT_EQ(Pixel(10, 10), (DDColor{0, 0, 255, 255}));
}

TEST_F(KGraphicDDLoad, MaskGivesAlphaFromItsBlueChannel) {
  TempDir dir;
  std::string colour = dir.Write("c.bmp", SolidBmp(2, 1, kRed));
  std::string mask = dir.Write("m.bmp", MakeBmp24(2, 1, [](int x, int) {
                                 return x == 0 ? 0x000080u : 0x0000FFu;
                               }));
  KGraphicDD g;
  ASSERT_TRUE(g.LoadPictureWithMask(colour.data(), mask.data(), true));
  EXPECT_EQ(Texel32(g.GetSurface(), 0, 0).a, 0x80);
  EXPECT_EQ(Texel32(g.GetSurface(), 1, 0).a, 0xFF);
}

TEST_F(KGraphicDDLoad, ArraysAreCheckedSwappedAndLeftUntouched) {
  KGraphicDD g;
  uint32_t px[6] = {0xFF0000FFu, 0x80FF0000u, 0, 0, 0, 0};  // red opaque, blue half
  EXPECT_FALSE(g.MakePictureFromArray(nullptr, 3, 2, true));
  EXPECT_FALSE(g.MakePictureFromArray(px, 0, 2, true));
  EXPECT_FALSE(g.MakePictureFromArray(px, 3, -1, true));
  EXPECT_FALSE(g.MakePictureFromArray(px, 100000, 1, true));
  g.SetColorKey(true, 255, 0, 0);
  ASSERT_TRUE(g.MakePictureFromArray(px, 3, 2, false));
  EXPECT_EQ(g.GetTextureWidth(), 4.0f);
  EXPECT_EQ(Texel32(g.GetSurface(), 0, 0), (DDColor{255, 0, 0, 255}));
  EXPECT_EQ(Texel32(g.GetSurface(), 1, 0), (DDColor{0, 0, 255, 0x80}));
  EXPECT_EQ(px[0], 0xFF0000FFu);  // no key applied to the caller's words
}

void Invert(int32_t, int32_t y, int32_t* r, int32_t* g, int32_t* b) {
  *r = 255 - *r;
  *g = y;  // rows are counted from the top
  *b = 999;  // out of range: kept inside a byte
}

TEST_F(KGraphicDDLoad, GrabCopiesTheBackBufferThroughTheFilter) {
  KGraphicDD painter, grab;
  painter.FillRect(0, 0, 800, 600, 1, 0, 0, 1);
  painter.FillRect(0, 0, 800, 10, 0, 1, 0, 1);
  ASSERT_TRUE(grab.GrabBackBuffer(Invert));
  EXPECT_EQ(grab.GetTextureWidth(), 800.0f);
  EXPECT_EQ(Texel32(grab.GetSurface(), 5, 20), (DDColor{0, 20, 255, 255}));
  EXPECT_EQ(Texel32(grab.GetSurface(), 5, 3), (DDColor{255, 3, 255, 255}));
  ASSERT_TRUE(grab.GrabFrontBuffer());
  EXPECT_EQ(Texel32(grab.GetSurface(), 5, 3), (DDColor{0, 255, 0, 255}));
}

TEST_F(KGraphicDDLoad, DeviceResetReloadsEveryPictureFromItsFile) {
  TempDir dir;
  std::string a = dir.Write("a.bmp", SolidBmp(4, 4, kRed));
  std::string b = dir.Write("b.bmp", SolidBmp(4, 4, kWhite));
  KGraphicDD first, second, array, empty, freed;
  ASSERT_TRUE(freed.LoadPicture(b.data(), true, true));
  freed.FreePicture();
  ASSERT_TRUE(first.LoadPicture(a.data(), true, true));
  ASSERT_TRUE(second.LoadPictureKeyPixel(b.data(), 1, 1));
  uint32_t px[1] = {0xFF00FF00u};
  ASSERT_TRUE(array.MakePictureFromArray(px, 1, 1, true));

  dir.Write("a.bmp", SolidBmp(4, 4, kBlue));
  HostDevice* before = window->GetDevice();
  HostPushDeviceResetEvent();
  EXPECT_TRUE(HostDeviceIsLost(before));
  EXPECT_TRUE(HostIsSurfaceLost(first.GetSurface()));

  // A draw that notices the loss restores instead of drawing.
  first.BlitRect(0, 0, 4, 4, 0, 0);
  window->ProcessEvents();  // builds the device again and restores everything
  ASSERT_NE(window->GetDevice(), nullptr);
  EXPECT_FALSE(HostDeviceIsLost(window->GetDevice()));
  for (KGraphicDD* g : {&first, &second, &array}) {
    ASSERT_NE(g->GetSurface(), nullptr);
    EXPECT_FALSE(HostIsSurfaceLost(g->GetSurface()));
  }
  EXPECT_EQ(empty.GetSurface(), nullptr);
  EXPECT_EQ(freed.GetSurface(), nullptr);  // released pictures stay released
  EXPECT_EQ(Texel32(first.GetSurface(), 0, 0), (DDColor{0, 0, 255, 255}));  // the file's new content
  EXPECT_TRUE(second.IsPlain());
  EXPECT_EQ(second.GetTextureWidth(), 4.0f);
  EXPECT_EQ(Texel32(array.GetSurface(), 0, 0), (DDColor{0, 255, 0, 255}));

  window->SetWorldView(0, 0, 0, 1, true);
  array.BlitRect(0, 0, 1, 1, 30, 30);
  EXPECT_EQ(Pixel(30, 30), (DDColor{0, 255, 0, 255}));
}

TEST_F(KGraphicDDLoad, MemoryPicturesSurviveAReset) {
  const std::vector<uint8_t> bytes = SolidBmp(3, 3, kRed);
  KGraphicDD g;
  ASSERT_TRUE(g.LoadPictureFromMemory(".bmp", bytes.data(), static_cast<uint32_t>(bytes.size()),
                                      true, true));
  EXPECT_STREQ(g.GetFileName(), ".bmp");
  HostPushDeviceResetEvent();
  window->ProcessEvents();
  ASSERT_NE(g.GetSurface(), nullptr);
  EXPECT_EQ(Texel32(g.GetSurface(), 2, 2), (DDColor{255, 0, 0, 255}));
}

// A transparent palette entry (PNG, GIF) counts as the picture's own alpha:
// sixteen-bit loads keep it in A4R4G4B4 instead of dropping it.
TEST_F(KGraphicDDLoad, TransparentPaletteEntriesKeepTheirAlphaInSixteenBits) {
  ASSERT_EQ(std::system("command -v convert >/dev/null 2>&1"), 0)
      << "ImageMagick's convert is missing: install imagemagick";
  TempDir dir;
  for (const char* name : {"clear.png", "clear.gif"}) {
    SCOPED_TRACE(name);
    std::string path = dir.File(name);
    const std::string command = std::string("convert -size 1x1 xc:red xc:none +append ") +
                                (name[6] == 'p' ? "PNG8:" : "GIF:") + path;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    KGraphicDD g;
    ASSERT_TRUE(g.LoadPicture(path.data(), false, false));
    ASSERT_EQ(HostSurfaceGetFormat(g.GetSurface()), kHostA4R4G4B4);
    EXPECT_EQ(Texel16(g.GetSurface(), 0, 0), 0xFF00);
    EXPECT_EQ(Texel16(g.GetSurface(), 1, 0) >> 12, 0);
  }
}

}  // namespace
