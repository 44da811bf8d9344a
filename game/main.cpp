// Process entry: runs the game and returns its exit code.
#include <cstdio>

int main() {
  std::printf("BrAmBl3tS 2\n");
  return 0;
}
