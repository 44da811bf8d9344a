#include "engine/graphics/KGraphicGL.h"

#include <GL/gl.h>

#include <cstring>
#include <memory>
#include <new>

#include "engine/graphics/KPicture.h"
#include "engine/graphics/KPixels.h"
#include "engine/host/host_window.h"
#include "engine/platform/KSystem.h"

#ifndef GL_CLAMP
#define GL_CLAMP 0x2900
#endif

namespace {

// Pictures larger than this on either side are refused even when the GL
// context would take them: the staging buffer of a square texture grows with
// the square of the side (4096 -> 64 MB).
constexpr int32_t kTextureSideCap = 4096;
constexpr int32_t kMinTextureSide = 4;

void QuadVertex(int32_t x, int32_t y) { glVertex3i(x, y, 0); }
void QuadVertex(float x, float y) { glVertex3f(x, y, 0); }

// One textured quad; corners and texture coordinates in the order left top,
// left bottom, right bottom, right top.
template <typename T>
void TexturedQuad(T left, T top, T right, T bottom, const float s[4], const float t[4]) {
  glBegin(GL_QUADS);
  glTexCoord2f(s[0], t[0]); QuadVertex(left, top);
  glTexCoord2f(s[1], t[1]); QuadVertex(left, bottom);
  glTexCoord2f(s[2], t[2]); QuadVertex(right, bottom);
  glTexCoord2f(s[3], t[3]); QuadVertex(right, top);
  glEnd();
}

}  // namespace

int16_t KGraphicGL::screenWidth = 0;
int16_t KGraphicGL::screenHeight = 0;
int16_t KGraphicGL::screenDepth = 0;
int32_t KGraphicGL::boundTexture = -1;

int32_t TextureSideFor(int32_t width, int32_t height) {
  const int32_t side = width > height ? width : height;
  int32_t t = 2;
  t *= 2;
  while (t < side && t < (1 << 30)) t *= 2;
  return t < kMinTextureSide ? kMinTextureSide : t;
}

KGraphicGL::KGraphicGL() : blendSrc(GL_SRC_ALPHA), blendDst(GL_ONE_MINUS_SRC_ALPHA),
                           target(GL_TEXTURE_2D) {
  if (screenWidth == 0) {
    KSystem::ShowMessage("Screen Dimensions not specified, you will not see anything",
                         "KGraphicGL::SetScreenSize Not Called!");
  }
}

KGraphicGL::~KGraphicGL() { FreePicture(); }

void KGraphicGL::SetScreenSize(int16_t width, int16_t height, int16_t depth) {
  screenWidth = width;
  screenHeight = height;
  screenDepth = depth;
  glEnable(GL_TEXTURE_2D);
  glShadeModel(GL_FLAT);
}

void KGraphicGL::SetTextureRectangleSupport(bool) {}

int32_t KGraphicGL::MaxTextureSide() {
  GLint limit = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
  if (limit <= 0 || limit > kTextureSideCap) return kTextureSideCap;
  return limit;
}

// --- loading -----------------------------------------------------------------

bool KGraphicGL::LoadDecoded(const HostImage& image, const HostImage* mask, bool trueColor,
                             bool withAlpha, bool keyAlwaysTransparent, bool maskLoad) {
  width = static_cast<float>(image.width);
  height = static_cast<float>(image.height);
  const int32_t side = TextureSideFor(image.width, image.height);
  textureWidth = textureHeight = static_cast<float>(side);

  // The key pixel's colour becomes the colour key; a key pixel outside the
  // picture is ignored.
  if (!maskLoad && keyPixelX >= 0 && keyPixelY >= 0 && keyPixelX < image.width &&
      keyPixelY < image.height) {
    const uint8_t* p = &image.rgba[(static_cast<size_t>(keyPixelY) * image.width + keyPixelX) * 4];
    SetColorKey(true, p[0], p[1], p[2]);
  }

  staging.assign(static_cast<size_t>(side) * side * 4, 0);
  BuildStagingPixels(image, mask, side, keyOn, keyR, keyG, keyB, withAlpha || keyAlwaysTransparent,
                     &staging);

  if (maskLoad || withAlpha) {
    UploadStaging(trueColor ? GL_RGBA8 : GL_RGBA);
  } else {
    UploadStaging(trueColor ? GL_RGB8 : GL_RGB);
  }
  SetFiltering(false);
  const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
  staging.clear();
  staging.shrink_to_fit();
  return true;
}

