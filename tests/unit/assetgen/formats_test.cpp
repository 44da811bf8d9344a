// The picture file writer, the keying of painted canvases and the preview
// compositing: the parts every generated picture passes through.
#include <gtest/gtest.h>

#include "engine/host/host_image.h"
#include "image.h"
#include "layout.h"
#include "preview.h"
#include "stages.h"

using namespace assetgen;

namespace {

Image Pattern(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* p = img.At(x, y);
      p[0] = static_cast<uint8_t>(x * 7);
      p[1] = static_cast<uint8_t>(y * 13);
      p[2] = static_cast<uint8_t>(x + y);
    }
  return img;
}

uint32_t Le32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

}  // namespace

TEST(Bmp, RoundTripsThroughOurReaderAndTheEngineDecoder) {
  for (int w : {1, 2, 3, 4, 33}) {  // every row padding
    SCOPED_TRACE(w);
    const Image img = Pattern(w, 7);
    const std::vector<uint8_t> bmp = EncodeBmp(img);
    EXPECT_EQ(Le32(bmp, 2), bmp.size());  // the file size the picture reader does not check
    Image back;
    ASSERT_TRUE(DecodeBmp(bmp, &back));
    EXPECT_EQ(back.rgb, img.rgb);
    HostImage host;
    ASSERT_TRUE(HostDecodeImage(bmp.data(), bmp.size(), kImageBmp, 4096, &host));
    ASSERT_EQ(host.width, w);
    ASSERT_EQ(host.height, 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < w; ++x)
        for (int c = 0; c < 3; ++c)
          ASSERT_EQ(host.rgba[(static_cast<size_t>(y) * w + x) * 4 + c], img.At(x, y)[c]);
  }
}

TEST(Bmp, ReaderRefusesTruncatedAndForeignFiles) {
  const std::vector<uint8_t> good = EncodeBmp(Pattern(4, 4));
  Image out;
  EXPECT_FALSE(DecodeBmp({}, &out));
  EXPECT_FALSE(DecodeBmp(std::vector<uint8_t>(good.begin(), good.end() - 1), &out));
  std::vector<uint8_t> rle = good;
  rle[30] = 1;  // compressed
  EXPECT_FALSE(DecodeBmp(rle, &out));
  std::vector<uint8_t> depth = good;
  depth[28] = 32;
  EXPECT_FALSE(DecodeBmp(depth, &out));
  std::vector<uint8_t> huge = good;
  huge[21] = 0x7F;  // absurd width
  EXPECT_FALSE(DecodeBmp(huge, &out));
  std::vector<uint8_t> offset = good;
  offset[12] = 0x10;  // pixel data beyond the end of the file
  EXPECT_FALSE(DecodeBmp(offset, &out));
}

TEST(Keying, HalfCoverageDecidesAndKeyBlueArtIsNudged) {
  Canvas c(4, 1);
  cairo_t* cr = c.cr();
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  const double alphas[4] = {0.3, 0.49, 0.51, 1.0};
  for (int x = 0; x < 4; ++x) {
    cairo_rectangle(cr, x, 0, 1, 1);
    cairo_set_source_rgba(cr, x == 3 ? 0.0 : 0.8, x == 3 ? 0.0 : 0.2, x == 3 ? 1.0 : 0.1, alphas[x]);
    cairo_fill(cr);
  }
  const Image img = c.ToKeyed();
  EXPECT_TRUE(img.IsKey(0, 0));
  EXPECT_TRUE(img.IsKey(1, 0));
  EXPECT_FALSE(img.IsKey(2, 0));
  // a faint pixel keeps its own colour at full strength, no blend with blue
  EXPECT_NEAR(img.At(2, 0)[0], 204, 3);
  EXPECT_NEAR(img.At(2, 0)[2], 26, 3);
  // artwork that happens to be pure blue must not turn transparent
  EXPECT_FALSE(img.IsKey(3, 0));
  EXPECT_EQ(img.At(3, 0)[2], 254);
}

TEST(Preview, KeyedCopySkipsKeyAndClipsAtEveryEdge) {
  Image src(3, 1);
  src.At(0, 0)[2] = 255;  // key
  src.At(1, 0)[0] = 10;
  src.At(2, 0)[0] = 20;
  Image dst = Pattern(4, 2);
  const Image before = dst;
  BlitKeyed(dst, src, {0, 0, 3, 1}, 2, 1);  // last pixel falls outside dst
  EXPECT_EQ(dst.At(2, 1)[0], before.At(2, 1)[0]);
  EXPECT_EQ(dst.At(3, 1)[0], 10);
  BlitKeyed(dst, src, {-5, -5, 20, 20}, -3, -3);  // source and target both out of range
  BlitKeyed(dst, src, {0, 0, 3, 1}, 100, 100);
  EXPECT_EQ(dst.At(0, 0)[0], before.At(0, 0)[0]);
}

TEST(Preview, StageMockShowsTilesAndMarkers) {
  Stage s;
  std::string err;
  std::string text;
  for (int y = 0; y < 19; ++y) text += y == 17 ? "#@*k  D" + std::string(18, ' ') + "\n" : std::string(y == 18 ? 25 : 0, '#') + "\n";
  ASSERT_TRUE(CompileStage(text, "m.txt", &s, &err)) << err;
  Image tiles(kTileSheetW, kTileSheetH), sprites(kSheetSize, kSheetSize), backdrop(800, 600);
  for (Image* img : {&tiles, &sprites})
    for (size_t i = 0; i < img->rgb.size(); i += 3) img->rgb[i] = 200;  // everything opaque red-ish
  std::vector<int32_t> kinds(kTileCodes, 0);
  const Image mock = MockStage(s, backdrop, tiles, sprites, kinds);
  EXPECT_EQ(mock.width, 25 * 32);
  EXPECT_EQ(mock.height, 19 * 32);
  EXPECT_EQ(mock.At(5, 18 * 32 + 5)[0], 200);  // floor tile
  EXPECT_EQ(mock.At(5 * 32, 5)[0], 0);         // backdrop
}
