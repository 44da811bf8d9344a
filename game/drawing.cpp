#include "game/drawing.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/graphics/KGraphic.h"
#include "engine/platform/KSystem.h"
#include "game/game_context.h"
#include "game/game_main.h"
#include "game/input_mapping.h"

bool flipNextSprite = false;
KGraphic* eraserSurface = nullptr;
KGraphic* selectionSurface = nullptr;
KGraphic* editorCursorSurface = nullptr;

namespace {

constexpr size_t kNameBufferSize = 256;
constexpr size_t kTextBufferSize = 512;

// Colour key of every sheet: pure blue.
constexpr uint8_t kKeyR = 0, kKeyG = 0, kKeyB = 255;

// Overlay rectangle: green at 20 % opacity.
constexpr float kOverlayR = 0.0f, kOverlayG = 1.0f, kOverlayB = 0.0f, kOverlayA = 0.2f;

// Small digits: digit d at (27 d, 1), 27 x 21, drawn 25 pixels apart.
constexpr int32_t kSmallDigitWidth = 27;
constexpr int32_t kSmallDigitHeight = 21;
constexpr int32_t kSmallDigitY = 1;
constexpr int32_t kSmallDigitAdvance = 25;

// Large digits, 48 high: source origin and width per digit.
constexpr int32_t kBigDigitHeight = 48;
struct Glyph {
  int32_t x, y, w;
};
constexpr Glyph kBigDigits[10] = {
    {731, 755, 30}, {761, 755, 30}, {791, 755, 34}, {825, 755, 30}, {851, 755, 35},
    {886, 755, 31}, {912, 755, 35}, {731, 805, 36}, {767, 805, 43}, {804, 805, 45},
};

// Small font: row y = 66, height 12; glyph c spans offset[c] + 8 to
// offset[c + 1] + 8 for the characters '0' (48) to 'z' (122), plus the end
// entry for '{'.
constexpr int32_t kFontY = 66;
constexpr int32_t kFontHeight = 12;
constexpr int32_t kFontX = 8;
constexpr int32_t kFontFirst = '0';
constexpr int32_t kFontLast = 'z';
constexpr int32_t kSpaceAdvance = 6;
constexpr int32_t kFontOffsets[kFontLast - kFontFirst + 2] = {
    0,   7,   12,  18,  24,  31,  37,  44,  50,  57,               // 0-9
    64,  67,  70,  75,  81,  86,  93,                               // : ; < = > ? @
    103, 113, 122, 131, 140, 149, 158, 167, 176, 179, 185, 194, 203,  // A-M
    214, 223, 232, 241, 250, 259, 268, 277, 286, 296, 307, 315, 322,  // N-Z
    328, 333, 340, 345, 353, 357,                                   // [ \ ] ^ _ `
    357, 364, 371, 377, 384, 391, 397, 404, 411, 414, 418, 425, 428,  // a-m
    439, 446, 453, 460, 467, 473, 480, 486, 493, 500, 511, 518, 525,  // n-z
    532,                                                            // { (end)
};

// Input-device icon: 64 x 54 at the lower left corner.
constexpr int32_t kIconX = 437;
constexpr int32_t kIconJoystickY = 162;
constexpr int32_t kIconKeyboardY = 107;
constexpr int32_t kIconWidth = 64;
constexpr int32_t kIconHeight = 54;

// Float to a 16-bit screen coordinate, truncating toward zero.
int16_t ToCoord(float v) {
  if (!(v == v)) return 0;
  if (v > 32767.0f) return 32767;
  if (v < -32768.0f) return -32768;
  return static_cast<int16_t>(v);
}

int16_t ToCoord(int32_t v) {
  if (v > 32767) return 32767;
  if (v < -32768) return -32768;
  return static_cast<int16_t>(v);
}

// Replaces the surface in slot with a freshly loaded one; shows message
// when the picture cannot be loaded (the slot then stays empty).
void ReloadSlot(KGraphic** slot, const char* fileName, const char* message) {
  delete *slot;
  *slot = LoadSpriteSurface(fileName);
  if (*slot == nullptr) ShowProblem(message);
}

}  // namespace

KGraphic* LoadSpriteSurface(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  // Looked up beside the program (archive first, then disk). The loader
  // lower-cases the name in place, so it works on a copy.
  char name[kNameBufferSize];
  std::snprintf(name, sizeof(name), "%s", KSystem::MakeFilePath(fileName));
  KGraphic* surface = CreateKGraphic();
  if (surface == nullptr) return nullptr;
  surface->SetColorKey(true, kKeyR, kKeyG, kKeyB);
  if (!surface->LoadPicture(name, true, true)) {
    delete surface;
    return nullptr;
  }
  return surface;
}

bool DrawSprite(KGraphic* sheet, int32_t sx, int32_t sy, int32_t dx, int32_t dy, int32_t w,
                int32_t h, bool keyed) {
  if (sheet == nullptr) return false;
  const int32_t x = shakeX + dx, y = shakeY + dy;
  auto copy = [&](float srcY1, float srcY2, int32_t destY) {
    if (keyed) {
      sheet->BlitAlphaRectFlip(static_cast<float>(sx), srcY1, static_cast<float>(sx + w), srcY2,
                               ToCoord(x), ToCoord(destY), false, false);
    } else {
      sheet->BlitRectFlip(static_cast<float>(sx), srcY1, static_cast<float>(sx + w), srcY2,
                          ToCoord(x), ToCoord(destY), false, false);
    }
  };
  if (!flipNextSprite) {
    copy(static_cast<float>(sy), static_cast<float>(sy + h), y);
    return true;
  }
  flipNextSprite = false;
  for (int32_t i = 0; i < h; ++i) {
    const int32_t row = sy + h - 1 - i;
    copy(static_cast<float>(row), static_cast<float>(row + 1), y + i);
  }
  return true;
}