void BuildStagingPixels(const HostImage& image, const HostImage* mask, int32_t side, bool keyOn,
                        uint8_t keyR, uint8_t keyG, uint8_t keyB, bool keyMakesTransparent,
                        std::vector<uint8_t>* staging) {
  const size_t needed = static_cast<size_t>(side) * static_cast<size_t>(side) * 4;
  if (image.width > side || image.height > side || staging->size() < needed ||
      image.rgba.size() < static_cast<size_t>(image.width) * image.height * 4) {
    return;
  }
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* src = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
      uint8_t a;
      if (mask != nullptr) {
        // Alpha from the mask's blue byte; the mask may be smaller than the
        // picture, and pixels it does not cover are transparent.
        a = 0;
        if (x < mask->width && y < mask->height &&
            mask->rgba.size() >= static_cast<size_t>(mask->width) * mask->height * 4) {
          a = mask->rgba[(static_cast<size_t>(y) * mask->width + x) * 4 + 2];
        }
      } else {
        a = image.hasAlpha ? src[3] : 255;
      }
      if (keyOn && src[0] == keyR && src[1] == keyG && src[2] == keyB) {
        a = keyMakesTransparent ? 0 : 255;
      }
      uint8_t* dst = &(*staging)[(static_cast<size_t>(side) * y + x) * 4];
      dst[0] = src[0];
      dst[1] = src[1];
      dst[2] = src[2];
      dst[3] = a;
    }
  }
}

void KGraphicGL::UploadStaging(int32_t internalFormat) {
  glLoadIdentity();
  GLuint name = 0;
  glGenTextures(1, &name);
  textureName = name;
  glDisable(GL_TEXTURE_2D);
  glEnable(target);
  glBindTexture(target, textureName);
  boundTexture = static_cast<int32_t>(textureName);
  glLoadIdentity();
  glFlush();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  const GLsizei side = static_cast<GLsizei>(textureWidth);
  glTexImage2D(target, 0, internalFormat, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               staging.data());
}

bool KGraphicGL::LoadKeyPixelImage(const HostImage& image, int16_t keyX, int16_t keyY,
                                   bool keyAlwaysTransparent) {
  keyPixelX = keyX;
  keyPixelY = keyY;
  const bool ok = LoadDecoded(image, nullptr, true, true, keyAlwaysTransparent, false);
  // The key pixel serves only this load; the colour key it set stays.
  keyPixelX = keyPixelY = -1;
  return ok;
}

bool KGraphicGL::LoadPicture(char* fileName, bool trueColor, bool withAlpha) {
  FreePicture();
  HostImage image;
  if (!DecodePictureFile(fileName, MaxTextureSide(), &image)) return false;
  return LoadDecoded(image, nullptr, trueColor, withAlpha, false, false);
}

bool KGraphicGL::LoadPictureKeyPixel(char* fileName, int16_t keyX, int16_t keyY) {
  FreePicture();
  HostImage image;
  return DecodePictureFile(fileName, MaxTextureSide(), &image) &&
         LoadKeyPixelImage(image, keyX, keyY, false);
}

bool KGraphicGL::LoadPictureFromMemory(const char* typeName, const unsigned char* data,
                                       uint32_t size, bool trueColor, bool withAlpha) {
  FreePicture();
  HostImage image;
  if (!DecodePictureMemory(typeName, data, size, MaxTextureSide(), &image)) return false;
  return LoadDecoded(image, nullptr, trueColor, withAlpha, true, false);
}

bool KGraphicGL::LoadPictureFromMemoryKeyPixel(const char* typeName, const unsigned char* data,
                                               uint32_t size, int16_t keyX, int16_t keyY) {
  FreePicture();
  HostImage image;
  return DecodePictureMemory(typeName, data, size, MaxTextureSide(), &image) &&
         LoadKeyPixelImage(image, keyX, keyY, true);
}

