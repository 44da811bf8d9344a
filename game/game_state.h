// The game's state machine: one step per frame dispatching on gameState, the
// transitions that start a game, a stage and the next stage, lives and game
// over, the pause, and the curtain that hides every change of stage.
#pragma once

#include <cstdint>

constexpr int32_t kEpisodeCount = 3;    // episodes with progress entries
constexpr int32_t kStageCount = 20;     // stages per episode
constexpr int32_t kStartLives = 4;      // spare lives at the start of a game

// --- run variables -------------------------------------------------------------
extern int32_t reachedStage;                          // stage last started (saved)
extern int32_t highestPlayableStage[kEpisodeCount + 1];  // [1..3]: first stage not completed
extern int32_t editorUnlocked;                        // 1 once stage 20 has been finished (saved)
extern float lifeLostTimerMs;                         // countdown of LifeLost
extern float gameOverTimerMs;                         // countdown of GameOver
extern float episodeEndTimerMs;                       // countdown of EpisodeEnd
extern bool pauseLatch;                               // edge latch of the pause buttons

// --- curtain -------------------------------------------------------------------
extern bool curtainActive;     // drawn this frame, blocks the menu buttons
extern int16_t curtainOpening; // 0 closing, 1 opening
extern float curtainPos;       // height of each panel, 0..300
extern float curtainHoldMs;    // time the shut curtain stays shut

constexpr float kCurtainFullPx = 300.0f;   // a panel covers half the screen
constexpr float kCurtainStepPx = 7.0f;     // per frame, not scaled by time
constexpr float kCurtainHoldMs = 1200.0f;

// --- state machine -------------------------------------------------------------
// One step per frame: reads the input, dispatches on gameState, draws.
void StepGameState();
// Start-up hook: resets the editor, the frame time and the curtain, then
// enters the main menu (the last start-up step).
void EnterFrontEnd();

void EnterMainMenu();
// Starts a game at currentStage (after the play curtain); false when the
// tile-kind table or the stage could not be loaded (back in the main menu).
bool StartGame();
// Loads stage currentStage of currentEpisode and spawns its objects; false
// (and back in the main menu) when neither stage file loads.
bool LoadStage();
// Starts (or restarts after a lost life) the loaded stage; always true.
bool StartStage();
void NextStage();
void LeaveLevel();
// The hero touched the exit with a key; ignored unless HeroInPlay.
void FinishStage();
// The hero died; acts only while HeroInPlay.
void LoseLife();
// Playing and the exit not yet reached: only then can the hero die or finish.
bool HeroInPlay();
void EnterLevelScore();
void EnterEpisodeEnd();
void EnterGameOver();
void TogglePause(uint32_t bits);
void CheckStageFinished();
void EpisodeEndStep();
void GameOverStep();
// World step shared by the in-level states; always true.
bool LevelFrame(uint32_t bits);

// Replaces the background picture; a missing picture shows
// "On a pas pu charger : background" and leaves no background.
void ReplaceBackground(const char* fileName);

// Marks a stage of an episode completed in the progress statuses (0 -> 1,
// 2 -> 3); stages outside 1..20 of episodes 1..3 are ignored.
void RecordStageCompleted(int32_t episode, int32_t stage);
// Recomputes highestPlayableStage from the statuses.
void ComputeHighestPlayableStages();

// --- curtain -------------------------------------------------------------------
void ResetCurtain();
void CloseCurtain();
void OpenCurtain();
bool CurtainDone();
void DrawCurtain(uint32_t bits);
