// Main menu, score tally and credits.
#include "game/screens.h"

#include "engine/graphics/KGraphic.h"
#include "engine/platform/KInput.h"
#include "game/config_file.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "game/sound_cues.h"
#include "gameplay/enemies.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "world/level.h"

const MenuButton kMenuButtons[kMenuButtonCount] = {
    {251, 280, 311, 340, 731, 551, 861, 551, CueRollover1},      // previous stage
    {489, 280, 549, 340, 791, 551, 921, 551, CueRollover1 + 1},  // next stage
    {340, 380, 460, 440, 731, 612, 861, 612, CueRollover1 + 2},  // play
    {340, 470, 460, 550, 731, 674, 861, 674, CueRollover1 + 3},  // quit
};

bool hoverLatch = false;
bool menuLeftLatch = false;
bool menuRightLatch = false;
bool menuConfirmLatch = false;
int32_t hoveredButton = 0;

float tallyMs = 0.0f;
int32_t shownFruit = 0;
int32_t shownEnemies = 0;

namespace {

constexpr int32_t kButtonPrevious = 1;
constexpr int32_t kButtonNext = 2;
constexpr int32_t kButtonPlay = 3;
constexpr int32_t kButtonQuit = 4;

// Stage plate and its number.
constexpr int32_t kPlateSrcX = 861, kPlateSrcY = 477, kPlateW = 98, kPlateH = 70;
constexpr int32_t kPlateX = 386, kPlateY = 285;
constexpr int32_t kStageNumberX = 336, kStageNumberWideX = 321, kStageNumberY = 295;

// Score tally: periods, cues and layout.
constexpr float kFruitTickMs = 40.0f;
constexpr float kEnemyTickMs = 800.0f;
constexpr float kTallyPauseMs = 1500.0f;
constexpr int32_t kFullMark = 20;

// Tally layout: one line per counted thing, its icon, the count shown so far
// and the stage's total; counts of more digits start one digit further left.
struct TallyLine {
  float iconSrcX, iconSrcY;  // 32 x 32 icon on the sprite sheet
  float iconScale;
  float iconY;
  int32_t shownY, totalY;
};
constexpr TallyLine kFruitLine = {528.0f, 516.0f, 2.0f, 372.0f, 384, 382};
constexpr TallyLine kEnemyLine = {2.0f, 514.0f, 1.5f, 440.0f, 452, 450};
constexpr int32_t kTallyIconX = 280;
constexpr int32_t kTallyIconSize = 32;
constexpr int32_t kTallyShownX = 335;
constexpr int32_t kTallyTotalX = 415;
constexpr int32_t kTallyDigitW = 27;
constexpr int32_t kTallyMarkX = 360, kTallyMarkY = 524;

constexpr int32_t kScreenCentreX = 400, kScreenCentreY = 300;

// The menu pointer follows the mouse, clamped to the screen.
GameObject* PlaceCursor(uint32_t* bits) {
  GameObject* cursor = FindObject(Cursor, 1);
  if (!cursor) cursor = CreateObject(Cursor, 0, 0, 0.0f, 0.0f, false);
  *bits |= ReadMouse();
  float x = mouseX, y = mouseY;
  if (x < 0.0f) x = 0.0f;
  if (x > kCursorMaxX) x = kCursorMaxX;
  if (y < 0.0f) y = 0.0f;
  if (y > kCursorMaxY) y = kCursorMaxY;
  if (cursor) {
    cursor->x = x;
    cursor->y = y;
  }
  return cursor;
}

// Edge rule: true on the first frame the bit is set; the latch clears on the
// first frame it is absent.
bool Pressed(bool down, bool& latch) {
  if (!down) {
    latch = false;
    return false;
  }
  if (latch) return false;
  latch = true;
  return true;
}

void PreviousStage() {
  if (currentStage > 1) currentStage -= 1;
}

void NextSelectableStage() {
  if (currentStage < highestPlayableStage[1]) currentStage += 1;
}

void StartPlayCurtain() {
  PlayCue(CueMenu, effectsVolume);
  CloseCurtain();
  reachedStage = currentStage;
  SaveProgress();
}

int32_t LineOffset(int32_t count) {
  if (count >= 100) return -2 * kTallyDigitW;
  if (count >= 10) return -kTallyDigitW;
  return 0;
}

void DrawTallyLine(const TallyLine& line, int32_t count, int32_t shown, int32_t total) {
  const int32_t offset = LineOffset(count);
  DrawSpriteScaled(spritesSurface, line.iconSrcX, line.iconSrcY,
                   static_cast<float>(kTallyIconX + offset), line.iconY, kTallyIconSize,
                   kTallyIconSize, 0.0f, line.iconScale);
  DrawSmallNumber(kTallyShownX + offset, line.shownY, shown);
  DrawSmallNumber(kTallyTotalX, line.totalY, total);
}

// One step of the count: fruit first, then enemies, then the pause that
// ends with the tally's cue.
void CountTally() {
  if (shownFruit < fruitCount) {
    tallyMs += frameTimeMs;
    if (tallyMs >= kFruitTickMs) {
      tallyMs -= kFruitTickMs;
      PlayCue(CueFruit, effectsVolume);
      shownFruit += 1;
    }
  } else if (shownEnemies < enemiesKilled) {
    tallyMs += frameTimeMs;
    if (tallyMs >= kEnemyTickMs) {
      tallyMs -= kEnemyTickMs;
      PlayCue(CueEnemyDies, effectsVolume);
      shownEnemies += 1;
    }
  } else {
    tallyMs += frameTimeMs;
    if (tallyMs >= kTallyPauseMs) PlayCue(CueKey, effectsVolume);
  }
}

}  // namespace

