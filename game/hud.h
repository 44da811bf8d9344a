// Heads-up display drawn over every in-level frame: the fruit, lives, keys
// and stage counters on panels that slide in and out, and the help line of
// the active power.
#pragma once

#include <cstdint>

constexpr float kHudPanelShownY = 5.0f;
constexpr float kHudFruitHiddenY = -27.0f;
constexpr float kHudLivesHiddenY = -27.0f;
constexpr float kHudKeysHiddenY = -32.0f;
constexpr float kHudPanelSpeed = 0.1f;   // pixels per millisecond

extern float fruitPanelY;   // y of each panel's counters
extern float livesPanelY;
extern float keysPanelY;

// The help line of a power: shown while its timer runs.
struct HudHelpLine {
  const float* timer;  // the power's timer
  int32_t iconX;       // the power's icon on the sprite sheet (x)
  int32_t drawX;       // where the icon is drawn (x)
  const char* text;    // the line itself
};
// The help line of the first running power timer, or null for none.
const HudHelpLine* ActiveHelpLine();
void DrawHud();
