// The built-in stage editor (F1 inside a stage once it is unlocked): a palette
// of the tile sheet to pick a brush from, painting with the mouse, growing and
// shrinking the map at each edge, and assigning tile kinds.
#pragma once

#include <cstdint>

constexpr int32_t kBrushSize = 16;

struct BrushEntry {
  bool used;
  int32_t x;     // palette pixel position it was picked at (multiple of 32)
  int32_t y;
  int32_t code;  // tile code 0..215
};

extern bool editorMode;      // editing is on: objects stand still, the editor map is drawn
extern bool paletteView;     // the palette is shown instead of the map
extern int32_t viewCol;      // map cell shown at the top-left of the editor view
extern int32_t viewRow;
extern BrushEntry brush[kBrushSize];
extern int32_t brushAnchor;  // the entry picked first
extern int32_t selectedCode; // tile code last picked on the palette
extern int32_t kindPick;     // kind waiting to be assigned, -1 = none

// Everything back to the start-of-game state (editor off, brush empty).
void ResetEditor();
// One editor frame with the input bits (end of every level frame).
void EditorStep(uint32_t bits);
// The map as the editor shows it, in place of the normal tile drawing.
void DrawEditorMap();
