#include "engine/platform/KWindow.h"

#include <cstdio>
#include <new>

#include "engine/platform/KSystem.h"
#include "engine/platform/KWindowDD.h"
#include "engine/platform/KWindowGL.h"

namespace {
int rendererSelector = 0;
}  // namespace

KWindow* createKWindow(int renderer, bool depthBuffer) {
  rendererSelector = renderer;
  KSystem::InitSystem();
  if (renderer != 0) return new (std::nothrow) KWindowGL(depthBuffer);
  return new (std::nothrow) KWindowDD(depthBuffer);
}

int GetRendererSelector() { return rendererSelector; }

const char* NextScreenshotPath(int32_t* counter) {
  constexpr int32_t kMaxScreenshotNumber = 99999;
  while (*counter < kMaxScreenshotNumber) {
    ++*counter;
    char name[32];
    std::snprintf(name, sizeof name, "screenshot%d.tga", static_cast<int>(*counter));
    const char* path = KSystem::MakeWritablePath(name);
    if (path[0] == '\0') return path;  // nowhere to write: SaveScreenshot says so
    if (std::FILE* existing = std::fopen(path, "rb")) {
      std::fclose(existing);
      continue;
    }
    return path;
  }
  return "";
}
