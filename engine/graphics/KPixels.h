// Number and coordinate helpers shared by the surface implementations.
#pragma once

#include <cstdint>

// Float to integer, truncating toward zero, never undefined for garbage
// (NaN gives 0, out-of-range values the nearest limit).
int32_t TruncInt(float v);
// Float to a signed 16-bit value, truncating toward zero, clamped to range.
int16_t Trunc16(float v);
// Texture coordinates of the four corners (left top, left bottom, right
// bottom, right top) of the source rectangle (s1, t1)-(s2, t2), mirrored
// horizontally by flipX and vertically by flipY.
void CornerCoords(float s1, float t1, float s2, float t2, bool flipX, bool flipY, float s[4],
                  float t[4]);
// A blit tint from a colour: off (false, outputs untouched) for opaque white
// 1, 1, 1, 1; otherwise on, with each channel clamped to 0..1 (NaN gives 0).
bool TintFromColor(float r, float g, float b, float a, float* outR, float* outG, float* outB,
                   float* outA);
