// The game's small pixel font (glyphs for '0'..'z' with fixed widths) and a
// scaled, outlined version of the same glyphs for titles and signs.
#pragma once
#include <cairo.h>
#include <string>

namespace assetgen {

constexpr int kFontFirst = '0';
constexpr int kFontLast = 'z';
constexpr int kFontHeight = 12;
constexpr int kFontSpace = 6;  // a space advances this far and has no glyph

// x offset of the glyph of c inside the font row (c in '0'..'{'); the glyph
// spans offset(c) .. offset(c+1)-1, its width is the difference.
int FontOffset(int c);
int FontWidth(int c);  // 0 for unknown characters; a few punctuation marks exist beyond the table
// True when glyph c has ink at (col, row); rows 0..11, cols 0..width-2.
bool FontInk(int c, int col, int row);

struct Rgb {
  double r, g, b;
};

// Width of text in small-font pixels (before scaling).
int TextWidth(const std::string& text);

// Small font at 1x with a dark shadow one pixel down and right.
void DrawSmallText(cairo_t* cr, int x, int y, const std::string& text, Rgb ink, Rgb shadow);

// The same glyphs with every pixel scaled to sx by sy, an outline of
// `outline` pixels around the ink and a vertical gradient from top to bottom.
void DrawBigText(cairo_t* cr, double x, double y, const std::string& text, double sx, double sy,
                 Rgb top, Rgb bottom, Rgb outline, double outlineW);
double BigTextWidth(const std::string& text, double sx);

}  // namespace assetgen
