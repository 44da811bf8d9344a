// Program directory, data paths, the engine clock, waiting, message box, opening documents.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "engine/host/host_clock.h"
#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "temp_dir.h"

namespace {

class PathTest : public ::testing::Test {
protected:
  void SetUp() override {
    HostOverrideProgramDirectory("/games/X");
    KSystem::InitSystem();
  }
  void TearDown() override {
    HostOverrideProgramDirectory(nullptr);
    KSystem::InitSystem();
  }
  std::string Path(const char *name) { return KSystem::MakeFilePath(name); }
};

TEST_F(PathTest, DataPathsJoinTheProgramDirectoryWithSlashes) {
  EXPECT_EQ(Path("tarn\\world1.prp"), "/games/X/tarn/world1.prp");
  EXPECT_EQ(Path("/tarn/x.png"), "/games/X/tarn/x.png");
  EXPECT_EQ(Path("\\tarn\\x.png"), "/games/X/tarn/x.png");
  EXPECT_EQ(Path(":sprites.bmp"), "/games/X/sprites.bmp");
  EXPECT_EQ(Path("D:/data/a.bmp"), "D:/data/a.bmp");
  EXPECT_EQ(Path("D:\\data\\a.bmp"), "D:/data/a.bmp");
}

TEST_F(PathTest, PathsAlreadyInTheProgramDirectoryStayAsTheyAre) {
  EXPECT_EQ(Path("/games/X/tarn/a.pak"), "/games/X/tarn/a.pak");
  EXPECT_EQ(Path("/games/x/tarn/a.pak"), "/games/x/tarn/a.pak");  // lower-cased by a loader
  EXPECT_EQ(Path(Path("tarn\\a.pak").c_str()), "/games/X/tarn/a.pak");
  // A directory that merely shares the prefix is not the program directory.
  EXPECT_EQ(Path("/games/XY/a.pak"), "/games/X/games/XY/a.pak");
}

TEST_F(PathTest, OverlongNamesGiveAnEmptyPath) {
  const std::string fits(kSystemPathCapacity - 1 - std::string("/games/X/").size(), 'a');
  EXPECT_EQ(Path(fits.c_str()), "/games/X/" + fits);
  const std::string tooLong = fits + "a";
  EXPECT_EQ(Path(tooLong.c_str()), "");
  EXPECT_EQ(Path(std::string(100000, 'z').c_str()), "");
}

TEST_F(PathTest, WrittenFilesGoWhereTheResolverSaysOrBesideTheProgram) {
  EXPECT_EQ(std::string(KSystem::MakeWritablePath("screenshot1.tga")), "/games/X/screenshot1.tga");
  KSystem::SetWritePathResolver([](const char *name, char *buffer, size_t capacity) {
    return std::snprintf(buffer, capacity, "/home/u/.local/share/g/%s", name) < static_cast<int>(capacity);
  });
  EXPECT_EQ(std::string(KSystem::MakeWritablePath("screenshot1.tga")),
            "/home/u/.local/share/g/screenshot1.tga");
  KSystem::SetWritePathResolver([](const char *, char *, size_t) { return false; });
  EXPECT_EQ(std::string(KSystem::MakeWritablePath("screenshot1.tga")), "");  // no path: nothing written
  KSystem::SetWritePathResolver(nullptr);
}

TEST(ModuleDirectoryTest, IsTheExecutablesDirectoryWithoutSeparator) {
  HostOverrideProgramDirectory(nullptr);
  KSystem::InitSystem();
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  std::string expected(exe);
  expected.resize(expected.rfind('/'));
  EXPECT_EQ(std::string(KSystem::GetModuleDirectory()), expected);
}

class ClockTest : public ::testing::Test {
protected:
  void SetUp() override {
    HostUseManualClock(5000);
    KSystem::InitClock();
  }
  void TearDown() override {
    HostUseRealClock();
    KSystem::InitClock();
  }
};

TEST_F(ClockTest, CountsElapsedTimeAndSkipsPausesAfterReset) {
  const uint32_t before = KSystem::GetMilliseconds();
  HostAdvanceClock(40);
  EXPECT_EQ(KSystem::GetMilliseconds(), before + 40);
  HostAdvanceClock(10000);  // a pause
  KSystem::ResetClock();
  EXPECT_EQ(KSystem::GetMilliseconds(), before + 40);
  HostAdvanceClock(7);
  EXPECT_EQ(KSystem::GetMilliseconds(), before + 47);
  // Re-initialising re-bases the reading and keeps the engine time.
  HostAdvanceClock(500);
  KSystem::InitSystem();
  EXPECT_EQ(KSystem::GetMilliseconds(), before + 47);
  // Keeps counting across the 32-bit wrap of the host reading.
  HostSetManualTime(0xFFFFFFF0u);
  KSystem::ResetClock();
  HostAdvanceClock(0x20);
  EXPECT_EQ(KSystem::GetMilliseconds(), before + 47 + 0x20);
}

int pumpCount = 0;
void CountPump() { ++pumpCount; }

TEST_F(ClockTest, WaitPumpsEventsUntilTheTimeHasPassed) {
  HostPumpEvents = CountPump;
  pumpCount = 0;
  KSystem::Wait(0, true);
  EXPECT_EQ(pumpCount, 1);

  pumpCount = 0;
  const uint32_t before = KSystem::GetMilliseconds();
  KSystem::Wait(30, true);
  EXPECT_GE(KSystem::GetMilliseconds() - before, 30u);
  EXPECT_GE(pumpCount, 2);

  pumpCount = 0;
  KSystem::Wait(5, false);
  EXPECT_EQ(pumpCount, 0);
  HostPumpEvents = nullptr;
  KSystem::Wait(-3, true);  // negative waits return after one pass
}

TEST(MessageTest, WithoutADisplayPrintsTitleAndText) {
  ::testing::internal::CaptureStderr();
  const int result = KSystem::ShowMessage("Problem", "LoadSurfaces Failed!");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Problem: LoadSurfaces Failed!\n");
  EXPECT_EQ(result, 1);
}

TEST(OpenUrlTest, HandsTheTargetToTheOpenerWithoutAShell) {
  TempDir dir("BrOpen");
  const std::string script = dir.File("opener");
  const std::string out = dir.File("opened.txt");
  dir.Write("opener", "#!/bin/sh\nprintf '%s' \"$1\" > '" + out + ".tmp' && mv '" + out + ".tmp' '" +
                          out + "'\n");
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  HostSetOpenProgram(script.c_str());

  const std::string target = "https://example.org/a b;touch '" + dir.File("pwned") + "'";
  KSystem::OpenUrl(target.c_str(), true);  // runs on its own thread
  std::string opened;
  for (int i = 0; i < 500 && opened.empty(); ++i) {
    if (i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(out);
    opened.assign(std::istreambuf_iterator<char>(in), {});
  }
  HostSetOpenProgram(nullptr);
  EXPECT_EQ(opened, target);
  EXPECT_NE(access(dir.File("pwned").c_str(), F_OK), 0);
}

}  // namespace
