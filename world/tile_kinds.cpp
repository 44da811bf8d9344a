// The tile-kind table file: 216 little-endian 32-bit kinds, read byte by byte.
#include "world/tile_kinds.h"

#include <cstdio>
#include <cstring>

#include "engine/platform/KSystem.h"
#include "game/user_files.h"

bool LoadTileKinds() {
  ClearTileKinds();
  char path[kSystemPathCapacity];
  if (!UserFileReadPath(kTileKindFileName, path, sizeof path)) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  uint8_t bytes[kTileKindFileBytes] = {};
  size_t got = std::fread(bytes, 1, sizeof bytes, file);
  std::fclose(file);
  // Only whole entries are taken; a short file leaves the rest at kind 0.
  for (size_t i = 0; i + 4 <= got; i += 4) {
    uint32_t v = uint32_t(bytes[i]) | uint32_t(bytes[i + 1]) << 8 |
                 uint32_t(bytes[i + 2]) << 16 | uint32_t(bytes[i + 3]) << 24;
    tileKinds[i / 4] = int32_t(v);
  }
  return true;
}

bool SaveTileKinds() {
  uint8_t bytes[kTileKindFileBytes];
  for (int32_t i = 0; i < kTileCodeCount; ++i) {
    uint32_t v = uint32_t(tileKinds[i]);
    bytes[4 * i] = uint8_t(v);
    bytes[4 * i + 1] = uint8_t(v >> 8);
    bytes[4 * i + 2] = uint8_t(v >> 16);
    bytes[4 * i + 3] = uint8_t(v >> 24);
  }
  char path[kSystemPathCapacity];
  if (!UserFileWritePath(kTileKindFileName, path, sizeof path)) return false;
  return WriteFileReplacing(path, bytes, sizeof bytes);
}

void SetTileKind(int32_t column, int32_t row, int32_t kind) {
  int64_t code = int64_t(column) * kSheetRows + row;
  if (code < 0 || code >= kTileCodeCount) return;
  tileKinds[code] = kind;
}

int32_t TileKindOf(int32_t code) {
  if (code < 0 || code >= kTileCodeCount) return 0;
  return tileKinds[code];
}

void ClearTileKinds() {
  std::memset(tileKinds, 0, sizeof tileKinds);
}
