// Shared helpers for the stage tests: a throw-away program folder and stage
// files written byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "game/game_context.h"
#include "gameplay/hero.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/level.h"
#include "world/tile_kinds.h"

namespace worldtest {

inline void PutLE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

// A ".pak" of w x h cells with the given tile codes (second values = extra).
inline std::vector<uint8_t> PakBytes(int32_t w, int32_t h, const std::vector<int32_t>& codes,
                                     uint16_t extra = 0) {
  std::vector<uint8_t> out;
  PutLE32(out, uint32_t(w));
  PutLE32(out, uint32_t(h));
  for (int32_t c : codes) PutLE32(out, uint32_t(c + kTileValueBase) | uint32_t(extra) << 16);
  return out;
}

// A ".mapd" of w x h records with the given tile codes.
inline std::vector<uint8_t> MapdBytes(int32_t w, int32_t h, const std::vector<int32_t>& codes) {
  std::vector<uint8_t> out(kMapdHeaderBytes, 0xAB);
  for (int i = 0; i < 4; ++i) out[264 + i] = uint8_t(uint32_t(w) >> (8 * i));
  for (int i = 0; i < 4; ++i) out[268 + i] = uint8_t(uint32_t(h) >> (8 * i));
  for (int32_t c : codes) {
    PutLE32(out, 0xDEADBEEF);
    PutLE32(out, uint32_t(c));
    PutLE32(out, 0xDEADBEEF);
  }
  return out;
}

// Fresh program folder with tarn/ and a private per-user folder; the map,
// objects, camera, hero state and table are emptied around each test.
class StageFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/worldtestXXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::create_directories(dir_ + "/tarn");
    setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
    HostOverrideProgramDirectory(dir_.c_str());
    KSystem::InitSystem();
    ResetWorld();
  }
  void TearDown() override {
    ResetWorld();
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
    std::filesystem::remove_all(dir_);
  }
  static void ResetWorld() {
    FreeLevel();
    DestroyAllObjects();
    ClearTileKinds();
    ClearCheckpoint();
    ResetHeroState();
    cameraX = cameraY = 0;
    gameState = Playing;
    frameTimeMs = 16.0f;
  }
  // A loaded w x h map with every cell set to code.
  static void Map(int32_t w, int32_t h, int32_t code = 0) {
    FreeLevel();
    mapWidth = w;
    mapHeight = h;
    ASSERT_TRUE(AllocateCells());
    for (int32_t i = 0; i < w * h; ++i) mapCells[i].tile = uint16_t(code + kTileValueBase);
  }
  static void Put(int32_t x, int32_t y, int32_t code) {
    mapCells[y * mapWidth + x].tile = uint16_t(code + kTileValueBase);
  }
  void Write(const std::string& rel, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(dir_ + "/" + rel).parent_path());
    std::ofstream(dir_ + "/" + rel, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::vector<uint8_t> Read(const std::string& rel) {
    std::ifstream in(dir_ + "/" + rel, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
  }
  std::string dir_;
};

}  // namespace worldtest
