// KGraphicDD: pictures as device surfaces, drawn as textured quads.
#include "engine/graphics/KGraphicDD.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/graphics/KPicture.h"
#include "engine/graphics/KPixels.h"

namespace {

// Pictures larger than this on either side are refused: a square texture of
// that side already takes 64 MB.
constexpr int32_t kMaxPictureSide = 4096;
constexpr float kDegreesToRadians = 6.2831855f * 0.0027777778f;
// Vertices sit half a pixel up and left so that quad edges fall on pixel edges.
constexpr float kHalf = 0.5f;
constexpr size_t kNameSize = 260;

// trunc(v x 255), kept inside a byte.
uint32_t ChannelByte(float v) {
  const float s = v * 255.0f;
  if (!(s > 0.0f)) return 0;
  if (s >= 255.0f) return 255;
  return static_cast<uint32_t>(s);
}

uint32_t PackColor(float r, float g, float b, float a) {
  return (ChannelByte(a) << 24) | (ChannelByte(r) << 16) | (ChannelByte(g) << 8) | ChannelByte(b);
}

void CopyName(char* dst, const char* src) {
  std::snprintf(dst, kNameSize, "%s", src != nullptr ? src : "");
}

HostVertex Vertex(float x, float y, uint32_t color, float tu, float tv) {
  HostVertex v{};
  v.x = x;
  v.y = y;
  v.color = color;
  v.tu = tu;
  v.tv = tv;
  return v;
}

// A picture of at least one pixel whose pixel bytes are all there.
bool HasAllPixels(const HostImage& image) {
  return image.width >= 1 && image.height >= 1 &&
         image.rgba.size() >= static_cast<size_t>(image.width) * image.height * 4;
}

void WriteTexel(uint8_t* row, int32_t x, HostSurfaceFormat format, uint8_t r, uint8_t g,
                uint8_t b, uint8_t a) {
  if (format == kHostA8R8G8B8) {
    const uint32_t p = PackA8R8G8B8(r, g, b, a);
    std::memcpy(row + static_cast<size_t>(x) * 4, &p, 4);
  } else {
    const uint16_t p = format == kHostA4R4G4B4 ? PackA4R4G4B4(r, g, b, a) : PackX1R5G5B5(r, g, b);
    std::memcpy(row + static_cast<size_t>(x) * 2, &p, 2);
  }
}

}  // namespace

HostDevice* KGraphicDD::device = nullptr;
int32_t KGraphicDD::displayWidth = 0;
int32_t KGraphicDD::displayHeight = 0;
int32_t KGraphicDD::screenDepth = 0;
HostSurface* KGraphicDD::currentTexture = nullptr;
std::vector<KGraphicDD*> KGraphicDD::surfaceRegistry;

uint32_t PackA8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) |
         (static_cast<uint32_t>(g) << 8) | b;
}