bool KGraphicGL::LoadPictureWithMask(char* fileName, char* maskFileName, bool trueColor) {
  FreePicture();
  HostImage image, mask;
  const bool gotImage = DecodePictureFile(fileName, MaxTextureSide(), &image);
  const bool gotMask = DecodePictureFile(maskFileName, MaxTextureSide(), &mask);
  if (!gotImage || !gotMask) return false;
  return LoadDecoded(image, &mask, trueColor, true, true, true);
}

bool KGraphicGL::MakePictureFromArray(uint32_t* pixels, int32_t w, int32_t h, bool trueColor) {
  if (pixels == nullptr || w < 1 || h < 1) return false;
  // Refused like an oversized picture file: no texture could hold it.
  if (w > MaxTextureSide() || h > MaxTextureSide()) return false;
  FreePicture();
  if (keyOn) {
    const uint32_t key = static_cast<uint32_t>(keyR) | (static_cast<uint32_t>(keyG) << 8) |
                         (static_cast<uint32_t>(keyB) << 16);
    for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
      if ((pixels[i] & 0x00FFFFFFu) == key) pixels[i] = 0;
    }
  }
  arrayPixels = pixels;
  width = static_cast<float>(w);
  height = static_cast<float>(h);
  const int32_t side = TextureSideFor(w, h);
  textureWidth = textureHeight = static_cast<float>(side);
  staging.assign(static_cast<size_t>(side) * side * 4, 0);
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(&staging[static_cast<size_t>(side) * y * 4], &pixels[static_cast<size_t>(w) * y],
                static_cast<size_t>(w) * 4);
  }
  UploadStaging(trueColor ? GL_RGBA8 : GL_RGBA);
  SetFiltering(false);
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP);
  staging.clear();
  staging.shrink_to_fit();
  return true;
}

void KGraphicGL::UpdatePictureFromArray() {
  if (arrayPixels == nullptr || width <= 0) return;
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glEnable(target);
  boundTexture = -1;  // texturing was just switched off and on: bind for sure
  BindSurfaceTexture();
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(target, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height),
                  GL_RGBA, GL_UNSIGNED_BYTE, arrayPixels);
}

