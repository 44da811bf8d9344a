#include "engine/graphics/KGraphic.h"

#include <new>

#include "engine/graphics/KGraphicDD.h"
#include "engine/graphics/KGraphicGL.h"
#include "engine/platform/KWindow.h"

// The surfaces must match the window createKWindow made.
KGraphic* CreateKGraphic() {
  if (GetRendererSelector() != 0) return new (std::nothrow) KGraphicGL();
  return new (std::nothrow) KGraphicDD();
}
