// The tile map of the current stage: loading it from a ".pak" or ".mapd" file,
// saving it, turning its marker tiles into objects, and placing the hero and
// the camera at a stage start.
//
// mapWidth, mapHeight, mapCells and the checkpoint live in the game context
// (game/game_context.h). A cell's tile value is the tile code plus 48; codes
// outside 1..255 are empty everywhere.
#pragma once

#include <cstdint>

#include "game/game_context.h"

constexpr int32_t kTileValueBase = 48;        // stored tile value = code + 48
constexpr int64_t kMaxMapCells = 1 << 22;     // larger maps are refused as corrupt
constexpr int32_t kMapdHeaderBytes = 1336;    // bytes before the first .mapd record
constexpr int32_t kMapdRecordBytes = 12;      // one .mapd record per cell

// Set to 1 by LoadStage once a stage has loaded; the level drawing draws
// nothing while it is not 1.
extern int16_t mapReady;
// Per-stage totals counted by SpawnObjectsFromMap (shown on the score screen).
extern int32_t fruitTotal;
extern int32_t enemyTotal;
// Grows by one every time the map is freed or replaced. Code that remembers a
// cell (the bump, a dug hole) notes it and forgets the cell when it changed.
extern uint32_t mapGeneration;

// Tile code of a cell value: value - 48, or 0 (empty) when outside 1..255.
int32_t CellCode(uint16_t tileValue);
// Code of the cell at (column, row); 0 outside the map or without a map.
int32_t CellCodeAt(int32_t column, int32_t row);

// Loads "tarn\<fileName>" (e.g. "e1s3.pak"). With a map already loaded it
// returns true and reads nothing. False when the file cannot be opened or its
// size fields are not a sane map (the map is then left empty). A short file
// leaves the unread cells 0.
bool LoadPak(const char* fileName);
// Loads the read-only ".mapd" format into a fresh map (any old map is freed
// once the file has been read). False as LoadPak.
bool LoadMapd(const char* fileName);
// Writes the tile-kind table, then the map as ".pak" to "tarn\<fileName>",
// through a temporary file renamed over the old one, so a failed save never
// destroys the stage. False when nothing was written (no map, or the file
// could not be written).
bool SaveLevel(const char* fileName);
// Releases mapCells (nothing without a map).
void FreeLevel();
// Allocates mapWidth x mapHeight zeroed cells. False (no map, size set to 0)
// when the size is not positive or exceeds kMaxMapCells.
bool AllocateCells();
// Creates the objects of the marker tiles (fruit, keys, springs, platforms,
// walkers) and counts fruitTotal and enemyTotal.
void SpawnObjectsFromMap();
// Puts the hero at the checkpoint, or at the start tile (creating him when
// missing). Screen and world coincide here: StartStage zeroes the camera first.
void PlaceHero();
// Moves the camera in whole tiles so that the hero is in view.
void PlaceCamera();
// No checkpoint: checkpointSet = false, position (0, 0).
void ClearCheckpoint();

// "e%ds%d.pak" / "e%ds%d.mapd" of an episode and stage, into buffer.
void StageFileName(char* buffer, int32_t capacity, int32_t episode, int32_t stage, bool mapd);
