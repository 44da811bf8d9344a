// Durable whole-file writes with a fault at each step, stale temporaries,
// folder making, the user's data home and the installed-game check.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/host/host_files.h"
#include "unit/platform/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string Text(const std::string &path) {
  std::vector<uint8_t> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

bool Save(const std::string &path, const std::string &text, HostWriteFailure *failure = nullptr) {
  return HostWriteFileDurably(path.c_str(), text.data(), text.size(), failure);
}

class DurableWrite : public ::testing::TestWithParam<std::pair<HostWriteStep, int>> {
protected:
  void TearDown() override { HostFailWriteStepForTest(kWriteStepNone, 0); }
  TempDir dir;
};

TEST(DurableWriteTest, ReplacesTheWholeFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.File("br2.cfg");
  HostWriteFailure failure;
  ASSERT_TRUE(Save(path, "a much longer first version", &failure));
  EXPECT_EQ(failure.step, kWriteStepNone);
  ASSERT_TRUE(Save(path, "short"));
  EXPECT_EQ(Text(path), "short");  // nothing of the longer old file remains
  ASSERT_TRUE(Save(path, ""));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_FALSE(fs::exists(path + kHostTempSuffix));
}

// A fault before the rename keeps the old file exactly and removes the
// temporary; the caller learns which step failed and why.
TEST_P(DurableWrite, AFaultBeforeTheRenameKeepsTheOldFile) {
  const auto [step, error] = GetParam();
  const std::string path = dir.File("e1s1.pak");
  ASSERT_TRUE(Save(path, "the stage as last saved"));
  HostFailWriteStepForTest(step, error);
  HostWriteFailure failure;
  EXPECT_FALSE(Save(path, "the edited stage", &failure));
  EXPECT_EQ(failure.step, step);
  EXPECT_EQ(failure.error, error);
  EXPECT_EQ(Text(path), "the stage as last saved");
  EXPECT_FALSE(fs::exists(path + kHostTempSuffix));
  // A first write that fails leaves no file at all.
  const std::string fresh = dir.File("fresh");
  EXPECT_FALSE(Save(fresh, "x"));
  EXPECT_FALSE(fs::exists(fresh));
  EXPECT_FALSE(fs::exists(fresh + kHostTempSuffix));
  // Once the fault is gone the same write goes through.
  HostFailWriteStepForTest(kWriteStepNone, 0);
  ASSERT_TRUE(Save(path, "the edited stage"));
  EXPECT_EQ(Text(path), "the edited stage");
}

INSTANTIATE_TEST_SUITE_P(EachStep, DurableWrite,
                         ::testing::Values(std::make_pair(kWriteStepOpen, EACCES),
                                           std::make_pair(kWriteStepWrite, ENOSPC),
                                           std::make_pair(kWriteStepSyncFile, EIO),
                                           std::make_pair(kWriteStepClose, EDQUOT),
                                           std::make_pair(kWriteStepRename, EROFS)));

TEST(DurableWriteTest, AFailedFolderSyncLeavesTheNewFileAndSaysSo) {
  TempDir dir;
  const std::string path = dir.File("br2.cfg");
  ASSERT_TRUE(Save(path, "old"));
  HostFailWriteStepForTest(kWriteStepSyncFolder, EIO);
  HostWriteFailure failure;
  EXPECT_FALSE(Save(path, "new", &failure));
  HostFailWriteStepForTest(kWriteStepNone, 0);
  EXPECT_EQ(failure.step, kWriteStepSyncFolder);
  EXPECT_EQ(Text(path), "new");
  EXPECT_FALSE(fs::exists(path + kHostTempSuffix));
  EXPECT_STRNE(HostWriteStepName(kWriteStepSyncFolder), HostWriteStepName(kWriteStepSyncFile));
}

TEST(DurableWriteTest, StaleTemporariesFromACrashAreReplacedNotFollowed) {
  TempDir dir;
  const std::string path = dir.File("br2.cfg");
  const std::string temp = path + kHostTempSuffix;
  // A half-written temporary, read-only, from an earlier crash.
  dir.Write("br2.cfg.tmp", "half a file from a crash, longer than the new one");
  chmod(temp.c_str(), 0444);
  ASSERT_TRUE(Save(path, "complete"));
  EXPECT_EQ(Text(path), "complete");
  EXPECT_FALSE(fs::exists(temp));
  // A temporary that is a link to another file: that file is never written.
  dir.Write("elsewhere", "not the game's");
  fs::create_symlink(dir.File("elsewhere"), temp);
  ASSERT_TRUE(Save(path, "again"));
  EXPECT_EQ(Text(dir.File("elsewhere")), "not the game's");
  EXPECT_EQ(Text(path), "again");
  // A folder in the way of the temporary: refused, the file untouched.
  fs::create_directories(temp + "/inside");
  HostWriteFailure failure;
  EXPECT_FALSE(Save(path, "third", &failure));
  EXPECT_EQ(failure.step, kWriteStepOpen);
  EXPECT_EQ(Text(path), "again");
}

