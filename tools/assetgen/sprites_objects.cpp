// Objects of the sprite sheet: springs, door, key, items, platform, particles,
// bomb, blast and flowers.
#include <algorithm>
#include <cmath>

#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace assetgen {

namespace {
constexpr double kTau = 2 * M_PI;

void Begin(cairo_t* cr, int x, int y, int w, int h, int margin = 1) {
  cairo_save(cr);
  cairo_rectangle(cr, x + margin, y + margin, w - 2 * margin, h - 2 * margin);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

}  // namespace

void PaintSpringIcon(cairo_t* cr, double x, double y, double scale, double c) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  const double top = 13 + 9 * c;
  // coil
  cairo_new_path(cr);
  const int turns = 4;
  const double y0 = top + 4, y1 = 29.5;
  for (int i = 0; i <= turns * 2; ++i) {
    const double yy = y0 + (y1 - y0) * i / (turns * 2);
    const double xx = i % 2 ? 25 : 7;
    if (i == 0)
      cairo_move_to(cr, 16, yy);
    else
      cairo_line_to(cr, xx, yy);
  }
  Stroke(cr, pal::kOutline, 3.6);
  for (int i = 0; i <= turns * 2; ++i) {
    const double yy = y0 + (y1 - y0) * i / (turns * 2);
    const double xx = i % 2 ? 25 : 7;
    if (i == 0)
      cairo_move_to(cr, 16, yy);
    else
      cairo_line_to(cr, xx, yy);
  }
  Stroke(cr, {0.80, 0.82, 0.86}, 1.6);
  // base plate (its bottom on row 32, the rows below stay clear)
  RoundRect(cr, 3, 28.6, 26, 3.4, 1.5);
  FillShaded(cr, pal::kStoneDark, 28.6, 32, 1.0);
  // top pad
  RoundRect(cr, 3.5, top, 25, 5, 2.2);
  FillShaded(cr, pal::kRed, top, top + 5, 1.3);
  Gloss(cr, 10, top + 1.5, 3.5, 0.9, 0.7);
  cairo_restore(cr);
}

void PaintDoor(cairo_t* cr, double x, double y, double open, bool locked) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  // stone arch
  cairo_move_to(cr, 2, 32);
  cairo_line_to(cr, 2, 12);
  cairo_arc(cr, 16, 12, 14, M_PI, 2 * M_PI);
  cairo_line_to(cr, 30, 32);
  cairo_close_path(cr);
  FillShaded(cr, pal::kStone, 0, 32, 1.4);
  // doorway
  cairo_move_to(cr, 6, 32);
  cairo_line_to(cr, 6, 13);
  cairo_arc(cr, 16, 13, 10, M_PI, 2 * M_PI);
  cairo_line_to(cr, 26, 32);
  cairo_close_path(cr);
  cairo_path_t* doorway = cairo_copy_path(cr);
  if (open > 0) {
    cairo_pattern_t* g = cairo_pattern_create_radial(16, 20, 1, 16, 20, 14);
    cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 1.0, 0.85);
    cairo_pattern_add_color_stop_rgb(g, 0.6, 1.0, 0.85, 0.35);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.95, 0.55, 0.15);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // sparkles inside the light
    for (int i = 0; i < 3; ++i) {
      const double a = open * 5 + i * 2.1;
      Star(cr, 16 + 5 * std::cos(a), 21 + 6 * std::sin(a * 1.3), 2.4 * open, 0.7, 4);
      SetColor(cr, pal::kWhite);
      cairo_fill(cr);
    }
  } else {
    SetColor(cr, {0.18, 0.10, 0.12});
    cairo_fill(cr);
  }
  // the wooden door swings inward: its visible width shrinks
  const double dw = 20 * (1 - open);
  if (dw > 0.8) {
    cairo_save(cr);
    cairo_append_path(cr, doorway);
    cairo_clip(cr);
    cairo_rectangle(cr, 6, 2, dw, 31);
    FillShaded(cr, pal::kWood, 2, 32, 0);
    for (double px = 6 + dw / 3; px < 6 + dw - 1; px += dw / 3) {
      cairo_move_to(cr, px, 3);
      cairo_line_to(cr, px, 32);
      Stroke(cr, pal::kWoodDark, 0.9);
    }
    cairo_rectangle(cr, 6, 2, dw, 31);
    Stroke(cr, pal::kOutline, 1.2);
    if (open < 0.5) {  // knob
      Circle(cr, 6 + dw - 3.5, 21, 1.4);
      FillOutlined(cr, pal::kGold, 0.8);
    }
    cairo_restore(cr);
  }
  cairo_append_path(cr, doorway);
  Stroke(cr, pal::kOutline, 1.2);
  cairo_path_destroy(doorway);
  // keystone
  RoundRect(cr, 13, 0.8, 6, 5, 1);
  FillShaded(cr, Lighter(pal::kStone, 0.2), 1, 6, 1.0);
  if (locked) {
    cairo_arc(cr, 16, 17, 3, M_PI, 2 * M_PI);
    Stroke(cr, pal::kOutline, 2.6);
    cairo_arc(cr, 16, 17, 3, M_PI, 2 * M_PI);
    Stroke(cr, pal::kStone, 1.0);
    RoundRect(cr, 11.5, 17, 9, 8, 1.5);
    FillShaded(cr, pal::kGold, 17, 25, 1.2);
    Circle(cr, 16, 20.5, 1.2);
    SetColor(cr, pal::kOutline);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void PaintKeyIcon(cairo_t* cr, double x, double y, double scale) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // shaft and teeth
  cairo_move_to(cr, 13, 13);
  cairo_line_to(cr, 27, 27);
  cairo_move_to(cr, 22, 22);
  cairo_line_to(cr, 18.5, 25.5);
  cairo_move_to(cr, 25.5, 25.5);
  cairo_line_to(cr, 22.5, 28.5);
  Stroke(cr, pal::kOutline, 5.2);
  cairo_move_to(cr, 13, 13);
  cairo_line_to(cr, 27, 27);
  cairo_move_to(cr, 22, 22);
  cairo_line_to(cr, 18.5, 25.5);
  cairo_move_to(cr, 25.5, 25.5);
  cairo_line_to(cr, 22.5, 28.5);
  Stroke(cr, pal::kGold, 2.6);
  // bow, a ring
  Circle(cr, 10, 10, 7.2);
  Circle(cr, 10, 10, 2.6);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  FillShaded(cr, pal::kGold, 3, 17, 1.6);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  Gloss(cr, 7.5, 6.5, 2.2, 1.2, 0.8);
  cairo_restore(cr);
}

