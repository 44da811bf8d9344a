// The configuration and progress file: stored form, defaults, robustness,
// crash safety, save points, and where the file lives (beside a build, in
// the per-user folder for an installed or read-only game).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/host/host_files.h"
#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "game/config_file.h"
#include "game/game_context.h"
#include "game/user_files.h"
#include "harness/harness.h"

namespace fs = std::filesystem;

namespace {

std::string Flip(std::string s) {
  for (char& c : s) c = static_cast<char>(static_cast<unsigned char>(c) + 128);
  return s;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The 60 stage statuses as the file writes them, each followed by a space.
std::string Statuses(const char* each) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += std::string(each) + " ";
  return text;
}

std::string DefaultText(bool atSign) {
  std::string text = "BR\n1\n0\n" + Statuses("0") + "\n50\n50\n1\n";
  if (atSign) text += "@";
  return text;
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = HarnessMakeTempDir();
    ASSERT_FALSE(dir_.empty());
    UseProgramDir(dir_);
    const char* xdg = std::getenv("XDG_DATA_HOME");
    hadXdg_ = xdg != nullptr;
    if (xdg) savedXdg_ = xdg;
    setenv("XDG_DATA_HOME", (dir_ + "/xdg").c_str(), 1);
    musicVolume = effectsVolume = 0;
  }
  void TearDown() override {
    HostFailWriteStepForTest(kWriteStepNone, 0);
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
    if (hadXdg_) setenv("XDG_DATA_HOME", savedXdg_.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  static void UseProgramDir(const std::string& dir) {
    HostOverrideProgramDirectory(dir.c_str());
    KSystem::InitSystem();
  }
  std::string CfgPath() const { return dir_ + "/tarn/br2.cfg"; }
  std::string UserCfgPath() const { return dir_ + "/xdg/bramblets2/tarn/br2.cfg"; }

  std::string dir_;
  bool hadXdg_ = false;
  std::string savedXdg_;
};

TEST_F(ConfigFileTest, DefaultFileBytesStoredFormAndPlainFilesReplaced) {
  SetConfigDefaults();
  char text[kConfigMaxBytes];
  size_t n = FormatConfigText(text, sizeof text, true);
  EXPECT_EQ(std::string(text, n), DefaultText(true));

  // No file: the defaults are used and the file on disk is in stored form.
  ReadConfig();
  EXPECT_EQ(musicVolume, 50);
  std::string stored = ReadAll(CfgPath());
  ASSERT_FALSE(stored.empty());
  EXPECT_EQ(static_cast<unsigned char>(stored[0]), 'B' + 128);
  EXPECT_EQ(stored, Flip(DefaultText(false)));
  EXPECT_FALSE(fs::exists(CfgPath() + ".tmp"));

  // A hand-written plain file is replaced by the defaults.
  WriteAll(CfgPath(), "BR\n9\n1\n" + Statuses("1") + "\n70\n80\n1\n");
  ReadConfig();
  EXPECT_EQ(reachedStage, 1);
  EXPECT_EQ(stageStatus[1][1], 0);
  EXPECT_EQ(ReadAll(CfgPath()), Flip(DefaultText(false)));
}

TEST_F(ConfigFileTest, StoredFileRoundTripsAndStatusesGoStageByStage) {
  SetConfigDefaults();
  reachedStage = 7;
  editorUnlocked = 1;
  stageStatus[1][1] = 1;
  stageStatus[2][1] = 2;
  stageStatus[3][1] = 3;
  stageStatus[1][20] = 3;
  effectsVolume = 150;  // outside 0..100: kept as written
  musicVolume = -5;
  configFlag = 9;
  ASSERT_TRUE(WriteConfig());
  // Statuses go stage by stage across the episodes; 60 numbers, each followed by a space.
  std::string statuses = "1 2 3 ";
  for (int i = 3; i < 60; ++i) statuses += i == 57 ? "3 " : "0 ";
  EXPECT_EQ(Flip(ReadAll(CfgPath())), "BR\n7\n1\n" + statuses + "\n150\n-5\n9\n");

  SetConfigDefaults();
  ReadConfig();
  EXPECT_EQ(reachedStage, 7);
  EXPECT_EQ(stageStatus[1][20], 3);
  EXPECT_EQ(musicVolume, -5);  // outside 0..100: used as written
  EXPECT_EQ(configFlag, 9);
}

TEST_F(ConfigFileTest, DamagedStoredFilesNeverCrashOrSilenceTheGame) {
  // Cut short after the statuses: the rest keeps the defaults.
  std::string text = "BR\n4\n0\n1 1 1 ";
  WriteAll(CfgPath(), Flip(text));
  ReadConfig();
  EXPECT_EQ(reachedStage, 4);
  EXPECT_EQ(stageStatus[3][1], 1);
  EXPECT_EQ(stageStatus[1][2], 0);
  EXPECT_EQ(musicVolume, 50);
  EXPECT_EQ(configFlag, 1);

  // A flag that does not fit a byte is read as a number and only its byte kept.
  WriteAll(CfgPath(), Flip("BR\n2\n0\n" + Statuses("0") + "\n40\n30\n300\n"));
  ReadConfig();
  EXPECT_EQ(configFlag, static_cast<uint8_t>(300));
  EXPECT_EQ(musicVolume, 30);
  EXPECT_EQ(effectsVolume, 40);

  // Far longer than any file the game writes, with one endless first token.
  WriteAll(CfgPath(), std::string(1, char('B' + 128)) + std::string(1, char('R' + 128)) +
                          std::string(10000, char('7' + 128)));
  ReadConfig();
  EXPECT_EQ(musicVolume, 50);

  // Garbage numbers, huge numbers.
  WriteAll(CfgPath(), Flip("BR\n99999999999999999999\nxyz\n"));
  ReadConfig();
  EXPECT_EQ(reachedStage, INT32_MAX);
  EXPECT_EQ(editorUnlocked, 0);

  // Empty file and a lone magic byte.
  WriteAll(CfgPath(), "");
  ReadConfig();
  EXPECT_EQ(musicVolume, 50);
  WriteAll(CfgPath(), std::string(1, char('B' + 128)));
  ReadConfig();
  EXPECT_EQ(reachedStage, 1);
}

TEST_F(ConfigFileTest, AFailedWriteKeepsTheLastSavedProgressAndSaysWhy) {
  SetConfigDefaults();
  reachedStage = 5;
  stageStatus[1][4] = 1;
  ASSERT_TRUE(WriteConfig());
  const std::string before = ReadAll(CfgPath());

  // A full disk while the new file is written.
  reachedStage = 6;
  stageStatus[1][5] = 1;
  HostFailWriteStepForTest(kWriteStepWrite, ENOSPC);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveProgress());
  const std::string said = ::testing::internal::GetCapturedStderr();
  HostFailWriteStepForTest(kWriteStepNone, 0);
  EXPECT_NE(said.find("br2.cfg"), std::string::npos) << said;
  EXPECT_NE(said.find("No space left on device"), std::string::npos) << said;
  EXPECT_EQ(ReadAll(CfgPath()), before);
  EXPECT_FALSE(fs::exists(CfgPath() + ".tmp"));

  // Killed after the temporary was written, before the rename: the next
  // start reads the last complete file and ignores the stale temporary.
  WriteAll(CfgPath() + ".tmp", Flip("BR\n9\n1\n"));
  ReadConfig();
  EXPECT_EQ(reachedStage, 5);
  EXPECT_EQ(stageStatus[1][4], 1);
  EXPECT_EQ(stageStatus[1][5], 0);
  EXPECT_EQ(ReadAll(CfgPath()), before);
  EXPECT_FALSE(fs::exists(CfgPath() + ".tmp"));  // replaced by the start-up write
}

TEST_F(ConfigFileTest, SavePointsWriteOnlyWhenTheProgressChanged) {
  ReadConfig();
  ASSERT_TRUE(fs::remove(CfgPath()));
  EXPECT_TRUE(SaveProgress());  // nothing new: no write
  EXPECT_FALSE(fs::exists(CfgPath()));
  stageStatus[1][1] = 1;
  EXPECT_TRUE(SaveProgress());
  ReadConfig();
  EXPECT_EQ(stageStatus[1][1], 1);
  editorUnlocked = 1;
  EXPECT_TRUE(SaveProgress());
  SetConfigDefaults();
  ReadConfig();
  EXPECT_EQ(editorUnlocked, 1);
}

TEST_F(ConfigFileTest, AnUnusableFileIsKeptAsideBeforeTheDefaultsReplaceIt) {
  const std::string garbage = "my notes: stage 7 was hard\n";
  WriteAll(CfgPath(), garbage);
  ::testing::internal::CaptureStderr();
  ReadConfig();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("br2.cfg.bad"), std::string::npos) << said;
  EXPECT_EQ(ReadAll(CfgPath() + ".bad"), garbage);
  EXPECT_EQ(ReadAll(CfgPath()), Flip(DefaultText(false)));
  EXPECT_EQ(musicVolume, 50);