bool KGraphicGL::Grab(bool back, PixelFilter filter) {
  FreePicture();
  const int32_t sw = screenWidth, sh = screenHeight;
  if (sw < 1 || sh < 1) return false;
  const int32_t side = TextureSideFor(sw, sh);
  target = GL_TEXTURE_2D;
  std::unique_ptr<uint8_t[]> read(new (std::nothrow) uint8_t[static_cast<size_t>(sw) * sh * 4]);
  std::unique_ptr<uint8_t[]> tex(new (std::nothrow) uint8_t[static_cast<size_t>(side) * side * 4]);
  if (!read || !tex) return false;
  std::memset(tex.get(), 0, static_cast<size_t>(side) * side * 4);
  // The window may draw into an off-screen frame; its read buffer holds the
  // back buffer then, and there is no separate front buffer to read.
  const GLenum frame = static_cast<GLenum>(HostFrameReadBuffer());
  glReadBuffer(back || frame != GL_BACK ? frame : GL_FRONT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, sw, sh, GL_RGBA, GL_UNSIGNED_BYTE, read.get());
  for (int32_t y = 0; y < sh; ++y) {
    for (int32_t x = 0; x < sw; ++x) {
      const uint8_t* src = &read[(static_cast<size_t>(y) * sw + x) * 4];
      int32_t r = src[0], g = src[1], b = src[2];
      if (back && filter != nullptr) filter(x, y, &r, &g, &b);
      uint8_t* dst = &tex[(static_cast<size_t>(sh - y - 1) * side + x) * 4];
      dst[0] = static_cast<uint8_t>(r);
      dst[1] = static_cast<uint8_t>(g);
      dst[2] = static_cast<uint8_t>(b);
      if (back) {
        dst[3] = 255;
        if (keyOn && dst[0] == keyR && dst[1] == keyG && dst[2] == keyB) {
          dst[0] = dst[1] = dst[2] = dst[3] = 0;
        }
      }
    }
  }
  glEnable(target);
  glLoadIdentity();
  GLuint name = 0;
  glGenTextures(1, &name);
  textureName = name;
  glBindTexture(target, textureName);
  boundTexture = static_cast<int32_t>(textureName);
  if (back) {
    glEnable(GL_BLEND);
    glBlendFunc(blendSrc, blendDst);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(target, 0, back ? GL_RGBA8 : GL_RGB, side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               tex.get());
  glTexParameterf(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameterf(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP);
  textureWidth = textureHeight = static_cast<float>(side);
  width = static_cast<float>(sw);
  height = static_cast<float>(sh);
  return true;
}

bool KGraphicGL::GrabBackBuffer(PixelFilter filter) { return Grab(true, filter); }
bool KGraphicGL::GrabFrontBuffer() { return Grab(false, nullptr); }

void KGraphicGL::FreePicture() {
  keyPixelX = keyPixelY = -1;
  staging.clear();
  staging.shrink_to_fit();
  if (width > 0) {
    GLuint name = textureName;
    glDeleteTextures(1, &name);
    // A deleted name may come back from glGenTextures for another picture.
    if (boundTexture == static_cast<int32_t>(textureName)) boundTexture = -1;
    width = height = 0;
  }
}

float KGraphicGL::GetWidth() { return width; }
float KGraphicGL::GetHeight() { return height; }

void KGraphicGL::SetColorKey(bool enable, uint8_t r, uint8_t g, uint8_t b) {
  keyOn = enable;
  keyR = r;
  keyG = g;
  keyB = b;
}

// --- state setters -------------------------------------------------------------

void KGraphicGL::BindSurfaceTexture() {
  if (boundTexture != static_cast<int32_t>(textureName)) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(target, textureName);
    boundTexture = static_cast<int32_t>(textureName);
  }
}

void KGraphicGL::SetFiltering(bool smooth) {
  BindSurfaceTexture();
  const GLfloat f = smooth ? GL_LINEAR : GL_NEAREST;
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, f);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, f);
}

void KGraphicGL::SetTextureRepeat(bool r) {
  repeat = r;
  BindSurfaceTexture();
  const GLint wrap = r ? GL_REPEAT : GL_CLAMP;
  glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
}

void KGraphicGL::SetBlitColor(float r, float g, float b, float a) {
  colorOn = TintFromColor(r, g, b, a, &colorR, &colorG, &colorB, &colorA);
}

void KGraphicGL::SetBlendMode(int32_t mode) {
  switch (mode) {
    case 0: blendSrc = GL_SRC_ALPHA; blendDst = GL_DST_ALPHA; break;
    case 1: blendSrc = GL_SRC_ALPHA; blendDst = GL_ONE_MINUS_SRC_ALPHA; break;
    case 2: blendSrc = GL_ONE; blendDst = GL_ONE_MINUS_SRC_ALPHA; break;
    case 3: blendSrc = GL_ZERO; blendDst = GL_ONE_MINUS_SRC_ALPHA; break;
    default: break;
  }
}

void KGraphicGL::UseTexture() {
  glEnable(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  BindSurfaceTexture();
}

void KGraphicGL::ApplyTint() {
  if (colorOn) {
    glColor4f(colorR, colorG, colorB, colorA);
  } else {
    glColor4f(1, 1, 1, 1);
  }
}

void KGraphicGL::BlendSurfaceMode() {
  glEnable(GL_BLEND);
  glBlendFunc(blendSrc, blendDst);
}

// --- quad emitters -------------------------------------------------------------

void KGraphicGL::SourceCorners(float sx1, float sy1, float sx2, float sy2, bool flipX,
                               bool flipY, float s[4], float t[4]) const {
  CornerCoords(sx1 / textureWidth, sy1 / textureHeight, sx2 / textureWidth, sy2 / textureHeight,
               flipX, flipY, s, t);
}

void KGraphicGL::DrawQuadI(float sx1, float sy1, float sx2, float sy2, int16_t x, int16_t y,
                           bool flipX, bool flipY) {
  const int32_t w = Trunc16(sx2 - sx1), h = Trunc16(sy2 - sy1);
  float s[4], t[4];
  SourceCorners(sx1, sy1, sx2, sy2, flipX, flipY, s, t);
  TexturedQuad<int32_t>(x, y, x + w, y - h, s, t);
}

void KGraphicGL::DrawQuadF(float sx1, float sy1, float sx2, float sy2, float x, float y,
                           bool flipX, bool flipY) {
  float s[4], t[4];
  SourceCorners(sx1, sy1, sx2, sy2, flipX, flipY, s, t);
  TexturedQuad<float>(x, y, x + (sx2 - sx1), y - (sy2 - sy1), s, t);
}

void KGraphicGL::BeginTurnedBlit(float x, float y, float angle, float zoom) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(x, y, 0);
  glRotatef(angle, 0, 0, 1);
  glScalef(zoom, zoom, 0);
  BindSurfaceTexture();
  glDisable(GL_BLEND);
  glPushMatrix();
}

