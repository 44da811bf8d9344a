#include "tiles.h"

#include <cmath>
#include <string>

#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace assetgen {

namespace {

constexpr Rgb kDirt{0.60, 0.38, 0.22};
constexpr Rgb kGrass{0.40, 0.76, 0.28};

struct KindInfo {
  const char* tag;   // badge text on the kind icon ("" = no icon)
  const char* name;  // legend text
  Rgb color;
};

const KindInfo kKinds[kKindCount] = {
    {"", "empty or decoration", {0, 0, 0}},
    {"le", "ledge: stand on top", {0.85, 0.60, 0.25}},
    {"so", "solid: wall and floor", {0.55, 0.55, 0.60}},
    {"sp", "spring", {0.90, 0.30, 0.30}},
    {"ex", "exit door", {0.95, 0.75, 0.20}},
    {"de", "deadly: spikes and lava", {0.95, 0.25, 0.15}},
    {"st", "hero start", {0.85, 0.25, 0.55}},
    {"ha", "hang bar", {0.60, 0.60, 0.75}},
    {"fr", "fruit", {0.90, 0.20, 0.25}},
    {"9", "unused", {0.40, 0.40, 0.40}},
    {"10", "unused", {0.40, 0.40, 0.40}},
    {"la", "ladder", {0.70, 0.45, 0.20}},
    {"ke", "key", {0.95, 0.80, 0.20}},
    {"sh", "shuttle platform", {0.40, 0.75, 0.75}},
    {"14", "unused", {0.40, 0.40, 0.40}},
    {"or", "orbit platform", {0.40, 0.65, 0.90}},
    {"wa", "walker enemy", {0.85, 0.30, 0.20}},
    {"sl", "slow walker enemy", {0.60, 0.35, 0.75}},
    {"18", "unused", {0.40, 0.40, 0.40}},
    {"19", "unused", {0.40, 0.40, 0.40}},
};

void BeginTile(cairo_t* cr, int code) {
  const Rect r = TileRect(code);
  cairo_save(cr);
  cairo_rectangle(cr, r.x, r.y, r.w, r.h);
  cairo_clip(cr);
  cairo_translate(cr, r.x, r.y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

// Rounded rectangle with a radius only at the chosen corners.
void ShapePath(cairo_t* cr, double x0, double y0, double x1, double y1, double r, bool tl, bool tr, bool br,
               bool bl) {
  cairo_new_path(cr);
  cairo_move_to(cr, x0 + (tl ? r : 0), y0);
  if (tr)
    cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
  else
    cairo_line_to(cr, x1, y0);
  if (br)
    cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
  else
    cairo_line_to(cr, x1, y1);
  if (bl)
    cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
  else
    cairo_line_to(cr, x0, y1);
  if (tl)
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
  else
    cairo_line_to(cr, x0, y0);
  cairo_close_path(cr);
}

// Ground: earth with pebbles, grass where the top is open, an outline on
// every open side and rounded outer corners.
void Ground(cairo_t* cr, int mask, uint32_t seed) {
  const bool top = mask & code::kGroundOpenTop, right = mask & code::kGroundOpenRight,
             bottom = mask & code::kGroundOpenBottom, left = mask & code::kGroundOpenLeft;
  const double x0 = left ? 1 : -4, x1 = right ? 31 : 36, y0 = top ? 1 : -4, y1 = bottom ? 31 : 36;
  ShapePath(cr, x0, y0, x1, y1, 8, top && left, top && right, bottom && right, bottom && left);
  cairo_path_t* shape = cairo_copy_path(cr);
  cairo_save(cr);
  cairo_clip(cr);
  SetColor(cr, kDirt);  // flat, so stacked tiles show no seams
  cairo_paint(cr);
  Noise n(seed * 7919u + 13u);
  for (int i = 0; i < 7; ++i) {
    const double px = n.Range(3, 29), py = n.Range(top ? 12 : 3, 29);
    Ellipse(cr, px, py, n.Range(1.2, 2.4), n.Range(0.9, 1.6));
    SetColor(cr, i % 3 ? Darker(kDirt, 0.28) : Lighter(kDirt, 0.2));
    cairo_fill(cr);
  }
  if (top) {
    cairo_move_to(cr, -5, -5);
    cairo_line_to(cr, 37, -5);
    for (int i = 8; i >= 0; --i) {
      const double x = i * 4.0;
      cairo_line_to(cr, x, (i % 2 ? 9.5 : 7.5) + (i % 3 == 0 ? 1.5 : 0));
    }
    cairo_line_to(cr, -5, 8);
    cairo_close_path(cr);
    cairo_pattern_t* gg = cairo_pattern_create_linear(0, 0, 0, 11);
    const Rgb gh = Lighter(kGrass, 0.25), gl = Darker(kGrass, 0.15);
    cairo_pattern_add_color_stop_rgb(gg, 0, gh.r, gh.g, gh.b);
    cairo_pattern_add_color_stop_rgb(gg, 1, gl.r, gl.g, gl.b);
    cairo_set_source(cr, gg);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(gg);
    Stroke(cr, Darker(kGrass, 0.5), 1.2);
    cairo_move_to(cr, left ? 6 : 0, 3);
    cairo_line_to(cr, right ? 26 : 32, 3);
    Stroke(cr, Lighter(kGrass, 0.5), 1.0);
  }
  cairo_restore(cr);
  cairo_append_path(cr, shape);
  Stroke(cr, pal::kOutline, 2.2);
  cairo_path_destroy(shape);
}

void Bevel(cairo_t* cr, Rgb base, double r = 3) {
  RoundRect(cr, 1, 1, 30, 30, r);
  FillShaded(cr, base, 1, 31, 1.6);
  cairo_move_to(cr, 4, 3.5);
  cairo_line_to(cr, 28, 3.5);
  Stroke(cr, Lighter(base, 0.45), 1.2);
}

void Bricks(cairo_t* cr, Rgb base, Rgb mortar) {
  cairo_rectangle(cr, 0.5, 0.5, 31, 31);
  FillShaded(cr, base, 0, 32, 1.2);
  for (int row = 0; row < 4; ++row) {
    const double y = row * 8;
    cairo_move_to(cr, 0.5, y + 0.5);
    cairo_line_to(cr, 31.5, y + 0.5);
    const double off = row % 2 ? 8 : 0;
    for (double x = off + 16; x < 32; x += 16) {
      cairo_move_to(cr, x, y);
      cairo_line_to(cr, x, y + 8);
    }
    if (row % 2) {
      cairo_move_to(cr, 8, y);
      cairo_line_to(cr, 8, y + 8);
    }
  }
  Stroke(cr, mortar, 1.3);
  cairo_rectangle(cr, 0.5, 0.5, 31, 31);
  Stroke(cr, pal::kOutline, 1.2);
}

// Bonus blocks: a bevelled block with the power's badge on it.
void BonusBlock(cairo_t* cr, Rgb base, int badge) {
  Bevel(cr, base, 4);
  for (double px : {4.0, 28.0})
    for (double py : {4.5, 27.5}) {
      Circle(cr, px, py, 1.1);
      SetColor(cr, Darker(base, 0.45));
      cairo_fill(cr);
    }
  if (badge >= 0) PaintPowerBadge(cr, 5, 5, 0.69, badge);
}

void Ladder(cairo_t* cr) {
  for (double x : {6.0, 26.0}) {
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x, 32);
    Stroke(cr, pal::kOutline, 4.6);
    cairo_move_to(cr, x, 0);
    cairo_line_to(cr, x, 32);
    Stroke(cr, pal::kWood, 2.4);
  }
  for (double y : {5.0, 13.0, 21.0, 29.0}) {
    cairo_move_to(cr, 7.5, y);
    cairo_line_to(cr, 24.5, y);
    Stroke(cr, pal::kOutline, 3.6);
    cairo_move_to(cr, 7.5, y);
    cairo_line_to(cr, 24.5, y);
    Stroke(cr, Lighter(pal::kWood, 0.2), 1.6);
  }
}

void HangBar(cairo_t* cr) {
  cairo_move_to(cr, -1, 3.5);
  cairo_line_to(cr, 33, 3.5);
  Stroke(cr, pal::kOutline, 5.0);
  cairo_move_to(cr, -1, 3.5);
  cairo_line_to(cr, 33, 3.5);
  Stroke(cr, {0.78, 0.80, 0.86}, 2.6);
  cairo_move_to(cr, -1, 2.6);
  cairo_line_to(cr, 33, 2.6);
  Stroke(cr, pal::kWhite, 0.8);
  // bracket in the middle
  RoundRect(cr, 13, 0.5, 6, 7, 1.5);
  FillShaded(cr, pal::kStoneDark, 0, 7.5, 1.0);
}

void Spikes(cairo_t* cr) {
  RoundRect(cr, 0.5, 24, 31, 7.5, 1.5);
  FillShaded(cr, pal::kStoneDark, 24, 31.5, 1.3);
  for (int i = 0; i < 4; ++i) {
    const double x = 1 + i * 7.5;
    cairo_move_to(cr, x, 24.5);
    cairo_line_to(cr, x + 3.75, 9);
    cairo_line_to(cr, x + 7.5, 24.5);
    cairo_close_path(cr);
    FillShaded(cr, {0.85, 0.86, 0.92}, 9, 25, 1.3);
    cairo_move_to(cr, x + 3.75, 10.5);
    cairo_line_to(cr, x + 2.2, 23);
    Stroke(cr, pal::kWhite, 0.8);
  }
}

void Liquid(cairo_t* cr, bool surface, Rgb base, uint32_t seed) {
  const double top = surface ? 8 : -2;
  cairo_move_to(cr, -1, 33);
  cairo_line_to(cr, -1, top);
  for (int i = 0; i <= 8; ++i) cairo_line_to(cr, i * 4.0, top + (i % 2 ? 2.2 : 0));
  cairo_line_to(cr, 33, top);
  cairo_line_to(cr, 33, 33);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, 32);
  const Rgb hi = Lighter(base, 0.35), lo = Darker(base, 0.2);
  cairo_pattern_add_color_stop_rgb(g, 0, hi.r, hi.g, hi.b);
  cairo_pattern_add_color_stop_rgb(g, 1, lo.r, lo.g, lo.b);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  if (surface)
    Stroke(cr, Darker(base, 0.5), 1.4);
  else
    cairo_new_path(cr);
  // darker swirls and light bubbles
  for (int i = 0; i < 2; ++i) {
    const double y = top + 9 + i * 10;
    cairo_move_to(cr, 2 + i * 6, y);
    cairo_curve_to(cr, 8 + i * 6, y - 3, 14 + i * 6, y + 3, 20 + i * 6, y);
    Stroke(cr, Darker(base, 0.25), 1.6);
  }
  Noise n(seed);
  for (int i = 0; i < 3; ++i) {
    Circle(cr, n.Range(4, 28), n.Range(top + 5, 28), n.Range(1.0, 2.0));
    SetColor(cr, Lighter(base, 0.55));
    cairo_fill(cr);
  }
}

void Decoration(cairo_t* cr, int c) {
  switch (c) {
    case code::kGrassTuft:
      for (int i = 0; i < 5; ++i) {
        const double x = 8 + i * 4;
        cairo_move_to(cr, x, 31);
        cairo_curve_to(cr, x, 26, x + (i - 2) * 2, 22, x + (i - 2) * 3, 19 + (i % 2) * 3);
        Stroke(cr, pal::kOutline, 3.0);
        cairo_move_to(cr, x, 31);
        cairo_curve_to(cr, x, 26, x + (i - 2) * 2, 22, x + (i - 2) * 3, 19 + (i % 2) * 3);
        Stroke(cr, i % 2 ? kGrass : Lighter(kGrass, 0.2), 1.4);
      }
      break;
    case code::kBush:
      Circle(cr, 9, 23, 7.5);
      Circle(cr, 23, 23, 7.5);
      Circle(cr, 16, 17, 9);
      cairo_rectangle(cr, 4, 23, 24, 8.5);
      FillShaded(cr, Darker(kGrass, 0.1), 8, 31.5, 1.5);
      for (double p : {10.0, 19.0, 24.0}) {
        Circle(cr, p, 17 + (p > 15 ? 5 : 0), 1.4);
        SetColor(cr, {0.95, 0.30, 0.45});
        cairo_fill(cr);
      }
      Gloss(cr, 12, 13, 3, 1.5, 0.35);
      break;
    case code::kRock:
      cairo_move_to(cr, 4, 31);
      cairo_curve_to(cr, 2, 20, 10, 14, 17, 15);
      cairo_curve_to(cr, 26, 15, 31, 23, 29, 31);
      cairo_close_path(cr);
      FillShaded(cr, pal::kStone, 14, 31, 1.5);
      Gloss(cr, 13, 19, 3, 1.4, 0.5);
      break;
    case code::kMushroom:
      RoundRect(cr, 13, 19, 6, 12, 2);
      FillShaded(cr, pal::kCream, 19, 31, 1.3);
      cairo_move_to(cr, 5, 21);
      cairo_curve_to(cr, 5, 9, 27, 9, 27, 21);
      cairo_close_path(cr);
      FillShaded(cr, pal::kRed, 10, 21, 1.5);
      for (double p : {11.0, 17.0, 22.0}) {
        Circle(cr, p, 15 + (p == 17.0 ? -1.5 : 1.5), 1.7);
        SetColor(cr, pal::kWhite);
        cairo_fill(cr);
      }
      break;
    case code::kFence:
      for (double x : {5.0, 16.0, 27.0}) {
        cairo_move_to(cr, x - 3, 31);
        cairo_line_to(cr, x - 3, 15);
        cairo_line_to(cr, x, 12);
        cairo_line_to(cr, x + 3, 15);
        cairo_line_to(cr, x + 3, 31);
        cairo_close_path(cr);
        FillShaded(cr, pal::kCream, 12, 31, 1.2);
      }
      cairo_rectangle(cr, -1, 18, 34, 3.5);
      cairo_rectangle(cr, -1, 25, 34, 3.5);
      FillShaded(cr, Darker(pal::kCream, 0.1), 18, 29, 1.2);
      break;
    case code::kSignArrow:
      cairo_rectangle(cr, 14, 16, 4, 15.5);
      FillShaded(cr, pal::kWood, 16, 31, 1.2);
      cairo_move_to(cr, 4, 7);
      cairo_line_to(cr, 22, 7);
      cairo_line_to(cr, 29, 12.5);
      cairo_line_to(cr, 22, 18);
      cairo_line_to(cr, 4, 18);
      cairo_close_path(cr);
      FillShaded(cr, Lighter(pal::kWood, 0.15), 7, 18, 1.4);
      cairo_move_to(cr, 8, 12.5);
      cairo_line_to(cr, 22, 12.5);
      Stroke(cr, pal::kWoodDark, 1.6);
      break;
    case code::kSmallFlowers:
      for (int i = 0; i < 3; ++i) {
        const double x = 7 + i * 9, y = 20 + (i % 2) * 4;
        cairo_move_to(cr, x, 31);
        cairo_line_to(cr, x, y);
        Stroke(cr, pal::kLeafDark, 1.5);
        for (int p = 0; p < 5; ++p) {
          const double a = p * 2 * M_PI / 5;
          Circle(cr, x + 2.3 * std::cos(a), y + 2.3 * std::sin(a), 1.7);
        }
        FillOutlined(cr, i == 1 ? Rgb{1.0, 0.85, 0.3} : Rgb{1.0, 0.6, 0.75}, 0.9);
        Circle(cr, x, y, 1.1);
        SetColor(cr, pal::kWhite);
        cairo_fill(cr);
      }
      break;
    case code::kTreeTrunk:
      cairo_rectangle(cr, 10, -1, 12, 34);
      FillShaded(cr, pal::kWood, 0, 32, 0);
      cairo_move_to(cr, 10, -1);
      cairo_line_to(cr, 10, 33);
      cairo_move_to(cr, 22, -1);
      cairo_line_to(cr, 22, 33);
      Stroke(cr, pal::kOutline, 1.6);
      cairo_move_to(cr, 14, 6);
      cairo_line_to(cr, 14, 14);
      cairo_move_to(cr, 18, 18);
      cairo_line_to(cr, 18, 28);
      Stroke(cr, pal::kWoodDark, 1.2);
      break;
    case code::kTreeTop:
      Circle(cr, 16, 13, 12);
      Circle(cr, 7, 20, 7);
      Circle(cr, 25, 20, 7);
      FillShaded(cr, Darker(kGrass, 0.15), 1, 28, 1.6);
      cairo_rectangle(cr, 12, 25, 8, 8);
      FillShaded(cr, pal::kWood, 25, 32, 0);
      Gloss(cr, 11, 8, 4, 2, 0.35);
      break;
    case code::kCloudDecor:
      Circle(cr, 10, 18, 6);
      Circle(cr, 17, 14, 7.5);
      Circle(cr, 24, 18, 6);
      cairo_rectangle(cr, 10, 17, 14, 7);
      FillOutlined(cr, pal::kWhite, 1.3, {0.55, 0.65, 0.80});
      break;
    case code::kVines:
      for (int v = 0; v < 2; ++v) {
        const double x = 9 + v * 14;
        cairo_move_to(cr, x, -1);
        cairo_curve_to(cr, x + 4, 8, x - 4, 18, x + 1, 33);
        Stroke(cr, pal::kLeafDark, 2.0);
        for (double y : {6.0, 16.0, 26.0}) {
          Ellipse(cr, x + (static_cast<int>(y) % 4 ? 3.5 : -3.5), y, 3, 1.8);
          FillOutlined(cr, pal::kLeaf, 0.9);
        }
      }
      break;
    default:
      break;
  }
}

void KindIcon(cairo_t* cr, int k) {
  const KindInfo& info = kKinds[k];
  if (!info.tag[0]) return;  // kind 0: no mark, so empty cells stay readable
  const double w = TextWidth(info.tag) + 5;
  RoundRect(cr, 1, 1, w, 14, 3);
  FillOutlined(cr, info.color, 1.2);
  DrawSmallText(cr, 3, 2, info.tag, pal::kWhite, pal::kOutline);
}

}  // namespace

