// KGraphic: one picture held by the rendering device (a bitmap sheet, a panel,
// a captured screen) and every operation that draws rectangles out of it.
//
// Coordinates are screen pixels, origin top-left, y down. Source rectangles
// are corner pairs (sx1, sy1)-(sx2, sy2) in picture pixels. Colours passed to
// drawing operations are floats 0..1; the colour key is three bytes 0..255.
// Pixel arrays hold one 32-bit word per pixel, R | G<<8 | B<<16 | A<<24,
// rows top first.
#pragma once

#include <cstdint>

// Called for every grabbed pixel; may change the three channels.
typedef void (*PixelFilter)(int32_t x, int32_t y, int32_t* r, int32_t* g, int32_t* b);

class KGraphic {
 public:
  virtual ~KGraphic() {}                                                    // 0

  // Loads a picture file and makes the colour of pixel (keyX, keyY), counted
  // from the top-left, the colour key. The name is lower-cased in place.
  virtual bool LoadPictureKeyPixel(char* fileName, int16_t keyX, int16_t keyY) = 0;  // 1
  virtual void BlitRect(float sx1, float sy1, float sx2, float sy2,
                        int16_t dx, int16_t dy) = 0;                        // 2
  virtual void BlitAlphaRect(float sx1, float sy1, float sx2, float sy2,
                             int16_t dx, int16_t dy) = 0;                   // 3
  // typeName picks the decoder (".tga", ".jpg", ".bmp", ".png" anywhere in it).
  virtual bool LoadPictureFromMemory(const char* typeName, const unsigned char* data,
                                     uint32_t size, bool trueColor, bool withAlpha) = 0;  // 4
  virtual bool LoadPictureFromMemoryKeyPixel(const char* typeName, const unsigned char* data,
                                             uint32_t size, int16_t keyX, int16_t keyY) = 0;  // 5
  // Colour from fileName, alpha from the blue channel of maskFileName.
  virtual bool LoadPictureWithMask(char* fileName, char* maskFileName, bool trueColor) = 0;  // 6
  // Reads the file whole (archive first, then disk). The name is lower-cased
  // in place. False, with nothing held, when it cannot be read or decoded.
  virtual bool LoadPicture(char* fileName, bool trueColor, bool withAlpha) = 0;  // 7
  virtual void FreePicture() = 0;                                           // 8
  virtual float GetWidth() = 0;                                             // 9
  virtual float GetHeight() = 0;                                            // 10
  virtual void SetFiltering(bool smooth) = 0;                               // 11
  virtual void FillRect(float x1, float y1, float x2, float y2,
                        float r, float g, float b, float a) = 0;            // 12
  virtual void DrawLine(float x1, float y1, float x2, float y2,
                        float r, float g, float b, float a) = 0;            // 13
  virtual void PlotPixel(float x, float y, float r, float g, float b, float a) = 0;  // 14
  virtual void BlitRectFlip(float sx1, float sy1, float sx2, float sy2,
                            int16_t dx, int16_t dy, bool flipX, bool flipY) = 0;  // 15
  virtual void BlitRectFx(float sx1, float sy1, float sx2, float sy2,
                          int16_t dx, int16_t dy, float angle, float zoom,
                          bool flipX, bool flipY) = 0;                      // 16
  virtual void BlitAlphaRectFlip(float sx1, float sy1, float sx2, float sy2,
                                 int16_t dx, int16_t dy, bool flipX, bool flipY) = 0;  // 17
  virtual void BlitAlphaRectFx(float sx1, float sy1, float sx2, float sy2,
                               int16_t dx, int16_t dy, float angle, float zoom, float alpha,
                               bool flipX, bool flipY, float pivotX, float pivotY) = 0;  // 18
  virtual void BlitRectFlipF(float sx1, float sy1, float sx2, float sy2,
                             float dx, float dy, bool flipX, bool flipY) = 0;  // 19
  virtual void BlitRectFxF(float sx1, float sy1, float sx2, float sy2,
                           float dx, float dy, float angle, float zoom,
                           bool flipX, bool flipY) = 0;                     // 20
  virtual void BlitAlphaRectFlipF(float sx1, float sy1, float sx2, float sy2,
                                  float dx, float dy, bool flipX, bool flipY) = 0;  // 21
  virtual void BlitAlphaRectFxF(float sx1, float sy1, float sx2, float sy2,
                                float dx, float dy, float angle, float zoom, float alpha,
                                bool flipX, bool flipY, float pivotX, float pivotY) = 0;  // 22
  virtual void DrawTextureRotated(int16_t x, int16_t y, int16_t w, int16_t h,
                                  float texExtent, float angle) = 0;        // 23
  virtual void BlitQuad(float sx1, float sy1, float sx2, float sy2,
                        float sx3, float sy3, float sx4, float sy4,
                        float dx1, float dy1, float dx2, float dy2,
                        float dx3, float dy3, float dx4, float dy4) = 0;    // 24
  virtual void SetBlendMode(int32_t mode) = 0;                              // 25
  virtual void StretchAlphaRect(float sx1, float sy1, float sx2, float sy2,
                                float dx1, float dy1, float dx2, float dy2,
                                float alpha, float angle, bool flipX, bool flipY,
                                float pivotX, float pivotY) = 0;            // 26
  virtual bool GrabBackBuffer(PixelFilter filter) = 0;                      // 27
  virtual bool GrabFrontBuffer() = 0;                                       // 28
  virtual void SetColorKey(bool enable, uint8_t r, uint8_t g, uint8_t b) = 0;  // 29
  virtual void SetTextureRepeat(bool repeat) = 0;                           // 30
  virtual void SetBlitColor(float r, float g, float b, float a) = 0;        // 31
  // Keeps a reference to pixels (not a copy) for UpdatePictureFromArray.
  virtual bool MakePictureFromArray(uint32_t* pixels, int32_t width, int32_t height,
                                    bool trueColor) = 0;                    // 32
  virtual void UpdatePictureFromArray() = 0;                                // 33
  virtual void UseTexture() = 0;                                            // 34
};

// Makes a new surface for the renderer chosen by createKWindow (selector 0
// the DirectDraw-style surface, any other the OpenGL one); null when memory
// runs out.
// The caller owns it and deletes it through the virtual destructor.
KGraphic* CreateKGraphic();
