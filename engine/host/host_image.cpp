#include "engine/host/host_image.h"

#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <climits>
#include <cstring>

// Entry point compiled in stb_impl.cpp (the screenshot writer).
int HostStbWrite(const char* path, int kind, int w, int h, int comp, const void* data);

namespace {

constexpr size_t kBmpFileHeader = 14;
constexpr uint32_t kBmpCoreHeader = 12;  // the oldest header: 16-bit sizes
constexpr size_t kPngSizesEnd = 24;      // signature, IHDR length and tag, width, height
constexpr size_t kGifScreenEnd = 13;
constexpr size_t kGifDescriptorBytes = 10;
constexpr size_t kTgaHeader = 18;

uint32_t Le16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint32_t Be16(const uint8_t* p) { return static_cast<uint32_t>((p[0] << 8) | p[1]); }
uint32_t Be32(const uint8_t* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

// --- header checks: the picture's size, read before the decoder allocates ---

bool BmpSize(const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  if (n < kBmpFileHeader + kBmpCoreHeader || d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t headerSize = Le32(d + kBmpFileHeader);
  if (headerSize == kBmpCoreHeader) {
    *w = Le16(d + 18);
    *h = Le16(d + 20);
    return true;
  }
  if (n < 26) return false;
  *w = static_cast<int32_t>(Le32(d + 18));
  const int64_t height = static_cast<int32_t>(Le32(d + 22));
  *h = height < 0 ? -height : height;  // negative: rows stored top first
  return true;
}

bool PngSize(const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (n < kPngSizesEnd || std::memcmp(d, kSignature, 8) != 0) return false;
  if (std::memcmp(d + 12, "IHDR", 4) != 0) return false;
  *w = Be32(d + 16);
  *h = Be32(d + 20);
  return true;
}

// Walks the marker segments up to the first frame header.
bool JpegSize(const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  if (n < 4 || d[0] != 0xFF || d[1] != 0xD8) return false;
  size_t i = 2;
  while (i + 1 < n) {
    if (d[i] != 0xFF) return false;
    const uint8_t marker = d[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    i += 2;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the image data
    if (i + 2 > n) return false;
    const size_t length = Be16(d + i);
    if (length < 2) return false;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                       marker != 0xCC;
    if (frame) {
      if (i + 7 > n) return false;
      *h = Be16(d + i + 3);
      *w = Be16(d + i + 5);
      return true;
    }
    i += length;
  }
  return false;
}

// The logical screen and the first image inside it must both fit.
bool GifSize(const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  if (n < kGifScreenEnd || std::memcmp(d, "GIF8", 4) != 0) return false;
  const int64_t screenW = Le16(d + 6), screenH = Le16(d + 8);
  size_t i = kGifScreenEnd;
  if (d[10] & 0x80) i += 3u * (1u << ((d[10] & 7) + 1));
  while (i < n) {
    const uint8_t block = d[i];
    if (block == 0x21) {  // extension: label, then sub-blocks up to an empty one
      i += 2;
      while (i < n && d[i] != 0) i += 1u + d[i];
      ++i;
    } else if (block == 0x2C) {
      if (i + kGifDescriptorBytes > n) return false;
      const int64_t imageW = Le16(d + i + 5), imageH = Le16(d + i + 7);
      if (imageW == 0 || imageH == 0) return false;
      *w = std::max(screenW, imageW);
      *h = std::max(screenH, imageH);
      return true;
    } else {
      return false;  // trailer or garbage before any image
    }
  }
  return false;
}

// TGA has no signature: the header must at least name a known kind.
bool TgaSize(const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  if (n < kTgaHeader) return false;
  const uint8_t mapType = d[1], kind = d[2], bits = d[16];
  if (mapType > 1) return false;
  const int plainKind = kind & ~8;  // bit 3: run-length encoded
  if (plainKind < 1 || plainKind > 3) return false;
  if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) return false;
  *w = Le16(d + 12);
  *h = Le16(d + 14);
  return true;
}

bool HeaderSize(HostImageType type, const uint8_t* d, size_t n, int64_t* w, int64_t* h) {
  switch (type) {
    case kImageBmp: return BmpSize(d, n, w, h);
    case kImagePng: return PngSize(d, n, w, h);
    case kImageJpg: return JpegSize(d, n, w, h);
    case kImageGif: return GifSize(d, n, w, h);
    case kImageTga: return TgaSize(d, n, w, h);
    default: return false;
  }
}

// --- a read-only stream over the caller's bytes that notices truncation ---

struct CheckedBytes {
  const uint8_t* data;
  int64_t size;
  int64_t pos;
  bool shortReadsAllowed;  // the JPEG reader fills a buffer and takes what comes
  bool truncated;          // the decoder wanted bytes the file does not have
};

CheckedBytes* Checked(SDL_RWops* rw) { return static_cast<CheckedBytes*>(rw->hidden.unknown.data1); }

Sint64 CheckedSize(SDL_RWops* rw) { return Checked(rw)->size; }

Sint64 CheckedSeek(SDL_RWops* rw, Sint64 offset, int whence) {
  CheckedBytes* c = Checked(rw);
  if (whence != RW_SEEK_SET && whence != RW_SEEK_CUR && whence != RW_SEEK_END) return -1;
  const int64_t base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? c->pos : c->size;
  // Offsets beyond the file's length are cut so the sum cannot overflow.
  const int64_t step = offset > c->size ? c->size + 1 : offset < -c->size ? -c->size - 1 : offset;
  int64_t target = base + step;
  if (target < 0) target = 0;
  if (target > c->size) {
    target = c->size;
    c->truncated = true;  // skipping past the end
  }
  c->pos = target;
  return target;
}

size_t CheckedRead(SDL_RWops* rw, void* out, size_t size, size_t count) {
  CheckedBytes* c = Checked(rw);
  if (size == 0 || count == 0) return 0;
  const int64_t left = c->size - c->pos;
  if (left <= 0) {
    c->truncated = true;
    return 0;
  }
  const uint64_t wanted = static_cast<uint64_t>(count) <= UINT64_MAX / size
                              ? static_cast<uint64_t>(size) * count
                              : UINT64_MAX;
  const size_t whole = static_cast<size_t>(
      std::min<uint64_t>(count, static_cast<uint64_t>(left) / size));
  if (wanted > static_cast<uint64_t>(left) && !c->shortReadsAllowed) c->truncated = true;
  std::memcpy(out, c->data + c->pos, whole * size);
  c->pos += static_cast<int64_t>(whole * size);
  return whole;
}

size_t RefuseWrite(SDL_RWops*, const void*, size_t, size_t) { return 0; }
int KeepOpen(SDL_RWops*) { return 0; }

// The content check of each kind (TGA has none): a file is read as the type
// its name announced, never as whatever its content looks like.
bool IsOfType(HostImageType type, SDL_RWops* rw) {
  switch (type) {
    case kImageBmp: return IMG_isBMP(rw) != 0;
    case kImagePng: return IMG_isPNG(rw) != 0;
    case kImageJpg: return IMG_isJPG(rw) != 0;
    case kImageGif: return IMG_isGIF(rw) != 0;
    case kImageTga: return true;
    default: return false;
  }
}

// Each decoder alone, without the library's guessing from the content.
SDL_Surface* DecodeAs(HostImageType type, SDL_RWops* rw) {
  switch (type) {
    case kImageBmp: return IMG_LoadBMP_RW(rw);
    case kImagePng: return IMG_LoadPNG_RW(rw);
    case kImageJpg: return IMG_LoadJPG_RW(rw);
    case kImageGif: return IMG_LoadGIF_RW(rw);
    case kImageTga: return IMG_LoadTGA_RW(rw);
    default: return nullptr;
  }
}

// The surface as 8-bit R, G, B, A per pixel, rows top first. A colour key
// (transparent palette entry) becomes alpha 0.
bool CopyPixels(SDL_Surface* surface, HostImage* out) {
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_RGBA32, 0);
  if (rgba == nullptr) return false;
  const size_t rowBytes = static_cast<size_t>(rgba->w) * 4;
  out->rgba.resize(rowBytes * static_cast<size_t>(rgba->h));
  if (SDL_LockSurface(rgba) == 0) {
    const uint8_t* src = static_cast<const uint8_t*>(rgba->pixels);
    for (int y = 0; y < rgba->h; ++y) {
      std::memcpy(&out->rgba[rowBytes * static_cast<size_t>(y)],
                  src + static_cast<size_t>(rgba->pitch) * static_cast<size_t>(y), rowBytes);
    }
    SDL_UnlockSurface(rgba);
  } else {
    out->rgba.clear();
  }
  SDL_FreeSurface(rgba);
  return !out->rgba.empty();
}

}  // namespace

bool HostDecodeImage(const uint8_t* data, size_t size, HostImageType type,
                     int32_t maxSide, HostImage* out) {
  if (out == nullptr) return false;
  *out = HostImage();
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  if (type < kImageBmp || type > kImageTga) return false;
  int64_t w = 0, h = 0;
  if (!HeaderSize(type, data, size, &w, &h)) return false;
  if (w < 1 || h < 1 || w > maxSide || h > maxSide) return false;

  CheckedBytes bytes{data, static_cast<int64_t>(size), 0, type == kImageJpg, false};
  SDL_RWops* rw = SDL_AllocRW();
  if (rw == nullptr) return false;
  rw->type = SDL_RWOPS_UNKNOWN;
  rw->size = CheckedSize;
  rw->seek = CheckedSeek;
  rw->read = CheckedRead;
  rw->write = RefuseWrite;
  rw->close = KeepOpen;
  rw->hidden.unknown.data1 = &bytes;
  SDL_Surface* surface = nullptr;
  if (IsOfType(type, rw)) {
    bytes.truncated = false;  // the content check may look past a short file's end
    surface = DecodeAs(type, rw);
  }
  SDL_FreeRW(rw);
  if (surface == nullptr) return false;

  bool ok = !bytes.truncated && surface->w >= 1 && surface->h >= 1 && surface->w <= maxSide &&
            surface->h <= maxSide && (type == kImageGif || (surface->w == w && surface->h == h));
  if (ok) {
    out->width = surface->w;
    out->height = surface->h;
    out->hasAlpha = surface->format->Amask != 0 || surface->format->BitsPerPixel == 32 ||
                    SDL_HasColorKey(surface) == SDL_TRUE;
    ok = CopyPixels(surface, out);
  }
  SDL_FreeSurface(surface);
  if (!ok) *out = HostImage();
  return ok;
}

bool HostEncodeImage(const char* path, int32_t format, int32_t width, int32_t height,
                     const uint8_t* rgba, bool withAlpha) {
  if (path == nullptr || rgba == nullptr || width < 1 || height < 1) return false;
  if (format < 0 || format > 3) return false;
  if (withAlpha) return HostStbWrite(path, format, width, height, 4, rgba) != 0;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i) {
    std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
  }
  return HostStbWrite(path, format, width, height, 3, rgb.data()) != 0;
}
