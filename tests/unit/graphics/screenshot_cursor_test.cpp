// Screenshots of the back buffer and the software cursor.
#include "engine/graphics/KScreenshot.h"
#include "engine/platform/KWindow.h"
#include "engine/host/host_image.h"
#include "engine/host/host_input.h"
#include "engine/platform/KInput.h"
#include "gl_fixture.h"
#include "picture_data.h"

namespace {

class ScreenshotTest : public GLTest {
 protected:
  // Red square top-left, green bar along the bottom, blue elsewhere; frame alpha 0.
  void SetUp() override {
    GLTest::SetUp();
    Clear(0, 0, 1, 0);
    KGraphicGL g;
    g.FillRect(0, 0, 10, 10, 1, 0, 0, 1);
    g.FillRect(0, 590, 800, 600, 0, 1, 0, 1);
  }
  static HostImage Shot(TempDir& dir, const char* name, int format, HostImageType type, int w = 0, int h = 0) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(SaveBackBufferScreenshot(path.c_str(), format, w, h));
    const std::vector<uint8_t> bytes = ReadAll(path);
    HostImage img;
    EXPECT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), type, 4096, &img)) << name;
    return img;
  }
  static Rgba Px(const HostImage& img, int x, int y) {
    return At(&img.rgba[(static_cast<size_t>(y) * img.width + x) * 4]);
  }
};

TEST_F(ScreenshotTest, TgaRoundTripIsUprightOpaqueAndScalesTheWholeScreen) {
  TempDir dir;
  const HostImage img = Shot(dir, "screenshot1.tga", 2, kImageTga);
  ASSERT_EQ(img.width, 800);
  ASSERT_EQ(img.height, 600);
  EXPECT_EQ(Px(img, 5, 5), 0xFF0000FFu);
  EXPECT_EQ(Px(img, 400, 595), 0x00FF00FFu);
  EXPECT_EQ(Px(img, 799, 0), 0x0000FFFFu);
  const HostImage small = Shot(dir, "small.tga", 2, kImageTga, 200, 150);
  ASSERT_EQ(small.width, 200);
  ASSERT_EQ(small.height, 150);
  EXPECT_EQ(Px(small, 1, 1), 0xFF0000FFu);
  EXPECT_EQ(Px(small, 100, 149), 0x00FF00FFu);
  EXPECT_EQ(Px(small, 100, 75), 0x0000FFFFu);
}

TEST_F(ScreenshotTest, FormatCodesPickTheEncoder) {
  TempDir dir;
  EXPECT_EQ(Px(Shot(dir, "s.bmp", 0, kImageBmp), 3, 3), 0xFF0000FFu);
  EXPECT_EQ(Px(Shot(dir, "s.png", 3, kImagePng), 3, 3), 0xFF0000FFu);
#ifndef __SANITIZE_ADDRESS__  // stb's JPEG writer shifts negative ints, which the sanitizer build stops on
  const Rgba jpeg = Px(Shot(dir, "s.jpg", 1, kImageJpg), 3, 3);  // lossy: roughly red
  EXPECT_GT(jpeg >> 24, 200u);
  EXPECT_LT((jpeg >> 8) & 0xFF, 60u);
#endif
  const std::string none = dir.File("s.xyz");
  EXPECT_TRUE(SaveBackBufferScreenshot(none.c_str(), 7, 0, 0));  // unknown format: no file
  EXPECT_TRUE(ReadAll(none).empty());
  EXPECT_FALSE(SaveBackBufferScreenshot("/nonexistent-dir/s.tga", 2, 0, 0));
}

class CursorTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    delete createKWindow(1, false);  // the cursor's surface must be an OpenGL one here
  }
};

TEST_F(CursorTest, SoftwareCursorIsAWhiteOutlinedBlackArrowAtTheMouse) {
  HostInjectMouse(100, 200, 0);
  Clear(0, 0, 1);
  KInput::DrawSoftwareCursor();
  EXPECT_EQ(Pixel(100, 200), 0xFFFFFFFFu);  // the outline's tip at the mouse
  EXPECT_EQ(Pixel(101, 202), 0x000000FFu);  // the body
  EXPECT_EQ(Pixel(103, 201), 0x0000FFFFu);  // transparent
  EXPECT_EQ(Pixel(99, 200), 0x0000FFFFu);
  KInput::ReleaseSoftwareCursor();
  HostResetInjectedInput();
}

}  // namespace
