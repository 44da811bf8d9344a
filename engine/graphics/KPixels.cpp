#include "engine/graphics/KPixels.h"

#include <limits>

int32_t TruncInt(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483520.0f) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483520.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int16_t Trunc16(float v) {
  const int32_t i = TruncInt(v);
  if (i > 32767) return 32767;
  if (i < -32768) return -32768;
  return static_cast<int16_t>(i);
}

void CornerCoords(float s1, float t1, float s2, float t2, bool flipX, bool flipY, float s[4],
                  float t[4]) {
  const float l = flipX ? s2 : s1, r = flipX ? s1 : s2;
  const float tp = flipY ? t2 : t1, bt = flipY ? t1 : t2;
  s[0] = l; t[0] = tp;
  s[1] = l; t[1] = bt;
  s[2] = r; t[2] = bt;
  s[3] = r; t[3] = tp;
}

bool TintFromColor(float r, float g, float b, float a, float* outR, float* outG, float* outB,
                   float* outA) {
  if (r == 1.0f && g == 1.0f && b == 1.0f && a == 1.0f) return false;
  auto clamp01 = [](float v) { return v > 1.0f ? 1.0f : (v < 0.0f || !(v == v) ? 0.0f : v); };
  *outR = clamp01(r);
  *outG = clamp01(g);
  *outB = clamp01(b);
  *outA = clamp01(a);
  return true;
}