std::vector<int32_t> TileKindTable() {
  std::vector<int32_t> k(kTileCodes, kKindNone);
  for (int c = code::kGround; c <= code::kStone; ++c) k[c] = kKindSolid;
  for (int c = code::kLedgeLeft; c <= code::kLedgeSingle; ++c) k[c] = kKindLedge;
  k[code::kBrickWall] = k[code::kCrate] = k[code::kMetal] = kKindSolid;
  k[code::kLadder] = kKindLadder;
  k[code::kHangBar] = kKindHang;
  for (int c = code::kSpikes; c <= code::kWater; ++c) k[c] = kKindDeadly;
  for (int c : {code::kBrick, code::kRandomBlock, code::kFreezeBlock, code::kCheckpoint, code::kSuperBlock,
                code::kJumpBlock, code::kDigBlock, code::kPlumPowerBlock, code::kLifeBlock})
    k[c] = kKindSolid;  // a block only reacts to a head bump when it is solid
  k[code::kPlumOff] = kKindNone;
  k[code::kPlumOn] = kKindSolid;
  k[code::kStart] = kKindStart;
  k[code::kFruit] = kKindFruit;
  k[code::kKey] = kKindKey;
  k[code::kSpring] = kKindSpring;
  k[code::kWalker] = kKindWalker;
  k[code::kSlowWalker] = kKindSlowWalker;
  k[code::kShuttle] = kKindShuttle;
  k[code::kOrbit] = kKindOrbit;
  k[code::kExitDoor] = kKindExit;
  return k;
}

