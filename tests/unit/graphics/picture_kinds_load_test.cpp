// Every picture kind a painting program writes, made at test time by ImageMagick's
// convert (or, for the kinds no tool writes, a small committed file), loaded
// through the engine and compared with the pixels it was made from.
#include <cstdlib>
#include <string>
#include <vector>

#include "gl_fixture.h"
#include "picture_data.h"

namespace {

constexpr int kW = 7, kH = 5;  // odd sizes catch row padding faults
constexpr int kJpegTolerance = 12;
constexpr int kFiveBitTolerance = 4;  // 5 and 6-bit channels widen to 8 bits either way
const uint8_t kColours[8][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255}, {255, 255, 0},
                                {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {0, 0, 0}};
const uint8_t kGreys[4] = {0, 64, 160, 255};

struct Rgba8 {
  uint8_t r, g, b, a;
};

// The source pictures: all sizes kW x kH unless said otherwise.
Rgba8 Colour(int x, int y) {
  const uint8_t* c = kColours[(x + 3 * y) % 8];
  return {c[0], c[1], c[2], 255};
}
Rgba8 ColourAlpha(int x, int y) {  // column 5 half transparent, column 6 clear
  Rgba8 p = Colour(x, y);
  p.a = x == 5 ? 128 : x == 6 ? 0 : 255;
  return p;
}
Rgba8 ColourKeyed(int x, int y) {  // column 6 clear, the rest opaque
  Rgba8 p = Colour(x, y);
  p.a = x == 6 ? 0 : 255;
  return p;
}
Rgba8 Mono(int x, int y) {
  const uint8_t v = (x + y) % 2 ? 255 : 0;
  return {v, v, v, 255};
}
Rgba8 Grey(int x, int y) {
  const uint8_t v = kGreys[(x + y) % 4];
  return {v, v, v, 255};
}
Rgba8 GreyAlpha(int x, int y) {
  Rgba8 p = Grey(x, y);
  p.a = x == 5 ? 128 : x == 6 ? 0 : 255;
  return p;
}
Rgba8 Many(int x, int y) {  // more colours than four bits hold
  return {static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 60),
          static_cast<uint8_t>(255 - x * 20 - y * 10), 255};
}
Rgba8 SecondFrame(int x, int y) { return Colour(x + 1, y); }
// JPEG: 16 x 16 in four flat 8 x 8 blocks, which its transform keeps nearly exact.
Rgba8 Blocks(int x, int y) {
  const uint8_t* c = kColours[(x / 8) + 2 * (y / 8) + 1];
  return {c[0], c[1], c[2], 255};
}
Rgba8 GreyBlocks(int x, int y) {
  const uint8_t v = kGreys[(x / 8) + 2 * (y / 8)];
  return {v, v, v, 255};
}

using Source = Rgba8 (*)(int, int);

struct Kind {
  const char* name;      // file name, its suffix picks the decoder
  Source source;
  int w, h;
  const char* options;   // convert options between the source and the output
  const char* outPrefix; // convert's output coder, e.g. "BMP3:"
  size_t checkAt;        // a header byte that proves the tool wrote this kind
  std::vector<uint8_t> checkBytes;
  bool alpha;            // the file carries the source's alpha
  int tolerance;
};

std::string ShellQuote(const std::string& s) { return "'" + s + "'"; }

bool HaveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Raw RGBA bytes of a source picture (frames one after another), as convert reads them.
std::vector<uint8_t> RawRgba(Source source, int w, int h) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgba8 p = source(x, y);
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  return raw;
}

std::vector<char> Name(const std::string& s) { return std::vector<char>(s.c_str(), s.c_str() + s.size() + 1); }

class PictureKindsTest : public GLTest {
 protected:
  // Loads path through the engine and compares every pixel with source.
  void ExpectPicture(const std::string& path, Source source, int w, int h, bool alpha,
                     int tolerance) {
    std::vector<char> name = Name(path);
    KGraphicGL g;
    ASSERT_TRUE(g.LoadPicture(name.data(), true, true)) << path;
    ASSERT_EQ(g.GetWidth(), w) << path;
    ASSERT_EQ(g.GetHeight(), h) << path;
    const int side = static_cast<int>(g.GetTextureWidth());
    std::vector<uint8_t> t(static_cast<size_t>(side) * side * 4);
    glBindTexture(GL_TEXTURE_2D, g.GetTextureName());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
    KGraphicGL::ForgetBoundTexture();
    int wrong = 0;
    for (int y = 0; y < h && wrong < 5; ++y) {
      for (int x = 0; x < w && wrong < 5; ++x) {
        const Rgba8 want = source(x, y);
        const uint8_t* got = &t[(static_cast<size_t>(y) * side + x) * 4];
        const int wantA = alpha ? want.a : 255;
        bool same = std::abs(got[3] - wantA) <= 1;
        if (wantA != 0) {  // a clear pixel's colour is the writer's choice
          same = same && std::abs(got[0] - want.r) <= tolerance &&
                 std::abs(got[1] - want.g) <= tolerance && std::abs(got[2] - want.b) <= tolerance;
        }
        if (!same) {
          ++wrong;
          ADD_FAILURE() << path << " pixel " << x << "," << y << ": got " << int(got[0]) << ","
                        << int(got[1]) << "," << int(got[2]) << "," << int(got[3]) << " want "
                        << int(want.r) << "," << int(want.g) << "," << int(want.b) << "," << wantA;
        }
      }
    }
  }
};