uint16_t PackA4R4G4B4(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return static_cast<uint16_t>(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
}

uint16_t PackX1R5G5B5(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}

HostSurfaceFormat SurfaceFormatFor(bool trueColor, bool withAlpha, bool imageHasAlpha) {
  if (trueColor) return kHostA8R8G8B8;
  return withAlpha || imageHasAlpha ? kHostA4R4G4B4 : kHostX1R5G5B5;
}

int32_t SurfaceSideFor(int32_t width, int32_t height) {
  const int32_t side = std::max(width, height);
  int32_t s = 1;
  while (s < side && s < (1 << 30)) s *= 2;
  return s;
}

bool BlendFactorsForMode(int32_t mode, int32_t* src, int32_t* dst) {
  switch (mode) {
    case 0: *src = kHostBlendSrcAlpha; *dst = kHostBlendDestAlpha; return true;
    case 1: *src = kHostBlendSrcAlpha; *dst = kHostBlendInvSrcAlpha; return true;
    case 2: *src = kHostBlendOne; *dst = kHostBlendInvSrcAlpha; return true;
    case 3: *src = kHostBlendZero; *dst = kHostBlendInvSrcAlpha; return true;
    default: return false;
  }
}

// --- registry and device -----------------------------------------------------------

KGraphicDD::KGraphicDD() { surfaceRegistry.push_back(this); }

KGraphicDD::~KGraphicDD() {
  surfaceRegistry.erase(std::remove(surfaceRegistry.begin(), surfaceRegistry.end(), this),
                        surfaceRegistry.end());
  FreePicture();
}

void KGraphicDD::SetDeviceObjects(HostDevice* newDevice, int32_t w, int32_t h, int32_t depth) {
  device = newDevice;
  displayWidth = w;
  displayHeight = h;
  screenDepth = depth;
  currentTexture = nullptr;
  if (device == nullptr) return;
  // Default drawing states: no texture, point sampling, ordinary alpha
  // blending factors, nothing clipped.
  HostDeviceSetTexture(device, nullptr);
  HostDeviceSetLinearFilter(device, false);
  HostDeviceSetBlendFactors(device, kHostBlendSrcAlpha, kHostBlendInvSrcAlpha);
  HostDeviceClearClip(device);
}

void KGraphicDD::RestoreAllPictures() {
  for (size_t i = 0; i < surfaceRegistry.size(); ++i) surfaceRegistry[i]->Restore();
}

void KGraphicDD::ForgetCurrentTexture() { currentTexture = nullptr; }

// --- loading -------------------------------------------------------------------------

void KGraphicDD::BeginLoad(bool plainLoad) {
  FreePicture();
  plain = plainLoad;
  hasMask = false;
  maskFileName[0] = 0;
  restoreSource = kRestoreNone;
}

bool KGraphicDD::DecodeNamedFile(char* name, HostImage* image) {
  if (device == nullptr || name == nullptr || !DecodePictureFile(name, kMaxPictureSide, image)) {
    fileName[0] = 0;
    return false;
  }
  CopyName(fileName, name);
  return true;
}

bool KGraphicDD::DecodeNamedMemory(const char* typeName, const unsigned char* data,
                                   uint32_t size, HostImage* image) {
  if (device == nullptr || !DecodePictureMemory(typeName, data, size, kMaxPictureSide, image)) {
    fileName[0] = 0;
    return false;
  }
  CopyName(fileName, typeName);
  return true;
}

bool KGraphicDD::LoadTexture(const HostImage& image, const HostImage* mask, bool trueColorLoad,
                             bool withAlphaLoad) {
  if (!HasAllPixels(image)) return false;
  const int32_t side = SurfaceSideFor(image.width, image.height);
  const HostSurfaceFormat format = SurfaceFormatFor(trueColorLoad, withAlphaLoad, image.hasAlpha);
  surface = HostCreateSurface(device, side, side, format);
  if (surface == nullptr) return false;
  width = static_cast<float>(image.width);
  height = static_cast<float>(image.height);
  textureWidth = textureHeight = static_cast<float>(side);
  const bool maskUsable =
      mask != nullptr && mask->rgba.size() >= static_cast<size_t>(mask->width) * mask->height * 4;
  int32_t pitch = 0;
  uint8_t* texels = HostLockSurface(surface, &pitch);
  for (int32_t y = 0; y < image.height && texels != nullptr; ++y) {
    uint8_t* row = texels + static_cast<size_t>(pitch) * y;
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* src = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      uint8_t a = 255;
      if (mask != nullptr) {
        // The mask's blue byte; pixels the mask does not cover are clear.
        a = 0;
        if (maskUsable && x < mask->width && y < mask->height) {
          a = mask->rgba[(static_cast<size_t>(y) * mask->width + x) * 4 + 2];
        }
      } else if (image.hasAlpha) {
        a = src[3];
      }
      if (keyOn && src[0] == keyR && src[1] == keyG && src[2] == keyB) a = 0;
      WriteTexel(row, x, format, src[0], src[1], src[2], a);
    }
  }
  HostUnlockSurface(surface);
  // A file picture comes back from its file: the texture alone holds it.
  if (restoreSource == kRestoreFile) HostDropSurfaceCopy(surface);
  return true;
}

