// Shared painting helpers and the palette of the game's artwork.
#pragma once
#include <cairo.h>
#include <cstdint>

#include "font.h"

namespace assetgen {

namespace pal {
constexpr Rgb kOutline{0.16, 0.10, 0.18};
constexpr Rgb kWhite{1.0, 0.99, 0.95};
constexpr Rgb kCream{1.0, 0.95, 0.80};
constexpr Rgb kGold{1.0, 0.80, 0.20};
constexpr Rgb kGoldDark{0.78, 0.50, 0.08};
constexpr Rgb kBerry{0.78, 0.17, 0.40};
constexpr Rgb kBerryLight{0.96, 0.47, 0.62};
constexpr Rgb kBerryDark{0.50, 0.08, 0.26};
constexpr Rgb kLeaf{0.36, 0.72, 0.25};
constexpr Rgb kLeafDark{0.17, 0.45, 0.14};
constexpr Rgb kRed{0.88, 0.20, 0.16};
constexpr Rgb kOrange{0.96, 0.56, 0.15};
constexpr Rgb kWood{0.67, 0.42, 0.20};
constexpr Rgb kWoodDark{0.42, 0.24, 0.10};
constexpr Rgb kStone{0.62, 0.62, 0.66};
constexpr Rgb kStoneDark{0.36, 0.36, 0.42};
// the main-menu panel: the opaque stage plate is painted on the same colour
constexpr Rgb kMenuPanel{0.98, 0.90, 0.68};
}  // namespace pal

inline Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Lighter(Rgb c, double t = 0.35) { return Mix(c, {1, 1, 1}, t); }
inline Rgb Darker(Rgb c, double t = 0.35) { return Mix(c, {0, 0, 0}, t); }

void SetColor(cairo_t* cr, Rgb c, double a = 1.0);
// Strokes the current path in colour c, w pixels wide.
void Stroke(cairo_t* cr, Rgb c, double w);
// Fills the current path with a top-lit gradient and strokes it with the outline.
void FillShaded(cairo_t* cr, Rgb base, double y0, double y1, double outlineW = 1.4);
void FillOutlined(cairo_t* cr, Rgb fill, double outlineW = 1.4, Rgb outline = pal::kOutline);
void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Circle(cairo_t* cr, double x, double y, double r);
void Ellipse(cairo_t* cr, double x, double y, double rx, double ry);
void Star(cairo_t* cr, double cx, double cy, double rOuter, double rInner, int points, double rotDeg = -90);
// A soft white gloss spot.
void Gloss(cairo_t* cr, double x, double y, double rx, double ry, double alpha = 0.7);

// Deterministic pseudo-random numbers for textures (same seed, same pictures).
class Noise {
 public:
  explicit Noise(uint32_t seed) : s_(seed) {}
  uint32_t Next() {
    s_ = s_ * 1664525u + 1013904223u;
    return s_ >> 8;
  }
  double Uniform() { return (Next() & 0xFFFF) / 65536.0; }
  double Range(double a, double b) { return a + (b - a) * Uniform(); }

 private:
  uint32_t s_;
};

}  // namespace assetgen
