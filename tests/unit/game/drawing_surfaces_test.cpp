// Loading the game's sheets at start-up, with the messages a missing picture
// shows (the message box prints "title: text" on stderr without a display).
#include <gtest/gtest.h>

#include <string>

#include "engine/graphics/KGraphicGL.h"
#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "engine/platform/KWindow.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "unit/graphics/picture_data.h"

namespace {

class SurfaceLoadTest : public ::testing::Test {
 protected:
  TempDir dir;

  void SetUp() override {
    // The OpenGL pair's surfaces load without a window; the selector picks them.
    delete createKWindow(1, false);
    KGraphicGL::SetScreenSize(800, 600, 16);
    HostOverrideProgramDirectory(dir.path().c_str());
    KSystem::InitSystem();
    ReleaseSurfaces();
  }
  void TearDown() override {
    ReleaseSurfaces();
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
  }
  void Put(const char* name) {
    dir.Write(name, MakeBmp24(4, 4, [](int, int) { return 0xFF0000u; }));
  }
  static std::string Messages(bool (*step)()) {
    testing::internal::CaptureStderr();
    const bool ok = step();
    std::string out = testing::internal::GetCapturedStderr();
    return (ok ? "ok\n" : "failed\n") + out;
  }
};

TEST_F(SurfaceLoadTest, MissingEpisodePicturesOnlyWarn) {
  Put("panels.bmp");
  Put("sprites.bmp");
  Put("selection.bmp");
  EXPECT_EQ(Messages(LoadSurfaces),
            "ok\n"
            "Problem: On a pas pu charger la surface : gomme\n"
            "Problem: On a pas pu charger la surface : souris\n"
            "Problem: On a pas pu charger : background\n"
            "Problem: On a pas pu charger : table\n");
  ASSERT_NE(spritesSurface, nullptr);
  EXPECT_EQ(spritesSurface->GetWidth(), 4);
  EXPECT_NE(selectionSurface, nullptr);
  EXPECT_EQ(backgroundSurface, nullptr);

  // A sheet already held is not loaded again; the episode pictures are.
  KGraphic* sprites = spritesSurface;
  Put("world1.bmp");
  Put("table1blts.bmp");
  Put("gomme.bmp");
  Put("souris.bmp");
  EXPECT_EQ(Messages(RestoreSurfaces), "ok\n");
  EXPECT_EQ(spritesSurface, sprites);
  EXPECT_NE(backgroundSurface, nullptr);
  EXPECT_NE(tileSheetSurface, nullptr);

  ReleaseSurfaces();
  EXPECT_EQ(panelsSurface, nullptr);
  EXPECT_EQ(tileSheetSurface, nullptr);
  EXPECT_EQ(editorCursorSurface, nullptr);
}

TEST_F(SurfaceLoadTest, SpriteSurfaceIsKeyedBlueAndAnUndecodablePictureIsNone) {
  dir.Write("blue.bmp", MakeBmp24(2, 1, [](int x, int) { return x == 0 ? 0x0000FFu : 0xFF0000u; }));
  dir.Write("bad.bmp", std::vector<uint8_t>(100, 0x42));
  KGraphic* keyed = LoadSpriteSurface("blue.bmp");
  ASSERT_NE(keyed, nullptr);
  EXPECT_EQ(keyed->GetWidth(), 2);
  delete keyed;
  EXPECT_EQ(LoadSpriteSurface("bad.bmp"), nullptr);
  EXPECT_EQ(LoadSpriteSurface("missing.bmp"), nullptr);
  EXPECT_EQ(LoadSpriteSurface(nullptr), nullptr);
}

}  // namespace
