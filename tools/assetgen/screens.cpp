#include "screens.h"

#include <cmath>
#include <string>

#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace assetgen {

namespace {

constexpr int kScreenW = 800, kScreenH = 600;

void VerticalGradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(g, 0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(g, 1, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, g);
  cairo_rectangle(cr, 0, y0, kScreenW, y1 - y0);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void Cloud(cairo_t* cr, double x, double y, double s, Rgb fill, Rgb edge, double edgeW) {
  Circle(cr, x, y, 14 * s);
  Circle(cr, x + 18 * s, y - 8 * s, 18 * s);
  Circle(cr, x + 38 * s, y - 2 * s, 15 * s);
  Circle(cr, x + 54 * s, y + 3 * s, 10 * s);
  RoundRect(cr, x, y, 54 * s, 13 * s, 6 * s);
  if (edgeW > 0) {
    SetColor(cr, edge);
    cairo_set_line_width(cr, edgeW * 2);
    cairo_stroke_preserve(cr);
  }
  SetColor(cr, fill);
  cairo_fill(cr);
}

// A band of rolling hills between baseY and the bottom of the screen.
void Hills(cairo_t* cr, double baseY, double amp, double period, double phase, Rgb fill, Rgb edge,
           double edgeW) {
  cairo_move_to(cr, -10, kScreenH + 10);
  for (int x = -10; x <= kScreenW + 10; x += 5)
    cairo_line_to(cr, x, baseY - amp * (0.6 * std::sin(x / period + phase) + 0.4 * std::sin(x / (period * 0.43) + phase * 2)));
  cairo_line_to(cr, kScreenW + 10, kScreenH + 10);
  cairo_close_path(cr);
  SetColor(cr, fill);
  cairo_fill_preserve(cr);
  if (edgeW > 0)
    Stroke(cr, edge, edgeW);
  else
    cairo_new_path(cr);
}

void SkyScene(cairo_t* cr, bool vivid) {
  VerticalGradient(cr, 0, kScreenH, vivid ? Rgb{0.45, 0.75, 0.97} : Rgb{0.72, 0.86, 0.95},
                   vivid ? Rgb{0.88, 0.96, 0.98} : Rgb{0.93, 0.96, 0.93});
  // sun
  Circle(cr, 690, 90, vivid ? 46 : 40);
  SetColor(cr, vivid ? Rgb{1.0, 0.93, 0.55} : Rgb{0.99, 0.96, 0.82});
  cairo_fill(cr);
  Noise n(vivid ? 11 : 12);
  for (int i = 0; i < 6; ++i) {
    const double s = n.Range(0.8, 1.5);
    Cloud(cr, n.Range(-20, 760), n.Range(60, 230), s, vivid ? pal::kWhite : Rgb{0.97, 0.98, 0.99},
          vivid ? Rgb{0.70, 0.82, 0.92} : Rgb{0.90, 0.93, 0.95}, vivid ? 1.5 : 1.0);
  }
  const double k = vivid ? 1.0 : 0.35;  // contrast of the hills
  Hills(cr, 430, 40, 90, 0.3, Mix({0.86, 0.92, 0.90}, {0.55, 0.78, 0.62}, k),
        Mix({0.86, 0.92, 0.90}, {0.40, 0.62, 0.48}, k), vivid ? 2 : 0);
  Hills(cr, 500, 30, 70, 2.0, Mix({0.84, 0.91, 0.84}, {0.42, 0.72, 0.36}, k),
        Mix({0.84, 0.91, 0.84}, {0.25, 0.50, 0.22}, k), vivid ? 2.5 : 0);
}

void Bramble(cairo_t* cr, double x, double y, double s) {
  // a bramble bush with berries, for scenery
  Circle(cr, x, y, 22 * s);
  Circle(cr, x - 22 * s, y + 10 * s, 16 * s);
  Circle(cr, x + 22 * s, y + 10 * s, 16 * s);
  cairo_rectangle(cr, x - 36 * s, y + 10 * s, 72 * s, 20 * s);
  FillShaded(cr, {0.28, 0.58, 0.26}, y - 22 * s, y + 30 * s, 2.0);
  Noise n(static_cast<uint32_t>(x * 7 + y));
  for (int i = 0; i < 7; ++i) {
    const double bx = x + n.Range(-30, 30) * s, by = y + n.Range(-12, 20) * s;
    Circle(cr, bx, by, 4 * s);
    FillOutlined(cr, pal::kBerry, 1.2);
    Gloss(cr, bx - 1.3 * s, by - 1.3 * s, 1.2 * s, 0.8 * s, 0.8);
  }
}

void Panel(cairo_t* cr, double x, double y, double w, double h, Rgb fill) {
  RoundRect(cr, x + 4, y + 6, w, h, 18);
  SetColor(cr, {0, 0, 0}, 0.18);
  cairo_fill(cr);
  RoundRect(cr, x, y, w, h, 18);
  SetColor(cr, fill);
  cairo_fill_preserve(cr);
  Stroke(cr, pal::kOutline, 3);
  RoundRect(cr, x + 6, y + 6, w - 12, h - 12, 13);
  SetColor(cr, pal::kWhite, 0.6);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

void Title(cairo_t* cr, double cx, double y, double s) {
  const std::string name = "BrAmBl3tS";
  const double w = BigTextWidth(name, s);
  const double x = cx - (w + 8 * s) / 2;
  DrawBigText(cr, x, y, name, s, s, {1.0, 0.70, 0.82}, pal::kBerry, pal::kOutline, s * 0.9);
  // the "2" in a golden badge
  const double bx = x + w + 6.5 * s, by = y + 5 * s;
  Circle(cr, bx, by, 6.5 * s);
  FillShaded(cr, pal::kGold, by - 6.5 * s, by + 6.5 * s, s * 0.7);
  DrawBigText(cr, bx - 2.6 * s, by - 4.6 * s, "2", s, s, pal::kWhite, pal::kCream, pal::kOutline, s * 0.6);
}

void CenteredText(cairo_t* cr, double y, const std::string& t, double s, Rgb top, Rgb bottom, double ow) {
  DrawBigText(cr, (kScreenW - BigTextWidth(t, s)) / 2, y, t, s, s, top, bottom, pal::kOutline, ow);
}

void Fireworks(cairo_t* cr, double x, double y, double r, Rgb c) {
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6;
    cairo_move_to(cr, x + r * 0.35 * std::cos(a), y + r * 0.35 * std::sin(a));
    cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
  }
  Stroke(cr, c, 3);
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6 + 0.26;
    Star(cr, x + r * 1.15 * std::cos(a), y + r * 1.15 * std::sin(a), 4, 1.5, 4);
  }
  SetColor(cr, pal::kWhite);
  cairo_fill(cr);
}

Image Opaque(Canvas& c) { return c.ToKeyed(); }

}  // namespace

