// Picture loading into KGraphicGL: sizes, type detection, keying, masks, arrays, bad pictures.
#include "engine/graphics/KPicture.h"
#include "engine/host/host_image.h"
#include "gl_fixture.h"
#include "picture_data.h"

namespace {

constexpr uint32_t kBlue = 0x0000FF, kRed = 0xFF0000, kGreen = 0x00FF00;

std::vector<char> Name(const std::string& s) { return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1); }

bool LoadMem(KGraphicGL& g, const char* type, const std::vector<uint8_t>& bytes) {
  return g.LoadPictureFromMemory(type, bytes.data(), static_cast<uint32_t>(bytes.size()), true, true);
}

class PictureLoadTest : public GLTest {};

TEST(PictureTypeTest, TypeComesFromTheLastListedSuffixAndTheNameIsLowerCased) {
  char upper[] = "DATA/SPRITES.BMP";
  EXPECT_EQ(PictureTypeFromFileName(upper), kImageBmp);
  EXPECT_STREQ(upper, "data/sprites.bmp");
  char twice[] = "x.png.bmp", tga[] = "a.gif.tga", dir[] = "a.png.d/b.jpg", jpeg[] = "p.jpeg";
  EXPECT_EQ(PictureTypeFromFileName(twice), kImageBmp);
  EXPECT_EQ(PictureTypeFromFileName(tga), kImageTga);
  EXPECT_EQ(PictureTypeFromFileName(dir), kImageJpg);
  EXPECT_EQ(PictureTypeFromFileName(jpeg), kImageNone);
  EXPECT_EQ(PictureTypeFromTypeName("x.gif"), kImageNone);  // memory loads know no GIF
  EXPECT_EQ(PictureTypeFromTypeName("X.BMP"), kImageNone);  // nor lower-case the name
}

TEST_F(PictureLoadTest, TextureIsTheSmallestPowerOfTwoOfAtLeastFour) {
  const int sizes[][3] = {{1, 1, 4}, {300, 20, 512}, {256, 256, 256}, {5, 3, 8}, {20, 300, 512}};
  for (const auto& s : sizes) {
    KGraphicGL g;
    ASSERT_TRUE(LoadMem(g, ".bmp", SolidBmp(s[0], s[1], kRed)));
    EXPECT_EQ(g.GetHeight(), s[1]);
    EXPECT_EQ(g.GetTextureWidth(), s[2]) << s[0] << "x" << s[1];
  }
}

TEST_F(PictureLoadTest, FileLoadLowerCasesTheNameAndKeysBlue) {
  TempDir dir;
  // Left column blue, top row green, the rest red.
  dir.Write("sprites.bmp", MakeBmp24(6, 3, [](int x, int y) { return x == 0 ? kBlue : y == 0 ? kGreen : kRed; }));
  std::vector<char> name = Name(dir.path() + "/SPRITES.BMP");
  KGraphicGL g;
  g.SetColorKey(true, 0, 0, 255);
  ASSERT_TRUE(g.LoadPicture(name.data(), true, true));
  EXPECT_STREQ(name.data(), (dir.path() + "/sprites.bmp").c_str());
  EXPECT_EQ(Texel(g, 0, 0), 0x0000FF00u);  // the key keeps its colour, alpha 0
  EXPECT_EQ(Texel(g, 1, 0), 0x00FF00FFu);  // top row is texture row 0
  EXPECT_EQ(Texel(g, 1, 2), 0xFF0000FFu);
  EXPECT_EQ(Texel(g, 6, 0) | Texel(g, 0, 3), 0u);  // outside the picture: all zero

  // Without alpha the texture has no alpha channel at all.
  ASSERT_TRUE(g.LoadPicture(name.data(), true, false));
  GLint alphaBits = -1;
  glBindTexture(GL_TEXTURE_2D, g.GetTextureName());
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
  KGraphicGL::ForgetBoundTexture();
  EXPECT_EQ(alphaBits, 0);
}

TEST_F(PictureLoadTest, PngKeepsItsOwnAlphaExceptKeyPixels) {
  TempDir dir;
  const std::string path = dir.File("made.png");
  const uint8_t rgba[] = {255, 0, 0, 128, 0, 0, 255, 200, 0, 255, 0, 255, 0, 0, 0, 0};
  ASSERT_TRUE(HostEncodeImage(path.c_str(), 3, 2, 2, rgba, true));
  KGraphicGL g;
  g.SetColorKey(true, 0, 0, 255);
  ASSERT_TRUE(LoadMem(g, "x.png", ReadAll(path)));
  EXPECT_EQ(Texel(g, 0, 0), 0xFF000080u);
  EXPECT_EQ(Texel(g, 1, 0), 0x0000FF00u);
  EXPECT_EQ(Texel(g, 0, 1), 0x00FF00FFu);
}

