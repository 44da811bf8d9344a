// Shared helpers for the stage tests: a throw-away program folder, stage files
// written byte by byte, and a surface that records every blit.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/graphics/KGraphic.h"
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

// A surface that draws nothing and records where every copy went.
struct Blit {
  float sx, sy;
  int32_t dx, dy;
  float angle, zoom;
};
class RecordingGraphic : public KGraphic {
 public:
  std::vector<Blit> blits;
  using F = float;
  using I = int16_t;
  bool LoadPictureKeyPixel(char*, I, I) override { return true; }
  void BlitRect(F a, F b, F, F, I x, I y) override { Add(a, b, x, y); }
  void BlitAlphaRect(F a, F b, F, F, I x, I y) override { Add(a, b, x, y); }
  bool LoadPictureFromMemory(const char*, const unsigned char*, uint32_t, bool, bool) override { return true; }
  bool LoadPictureFromMemoryKeyPixel(const char*, const unsigned char*, uint32_t, I, I) override { return true; }
  bool LoadPictureWithMask(char*, char*, bool) override { return true; }
  bool LoadPicture(char*, bool, bool) override { return true; }
  void FreePicture() override {}
  F GetWidth() override { return 800; }
  F GetHeight() override { return 640; }
  void SetFiltering(bool) override {}
  void FillRect(F, F, F, F, F, F, F, F) override {}
  void DrawLine(F, F, F, F, F, F, F, F) override {}
  void PlotPixel(F, F, F, F, F, F) override {}
  void BlitRectFlip(F a, F b, F, F, I x, I y, bool, bool) override { Add(a, b, x, y); }
  void BlitRectFx(F a, F b, F, F, I x, I y, F an, F z, bool, bool) override { Add(a, b, x, y, an, z); }
  void BlitAlphaRectFlip(F a, F b, F, F, I x, I y, bool, bool) override { Add(a, b, x, y); }
  void BlitAlphaRectFx(F a, F b, F, F, I x, I y, F an, F z, F, bool, bool, F, F) override { Add(a, b, x, y, an, z); }
  void BlitRectFlipF(F a, F b, F, F, F x, F y, bool, bool) override { Add(a, b, I(x), I(y)); }
  void BlitRectFxF(F a, F b, F, F, F x, F y, F an, F z, bool, bool) override { Add(a, b, I(x), I(y), an, z); }
  void BlitAlphaRectFlipF(F a, F b, F, F, F x, F y, bool, bool) override { Add(a, b, I(x), I(y)); }
  void BlitAlphaRectFxF(F a, F b, F, F, F x, F y, F an, F z, F, bool, bool, F, F) override { Add(a, b, I(x), I(y), an, z); }
  void DrawTextureRotated(I, I, I, I, F, F) override {}
  void BlitQuad(F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F) override {}
  void SetBlendMode(int32_t) override {}
  void StretchAlphaRect(F, F, F, F, F, F, F, F, F, F, bool, bool, F, F) override {}
  bool GrabBackBuffer(PixelFilter) override { return false; }
  bool GrabFrontBuffer() override { return false; }
  void SetColorKey(bool, uint8_t, uint8_t, uint8_t) override {}
  void SetTextureRepeat(bool) override {}
  void SetBlitColor(F, F, F, F) override {}
  bool MakePictureFromArray(uint32_t*, int32_t, int32_t, bool) override { return false; }
  void UpdatePictureFromArray() override {}
  void UseTexture() override {}

 private:
  void Add(F sx, F sy, I x, I y, F an = 0, F z = 1) { blits.push_back({sx, sy, x, y, an, z}); }
};

}  // namespace worldtest