bool KGraphicDD::LoadPlain(const HostImage& image, int16_t keyX, int16_t keyY) {
  if (!HasAllPixels(image)) return false;
  // A plain surface has exactly the picture's size and no alpha of its own.
  surface = HostCreateSurface(device, image.width, image.height, kHostA8R8G8B8);
  if (surface == nullptr) return false;
  width = textureWidth = static_cast<float>(image.width);
  height = textureHeight = static_cast<float>(image.height);
  int32_t pitch = 0;
  uint8_t* texels = HostLockSurface(surface, &pitch);
  for (int32_t y = 0; y < image.height && texels != nullptr; ++y) {
    uint8_t* row = texels + static_cast<size_t>(pitch) * y;
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* src = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      WriteTexel(row, x, kHostA8R8G8B8, src[0], src[1], src[2], 255);
    }
  }
  keyPixelX = keyX;
  keyPixelY = keyY;
  surfaceKeyOn = false;
  // The key pixel's colour becomes the surface's source colour key; a key
  // pixel outside the picture keys nothing.
  if (texels != nullptr && keyX >= 0 && keyY >= 0 && keyX < image.width && keyY < image.height) {
    std::memcpy(&surfaceKey, texels + static_cast<size_t>(pitch) * keyY + keyX * 4, 4);
    surfaceKeyOn = true;
  }
  HostSetSurfaceColorKey(surface, surfaceKeyOn, surfaceKey);
  HostUnlockSurface(surface);
  if (restoreSource == kRestoreFile) HostDropSurfaceCopy(surface);
  return true;
}

bool KGraphicDD::LoadPicture(char* name, bool trueColorLoad, bool withAlphaLoad) {
  BeginLoad(false);
  trueColor = trueColorLoad;
  withAlpha = withAlphaLoad;
  HostImage image;
  if (!DecodeNamedFile(name, &image)) return false;
  restoreSource = kRestoreFile;
  return LoadTexture(image, nullptr, trueColorLoad, withAlphaLoad);
}

bool KGraphicDD::LoadPictureWithMask(char* name, char* maskName, bool trueColorLoad) {
  BeginLoad(false);
  trueColor = trueColorLoad;
  withAlpha = true;
  HostImage image, mask;
  const bool wantMask = maskName != nullptr && maskName[0] != 0;
  if (!DecodeNamedFile(name, &image)) return false;
  if (wantMask && !DecodePictureFile(maskName, kMaxPictureSide, &mask)) {
    fileName[0] = 0;
    return false;
  }
  CopyName(maskFileName, wantMask ? maskName : "");
  hasMask = wantMask;
  restoreSource = kRestoreFile;
  return LoadTexture(image, wantMask ? &mask : nullptr, trueColorLoad, true);
}

bool KGraphicDD::LoadPictureKeyPixel(char* name, int16_t keyX, int16_t keyY) {
  BeginLoad(true);
  HostImage image;
  if (!DecodeNamedFile(name, &image)) return false;
  restoreSource = kRestoreFile;
  return LoadPlain(image, keyX, keyY);
}

bool KGraphicDD::LoadPictureFromMemory(const char* typeName, const unsigned char* data,
                                       uint32_t size, bool trueColorLoad, bool withAlphaLoad) {
  BeginLoad(false);
  trueColor = trueColorLoad;
  withAlpha = withAlphaLoad;
  HostImage image;
  if (!DecodeNamedMemory(typeName, data, size, &image)) return false;
  if (!LoadTexture(image, nullptr, trueColorLoad, withAlphaLoad)) return false;
  // The caller's bytes are not ours to keep: the texels are kept instead.
  KeepCopy();
  return true;
}

bool KGraphicDD::LoadPictureFromMemoryKeyPixel(const char* typeName, const unsigned char* data,
                                               uint32_t size, int16_t keyX, int16_t keyY) {
  BeginLoad(true);
  HostImage image;
  if (!DecodeNamedMemory(typeName, data, size, &image)) return false;
  if (!LoadPlain(image, keyX, keyY)) return false;
  KeepCopy();
  return true;
}

