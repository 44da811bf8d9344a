// Stage files and the tile map: the ".pak" and ".mapd" loaders, saving, the
// spawner of marker tiles, and the hero's and camera's start positions.
#include "world/level.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/platform/KSystem.h"
#include "game/user_files.h"
#include "gameplay/blocks.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/tile_kinds.h"

int16_t mapReady = 0;
int32_t fruitTotal = 0;
int32_t enemyTotal = 0;
uint32_t mapGeneration = 0;

namespace {

constexpr const char* kStageFolder = "tarn\\";
constexpr int32_t kPakHeaderBytes = 8;
constexpr int32_t kMapdWidthOffset = 264;
constexpr int32_t kMapdCodeOffset = 4;      // tile code within a .mapd record
constexpr int32_t kMaxTileCode = 255;
constexpr int32_t kPlatformOffsetX = -19;   // platforms sit left of and above their tile
constexpr int32_t kPlatformOffsetY = -1;
constexpr int32_t kSpringOffsetY = -1;
constexpr int32_t kHeroFacingRight = 2;     // heading and animRow of a hero facing right
constexpr int32_t kReadChunkCells = 4096;

int32_t ReadLE32(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                 uint32_t(p[3]) << 24);
}

void WriteLE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

// A size read from a file is a map only when both sides are positive and the
// cell count stays under the cap (computed in 64 bits, so nothing wraps).
bool SaneMapSize(int32_t width, int32_t height) {
  return width > 0 && height > 0 && int64_t(width) * height <= kMaxMapCells;
}

// Opens "tarn\<name>" for reading: the per-user copy first, then the one
// beside the program.
std::FILE* OpenStageForRead(const char* fileName) {
  if (!fileName) return nullptr;
  char name[kSystemPathCapacity];
  if (std::snprintf(name, sizeof name, "%s%s", kStageFolder, fileName) >= int(sizeof name))
    return nullptr;
  char path[kSystemPathCapacity];
  if (!UserFileReadPath(name, path, sizeof path)) return nullptr;
  return std::fopen(path, "rb");
}

// A zeroed cell array of a checked size, or null.
MapCell* NewCells(int32_t width, int32_t height) {
  if (!SaneMapSize(width, height)) return nullptr;
  return static_cast<MapCell*>(std::calloc(size_t(width) * size_t(height), sizeof(MapCell)));
}

}  // namespace

int32_t CellCode(uint16_t tileValue) {
  int32_t code = int32_t(tileValue) - kTileValueBase;
  return (code >= 1 && code <= kMaxTileCode) ? code : 0;
}

int32_t CellCodeAt(int32_t column, int32_t row) {
  if (!mapCells || column < 0 || row < 0 || column >= mapWidth || row >= mapHeight) return 0;
  return CellCode(mapCells[int64_t(row) * mapWidth + column].tile);
}

void StageFileName(char* buffer, int32_t capacity, int32_t episode, int32_t stage, bool mapd) {
  if (!buffer || capacity <= 0) return;
  std::snprintf(buffer, size_t(capacity), mapd ? "e%ds%d.mapd" : "e%ds%d.pak", int(episode),
                int(stage));
}

void FreeLevel() {
  if (mapCells) {
    std::free(mapCells);
    mapCells = nullptr;
  }
  ++mapGeneration;
}

bool AllocateCells() {
  FreeLevel();
  mapCells = NewCells(mapWidth, mapHeight);
  if (!mapCells) {
    mapWidth = 0;
    mapHeight = 0;
    return false;
  }
  return true;
}

