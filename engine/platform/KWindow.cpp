#include "engine/platform/KWindow.h"

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
