// The log creates its four files only in mode 1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/platform/KLog.h"
#include "temp_dir.h"

namespace {

const char *const kLogFiles[] = {"infos.log", "errors.log", "fatals.log", "debug.log"};

class LogTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(dir.path.empty());
    previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
  }
  void TearDown() override { std::filesystem::current_path(previous); }

  int CountLogFiles() const {
    int count = 0;
    for (const char *name : kLogFiles) count += std::filesystem::exists(dir.File(name)) ? 1 : 0;
    return count;
  }

  TempDir dir{"BrLog"};
  std::filesystem::path previous;
};

TEST_F(LogTest, SilentModeCreatesNoFilesFileModeFourEmptyOnes) {
  {
    KLog log(KLOG_MODE_SILENT);
    for (int i = 0; i < KLog::StreamCount; ++i) EXPECT_EQ(log.GetFile(KLog::Stream(i)), nullptr);
  }
  EXPECT_EQ(CountLogFiles(), 0);
  EXPECT_EQ(engineLog.GetMode(), KLOG_MODE_SILENT);
  EXPECT_EQ(engineLog.GetFile(KLog::Errors), nullptr);

  // File mode creates four empty files and closes them.
  dir.Write("errors.log", "earlier run");  // truncated
  {
    KLog log(KLOG_MODE_FILES);
    EXPECT_EQ(CountLogFiles(), 4);
    for (int i = 0; i < KLog::StreamCount; ++i) EXPECT_NE(log.GetFile(KLog::Stream(i)), nullptr);
    EXPECT_FALSE(log.IsEnabled(KLog::Info));
    EXPECT_TRUE(log.IsEnabled(KLog::Errors) && log.IsEnabled(KLog::Fatals) && log.IsEnabled(KLog::Debug));
  }
  for (const char *name : kLogFiles) EXPECT_EQ(std::filesystem::file_size(dir.File(name)), 0u) << name;
}

}  // namespace