void PaintPowerBadge(cairo_t* cr, double x, double y, double scale, int which) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, scale, scale);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  if (which == 5) {  // extra life: a heart with the hero's leaf
    cairo_move_to(cr, 16, 28);
    cairo_curve_to(cr, 3, 19, 1.5, 9, 8.5, 6.5);
    cairo_curve_to(cr, 12.5, 5, 15, 7.5, 16, 10);
    cairo_curve_to(cr, 17, 7.5, 19.5, 5, 23.5, 6.5);
    cairo_curve_to(cr, 30.5, 9, 29, 19, 16, 28);
    cairo_close_path(cr);
    FillShaded(cr, {0.95, 0.25, 0.45}, 5, 28, 1.6);
    Gloss(cr, 9.5, 11, 2.8, 1.7, 0.8);
    // "1up" in the small font
    DrawSmallText(cr, 10, 12, "1up", pal::kWhite, pal::kBerryDark);
    cairo_restore(cr);
    return;
  }
  const Rgb colors[] = {{0.35, 0.78, 0.95}, {0.95, 0.45, 0.15}, {0.35, 0.80, 0.30}, {0.70, 0.50, 0.28},
                        {0.62, 0.35, 0.80}};
  const Rgb base = colors[which];
  Circle(cr, 16, 16, 13.6);
  cairo_pattern_t* g = cairo_pattern_create_radial(12, 10, 2, 16, 16, 14);
  const Rgb hi = Lighter(base, 0.5), lo = Darker(base, 0.25);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  Stroke(cr, pal::kOutline, 1.6);
  Circle(cr, 16, 16, 11.3);
  SetColor(cr, pal::kWhite, 0.5);
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  const Rgb ink = pal::kWhite, edge = Darker(base, 0.55);
  auto twice = [&](double w) {
    cairo_path_t* p = cairo_copy_path(cr);
    Stroke(cr, edge, w + 2.2);
    cairo_append_path(cr, p);
    Stroke(cr, ink, w);
    cairo_path_destroy(p);
  };
  switch (which) {
    case 0:  // freeze: snowflake
      for (int i = 0; i < 3; ++i) {
        const double a = i * M_PI / 3 + M_PI / 2;
        cairo_move_to(cr, 16 - 8 * std::cos(a), 16 - 8 * std::sin(a));
        cairo_line_to(cr, 16 + 8 * std::cos(a), 16 + 8 * std::sin(a));
      }
      for (int i = 0; i < 6; ++i) {
        const double a = i * M_PI / 3 + M_PI / 2;
        const double bx = 16 + 5 * std::cos(a), by = 16 + 5 * std::sin(a);
        cairo_move_to(cr, bx + 2.5 * std::cos(a + 2.2), by + 2.5 * std::sin(a + 2.2));
        cairo_line_to(cr, bx, by);
        cairo_line_to(cr, bx + 2.5 * std::cos(a - 2.2), by + 2.5 * std::sin(a - 2.2));
      }
      twice(1.6);
      break;
    case 1:  // super size: arrows pointing outwards
      for (int i = 0; i < 4; ++i) {
        const double a = M_PI / 4 + i * M_PI / 2;
        const double ex = 16 + 8.5 * std::cos(a), ey = 16 + 8.5 * std::sin(a);
        cairo_move_to(cr, 16 + 2.5 * std::cos(a), 16 + 2.5 * std::sin(a));
        cairo_line_to(cr, ex, ey);
        cairo_move_to(cr, ex - 4.2 * std::cos(a - 0.6), ey - 4.2 * std::sin(a - 0.6));
        cairo_line_to(cr, ex, ey);
        cairo_line_to(cr, ex - 4.2 * std::cos(a + 0.6), ey - 4.2 * std::sin(a + 0.6));
      }
      twice(2.0);
      break;
    case 2:  // super jump: double chevron up
      cairo_move_to(cr, 9, 16);
      cairo_line_to(cr, 16, 9);
      cairo_line_to(cr, 23, 16);
      cairo_move_to(cr, 9, 23);
      cairo_line_to(cr, 16, 16);
      cairo_line_to(cr, 23, 23);
      twice(2.6);
      break;
    case 3: {  // dig: shovel
      cairo_move_to(cr, 10, 9);
      cairo_line_to(cr, 18.5, 17.5);
      cairo_move_to(cr, 8, 11);
      cairo_line_to(cr, 12, 7);
      twice(2.2);
      cairo_move_to(cr, 17, 16);
      cairo_line_to(cr, 25, 18);
      cairo_line_to(cr, 25.5, 25.5);
      cairo_line_to(cr, 18, 25);
      cairo_close_path(cr);
      cairo_path_t* p = cairo_copy_path(cr);
      FillOutlined(cr, ink, 1.4, edge);
      cairo_path_destroy(p);
      break;
    }
    default: {  // plum
      Circle(cr, 16, 18, 7.2);
      FillShaded(cr, {0.55, 0.20, 0.62}, 11, 25, 1.3);
      cairo_move_to(cr, 16, 11.5);
      cairo_curve_to(cr, 15, 14, 15, 20, 16.5, 24.5);
      Stroke(cr, Darker({0.55, 0.20, 0.62}, 0.4), 0.9);
      cairo_move_to(cr, 16, 11.5);
      cairo_curve_to(cr, 19, 6, 23, 6, 25, 8);
      cairo_curve_to(cr, 22, 11, 19, 11.5, 16, 11.5);
      cairo_close_path(cr);
      FillOutlined(cr, pal::kLeaf, 1.0);
      Gloss(cr, 13, 15, 1.8, 1.2, 0.8);
      break;
    }
  }
  Gloss(cr, 11, 8.5, 4.0, 2.0, 0.45);
  cairo_restore(cr);
}