TEST_F(PictureLoadTest, KeyPixelSetsTheKeyForThisAndLaterLoadsButIsNotKept) {
  TempDir dir;
  std::vector<char> a = Name(dir.Write("a.bmp", MakeBmp24(4, 4, [](int x, int y) { return x + y == 0 ? kGreen : kRed; })));
  std::vector<char> b = Name(dir.Write("b.bmp", MakeBmp24(4, 4, [](int x, int) { return x < 2 ? kRed : kGreen; })));
  KGraphicGL g;
  ASSERT_TRUE(g.LoadPictureKeyPixel(a.data(), 0, 0));
  EXPECT_EQ(Texel(g, 0, 0) & 0xFF, 0u);
  EXPECT_EQ(Texel(g, 1, 0) & 0xFF, 0xFFu);
  ASSERT_TRUE(g.LoadPicture(b.data(), true, true));  // green stays the key, red is not one
  EXPECT_EQ(Texel(g, 0, 0) & 0xFF, 0xFFu);
  EXPECT_EQ(Texel(g, 3, 0) & 0xFF, 0u);
  KGraphicGL h;
  ASSERT_TRUE(h.LoadPictureKeyPixel(a.data(), 50, 2));  // outside the picture: ignored
  EXPECT_EQ(Texel(h, 0, 0) & 0xFF, 0xFFu);
}

TEST_F(PictureLoadTest, MaskGivesAlphaFromItsBlueByteAndCoversOnlyItsOwnArea) {
  TempDir dir;
  std::vector<char> pic = Name(dir.Write("pic.bmp", SolidBmp(4, 2, kRed)));
  std::vector<char> mask = Name(dir.Write("mask.bmp", MakeBmp24(2, 2, [](int x, int) { return x == 0 ? 0x404040u : kBlue; })));
  KGraphicGL g;
  ASSERT_TRUE(g.LoadPictureWithMask(pic.data(), mask.data(), true));
  EXPECT_EQ(Texel(g, 0, 0), 0xFF000040u);
  EXPECT_EQ(Texel(g, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(Texel(g, 3, 0) & 0xFF, 0u);  // beyond the smaller mask
  char missing[] = "/nonexistent/mask.bmp";
  EXPECT_FALSE(g.LoadPictureWithMask(pic.data(), missing, true));
  EXPECT_EQ(g.GetWidth(), 0);
}

TEST_F(PictureLoadTest, ArrayKeyingRewritesTheCallersArrayAndUpdateShowsNewContents) {
  uint32_t pixels[4] = {0xFFFF0000u, 0x80FF0000u, 0xFF0000FFu, 0xFF00FF00u};  // words A|B|G|R
  KGraphicGL g;
  g.SetColorKey(true, 0, 0, 255);
  ASSERT_TRUE(g.MakePictureFromArray(pixels, 2, 2, true));
  EXPECT_EQ(pixels[0] | pixels[1], 0u);
  EXPECT_EQ(pixels[2], 0xFF0000FFu);
  pixels[0] = 0xFFFF0000u;  // blue again: not keyed a second time
  g.UpdatePictureFromArray();
  EXPECT_EQ(Texel(g, 0, 0), 0x0000FFFFu);
  EXPECT_EQ(Texel(g, 1, 1), 0x00FF00FFu);

  EXPECT_FALSE(g.MakePictureFromArray(nullptr, 2, 2, true));
  EXPECT_FALSE(g.MakePictureFromArray(pixels, 0, 2, true));
  EXPECT_FALSE(g.MakePictureFromArray(pixels, 1 << 20, 1, true));
  EXPECT_EQ(g.GetWidth(), 2);  // refused before anything was released
  g.FreePicture();
  g.FreePicture();  // freeing an empty surface is harmless
  EXPECT_EQ(g.GetHeight(), 0);
}

TEST_F(PictureLoadTest, BadPicturesLoadAsFalseWithNothingHeld) {
  const std::vector<uint8_t> good = SolidBmp(8, 8, kRed);
  std::vector<uint8_t> wide = good, tall = good, png = good;
  wide[20] = 0x01;                               // width 65544
  tall[22] = 0xA0, tall[23] = 0x86, tall[24] = 0x01;  // height 100000
  png[0] = 0x89;
  const std::vector<uint8_t> bad[] = {
      std::vector<uint8_t>(good.begin(), good.begin() + 60),  // truncated pixel rows
      std::vector<uint8_t>(300, 0x5A), wide, tall, png};
  KGraphicGL g;
  for (const auto& bytes : bad) {
    ASSERT_TRUE(LoadMem(g, ".bmp", good));
    EXPECT_FALSE(LoadMem(g, ".bmp", bytes));
    EXPECT_EQ(g.GetWidth(), 0);
  }
  EXPECT_FALSE(LoadMem(g, ".png", good));  // a BMP is not decoded as what the name says
  EXPECT_FALSE(LoadMem(g, ".gif", good));
  EXPECT_FALSE(g.LoadPictureFromMemory(".bmp", nullptr, 10, true, true));

  TempDir dir;
  const std::string files[] = {dir.Write("empty.bmp", {}), dir.Write("junk.bmp", bad[1]),
                               dir.Write("pic.jpeg", good), dir.File("missing.bmp")};
  for (const std::string& path : files) {
    std::vector<char> name = Name(path);
    EXPECT_FALSE(g.LoadPicture(name.data(), true, true)) << path;
  }
}

}  // namespace
