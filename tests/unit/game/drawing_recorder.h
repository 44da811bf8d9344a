// A KGraphic that draws nothing and records every blit and fill made on it.
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
  using F = float;
  using I = int16_t;

  void BlitRect(F a, F b, F c, F d, I x, I y) override { Add("BlitRect", a, b, c, d, x, y); }
  void BlitAlphaRect(F a, F b, F c, F d, I x, I y) override { Add("BlitAlphaRect", a, b, c, d, x, y); }
  void BlitRectFlip(F a, F b, F c, F d, I x, I y, bool fx, bool fy) override {
    Add("BlitRectFlip", a, b, c, d, x, y, fx, fy);
  }
  void BlitAlphaRectFlip(F a, F b, F c, F d, I x, I y, bool fx, bool fy) override {
    Add("BlitAlphaRectFlip", a, b, c, d, x, y, fx, fy);
  }
  void BlitRectFx(F a, F b, F c, F d, I x, I y, F an, F z, bool fx, bool fy) override {
    Add("BlitRectFx", a, b, c, d, x, y, fx, fy, an, z);
  }
  void BlitAlphaRectFx(F a, F b, F c, F d, I x, I y, F an, F z, F al, bool fx, bool fy, F, F) override {
    Add("BlitAlphaRectFx", a, b, c, d, x, y, fx, fy, an, z, al);
  }
  void BlitRectFlipF(F a, F b, F c, F d, F x, F y, bool fx, bool fy) override {
    Add("BlitRectFlipF", a, b, c, d, x, y, fx, fy);
  }
  void BlitAlphaRectFlipF(F a, F b, F c, F d, F x, F y, bool fx, bool fy) override {
    Add("BlitAlphaRectFlipF", a, b, c, d, x, y, fx, fy);
  }
  void BlitRectFxF(F a, F b, F c, F d, F x, F y, F an, F z, bool fx, bool fy) override {
    Add("BlitRectFxF", a, b, c, d, x, y, fx, fy, an, z);
  }
  void BlitAlphaRectFxF(F a, F b, F c, F d, F x, F y, F an, F z, F al, bool fx, bool fy, F, F) override {
    Add("BlitAlphaRectFxF", a, b, c, d, x, y, fx, fy, an, z, al);
  }
  // FillRect's colour goes to angle, zoom, alpha, dx (r, g, b, a).
  void FillRect(F x1, F y1, F x2, F y2, F r, F g, F b, F a) override {
    Add("FillRect", x1, y1, x2, y2, a, 0, false, false, r, g, b);
  }

  // Nothing else is recorded.
  bool LoadPictureKeyPixel(char*, I, I) override { return false; }
  bool LoadPictureFromMemory(const char*, const unsigned char*, uint32_t, bool, bool) override { return false; }
  bool LoadPictureFromMemoryKeyPixel(const char*, const unsigned char*, uint32_t, I, I) override { return false; }
  bool LoadPictureWithMask(char*, char*, bool) override { return false; }
  bool LoadPicture(char*, bool, bool) override { return false; }
  void FreePicture() override {}
  F GetWidth() override { return 0; }
  F GetHeight() override { return 0; }
  void SetFiltering(bool) override {}
  void DrawLine(F, F, F, F, F, F, F, F) override {}
  void PlotPixel(F, F, F, F, F, F) override {}
  void DrawTextureRotated(I, I, I, I, F, F) override {}
  void BlitQuad(F, F, F, F, F, F, F, F, F, F, F, F, F, F, F, F) override {}
  void SetBlendMode(int32_t) override {}
  void StretchAlphaRect(F, F, F, F, F, F, F, F, F, F, bool, bool, F, F) override {}
  bool GrabBackBuffer(PixelFilter) override { return false; }
  bool GrabFrontBuffer() override { return false; }
  void SetColorKey(bool, uint8_t, uint8_t, uint8_t) override {}
  void SetTextureRepeat(bool) override {}
  void SetBlitColor(F, F, F, F) override {}
  bool MakePictureFromArray(uint32_t*, int32_t, int32_t, bool) override { return false; }
  void UpdatePictureFromArray() override {}
  void UseTexture() override {}

 private:
  void Add(const char* op, F a, F b, F c, F d, F x, F y, bool fx = false, bool fy = false, F angle = 0,
           F zoom = 1, F alpha = 1) {
    calls.push_back(GraphicCall{op, a, b, c, d, x, y, angle, zoom, alpha, fx, fy});
  }
};
