// The animated characters of the sprite sheet: hero, walkers, fruit.
#include <algorithm>
#include <cmath>

#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace assetgen {

namespace {

constexpr double kTau = 2 * M_PI;

struct HeroPose {
  double dir = 1;       // 1 faces right, -1 left, 0 seen from behind
  double bob = 0;       // body lift in pixels (up is positive)
  double footAx = 11, footAy = 0, footBx = 21, footBy = 0;  // foot x and lift
  double handAx = 6, handAy = 20, handBx = 26, handBy = 20;
  bool blink = false;
  bool hanging = false;
  double squash = 0;    // positive widens the body
};

void DrawBrambleBody(cairo_t* cr, double cx, double cy, double rx, double ry, Rgb base) {
  Ellipse(cr, cx, cy, rx, ry);
  FillShaded(cr, base, cy - ry, cy + ry, 1.5);
  // drupelets: the little round bumps of a bramble berry
  const double pts[][2] = {{-5, -4}, {0, -5.5}, {5, -4}, {-6.5, 1}, {6.5, 1}, {-3, 5}, {3, 5}};
  for (const auto& p : pts) {
    Circle(cr, cx + p[0] * rx / 10, cy + p[1] * ry / 9.5, 1.5);
    SetColor(cr, Lighter(base, 0.35), 0.85);
    cairo_fill(cr);
  }
  Gloss(cr, cx - rx * 0.45, cy - ry * 0.5, rx * 0.25, ry * 0.17, 0.75);
}

void DrawLeafTuft(cairo_t* cr, double x, double y, double sway) {
  for (int side = -1; side <= 1; side += 2) {
    cairo_move_to(cr, x, y + 1);
    cairo_curve_to(cr, x + side * 2 + sway, y - 5, x + side * 7 + sway, y - 5, x + side * 7.5 + sway, y - 2.5);
    cairo_curve_to(cr, x + side * 5 + sway, y + 0.5, x + side * 2, y + 1.5, x, y + 1);
    cairo_close_path(cr);
    FillOutlined(cr, side < 0 ? pal::kLeaf : Lighter(pal::kLeaf, 0.15), 1.1);
  }
  cairo_move_to(cr, x, y + 2);
  cairo_line_to(cr, x + sway * 0.5, y - 3);
  SetColor(cr, pal::kLeafDark);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
}

void DrawEyes(cairo_t* cr, double cx, double cy, double dir, bool blink) {
  for (int e = -1; e <= 1; e += 2) {
    const double ex = cx + dir * 2.5 + e * 3.6;
    if (blink) {
      cairo_move_to(cr, ex - 2, cy + 0.5);
      cairo_line_to(cr, ex + 2, cy + 0.5);
      SetColor(cr, pal::kOutline);
      cairo_set_line_width(cr, 1.3);
      cairo_stroke(cr);
      continue;
    }
    Ellipse(cr, ex, cy, 2.6, 3.3);
    FillOutlined(cr, pal::kWhite, 1.0);
    Circle(cr, ex + dir * 1.0, cy + 0.5, 1.45);
    SetColor(cr, pal::kOutline);
    cairo_fill(cr);
    Circle(cr, ex + dir * 1.0 - 0.5, cy - 0.3, 0.5);
    SetColor(cr, pal::kWhite);
    cairo_fill(cr);
  }
}

void DrawHero(cairo_t* cr, const HeroPose& p) {
  const double cy = 18.5 - p.bob;
  const double rx = 10.2 + p.squash, ry = 9.4 - p.squash * 0.6;
  // feet behind the body
  for (int f = 0; f < 2; ++f) {
    const double fx = f ? p.footBx : p.footAx, lift = f ? p.footBy : p.footAy;
    Ellipse(cr, fx + p.dir * 0.8, 29.0 - lift, 3.9, 2.4);
    FillShaded(cr, {0.35, 0.22, 0.12}, 26.5 - lift, 31.5 - lift, 1.2);
  }
  if (p.hanging) {
    // arms up to the bar
    for (int h = 0; h < 2; ++h) {
      const double hx = h ? p.handBx : p.handAx, hy = h ? p.handBy : p.handAy;
      cairo_move_to(cr, h ? 23.5 : 8.5, cy - 2);
      cairo_line_to(cr, hx, hy + 2);
      SetColor(cr, pal::kOutline);
      cairo_set_line_width(cr, 4.4);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_stroke(cr);
      cairo_move_to(cr, h ? 23.5 : 8.5, cy - 2);
      cairo_line_to(cr, hx, hy + 2);
      SetColor(cr, pal::kBerry);
      cairo_set_line_width(cr, 2.2);
      cairo_stroke(cr);
    }
  }
  DrawBrambleBody(cr, 16, cy, rx, ry, pal::kBerry);
  DrawLeafTuft(cr, 16 - p.dir * 1.5, cy - ry - 0.5, p.dir * -0.8);
  if (p.dir != 0) {
    DrawEyes(cr, 16, cy - 1.5, p.dir, p.blink);
    // smile
    cairo_arc(cr, 16 + p.dir * 3.5, cy + 3.2, 2.2, 0.15 * M_PI, 0.85 * M_PI);
    SetColor(cr, pal::kOutline);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  // hands (gloves)
  for (int h = 0; h < 2; ++h) {
    const double hx = h ? p.handBx : p.handAx, hy = h ? p.handBy : p.handAy;
    Circle(cr, hx, hy, 2.6);
    FillShaded(cr, pal::kWhite, hy - 2.6, hy + 2.6, 1.1);
  }
}

HeroPose Walk(double t, double dir) {
  HeroPose p;
  p.dir = dir;
  const double a = t * kTau;
  const double s = std::sin(a), c = std::cos(a);
  p.footAx = 16 - 4 + 5.5 * s * dir;
  p.footBx = 16 + 4 - 5.5 * s * dir;
  p.footAy = c > 0 ? 2.6 * c : 0;
  p.footBy = c < 0 ? -2.6 * c : 0;
  p.bob = 1.3 * std::fabs(std::sin(a));
  p.handAx = 16 - 10 - 2.5 * s * dir;
  p.handBx = 16 + 10 + 2.5 * s * dir;
  p.handAy = 21 - p.bob + 1.2 * c;
  p.handBy = 21 - p.bob - 1.2 * c;
  return p;
}

HeroPose Stand(int frame, double dir) {
  HeroPose p;
  p.dir = dir;
  const double a = frame / 16.0 * kTau;
  p.bob = 0.6 + 0.6 * std::sin(a);
  p.squash = -0.35 * std::sin(a);
  p.footAx = 11;
  p.footBx = 21;
  p.handAx = 5.5;
  p.handBx = 26.5;
  p.handAy = p.handBy = 21 - p.bob * 0.5;
  p.blink = frame == 11 || frame == 12;
  return p;
}

HeroPose Hang(double t, double dir) {
  HeroPose p;
  p.dir = dir;
  p.hanging = true;
  const double a = t * kTau;
  const double sway = 1.2 * std::sin(a);
  p.bob = -1.0;
  p.handAx = 8 + sway * 0.3;
  p.handBx = 24 + sway * 0.3;
  p.handAy = p.handBy = 3.0;
  p.footAx = 12 + sway;
  p.footBx = 20 + sway;
  p.footAy = 0.3 + 0.6 * std::sin(a + 1);
  p.footBy = 0.3 + 0.6 * std::sin(a + 2);
  return p;
}

HeroPose Climb(double t) {
  HeroPose p;
  p.dir = 0;
  const double a = t * kTau;
  const double s = std::sin(a);
  p.bob = 0.5 + 0.6 * std::fabs(s);
  p.handAx = 7.5;
  p.handBx = 24.5;
  p.handAy = 11 + 4.5 * s;
  p.handBy = 11 - 4.5 * s;
  p.footAx = 11.5;
  p.footBx = 20.5;
  p.footAy = 1.5 - 1.5 * s;
  p.footBy = 1.5 + 1.5 * s;
  return p;
}

void BeginFrame(cairo_t* cr, int x, int y, int w, int h, int margin) {
  cairo_save(cr);
  cairo_rectangle(cr, x + margin, y, w - 2 * margin, h);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

// ---- enemies -------------------------------------------------------------

// Fast walker: an angry horned beetle. Feet on row 29, rows 30-31 left clear.
void DrawBeetle(cairo_t* cr, double t, double dir) {
  const double a = t * kTau;
  const double bob = 0.8 * std::fabs(std::sin(a));
  const double cx = 16 - dir * 3.5;  // shell centre; the head sits in front
  // legs
  for (int i = 0; i < 3; ++i) {
    const double phase = a + i * 2.1;
    const double baseX = cx + (i - 1) * 6.5;
    const double lx = baseX + dir * 1.5 + 2.4 * std::sin(phase) * dir;
    const double lift = std::max(0.0, std::cos(phase)) * 2.0;
    cairo_move_to(cr, baseX, 22 - bob);
    cairo_line_to(cr, lx, 28.4 - lift);
    SetColor(cr, pal::kOutline);
    cairo_set_line_width(cr, 2.3);
    cairo_stroke(cr);
  }
  // head
  const double hx = 16 + dir * 8.5, hy = 19.5 - bob;
  Circle(cr, hx, hy, 6.2);
  FillShaded(cr, {0.62, 0.50, 0.70}, hy - 6, hy + 6, 1.4);
  // horn
  cairo_move_to(cr, hx + dir * 3.5, hy - 3.5);
  cairo_curve_to(cr, hx + dir * 5, hy - 7.5, hx + dir * 6.5, hy - 8.5, hx + dir * 7, hy - 8.5);
  cairo_curve_to(cr, hx + dir * 7, hy - 6, hx + dir * 6.5, hy - 3, hx + dir * 5.5, hy - 0.5);
  cairo_close_path(cr);
  FillOutlined(cr, pal::kCream, 1.1);
  // shell
  cairo_move_to(cr, cx - 11.5, 23.5 - bob);
  cairo_curve_to(cr, cx - 12, 8 - bob, cx + 12, 8 - bob, cx + 11.5, 23.5 - bob);
  cairo_close_path(cr);
  FillShaded(cr, pal::kRed, 10 - bob, 23.5 - bob, 1.6);
  cairo_move_to(cr, cx, 12 - bob);
  cairo_line_to(cr, cx, 23 - bob);
  SetColor(cr, pal::kOutline);
  cairo_set_line_width(cr, 1.1);
  cairo_stroke(cr);
  const double spots[][2] = {{-5.5, -4}, {5.5, -4}, {-7.5, 1}, {7.5, 1}, {-3, 1.5}, {3, 1.5}};
  for (const auto& s : spots) {
    Circle(cr, cx + s[0], 19 - bob + s[1], 1.7);
    SetColor(cr, {0.28, 0.08, 0.12});
    cairo_fill(cr);
  }
  Gloss(cr, cx - dir * 4, 13.5 - bob, 3.2, 1.5, 0.6);
  // angry eye on the head
  const double ex = hx + dir * 2.2, ey = hy - 0.5;
  Ellipse(cr, ex, ey, 2.8, 3.2);
  FillOutlined(cr, pal::kWhite, 0.9);
  Circle(cr, ex + dir * 0.9, ey + 0.5, 1.3);
  SetColor(cr, pal::kOutline);
  cairo_fill(cr);
  cairo_move_to(cr, ex - dir * 2.8, ey - 4.2);
  cairo_line_to(cr, ex + dir * 2.6, ey - 2.2);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke(cr);
  // gritted teeth
  cairo_move_to(cr, hx + dir * 1.5, hy + 3.3);
  cairo_line_to(cr, hx + dir * 5.2, hy + 2.6);
  SetColor(cr, pal::kWhite);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

// Slow walker: a grumpy snail with a violet shell.
void DrawSnail(cairo_t* cr, double t, double dir) {
  const double a = t * kTau;
  const double stretch = 1.8 * std::sin(a);
  const double cx = 16;
  // foot / body along the floor (bottom at row 29)
  const double back = cx - dir * (12 - 0.0), front = cx + dir * (11 + stretch * 0.5);
  cairo_move_to(cr, back, 29.2);
  cairo_curve_to(cr, back, 25, front - dir * 3, 25 + 0.0, front, 22);
  cairo_line_to(cr, front, 29.2);
  cairo_close_path(cr);
  FillShaded(cr, {0.93, 0.78, 0.48}, 21, 29.5, 1.4);
  // head and stalk eyes
  const double hx = front - dir * 2.0, hy = 22.5;
  for (int e = 0; e < 2; ++e) {
    const double ex = hx + dir * (1.0 + e * 2.5), ey = 12.5 + e * 1.5 + 0.8 * std::sin(a + e);
    cairo_move_to(cr, hx + dir * e * 1.5, hy);
    cairo_line_to(cr, ex, ey + 2);
    SetColor(cr, pal::kOutline);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_move_to(cr, hx + dir * e * 1.5, hy);
    cairo_line_to(cr, ex, ey + 2);
    SetColor(cr, {0.93, 0.78, 0.48});
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    Circle(cr, ex, ey, 2.2);
    FillOutlined(cr, pal::kWhite, 0.9);
    Circle(cr, ex + dir * 0.8, ey + 0.3, 1.0);
    SetColor(cr, pal::kOutline);
    cairo_fill(cr);
  }
  // shell
  const double sx = cx - dir * 3.5 + stretch * -0.3 * dir, sy = 17.5 + 0.4 * std::cos(a);
  Circle(cr, sx, sy, 9.0);
  FillShaded(cr, {0.55, 0.28, 0.70}, sy - 9, sy + 9, 1.5);
  cairo_new_path(cr);
  for (int i = 0; i <= 40; ++i) {
    const double ang = i * 0.33 * -dir + a * 0.0;
    const double r = 7.0 - i * 0.16;
    const double px = sx + r * std::cos(ang), py = sy + r * std::sin(ang);
    if (i == 0)
      cairo_move_to(cr, px, py);
    else
      cairo_line_to(cr, px, py);
  }
  SetColor(cr, {0.30, 0.12, 0.40});
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
  Gloss(cr, sx - 3, sy - 5, 2.5, 1.3, 0.6);
}

// ---- fruit ---------------------------------------------------------------

void DrawCherries(cairo_t* cr, int frame) {
  const double a = frame / 9.0 * kTau;
  const double sway = 1.6 * std::sin(a);
  // stems
  cairo_move_to(cr, 17 + sway * 0.3, 5);
  cairo_curve_to(cr, 14, 9, 11, 14, 10 + sway * 0.5, 18);
  cairo_move_to(cr, 17 + sway * 0.3, 5);
  cairo_curve_to(cr, 19, 10, 21, 15, 22 + sway * 0.5, 19);
  SetColor(cr, pal::kOutline);
  cairo_set_line_width(cr, 2.4);
  cairo_stroke_preserve(cr);
  SetColor(cr, pal::kLeafDark);
  cairo_set_line_width(cr, 1.1);
  cairo_stroke(cr);
  // leaf
  cairo_move_to(cr, 17, 5);
  cairo_curve_to(cr, 20, 1.5, 25, 2, 27, 4);
  cairo_curve_to(cr, 24, 7, 20, 7, 17, 5);
  cairo_close_path(cr);
  FillOutlined(cr, pal::kLeaf, 1.1);
  const double c[][2] = {{10 + sway * 0.5, 22}, {22 + sway * 0.5, 23}};
  for (int i = 0; i < 2; ++i) {
    Circle(cr, c[i][0], c[i][1], 6.3);
    FillShaded(cr, pal::kRed, c[i][1] - 6, c[i][1] + 6, 1.5);
    // a glint that travels round the fruit
    const double g = a + i;
    Gloss(cr, c[i][0] - 2.2 + 0.8 * std::cos(g), c[i][1] - 2.5 + 0.5 * std::sin(g), 1.8, 1.2,
          0.55 + 0.35 * std::cos(a));
  }
  if (frame == 4 || frame == 5) {  // twinkle
    Star(cr, 26, 13, 3.5, 1.0, 4, -90 + frame * 20);
    SetColor(cr, pal::kWhite);
    cairo_fill(cr);
  }
}

}  // namespace

void PaintCharacters(cairo_t* cr) {
  // Hero rows: 0 walk right, 1 walk left, 2 stand right, 3 stand left, 4 hang
  // facing left, 5 hang facing right, 6 climb down, 7 climb up. Every row but
  // row 1 is played from the last frame to the first, so time runs right to left.
  for (int row = 0; row < kHero.rows; ++row) {
    for (int i = 0; i < kHero.frames; ++i) {
      const int back = kHero.frames - 1 - i;  // time index of frame i in reversed rows
      const double tBack = back / 16.0, tFwd = i / 16.0;
      HeroPose p;
      switch (row) {
        case 0: p = Walk(tBack, 1); break;
        case 1: p = Walk(tFwd, -1); break;
        case 2: p = Stand(back, 1); break;
        case 3: p = Stand(back, -1); break;
        case 4: p = Hang(tBack, -1); break;
        case 5: p = Hang(tBack, 1); break;
        case 6: p = Climb(tFwd); break;   // climbing down is climbing up played backwards
        default: p = Climb(tBack); break;
      }
      BeginFrame(cr, kHero.x + i * kHero.w, kHero.y + row * kHero.h, kHero.w, kHero.h, 1);
      DrawHero(cr, p);
      cairo_restore(cr);
    }
  }
  for (int row = 0; row < 2; ++row) {
    const double dir = row == 0 ? 1 : -1;
    for (int i = 0; i < 16; ++i) {
      BeginFrame(cr, kWalker.x + i * kWalker.w, kWalker.y + row * kWalker.h, kWalker.w, 30, 1);
      DrawBeetle(cr, i / 16.0, dir);
      cairo_restore(cr);
      BeginFrame(cr, kSlowWalker.x + i * kSlowWalker.w, kSlowWalker.y + row * kSlowWalker.h, kSlowWalker.w, 30,
                 1);
      DrawSnail(cr, i / 16.0, dir);
      cairo_restore(cr);
    }
  }
  for (int i = 0; i < kFruit.frames; ++i) {
    BeginFrame(cr, kFruit.x + i * kFruit.w, kFruit.y, kFruit.w, kFruit.h, 1);
    DrawCherries(cr, i);
    cairo_restore(cr);
  }
}

// A hero head used by icons (lives, credits, title art).
void PaintHeroPortrait(cairo_t* cr, double x, double y, double scale, double dir) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  DrawHero(cr, Stand(0, dir));
  cairo_restore(cr);
}

void PaintEnemyPortrait(cairo_t* cr, double x, double y, double scale, double dir, bool snail) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  if (snail)
    DrawSnail(cr, 0.1, dir);
  else
    DrawBeetle(cr, 0.1, dir);
  cairo_restore(cr);
}

void PaintFruitPortrait(cairo_t* cr, double x, double y, double scale) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  DrawCherries(cr, 0);
  cairo_restore(cr);
}

}  // namespace assetgen