  // Stored form cut short: what was read is kept, the damaged file set aside.
  const std::string cut = Flip("BR\n3\n1\n1 0 0 1 0 ");
  WriteAll(CfgPath(), cut);
  ::testing::internal::CaptureStderr();
  ReadConfig();
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("damaged"), std::string::npos);
  EXPECT_EQ(reachedStage, 3);
  EXPECT_EQ(stageStatus[1][2], 1);
  EXPECT_EQ(ReadAll(CfgPath() + ".bad"), cut);

  // A first start: no file, nothing said, nothing set aside.
  fs::remove(CfgPath());
  fs::remove(CfgPath() + ".bad");
  ::testing::internal::CaptureStderr();
  ReadConfig();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_FALSE(fs::exists(CfgPath() + ".bad"));
}

TEST_F(ConfigFileTest, ReadOnlyProgramFolderUsesThePerUserFolder) {
  // A folder nobody can create files in, not even the superuser.
  UseProgramDir("/proc/self/bramblets2-readonly");
  ReadConfig();
  EXPECT_EQ(musicVolume, 50);
  ASSERT_TRUE(fs::exists(UserCfgPath()));
  reachedStage = 3;
  ASSERT_TRUE(WriteConfig());
  reachedStage = 1;
  ReadConfig();
  EXPECT_EQ(reachedStage, 3);

  // A game run from a writable folder keeps its own file, per-user copy or not.
  UseProgramDir(dir_);
  SetConfigDefaults();
  reachedStage = 8;
  ASSERT_TRUE(WriteConfig());
  reachedStage = 1;
  ReadConfig();
  EXPECT_EQ(reachedStage, 8);
  EXPECT_EQ(Flip(ReadAll(UserCfgPath())).substr(0, 5), "BR\n3\n");

  // An installed game keeps it in the per-user folder even when it could
  // write into its own folder.
  WriteAll(dir_ + "/bramblets2.installed", dir_ + "\n");
  ReadConfig();
  EXPECT_EQ(reachedStage, 3);
  reachedStage = 2;
  ASSERT_TRUE(WriteConfig());
  EXPECT_EQ(Flip(ReadAll(CfgPath())).substr(0, 5), "BR\n8\n");
}

TEST_F(ConfigFileTest, NoWritableFolderAtAllKeepsTheDefaults) {
  // Neither the program folder nor the per-user folder can be written.
  UseProgramDir("/proc/self/bramblets2-readonly");
  setenv("XDG_DATA_HOME", "/proc/self/bramblets2-no-data-home", 1);
  ::testing::internal::CaptureStderr();
  ReadConfig();
  EXPECT_FALSE(WriteConfig());
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot save"), std::string::npos);
  EXPECT_EQ(musicVolume, 50);
  EXPECT_EQ(effectsVolume, 50);
}

}  // namespace
