// Fuzzes both stage loaders: the input is written as a ".pak" and as a
// ".mapd", each is loaded, and the loaded map goes through the spawner, the
// hero and camera placement, the tile probes and a few physics frames.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "game/game_context.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/level.h"
#include "world/tile_kinds.h"

namespace {

constexpr int64_t kExerciseCells = 1 << 16;

std::string folder;

void Check(bool condition) {
  if (!condition) std::abort();
}

void WriteFile(const std::string& name, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen((folder + "/tarn/" + name).c_str(), "wb");
  Check(f != nullptr);
  if (size) Check(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);
}

// Everything a loaded map is used for at a stage start and in play.
void Exercise() {
  Check(mapCells == nullptr || (mapWidth > 0 && mapHeight > 0 &&
                                int64_t(mapWidth) * mapHeight <= kMaxMapCells));
  // Huge (but allowed) maps are only loaded: walking millions of cells per
  // input would slow the search down without reaching new code.
  if (!mapCells || int64_t(mapWidth) * mapHeight > kExerciseCells) return;
  DestroyAllObjects();
  SpawnObjectsFromMap();
  ClearCheckpoint();
  ResetCamera();
  PlaceHero();
  PlaceCamera();
  for (int32_t y = -40; y < 700; y += 37) {
    for (int32_t x = -40; x < 900; x += 53) {
      TileAt(x, y);
      Floor(x, y, 32, 32, kFloorGround);
      Ceiling(x, y, 32, 32);
      WallLeft(x, y, 28, 32);
    }
  }
  gameState = Playing;
  for (int i = 0; i < 3; ++i) UpdateObjectPhysics();
  if (GameObject* hero = FindObject(Hero, 1)) {
    FollowHeroX(hero);
    FollowHeroY(hero);
  }
  DestroyAllObjects();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/stagefuzzXXXXXX";
  Check(mkdtemp(pattern) != nullptr);
  folder = pattern;
  Check(std::system(("mkdir -p '" + folder + "/tarn'").c_str()) == 0);
  setenv("XDG_DATA_HOME", (folder + "/xdg").c_str(), 1);
  HostOverrideProgramDirectory(folder.c_str());
  KSystem::InitSystem();
  // Every marker kind on a low code, so spawning is reached.
  const int32_t kinds[] = {Ledge, Solid, SpringMark, ExitDoor, Deadly, StartMark, HangBar,
                           FruitMark, Ladder, KeyMark, ShuttleMark, OrbitMark, WalkerMark,
                           SlowWalkerMark};
  for (int32_t i = 0; i < int32_t(sizeof kinds / sizeof kinds[0]); ++i) tileKinds[i + 1] = kinds[i];
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteFile("f.pak", data, size);
  FreeLevel();
  if (LoadPak("f.pak")) Exercise();
  FreeLevel();

  // The same bytes after a .mapd header whose size fields come from the
  // input's first 8 bytes.
  std::string mapd(kMapdHeaderBytes, '\0');
  for (size_t i = 0; i < 8 && i < size; ++i) mapd[264 + i] = char(data[i]);
  if (size > 8) mapd.append(reinterpret_cast<const char*>(data + 8), size - 8);
  WriteFile("f.mapd", reinterpret_cast<const uint8_t*>(mapd.data()), mapd.size());
  if (LoadMapd("f.mapd")) Exercise();
  FreeLevel();
  return 0;
}