void KGraphicDD::KeepCopy() {
  int32_t pitch = 0;
  const uint8_t* texels = HostLockSurface(surface, &pitch);
  if (texels == nullptr) return;
  restoreSurfaceW = HostSurfaceWidth(surface);
  restoreSurfaceH = HostSurfaceHeight(surface);
  restoreFormat = HostSurfaceGetFormat(surface);
  restoreTexels.assign(texels, texels + static_cast<size_t>(pitch) * restoreSurfaceH);
  restoreSource = kRestoreCopy;
  // The restore copy is the one kept: the texture alone holds the picture.
  HostDropSurfaceCopy(surface);
}

bool KGraphicDD::MakePictureFromArray(uint32_t* pixels, int32_t w, int32_t h, bool) {
  if (pixels == nullptr || w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) {
    return false;
  }
  FreePicture();
  plain = false;
  // Start at 2, double once, keep doubling while smaller than the larger side.
  int32_t side = 4;
  while (side < std::max(w, h)) side *= 2;
  surface = HostCreateSurface(device, side, side, kHostA8R8G8B8);
  if (surface == nullptr) return false;
  int32_t pitch = 0;
  uint8_t* texels = HostLockSurface(surface, &pitch);
  for (int32_t y = 0; y < h && texels != nullptr; ++y) {
    uint8_t* row = texels + static_cast<size_t>(pitch) * y;
    for (int32_t x = 0; x < w; ++x) {
      // R | G<<8 | B<<16 | A<<24 becomes A<<24 | R<<16 | G<<8 | B.
      const uint32_t p = pixels[static_cast<size_t>(y) * w + x];
      const uint32_t q = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
      std::memcpy(row + static_cast<size_t>(x) * 4, &q, 4);
    }
  }
  HostUnlockSurface(surface);
  textureWidth = textureHeight = static_cast<float>(side);
  width = static_cast<float>(w);
  height = static_cast<float>(h);
  KeepCopy();
  return true;
}

void KGraphicDD::UpdatePictureFromArray() {}

bool KGraphicDD::GrabBackBuffer(PixelFilter filter) {
  FreePicture();
  plain = false;
  if (device == nullptr || displayWidth < 1 || displayHeight < 1) return false;
  surface = HostCreateSurface(device, displayWidth, displayHeight, kHostA8R8G8B8);
  if (surface == nullptr) return false;
  textureWidth = width = static_cast<float>(displayWidth);
  textureHeight = height = static_cast<float>(displayHeight);
  std::vector<uint32_t> screen;
  try {
    screen.resize(static_cast<size_t>(displayWidth) * displayHeight);
  } catch (const std::bad_alloc&) {
    FreePicture();
    return false;
  }
  const bool read = HostDeviceReadPixels(device, 0, 0, displayWidth, displayHeight, screen.data());
  int32_t pitch = 0;
  uint8_t* texels = HostLockSurface(surface, &pitch);
  for (int32_t y = 0; y < displayHeight && texels != nullptr && read; ++y) {
    uint8_t* row = texels + static_cast<size_t>(pitch) * y;
    for (int32_t x = 0; x < displayWidth; ++x) {
      const uint32_t p = screen[static_cast<size_t>(y) * displayWidth + x];
      int32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (filter != nullptr) filter(x, y, &r, &g, &b);
      auto byte = [](int32_t v) { return static_cast<uint8_t>(std::min(255, std::max(0, v))); };
      WriteTexel(row, x, kHostA8R8G8B8, byte(r), byte(g), byte(b), 255);
    }
  }
  HostUnlockSurface(surface);
  KeepCopy();
  return true;
}

bool KGraphicDD::GrabFrontBuffer() { return GrabBackBuffer(nullptr); }

void KGraphicDD::FreePicture() {
  // A released picture stays released when the device is lost later.
  restoreSource = kRestoreNone;
  restoreTexels.clear();
  restoreTexels.shrink_to_fit();
  if (surface == nullptr) return;
  if (currentTexture == surface) {
    currentTexture = nullptr;
    HostDeviceSetTexture(device, nullptr);
  }
  HostReleaseSurface(surface);
  surface = nullptr;
}

