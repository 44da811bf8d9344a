// The stage editor: palette, brush, painting, resizing and kind assignment.
// While it is on, the level frame leaves the objects alone and the level
// drawing shows DrawEditorMap instead of the tiles.
#include "world/editor.h"

#include <cstdlib>
#include <cstring>

#include "engine/platform/KInput.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "game/sound_cues.h"
#include "gameplay/enemies.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/level.h"
#include "world/tile_kinds.h"

bool editorMode = false;
bool paletteView = false;
int32_t viewCol = 0;
int32_t viewRow = 0;
BrushEntry brush[kBrushSize] = {};
int32_t brushAnchor = 0;
int32_t selectedCode = 0;
int32_t kindPick = -1;

namespace {

constexpr int32_t kEditorMusicVolume = 10;
constexpr int32_t kScreenCols = kScreenWidth / kTileSize;   // 25 cells across
constexpr int32_t kScreenRows = kScreenHeight / kTileSize;  // 18 cells down
constexpr int32_t kMouseMaxX = kScreenCols * kTileSize - kTileSize;  // 768
constexpr int32_t kMouseMaxY = kScreenRows * kTileSize - kTileSize;  // 544
constexpr int32_t kKindIconColumn = 11;   // palette column of the kind icons
constexpr int32_t kKindIconX = kKindIconColumn * kTileSize;  // 352
constexpr int32_t kKindIcons = 20;        // kinds 0..19 have an icon
constexpr int32_t kPreviewSize = 30;      // the selected tile is shown slightly smaller
constexpr int32_t kNameCapacity = 64;

// Resize combinations: held key, arrow bit, operation.
enum ResizeOp {
  RemoveRightColumn, AddRightColumn, RemoveLeftColumn, AddLeftColumn,
  RemoveTopRow, AddTopRow, RemoveBottomRow, AddBottomRow, kResizeOps
};
struct ResizeKey {
  int heldKey;
  uint32_t arrow;
};
constexpr ResizeKey kResizeKeys[kResizeOps] = {
    {KeyEnd, BitLeft},     {KeyEnd, BitRight},     {KeyHome, BitLeft},     {KeyHome, BitRight},
    {KeyPageUp, BitUp},    {KeyPageUp, BitDown},   {KeyPageDown, BitUp},   {KeyPageDown, BitDown}};

bool editorLatch = false;
bool spaceLatch = false;
bool paletteClickLatch = false;
bool resizeLatch[kResizeOps] = {};

void EmptyBrush() {
  brushAnchor = 0;
  for (BrushEntry& e : brush) e.used = false;
}

void AddToBrush(int32_t x, int32_t y, int32_t code) {
  if (code < 0 || code >= kTileCodeCount) return;
  bool anyUsed = false;
  for (const BrushEntry& e : brush) anyUsed = anyUsed || e.used;
  for (int32_t i = 0; i < kBrushSize; ++i) {
    BrushEntry& e = brush[i];
    if (e.used) continue;
    if (e.x == x && e.y == y && e.code == code) continue;
    e.used = true;
    e.x = x;
    e.y = y;
    e.code = code;
    if (!anyUsed) brushAnchor = i;
    return;
  }
}

void DrawTile(int32_t code, int32_t x, int32_t y, int32_t size) {
  DrawSprite(tileSheetSurface, kTileSize * (code / kSheetRows), kTileSize * (code % kSheetRows),
             x, y, size, size, true);
}

// Draws the brush with its anchor at (gx, gy); with stamp, also writes it
// into the map where it lies inside.
void ApplyBrush(int32_t gx, int32_t gy, bool stamp) {
  if (brushAnchor < 0 || brushAnchor >= kBrushSize) brushAnchor = 0;
  const int32_t ax = brush[brushAnchor].x;
  const int32_t ay = brush[brushAnchor].y;
  for (const BrushEntry& e : brush) {
    if (!e.used) continue;
    const int32_t x = e.x - ax + gx;
    const int32_t y = e.y - ay + gy;
    DrawTile(e.code, x, y, kTileSize);
    if (!stamp || !mapCells) continue;
    const int64_t col = int64_t(x / kTileSize) + viewCol;
    const int64_t row = int64_t(y / kTileSize) + viewRow;
    if (col < 0 || row < 0 || col >= mapWidth || row >= mapHeight) continue;
    mapCells[row * mapWidth + col].tile = uint16_t(e.code + kTileValueBase);
  }
}

// Rebuilds the map at a new size: the old cell (x, y) goes to
// (x + shiftX, y + shiftY) when it fits; new cells get fill.
void ResizeMap(int32_t newW, int32_t newH, int32_t shiftX, int32_t shiftY, uint16_t fill,
               int32_t fillRow) {
  if (!mapCells || newW < 1 || newH < 1 || int64_t(newW) * newH > kMaxMapCells) return;
  MapCell* cells = static_cast<MapCell*>(std::calloc(size_t(newW) * size_t(newH), sizeof(MapCell)));
  if (!cells) return;
  for (int32_t y = 0; y < newH; ++y) {
    for (int32_t x = 0; x < newW; ++x) {
      const int32_t ox = x - shiftX, oy = y - shiftY;
      MapCell& cell = cells[int64_t(y) * newW + x];
      if (ox >= 0 && oy >= 0 && ox < mapWidth && oy < mapHeight) {
        cell = mapCells[int64_t(oy) * mapWidth + ox];
      } else if (fillRow < 0 || y == fillRow) {
        cell.tile = fill;
      }
    }
  }
  std::free(mapCells);
  mapCells = cells;
  mapWidth = newW;
  mapHeight = newH;
  ++mapGeneration;  // cells moved: remembered cell indices are stale
}

void Resize(int32_t op) {
  const uint16_t empty = uint16_t(kTileValueBase);
  switch (op) {
    case RemoveRightColumn:
      if (mapWidth >= 2) ResizeMap(mapWidth - 1, mapHeight, 0, 0, 0, -1);
      break;
    case AddRightColumn:
      ResizeMap(mapWidth + 1, mapHeight, 0, 0, empty, -1);
      break;
    case RemoveLeftColumn:
      if (mapWidth >= 2) ResizeMap(mapWidth - 1, mapHeight, -1, 0, 0, -1);
      viewCol = 0;
      break;
    case AddLeftColumn:
      ResizeMap(mapWidth + 1, mapHeight, 1, 0, empty, -1);
      break;
    case RemoveTopRow:
      if (mapHeight >= 2) ResizeMap(mapWidth, mapHeight - 1, 0, -1, 0, -1);
      viewRow = 0;
      break;
    case AddTopRow:
      ResizeMap(mapWidth, mapHeight + 1, 0, 1, empty, 0);
      viewRow = 0;
      break;
    case RemoveBottomRow:
      if (mapHeight >= 2) ResizeMap(mapWidth, mapHeight - 1, 0, 0, 0, -1);
      break;
    case AddBottomRow:
      // The row added at the bottom keeps value 0, which is empty as well.
      ResizeMap(mapWidth, mapHeight + 1, 0, 0, 0, -1);
      break;
    default:
      break;
  }
}

// Loads the current stage into a fresh map: the ".pak", else the ".mapd"
// when allowed. On failure the map in memory is kept as it was.
bool ReloadStage(bool allowMapd) {
  char pak[kNameCapacity], mapd[kNameCapacity];
  StageFileName(pak, sizeof pak, currentEpisode, currentStage, false);
  StageFileName(mapd, sizeof mapd, currentEpisode, currentStage, true);
  MapCell* oldCells = mapCells;
  const int32_t oldW = mapWidth, oldH = mapHeight;
  mapCells = nullptr;  // LoadPak keeps a loaded map, so detach the old one first
  if (LoadPak(pak) || (allowMapd && LoadMapd(mapd))) {
    std::free(oldCells);
    return true;
  }
  mapCells = oldCells;
  mapWidth = oldW;
  mapHeight = oldH;
  return false;
}

void SwitchOn() {
  if (!ReloadStage(true)) return;  // nothing to edit: the editor stays off
  editorMode = true;
  SetMusicVolume(kEditorMusicVolume);
}

void SwitchOff() {
  editorMode = false;
  GameObject* hero = FindObject(Hero, 1);
  const bool hadHero = hero != nullptr;
  const int32_t heroX = hadHero ? int32_t(hero->x) : 0;
  const int32_t heroY = hadHero ? int32_t(hero->y) : 0;
  char pak[kNameCapacity];
  StageFileName(pak, sizeof pak, currentEpisode, currentStage, false);
  // Only a map that reached the disk is reloaded; otherwise the edit stays in
  // memory rather than being replaced by the old file.
  if (SaveLevel(pak)) ReloadStage(false);
  DestroyAllObjects();
  if (hadHero) CreateObject(Hero, heroX, heroY, 0.0f, 0.0f, true);
  // Every fruit, enemy and key is back: so the stage counts start again, and
  // the tally never shows more than its totals.
  fruitCount = 0;
  enemiesKilled = 0;
  keys = 0;
  SpawnObjectsFromMap();
  StartStage();
  SetMusicVolume(musicVolume);
}

void MapView(uint32_t bits, int32_t gx, int32_t gy) {
  ApplyBrush(gx, gy, false);
  bool resizeKeyHeld = false;
  for (int32_t op = 0; op < kResizeOps; ++op) {
    const bool held = KInput::IsKeyDown(kResizeKeys[op].heldKey);
    resizeKeyHeld = resizeKeyHeld || held;
    if (held && (bits & kResizeKeys[op].arrow)) {
      if (!resizeLatch[op]) {
        resizeLatch[op] = true;
        Resize(op);
      }
    } else {
      resizeLatch[op] = false;
    }
  }
  if (!resizeKeyHeld) {
    if ((bits & BitRight) && viewCol < mapWidth - kScreenCols) ++viewCol;
    if ((bits & BitLeft) && viewCol > 0) --viewCol;
    if ((bits & BitDown) && viewRow < mapHeight - kScreenRows) ++viewRow;
    if ((bits & BitUp) && viewRow > 0) --viewRow;
  }
  if (bits & BitMouseButton) ApplyBrush(gx, gy, true);
}

void PaletteView(uint32_t bits, int32_t gx, int32_t gy) {
  DrawSprite(tileSheetSurface, 0, 0, 0, 0, kScreenWidth, kScreenHeight, false);
  for (int32_t col = 0; col < kKindIconColumn; ++col) {
    for (int32_t row = 0; row < kSheetRows; ++row) {
      const int32_t k = tileKinds[kSheetRows * col + row];
      if (k >= 0 && k < kKindIcons)
        DrawSprite(tileSheetSurface, kKindIconX, kTileSize * k, col * kTileSize, row * kTileSize,
                   kTileSize, kTileSize, true);
    }
  }
  for (const BrushEntry& e : brush) {
    if (e.used) DrawSprite(selectionSurface, 0, 0, e.x, e.y, kTileSize, kTileSize, true);
  }
  DrawTile(selectedCode, gx + 1, gy + 1, kPreviewSize);
  if (!(bits & BitMouseButton) || paletteClickLatch) return;
  paletteClickLatch = true;
  const int32_t column = gx / kTileSize;
  const int32_t row = gy / kTileSize;
  if (column == kKindIconColumn) {
    kindPick = row;
    return;
  }
  if (kindPick != -1) {
    // Code 0 is the empty cell: it keeps no kind, or every empty cell of
    // every stage would take it.
    if (kSheetRows * column + row != kEmptyTileCode) SetTileKind(column, row, kindPick);
    kindPick = -1;
    EmptyBrush();
  } else {
    selectedCode = kSheetRows * column + row;
  }
  if (!KInput::IsKeyDown(KeyLeftShift) && !KInput::IsKeyDown(KeyRightShift)) EmptyBrush();
  AddToBrush(gx, gy, selectedCode);
}

}  // namespace

