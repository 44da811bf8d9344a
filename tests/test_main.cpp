// Entry point of every unit-test program: runs headless unless the caller
// chose otherwise (offscreen video, dummy audio), then runs the tests.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("BR_SOURCE_DIR", BR_SOURCE_DIR, 0);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