Image PaintTitleScreen() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  SkyScene(cr, true);
  Bramble(cr, 90, 520, 1.3);
  Bramble(cr, 720, 515, 1.5);
  Title(cr, 400, 40, 7);
  DrawBigText(cr, (kScreenW - BigTextWidth("a berry big adventure", 2.2)) / 2, 150, "a berry big adventure", 2.2,
              2.2, pal::kWhite, pal::kCream, pal::kOutline, 1.6);
  PaintHeroPortrait(cr, 60, 150, 3.2, 1);
  PaintEnemyPortrait(cr, 640, 185, 2.6, -1, false);
  PaintFruitPortrait(cr, 200, 200, 1.6);
  PaintFruitPortrait(cr, 560, 205, 1.4);
  // the panel the buttons, the stage number and the stage plate sit on
  Panel(cr, 226, 262, 348, 302, pal::kMenuPanel);
  DrawSmallText(cr, 400 - TextWidth("choose a stage") / 2, 270, "choose a stage", {0.45, 0.28, 0.12},
                {1.0, 0.97, 0.88});
  const std::string hint = "arrows choose   enter plays";
  DrawSmallText(cr, 790 - TextWidth(hint), 584, hint, pal::kWhite, pal::kOutline);
  return Opaque(canvas);
}

Image PaintWorldBackdrop() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  SkyScene(cr, false);
  return Opaque(canvas);
}

// Separators of the tally lines: collected numbers end by x 362, totals start at 415.
constexpr double kSlashFruit[2] = {381, 382}, kSlashEnemies[2] = {381, 450}, kSlashMark[2] = {420, 522};