void KGraphicDD::Restore() {
  // Without a working device nothing can come back yet: the picture keeps
  // what it needs to be restored once there is one again.
  if (device == nullptr || HostDeviceIsLost(device)) return;
  if (surface != nullptr) {
    if (currentTexture == surface) currentTexture = nullptr;
    HostReleaseSurface(surface);
    surface = nullptr;
  }
  if (restoreSource == kRestoreCopy) {
    surface = HostCreateSurface(device, restoreSurfaceW, restoreSurfaceH, restoreFormat);
    int32_t pitch = 0;
    uint8_t* texels = HostLockSurface(surface, &pitch);
    if (texels != nullptr &&
        static_cast<size_t>(pitch) * restoreSurfaceH == restoreTexels.size()) {
      std::memcpy(texels, restoreTexels.data(), restoreTexels.size());
      HostSetSurfaceColorKey(surface, plain && surfaceKeyOn, surfaceKey);
      HostUnlockSurface(surface);
    }
  } else if (restoreSource == kRestoreFile && fileName[0] != 0) {
    // The loaders store their name argument; hand them copies.
    char name[kNameSize], mask[kNameSize];
    CopyName(name, fileName);
    CopyName(mask, maskFileName);
    if (plain) {
      LoadPictureKeyPixel(name, Trunc16(static_cast<float>(keyPixelX)),
                          Trunc16(static_cast<float>(keyPixelY)));
    } else if (hasMask) {
      LoadPictureWithMask(name, mask, trueColor);
    } else {
      LoadPicture(name, trueColor, withAlpha);
    }
  }
  currentTexture = nullptr;
}

float KGraphicDD::GetWidth() { return width; }
float KGraphicDD::GetHeight() { return height; }

// --- state -----------------------------------------------------------------------------

void KGraphicDD::SetFiltering(bool s) {
  smooth = s;
  linearFilter = s;
}

void KGraphicDD::SetTextureRepeat(bool r) {
  repeat = r;
  wrapAddress = r;
}

void KGraphicDD::SetColorKey(bool enable, uint8_t r, uint8_t g, uint8_t b) {
  keyOn = enable;
  keyR = r;
  keyG = g;
  keyB = b;
}

void KGraphicDD::SetBlitColor(float r, float g, float b, float a) {
  colorOn = TintFromColor(r, g, b, a, &colorR, &colorG, &colorB, &colorA);
}

void KGraphicDD::SetBlendMode(int32_t mode) { BlendFactorsForMode(mode, &blendSrc, &blendDst); }

void KGraphicDD::UseTexture() {
  currentTexture = surface;
  HostDeviceSetTexture(device, surface);
}

uint32_t KGraphicDD::QuadColor() const {
  if (colorOn) {
    return (ChannelByte(colorA * alphaFactor) << 24) | (ChannelByte(colorR) << 16) |
           (ChannelByte(colorG) << 8) | ChannelByte(colorB);
  }
  return (ChannelByte(alphaFactor) << 24) | 0x00FFFFFFu;
}

// --- drawing ---------------------------------------------------------------------------

bool KGraphicDD::PrepareTexturedDraw(bool blended) {
  if (device == nullptr || surface == nullptr) return false;
  if (HostIsSurfaceLost(surface)) {
    Restore();
    return false;
  }
  HostDeviceSetAlphaBlend(device, blended);
  HostDeviceSetLinearFilter(device, linearFilter);
  HostDeviceSetBlendFactors(device, blendSrc, blendDst);
  if (currentTexture != surface) {
    currentTexture = surface;
    HostDeviceSetTexture(device, surface);
  }
  return true;
}

