#include "engine/graphics/KGraphic.h"

#include <new>

#include "engine/graphics/KGraphicGL.h"

// The surfaces must match the window createKWindow made. That factory gives
// the OpenGL window for every selector so far, so the surfaces are OpenGL
// ones too; the day it hands out the DirectDraw-style window for selector 0,
// this picks KGraphicDD for that selector in the same change.
KGraphic* CreateKGraphic() { return new (std::nothrow) KGraphicGL(); }
