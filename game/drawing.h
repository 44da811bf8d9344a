// The game's sprite sheets and the drawing helpers every screen uses. All
// sprite copies add the screen-shake offsets (shakeX, shakeY) to the
// destination, so a shake moves the whole picture.
#pragma once

#include <cstdint>

class KGraphic;

// One-shot: the next DrawSprite / DrawSpriteScaled draws upside down.
extern bool flipNextSprite;

// Editor pictures, loaded with the episode surfaces.
extern KGraphic* eraserSurface;        // "gomme.bmp" (loaded, never drawn)
extern KGraphic* selectionSurface;     // "selection.bmp": mark for brush cells
extern KGraphic* editorCursorSurface;  // "souris.bmp": editor cursor

// Opens a bitmap with the colour key pure blue switched on; null on failure.
KGraphic* LoadSpriteSurface(const char* fileName);

// Copies the w x h rectangle at (sx, sy) of the sheet to (dx, dy); keyed skips
// key-coloured pixels. False only when sheet is null.
bool DrawSprite(KGraphic* sheet, int32_t sx, int32_t sy, int32_t dx, int32_t dy,
                int32_t w, int32_t h, bool keyed);
// Keyed copy turned by angle (degrees) and scaled about the rectangle's centre.
bool DrawSpriteScaled(KGraphic* sheet, float sx, float sy, float dx, float dy,
                      int32_t w, int32_t h, float angle, float scale);
// Translucent green rectangle (no shake offset).
void DrawOverlayRect(KGraphic* sheet, int32_t x, int32_t y, int32_t w, int32_t h);
// Small digits from spritesSurface, 25 pixels apart.
void DrawSmallNumber(int32_t x, int32_t y, int32_t value);
// Large digits; advance 0 moves by each glyph's own width. Negative: nothing.
void DrawBigNumber(int32_t value, int32_t x, int32_t y, int32_t advance);
// printf-style text in the small font; characters outside '0'..'z' and space
// are skipped.
void DrawText(int32_t x, int32_t y, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// The background picture, opaque, full screen at (0, 0).
void DrawBackground();
// Joystick or keyboard icon in the lower left corner.
void DrawInputDeviceIcon();

// Start-up loading: panels, sprites and the episode surfaces, with the
// game's messages. LoadSurfaces shows "RestoreSurfaces Failed!" on failure.
bool LoadSurfaces();
bool RestoreSurfaces();
// Background, tile sheet and editor pictures (same files for every episode).
void LoadEpisodeSurfaces(int32_t episode);
// Shutdown: panels, sprites, tile sheet, background (then the editor
// pictures); every slot is left null.
void ReleaseSurfaces();