bool DrawSpriteScaled(KGraphic* sheet, float sx, float sy, float dx, float dy, int32_t w,
                      int32_t h, float angle, float scale) {
  if (sheet == nullptr) return false;
  const int16_t x = ToCoord(shakeX + dx), y = ToCoord(shakeY + dy);
  if (!flipNextSprite) {
    sheet->BlitAlphaRectFx(sx, sy, sx + w, sy + h, x, y, angle, scale, 1.0f, false, false, 0, 0);
    return true;
  }
  flipNextSprite = false;
  for (int32_t i = 0; i < h; ++i) {
    const float row = sy + static_cast<float>(h - 1 - i);
    sheet->BlitAlphaRectFx(sx, row, sx + w, row + 1, x, ToCoord(static_cast<int32_t>(y) + i),
                           angle, 1.0f, 1.0f, false, false, 0, 0);
  }
  return true;
}

void DrawOverlayRect(KGraphic* sheet, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (sheet == nullptr) return;
  sheet->FillRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + w),
                  static_cast<float>(y + h), kOverlayR, kOverlayG, kOverlayB, kOverlayA);
}

void DrawSmallNumber(int32_t x, int32_t y, int32_t value) {
  int32_t digits = 1;
  for (int32_t v = value; v >= 10; v /= 10) ++digits;
  int32_t divisor = 1;
  for (int32_t k = 1; k < digits; ++k) divisor *= 10;
  for (int32_t k = 0; k < digits; ++k, divisor /= 10) {
    int32_t digit = (value / divisor) % 10;
    if (digit < 0) digit = -digit;  // a negative value shows its last digit, never a bogus glyph
    DrawSprite(spritesSurface, kSmallDigitWidth * digit, kSmallDigitY, x + kSmallDigitAdvance * k,
               y, kSmallDigitWidth, kSmallDigitHeight, true);
  }
}

void DrawBigNumber(int32_t value, int32_t x, int32_t y, int32_t advance) {
  if (value < 0) return;
  int32_t divisor = 1;
  while (value / divisor >= 10) divisor *= 10;
  for (; divisor > 0; divisor /= 10) {
    const Glyph& g = kBigDigits[(value / divisor) % 10];
    DrawSprite(spritesSurface, g.x, g.y, x, y, g.w, kBigDigitHeight, true);
    x += advance != 0 ? advance : g.w;
  }
}

void DrawText(int32_t x, int32_t y, const char* format, ...) {
  if (format == nullptr) return;
  char text[kTextBufferSize];
  std::memset(text, 0, sizeof(text));
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  for (const char* p = text; *p != '\0'; ++p) {
    const int32_t c = static_cast<unsigned char>(*p);
    if (c == ' ') {
      x += kSpaceAdvance;
      continue;
    }
    if (c < kFontFirst || c > kFontLast) continue;  // no glyph: skipped, no advance
    const int32_t offset = kFontOffsets[c - kFontFirst];
    const int32_t width = kFontOffsets[c - kFontFirst + 1] - offset;
    if (width > 0) {
      DrawSprite(spritesSurface, offset + kFontX, kFontY, x, y, width, kFontHeight, true);
    }
    x += width;
  }
}

void DrawBackground() {
  DrawSprite(backgroundSurface, 0, 0, 0, 0, kScreenWidth, kScreenHeight, false);
}

void DrawInputDeviceIcon() {
  DrawSprite(spritesSurface, kIconX, joystickPresent ? kIconJoystickY : kIconKeyboardY, 0,
             kScreenHeight - kIconHeight, kIconWidth, kIconHeight, true);
}

void LoadEpisodeSurfaces(int32_t episode) {
  (void)episode;  // every episode uses the same pictures
  delete backgroundSurface;
  backgroundSurface = nullptr;
  ReloadSlot(&eraserSurface, "gomme.bmp", "On a pas pu charger la surface : gomme");
  ReloadSlot(&selectionSurface, "selection.bmp", "On a pas pu charger la surface : selection");
  ReloadSlot(&editorCursorSurface, "souris.bmp", "On a pas pu charger la surface : souris");
  ReloadSlot(&backgroundSurface, "world1.bmp", "On a pas pu charger : background");
  ReloadSlot(&tileSheetSurface, "table1blts.bmp", "On a pas pu charger : table");
}

bool RestoreSurfaces() {
  if (panelsSurface == nullptr) {
    panelsSurface = LoadSpriteSurface("panels.bmp");
    if (panelsSurface == nullptr) return ShowProblem("On a pas pu charger: panel.bmp");
  }
  if (spritesSurface == nullptr) {
    spritesSurface = LoadSpriteSurface("sprites.bmp");
    if (spritesSurface == nullptr) return ShowProblem("On a pas pu charger: sprites.bmp");
  }
  LoadEpisodeSurfaces(currentEpisode);
  return true;
}

bool LoadSurfaces() {
  if (!RestoreSurfaces()) return ShowProblem("RestoreSurfaces Failed!");
  return true;
}

void ReleaseSurfaces() {
  KGraphic** slots[] = {&panelsSurface,  &spritesSurface,   &tileSheetSurface,   &backgroundSurface,
                        &eraserSurface, &selectionSurface, &editorCursorSurface};
  for (KGraphic** slot : slots) {
    delete *slot;
    *slot = nullptr;
  }
}
