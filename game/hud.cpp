// Heads-up display.
#include "game/hud.h"

#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "gameplay/items.h"

float fruitPanelY = kHudPanelShownY;
float livesPanelY = kHudPanelShownY;
float keysPanelY = kHudPanelShownY;

namespace {

const HudHelpLine kHelpLines[] = {
    {&powerState.freezeMs, 528, 250, " =  freeze your ennemies for a while"},
    {&powerState.superMs, 560, 250, " =  super bramblet can break some bricks"},
    {&powerState.superJumpMs, 592, 250, " =  make super jumps"},
    {&powerState.digMs, 624, 250, " =  you can dig holes"},
    {&powerState.plumMs, 656, 247, " =  plum blocks are usable"},
};
constexpr int32_t kHelpIconY = 550;
constexpr int32_t kHelpIconDrawY = 17;
constexpr float kHelpIconScale = 0.8f;
constexpr int32_t kHelpTextX = 280, kHelpTextY = 30;


// A counter of the display: its icon on the sprite sheet and the number
// beside it, both placed relative to the y of the panel that carries them.
struct HudCounter {
  int32_t srcX, srcY, w, h;  // icon on the sprite sheet
  int32_t x, iconDy;         // icon position: (x, panel y + iconDy)
  int32_t numberX, numberDy; // number position: (numberX, panel y + numberDy)
};
constexpr HudCounter kFruitCounter = {528, 516, 32, 32, 2, -5, 40, 5};
constexpr HudCounter kLivesCounter = {960, 4, 63, 18, 490, 0, 545, 5};
constexpr HudCounter kKeysCounter = {507, 121, 32, 32, 280, 0, 322, 5};
constexpr HudCounter kStageCounter = {507, 155, 32, 24, 682, 0, 720, 3};

void DrawCounter(const HudCounter& c, int32_t panelY, int32_t value) {
  DrawSprite(spritesSurface, c.srcX, c.srcY, c.x, panelY + c.iconDy, c.w, c.h, true);
  DrawSmallNumber(c.numberX, panelY + c.numberDy, value);
}

// Slides a panel towards shown or hidden.
void SlidePanel(float& y, bool show, float hiddenY, float step) {
  if (show) {
    y += step;
    if (y > kHudPanelShownY) y = kHudPanelShownY;
  } else {
    y -= step;
    if (y < hiddenY) y = hiddenY;
  }
}

}  // namespace

const HudHelpLine* ActiveHelpLine() {
  for (const HudHelpLine& line : kHelpLines) {
    if (*line.timer > 0.0f) return &line;
  }
  return nullptr;
}

void DrawHud() {
  if (currentStage > kStageCount || gameState == EpisodeEnd) return;

  if (gameState != Paused) {
    const float step = frameTimeMs * kHudPanelSpeed;
    SlidePanel(fruitPanelY, hudFlash[HudFruit] != 0.0f, kHudFruitHiddenY, step);
    SlidePanel(livesPanelY, hudFlash[HudLives] != 0.0f, kHudLivesHiddenY, step);
    if (hudFlash[HudKeys] == 0.0f) {
      SlidePanel(keysPanelY, false, kHudKeysHiddenY, step);
    } else if (keysPanelY < kHudPanelShownY) {
      SlidePanel(keysPanelY, true, kHudKeysHiddenY, step);
    } else if (keys == 0) {
      // Only the keys panel hides by itself, once shown and with no key held.
      hudFlash[HudKeys] -= frameTimeMs;
      if (hudFlash[HudKeys] < 0.0f) hudFlash[HudKeys] = 0.0f;
    }
  }

  const int32_t fruitY = static_cast<int32_t>(fruitPanelY);
  const int32_t livesY = static_cast<int32_t>(livesPanelY);
  const int32_t keysY = static_cast<int32_t>(keysPanelY);

  DrawCounter(kFruitCounter, fruitY, fruitTowardLife);
  DrawCounter(kLivesCounter, livesY, lives);
  if (keys > 0) DrawCounter(kKeysCounter, keysY, keys);
  // The stage counter moves with the lives panel.
  DrawCounter(kStageCounter, livesY, currentStage);

  if (const HudHelpLine* line = ActiveHelpLine()) {
    DrawSpriteScaled(spritesSurface, static_cast<float>(line->iconX),
                     static_cast<float>(kHelpIconY), static_cast<float>(line->drawX),
                     static_cast<float>(kHelpIconDrawY), 32, 32, 0.0f, kHelpIconScale);
    DrawText(kHelpTextX, kHelpTextY, "%s", line->text);
  }
}
