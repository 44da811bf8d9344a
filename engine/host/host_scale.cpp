// Frame scaling on the processor (see host_scale.h).
#include "engine/host/host_scale.h"

#include <algorithm>

namespace {

constexpr int kWeightOne = 256;  // weights are in 1/256ths
constexpr int kWeightShift = 8;
constexpr uint32_t kOpaque = 0xFF000000u;

// Source index and next-tap weight of each of `dst` destination pixels over
// `src` source pixels. Linear: the centre of destination pixel d sits at
// (d + 0.5) * src / dst - 0.5 in the source, in 1/256ths.
void buildAxis(int src, int dst, bool linear, std::vector<int32_t>* index,
               std::vector<uint16_t>* weight) {
  index->assign(static_cast<size_t>(dst), 0);
  weight->assign(static_cast<size_t>(dst), 0);
  for (int d = 0; d < dst; ++d) {
    const int64_t centre2 = (2 * static_cast<int64_t>(d) + 1) * src;  // twice the centre, times dst
    int64_t i = 0, w = 0;
    if (linear) {
      const int64_t at = centre2 * kWeightOne / (2 * static_cast<int64_t>(dst)) - kWeightOne / 2;
      if (at > 0) {
        i = at >> kWeightShift;
        w = at & (kWeightOne - 1);
      }
    } else {
      i = centre2 / (2 * static_cast<int64_t>(dst));
    }
    if (i >= src - 1) {
      i = src - 1;
      w = 0;
    }
    (*index)[static_cast<size_t>(d)] = static_cast<int32_t>(i);
    (*weight)[static_cast<size_t>(d)] = static_cast<uint16_t>(w);
  }
}

// The destination range [first, last] whose pixels read any of the source
// indices [from, to]; first > last when none do.
void destRange(const std::vector<int32_t>& index, const std::vector<uint16_t>& weight, int from,
               int to, int* first, int* last) {
  *first = 0;
  *last = -1;
  bool any = false;
  for (size_t d = 0; d < index.size(); ++d) {
    const int lo = index[d], hi = index[d] + (weight[d] != 0 ? 1 : 0);
    if (hi < from || lo > to) continue;
    if (!any) *first = static_cast<int>(d);
    *last = static_cast<int>(d);
    any = true;
  }
}

HostRect clipTo(HostRect r, int w, int h) {
  const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
  const int x1 = std::min(r.x + r.w, w), y1 = std::min(r.y + r.h, h);
  return HostRect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

const uint32_t* rowOf(const uint32_t* base, int32_t pitch, int y) {
  return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(base) +
                                           static_cast<size_t>(pitch) * y);
}

}  // namespace

void HostBuildScaleMap(HostScaleMap* map, int srcW, int srcH, int dstW, int dstH, bool linear) {
  map->srcW = std::max(srcW, 1);
  map->srcH = std::max(srcH, 1);
  map->dstW = std::max(dstW, 1);
  map->dstH = std::max(dstH, 1);
  map->linear = linear;
  buildAxis(map->srcW, map->dstW, linear, &map->col, &map->colW);
  buildAxis(map->srcH, map->dstH, linear, &map->row, &map->rowW);
  map->colByteW.resize(map->colW.size() * 4);
  for (size_t i = 0; i < map->colByteW.size(); ++i) map->colByteW[i] = map->colW[i / 4];
}

HostRect HostScaleDestOf(const HostScaleMap& map, HostRect sourceRegion) {
  const HostRect r = clipTo(sourceRegion, map.srcW, map.srcH);
  if (r.w == 0 || r.h == 0) return HostRect{0, 0, 0, 0};
  int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
  destRange(map.col, map.colW, r.x, r.x + r.w - 1, &x0, &x1);
  destRange(map.row, map.rowW, r.y, r.y + r.h - 1, &y0, &y1);
  if (x1 < x0 || y1 < y0) return HostRect{0, 0, 0, 0};
  return HostRect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

void HostScaleRect(const HostScaleMap& map, const uint32_t* src, int32_t srcPitch, uint32_t* dst,
                   int32_t dstPitch, HostRect part, std::vector<uint32_t>* scratch) {
  const HostRect p = clipTo(part, map.dstW, map.dstH);
  if (p.w == 0 || p.h == 0 || src == nullptr || dst == nullptr) return;
  // The source columns this part reads.
  const int c0 = map.col[static_cast<size_t>(p.x)];
  const int c1 = std::min(map.col[static_cast<size_t>(p.x + p.w - 1)] + 1, map.srcW - 1);
  scratch->resize(static_cast<size_t>(map.srcW) + 2 * static_cast<size_t>(map.dstW));
  uint32_t* blended = scratch->data();
  uint32_t* left = blended + map.srcW;
  uint32_t* right = left + map.dstW;
  for (int dy = p.y; dy < p.y + p.h; ++dy) {
    const int sy = map.row[static_cast<size_t>(dy)];
    const uint32_t wy = map.rowW[static_cast<size_t>(dy)];
    const uint32_t* line = rowOf(src, srcPitch, sy);
    if (wy != 0) {
      // The two source rows blended once, byte by byte (which vectorises),
      // then read column by column.
      const uint8_t* a = reinterpret_cast<const uint8_t*>(line + c0);
      const uint8_t* b = reinterpret_cast<const uint8_t*>(rowOf(src, srcPitch, sy + 1) + c0);
      uint8_t* mixed = reinterpret_cast<uint8_t*>(blended + c0);
      const uint16_t keep = static_cast<uint16_t>(kWeightOne - wy), take = static_cast<uint16_t>(wy);
      const int bytes = (c1 - c0 + 1) * 4;
      for (int i = 0; i < bytes; ++i) {
        mixed[i] = static_cast<uint8_t>((a[i] * keep + b[i] * take) >> kWeightShift);
      }
      line = blended;
    }
    uint32_t* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) +
                                                static_cast<size_t>(dstPitch) * dy);
    if (!map.linear) {
      for (int dx = p.x; dx < p.x + p.w; ++dx) out[dx] = line[map.col[static_cast<size_t>(dx)]] | kOpaque;
      continue;
    }
    // The two taps of every column gathered, then blended byte by byte with
    // the columns' own weights (which vectorises). A weight of 0 makes the
    // next tap (clamped to the row) count for nothing.
    const int last = map.srcW - 1;
    for (int dx = p.x; dx < p.x + p.w; ++dx) {
      const int sx = map.col[static_cast<size_t>(dx)];
      left[dx] = line[sx];
      right[dx] = line[std::min(sx + 1, last)];
    }
    const uint8_t* a = reinterpret_cast<const uint8_t*>(left + p.x);
    const uint8_t* b = reinterpret_cast<const uint8_t*>(right + p.x);
    const uint16_t* w = map.colByteW.data() + static_cast<size_t>(p.x) * 4;
    uint8_t* o = reinterpret_cast<uint8_t*>(out + p.x);
    for (int i = 0; i < p.w * 4; ++i) {
      o[i] = static_cast<uint8_t>((a[i] * (kWeightOne - w[i]) + b[i] * w[i]) >> kWeightShift);
    }
    for (int dx = p.x; dx < p.x + p.w; ++dx) out[dx] |= kOpaque;
  }
}
