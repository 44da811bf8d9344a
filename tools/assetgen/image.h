// Painting surface and the finished 24-bit picture the game loads.
#pragma once
#include <cairo.h>
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

// Transparent colour of every keyed picture.
constexpr uint8_t kKeyR = 0, kKeyG = 0, kKeyB = 255;

// A finished picture: tightly packed RGB rows, top row first.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  Image() = default;
  Image(int w, int h);
  uint8_t* At(int x, int y) { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
  bool IsKey(int x, int y) const;
};

// A Cairo ARGB canvas, transparent when created.
class Canvas {
 public:
  Canvas(int w, int h);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int width() const { return w_; }
  int height() const { return h_; }

  // Hard-edged conversion for keyed pictures: a pixel below half coverage
  // becomes key blue, every other pixel its own colour at full opacity, so no
  // near-blue fringe can appear. Pure key blue inside the art is nudged off.
  Image ToKeyed() const;

 private:
  int w_, h_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

// Uncompressed 24-bit bottom-up BMP (BITMAPINFOHEADER, rows padded to 4 bytes).
std::vector<uint8_t> EncodeBmp(const Image& img);
// Reads back what EncodeBmp writes (24-bit, uncompressed); false on anything else.
bool DecodeBmp(const std::vector<uint8_t>& data, Image* out);

// Writes the picture as a PNG (review sheets).
bool WritePng(const Image& img, const std::string& path);

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data);

}  // namespace assetgen
