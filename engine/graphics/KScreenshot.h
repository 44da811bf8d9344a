// Writes the back buffer of the OpenGL window to a picture file.
#pragma once

#include <cstdint>

// format: 0 BMP, 1 JPEG, 2 TGA, 3 PNG; any other value writes nothing.
// width or height <= 0 takes the whole screen; otherwise the screen is first
// drawn scaled into the bottom-left width x height corner and read from
// there. Call before the buffer swap. The file is opaque (alpha 255).
// False when the pixel buffer cannot be allocated or the file not written.
bool SaveBackBufferScreenshot(const char* path, int32_t format, int32_t width, int32_t height);