const std::vector<Kind>& Kinds() {
  // Header bytes checked: BMP bits per pixel (28) and compression (30);
  // PNG bit depth (24), colour type (25), interlace (28); TGA image type (2)
  // and descriptor (17); JPEG the frame marker found by searching.
  static const std::vector<Kind> kinds = {
      {"bw1.bmp", Mono, kW, kH, "-alpha off -monochrome", "BMP3:", 28, {1, 0, 0, 0, 0}, false, 0},
      {"pal4.bmp", Colour, kW, kH, "-alpha off -type Palette", "BMP3:", 28, {4, 0, 0, 0, 0}, false, 0},
      {"pal8.bmp", Many, kW, kH, "-alpha off -type Palette -colors 256 -compress None "
       "-define bmp:bits-per-pixel=8", "BMP3:", 28, {8, 0}, false, 0},
      {"rle8.bmp", Colour, kW, kH, "-alpha off -type Palette -compress RLE", "BMP3:", 28,
       {8, 0, 1, 0, 0, 0}, false, 0},
      {"rgb555.bmp", Colour, kW, kH, "-alpha off -define bmp:subtype=RGB555", "BMP:", 28,
       {16, 0, 3, 0, 0, 0}, false, kFiveBitTolerance},
      {"rgb565.bmp", Colour, kW, kH, "-alpha off -define bmp:subtype=RGB565", "BMP:", 28,
       {16, 0, 3, 0, 0, 0}, false, kFiveBitTolerance},
      {"rgb24.bmp", Colour, kW, kH, "-alpha off -type TrueColor", "BMP3:", 28, {24, 0, 0, 0}, false, 0},
      {"argb32.bmp", ColourAlpha, kW, kH, "-type TrueColorAlpha", "BMP:", 28, {32, 0, 3, 0}, true, 0},
      {"xrgb32.bmp", Colour, kW, kH, "-alpha off -define bmp3:alpha=true -type TrueColorAlpha",
       "BMP3:", 28, {32, 0, 0, 0}, false, 0},
      {"alpha32.bmp", ColourAlpha, kW, kH, "-define bmp3:alpha=true", "BMP3:", 28, {32, 0, 0, 0},
       true, 0},
      {"palette.png", ColourKeyed, kW, kH, "", "PNG8:", 24, {8, 3}, true, 0},
      {"grey.png", Grey, kW, kH, "-alpha off -type Grayscale", "PNG:", 25, {0}, false, 0},
      {"greyalpha.png", GreyAlpha, kW, kH, "-type GrayscaleAlpha", "PNG:", 25, {4}, true, 0},
      {"deep.png", ColourAlpha, kW, kH, "-depth 16", "PNG64:", 24, {16, 6}, true, 0},
      {"interlaced.png", ColourAlpha, kW, kH, "-interlace PNG", "PNG32:", 28, {1}, true, 0},
      {"baseline.jpg", Blocks, 16, 16, "-alpha off -quality 95 -sampling-factor 1x1", "JPG:", 0,
       {0xFF, 0xC0}, false, kJpegTolerance},
      {"progressive.jpg", Blocks, 16, 16, "-alpha off -quality 95 -sampling-factor 1x1 "
       "-interlace JPEG", "JPG:", 0, {0xFF, 0xC2}, false, kJpegTolerance},
      {"grey.jpg", GreyBlocks, 16, 16, "-alpha off -quality 95 -colorspace Gray", "JPG:", 0,
       {0xFF, 0xC0}, false, kJpegTolerance},
      {"frames.gif", ColourKeyed, kW, kH, "", "GIF:", 0, {'G', 'I', 'F', '8'}, true, 0},
      // This ImageMagick stores a bottom-left TGA's rows top first all the same;
      // flipped beforehand, the file's rows really start at the bottom.
      {"raw.tga", ColourAlpha, kW, kH, "-flip", "TGA:", 2, {2}, true, 0},
      {"rle.tga", ColourAlpha, kW, kH, "-flip -compress RLE", "TGA:", 2, {10}, true, 0},
      {"topleft.tga", ColourAlpha, kW, kH, "-orient TopLeft", "TGA:", 17, {0x28}, true, 0},
      {"topleftrle.tga", Colour, kW, kH, "-alpha off -orient TopLeft -compress RLE", "TGA:", 17,
       {0x20}, false, 0},
  };
  return kinds;
}