void KGraphicDD::DrawWithLocal(HostPrimitive type, HostVertex* v, const HostMatrix& local) {
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld, HostMatrixMultiply(local, saved));
  if (!HostDeviceIsLost(device)) HostDeviceDraw(device, type, v, 4);
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::EmitQuad(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                          bool flipX, bool flipY, bool blended) {
  if (!PrepareTexturedDraw(blended)) return;
  const int32_t x1 = TruncInt(sx1), y1 = TruncInt(sy1), x2 = TruncInt(sx2), y2 = TruncInt(sy2);
  const float w = static_cast<float>(x2 - x1), h = static_cast<float>(y2 - y1);
  float s1 = static_cast<float>(x1) / textureWidth, s2 = static_cast<float>(x2) / textureWidth;
  float t1 = static_cast<float>(y1) / textureHeight, t2 = static_cast<float>(y2) / textureHeight;
  if (flipX) std::swap(s1, s2);
  if (flipY) std::swap(t1, t2);
  const uint32_t c = QuadColor();
  HostVertex v[4] = {Vertex(-kHalf, -kHalf, c, s1, t1), Vertex(w - kHalf, -kHalf, c, s2, t1),
                     Vertex(-kHalf, -h - kHalf, c, s1, t2),
                     Vertex(w - kHalf, -h - kHalf, c, s2, t2)};
  // The current world transform first, then the move to the destination.
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld,
                         HostMatrixMultiply(saved, HostMatrixTranslation(dx, 1.0f - dy, 0.0f)));
  if (!HostDeviceIsLost(device)) HostDeviceDraw(device, kHostTriangleStrip, v, 4);
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::BlitRect(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, false, false, false);
}

void KGraphicDD::BlitAlphaRect(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                               int16_t dy) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, false, false, true);
}

void KGraphicDD::BlitRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                              bool flipX, bool flipY) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, flipX, flipY, false);
}

void KGraphicDD::BlitAlphaRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                                   int16_t dy, bool flipX, bool flipY) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, flipX, flipY, true);
}

void KGraphicDD::BlitRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                               bool flipX, bool flipY) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, flipX, flipY, false);
}

void KGraphicDD::BlitAlphaRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx,
                                    float dy, bool flipX, bool flipY) {
  EmitQuad(sx1, sy1, sx2, sy2, dx, dy, flipX, flipY, true);
}

namespace {

// Rotation and zoom about the texel corner (ox, oy) of the quad, which the
// following move to (dx + ox, dy + oy) puts on that screen point. The quad's
// vertices sit half a pixel up and left of their texel corners, so the turn
// is taken about (ox - 0.5, -oy - 0.5) and that point is brought back to
// (-0.5, -0.5). Without a turn or zoom this is the translation (-ox, oy).
HostMatrix PivotMatrix(float angle, float zoom, float ox, float oy) {
  HostMatrix m = HostMatrixMultiply(HostMatrixTranslation(kHalf - ox, oy + kHalf, 0.0f),
                                    HostMatrixRotationZ(angle * kDegreesToRadians));
  m = HostMatrixMultiply(m, HostMatrixScaling(zoom, zoom, 0.0f));
  return HostMatrixMultiply(m, HostMatrixTranslation(-kHalf, -kHalf, 0.0f));
}

// Translation (-hw, hh), rotation, scaling by zoom, then the given transform.
HostMatrix CentreMatrix(float angle, float zoom, float hw, float hh, const HostMatrix& then) {
  HostMatrix m = HostMatrixMultiply(HostMatrixTranslation(-hw, hh, 0.0f),
                                    HostMatrixRotationZ(angle * kDegreesToRadians));
  m = HostMatrixMultiply(m, HostMatrixScaling(zoom, zoom, 0.0f));
  return HostMatrixMultiply(m, then);
}

}  // namespace