int32_t MenuButtonAt(float x, float y) {
  for (int32_t i = 0; i < kMenuButtonCount; ++i) {
    const MenuButton& b = kMenuButtons[i];
    if (x >= b.left && x <= b.right && y >= b.top && y <= b.bottom) return i + 1;
  }
  return 0;
}

void MainMenuStep(uint32_t bits, uint32_t keyBits) {
  GameObject* cursor = PlaceCursor(&bits);
  DrawBackground();

  hoveredButton = 0;
  for (int32_t i = 0; i < kMenuButtonCount; ++i) {
    const MenuButton& b = kMenuButtons[i];
    bool hovered = !curtainActive && cursor &&
                   MenuButtonAt(cursor->x, cursor->y) == i + 1;
    if (hovered) hoveredButton = i + 1;
    DrawSprite(spritesSurface, hovered ? b.hoverX : b.normalX, hovered ? b.hoverY : b.normalY,
               b.left, b.top, b.right - b.left, b.bottom - b.top, true);
  }

  if (hoveredButton != 0) {
    if (!hoverLatch) {
      hoverLatch = true;
      PlayCue(kMenuButtons[hoveredButton - 1].rolloverCue, effectsVolume);
    }
  } else {
    hoverLatch = false;
  }

  if (Pressed(bits & BitLeft, menuLeftLatch)) {
    PlayCue(CueMenu, effectsVolume);
    PreviousStage();
  }
  if (Pressed(bits & BitRight, menuRightLatch)) {
    PlayCue(CueMenu, effectsVolume);
    NextSelectableStage();
  }

  if (Pressed(bits & ConfirmMask, menuConfirmLatch)) {
    switch (hoveredButton) {
      case kButtonQuit:
        PlayCue(CueMenu, effectsVolume);
        EnterCredits();
        return;
      case kButtonPrevious:
        PlayCue(CueMenu, effectsVolume);
        PreviousStage();
        break;
      case kButtonNext:
        PlayCue(CueMenu, effectsVolume);
        NextSelectableStage();
        break;
      case kButtonPlay:
        if (!curtainActive) StartPlayCurtain();
        break;
      default:
        // A click beside the buttons does nothing; the Enter key starts.
        if ((keyBits & BitEnter) && !curtainActive) StartPlayCurtain();
        break;
    }
  }

  DrawSprite(spritesSurface, kPlateSrcX, kPlateSrcY, kPlateX, kPlateY, kPlateW, kPlateH, false);
  DrawBigNumber(currentStage, currentStage < 10 ? kStageNumberX : kStageNumberWideX,
                kStageNumberY, 0);

  AnimateObjects();
  DrawObjects();
  DrawInputDeviceIcon();

  DrawCurtain(bits);
  if (CurtainDone()) {
    OpenCurtain();
    LoadEpisodeSurfaces(currentEpisode);
    StartGame();
  }
}

void ResetTally() {
  tallyMs = 0.0f;
  shownFruit = 0;
  shownEnemies = 0;
}

bool TallyDone() {
  return shownFruit >= fruitCount && shownEnemies >= enemiesKilled && tallyMs >= kTallyPauseMs;
}

int32_t TallyMark(int32_t shown, int32_t total) {
  if (total <= 0) return kFullMark;
  // Exact integer arithmetic: the truncated value of shown / total x 20.
  return static_cast<int32_t>(static_cast<int64_t>(shown) * kFullMark / total);
}

void ScoreTallyStep() {
  DrawBackground();

  // Done once everything was counted and the pause waited, at the start of
  // a step.
  const bool done = TallyDone();
  if (!done) CountTally();

  DrawTallyLine(kFruitLine, fruitCount, shownFruit, fruitTotal);
  DrawTallyLine(kEnemyLine, enemiesKilled, shownEnemies, enemyTotal);

  if (done) {
    int32_t m1 = TallyMark(shownFruit, fruitTotal);
    int32_t m2 = TallyMark(shownEnemies, enemyTotal);
    DrawSmallNumber(kTallyMarkX, kTallyMarkY, (m1 + m2) / 2);
  }
}

void EnterCredits() {
  if (panelsSurface) {
    delete panelsSurface;
    panelsSurface = LoadSpriteSurface("credit.bmp");
  }
  DestroyAllObjects();
  CreateObject(Cursor, 0, 0, 0.0f, 0.0f, false);
  KInput::SetMousePosition(kScreenCentreX, kScreenCentreY);
  menuConfirmLatch = true;  // the click that chose quit does not count here
  gameState = Credits;
}

void CreditsStep(uint32_t bits) {
  PlaceCursor(&bits);
  if (bits & EscapeMask) gameState = Quit;
  bool confirmed = Pressed(bits & ConfirmMask, menuConfirmLatch);
  DrawSprite(panelsSurface, 0, 0, 0, 0, kScreenWidth, kScreenHeight, true);
  if (confirmed) gameState = Quit;
  hoverLatch = false;
  AnimateObjects();
  DrawObjects();
  DrawInputDeviceIcon();
}
