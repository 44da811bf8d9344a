// The curtain: two panels that close over the screen and open again to hide
// every change of stage. It moves a fixed number of pixels per frame.
#include "engine/graphics/KGraphic.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"

bool curtainActive = false;
int16_t curtainOpening = 0;
float curtainPos = 0.0f;
float curtainHoldMs = 0.0f;

void ResetCurtain() {
  curtainPos = 0.0f;
  curtainActive = false;
}

void CloseCurtain() {
  curtainPos = 0.0f;
  curtainActive = true;
  curtainOpening = 0;
}

void OpenCurtain() {
  curtainPos = kCurtainFullPx;
  curtainActive = true;
  curtainOpening = 1;
}

bool CurtainDone() {
  if (curtainPos < kCurtainFullPx) return false;
  curtainHoldMs -= frameTimeMs;
  if (curtainHoldMs < 0.0f) {
    curtainHoldMs = 0.0f;
    return true;
  }
  return curtainHoldMs == 0.0f;
}

void DrawCurtain(uint32_t /*bits*/) {
  if (!panelsSurface || !curtainActive) return;
  if (curtainOpening == 0) {
    if (curtainPos < kCurtainFullPx) {
      curtainPos += kCurtainStepPx;
      if (curtainPos >= kCurtainFullPx) {
        curtainPos = kCurtainFullPx;
        curtainHoldMs = kCurtainHoldMs;
      }
    }
  } else {
    curtainPos -= kCurtainStepPx;
    if (curtainPos < 0.0f) curtainPos = 0.0f;
  }
  const int32_t half = static_cast<int32_t>(kCurtainFullPx);
  const int32_t h = static_cast<int32_t>(curtainPos);
  if (h <= 0) return;
  // The upper panel's bottom edge leads downwards, the lower panel's top edge
  // leads upwards.
  DrawSprite(panelsSurface, 0, half - h, 0, 0, kScreenWidth, h, false);
  DrawSprite(panelsSurface, 0, half, 0, kScreenHeight - h, kScreenWidth, h, false);
}
