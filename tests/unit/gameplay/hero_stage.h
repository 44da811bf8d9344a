// A small stage built in memory for the hero, enemy, item and block tests:
// a map drawn as text, objects placed by hand, and one call that runs a
// frame of play the way the game does, from the keys the player holds.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/host/host_audio.h"
#include "engine/host/host_input.h"
#include "engine/platform/KInput.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "gameplay/blocks.h"
#include "gameplay/enemies.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/editor.h"
#include "world/level.h"

// Map characters: tile code and kind.
struct TestTile {
  char ch;
  int32_t code;
  int32_t kind;
};
constexpr TestTile kTestTiles[] = {
    {'#', 1, Solid},         {'=', 20, Ledge},        {'H', 36, Ladder},
    {'-', 37, HangBar},      {'^', 38, Deadly},       {'E', 189, ExitDoor},
    {'B', kBrickCode, Solid}, {'?', kRandomBonusCode, Solid}, {'C', kCheckpointCode, Solid},
    {'S', kSuperBlockCode, Solid}, {'L', kLifeBlockCode, Solid}};

class GameplayStage : public ::testing::Test {
 protected:
  void SetUp() override {
    // Sounds and music go to a virtual device: no audio thread outlives the
    // test program.
    HostAudioSetManualMix(true);
    ResetStage();
    std::memset(tileKinds, 0, sizeof(tileKinds));
    for (const TestTile& t : kTestTiles) tileKinds[t.code] = t.kind;
    frameTimeMs = 16.0f;
    gameState = Playing;
    lives = 4;
    keys = fruitCount = fruitTowardLife = enemiesKilled = 0;
    for (float& t : hudFlash) t = 0.0f;
    barRelease = {true, 0, 0};
    lastProbe = {-1, -1, 0, 0};
    HostResetInjectedInput();
    HostInjectMouse(0, 0, 0);  // injected mode: no real device is read
    ResetInputMapping();
  }
  // Leaves no stage state behind for the next test in this program.
  void TearDown() override {
    ResetStage();
    gameState = MainMenu;
    HostResetInjectedInput();
    ResetInputMapping();
  }
  void ResetStage() {
    DestroyAllObjects();
    FreeLevel();
    ClearPowers();
    CancelHole(false);
    ResetHeroState();
    bumpActive = false;
    shakeTimerMs = 0.0f;
    checkpointSet = stageFinished = editorMode = false;
    ResetCamera();
  }

  // Rows of text of equal width, '.' empty. Maps lower than the screen never
  // scroll, so screen and world coincide.
  void Map(const std::vector<std::string>& rows) {
    FreeLevel();
    mapWidth = static_cast<int32_t>(rows[0].size());
    mapHeight = static_cast<int32_t>(rows.size());
    ASSERT_TRUE(AllocateCells());
    mapReady = 1;
    for (int32_t i = 0; i < mapWidth * mapHeight; ++i) {
      int32_t code = 0;
      for (const TestTile& t : kTestTiles)
        if (t.ch == rows[i / mapWidth][i % mapWidth]) code = t.code;
      mapCells[i].tile = static_cast<uint16_t>(code + 48);
    }
    ResetCamera();
  }
  int32_t CodeAt(int32_t col, int32_t row) { return CellCodeAt(col, row); }

  // An object with its frame and box sizes, appended to the list.
  GameObject* Put(uint32_t type, int32_t x, int32_t y) {
    CreateObject(static_cast<int32_t>(type), x, y, 0.0f, 0.0f, true);
    GameObject* o = objectList;
    while (o->next) o = o->next;
    const ObjectAnim* a = GetObjectAnim(type);
    o->frameW = a->frameW;
    o->frameH = a->frameH;
    o->boxW = a->boxW;
    o->boxH = a->boxH;
    return o;
  }
  GameObject* PutHero(int32_t col, int32_t row) { return hero = Put(Hero, col * 32, row * 32); }

  // One frame of the game's state machine (pause, the finish check, the
  // stage, the world, the curtain) with the keys down that give these
  // action bits; the others are up.
  void Frame(uint32_t bits = 0) {
    struct BitKey {
      uint32_t bit;
      int key;
    };
    static constexpr BitKey kBitKeys[] = {
        {BitLeft, KeyLeft},   {BitRight, KeyRight},      {BitUp, KeyUp},         {BitDown, KeyDown},
        {BitJump, KeySpace},  {BitAction, KeyLeftShift}, {BitPause, KeyP},       {BitEnter, KeyEnter},
        {BitEscape, KeyEscape}, {BitEditor, KeyF1}};
    for (const BitKey& k : kBitKeys) HostInjectKey(KInput::VirtualKeyFromKey(k.key), (bits & k.bit) != 0);
    StepGameState();
  }
  void Frames(int n, uint32_t bits = 0) {
    for (int i = 0; i < n; ++i) Frame(bits);
  }

  int32_t CountType(uint32_t type) {
    int32_t n = 0;
    for (GameObject* o = objectList; o; o = o->next) n += o->type == type ? 1 : 0;
    return n;
  }

  GameObject* hero = nullptr;
};

// A closed room 25 x 12: floor on row 11, walls at both ends.
inline std::vector<std::string> Room() {
  std::vector<std::string> rows(12, "#.......................#");
  rows[11] = std::string(25, '#');
  return rows;
}