bool LoadPak(const char* fileName) {
  // The caller frees the old map first when it wants a new one.
  if (mapCells) return true;
  std::FILE* file = OpenStageForRead(fileName);
  if (!file) return false;
  uint8_t header[kPakHeaderBytes];
  if (std::fread(header, 1, sizeof header, file) != sizeof header) {
    std::fclose(file);
    return false;
  }
  int32_t width = ReadLE32(header);
  int32_t height = ReadLE32(header + 4);
  if (!SaneMapSize(width, height)) {
    std::fclose(file);
    mapWidth = 0;
    mapHeight = 0;
    return false;
  }
  mapWidth = width;
  mapHeight = height;
  if (!AllocateCells()) {
    std::fclose(file);
    return false;
  }
  // Cells in chunks; a short file leaves the rest zero.
  const int64_t total = int64_t(width) * height;
  std::vector<uint8_t> chunk(size_t(kReadChunkCells) * 4);
  for (int64_t done = 0; done < total;) {
    size_t want = size_t(std::min<int64_t>(kReadChunkCells, total - done));
    size_t got = std::fread(chunk.data(), 4, want, file);
    for (size_t i = 0; i < got; ++i) {
      const uint8_t* p = &chunk[i * 4];
      mapCells[done + int64_t(i)].tile = uint16_t(p[0] | p[1] << 8);
      mapCells[done + int64_t(i)].extra = uint16_t(p[2] | p[3] << 8);
    }
    done += int64_t(got);
    if (got < want) break;
  }
  std::fclose(file);
  return true;
}

bool LoadMapd(const char* fileName) {
  std::FILE* file = OpenStageForRead(fileName);
  if (!file) return false;
  uint8_t header[kMapdHeaderBytes];
  if (std::fread(header, 1, sizeof header, file) != sizeof header) {
    std::fclose(file);
    return false;
  }
  int32_t width = ReadLE32(header + kMapdWidthOffset);
  int32_t height = ReadLE32(header + kMapdWidthOffset + 4);
  MapCell* cells = NewCells(width, height);
  if (!cells) {
    std::fclose(file);
    return false;
  }
  // Every cell starts empty (code 0), so records missing from a short file
  // stay empty.
  const int64_t total = int64_t(width) * height;
  for (int64_t i = 0; i < total; ++i) cells[i].tile = uint16_t(kTileValueBase);
  std::vector<uint8_t> chunk(size_t(kReadChunkCells) * kMapdRecordBytes);
  for (int64_t done = 0; done < total;) {
    size_t want = size_t(std::min<int64_t>(kReadChunkCells, total - done));
    size_t got = std::fread(chunk.data(), kMapdRecordBytes, want, file);
    for (size_t i = 0; i < got; ++i) {
      int32_t code = ReadLE32(&chunk[i * kMapdRecordBytes + kMapdCodeOffset]);
      cells[done + int64_t(i)].tile = uint16_t(uint32_t(code) + kTileValueBase);
    }
    done += int64_t(got);
    if (got < want) break;
  }
  std::fclose(file);
  FreeLevel();
  mapCells = cells;
  mapWidth = width;
  mapHeight = height;
  return true;
}

bool SaveLevel(const char* fileName) {
  SaveTileKinds();
  if (!fileName || !mapCells || !SaneMapSize(mapWidth, mapHeight)) return false;
  char name[kSystemPathCapacity];
  if (std::snprintf(name, sizeof name, "%s%s", kStageFolder, fileName) >= int(sizeof name))
    return false;
  char path[kSystemPathCapacity];
  if (!UserFileWritePath(name, path, sizeof path)) return false;
  const int64_t total = int64_t(mapWidth) * mapHeight;
  std::vector<uint8_t> bytes(size_t(kPakHeaderBytes + total * 4));
  WriteLE32(&bytes[0], uint32_t(mapWidth));
  WriteLE32(&bytes[4], uint32_t(mapHeight));
  for (int64_t i = 0; i < total; ++i) {
    uint8_t* p = &bytes[size_t(kPakHeaderBytes + i * 4)];
    p[0] = uint8_t(mapCells[i].tile);
    p[1] = uint8_t(mapCells[i].tile >> 8);
    p[2] = uint8_t(mapCells[i].extra);
    p[3] = uint8_t(mapCells[i].extra >> 8);
  }
  return WriteFileReplacing(path, bytes.data(), bytes.size());
}