void KGraphicDD::BlitAlphaRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                                 int16_t dy, float angle, float zoom, float alpha, bool flipX,
                                 bool flipY, float pivotX, float pivotY) {
  if (!(alpha > 0.0f) || surface == nullptr || zoom == 0.0f || device == nullptr) return;
  const int32_t ox = TruncInt((sx2 - sx1) * 0.5f + pivotX);
  const int32_t oy = TruncInt((sy2 - sy1) * 0.5f + pivotY);
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld,
                         PivotMatrix(angle, zoom, static_cast<float>(ox), static_cast<float>(oy)));
  alphaFactor = alpha;
  BlitAlphaRectFlip(sx1, sy1, sx2, sy2, Trunc16(static_cast<float>(dx + ox)),
                    Trunc16(static_cast<float>(dy + oy)), flipX, flipY);
  alphaFactor = 1.0f;
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::BlitAlphaRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                                  float angle, float zoom, float alpha, bool flipX, bool flipY,
                                  float pivotX, float pivotY) {
  if (!(alpha > 0.0f) || surface == nullptr || zoom == 0.0f || device == nullptr) return;
  const float ox = (sx2 - sx1) * 0.5f + pivotX, oy = (sy2 - sy1) * 0.5f + pivotY;
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld, PivotMatrix(angle, zoom, ox, oy));
  alphaFactor = alpha;
  BlitAlphaRectFlipF(sx1, sy1, sx2, sy2, dx + ox, dy + oy, flipX, flipY);
  alphaFactor = 1.0f;
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::BlitRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                            float angle, float zoom, bool flipX, bool flipY) {
  if (surface == nullptr || zoom == 0.0f || device == nullptr) return;
  const float hw = (sx2 - sx1) * 0.5f, hh = (sy2 - sy1) * 0.5f;
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld, CentreMatrix(angle, zoom, hw, hh, saved));
  alphaFactor = 1.0f;
  BlitRectFlip(sx1, sy1, sx2, sy2, Trunc16(dx + hw * zoom), Trunc16(dy + hh * zoom), flipX, flipY);
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::BlitRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                             float angle, float zoom, bool flipX, bool flipY) {
  if (surface == nullptr || zoom == 0.0f || device == nullptr) return;
  const float hw = (sx2 - sx1) * 0.5f, hh = (sy2 - sy1) * 0.5f;
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld, CentreMatrix(angle, zoom, hw, hh, saved));
  alphaFactor = 1.0f;
  BlitRectFlipF(sx1, sy1, sx2, sy2, dx + hw * zoom, dy + hh * zoom, flipX, flipY);
  HostDeviceSetTransform(device, kHostWorld, saved);
}

void KGraphicDD::StretchAlphaRect(float sx1, float sy1, float sx2, float sy2, float dx1,
                                  float dy1, float dx2, float dy2, float alpha, float angle,
                                  bool flipX, bool flipY, float pivotX, float pivotY) {
  if (!PrepareTexturedDraw(true)) return;
  uint32_t c;
  if (colorOn) {
    c = PackColor(colorR, colorG, colorB, alpha * colorA);
  } else {
    c = PackColor(1.0f, 1.0f, 1.0f, alpha < 0.0f ? 1.0f : alpha);
  }
  float s[4], t[4];
  CornerCoords(sx1 / textureWidth, sy1 / textureHeight, sx2 / textureWidth, sy2 / textureHeight,
               flipX, flipY, s, t);
  // Corners in a y-up frame: (X1, Y1) is the left-top corner.
  float X1, Y1, X2, Y2;
  HostMatrix local;
  if (angle == 0.0f) {
    X1 = static_cast<float>(TruncInt(dx1)) - kHalf;
    Y1 = kHalf - static_cast<float>(TruncInt(dy1));
    X2 = static_cast<float>(TruncInt(dx2)) - kHalf;
    Y2 = kHalf - static_cast<float>(TruncInt(dy2));
    local = HostMatrixIdentity();
  } else {
    const float ox = (dx2 - dx1) * 0.5f + pivotX, oy = (dy2 - dy1) * 0.5f + pivotY;
    X1 = static_cast<float>(TruncInt(-ox));
    Y1 = static_cast<float>(TruncInt(oy));
    X2 = static_cast<float>(TruncInt((dx2 - dx1) - ox));
    Y2 = static_cast<float>(TruncInt(oy - (dy2 - dy1)));
    local = HostMatrixMultiply(HostMatrixRotationZ(angle * kDegreesToRadians),
                               HostMatrixTranslation(dx1 + ox - kHalf, kHalf - dy1 - oy, 0.0f));
  }
  HostVertex v[4] = {Vertex(X1, Y1, c, s[0], t[0]), Vertex(X1, Y2, c, s[1], t[1]),
                     Vertex(X2, Y2, c, s[2], t[2]), Vertex(X2, Y1, c, s[3], t[3])};
  DrawWithLocal(kHostTriangleFan, v, local);
}

