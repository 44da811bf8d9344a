// Interface pieces of the sprite sheet: digits, font row, signs, buttons,
// HUD and input icons, pointer and help panel.
#include <cmath>
#include <string>

#include "layout.h"
#include "paint.h"
#include "sprites.h"

namespace assetgen {

namespace {

constexpr Rgb kDigitTop{1.0, 0.98, 0.80};
constexpr Rgb kDigitBottom{1.0, 0.74, 0.18};
constexpr double kSmallDigitPixelRatio = 1.5;  // pixel width / height of the small digits
constexpr double kBigDigitInkW = 22.0;  // glyph width of every big digit, outline aside

void Begin(cairo_t* cr, const Rect& r, int margin = 0) {
  cairo_save(cr);
  cairo_rectangle(cr, r.x + margin, r.y + margin, r.w - 2 * margin, r.h - 2 * margin);
  cairo_clip(cr);
  cairo_translate(cr, r.x, r.y);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

// A glyph of the pixel font stretched into a box of inkW x inkH at (x, y).
// Narrow glyphs keep their shape (pixels at most maxPixelRatio times wider than
// tall, the glyph at most maxGlyphW wide without its outline) and are
// centred, or set against the left edge when leftAlign is on.
void FittedGlyph(cairo_t* cr, char c, double x, double y, double inkW, double inkH, double outline,
                 double maxPixelRatio = 1.25, double maxGlyphW = 1e9, bool leftAlign = false) {
  const int gw = FontWidth(c) - 1;
  const double sy = (inkH - 2 * outline) / 9.0;
  double sx = (inkW - 2 * outline) / gw;
  if (sx > sy * maxPixelRatio) sx = sy * maxPixelRatio;
  if (sx * gw > maxGlyphW) sx = maxGlyphW / gw;
  const double w = gw * sx + 2 * outline;
  DrawBigText(cr, x + outline + (leftAlign ? 0 : (inkW - w) / 2), y + outline, std::string(1, c), sx, sy,
              kDigitTop, kDigitBottom, pal::kOutline, outline);
}

void SignBoard(cairo_t* cr, double w, double h, Rgb base) {
  RoundRect(cr, 1, 1, w - 2, h - 2, 6);
  FillShaded(cr, base, 1, h - 1, 2.0);
  RoundRect(cr, 3.5, 3.5, w - 7, h - 7, 4);
  SetColor(cr, pal::kWhite, 0.45);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

void Button(cairo_t* cr, const Rect& r, int which, bool hover) {
  Begin(cr, r);
  const double w = r.w, h = r.h;
  const Rgb colors[4] = {{0.98, 0.62, 0.18}, {0.98, 0.62, 0.18}, {0.30, 0.75, 0.28}, {0.88, 0.28, 0.30}};
  Rgb base = colors[which];
  if (hover) base = Lighter(base, 0.25);
  const double inset = hover ? 1.0 : 3.0;
  if (hover) {  // a warm glow ring
    RoundRect(cr, 0.5, 0.5, w - 1, h - 1, 14);
    SetColor(cr, {1.0, 0.95, 0.45});
    cairo_fill(cr);
  }
  RoundRect(cr, inset + 1, inset + 3, w - 2 * inset - 2, h - 2 * inset - 3, 11);
  SetColor(cr, Darker(base, 0.5));
  cairo_fill(cr);  // drop edge
  RoundRect(cr, inset + 1, inset + 1, w - 2 * inset - 2, h - 2 * inset - 5, 11);
  FillShaded(cr, base, inset, h - inset - 4, 2.0);
  Gloss(cr, w * 0.35, inset + 7, w * 0.22, 3.2, 0.45);
  const Rgb ink = pal::kWhite;
  if (which < 2) {
    const double dir = which == 0 ? -1 : 1;
    const double cx = w / 2 + dir * 2, cy = h / 2 - 1.5;
    cairo_move_to(cr, cx + dir * 11, cy);
    cairo_line_to(cr, cx - dir * 8, cy - 13);
    cairo_line_to(cr, cx - dir * 8, cy + 13);
    cairo_close_path(cr);
    FillOutlined(cr, ink, 2.2, pal::kOutline);
  } else {
    const std::string text = which == 2 ? "PLAY" : "QUIT";
    const double sx = 2.6, sy = which == 2 ? 3.0 : 3.4;
    const double tw = BigTextWidth(text, sx);
    DrawBigText(cr, (w - tw) / 2, (h - 4 - 9 * sy) / 2, text, sx, sy, pal::kWhite, pal::kCream, pal::kOutline,
                2.0);
  }
  cairo_restore(cr);
}

void Keyboard(cairo_t* cr) {
  RoundRect(cr, 3, 12, 58, 32, 5);
  FillShaded(cr, {0.80, 0.82, 0.88}, 12, 44, 1.8);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 6; ++col) {
      const double kx = 7 + col * 8.5 + (row == 1 ? 2 : 0), ky = 16 + row * 8;
      RoundRect(cr, kx, ky, 6.5, 6, 1.2);
      FillOutlined(cr, pal::kWhite, 0.9);
    }
  RoundRect(cr, 17, 40, 30, 3.2, 1.2);  // space bar
  FillOutlined(cr, pal::kWhite, 0.9);
}

void Joystick(cairo_t* cr) {
  cairo_move_to(cr, 31, 31);
  cairo_line_to(cr, 26, 9);
  Stroke(cr, pal::kOutline, 5);
  cairo_move_to(cr, 31, 31);
  cairo_line_to(cr, 26, 9);
  Stroke(cr, pal::kStone, 2.6);
  RoundRect(cr, 8, 30, 48, 16, 7);
  FillShaded(cr, {0.30, 0.30, 0.38}, 30, 46, 1.8);
  Circle(cr, 26, 9, 6);
  FillShaded(cr, pal::kRed, 3, 15, 1.5);
  Gloss(cr, 24, 7, 2, 1.3, 0.8);
  Circle(cr, 46, 35, 3);
  FillOutlined(cr, {1.0, 0.75, 0.1}, 1.1);
}

}  // namespace

void PaintInterface(cairo_t* cr) {
  // small digits: ink in columns 0..24, the last two columns stay clear
  for (int d = 0; d < 10; ++d) {
    const Rect r{kSmallDigits.x + d * kSmallDigits.w, kSmallDigits.y, kSmallDigitAdvance - 1, kSmallDigits.h};
    Begin(cr, r);
    // wide pixels fill the cell, so "10" does not read as "1 0" at the fixed advance
    FittedGlyph(cr, static_cast<char>('0' + d), 0.5, 0, r.w - 1, 20, 1.6, kSmallDigitPixelRatio);
    cairo_restore(cr);
  }
  // big digits: each glyph inside its own columns; shared columns stay clear
  for (int d = 0; d < 10; ++d) {
    Rect r = kBigDigits[d];
    for (int o = 0; o < 10; ++o) {
      if (o == d || kBigDigits[o].y != r.y) continue;
      const Rect& q = kBigDigits[o];
      if (q.x < r.x && q.x + q.w > r.x) {  // the left neighbour reaches into us
        const int cut = q.x + q.w - r.x;
        r.x += cut;
        r.w -= cut;
      }
      if (q.x > r.x && q.x < r.x + r.w) r.w = q.x - r.x;  // we reach into the right neighbour
    }
    // The menu draws the stage number with each cell's full width as its
    // advance, right up to the stage plate: digits of one width, set against
    // the left edge of their cells, keep "18" and "19" off the plate.
    Begin(cr, r, 1);
    FittedGlyph(cr, static_cast<char>('0' + d), 1, 0.5, r.w - 2, 46.5, 2.6, 1.1, kBigDigitInkW, true);
    cairo_restore(cr);
  }
  // small font row
  cairo_save(cr);
  for (int c = kFontFirst; c <= kFontLast; ++c) {
    if (FontWidth(c) == 0) continue;
    DrawSmallText(cr, kFontX + FontOffset(c), kFontY, std::string(1, static_cast<char>(c)), pal::kWhite,
                  {0.20, 0.10, 0.22});
  }
  cairo_restore(cr);

  // exit hints
  Begin(cr, kHintDoorOpen);
  SignBoard(cr, kHintDoorOpen.w, kHintDoorOpen.h, {0.55, 0.85, 0.40});
  cairo_restore(cr);
  Begin(cr, kHintDoorOpen, 2);
  cairo_translate(cr, 8, 4);
  cairo_scale(cr, 0.55, 0.55);
  PaintDoor(cr, 0, 0, 1.0, false);
  cairo_restore(cr);
  Begin(cr, kHintDoorOpen);
  DrawSmallText(cr, 36, 7, "the door is open", {0.12, 0.25, 0.08}, {0.80, 0.95, 0.70});
  cairo_restore(cr);

  Begin(cr, kHintNeedKey);
  SignBoard(cr, kHintNeedKey.w, kHintNeedKey.h, {0.98, 0.82, 0.45});
  PaintKeyIcon(cr, 9, 3, 0.6);
  cairo_move_to(cr, 8, 4);
  cairo_line_to(cr, 27, 21);
  Stroke(cr, pal::kRed, 2.2);
  DrawSmallText(cr, 36, 7, "you need a key", {0.30, 0.14, 0.05}, {1.0, 0.93, 0.70});
  cairo_restore(cr);

  // help panel
  Begin(cr, kHelpPanel);
  RoundRect(cr, 1.5, 1.5, kHelpPanel.w - 3, kHelpPanel.h - 3, 10);
  FillShaded(cr, {0.25, 0.20, 0.40}, 0, kHelpPanel.h, 2.2);
  DrawBigText(cr, 16, 9, "CONTROLS", 1.6, 1.6, pal::kWhite, pal::kGold, pal::kOutline, 1.4);
  {
    const char* lines[][2] = {{"arrows", "walk and climb"}, {"space", "jump"},     {"shift", "run"},
                              {"p", "pause"},               {"escape", "menu"},    {"f", "full screen"},
                              {"g", "window"}};
    int y = 34;
    for (const auto& l : lines) {
      DrawSmallText(cr, 16, y, l[0], pal::kGold, pal::kOutline);
      DrawSmallText(cr, 74, y, "=", pal::kWhite, pal::kOutline);
      DrawSmallText(cr, 90, y, l[1], pal::kWhite, pal::kOutline);
      y += 17;
    }
  }
  cairo_restore(cr);

  // HUD lives: the hero's face and a little "x"; the count follows at +55
  Begin(cr, kHudLives);
  PaintHeroPortrait(cr, 1, -5.5, 0.75, 1);
  DrawBigText(cr, 28, 4, "x", 1.4, 1.3, pal::kWhite, pal::kCream, pal::kOutline, 1.2);
  cairo_restore(cr);

  // HUD stage icon: a pennant on a pole
  Begin(cr, kHudStage);
  cairo_move_to(cr, 8, 23);
  cairo_line_to(cr, 8, 2);
  Stroke(cr, pal::kOutline, 3.4);
  cairo_move_to(cr, 8, 23);
  cairo_line_to(cr, 8, 2);
  Stroke(cr, pal::kWood, 1.4);
  cairo_move_to(cr, 9, 3);
  cairo_curve_to(cr, 16, 1, 22, 7, 29, 5);
  cairo_line_to(cr, 24, 10.5);
  cairo_line_to(cr, 29, 16);
  cairo_curve_to(cr, 22, 17, 16, 12, 9, 15);
  cairo_close_path(cr);
  FillShaded(cr, pal::kRed, 2, 16, 1.4);
  Circle(cr, 8, 2.5, 1.8);
  FillOutlined(cr, pal::kGold, 0.9);
  cairo_restore(cr);

  Begin(cr, kIconKeyboard, 1);
  Keyboard(cr);
  cairo_restore(cr);
  Begin(cr, kIconJoystick, 1);
  Joystick(cr);
  cairo_restore(cr);

  for (int b = 0; b < 4; ++b) {
    Button(cr, kButtons[b], b, false);
    Button(cr, kButtonsHover[b], b, true);
  }

  // stage plate: opaque, on the menu panel colour so it sits on the panel; a
  // wooden sign nailed at its four corners with the word centred on it
  Begin(cr, kStagePlate);
  cairo_rectangle(cr, 0, 0, kStagePlate.w, kStagePlate.h);
  SetColor(cr, pal::kMenuPanel);
  cairo_fill(cr);
  RoundRect(cr, 4, 8, kStagePlate.w - 8, kStagePlate.h - 16, 8);
  FillShaded(cr, pal::kWood, 8, kStagePlate.h - 8, 2.0);
  for (double px : {10.0, kStagePlate.w - 10.0})
    for (double py : {14.0, kStagePlate.h - 14.0}) {
      Circle(cr, px, py, 1.8);
      FillOutlined(cr, pal::kStone, 0.8);
    }
  {
    const double sx = 1.9, sy = 2.2;
    const double tw = BigTextWidth("STAGE", sx);
    DrawBigText(cr, (kStagePlate.w - tw) / 2, (kStagePlate.h - 9 * sy) / 2 - 1, "STAGE", sx, sy, pal::kWhite,
                pal::kCream, pal::kOutline, 1.6);
  }
  cairo_restore(cr);

  Begin(cr, kPauseSign);
  SignBoard(cr, kPauseSign.w, kPauseSign.h, {0.35, 0.60, 0.90});
  {
    const double tw = BigTextWidth("PAUSE", 2.0);
    DrawBigText(cr, (kPauseSign.w - tw) / 2, 8, "PAUSE", 2.0, 2.1, pal::kWhite, pal::kCream, pal::kOutline, 1.5);
  }
  cairo_restore(cr);
  Begin(cr, kGameOverSign);
  SignBoard(cr, kGameOverSign.w, kGameOverSign.h, {0.70, 0.22, 0.30});
  {
    const double tw = BigTextWidth("GAME OVER", 2.0);
    DrawBigText(cr, (kGameOverSign.w - tw) / 2, 8, "GAME OVER", 2.0, 2.1, pal::kWhite, pal::kCream,
                pal::kOutline, 1.5);
  }
  cairo_restore(cr);

  // pointer: hot spot at the top-left corner, arrow within about 38 x 45
  Begin(cr, kCursor);
  cairo_move_to(cr, 2, 2);
  cairo_line_to(cr, 2, 36);
  cairo_line_to(cr, 10.5, 28.5);
  cairo_line_to(cr, 17, 42);
  cairo_line_to(cr, 23.5, 39);
  cairo_line_to(cr, 17, 26);
  cairo_line_to(cr, 28, 25.5);
  cairo_close_path(cr);
  FillShaded(cr, pal::kWhite, 2, 42, 2.4);
  cairo_restore(cr);
}

}  // namespace assetgen
