#include "image.h"

#include <cstdio>

namespace assetgen {

Image::Image(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}

bool Image::IsKey(int x, int y) const {
  const uint8_t* p = At(x, y);
  return p[0] == kKeyR && p[1] == kKeyG && p[2] == kKeyB;
}

Canvas::Canvas(int w, int h) : w_(w), h_(h) {
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cr_ = cairo_create(surface_);
}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

Image Canvas::ToKeyed() const {
  cairo_surface_flush(surface_);
  Image img(w_, h_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  for (int y = 0; y < h_; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w_; ++x) {
      const uint32_t px = row[x];
      const unsigned a = px >> 24;
      uint8_t* out = img.At(x, y);
      if (a < 128) {
        out[0] = kKeyR;
        out[1] = kKeyG;
        out[2] = kKeyB;
        continue;
      }
      // Cairo stores premultiplied colour; undo it for the opaque result.
      const unsigned r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
      out[0] = static_cast<uint8_t>(r * 255 / a > 255 ? 255 : r * 255 / a);
      out[1] = static_cast<uint8_t>(g * 255 / a > 255 ? 255 : g * 255 / a);
      out[2] = static_cast<uint8_t>(b * 255 / a > 255 ? 255 : b * 255 / a);
      if (out[0] == kKeyR && out[1] == kKeyG && out[2] == kKeyB) out[2] = 254;
    }
  }
  return img;
}

static void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
static void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}
static uint32_t Get32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) | (static_cast<uint32_t>(v[at + 3]) << 24);
}

std::vector<uint8_t> EncodeBmp(const Image& img) {
  const size_t rowBytes = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t(3);
  const size_t pixelBytes = rowBytes * img.height;
  std::vector<uint8_t> out(54 + pixelBytes, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(img.width));
  Put32(out, 22, static_cast<uint32_t>(img.height));  // positive: bottom-up rows
  Put16(out, 26, 1);
  Put16(out, 28, 24);
  Put32(out, 30, 0);  // BI_RGB
  Put32(out, 34, static_cast<uint32_t>(pixelBytes));
  Put32(out, 38, 2835);  // 72 dpi
  Put32(out, 42, 2835);
  for (int y = 0; y < img.height; ++y) {
    size_t at = 54 + rowBytes * static_cast<size_t>(img.height - 1 - y);
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      out[at++] = p[2];
      out[at++] = p[1];
      out[at++] = p[0];
    }
  }
  return out;
}

bool DecodeBmp(const std::vector<uint8_t>& data, Image* out) {
  if (data.size() < 54 || data[0] != 'B' || data[1] != 'M') return false;
  const uint32_t offset = Get32(data, 10);
  const int32_t w = static_cast<int32_t>(Get32(data, 18));
  const int32_t h = static_cast<int32_t>(Get32(data, 22));
  const unsigned bpp = data[28] | (data[29] << 8);
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384 || bpp != 24 || Get32(data, 30) != 0) return false;
  const size_t rowBytes = (static_cast<size_t>(w) * 3 + 3) & ~size_t(3);
  if (offset > data.size() || data.size() - offset < rowBytes * h) return false;
  *out = Image(w, h);
  for (int y = 0; y < h; ++y) {
    size_t at = offset + rowBytes * static_cast<size_t>(h - 1 - y);
    for (int x = 0; x < w; ++x, at += 3) {
      uint8_t* p = out->At(x, y);
      p[0] = data[at + 2];
      p[1] = data[at + 1];
      p[2] = data[at];
    }
  }
  return true;
}

bool WritePng(const Image& img, const std::string& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, img.width, img.height);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < img.height; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < img.width; ++x) {
      const uint8_t* p = img.At(x, y);
      row[x] = (static_cast<uint32_t>(p[0]) << 16) | (p[1] << 8) | p[2];
    }
  }
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace assetgen