void SpawnObjectsFromMap() {
  fruitTotal = 0;
  enemyTotal = 0;
  // The orbit platforms' directions depend on this stage alone, not on how
  // many the stage played before had.
  StartOrbitPhases();
  if (!mapCells) return;
  for (int32_t x = 0; x < mapWidth; ++x) {
    for (int32_t y = 0; y < mapHeight; ++y) {
      int32_t code = CellCode(mapCells[int64_t(y) * mapWidth + x].tile);
      if (code == 0) continue;
      const int32_t px = x * kTileSize;
      const int32_t py = y * kTileSize;
      switch (TileKindOf(code)) {
        case SpringMark:
          CreateObject(Spring, px, py + kSpringOffsetY, 0.0f, 0.0f, false);
          break;
        case FruitMark:
          CreateObject(Fruit, px, py, 0.0f, 0.0f, false);
          ++fruitTotal;
          break;
        case KeyMark:
          CreateObject(Key, px, py, 0.0f, 0.0f, false);
          break;
        case ShuttleMark: {
          GameObject* p = CreateObject(Platform, px + kPlatformOffsetX, py + kPlatformOffsetY,
                                       0.0f, 0.0f, false);
          if (p) p->subtype = kPlatformShuttle;
          break;
        }
        case OrbitMark: {
          GameObject* p = CreateObject(Platform, px + kPlatformOffsetX, py + kPlatformOffsetY,
                                       0.0f, 0.0f, false);
          if (p) {
            p->subtype = kPlatformOrbit;
            ToggleOrbitPhase(p);
          }
          break;
        }
        case WalkerMark:
          CreateObject(Walker, px, py, 0.0f, 0.0f, false);
          ++enemyTotal;
          break;
        case SlowWalkerMark:
          CreateObject(SlowWalker, px, py, 0.0f, 0.0f, false);
          ++enemyTotal;
          break;
        default:
          break;  // those tiles act through the map itself
      }
    }
  }
}

void PlaceHero() {
  const int32_t startX = checkpointSet ? checkpointX : 0;
  const int32_t startY = checkpointSet ? checkpointY : 0;
  GameObject* hero = FindObject(Hero, 1);
  if (hero) {
    hero->x = float(startX);
    hero->y = float(startY);
  } else {
    CreateObject(Hero, startX, startY, 0.0f, 0.0f, true);
    hero = FindObject(Hero, 1);
    if (!hero) return;
  }
  if (checkpointSet || !mapCells) return;
  for (int32_t x = 0; x < mapWidth; ++x) {
    for (int32_t y = 0; y < mapHeight; ++y) {
      int32_t code = CellCode(mapCells[int64_t(y) * mapWidth + x].tile);
      if (code == 0 || TileKindOf(code) != StartMark) continue;
      hero->x = float(x * kTileSize);
      hero->y = float(y * kTileSize);
      hero->heading = kHeroFacingRight;
      hero->animRow = kHeroFacingRight;
      return;
    }
  }
}

namespace {

// One axis of PlaceCamera: moves the camera in whole tiles so the hero sits
// in view, without passing the far edge (mapPixels - screen) and, on the near
// side, without passing 0.
void PlaceCameraAxis(int32_t& camera, float& heroPos, int32_t mapPixels, int32_t screen) {
  int32_t s = (int32_t(heroPos) / kTileSize) * kTileSize;
  camera += s;
  heroPos -= float(s);
  int32_t m = ((mapPixels - screen) / kTileSize) * kTileSize;
  if (s > m) {
    camera -= s - m;
    heroPos += float(s - m);
  }
  const int32_t half = screen / 2;
  if (float(half) >= heroPos) {
    int32_t d = int32_t(float(half) - heroPos);
    d = (d / kTileSize) * kTileSize;
    if (d > camera) d = camera;
    camera -= d;
    heroPos += float(d);
  }
}

}  // namespace

void PlaceCamera() {
  GameObject* hero = FindObject(Hero, 1);
  if (!hero) return;
  PlaceCameraAxis(cameraX, hero->x, mapWidth * kTileSize, kScreenWidth);
  PlaceCameraAxis(cameraY, hero->y, mapHeight * kTileSize, kScreenHeight);
}

void ClearCheckpoint() {
  checkpointSet = false;
  checkpointX = 0;
  checkpointY = 0;
}