std::vector<uint8_t> EncodeKindTable(const std::vector<int32_t>& kinds) {
  std::vector<uint8_t> out;
  for (int32_t k : kinds)
    for (int i = 0; i < 4; ++i) out.push_back((static_cast<uint32_t>(k) >> (8 * i)) & 0xFF);
  return out;
}

std::vector<int> PaintedTileCodes() {
  std::vector<int> v;
  for (int c = 0; c <= code::kDirtBack; ++c) v.push_back(c);
  for (int c = code::kLadder; c <= code::kWater; ++c) v.push_back(c);
  for (int c : code::kFlowers) v.push_back(c);
  for (int c = code::kGrassTuft; c <= code::kVines; ++c) v.push_back(c);
  for (int c : {code::kBrick, code::kRandomBlock, code::kFreezeBlock, code::kCheckpoint, code::kSuperBlock,
                code::kJumpBlock, code::kDigBlock, code::kPlumPowerBlock, code::kLifeBlock, code::kPlumOff,
                code::kPlumOn, code::kStart, code::kFruit, code::kKey, code::kSpring, code::kWalker,
                code::kSlowWalker, code::kShuttle, code::kOrbit, code::kExitDoor})
    v.push_back(c);
  return v;
}

Image PaintTileSheet() {
  Canvas canvas(kTileSheetW, kTileSheetH);
  cairo_t* cr = canvas.cr();

  // code 0: the eraser that paints empty cells in the editor
  BeginTile(cr, code::kEmpty);
  cairo_save(cr);
  cairo_translate(cr, 16, 16);
  cairo_rotate(cr, -0.6);
  RoundRect(cr, -11, -6, 22, 12, 2.5);
  FillShaded(cr, {0.98, 0.60, 0.70}, -6, 6, 1.4);
  cairo_rectangle(cr, 3, -6, 8, 12);
  FillShaded(cr, {0.45, 0.60, 0.90}, -6, 6, 1.4);
  cairo_restore(cr);
  cairo_restore(cr);

  for (int mask = 0; mask < 16; ++mask) {
    BeginTile(cr, code::kGround + mask);
    Ground(cr, mask, static_cast<uint32_t>(mask));
    cairo_restore(cr);
  }
  BeginTile(cr, code::kStone);
  Bevel(cr, pal::kStone, 3);
  cairo_move_to(cr, 8, 12);
  cairo_line_to(cr, 12, 17);
  cairo_line_to(cr, 10, 22);
  Stroke(cr, pal::kStoneDark, 1.0);
  cairo_restore(cr);

  // wooden ledges: the plank's top row is the surface
  for (int c = code::kLedgeLeft; c <= code::kLedgeSingle; ++c) {
    BeginTile(cr, c);
    const bool leftEnd = c == code::kLedgeLeft || c == code::kLedgeSingle;
    const bool rightEnd = c == code::kLedgeRight || c == code::kLedgeSingle;
    ShapePath(cr, leftEnd ? 1 : -3, 0.8, rightEnd ? 31 : 35, 11, 3.5, leftEnd, rightEnd, rightEnd, leftEnd);
    FillShaded(cr, pal::kWood, 0, 11, 1.5);
    cairo_move_to(cr, leftEnd ? 4 : 0, 3.2);
    cairo_line_to(cr, rightEnd ? 28 : 32, 3.2);
    Stroke(cr, Lighter(pal::kWood, 0.45), 1.0);
    if (leftEnd || rightEnd) {
      for (int side = 0; side < 2; ++side) {
        if ((side == 0 && !leftEnd) || (side == 1 && !rightEnd)) continue;
        const double x = side == 0 ? 6 : 26;
        cairo_move_to(cr, x, 11);
        cairo_line_to(cr, 16 + (side == 0 ? -2 : 2), 24);
        Stroke(cr, pal::kOutline, 3.2);
        cairo_move_to(cr, x, 11);
        cairo_line_to(cr, 16 + (side == 0 ? -2 : 2), 24);
        Stroke(cr, pal::kWoodDark, 1.4);
      }
    }
    Circle(cr, 16, 6, 1.2);
    SetColor(cr, pal::kWoodDark);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  BeginTile(cr, code::kBrickWall);
  Bricks(cr, {0.55, 0.55, 0.62}, {0.35, 0.35, 0.42});
  cairo_restore(cr);
  BeginTile(cr, code::kCrate);
  Bevel(cr, pal::kWood, 2);
  cairo_rectangle(cr, 5, 5, 22, 22);
  Stroke(cr, pal::kWoodDark, 1.5);
  cairo_move_to(cr, 6, 6);
  cairo_line_to(cr, 26, 26);
  cairo_move_to(cr, 26, 6);
  cairo_line_to(cr, 6, 26);
  Stroke(cr, pal::kWoodDark, 2.2);
  cairo_restore(cr);
  BeginTile(cr, code::kMetal);
  Bevel(cr, {0.62, 0.66, 0.72}, 2);
  for (double px : {6.0, 26.0})
    for (double py : {6.0, 26.0}) {
      Circle(cr, px, py, 1.8);
      FillOutlined(cr, pal::kWhite, 0.8);
    }
  cairo_restore(cr);
  BeginTile(cr, code::kDirtBack);
  cairo_rectangle(cr, 0, 0, 32, 32);
  SetColor(cr, Darker(kDirt, 0.45));
  cairo_fill(cr);
  {
    Noise n(99);
    for (int i = 0; i < 6; ++i) {
      Ellipse(cr, n.Range(3, 29), n.Range(3, 29), n.Range(1.5, 3), n.Range(1, 2));
      SetColor(cr, Darker(kDirt, 0.35));
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);

  BeginTile(cr, code::kLadder);
  Ladder(cr);
  cairo_restore(cr);
  BeginTile(cr, code::kHangBar);
  HangBar(cr);
  cairo_restore(cr);
  BeginTile(cr, code::kSpikes);
  Spikes(cr);
  cairo_restore(cr);
  const Rgb lava{0.95, 0.35, 0.08}, water{0.20, 0.55, 0.85};
  BeginTile(cr, code::kLavaTop);
  Liquid(cr, true, lava, 5);
  cairo_restore(cr);
  BeginTile(cr, code::kLava);
  Liquid(cr, false, lava, 6);
  cairo_restore(cr);
  BeginTile(cr, code::kWaterTop);
  Liquid(cr, true, water, 7);
  cairo_restore(cr);
  BeginTile(cr, code::kWater);
  Liquid(cr, false, water, 8);
  cairo_restore(cr);

  for (int f = 0; f < 6; ++f) {  // the editor's picture of each flower
    BeginTile(cr, code::kFlowers[f]);
    PaintFlower(cr, -4, -1, 0.6, f);
    cairo_restore(cr);
  }
  for (int c = code::kGrassTuft; c <= code::kVines; ++c) {
    BeginTile(cr, c);
    Decoration(cr, c);
    cairo_restore(cr);
  }

  BeginTile(cr, code::kBrick);
  Bricks(cr, {0.80, 0.38, 0.22}, {0.95, 0.85, 0.70});
  cairo_restore(cr);
  BeginTile(cr, code::kRandomBlock);
  BonusBlock(cr, pal::kGold, -1);
  DrawBigText(cr, 9, 6, "?", 2.3, 2.2, pal::kWhite, pal::kCream, pal::kGoldDark, 1.4);
  cairo_restore(cr);
  const struct {
    int code;
    Rgb color;
    int badge;
  } blocks[] = {{code::kFreezeBlock, {0.55, 0.85, 0.95}, 0}, {code::kSuperBlock, {0.98, 0.62, 0.30}, 1},
                {code::kJumpBlock, {0.55, 0.88, 0.45}, 2},   {code::kDigBlock, {0.80, 0.62, 0.40}, 3},
                {code::kPlumPowerBlock, {0.78, 0.58, 0.90}, 4}, {code::kLifeBlock, {1.0, 0.70, 0.80}, 5}};
  for (const auto& b : blocks) {
    BeginTile(cr, b.code);
    BonusBlock(cr, b.color, b.badge);
    cairo_restore(cr);
  }
  BeginTile(cr, code::kCheckpoint);
  BonusBlock(cr, {0.45, 0.80, 0.55}, -1);
  cairo_move_to(cr, 11, 26);
  cairo_line_to(cr, 11, 6);
  Stroke(cr, pal::kOutline, 2.4);
  cairo_move_to(cr, 12, 6.5);
  cairo_line_to(cr, 24, 10.5);
  cairo_line_to(cr, 12, 15);
  cairo_close_path(cr);
  FillOutlined(cr, pal::kWhite, 1.2);
  cairo_restore(cr);

  // plum blocks: a dotted outline while the power is off, a solid block when on
  BeginTile(cr, code::kPlumOff);
  RoundRect(cr, 2, 2, 28, 28, 4);
  const double dash[] = {3.0, 3.0};
  cairo_set_dash(cr, dash, 2, 0);
  Stroke(cr, {0.70, 0.45, 0.85}, 2.0);
  cairo_set_dash(cr, nullptr, 0, 0);
  cairo_restore(cr);
  BeginTile(cr, code::kPlumOn);
  Bevel(cr, {0.60, 0.32, 0.72}, 4);
  Circle(cr, 16, 17, 7);
  FillShaded(cr, {0.50, 0.18, 0.58}, 10, 24, 1.2);
  Gloss(cr, 13.5, 14, 1.8, 1.2, 0.7);
  cairo_restore(cr);

  // markers, as the editor shows them (not drawn in play)
  auto markerFrame = [&](int c, Rgb color) {
    const Rect r = TileRect(c);
    RoundRect(cr, r.x + 1, r.y + 1, 30, 30, 5);
    SetColor(cr, color, 0.55);
    cairo_fill(cr);
  };
  markerFrame(code::kStart, {0.95, 0.75, 0.85});
  BeginTile(cr, code::kStart);
  cairo_restore(cr);
  PaintHeroPortrait(cr, TileRect(code::kStart).x, TileRect(code::kStart).y, 1.0, 1);
  markerFrame(code::kFruit, {1.0, 0.85, 0.85});
  PaintFruitPortrait(cr, TileRect(code::kFruit).x, TileRect(code::kFruit).y, 1.0);
  markerFrame(code::kKey, {1.0, 0.95, 0.75});
  PaintKeyIcon(cr, TileRect(code::kKey).x, TileRect(code::kKey).y, 1.0);
  markerFrame(code::kSpring, {0.90, 0.90, 0.95});
  PaintSpringIcon(cr, TileRect(code::kSpring).x, TileRect(code::kSpring).y - 1, 1.0, 0);
  markerFrame(code::kWalker, {1.0, 0.85, 0.80});
  PaintEnemyPortrait(cr, TileRect(code::kWalker).x, TileRect(code::kWalker).y + 1, 1.0, 1, false);
  markerFrame(code::kSlowWalker, {0.90, 0.85, 1.0});
  PaintEnemyPortrait(cr, TileRect(code::kSlowWalker).x, TileRect(code::kSlowWalker).y + 1, 1.0, 1, true);
  for (int c : {code::kShuttle, code::kOrbit}) {
    markerFrame(c, {0.80, 0.95, 0.95});
    BeginTile(cr, c);
    PaintPlatformShape(cr, 3, 13, 26);
    if (c == code::kShuttle) {
      cairo_move_to(cr, 4, 6);
      cairo_line_to(cr, 28, 6);
      cairo_move_to(cr, 8, 2.5);
      cairo_line_to(cr, 4, 6);
      cairo_line_to(cr, 8, 9.5);
      cairo_move_to(cr, 24, 2.5);
      cairo_line_to(cr, 28, 6);
      cairo_line_to(cr, 24, 9.5);
    } else {
      cairo_arc(cr, 16, 8, 5.5, 0.3, 2 * M_PI - 0.3);
      cairo_move_to(cr, 21.5, 3.5);
      cairo_line_to(cr, 21.2, 6.6);
      cairo_line_to(cr, 24.5, 6.2);
    }
    Stroke(cr, pal::kOutline, 1.8);
    cairo_restore(cr);
  }
  BeginTile(cr, code::kExitDoor);
  PaintDoor(cr, 0, 0, 0, true);
  cairo_restore(cr);

  // kind icons in column 11 (and below the grid for kinds 18 and 19)
  for (int k = 0; k < kKindCount; ++k) {
    cairo_save(cr);
    cairo_rectangle(cr, kKindIconX, 32 * k, 32, 32);
    cairo_clip(cr);
    cairo_translate(cr, kKindIconX, 32 * k);
    KindIcon(cr, k);
    cairo_restore(cr);
  }

  // legend right of the tile columns (never used as tiles)
  cairo_rectangle(cr, 384, 0, kTileSheetW - 384, kTileSheetH);
  SetColor(cr, {0.16, 0.14, 0.22});
  cairo_fill(cr);
  for (int k = 0; k < kKindCount; ++k) {
    const int y = 32 * k;
    cairo_move_to(cr, 384, y + 0.5);
    cairo_line_to(cr, kTileSheetW, y + 0.5);
    SetColor(cr, {0.30, 0.28, 0.40});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    DrawSmallText(cr, 392, y + 10, "<", pal::kGold, pal::kOutline);
    DrawSmallText(cr, 404, y + 10, std::to_string(k), pal::kGold, pal::kOutline);
    DrawSmallText(cr, 430, y + 10, kKinds[k].name, pal::kWhite, pal::kOutline);
  }
  DrawBigText(cr, 610, 20, "TILE", 2, 2, pal::kWhite, pal::kGold, pal::kOutline, 1.5);
  DrawBigText(cr, 610, 46, "KINDS", 2, 2, pal::kWhite, pal::kGold, pal::kOutline, 1.5);
  DrawSmallText(cr, 610, 84, "click a kind on", pal::kCream, pal::kOutline);
  DrawSmallText(cr, 610, 98, "the left then a", pal::kCream, pal::kOutline);
  DrawSmallText(cr, 610, 112, "tile to give it", pal::kCream, pal::kOutline);
  DrawSmallText(cr, 610, 126, "that kind", pal::kCream, pal::kOutline);
  return canvas.ToKeyed();
}

}  // namespace assetgen
