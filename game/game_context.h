// The game context: the process-wide variables that more than one part of the
// game reads. Each subsystem keeps its private state in its own file; what is
// shared across subsystems is declared here, once, and defined in
// game_context.cpp.
#pragma once

#include <cstdint>

class KWindow;
class KGraphic;

// States of the game's state machine (values are stored and compared as is).
enum GameState : int32_t {
  MainMenu = 0,
  Playing = 5,
  Paused = 6,
  LevelScore = 7,
  EpisodeEnd = 8,
  LifeLost = 9,
  GameOver = 11,
  Credits = 12,
  Quit = 13,
};

// One cell of the tile map: the tile code plus 48, and a second value that
// travels with the cell and is written back on save.
struct MapCell {
  uint16_t tile;
  uint16_t extra;
};

constexpr int kScreenWidth = 800;   // every layout is computed from these
constexpr int kScreenHeight = 600;
constexpr int kTileSize = 32;
constexpr int kTileCodeCount = 216; // tile codes with a kind (12 columns of 18)

// --- frame loop --------------------------------------------------------------
extern float frameTimeMs;    // averaged duration of one frame; scales all motion
extern float shakeTimerMs;   // remaining screen-shake time, 0 = none
extern int32_t shakeX;       // pixel offset added to every sprite blit this frame
extern int32_t shakeY;

// --- state machine and run ---------------------------------------------------
extern GameState gameState;  // current state of the state machine
extern int32_t currentEpisode;  // episode being played (always 1)
extern int32_t currentStage;    // stage 1..20 within the episode
extern int32_t lives;           // spare lives
extern bool stageFinished;      // the hero reached the exit of the stage

// --- configuration -----------------------------------------------------------
extern int32_t musicVolume;     // 0..100, every music plays at this volume
extern int32_t effectsVolume;   // 0..100, every effect cue plays at this volume

// --- tile map ----------------------------------------------------------------
extern int32_t mapWidth;        // width of the stage in tiles
extern int32_t mapHeight;       // height of the stage in tiles
extern MapCell* mapCells;       // mapWidth x mapHeight cells, row by row; null when no stage
extern bool checkpointSet;      // the hero restarts at the checkpoint
extern int32_t checkpointX;     // checkpoint position (world pixels)
extern int32_t checkpointY;
extern int32_t tileKinds[kTileCodeCount];  // kind of every tile code

// --- camera ------------------------------------------------------------------
extern int32_t cameraX;         // world position of the screen's top-left corner
extern int32_t cameraY;

// --- engine objects owned by the game ----------------------------------------
extern KWindow* gameWindow;          // the one window of the process
extern KGraphic* spritesSurface;     // "sprites.bmp": buttons, digits, HUD, font
extern KGraphic* panelsSurface;      // "panels.bmp": curtain panels (credits picture in credits)
extern KGraphic* tileSheetSurface;   // "table1blts.bmp": the tile sheet
extern KGraphic* backgroundSurface;  // "world1.bmp": the stage background
