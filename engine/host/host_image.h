// Picture decoding from memory (SDL2_image underneath) and screenshot
// encoding (stb_image_write underneath).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum HostImageType : int32_t {
  kImageNone = 0,
  kImageBmp = 1,
  kImageGif = 2,
  kImageJpg = 3,
  kImagePng = 4,
  kImageTga = 5,
};

// A decoded picture: 8-bit R, G, B, A per pixel, rows top first.
struct HostImage {
  int32_t width = 0;
  int32_t height = 0;
  bool hasAlpha = false;  // the file itself carries an alpha channel
  std::vector<uint8_t> rgba;
};

// Decodes data as a picture of the given type. False (out left empty) when the
// data is not of that type, is truncated or corrupt, or when either side is 0
// or larger than maxSide — checked from the header before any pixel memory
// is allocated.
bool HostDecodeImage(const uint8_t* data, size_t size, HostImageType type,
                     int32_t maxSide, HostImage* out);

// Writes width x height RGBA pixels (rows top first) to path.
// format: 0 BMP, 1 JPEG, 2 TGA, 3 PNG; anything else writes nothing and gives
// false. withAlpha false writes three channels.
bool HostEncodeImage(const char* path, int32_t format, int32_t width, int32_t height,
                     const uint8_t* rgba, bool withAlpha);