void KGraphicGL::EndTurnedBlit() {
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

bool KGraphicGL::BeginAlphaFx(float x, float y, float angle, float zoom, float alpha) {
  glPushMatrix();
  const bool transformed = angle != 0.0f || zoom != 1.0f;
  if (transformed) {
    glTranslatef(x, y, 0);
    if (angle != 0.0f) glRotatef(angle, 0, 0, 1);
    if (zoom != 1.0f) glScalef(zoom, zoom, 0);
  }
  if (colorOn) {
    glColor4f(colorR, colorG, colorB, alpha * colorA);
  } else {
    glColor4f(1, 1, 1, alpha);
  }
  BindSurfaceTexture();
  BlendSurfaceMode();
  glPushMatrix();
  return transformed;
}

void KGraphicGL::EndAlphaFx() {
  glPopMatrix();
  glColor4f(1, 1, 1, 1);
  glPopMatrix();
}

// --- blits -----------------------------------------------------------------------

void KGraphicGL::BlitRect(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy) {
  BlitRectFlip(sx1, sy1, sx2, sy2, dx, dy, false, false);
}

void KGraphicGL::BlitAlphaRect(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                               int16_t dy) {
  BlitAlphaRectFlip(sx1, sy1, sx2, sy2, dx, dy, false, false);
}

void KGraphicGL::BlitRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                              bool flipX, bool flipY) {
  BindSurfaceTexture();
  glDisable(GL_BLEND);
  glPushMatrix();
  DrawQuadI(sx1, sy1, sx2, sy2, dx, static_cast<int16_t>(screenHeight - dy), flipX, flipY);
  glPopMatrix();
}

void KGraphicGL::BlitRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                               bool flipX, bool flipY) {
  BindSurfaceTexture();
  glDisable(GL_BLEND);
  glPushMatrix();
  DrawQuadF(sx1, sy1, sx2, sy2, dx, screenHeight - dy, flipX, flipY);
  glPopMatrix();
}

void KGraphicGL::BlitAlphaRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                                   int16_t dy, bool flipX, bool flipY) {
  BindSurfaceTexture();
  BlendSurfaceMode();
  ApplyTint();
  glPushMatrix();
  DrawQuadI(sx1, sy1, sx2, sy2, dx, static_cast<int16_t>(screenHeight - dy), flipX, flipY);
  glPopMatrix();
}

void KGraphicGL::BlitAlphaRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx,
                                    float dy, bool flipX, bool flipY) {
  BindSurfaceTexture();
  BlendSurfaceMode();
  ApplyTint();
  glPushMatrix();
  DrawQuadF(sx1, sy1, sx2, sy2, dx, screenHeight - dy, flipX, flipY);
  glPopMatrix();
}

void KGraphicGL::BlitRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                            float angle, float zoom, bool flipX, bool flipY) {
  if (zoom == 0.0f) return;
  const float hw = (sx2 - sx1) * 0.5f, hh = (sy2 - sy1) * 0.5f;
  BeginTurnedBlit(dx + hw, static_cast<int16_t>(screenHeight - dy) - hh, angle, zoom);
  DrawQuadI(sx1, sy1, sx2, sy2, Trunc16(-hw), Trunc16(hh), flipX, flipY);
  EndTurnedBlit();
}