bool HeaderHas(const std::vector<uint8_t>& file, const Kind& k) {
  if (k.name == std::string("baseline.jpg") || k.name == std::string("progressive.jpg") ||
      k.name == std::string("grey.jpg")) {
    for (size_t i = 0; i + 1 < file.size(); ++i) {
      if (file[i] == 0xFF && file[i + 1] >= 0xC0 && file[i + 1] <= 0xC2) {
        return file[i + 1] == k.checkBytes[1];
      }
    }
    return false;
  }
  if (k.name == std::string("raw.tga")) {  // the first pixel stored is the bottom-left one
    const Rgba8 p = k.source(0, k.h - 1);
    if (file.size() < 22 || file[17] != 0x08 || file[18] != p.b || file[19] != p.g ||
        file[20] != p.r) {
      return false;
    }
  }
  if (file.size() < k.checkAt + k.checkBytes.size()) return false;
  return std::equal(k.checkBytes.begin(), k.checkBytes.end(), file.begin() + k.checkAt);
}

TEST_F(PictureKindsTest, EveryKindConvertWritesLoadsWithItsOwnPixels) {
  ASSERT_TRUE(HaveTool("convert"))
      << "ImageMagick's convert is missing: install imagemagick (scripts/setup does)";
  TempDir dir;
  for (const Kind& k : Kinds()) {
    SCOPED_TRACE(k.name);
    const std::string raw = dir.Write(std::string(k.name) + ".rgba", RawRgba(k.source, k.w, k.h));
    std::string inputs = ShellQuote(raw);
    if (k.name == std::string("frames.gif")) {  // a second frame the loader must not show
      inputs += " " + ShellQuote(dir.Write("second.rgba", RawRgba(SecondFrame, k.w, k.h)));
    }
    const std::string out = dir.File(k.name);
    const std::string command = "convert -size " + std::to_string(k.w) + "x" +
                                std::to_string(k.h) + " -depth 8 rgba:" + inputs + " " +
                                k.options + " " + k.outPrefix + ShellQuote(out);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<uint8_t> file = ReadAll(out);
    ASSERT_TRUE(HeaderHas(file, k)) << "convert did not write the kind asked for: " << command;
    ExpectPicture(out, k.source, k.w, k.h, k.alpha, k.tolerance);
  }
}

TEST_F(PictureKindsTest, RunLengthFourBitAndTopDownBitmapsLoad) {
  const std::string fixtures = std::string(BR_SOURCE_DIR) + "/tests/unit/graphics/fixtures/";
  // A copy in a lower-case scratch folder: the loader lower-cases whole paths.
  TempDir dir;
  for (const char* name : {"rle4.bmp", "top_down.bmp"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = ReadAll(fixtures + name);
    ASSERT_FALSE(bytes.empty()) << fixtures + name;
    ExpectPicture(dir.Write(name, bytes), Colour, kW, kH, false, 0);
  }
}

TEST_F(PictureKindsTest, CutShortAndOversizedFilesOfEveryKindAreRefused) {
  ASSERT_TRUE(HaveTool("convert")) << "ImageMagick's convert is missing: install imagemagick";
  TempDir dir;
  const std::string raw = dir.Write("big.rgba", RawRgba(Blocks, 16, 16));
  for (const char* kind : {"BMP3:cut.bmp", "PNG:cut.png", "JPG:cut.jpg", "GIF:cut.gif",
                           "TGA:cut.tga", "BMP3:rle.bmp"}) {
    SCOPED_TRACE(kind);
    const std::string file = dir.File(std::string(kind).substr(std::string(kind).find(':') + 1));
    const bool rle = std::string(kind) == "BMP3:rle.bmp";
    const std::string command = "convert -size 16x16 -depth 8 rgba:" + ShellQuote(raw) +
                                (rle ? " -strip -type Palette -compress RLE " : " -strip -alpha off ") +
                                std::string(kind).substr(0, std::string(kind).find(':') + 1) +
                                ShellQuote(file);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<uint8_t> bytes = ReadAll(file);
    KGraphicGL g;
    std::vector<char> name = Name(file);
    ASSERT_TRUE(g.LoadPicture(name.data(), true, true));
    // Cut in the middle of the pixel data: refused, not shown half grey.
    bytes.resize(bytes.size() * 2 / 3);
    dir.Write(file.substr(file.rfind('/') + 1), bytes);
    EXPECT_FALSE(g.LoadPicture(name.data(), true, true));
    EXPECT_EQ(g.GetWidth(), 0);
  }
  // Larger than the device takes: refused from the header alone.
  const std::string huge = dir.File("huge.png");
  ASSERT_EQ(std::system(("convert -size 5000x1 xc:red PNG:" + ShellQuote(huge)).c_str()), 0);
  std::vector<char> name = Name(huge);
  KGraphicGL g;
  EXPECT_FALSE(g.LoadPicture(name.data(), true, true));
}

}  // namespace