TEST(DurableWriteTest, UnusableTargetsAreRefused) {
  TempDir dir;
  HostWriteFailure failure;
  EXPECT_FALSE(Save(dir.File("no/such/folder/br2.cfg"), "x", &failure));
  EXPECT_EQ(failure.step, kWriteStepOpen);
  EXPECT_EQ(failure.error, ENOENT);
  EXPECT_FALSE(HostWriteFileDurably(nullptr, "x", 1, &failure));
  EXPECT_FALSE(HostWriteFileDurably(dir.File("a").c_str(), nullptr, 4, &failure));
  // A folder nobody may create files in, whatever the user.
  EXPECT_FALSE(Save("/proc/self/br2.cfg", "x"));
}

TEST(FolderTest, FoldersAreMadeAndCheckedForWriting) {
  TempDir dir;
  const std::string deep = dir.File("xdg/bramblets2/tarn");
  ASSERT_TRUE(HostMakeFolders(deep.c_str()));
  EXPECT_TRUE(HostFolderExists(deep.c_str()));
  EXPECT_TRUE(HostFolderWritable(deep.c_str()));
  EXPECT_TRUE(HostMakeFolders(deep.c_str()));  // already there
  dir.Write("file", "x");
  EXPECT_FALSE(HostMakeFolders(dir.File("file/tarn").c_str()));
  EXPECT_FALSE(HostFolderWritable(dir.File("file").c_str()));
  EXPECT_TRUE(HostFileExists(dir.File("file").c_str()));
  EXPECT_FALSE(HostFileExists(deep.c_str()));
  EXPECT_FALSE(HostFolderWritable("/proc/self"));
  EXPECT_FALSE(HostMakeFolders("/proc/self/bramblets2"));
}

class DataHomeTest : public ::testing::Test {
protected:
  void SetUp() override {
    Keep("XDG_DATA_HOME", &xdg, &hadXdg);
    Keep("HOME", &home, &hadHome);
  }
  void TearDown() override {
    Restore("XDG_DATA_HOME", xdg, hadXdg);
    Restore("HOME", home, hadHome);
  }
  static void Keep(const char *name, std::string *value, bool *had) {
    const char *v = std::getenv(name);
    *had = v != nullptr;
    if (v) *value = v;
  }
  static void Restore(const char *name, const std::string &value, bool had) {
    if (had) setenv(name, value.c_str(), 1);
    else unsetenv(name);
  }
  std::string Home() {
    char buffer[4096];
    return HostUserDataHome(buffer, sizeof buffer) ? buffer : "(none)";
  }
  std::string xdg, home;
  bool hadXdg = false, hadHome = false;
};

TEST_F(DataHomeTest, XdgWhenAbsoluteElseTheHomeFolder) {
  setenv("XDG_DATA_HOME", "/data/user//", 1);
  setenv("HOME", "/home/player", 1);
  EXPECT_EQ(Home(), "/data/user");
  setenv("XDG_DATA_HOME", "relative/data", 1);  // not a valid data home: ignored
  EXPECT_EQ(Home(), "/home/player/.local/share");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(Home(), "/home/player/.local/share");
  // No usable $HOME: the home folder of the account.
  setenv("HOME", "nowhere", 1);
  const std::string fallback = Home();
  EXPECT_TRUE(fallback == "(none)" || fallback.rfind("/", 0) == 0) << fallback;
  char tiny[4];
  setenv("HOME", "/home/player", 1);
  EXPECT_FALSE(HostUserDataHome(tiny, sizeof tiny));
}

TEST(InstalledTest, OnlyTheFolderTheMarkerNamesIsInstalled) {
  TempDir dir;
  const std::string game = dir.File("prefix/lib/bramblets2");
  fs::create_directories(game);
  EXPECT_FALSE(HostIsInstalledFolder(game.c_str()));  // a build folder: no marker
  dir.Write("prefix/lib/bramblets2/bramblets2.installed", game + "\n");
  EXPECT_TRUE(HostIsInstalledFolder(game.c_str()));
  // Reached through a link to the prefix: still the same folder.
  fs::create_directory_symlink(dir.File("prefix"), dir.File("link"));
  EXPECT_TRUE(HostIsInstalledFolder(dir.File("link/lib/bramblets2").c_str()));
  // A copy of the installed folder elsewhere is not installed.
  fs::copy(game, dir.File("copy"), fs::copy_options::recursive);
  EXPECT_FALSE(HostIsInstalledFolder(dir.File("copy").c_str()));
  // Garbage or an empty marker: not installed.
  dir.Write("prefix/lib/bramblets2/bramblets2.installed", "lib/bramblets2");
  EXPECT_FALSE(HostIsInstalledFolder(game.c_str()));
  dir.Write("prefix/lib/bramblets2/bramblets2.installed", "");
  EXPECT_FALSE(HostIsInstalledFolder(game.c_str()));
  EXPECT_FALSE(HostIsInstalledFolder(nullptr));
}

}  // namespace