Image PaintScoreScreen() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  SkyScene(cr, true);
  Bramble(cr, 80, 540, 1.2);
  Bramble(cr, 725, 535, 1.3);
  CenteredText(cr, 70, "STAGE CLEAR!", 5, {1.0, 0.95, 0.6}, pal::kOrange, 4);
  PaintHeroPortrait(cr, 352, 160, 3.0, 1);
  Panel(cr, 40, 336, 720, 230, pal::kMenuPanel);
  const Rgb ink = {0.45, 0.28, 0.12};
  DrawBigText(cr, 70, 385, "FRUIT", 2.4, 2.4, pal::kWhite, pal::kCream, pal::kOutline, 1.8);
  DrawBigText(cr, 70, 448, "ENEMIES", 2.4, 2.4, pal::kWhite, pal::kCream, pal::kOutline, 1.8);
  DrawBigText(cr, 70, 522, "MARK", 2.4, 2.4, pal::kGold, pal::kOrange, pal::kOutline, 1.8);
  // separators between the collected numbers (end by x 362) and the totals (from x 415)
  // the mark (drawn at 360..410) is out of 20: its slash goes right of it
  for (const double* p : {kSlashFruit, kSlashEnemies, kSlashMark}) {
    cairo_move_to(cr, p[0], p[1] + 24);
    cairo_line_to(cr, p[0] + 18, p[1] - 2);
    Stroke(cr, pal::kOutline, 6.5);
    cairo_move_to(cr, p[0], p[1] + 24);
    cairo_line_to(cr, p[0] + 18, p[1] - 2);
    Stroke(cr, pal::kWhite, 3);
  }
  DrawBigText(cr, 446, 524, "20", 3, 2.2, {1.0, 0.98, 0.8}, {1.0, 0.74, 0.18}, pal::kOutline, 1.6);
  DrawBigText(cr, 740 - BigTextWidth("press enter", 1.6), 538, "press enter", 1.6, 1.6, ink, Darker(ink, 0.2),
              {1.0, 0.97, 0.88}, 0.8);
  return Opaque(canvas);
}

Image PaintEndingScreen() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  VerticalGradient(cr, 0, kScreenH, {0.20, 0.12, 0.38}, {0.98, 0.62, 0.45});
  Noise n(5);
  for (int i = 0; i < 60; ++i) {
    Star(cr, n.Range(0, 800), n.Range(0, 300), n.Range(1.5, 3.5), 0.8, 4);
    SetColor(cr, pal::kWhite, 0.9);
    cairo_fill(cr);
  }
  Fireworks(cr, 150, 120, 50, pal::kGold);
  Fireworks(cr, 650, 100, 60, {1.0, 0.55, 0.7});
  Fireworks(cr, 420, 60, 35, {0.6, 1.0, 0.7});
  Hills(cr, 470, 35, 80, 1.0, {0.30, 0.45, 0.35}, pal::kOutline, 2);
  Hills(cr, 530, 25, 60, 2.5, {0.22, 0.52, 0.25}, pal::kOutline, 2);
  CenteredText(cr, 170, "CONGRATULATIONS!", 4.2, {1.0, 0.95, 0.6}, pal::kOrange, 3.5);
  CenteredText(cr, 230, "all twenty stages done", 2.6, pal::kWhite, pal::kCream, 2);
  CenteredText(cr, 265, "the bramblets are home", 2.6, pal::kWhite, pal::kCream, 2);
  CenteredText(cr, 310, "the stage editor is yours: press f1 in a stage", 1.6, pal::kGold, pal::kGold, 1.4);
  DrawBigText(cr, 780 - BigTextWidth("press escape", 2), 566, "press escape", 2, 2, pal::kWhite, pal::kCream,
              pal::kOutline, 1.5);
  return Opaque(canvas);
}

Image PaintCreditsScreen() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  VerticalGradient(cr, 0, kScreenH, {0.25, 0.16, 0.35}, {0.55, 0.30, 0.45});
  Noise n(3);
  for (int i = 0; i < 40; ++i) {
    Circle(cr, n.Range(0, 800), n.Range(0, 600), n.Range(2, 6));
    SetColor(cr, pal::kBerryLight, 0.25);
    cairo_fill(cr);
  }
  Title(cr, 400, 50, 6);
  Panel(cr, 150, 180, 500, 300, {0.98, 0.93, 0.80});
  const Rgb ink{0.40, 0.20, 0.30}, light{1.0, 0.97, 0.90};
  const char* lines[] = {"thanks for playing", "", "code, pictures, sounds and stages", "made for this game by its team",
                         "", "the bramblets will be back"};
  int y = 220;
  for (const char* l : lines) {
    DrawBigText(cr, 400 - BigTextWidth(l, 1.6) / 2, y, l, 1.6, 1.6, ink, Darker(ink, 0.2), light, 0.8);
    y += 34;
  }
  PaintHeroPortrait(cr, 640, 470, 2.5, -1);
  CenteredText(cr, 520, "click or press enter", 2, pal::kWhite, pal::kCream, 1.6);
  return Opaque(canvas);
}

