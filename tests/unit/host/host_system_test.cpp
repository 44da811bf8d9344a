// The document opener: its exit status is reported; a missing opener fails instead of hanging.
#include <gtest/gtest.h>

#include "engine/host/host_system.h"

namespace {

TEST(HostSystemTest, OpenDocumentReportsTheOpenersResult) {
  HostSetOpenProgram("true");
  EXPECT_TRUE(HostOpenDocument("anything"));
  HostSetOpenProgram("false");
  EXPECT_FALSE(HostOpenDocument("anything"));
  HostSetOpenProgram("no-such-opener-program");
  EXPECT_FALSE(HostOpenDocument("anything"));
  HostSetOpenProgram(nullptr);
  EXPECT_FALSE(HostOpenDocument(nullptr));
}

TEST(HostSystemTest, ProgramDirectoryThatDoesNotFitFailsCleanly) {
  char tiny[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FALSE(HostProgramDirectory(tiny, sizeof tiny));
  EXPECT_EQ(tiny[0], '\0');
}

}  // namespace
