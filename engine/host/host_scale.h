// Scaling of the frame into the window's pixels on the processor, for the
// software renderer: nearest sampling or linear filtering, 0xAARRGGBB in,
// 0xFFRRGGBB out. Every destination pixel is a fixed function of at most two
// columns and two rows of the source, so a part of the picture scaled alone
// comes out exactly as it does in a scaling of the whole.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/host/host_renderer.h"

// Which source pixels each destination column and row reads, and their
// weights: built once per pair of sizes.
struct HostScaleMap {
  int srcW = 0, srcH = 0, dstW = 0, dstH = 0;
  bool linear = false;
  std::vector<int32_t> col, row;       // first source column / row read
  std::vector<uint16_t> colW, rowW;    // weight of the next one, 0 .. 255
  std::vector<uint16_t> colByteW;      // colW once for each byte of a pixel
};

// Builds the map of a srcW x srcH picture shown as dstW x dstH (all at least
// 1). Linear filtering samples at pixel centres, edges clamped.
void HostBuildScaleMap(HostScaleMap* map, int srcW, int srcH, int dstW, int dstH, bool linear);
// The destination pixels whose value reads any source pixel of the region,
// clipped to the destination (empty when the region is).
HostRect HostScaleDestOf(const HostScaleMap& map, HostRect sourceRegion);
// Scales the destination rectangle `part` (clipped to the destination) from
// src (srcPitch bytes a row) into dst, whose (0, 0) is the destination's top
// left corner (dstPitch bytes a row). `scratch` holds a row between calls.
void HostScaleRect(const HostScaleMap& map, const uint32_t* src, int32_t srcPitch, uint32_t* dst,
                   int32_t dstPitch, HostRect part, std::vector<uint32_t>* scratch);