void ResetEditor() {
  editorMode = false;
  paletteView = false;
  viewCol = 0;
  viewRow = 0;
  std::memset(brush, 0, sizeof brush);
  brushAnchor = 0;
  selectedCode = 0;
  kindPick = -1;
  editorLatch = false;
  spaceLatch = false;
  paletteClickLatch = false;
  std::memset(resizeLatch, 0, sizeof resizeLatch);
}

void EditorStep(uint32_t bits) {
  if (editorUnlocked == 0 || gameState == EpisodeEnd) return;
  if (bits & BitEditor) {
    // Only a stage in play or paused switches: leaving the editor restarts
    // the stage, which must not revive a death or a game over.
    const bool canSwitch = gameState == Playing || gameState == Paused;
    if (!editorLatch && canSwitch) {
      if (editorMode) SwitchOff();
      else SwitchOn();
    }
    editorLatch = true;
  } else {
    editorLatch = false;
  }
  if (!editorMode) return;
  if (bits & BitJump) {
    if (!spaceLatch) {
      spaceLatch = true;
      paletteView = !paletteView;
    }
  } else {
    spaceLatch = false;
  }
  if (!(bits & BitMouseButton)) paletteClickLatch = false;
  if (!(mouseX <= float(kMouseMaxX))) mouseX = float(kMouseMaxX);
  if (!(mouseY <= float(kMouseMaxY))) mouseY = float(kMouseMaxY);
  if (mouseX < 0.0f) mouseX = 0.0f;
  if (mouseY < 0.0f) mouseY = 0.0f;
  const int32_t gx = (int32_t(mouseX) / kTileSize) * kTileSize;
  const int32_t gy = (int32_t(mouseY) / kTileSize) * kTileSize;
  if (paletteView) PaletteView(bits, gx, gy);
  else MapView(bits, gx, gy);
  DrawSprite(editorCursorSurface, 0, 0, gx + 1, gy + 1, kTileSize, kTileSize, true);
}

void DrawEditorMap() {
  if (!mapCells || mapWidth <= 0 || mapHeight <= 0) return;
  const int32_t w = mapWidth * kTileSize < kScreenWidth ? mapWidth * kTileSize : kScreenWidth;
  const int32_t h = mapHeight * kTileSize < kScreenHeight ? mapHeight * kTileSize : kScreenHeight;
  DrawOverlayRect(tileSheetSurface, 0, 0, w, h);
  // Only the cells that can appear on screen are visited.
  for (int32_t c = 0; c < mapWidth && c <= kScreenCols; ++c) {
    for (int32_t r = 0; r < mapHeight && r <= kScreenRows; ++r) {
      const int64_t col = int64_t(c) + viewCol, row = int64_t(r) + viewRow;
      if (col < 0 || row < 0 || col >= mapWidth || row >= mapHeight) continue;
      const int32_t code = CellCode(mapCells[row * mapWidth + col].tile);
      if (code != 0) DrawTile(code, c * kTileSize, r * kTileSize, kTileSize);
    }
  }
}