void PaintPlatformShape(cairo_t* cr, double x, double y, double w) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  // a floating wooden raft held by two little balloons' worth of magic: a plank
  // whose top row is the walking surface
  RoundRect(cr, 0.5, 0.5, w - 1, 12, 3);
  FillShaded(cr, pal::kWood, 0, 12.5, 1.4);
  for (double px = 14; px < w - 6; px += 14) {
    cairo_move_to(cr, px, 2);
    cairo_line_to(cr, px, 11);
    Stroke(cr, pal::kWoodDark, 1.0);
  }
  cairo_move_to(cr, 3, 3);
  cairo_line_to(cr, w - 3, 3);
  Stroke(cr, Lighter(pal::kWood, 0.4), 1.0);
  for (double px = 6; px < w; px += w - 13) {
    Circle(cr, px + 0.5, 7.5, 1.3);
    FillOutlined(cr, pal::kStone, 0.7);
  }
  // a glowing crystal underneath keeps it afloat
  cairo_move_to(cr, w / 2 - 7, 12);
  cairo_line_to(cr, w / 2 + 7, 12);
  cairo_line_to(cr, w / 2, 24);
  cairo_close_path(cr);
  FillShaded(cr, {0.45, 0.90, 0.85}, 12, 24, 1.3);
  Gloss(cr, w / 2 - 2, 15, 1.5, 2.0, 0.7);
  cairo_restore(cr);
}

