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

// The help line shown for the first running power timer, or null for none.
const char* ActiveHelpLine();
void DrawHud();
