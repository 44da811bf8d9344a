#include "engine/graphics/KScreenshot.h"

#include <cstring>
#include <memory>

#include "engine/graphics/KGraphicGL.h"
#include "engine/host/host_image.h"

bool SaveBackBufferScreenshot(const char* path, int32_t format, int32_t width, int32_t height) {
  const int32_t screenW = KGraphicGL::GetScreenWidth(), screenH = KGraphicGL::GetScreenHeight();
  std::unique_ptr<KGraphicGL> copy(new (std::nothrow) KGraphicGL());
  if (copy) copy->GrabBackBuffer(nullptr);
  const bool scaled = width > 0 && height > 0;
  if (scaled && copy) {
    // The whole screen shrunk into the bottom-left corner, read from there.
    copy->StretchAlphaRect(0, 0, static_cast<float>(screenW), static_cast<float>(screenH), 0,
                           static_cast<float>(screenH - height), static_cast<float>(width),
                           static_cast<float>(screenH), 1.0f, 0.0f, false, false, 0, 0);
  } else {
    width = screenW;
    height = screenH;
  }
  std::unique_ptr<uint8_t[]> pixels = KGraphicGL::ReadBackBuffer(width, height);
  if (scaled && copy) copy->BlitRectFlip(0, 0, static_cast<float>(screenW),
                                         static_cast<float>(screenH), 10, 10, false, false);
  if (!pixels) return false;
  if (format < 0 || format > 3) return true;  // an unknown format writes nothing

  // GL rows come bottom first; the file wants them top first. The back
  // buffer's alpha is not the picture's: every pixel is written opaque.
  const size_t row = static_cast<size_t>(width) * 4;
  std::unique_ptr<uint8_t[]> flipped(new (std::nothrow) uint8_t[row * height]);
  if (!flipped) return false;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* dst = &flipped[row * y];
    std::memcpy(dst, &pixels[row * (height - 1 - y)], row);
    for (int32_t x = 0; x < width; ++x) dst[x * 4 + 3] = 255;
  }
  return HostEncodeImage(path, format, width, height, flipped.get(), true);
}
