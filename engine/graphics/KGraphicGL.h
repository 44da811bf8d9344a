// KGraphicGL: a picture held as one square power-of-two OpenGL texture and
// drawn with immediate-mode OpenGL into the current frame.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/graphics/KGraphic.h"
#include "engine/host/host_image.h"

class KGraphicGL : public KGraphic {
 public:
  KGraphicGL();
  ~KGraphicGL() override;

  bool LoadPictureKeyPixel(char* fileName, int16_t keyX, int16_t keyY) override;
  void BlitRect(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy) override;
  void BlitAlphaRect(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy) override;
  bool LoadPictureFromMemory(const char* typeName, const unsigned char* data, uint32_t size,
                             bool trueColor, bool withAlpha) override;
  bool LoadPictureFromMemoryKeyPixel(const char* typeName, const unsigned char* data,
                                     uint32_t size, int16_t keyX, int16_t keyY) override;
  bool LoadPictureWithMask(char* fileName, char* maskFileName, bool trueColor) override;
  bool LoadPicture(char* fileName, bool trueColor, bool withAlpha) override;
  void FreePicture() override;
  float GetWidth() override;
  float GetHeight() override;
  void SetFiltering(bool smooth) override;
  void FillRect(float x1, float y1, float x2, float y2, float r, float g, float b, float a) override;
  void DrawLine(float x1, float y1, float x2, float y2, float r, float g, float b, float a) override;
  void PlotPixel(float x, float y, float r, float g, float b, float a) override;
  void BlitRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                    bool flipX, bool flipY) override;
  void BlitRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                  float angle, float zoom, bool flipX, bool flipY) override;
  void BlitAlphaRectFlip(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                         bool flipX, bool flipY) override;
  void BlitAlphaRectFx(float sx1, float sy1, float sx2, float sy2, int16_t dx, int16_t dy,
                       float angle, float zoom, float alpha, bool flipX, bool flipY,
                       float pivotX, float pivotY) override;
  void BlitRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                     bool flipX, bool flipY) override;
  void BlitRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                   float angle, float zoom, bool flipX, bool flipY) override;
  void BlitAlphaRectFlipF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                          bool flipX, bool flipY) override;
  void BlitAlphaRectFxF(float sx1, float sy1, float sx2, float sy2, float dx, float dy,
                        float angle, float zoom, float alpha, bool flipX, bool flipY,
                        float pivotX, float pivotY) override;
  void DrawTextureRotated(int16_t x, int16_t y, int16_t w, int16_t h, float texExtent,
                          float angle) override;
  void BlitQuad(float sx1, float sy1, float sx2, float sy2, float sx3, float sy3,
                float sx4, float sy4, float dx1, float dy1, float dx2, float dy2,
                float dx3, float dy3, float dx4, float dy4) override;
  void SetBlendMode(int32_t mode) override;
  void StretchAlphaRect(float sx1, float sy1, float sx2, float sy2, float dx1, float dy1,
                        float dx2, float dy2, float alpha, float angle, bool flipX, bool flipY,
                        float pivotX, float pivotY) override;
  bool GrabBackBuffer(PixelFilter filter) override;
  bool GrabFrontBuffer() override;
  void SetColorKey(bool enable, uint8_t r, uint8_t g, uint8_t b) override;
  void SetTextureRepeat(bool repeat) override;
  void SetBlitColor(float r, float g, float b, float a) override;
  bool MakePictureFromArray(uint32_t* pixels, int32_t width, int32_t height,
                            bool trueColor) override;
  void UpdatePictureFromArray() override;
  void UseTexture() override;

  // Screen size the drawing flips y against; called by the OpenGL window
  // when it starts creating the window and again once its context exists.
  static void SetScreenSize(int16_t width, int16_t height, int16_t depth);
  static int16_t GetScreenWidth() { return screenWidth; }
  static int16_t GetScreenHeight() { return screenHeight; }
  // Rectangle textures are never used; the window's report is accepted only.
  static void SetTextureRectangleSupport(bool supported);
  // Somebody else drew untextured: the next textured draw binds again.
  static void ForgetBoundTexture() { boundTexture = -1; }
  // The window's fade: a black quad over the screen with alpha 1 - level
  // (nothing at 1 or above).
  static void DrawFadeOverlay(float fadeLevel);
  // Reads the bottom-left width x height pixels of the back buffer as RGBA,
  // bottom row first. Null when the buffer cannot be allocated.
  static std::unique_ptr<uint8_t[]> ReadBackBuffer(int32_t width, int32_t height);
  // Largest square texture this engine makes: the context's limit, capped
  // so that a picture never needs more than a few tens of megabytes.
  static int32_t MaxTextureSide();

  // Read-only views for tests and the screenshot code.
  float GetTextureWidth() const { return textureWidth; }
  uint32_t GetTextureName() const { return textureName; }
  bool IsColorOn() const { return colorOn; }
  void GetBlitColor(float* r, float* g, float* b, float* a) const {
    *r = colorR; *g = colorG; *b = colorB; *a = colorA;
  }
  uint32_t GetBlendSrc() const { return blendSrc; }
  uint32_t GetBlendDst() const { return blendDst; }

 private:
  bool LoadDecoded(const HostImage& image, const HostImage* mask, bool trueColor,
                   bool withAlpha, bool keyAlwaysTransparent, bool maskLoad);
  // Loads with the key pixel (keyX, keyY) giving the colour key.
  bool LoadKeyPixelImage(const HostImage& image, int16_t keyX, int16_t keyY,
                         bool keyAlwaysTransparent);
  void BindSurfaceTexture();
  void ApplyTint();
  void BlendSurfaceMode();
  // Texture coordinates of the source rectangle's corners, see CornerCoords.
  void SourceCorners(float sx1, float sy1, float sx2, float sy2, bool flipX, bool flipY,
                     float s[4], float t[4]) const;
  // Turned blits without alpha: the origin moved to (x, y), turned by angle
  // and zoomed, blending off; EndTurnedBlit undoes the matrices.
  void BeginTurnedBlit(float x, float y, float angle, float zoom);
  void EndTurnedBlit();
  // Turned blits with alpha: turns and zooms about (x, y) only when angle or
  // zoom asks for it (returns whether it did), tints with alpha and blends;
  // EndAlphaFx undoes the matrices and resets the colour.
  bool BeginAlphaFx(float x, float y, float angle, float zoom, float alpha);
  void EndAlphaFx();
  void DrawQuadI(float sx1, float sy1, float sx2, float sy2, int16_t x, int16_t y,
                 bool flipX, bool flipY);
  void DrawQuadF(float sx1, float sy1, float sx2, float sy2, float x, float y,
                 bool flipX, bool flipY);
  void UploadStaging(int32_t internalFormat);
  bool Grab(bool back, PixelFilter filter);

  static int16_t screenWidth;
  static int16_t screenHeight;
  static int16_t screenDepth;
  static int32_t boundTexture;

  int16_t keyPixelX = -1;
  int16_t keyPixelY = -1;
  bool colorOn = false;
  float colorR = 1.0f, colorG = 1.0f, colorB = 1.0f, colorA = 1.0f;
  uint32_t textureName = 0;
  std::vector<uint8_t> staging;
  uint16_t blendSrc;
  uint16_t blendDst;
  float textureWidth = 0.0f;
  float textureHeight = 0.0f;
  uint32_t target;
  bool repeat = false;
  bool keyOn = false;
  uint8_t keyR = 0, keyG = 0, keyB = 0;
  float width = 0.0f;
  float height = 0.0f;
  uint32_t* arrayPixels = nullptr;
};

// Fills a zeroed side x side RGBA staging buffer from a decoded picture:
// alpha from the file (255 without), or from the mask's blue byte; a pixel of
// the key colour gets alpha 0 when keyMakesTransparent, else 255.
void BuildStagingPixels(const HostImage& image, const HostImage* mask, int32_t side, bool keyOn,
                        uint8_t keyR, uint8_t keyG, uint8_t keyB, bool keyMakesTransparent,
                        std::vector<uint8_t>* staging);

// Texture side for a picture: the smallest power of two that is at least 4
// and at least the larger side.
int32_t TextureSideFor(int32_t width, int32_t height);
