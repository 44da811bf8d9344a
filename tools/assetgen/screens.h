// Full-screen pictures (800 x 600) and the small editor pictures.
#pragma once
#include "image.h"

namespace assetgen {

Image PaintTitleScreen();   // presblts.bmp
Image PaintWorldBackdrop(); // world1.bmp
Image PaintScoreScreen();   // levelscore.bmp
Image PaintEndingScreen();  // endoflevel.bmp
Image PaintCreditsScreen(); // credit.bmp
Image PaintCurtain();       // panels.bmp
Image PaintBrushMark();     // selection.bmp
Image PaintEditorCursor();  // souris.bmp
Image PaintEraser();        // gomme.bmp

}  // namespace assetgen
