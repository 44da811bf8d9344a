// Sliding panels of the heads-up display (drawn without a sprite sheet).
#include <gtest/gtest.h>

#include "game/game_context.h"
#include "game/hud.h"
#include "gameplay/items.h"

namespace {

TEST(HudTest, PanelsSlideWithTheirFlashAndOnlyTheKeysTimerRunsDown) {
  gameState = Playing;
  currentStage = 1;
  frameTimeMs = 100.0f;  // 10 pixels a frame
  keys = 0;
  fruitPanelY = livesPanelY = kHudPanelShownY;
  keysPanelY = kHudKeysHiddenY;
  hudFlash[HudFruit] = 0.0f;
  hudFlash[HudLives] = 2500.0f;
  hudFlash[HudKeys] = 2500.0f;

  for (int i = 0; i < 4; ++i) DrawHud();
  EXPECT_EQ(fruitPanelY, kHudFruitHiddenY);  // -27 reached and held
  EXPECT_EQ(livesPanelY, kHudPanelShownY);
  EXPECT_EQ(keysPanelY, kHudPanelShownY);    // -32 + 40 stops at 5
  EXPECT_EQ(hudFlash[HudLives], 2500.0f);    // never counted down here
  EXPECT_EQ(hudFlash[HudKeys], 2500.0f);     // counting starts once shown

  DrawHud();
  EXPECT_EQ(hudFlash[HudKeys], 2400.0f);
  keys = 1;  // holding a key keeps the panel up
  DrawHud();
  EXPECT_EQ(hudFlash[HudKeys], 2400.0f);

  keys = 0;
  gameState = Paused;  // nothing moves while paused
  DrawHud();
  EXPECT_EQ(hudFlash[HudKeys], 2400.0f);

  gameState = Playing;
  hudFlash[HudKeys] = 50.0f;
  DrawHud();
  EXPECT_EQ(hudFlash[HudKeys], 0.0f);  // not below 0
  DrawHud();
  EXPECT_EQ(keysPanelY, kHudPanelShownY - 10.0f);

  currentStage = 21;  // beyond the last stage nothing happens
  DrawHud();
  EXPECT_EQ(keysPanelY, kHudPanelShownY - 10.0f);
  currentStage = 1;
}

}  // namespace
