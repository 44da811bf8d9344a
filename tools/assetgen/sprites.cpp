#include "sprites.h"

#include <string>

#include "font.h"
#include "layout.h"

namespace assetgen {

Image PaintSpriteSheet() {
  Canvas canvas(kSheetSize, kSheetSize);
  cairo_t* cr = canvas.cr();
  PaintCharacters(cr);
  PaintObjects(cr);
  PaintInterface(cr);
  return canvas.ToKeyed();
}

std::vector<NamedRect> AllSpriteRects() {
  std::vector<NamedRect> out;
  auto strip = [&](const Strip& s) {
    for (int r = 0; r < s.rows; ++r)
      for (int f = 0; f < s.frames; ++f) out.push_back({s.name, {s.x + f * s.w, s.y + r * s.h, s.w, s.h}});
  };
  strip(kSmallDigits);
  out.push_back({"hint door open", kHintDoorOpen});
  out.push_back({"hint need key", kHintNeedKey});
  out.push_back({"help panel", kHelpPanel});
  out.push_back({"hud lives", kHudLives});
  out.push_back({"platform", kPlatform});
  strip(kDust);
  out.push_back({"spark star", kSparkStar});
  out.push_back({"spark hurt", kSparkHurt});
  out.push_back({"keyboard icon", kIconKeyboard});
  out.push_back({"joystick icon", kIconJoystick});
  strip(kSpring);
  strip(kPortal);
  out.push_back({"key", kKey});
  out.push_back({"hud stage", kHudStage});
  out.push_back({"poof", kPoof});
  strip(kHero);
  strip(kWalker);
  strip(kSlowWalker);
  strip(kFruit);
  strip(kPowerItems);
  out.push_back({"life bonus", kLifeBonus});
  for (const Rect& r : kFlowers) out.push_back({"flower", r});
  for (const Rect& r : kButtons) out.push_back({"button", r});
  for (const Rect& r : kButtonsHover) out.push_back({"button hovered", r});
  out.push_back({"stage plate", kStagePlate});
  out.push_back({"pause", kPauseSign});
  out.push_back({"game over", kGameOverSign});
  for (const Rect& r : kBigDigits) out.push_back({"big digit", r});
  out.push_back({"cursor", kCursor});
  out.push_back({"brick chip", kBrickChip});
  strip(kDigBomb);
  strip(kDigBlast);
  for (int c = kFontFirst; c <= kFontLast; ++c)
    if (FontWidth(c) > 0) out.push_back({"font glyph", {kFontX + FontOffset(c), kFontY, FontWidth(c), kFontHeight}});
  return out;
}

}  // namespace assetgen
