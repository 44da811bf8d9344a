// The sprite sheet and the pieces of it that other pictures reuse.
#pragma once
#include <cairo.h>

#include "image.h"

namespace assetgen {

// The 1024 x 1024 keyed sprite sheet.
Image PaintSpriteSheet();

void PaintCharacters(cairo_t* cr);
void PaintObjects(cairo_t* cr);
void PaintInterface(cairo_t* cr);

// Standalone drawings at (x, y) in a 32 x 32 box times scale (used for icons
// on the tile sheet and the full-screen pictures).
void PaintHeroPortrait(cairo_t* cr, double x, double y, double scale, double dir);
void PaintEnemyPortrait(cairo_t* cr, double x, double y, double scale, double dir, bool snail);
void PaintFruitPortrait(cairo_t* cr, double x, double y, double scale);
void PaintKeyIcon(cairo_t* cr, double x, double y, double scale);
void PaintSpringIcon(cairo_t* cr, double x, double y, double scale, double compress);
void PaintDoor(cairo_t* cr, double x, double y, double open, bool locked);
void PaintPlatformShape(cairo_t* cr, double x, double y, double w);
// Power badges: 0 freeze, 1 super, 2 super jump, 3 dig, 4 plum, 5 extra life.
void PaintPowerBadge(cairo_t* cr, double x, double y, double scale, int which);
void PaintFlower(cairo_t* cr, double x, double y, double scale, int which);

}  // namespace assetgen
