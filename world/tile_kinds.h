// The tile-kind table: what each of the 216 tile codes of the tile sheet does
// (ledge, wall, ladder, marker ...). One table serves every stage; it is read
// when a game starts and written back whenever the editor saves a stage.
#pragma once

#include <cstdint>

#include "game/game_context.h"

// File of the table, relative to the program directory: 216 little-endian
// 32-bit kinds, no header.
constexpr const char* kTileKindFileName = "tarn\\world1.prp";
constexpr int32_t kTileKindFileBytes = kTileCodeCount * 4;  // 864
constexpr int32_t kSheetRows = 18;  // codes per column of the tile sheet (600 / 32)

// Sets every entry to 0, then reads the table. False (table all 0) when the
// file cannot be opened; a short file leaves the missing entries 0.
bool LoadTileKinds();
// Writes the whole table through a temporary file renamed over the old one.
// False when it could not be written (the old file is then left untouched).
bool SaveTileKinds();
// The editor's setter: tile code = column * 18 + row. Codes outside 0..215
// are ignored.
void SetTileKind(int32_t column, int32_t row, int32_t kind);
// Kind of a tile code; 0 for every code outside 0..215.
int32_t TileKindOf(int32_t code);
// Every entry back to 0.
void ClearTileKinds();
