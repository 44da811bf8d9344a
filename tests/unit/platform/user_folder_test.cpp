// Where the game's written files go: beside a build or copied game, in the
// per-user folder for an installed game (whatever its permissions) and for
// a game whose folder cannot be written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "engine/platform/KUserFolder.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

class UserFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    const char *xdg = std::getenv("XDG_DATA_HOME");
    hadXdg = xdg != nullptr;
    if (xdg) savedXdg = xdg;
    setenv("XDG_DATA_HOME", dir.File("xdg").c_str(), 1);
    game = dir.File("game");
    fs::create_directories(game + "/tarn");
    dir.Write("game/tarn/e1s1.pak", "shipped");
    UseProgramDir(game);
  }
  void TearDown() override {
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
    if (hadXdg) setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
  }
  static void UseProgramDir(const std::string &folder) {
    HostOverrideProgramDirectory(folder.c_str());
    KSystem::InitSystem();
  }
  void Install() { dir.Write("game/bramblets2.installed", game + "\n"); }
  static std::string Read(const char *name) {
    char path[kSystemPathCapacity];
    return KUserFolder::ReadPath(name, path, sizeof path) ? path : "(none)";
  }
  static std::string Write(const char *name) {
    char path[kSystemPathCapacity];
    char why[256] = "";
    if (KUserFolder::WritePath(name, path, sizeof path, why, sizeof why)) return path;
    return std::string("(") + why + ")";
  }
  std::string User(const std::string &relative) { return dir.File("xdg/bramblets2/" + relative); }

  TempDir dir;
  std::string game;
  bool hadXdg = false;
  std::string savedXdg;
};

TEST_F(UserFolderTest, ABuildFolderKeepsItsFilesBesideTheProgramEvenWithAPerUserCopy) {
  EXPECT_FALSE(KUserFolder::IsInstalled());
  dir.Write("xdg/bramblets2/tarn/br2.cfg", "per-user copy");
  dir.Write("xdg/bramblets2/tarn/e1s1.pak", "per-user stage");
  EXPECT_EQ(Write("tarn\\br2.cfg"), game + "/tarn/br2.cfg");
  EXPECT_EQ(Read("tarn\\br2.cfg"), game + "/tarn/br2.cfg");
  EXPECT_EQ(Read("tarn\\e1s1.pak"), game + "/tarn/e1s1.pak");
  EXPECT_EQ(Write("screenshot1.tga"), game + "/screenshot1.tga");
  // A folder of the game's that does not exist yet is made beside it.
  EXPECT_EQ(Write("shots/a.tga"), game + "/shots/a.tga");
  EXPECT_TRUE(fs::is_directory(game + "/shots"));
}

TEST_F(UserFolderTest, AnInstalledGameWritesOnlyToThePerUserFolderWhoeverRunsIt) {
  Install();  // the folder stays writable: as for root, or the user who installed it
  EXPECT_TRUE(KUserFolder::IsInstalled());
  EXPECT_FALSE(KUserFolder::KeptBesideProgram("tarn\\br2.cfg"));
  EXPECT_EQ(Write("tarn\\br2.cfg"), User("tarn/br2.cfg"));
  EXPECT_TRUE(fs::is_directory(User("tarn")));
  EXPECT_EQ(Write("screenshot2.tga"), User("screenshot2.tga"));
  // Shipped data is read from the installation until the player has a copy.
  EXPECT_EQ(Read("tarn\\e1s1.pak"), game + "/tarn/e1s1.pak");
  dir.Write("xdg/bramblets2/tarn/e1s1.pak", "edited");
  EXPECT_EQ(Read("tarn\\e1s1.pak"), User("tarn/e1s1.pak"));
  // The installation itself gained nothing.
  EXPECT_FALSE(fs::exists(game + "/tarn/br2.cfg"));
  EXPECT_FALSE(fs::exists(game + "/screenshot2.tga"));
}

TEST_F(UserFolderTest, AGameFolderThatCannotBeWrittenUsesThePerUserFolder) {
  // A folder nobody can create files in, not even the superuser.
  UseProgramDir("/proc/self/bramblets2-readonly");
  EXPECT_FALSE(KUserFolder::IsInstalled());
  EXPECT_EQ(Write("tarn\\br2.cfg"), User("tarn/br2.cfg"));
  EXPECT_EQ(Read("tarn\\br2.cfg"), "/proc/self/bramblets2-readonly/tarn/br2.cfg");
  dir.Write("xdg/bramblets2/tarn/br2.cfg", "progress");
  EXPECT_EQ(Read("tarn\\br2.cfg"), User("tarn/br2.cfg"));
}

TEST_F(UserFolderTest, NoUsablePerUserFolderIsRefusedWithAReason) {
  Install();
  setenv("XDG_DATA_HOME", "/proc/self/no-data-home", 1);  // read-only per-user folder
  const std::string refused = Write("tarn\\br2.cfg");
  EXPECT_EQ(refused.front(), '(');
  EXPECT_NE(refused.find("/proc/self/no-data-home/bramblets2/tarn"), std::string::npos) << refused;
  // Names that climb out of the folder are not the game's files.
  EXPECT_EQ(Write("../outside"), "(not a file name of the game)");
  EXPECT_EQ(Write("tarn/../../outside"), "(not a file name of the game)");
  EXPECT_EQ(Read(""), "(none)");
}

TEST_F(UserFolderTest, SaveFileSaysWhichStepFailed) {
  const std::string path = dir.File("game/tarn/br2.cfg");
  char why[256] = "";
  ASSERT_TRUE(KUserFolder::SaveFile(path.c_str(), "abc", 3, why, sizeof why));
  EXPECT_EQ(ReadBytes(path).size(), 3u);
  const std::string missing = dir.File("missing/br2.cfg");
  EXPECT_FALSE(KUserFolder::SaveFile(missing.c_str(), "abc", 3, why, sizeof why));
  EXPECT_NE(std::string(why).find("previous file is kept"), std::string::npos) << why;
  EXPECT_NE(std::string(why).find("No such file"), std::string::npos) << why;
}

}  // namespace