void KGraphicGL::BlitRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                             float angle, float zoom, bool flipX, bool flipY) {
  if (zoom == 0.0f) return;
  const float hw = (sx2 - sx1) * 0.5f, hh = (sy2 - sy1) * 0.5f;
  BeginTurnedBlit(dx + hw, (screenHeight - dy) - hh, angle, zoom);
  DrawQuadF(sx1, sy1, sx2, sy2, -hw, hh, flipX, flipY);
  EndTurnedBlit();
}

void KGraphicGL::BlitAlphaRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx,
                                 int16_t dy, float angle, float zoom, float alpha, bool flipX,
                                 bool flipY, float pivotX, float pivotY) {
  if (zoom == 0.0f || !(alpha > 0.0f)) return;
  const float ox = (sx2 - sx1) * 0.5f + pivotX, oy = (sy2 - sy1) * 0.5f + pivotY;
  const int16_t glY = static_cast<int16_t>(screenHeight - dy);
  if (BeginAlphaFx(dx + ox, glY - oy, angle, zoom, alpha)) {
    DrawQuadI(sx1, sy1, sx2, sy2, Trunc16(-ox), Trunc16(oy), flipX, flipY);
  } else {
    DrawQuadI(sx1, sy1, sx2, sy2, dx, glY, flipX, flipY);
  }
  EndAlphaFx();
}

void KGraphicGL::BlitAlphaRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                                  float angle, float zoom, float alpha, bool flipX, bool flipY,
                                  float pivotX, float pivotY) {
  if (zoom == 0.0f || !(alpha > 0.0f)) return;
  const float ox = (sx2 - sx1) * 0.5f + pivotX, oy = (sy2 - sy1) * 0.5f + pivotY;
  const float glY = screenHeight - dy;
  if (BeginAlphaFx(dx + ox, glY - oy, angle, zoom, alpha)) {
    DrawQuadF(sx1, sy1, sx2, sy2, -ox, oy, flipX, flipY);
  } else {
    DrawQuadF(sx1, sy1, sx2, sy2, dx, glY, flipX, flipY);
  }
  EndAlphaFx();
}

void KGraphicGL::StretchAlphaRect(float sx1, float sy1, float sx2, float sy2, float dx1,
                                  float dy1, float dx2, float dy2, float alpha, float angle,
                                  bool flipX, bool flipY, float pivotX, float pivotY) {
  BindSurfaceTexture();
  BlendSurfaceMode();
  if (colorOn) {
    glColor4f(colorR, colorG, colorB, alpha * colorA);
  } else {
    glColor4f(1, 1, 1, alpha < 0.0f ? 1.0f : alpha);
  }
  glPushMatrix();
  float X1, Y1, X2, Y2;
  if (angle == 0.0f) {
    X1 = dx1; Y1 = screenHeight - dy1; X2 = dx2; Y2 = screenHeight - dy2;
  } else {
    const float ox = (dx2 - dx1) * 0.5f + pivotX, oy = (dy2 - dy1) * 0.5f + pivotY;
    glTranslatef(dx1 + ox, (screenHeight - dy1) - oy, 0);
    glRotatef(angle, 0, 0, 1);
    X1 = -ox; Y1 = oy; X2 = (dx2 - dx1) - ox; Y2 = oy - (dy2 - dy1);
  }
  glPushMatrix();
  float s[4], t[4];
  SourceCorners(sx1, sy1, sx2, sy2, flipX, flipY, s, t);
  TexturedQuad(TruncInt(X1), TruncInt(Y1), TruncInt(X2), TruncInt(Y2), s, t);
  EndAlphaFx();
}

