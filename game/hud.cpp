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

// Help lines of the powers, in the order they are looked at.
struct HelpLine {
  const float* timer;
  int32_t iconX;
  int32_t drawX;
  const char* text;
};

const HelpLine kHelpLines[] = {
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

const HelpLine* ActiveHelp() {
  for (const HelpLine& line : kHelpLines) {
    if (*line.timer > 0.0f) return &line;
  }
  return nullptr;
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

const char* ActiveHelpLine() {
  const HelpLine* line = ActiveHelp();
  return line ? line->text : nullptr;
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

  DrawSprite(spritesSurface, 528, 516, 2, fruitY - 5, 32, 32, true);
  DrawSmallNumber(40, fruitY + 5, fruitTowardLife);

  DrawSprite(spritesSurface, 960, 4, 490, livesY, 63, 18, true);
  DrawSmallNumber(545, livesY + 5, lives);

  if (keys > 0) {
    DrawSprite(spritesSurface, 507, 121, 280, keysY, 32, 32, true);
    DrawSmallNumber(322, keysY + 5, keys);
  }

  // The stage counter moves with the lives panel.
  DrawSprite(spritesSurface, 507, 155, 682, livesY, 32, 24, true);
  DrawSmallNumber(720, livesY + 3, currentStage);

  if (const HelpLine* line = ActiveHelp()) {
    DrawSpriteScaled(spritesSurface, static_cast<float>(line->iconX),
                     static_cast<float>(kHelpIconY), static_cast<float>(line->drawX),
                     static_cast<float>(kHelpIconDrawY), 32, 32, 0.0f, kHelpIconScale);
    DrawText(kHelpTextX, kHelpTextY, "%s", line->text);
  }
}