void KGraphicDD::BlitQuad(float sx1, float sy1, float sx2, float sy2, float sx3, float sy3,
                          float sx4, float sy4, float dx1, float dy1, float dx2, float dy2,
                          float dx3, float dy3, float dx4, float dy4) {
  if (!PrepareTexturedDraw(true)) return;
  const uint32_t c = QuadColor();
  const float sx[4] = {sx1, sx2, sx3, sx4}, sy[4] = {sy1, sy2, sy3, sy4};
  const float dx[4] = {dx1, dx2, dx3, dx4}, dy[4] = {dy1, dy2, dy3, dy4};
  HostVertex v[4];
  for (int i = 0; i < 4; ++i) {
    v[i] = Vertex(static_cast<float>(TruncInt(dx[i])) - kHalf,
                  kHalf - static_cast<float>(TruncInt(dy[i])), c, sx[i] / textureWidth,
                  sy[i] / textureHeight);
  }
  DrawWithLocal(kHostTriangleFan, v, HostMatrixIdentity());
}

void KGraphicDD::DrawTextureRotated(int16_t x, int16_t y, int16_t w, int16_t h, float texExtent,
                                    float angle) {
  if (!PrepareTexturedDraw(false)) return;
  const float hw = static_cast<float>(w / 2), hh = static_cast<float>(h / 2);
  const uint32_t c = QuadColor();
  const float e = texExtent;
  // The texture square shows turned by half a turn on top of the angle.
  HostVertex v[4] = {Vertex(-hw, hh, c, e, e), Vertex(-hw, -hh, c, e, 0.0f),
                     Vertex(hw, -hh, c, 0.0f, 0.0f), Vertex(hw, hh, c, 0.0f, e)};
  const HostMatrix local =
      HostMatrixMultiply(HostMatrixRotationZ(angle * kDegreesToRadians),
                         HostMatrixTranslation(x + hw - kHalf, kHalf - y - hh, 0.0f));
  DrawWithLocal(kHostTriangleFan, v, local);
}

void KGraphicDD::DrawUntextured(HostPrimitive type, HostVertex* v, int count, bool surfaceBlend) {
  if (device == nullptr) return;
  HostDeviceSetTexture(device, nullptr);
  currentTexture = nullptr;
  HostDeviceSetAlphaBlend(device, true);
  if (surfaceBlend) HostDeviceSetBlendFactors(device, blendSrc, blendDst);
  if (!HostDeviceIsLost(device)) HostDeviceDraw(device, type, v, count);
}

void KGraphicDD::FillRect(float x1, float y1, float x2, float y2, float r, float g, float b,
                          float a) {
  const uint32_t c = PackColor(r, g, b, a);
  HostVertex v[4] = {Vertex(x1 - kHalf, kHalf - y1, c, 0, 0),
                     Vertex(x2 - kHalf, kHalf - y1, c, 0, 0),
                     Vertex(x2 - kHalf, kHalf - y2, c, 0, 0),
                     Vertex(x1 - kHalf, kHalf - y2, c, 0, 0)};
  DrawUntextured(kHostTriangleFan, v, 4, true);
}

void KGraphicDD::DrawLine(float x1, float y1, float x2, float y2, float r, float g, float b,
                          float a) {
  const uint32_t c = PackColor(r, g, b, a);
  HostVertex v[2] = {Vertex(x1 - kHalf, kHalf - y1, c, 0, 0),
                     Vertex(x2 - kHalf, kHalf - y2, c, 0, 0)};
  DrawUntextured(kHostLineList, v, 2, true);
}

void KGraphicDD::PlotPixel(float x, float y, float r, float g, float b, float a) {
  const uint32_t c = PackColor(r, g, b, a);
  HostVertex v[1] = {Vertex(x - kHalf, kHalf - y, c, 0, 0)};
  DrawUntextured(kHostPointList, v, 1, false);
}