void PaintFlower(cairo_t* cr, double x, double y, double s, int which) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, s, s);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  // local box 80 x 55: stem from (40, 54) up to the head
  const double headY = 20 + (which % 3) * 2;
  cairo_move_to(cr, 40, 54);
  cairo_curve_to(cr, 38, 44, 42, 34, 40, headY);
  Stroke(cr, pal::kOutline, 4.2);
  cairo_move_to(cr, 40, 54);
  cairo_curve_to(cr, 38, 44, 42, 34, 40, headY);
  Stroke(cr, pal::kLeaf, 2.0);
  for (int side = -1; side <= 1; side += 2) {
    const double ly = 46 - (side > 0 ? 6 : 0);
    cairo_move_to(cr, 40, ly);
    cairo_curve_to(cr, 40 + side * 6, ly - 8, 40 + side * 14, ly - 6, 40 + side * 16, ly - 3);
    cairo_curve_to(cr, 40 + side * 10, ly + 2, 40 + side * 5, ly + 2, 40, ly);
    cairo_close_path(cr);
    FillShaded(cr, pal::kLeaf, ly - 8, ly + 2, 1.2);
  }
  const double cx = 40, cy = headY;
  switch (which) {
    case 0:    // daisy
    case 2: {  // sunflower
      const bool sun = which == 2;
      const int n = sun ? 12 : 9;
      const Rgb petal = sun ? Rgb{1.0, 0.80, 0.15} : pal::kWhite;
      for (int i = 0; i < n; ++i) {
        const double a = i * kTau / n;
        cairo_save(cr);
        cairo_translate(cr, cx + 7.5 * std::cos(a), cy + 7.5 * std::sin(a));
        cairo_rotate(cr, a);
        Ellipse(cr, 0, 0, 5.2, 2.6);
        cairo_restore(cr);
        FillOutlined(cr, petal, 1.1);
      }
      Circle(cr, cx, cy, sun ? 6.5 : 5);
      FillShaded(cr, sun ? Rgb{0.50, 0.30, 0.12} : Rgb{1.0, 0.78, 0.15}, cy - 6, cy + 6, 1.2);
      break;
    }
    case 1:  // tulip
    case 4: {  // rose-coloured tulip
      const Rgb c = which == 1 ? Rgb{0.92, 0.22, 0.22} : Rgb{0.98, 0.50, 0.70};
      cairo_move_to(cr, cx - 8, cy - 7);
      cairo_line_to(cr, cx - 4, cy - 2);
      cairo_line_to(cr, cx, cy - 9);
      cairo_line_to(cr, cx + 4, cy - 2);
      cairo_line_to(cr, cx + 8, cy - 7);
      cairo_curve_to(cr, cx + 10, cy + 4, cx + 5, cy + 8, cx, cy + 8);
      cairo_curve_to(cr, cx - 5, cy + 8, cx - 10, cy + 4, cx - 8, cy - 7);
      cairo_close_path(cr);
      FillShaded(cr, c, cy - 9, cy + 8, 1.3);
      Gloss(cr, cx - 3.5, cy, 1.5, 3, 0.5);
      break;
    }
    case 3: {  // bell flower, hanging heads
      for (int i = -1; i <= 1; i += 2) {
        const double bx = cx + i * 8, by = cy + 4;
        cairo_move_to(cr, cx, cy - 4);
        cairo_curve_to(cr, cx + i * 4, cy - 7, bx, by - 8, bx, by - 5);
        Stroke(cr, pal::kLeafDark, 1.6);
        cairo_move_to(cr, bx - 5, by + 4);
        cairo_curve_to(cr, bx - 5, by - 6, bx + 5, by - 6, bx + 5, by + 4);
        cairo_line_to(cr, bx + 3, by + 2.5);
        cairo_line_to(cr, bx + 1, by + 4.5);
        cairo_line_to(cr, bx - 1, by + 2.5);
        cairo_line_to(cr, bx - 3, by + 4.5);
        cairo_close_path(cr);
        FillShaded(cr, {0.62, 0.42, 0.92}, by - 6, by + 4, 1.2);
      }
      Circle(cr, cx, cy - 4, 2.5);
      FillOutlined(cr, pal::kLeaf, 1.0);
      break;
    }
    default: {  // orange star flower
      Star(cr, cx, cy, 11, 5, 5);
      FillShaded(cr, {1.0, 0.55, 0.15}, cy - 11, cy + 10, 1.3);
      Circle(cr, cx, cy, 3.2);
      FillOutlined(cr, {1.0, 0.92, 0.4}, 1.0);
      break;
    }
  }
  cairo_restore(cr);
}

