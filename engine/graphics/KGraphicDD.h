// KGraphicDD: a picture held as a device surface (host_renderer.h) and drawn
// as textured quads through the 2D device of the DirectDraw-style window.
// Every live surface is registered so that all pictures can be restored after
// the device lost them (a reset, a switch between window and full screen).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/graphics/KGraphic.h"
#include "engine/host/host_image.h"
#include "engine/host/host_renderer.h"

// Texel word packing of the surface formats (inputs are 8-bit channels).
uint32_t PackA8R8G8B8(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint16_t PackA4R4G4B4(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
uint16_t PackX1R5G5B5(uint8_t r, uint8_t g, uint8_t b);
// Format of a loaded picture: 32-bit for true colour, else 16-bit with four
// alpha bits when alpha is wanted or the file has it, else 16-bit opaque.
HostSurfaceFormat SurfaceFormatFor(bool trueColor, bool withAlpha, bool imageHasAlpha);
// Side of a square texture: the smallest power of two >= max(width, height),
// at least 1.
int32_t SurfaceSideFor(int32_t width, int32_t height);

// Blend factor pair of a blend mode (0..3); false for any other mode.
bool BlendFactorsForMode(int32_t mode, int32_t* src, int32_t* dst);

class KGraphicDD : public KGraphic {
 public:
  KGraphicDD();
  ~KGraphicDD() override;

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

  // The window hands over its device (null when it released it) and the size
  // and depth of the display; the device gets its default drawing states.
  static void SetDeviceObjects(HostDevice* device, int32_t displayWidth, int32_t displayHeight,
                               int32_t screenDepth);
  static HostDevice* GetDevice() { return device; }
  // Restores every registered surface, in creation order.
  static void RestoreAllPictures();
  // The surface last given to the device as texture (null = none).
  static void ForgetCurrentTexture();
  static size_t RegisteredCount() { return surfaceRegistry.size(); }

  // Read-only views for tests.
  float GetTextureWidth() const { return textureWidth; }
  float GetTextureHeight() const { return textureHeight; }
  HostSurface* GetSurface() const { return surface; }
  bool IsPlain() const { return plain; }
  const char* GetFileName() const { return fileName; }
  // Diffuse colour (0xAARRGGBB) the next textured quad would carry.
  uint32_t QuadColor() const;

 private:
  // How a lost picture comes back: reloaded from its file, re-uploaded from a
  // private copy (memory loads, arrays, grabs), or not at all.
  enum RestoreSource : uint8_t { kRestoreNone, kRestoreFile, kRestoreCopy };

  // Frees the picture and forgets how the last one was loaded.
  void BeginLoad(bool plainLoad);
  // Decodes a picture file or memory picture and remembers its name (the
  // type name for memory); on failure the name is cleared.
  bool DecodeNamedFile(char* name, HostImage* image);
  bool DecodeNamedMemory(const char* typeName, const unsigned char* data, uint32_t size,
                         HostImage* image);
  bool LoadTexture(const HostImage& image, const HostImage* mask, bool trueColorLoad,
                   bool withAlphaLoad);
  bool LoadPlain(const HostImage& image, int16_t keyX, int16_t keyY);
  void KeepCopy();
  void Restore();
  // Per-quad state; false when the quad must not be drawn (no picture, or a
  // lost one that was restored instead).
  bool PrepareTexturedDraw(bool blended);
  // Draws four vertices (strip or fan) with `local` in front of the world
  // transform. The vertices are already in the device's coordinates.
  void DrawWithLocal(HostPrimitive type, HostVertex* v, const HostMatrix& local);
  void EmitQuad(float sx1, float sy1, float sx2, float sy2, float dx, float dy, bool flipX,
                bool flipY, bool blended);
  void DrawUntextured(HostPrimitive type, HostVertex* v, int count, bool surfaceBlend);

  static HostDevice* device;
  static int32_t displayWidth;
  static int32_t displayHeight;
  static int32_t screenDepth;
  static HostSurface* currentTexture;
  static std::vector<KGraphicDD*> surfaceRegistry;

  uint8_t status = 0;
  bool hasMask = false;
  char fileName[260] = {0};
  char maskFileName[260] = {0};
  int32_t blendSrc = kHostBlendSrcAlpha;
  int32_t blendDst = kHostBlendInvSrcAlpha;
  HostSurface* surface = nullptr;
  bool plain = false;
  int32_t keyPixelX = -1;
  int32_t keyPixelY = -1;
  bool linearFilter = false;
  bool wrapAddress = false;
  bool trueColor = false;
  bool withAlpha = false;
  float textureWidth = 0.0f;
  float textureHeight = 0.0f;
  float height = 0.0f;
  float width = 0.0f;
  bool keyOn = false;
  uint8_t keyR = 0, keyG = 0, keyB = 0;
  bool repeat = false;
  bool smooth = false;
  bool colorOn = false;
  float colorR = 1.0f, colorG = 1.0f, colorB = 1.0f, colorA = 1.0f;
  float alphaFactor = 1.0f;

  RestoreSource restoreSource = kRestoreNone;
  std::vector<uint8_t> restoreTexels;  // texels of the picture for kRestoreCopy
  HostSurfaceFormat restoreFormat = kHostA8R8G8B8;
  int32_t restoreSurfaceW = 0, restoreSurfaceH = 0;  // surface size of the copy
  bool surfaceKeyOn = false;  // source colour key of a plain picture
  uint32_t surfaceKey = 0;
};
