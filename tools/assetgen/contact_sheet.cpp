#include "contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "font.h"

namespace assetgen {

namespace {

constexpr int kPageWidth = 2200;   // a row of the sheet is filled up to this width
constexpr int kMargin = 10;        // around and between the stages
constexpr int kLabelHeight = 16;   // the label line above each stage
constexpr Rgb kGround = {0.10, 0.10, 0.13};
constexpr Rgb kInk = {1.0, 0.95, 0.55};
constexpr Rgb kShadow = {0.0, 0.0, 0.0};

}  // namespace

Image ShrinkImage(const Image& img, int factor) {
  factor = std::max(factor, 1);
  const int w = (img.width + factor - 1) / factor, h = (img.height + factor - 1) / factor;
  Image out(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned sum[3] = {0, 0, 0}, n = 0;
      for (int sy = y * factor; sy < std::min(img.height, (y + 1) * factor); ++sy)
        for (int sx = x * factor; sx < std::min(img.width, (x + 1) * factor); ++sx) {
          const uint8_t* p = img.At(sx, sy);
          for (int c = 0; c < 3; ++c) sum[c] += p[c];
          ++n;
        }
      uint8_t* q = out.At(x, y);
      for (int c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
    }
  return out;
}

std::string SheetLabel(const StageMeasure& m) {
  char line[160];
  std::snprintf(line, sizeof line, "stage %d   %d x %d   sky %.2f   top %d   enemies %d   fruit %d   secrets %d", m.stage,
                m.columns, m.rows, m.sky, m.emptyTopRows, m.enemies, m.fruit, m.secrets);
  return line;
}

Image ContactSheet(const std::vector<SheetEntry>& entries) {
  struct Place {
    int x, y;
  };
  std::vector<Place> places;
  int pageWidth = kPageWidth;
  for (const SheetEntry& e : entries)
    pageWidth = std::max(pageWidth, std::max(e.picture.width, TextWidth(e.label)) + 2 * kMargin);
  int x = kMargin, y = kMargin, rowHeight = 0;
  for (const SheetEntry& e : entries) {
    const int w = std::max(e.picture.width, TextWidth(e.label)), h = kLabelHeight + e.picture.height;
    if (x > kMargin && x + w + kMargin > pageWidth) {
      x = kMargin;
      y += rowHeight + kMargin;
      rowHeight = 0;
    }
    places.push_back({x, y});
    x += w + kMargin;
    rowHeight = std::max(rowHeight, h);
  }
  const int height = y + rowHeight + kMargin;

  Canvas canvas(pageWidth, height);
  cairo_t* cr = canvas.cr();
  cairo_set_source_rgb(cr, kGround.r, kGround.g, kGround.b);
  cairo_paint(cr);
  for (size_t i = 0; i < entries.size(); ++i)
    DrawSmallText(cr, places[i].x, places[i].y + 1, entries[i].label, kInk, kShadow);
  Image sheet = canvas.ToKeyed();
  for (size_t i = 0; i < entries.size(); ++i) {
    const Image& p = entries[i].picture;
    for (int py = 0; py < p.height; ++py)
      for (int px = 0; px < p.width; ++px) {
        const uint8_t* from = p.At(px, py);
        uint8_t* to = sheet.At(places[i].x + px, places[i].y + kLabelHeight + py);
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
      }
  }
  return sheet;
}

}  // namespace assetgen
