#include "preview.h"

#include "font.h"
#include "paint.h"

namespace assetgen {

Image MakePreview(const Image& sheet, const std::vector<NamedRect>& rects, int scale) {
  Canvas canvas(sheet.width * scale, sheet.height * scale);
  cairo_t* cr = canvas.cr();
  // key blue shown as a dark checker so the artwork stands out
  for (int y = 0; y < sheet.height; ++y)
    for (int x = 0; x < sheet.width; ++x) {
      const uint8_t* p = sheet.At(x, y);
      if (sheet.IsKey(x, y))
        cairo_set_source_rgb(cr, ((x / 8 + y / 8) % 2) ? 0.16 : 0.20, 0.18, 0.24);
      else
        cairo_set_source_rgb(cr, p[0] / 255.0, p[1] / 255.0, p[2] / 255.0);
      cairo_rectangle(cr, x * scale, y * scale, scale, scale);
      cairo_fill(cr);
    }
  cairo_set_line_width(cr, 1.0);
  const char* last = "";
  for (const NamedRect& n : rects) {
    cairo_rectangle(cr, n.r.x * scale + 0.5, n.r.y * scale + 0.5, n.r.w * scale - 1, n.r.h * scale - 1);
    cairo_set_source_rgba(cr, 1.0, 1.0, 0.2, 0.55);
    cairo_stroke(cr);
    if (std::string(last) != n.name && n.name[0]) {
      DrawSmallText(cr, n.r.x * scale + 2, n.r.y * scale + 2, n.name, {1, 1, 0.3}, {0, 0, 0});
      last = n.name;
    }
  }
  return canvas.ToKeyed();
}

}  // namespace assetgen

namespace assetgen {

void BlitKeyed(Image& dst, const Image& src, const Rect& s, int dx, int dy) {
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x) {
      const int sx = s.x + x, sy = s.y + y, tx = dx + x, ty = dy + y;
      if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
      if (tx < 0 || ty < 0 || tx >= dst.width || ty >= dst.height) continue;
      if (src.IsKey(sx, sy)) continue;
      const uint8_t* p = src.At(sx, sy);
      uint8_t* q = dst.At(tx, ty);
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
    }
}

static void BlitOpaque(Image& dst, const Image& src, const Rect& s, int dx, int dy) {
  for (int y = 0; y < s.h; ++y)
    for (int x = 0; x < s.w; ++x) {
      const uint8_t* p = src.At(s.x + x, s.y + y);
      uint8_t* q = dst.At(dx + x, dy + y);
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
    }
}

Image MockMenu(const Image& title, const Image& sprites, int stageNumber) {
  Image out = title;
  const int buttonX[4] = {251, 489, 340, 340}, buttonY[4] = {280, 280, 380, 470};
  for (int b = 0; b < 4; ++b)
    BlitKeyed(out, sprites, b == 2 ? kButtonsHover[b] : kButtons[b], buttonX[b], buttonY[b]);
  BlitOpaque(out, sprites, kStagePlate, 386, 285);
  int x = stageNumber < 10 ? 336 : 321;
  const std::string digits = std::to_string(stageNumber);
  for (char c : digits) {
    const Rect& r = kBigDigits[c - '0'];
    BlitKeyed(out, sprites, r, x, 295);
    x += r.w;
  }
  BlitKeyed(out, sprites, kIconKeyboard, 0, 546);
  BlitKeyed(out, sprites, kCursor, 420, 400);
  return out;
}

Image MockStage(const Stage& stage, const Image& backdrop, const Image& tiles, const Image& sprites,
                const std::vector<int32_t>& kinds) {
  Image out(stage.width * 32, stage.height * 32);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const uint8_t* p = backdrop.At(x % backdrop.width, y % backdrop.height);
      uint8_t* q = out.At(x, y);
      q[0] = p[0];
      q[1] = p[1];
      q[2] = p[2];
    }
  const int flowers[6] = {53, 71, 89, 107, 125, 143};
  for (int pass = 0; pass < 2; ++pass)  // tiles first, objects over them
    for (int cy = 0; cy < stage.height; ++cy)
      for (int cx = 0; cx < stage.width; ++cx) {
        const int c = stage.codes[static_cast<size_t>(cy) * stage.width + cx];
        if (c <= 0 || c >= kTileCodes) continue;
        const int X = cx * 32, Y = cy * 32, k = kinds[c];
        int flower = -1;
        for (int f = 0; f < 6; ++f)
          if (flowers[f] == c) flower = f;
        const bool marker = k == 3 || k == 6 || k == 8 || k == 12 || k == 13 || k == 15 || k == 16 || k == 17;
        if (pass == 0) {
          if (!marker && flower < 0) BlitKeyed(out, tiles, TileRect(c), X, Y);
          continue;
        }
        if (flower >= 0) BlitKeyed(out, sprites, kFlowers[flower], X - 24, Y - 22);
        switch (k) {
          case 3: BlitKeyed(out, sprites, {kSpring.x, kSpring.y, 32, 35}, X, Y - 1); break;
          case 6: BlitKeyed(out, sprites, {kHero.x, kHero.y + 2 * 32, 32, 32}, X, Y); break;
          case 8: BlitKeyed(out, sprites, {kFruit.x, kFruit.y, 32, 32}, X, Y); break;
          case 12: BlitKeyed(out, sprites, kKey, X, Y); break;
          case 13:
          case 15: BlitKeyed(out, sprites, kPlatform, X - 19, Y - 1); break;
          case 16: BlitKeyed(out, sprites, {kWalker.x, kWalker.y, 32, 32}, X, Y + 2); break;
          case 17: BlitKeyed(out, sprites, {kSlowWalker.x, kSlowWalker.y, 32, 32}, X, Y + 2); break;
          default: break;
        }
      }
  return out;
}

}  // namespace assetgen