void KGraphicGL::BlitQuad(float sx1, float sy1, float sx2, float sy2, float sx3, float sy3,
                          float sx4, float sy4, float dx1, float dy1, float dx2, float dy2,
                          float dx3, float dy3, float dx4, float dy4) {
  BindSurfaceTexture();
  BlendSurfaceMode();
  ApplyTint();
  glPushMatrix();
  glPushMatrix();
  const float sx[4] = {sx1, sx2, sx3, sx4}, sy[4] = {sy1, sy2, sy3, sy4};
  const float dx[4] = {dx1, dx2, dx3, dx4}, dy[4] = {dy1, dy2, dy3, dy4};
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(sx[i] / textureWidth, sy[i] / textureHeight);
    glVertex3i(TruncInt(dx[i]), TruncInt(screenHeight - dy[i]), 0);
  }
  glEnd();
  glPopMatrix();
  glPopMatrix();
}

void KGraphicGL::DrawTextureRotated(int16_t x, int16_t y, int16_t w, int16_t h, float texExtent,
                                    float angle) {
  const int32_t hw = w / 2, hh = h / 2;
  glDisable(GL_BLEND);
  BindSurfaceTexture();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glTranslatef(static_cast<float>(x + hw), static_cast<float>((screenHeight - y) - hh), 0);
  glRotatef(angle, 0, 0, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(texExtent, texExtent); glVertex3i(-hw, hh, 0);
  glTexCoord2f(texExtent, 0); glVertex3i(-hw, -hh, 0);
  glTexCoord2f(0, 0); glVertex3i(hw, -hh, 0);
  glTexCoord2f(0, texExtent); glVertex3i(hw, hh, 0);
  glEnd();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

// --- untextured primitives ------------------------------------------------------

void KGraphicGL::FillRect(float x1, float y1, float x2, float y2, float r, float g, float b,
                          float a) {
  boundTexture = -1;
  glDisable(GL_TEXTURE_2D);
  if (a == 1.0f) {
    glDisable(GL_BLEND);
    glColor3f(r, g, b);
  } else {
    glEnable(GL_BLEND);
    glColor4f(r, g, b, a);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  glBegin(GL_QUADS);
  glVertex3i(TruncInt(x1), TruncInt(screenHeight - y1), 0);
  glVertex3i(TruncInt(x2), TruncInt(screenHeight - y1), 0);
  glVertex3i(TruncInt(x2), TruncInt(screenHeight - y2), 0);
  glVertex3i(TruncInt(x1), TruncInt(screenHeight - y2), 0);
  glEnd();
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
}

void KGraphicGL::DrawLine(float x1, float y1, float x2, float y2, float r, float g, float b,
                          float a) {
  boundTexture = -1;
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(blendSrc, blendDst);
  glColor4f(r, g, b, a);
  glBegin(GL_LINE_LOOP);
  glVertex2f(x1 - 1, screenHeight - (y1 - 1));
  glVertex2f(x2, screenHeight - y2);
  glEnd();
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
}

void KGraphicGL::PlotPixel(float x, float y, float r, float g, float b, float a) {
  boundTexture = -1;
  glEnable(GL_BLEND);
  glBlendFunc(blendSrc, blendDst);
  glDisable(GL_TEXTURE_2D);
  glColor4f(r, g, b, a);
  glBegin(GL_POINTS);
  glVertex2d(x, screenHeight - y);
  glEnd();
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
}

// --- window helpers ----------------------------------------------------------------

void KGraphicGL::DrawFadeOverlay(float fadeLevel) {
  if (!(fadeLevel < 1.0f)) return;
  float alpha = 1.0f - fadeLevel;
  if (alpha < 0.0f) alpha = 0.0f;
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0, 0, 0, alpha);
  glBegin(GL_QUADS);
  glVertex2f(0, 0);
  glVertex2f(screenWidth, 0);
  glVertex2f(screenWidth, screenHeight);
  glVertex2f(0, screenHeight);
  glEnd();
  glDisable(GL_BLEND);
  glColor4f(1, 1, 1, 1);
  boundTexture = -1;
}

std::unique_ptr<uint8_t[]> KGraphicGL::ReadBackBuffer(int32_t w, int32_t h) {
  if (w < 1 || h < 1) return nullptr;
  const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[bytes]);
  if (!out) return nullptr;
  std::memset(out.get(), 0, bytes);
  glReadBuffer(static_cast<GLenum>(HostFrameReadBuffer()));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, out.get());
  return out;
}
