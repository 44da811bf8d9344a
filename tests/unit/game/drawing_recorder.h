// A KGraphic that records the blits and fills the drawing helpers make.
#pragma once

#include <string>
#include <vector>

#include "engine/graphics/KGraphic.h"

struct GraphicCall {
  std::string op;
  float sx1, sy1, sx2, sy2, dx, dy, angle, zoom, alpha;
  bool flipX, flipY;
};

class RecordingGraphic : public KGraphic {
 public:
  std::vector<GraphicCall> calls;
  void Add(const char* op, float a, float b, float c, float d, float x, float y, bool fx = false,
           bool fy = false, float angle = 0, float zoom = 1, float alpha = 1) {
    calls.push_back(GraphicCall{op, a, b, c, d, x, y, angle, zoom, alpha, fx, fy});
  }

  void BlitRectFlip(float a, float b, float c, float d, int16_t x, int16_t y, bool fx,
                    bool fy) override { Add("BlitRectFlip", a, b, c, d, x, y, fx, fy); }
  void BlitAlphaRectFlip(float a, float b, float c, float d, int16_t x, int16_t y, bool fx,
                         bool fy) override { Add("BlitAlphaRectFlip", a, b, c, d, x, y, fx, fy); }
  void BlitAlphaRectFx(float a, float b, float c, float d, int16_t x, int16_t y, float angle,
                       float zoom, float alpha, bool fx, bool fy, float, float) override {
    Add("BlitAlphaRectFx", a, b, c, d, x, y, fx, fy, angle, zoom, alpha);
  }
  // FillRect's colour goes to angle, zoom, alpha, dx (r, g, b, a).
  void FillRect(float x1, float y1, float x2, float y2, float r, float g, float b,
                float a) override { Add("FillRect", x1, y1, x2, y2, a, 0, false, false, r, g, b); }

  // Everything else is not used by the helpers.
  bool LoadPictureKeyPixel(char*, int16_t, int16_t) override { return false; }
  void BlitRect(float, float, float, float, int16_t, int16_t) override { Add("other", 0, 0, 0, 0, 0, 0); }
  void BlitAlphaRect(float, float, float, float, int16_t, int16_t) override { Add("other", 0, 0, 0, 0, 0, 0); }
  bool LoadPictureFromMemory(const char*, const unsigned char*, uint32_t, bool, bool) override { return false; }
  bool LoadPictureFromMemoryKeyPixel(const char*, const unsigned char*, uint32_t, int16_t, int16_t) override {
    return false;
  }
  bool LoadPictureWithMask(char*, char*, bool) override { return false; }
  bool LoadPicture(char*, bool, bool) override { return false; }
  void FreePicture() override {}
  float GetWidth() override { return 0; }
  float GetHeight() override { return 0; }
  void SetFiltering(bool) override {}
  void DrawLine(float, float, float, float, float, float, float, float) override {}
  void PlotPixel(float, float, float, float, float, float) override {}
  void BlitRectFx(float, float, float, float, int16_t, int16_t, float, float, bool, bool) override {}
  void BlitRectFlipF(float, float, float, float, float, float, bool, bool) override {}
  void BlitRectFxF(float, float, float, float, float, float, float, float, bool, bool) override {}
  void BlitAlphaRectFlipF(float, float, float, float, float, float, bool, bool) override {}
  void BlitAlphaRectFxF(float, float, float, float, float, float, float, float, float, bool, bool, float,
                        float) override {}
  void DrawTextureRotated(int16_t, int16_t, int16_t, int16_t, float, float) override {}
  void BlitQuad(float, float, float, float, float, float, float, float, float, float, float, float, float,
                float, float, float) override {}
  void SetBlendMode(int32_t) override {}
  void StretchAlphaRect(float, float, float, float, float, float, float, float, float, float, bool, bool,
                        float, float) override {}
  bool GrabBackBuffer(PixelFilter) override { return false; }
  bool GrabFrontBuffer() override { return false; }
  void SetColorKey(bool, uint8_t, uint8_t, uint8_t) override {}
  void SetTextureRepeat(bool) override {}
  void SetBlitColor(float, float, float, float) override {}
  bool MakePictureFromArray(uint32_t*, int32_t, int32_t, bool) override { return false; }
  void UpdatePictureFromArray() override {}
  void UseTexture() override {}
};
