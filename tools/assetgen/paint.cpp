#include "paint.h"

#include <cmath>

namespace assetgen {

void SetColor(cairo_t* cr, Rgb c, double a) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void Stroke(cairo_t* cr, Rgb c, double w) {
  SetColor(cr, c);
  cairo_set_line_width(cr, w);
  cairo_stroke(cr);
}

// Both fills stroke the outline first at twice its width and then fill over
// it, so shapes built from several overlapping parts get one outer outline.
static void OutlineUnder(cairo_t* cr, cairo_path_t* path, double outlineW, Rgb outline) {
  if (outlineW <= 0) return;
  cairo_new_path(cr);
  cairo_append_path(cr, path);
  SetColor(cr, outline);
  cairo_set_line_width(cr, outlineW * 2);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  cairo_append_path(cr, path);
}

void FillShaded(cairo_t* cr, Rgb base, double y0, double y1, double outlineW) {
  cairo_path_t* path = cairo_copy_path(cr);
  OutlineUnder(cr, path, outlineW, pal::kOutline);
  cairo_path_destroy(path);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  const Rgb hi = Lighter(base, 0.3), lo = Darker(base, 0.3);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 0.45, base.r, base.g, base.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void FillOutlined(cairo_t* cr, Rgb fill, double outlineW, Rgb outline) {
  cairo_path_t* path = cairo_copy_path(cr);
  OutlineUnder(cr, path, outlineW, outline);
  cairo_path_destroy(path);
  SetColor(cr, fill);
  cairo_fill(cr);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void Circle(cairo_t* cr, double x, double y, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_close_path(cr);
}

void Ellipse(cairo_t* cr, double x, double y, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_close_path(cr);
  cairo_restore(cr);
}

void Star(cairo_t* cr, double cx, double cy, double ro, double ri, int points, double rotDeg) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < points * 2; ++i) {
    const double a = (rotDeg + 180.0 * i / points) * M_PI / 180.0;
    const double r = i % 2 ? ri : ro;
    if (i == 0)
      cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else
      cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void Gloss(cairo_t* cr, double x, double y, double rx, double ry, double alpha) {
  Ellipse(cr, x, y, rx, ry);
  SetColor(cr, {1, 1, 1}, alpha);
  cairo_fill(cr);
}

}  // namespace assetgen
