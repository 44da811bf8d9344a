// Whether a GPU can be reached decides if OpenGL is worth trying at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/host/host_renderer.h"
#include "picture_data.h"

namespace {

TEST(GpuNode, OnlyARenderNodeCounts) {
  TempDir dir;
  EXPECT_FALSE(HostHasGpuNode(dir.path().c_str()));           // empty folder
  dir.Write("card0", {});                                      // a display node alone
  EXPECT_FALSE(HostHasGpuNode(dir.path().c_str()));
  dir.Write("renderD128", {});
  EXPECT_TRUE(HostHasGpuNode(dir.path().c_str()));
  EXPECT_FALSE(HostHasGpuNode((dir.path() + "/missing").c_str()));
  EXPECT_FALSE(HostHasGpuNode(nullptr));
}

}  // namespace