Image PaintCurtain() {
  Canvas canvas(kScreenW, kScreenH);
  cairo_t* cr = canvas.cr();
  // velvet folds
  for (int x = 0; x < kScreenW; ++x) {
    const double f = 0.5 + 0.5 * std::sin(x / 18.0) * std::cos(x / 53.0);
    const Rgb c = Mix({0.42, 0.05, 0.12}, {0.85, 0.18, 0.25}, f);
    cairo_rectangle(cr, x, 0, 1, kScreenH);
    SetColor(cr, c);
    cairo_fill(cr);
  }
  // gold trim on both leading edges, meeting at the seam (y 300)
  for (int half = 0; half < 2; ++half) {
    const double y = half == 0 ? 272 : 300;
    cairo_rectangle(cr, 0, y, kScreenW, 28);
    FillShaded(cr, pal::kGold, y, y + 28, 0);
    for (int x = 0; x < kScreenW; x += 16) {
      Circle(cr, x + 8, y + 14, 4);
      FillOutlined(cr, Lighter(pal::kGold, 0.3), 1.2, pal::kGoldDark);
    }
    cairo_move_to(cr, 0, y + 1);
    cairo_line_to(cr, kScreenW, y + 1);
    cairo_move_to(cr, 0, y + 27);
    cairo_line_to(cr, kScreenW, y + 27);
    Stroke(cr, pal::kGoldDark, 2);
  }
  // the title badge across the seam: complete once the curtain is shut
  Circle(cr, 400, 300, 70);
  FillShaded(cr, pal::kBerry, 230, 370, 4);
  Circle(cr, 400, 300, 60);
  Stroke(cr, pal::kGold, 3);
  PaintHeroPortrait(cr, 352, 248, 3.0, 1);
  return Opaque(canvas);
}

Image PaintBrushMark() {
  Canvas canvas(32, 32);
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 1.5, 1.5, 29, 29);
  Stroke(cr, pal::kOutline, 3);
  cairo_rectangle(cr, 1.5, 1.5, 29, 29);
  Stroke(cr, {1.0, 0.9, 0.2}, 1.2);
  return canvas.ToKeyed();
}

Image PaintEditorCursor() {
  Canvas canvas(32, 32);
  cairo_t* cr = canvas.cr();
  // corner brackets and a small cross in the middle
  const double l = 8;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  for (int pass = 0; pass < 2; ++pass) {
    cairo_move_to(cr, 1.5, 1.5 + l);
    cairo_line_to(cr, 1.5, 1.5);
    cairo_line_to(cr, 1.5 + l, 1.5);
    cairo_move_to(cr, 30.5 - l, 1.5);
    cairo_line_to(cr, 30.5, 1.5);
    cairo_line_to(cr, 30.5, 1.5 + l);
    cairo_move_to(cr, 30.5, 30.5 - l);
    cairo_line_to(cr, 30.5, 30.5);
    cairo_line_to(cr, 30.5 - l, 30.5);
    cairo_move_to(cr, 1.5 + l, 30.5);
    cairo_line_to(cr, 1.5, 30.5);
    cairo_line_to(cr, 1.5, 30.5 - l);
    cairo_move_to(cr, 16, 12);
    cairo_line_to(cr, 16, 20);
    cairo_move_to(cr, 12, 16);
    cairo_line_to(cr, 20, 16);
    if (pass == 0)
      Stroke(cr, pal::kOutline, 3);
    else
      Stroke(cr, pal::kWhite, 1.2);
  }
  return canvas.ToKeyed();
}

Image PaintEraser() {
  Canvas canvas(32, 32);
  cairo_t* cr = canvas.cr();
  cairo_translate(cr, 16, 16);
  cairo_rotate(cr, -0.6);
  RoundRect(cr, -12, -7, 24, 14, 3);
  FillShaded(cr, {0.98, 0.60, 0.70}, -7, 7, 1.5);
  cairo_rectangle(cr, 3, -7, 9, 14);
  FillShaded(cr, {0.45, 0.60, 0.90}, -7, 7, 1.5);
  return canvas.ToKeyed();
}

}  // namespace assetgen