void PaintObjects(cairo_t* cr) {
  // spring: rest, then squash, stretch and settle
  const double springC[7] = {0, 0.55, 0.95, -0.45, -0.25, 0.2, 0.05};
  for (int i = 0; i < kSpring.frames; ++i) {
    Begin(cr, kSpring.x + i * kSpring.w, kSpring.y, kSpring.w, kSpring.h);
    PaintSpringIcon(cr, 0, 0, 1.0, springC[i]);
    cairo_restore(cr);
  }
  for (int i = 0; i < kPortal.frames; ++i) {
    Begin(cr, kPortal.x + i * kPortal.w, kPortal.y, kPortal.w, kPortal.h);
    PaintDoor(cr, 0, 0, i / 6.0, false);
    cairo_restore(cr);
  }
  Begin(cr, kKey.x, kKey.y, kKey.w, kKey.h);
  PaintKeyIcon(cr, 0, 0, 1.0);
  cairo_restore(cr);
  for (int i = 0; i < kPowerItems.frames; ++i) {
    Begin(cr, kPowerItems.x + i * kPowerItems.w, kPowerItems.y, kPowerItems.w, kPowerItems.h);
    PaintPowerBadge(cr, 0, 0, 1.0, i);
    cairo_restore(cr);
  }
  Begin(cr, kLifeBonus.x, kLifeBonus.y, kLifeBonus.w, kLifeBonus.h);
  PaintPowerBadge(cr, 0, 0, 1.0, 5);
  cairo_restore(cr);

  Begin(cr, kPlatform.x, kPlatform.y, kPlatform.w, kPlatform.h, 0);
  PaintPlatformShape(cr, 0, 0, kPlatform.w);
  cairo_restore(cr);

  // particles
  Begin(cr, kSparkStar.x, kSparkStar.y, kSparkStar.w, kSparkStar.h, 0);
  Star(cr, 6.5, 7.3, 6.3, 2.8, 5);
  FillShaded(cr, pal::kGold, 1, 13, 1.1);
  cairo_restore(cr);
  Begin(cr, kSparkHurt.x, kSparkHurt.y, kSparkHurt.w, kSparkHurt.h, 0);
  Star(cr, 6.5, 7, 6.4, 2.4, 7, -60);
  FillOutlined(cr, {1.0, 0.35, 0.25}, 1.0);
  Circle(cr, 6.5, 7, 1.8);
  SetColor(cr, pal::kWhite);
  cairo_fill(cr);
  cairo_restore(cr);

  for (int i = 0; i < kDust.frames; ++i) {
    Begin(cr, kDust.x + i * kDust.w, kDust.y, kDust.w, kDust.h, 0);
    const double t = i / 8.0;
    const double spread = 1.5 + 4.5 * t;
    const double r = 4.2 * (1 - t) + 1.2;
    for (int k = 0; k < 3; ++k) {
      const double a = -M_PI / 2 + (k - 1) * 1.1;
      Circle(cr, 8 + spread * std::cos(a), 10.5 + spread * std::sin(a) * 0.6, r * (k == 1 ? 1.0 : 0.8));
    }
    FillOutlined(cr, {0.90, 0.86, 0.78}, 0.9, {0.55, 0.48, 0.42});
    cairo_restore(cr);
  }

  Begin(cr, kPoof.x, kPoof.y, kPoof.w, kPoof.h);
  {
    const double pts[][3] = {{19.5, 21, 9}, {11, 19, 6.5}, {28, 19, 6.5}, {15, 28, 6}, {25, 28, 6},
                             {19.5, 12, 6}};
    for (const auto& p : pts) Circle(cr, p[0], p[1], p[2]);
    FillOutlined(cr, pal::kWhite, 1.5, {0.55, 0.55, 0.62});
    const double stars[][2] = {{6, 8}, {33, 9}, {5, 33}, {34, 34}, {20, 3.5}};
    for (const auto& s : stars) {
      Star(cr, s[0], s[1], 3.6, 1.4, 5);
      FillOutlined(cr, pal::kGold, 0.8);
    }
  }
  cairo_restore(cr);

  // brick chip: a quarter of the brick tile
  Begin(cr, kBrickChip.x, kBrickChip.y, kBrickChip.w, kBrickChip.h, 0);
  RoundRect(cr, 1, 2, 14, 12, 1.5);
  FillShaded(cr, {0.78, 0.36, 0.22}, 2, 14, 1.3);
  cairo_move_to(cr, 1.5, 8);
  cairo_line_to(cr, 14.5, 8);
  cairo_move_to(cr, 8, 2.5);
  cairo_line_to(cr, 8, 8);
  Stroke(cr, {0.92, 0.84, 0.70}, 1.2);
  cairo_restore(cr);

  // dig bomb: the fuse burns down over 25 frames, the bomb flashes at the end
  for (int i = 0; i < kDigBomb.frames; ++i) {
    Begin(cr, kDigBomb.x + i * kDigBomb.w, kDigBomb.y, kDigBomb.w, kDigBomb.h);
    const double t = i / 24.0;
    const bool flash = i >= 18 && i % 2 == 0;
    const double fuse = 1 - t;
    cairo_move_to(cr, 19, 10);
    cairo_curve_to(cr, 21, 6, 24, 6, 24 + 3 * fuse, 3 + 4 * (1 - fuse));
    if (fuse > 0.05) {
      cairo_path_t* p = cairo_copy_path(cr);
      Stroke(cr, pal::kOutline, 2.8);
      cairo_append_path(cr, p);
      Stroke(cr, pal::kCream, 1.2);
      cairo_path_destroy(p);
    } else {
      cairo_new_path(cr);
    }
    Circle(cr, 15, 19, 10.5);
    FillShaded(cr, flash ? Rgb{0.92, 0.25, 0.20} : Rgb{0.25, 0.24, 0.32}, 8.5, 29.5, 1.6);
    Gloss(cr, 11, 14, 3, 2, 0.55);
    RoundRect(cr, 15.5, 7.5, 6, 4, 1);
    FillOutlined(cr, pal::kStone, 1.0);
    const double sx = 24 + 3 * fuse, sy = 3 + 4 * (1 - fuse);
    Star(cr, sx, sy + 0.5, 3.4 + (i % 3), 1.2, 6, i * 25.0);
    FillOutlined(cr, pal::kGold, 0.7, {0.9, 0.35, 0.1});
    cairo_restore(cr);
  }
  // dig blast: a fireball that swells and dissolves into smoke
  for (int i = 0; i < kDigBlast.frames; ++i) {
    Begin(cr, kDigBlast.x + i * kDigBlast.w, kDigBlast.y, kDigBlast.w, kDigBlast.h);
    const double t = i / 24.0;
    if (t < 0.45) {
      const double r = 5 + 25 * t;
      Star(cr, 16, 16, r + 2, r * 0.65, 9, i * 9.0);
      FillOutlined(cr, {1.0, 0.55, 0.12}, 1.4, {0.55, 0.12, 0.06});
      Star(cr, 16, 16, r * 0.7, r * 0.45, 9, i * 9.0 + 20);
      SetColor(cr, {1.0, 0.88, 0.35});
      cairo_fill(cr);
      Circle(cr, 16, 16, r * 0.3);
      SetColor(cr, pal::kWhite);
      cairo_fill(cr);
    } else {
      const double k = (t - 0.45) / 0.55;
      const double r = 5.5 * (1 - k) + 1.0;
      for (int p = 0; p < 6; ++p) {
        const double a = p * kTau / 6 + 0.4;
        Circle(cr, 16 + (8 + 5 * k) * std::cos(a), 16 + (8 + 5 * k) * std::sin(a) - 3 * k, r);
      }
      FillOutlined(cr, Mix({0.55, 0.52, 0.55}, {0.85, 0.83, 0.84}, k), 1.0, {0.35, 0.33, 0.38});
    }
    cairo_restore(cr);
  }

  for (int f = 0; f < 6; ++f) {
    Begin(cr, kFlowers[f].x, kFlowers[f].y, kFlowers[f].w, kFlowers[f].h);
    PaintFlower(cr, 0, 0, 1.0, f);
    cairo_restore(cr);
  }
}

}  // namespace assetgen
