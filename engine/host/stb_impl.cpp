// The stb image decoder and encoder, compiled once here (their headers warn,
// so this file is built without warnings). Only the small C-style entry
// points below are used by the rest of the engine, through host_image.cpp.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_TGA
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image.h>
#include <stb_image_write.h>

// Type codes shared with host_image.cpp.
enum { kStbBmp = 1, kStbGif = 2, kStbJpg = 3, kStbPng = 4, kStbTga = 5 };

// True when the buffer's header is of the given picture type.
int HostStbTestType(const unsigned char* data, int len, int type) {
  stbi__context s;
  stbi__start_mem(&s, data, len);
  switch (type) {
    case kStbBmp: return stbi__bmp_test(&s);
    case kStbGif: return stbi__gif_test(&s);
    case kStbJpg: return stbi__jpeg_test(&s);
    case kStbPng: return stbi__png_test(&s);
    case kStbTga: return stbi__tga_test(&s);
    default: return 0;
  }
}

// Size and the file's own channel count, from the header only.
int HostStbInfo(const unsigned char* data, int len, int* w, int* h, int* comp) {
  return stbi_info_from_memory(data, len, w, h, comp);
}

namespace {

// Memory reader that notices when the decoder wants bytes past the end: the
// decoders quietly read zeros there, which would pass a truncated file off
// as a whole picture.
struct CheckedReader {
  const unsigned char* data;
  int len;
  int pos;
  int overran;
};

int CheckedRead(void* user, char* out, int size) {
  CheckedReader* r = static_cast<CheckedReader*>(user);
  if (r->pos >= r->len) {
    r->overran = 1;
    return 0;
  }
  int n = r->len - r->pos;
  if (n > size) n = size;
  if (n < 0) n = 0;
  memcpy(out, r->data + r->pos, static_cast<size_t>(n));
  r->pos += n;
  return n;
}

void CheckedSkip(void* user, int n) {
  CheckedReader* r = static_cast<CheckedReader*>(user);
  long long p = static_cast<long long>(r->pos) + n;
  if (p < 0) p = 0;
  if (p > r->len) p = r->len;
  r->pos = static_cast<int>(p);
}

int CheckedEof(void* user) {
  CheckedReader* r = static_cast<CheckedReader*>(user);
  return r->pos >= r->len;
}

}  // namespace

// Decodes to 8-bit RGBA, rows top first; null on failure. *truncated is set
// when the decoder ran past the end of the data.
unsigned char* HostStbLoad(const unsigned char* data, int len, int* w, int* h, int* comp,
                           int* truncated) {
  CheckedReader reader = {data, len, 0, 0};
  stbi_io_callbacks io = {CheckedRead, CheckedSkip, CheckedEof};
  unsigned char* pixels = stbi_load_from_callbacks(&io, &reader, w, h, comp, 4);
  *truncated = reader.overran;
  return pixels;
}

void HostStbFree(void* pixels) { stbi_image_free(pixels); }

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
