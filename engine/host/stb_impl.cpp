// The stb image encoder for screenshots, compiled once here (its header
// warns, so this file is built without warnings). Only the small C-style
// entry point below is used by the rest of the engine, through host_image.cpp.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

// Writes rows top first; comp 3 or 4. kind: 0 BMP, 1 JPEG, 2 TGA, 3 PNG.
int HostStbWrite(const char* path, int kind, int w, int h, int comp, const void* data) {
  stbi_write_tga_with_rle = 0;  // plain TGA is what every reader takes
  switch (kind) {
    case 0: return stbi_write_bmp(path, w, h, comp, data);
    case 1: return stbi_write_jpg(path, w, h, comp, data, 90);
    case 2: return stbi_write_tga(path, w, h, comp, data);
    case 3: return stbi_write_png(path, w, h, comp, data, w * comp);
    default: return 0;
  }
}
