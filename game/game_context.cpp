#include "game/game_context.h"

float frameTimeMs = 16.0f;
float shakeTimerMs = 0.0f;
int32_t shakeX = 0;
int32_t shakeY = 0;

GameState gameState = MainMenu;
int32_t currentEpisode = 1;
int32_t currentStage = 1;
int32_t lives = 4;
bool stageFinished = false;

int32_t musicVolume = 50;
int32_t effectsVolume = 50;

int32_t mapWidth = 0;
int32_t mapHeight = 0;
MapCell* mapCells = nullptr;
bool checkpointSet = false;
int32_t checkpointX = 0;
int32_t checkpointY = 0;
int32_t tileKinds[kTileCodeCount] = {};

int32_t cameraX = 0;
int32_t cameraY = 0;

KWindow* gameWindow = nullptr;
KGraphic* spritesSurface = nullptr;
KGraphic* panelsSurface = nullptr;
KGraphic* tileSheetSurface = nullptr;
KGraphic* backgroundSurface = nullptr;
