// Fuzzes picture decoding and loading from memory: the first byte picks the
// type name the loader is given, the rest is the picture file. Without a GL
// context the texture calls do nothing, but decoding, keying and the staging
// copy all run.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/graphics/KGraphicGL.h"
#include "engine/host/host_image.h"

namespace {

const char* const kTypeNames[] = {"x.bmp", "x.png", "x.jpg", "x.tga", "x.gif"};
const HostImageType kTypes[] = {kImageBmp, kImagePng, kImageJpg, kImageTga, kImageGif};
constexpr int32_t kFuzzMaxSide = 2048;

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static bool ready = false;
  if (!ready) {
    KGraphicGL::SetScreenSize(800, 600, 32);
    ready = true;
  }
  const size_t pick = data[0] % 5;
  const uint8_t* file = data + 1;
  const size_t fileSize = size - 1;

  HostImage image;
  if (HostDecodeImage(file, fileSize, kTypes[pick], kFuzzMaxSide, &image)) {
    Check(image.width >= 1 && image.height >= 1);
    Check(image.width <= kFuzzMaxSide && image.height <= kFuzzMaxSide);
    Check(image.rgba.size() == static_cast<size_t>(image.width) * image.height * 4);
    const int32_t side = TextureSideFor(image.width, image.height);
    std::vector<uint8_t> staging(static_cast<size_t>(side) * side * 4, 0);
    BuildStagingPixels(image, &image, side, true, 0, 0, 255, true, &staging);
  }

  KGraphicGL surface;
  surface.SetColorKey(true, 0, 0, 255);
  const bool loaded = surface.LoadPictureFromMemoryKeyPixel(
      kTypeNames[pick], file, static_cast<uint32_t>(fileSize), static_cast<int16_t>(fileSize % 7),
      static_cast<int16_t>(fileSize % 5));
  if (loaded) {
    Check(surface.GetWidth() >= 1 && surface.GetHeight() >= 1);
  } else {
    Check(surface.GetWidth() == 0);
  }
  return 0;
}
