// Front-end screens: the main menu with its stage selector, the score tally
// after a finished stage and the credits screen through which the player
// quits.
#pragma once

#include <cstdint>

// Menu pointer clamp: the cursor's top-left stays within these bounds.
constexpr int32_t kCursorMaxX = 800 - 38;
constexpr int32_t kCursorMaxY = 600 - 45;

// A main-menu button: rectangle inclusive on all four sides.
struct MenuButton {
  int32_t left, top, right, bottom;
  int32_t normalX, normalY;    // sprite when not hovered
  int32_t hoverX, hoverY;      // sprite when hovered
  int32_t rolloverCue;
};
constexpr int32_t kMenuButtonCount = 4;
extern const MenuButton kMenuButtons[kMenuButtonCount];  // previous, next, play, quit

extern bool hoverLatch;        // a button is hovered and its cue was played
extern bool menuLeftLatch;     // edge latches of the menu and credits
extern bool menuRightLatch;
extern bool menuConfirmLatch;
extern int32_t hoveredButton;  // 1..4, 0 = none (last menu step)

// Score tally.
extern float tallyMs;
extern int32_t shownFruit;
extern int32_t shownEnemies;

void MainMenuStep(uint32_t bits, uint32_t keyBits);
void ScoreTallyStep();
void CreditsStep(uint32_t bits);
void EnterCredits();
// Timer and both shown counters to 0.
void ResetTally();
// True once the tally has counted everything and waited its pause.
bool TallyDone();
// Mark out of 20 of one tally line: 20 without anything to count.
int32_t TallyMark(int32_t shown, int32_t total);
// The button (1..4) under the point, 0 for none; the curtain is not tested.
int32_t MenuButtonAt(float x, float y);
