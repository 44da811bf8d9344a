// The software renderer's frame scaler: parts scaled alone match the whole,
// and the window pixels said to read a changed region are all that change.
#include "engine/host/host_scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Size {
  int srcW, srcH, dstW, dstH;
  bool linear;
};

// The scalings the game meets: a 1024 x 768 screen (filtered), twice the
// frame (sharp), the frame itself, and a screen smaller than the frame.
const Size kSizes[] = {{800, 600, 1024, 768, true},
                       {800, 600, 1600, 1200, false},
                       {800, 600, 800, 600, false},
                       {800, 600, 640, 480, true}};

std::vector<uint32_t> Noise(int w, int h, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  for (uint32_t& p : pixels) p = static_cast<uint32_t>(random());
  return pixels;
}

std::vector<uint32_t> ScaleWhole(const HostScaleMap& map, const std::vector<uint32_t>& src) {
  std::vector<uint32_t> dst(static_cast<size_t>(map.dstW) * map.dstH, 0);
  std::vector<uint32_t> scratch;
  HostScaleRect(map, src.data(), map.srcW * 4, dst.data(), map.dstW * 4,
                HostRect{0, 0, map.dstW, map.dstH}, &scratch);
  return dst;
}

TEST(HostScale, PartsScaledAloneGiveThePixelsOfTheWhole) {
  for (const Size& size : kSizes) {
    HostScaleMap map;
    HostBuildScaleMap(&map, size.srcW, size.srcH, size.dstW, size.dstH, size.linear);
    const std::vector<uint32_t> src = Noise(size.srcW, size.srcH, 7);
    const std::vector<uint32_t> whole = ScaleWhole(map, src);
    // Uneven tiles, some running off the edges.
    std::vector<uint32_t> tiled(whole.size(), 0);
    std::vector<uint32_t> scratch;
    for (int y = -5; y < size.dstH; y += 37) {
      for (int x = -3; x < size.dstW; x += 53) {
        HostScaleRect(map, src.data(), size.srcW * 4, tiled.data(), size.dstW * 4,
                      HostRect{x, y, 53, 37}, &scratch);
      }
    }
    EXPECT_TRUE(tiled == whole) << size.dstW << " x " << size.dstH;
    for (uint32_t p : whole) ASSERT_EQ(p >> 24, 0xFFu);
  }
}

TEST(HostScale, OnlyWindowPixelsReadingAChangedRegionChange) {
  std::mt19937 random(11);
  for (const Size& size : kSizes) {
    HostScaleMap map;
    HostBuildScaleMap(&map, size.srcW, size.srcH, size.dstW, size.dstH, size.linear);
    std::vector<uint32_t> src = Noise(size.srcW, size.srcH, 3);
    const std::vector<uint32_t> before = ScaleWhole(map, src);
    for (int round = 0; round < 6; ++round) {
      // A sprite-sized region, at the edges in the first rounds.
      const int w = 1 + static_cast<int>(random() % 40), h = 1 + static_cast<int>(random() % 40);
      const int x = round == 0 ? 0 : round == 1 ? size.srcW - w : static_cast<int>(random() % (size.srcW - w));
      const int y = round == 0 ? 0 : round == 1 ? size.srcH - h : static_cast<int>(random() % (size.srcH - h));
      std::vector<uint32_t> changed = src;
      for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) changed[static_cast<size_t>(j) * size.srcW + i] ^= 0x00808080u;
      }
      const HostRect dest = HostScaleDestOf(map, HostRect{x, y, w, h});
      const std::vector<uint32_t> after = ScaleWhole(map, changed);
      int outside = 0, inside = 0;
      for (int j = 0; j < size.dstH; ++j) {
        for (int i = 0; i < size.dstW; ++i) {
          const size_t k = static_cast<size_t>(j) * size.dstW + i;
          if (before[k] == after[k]) continue;
          const bool in = i >= dest.x && i < dest.x + dest.w && j >= dest.y && j < dest.y + dest.h;
          (in ? inside : outside) += 1;
        }
      }
      EXPECT_EQ(outside, 0) << size.dstW << " x " << size.dstH << " round " << round;
      EXPECT_GT(inside, 0);
      // No more than the region's own scaled size and a pixel of filter on each side.
      const double sx = static_cast<double>(size.dstW) / size.srcW;
      const double sy = static_cast<double>(size.dstH) / size.srcH;
      EXPECT_LE(dest.w, (w + 2) * sx + 1);
      EXPECT_LE(dest.h, (h + 2) * sy + 1);
    }
  }
  HostScaleMap map;
  HostBuildScaleMap(&map, 800, 600, 1024, 768, true);
  const HostRect none = HostScaleDestOf(map, HostRect{900, 0, 10, 10});
  EXPECT_EQ(none.w * none.h, 0);
}

TEST(HostScale, SharpAtWholeFactorsAndFilteredBetweenNeighboursOtherwise) {
  HostScaleMap twice;
  HostBuildScaleMap(&twice, 800, 600, 1600, 1200, false);
  const std::vector<uint32_t> src = Noise(800, 600, 5);
  const std::vector<uint32_t> big = ScaleWhole(twice, src);
  for (int y = 0; y < 1200; y += 7) {
    for (int x = 0; x < 1600; x += 3) {
      ASSERT_EQ(big[static_cast<size_t>(y) * 1600 + x],
                src[static_cast<size_t>(y / 2) * 800 + x / 2] | 0xFF000000u);
    }
  }
  // A grey ramp across the frame: each filtered pixel lies between the two
  // source pixels around its centre, and a flat picture stays flat.
  std::vector<uint32_t> ramp(800 * 600);
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) ramp[static_cast<size_t>(y) * 800 + x] = 0x010101u * (x % 256);
  }
  HostScaleMap filtered;
  HostBuildScaleMap(&filtered, 800, 600, 1024, 768, true);
  const std::vector<uint32_t> out = ScaleWhole(filtered, ramp);
  for (int x = 0; x < 1024; ++x) {
    const double centre = (x + 0.5) * 800.0 / 1024.0 - 0.5;
    const int left = centre < 0 ? 0 : static_cast<int>(centre);
    const int right = left + 1 < 800 ? left + 1 : left;
    const uint32_t lo = (ramp[left] & 0xFF) < (ramp[right] & 0xFF) ? ramp[left] & 0xFF : ramp[right] & 0xFF;
    const uint32_t hi = (ramp[left] & 0xFF) < (ramp[right] & 0xFF) ? ramp[right] & 0xFF : ramp[left] & 0xFF;
    const uint32_t got = out[static_cast<size_t>(300) * 1024 + x];
    EXPECT_GE(got & 0xFF, lo) << x;
    EXPECT_LE(got & 0xFF, hi) << x;
    EXPECT_EQ((got >> 8) & 0xFF, got & 0xFF);
  }
  const std::vector<uint32_t> flat(800 * 600, 0xFF336699u);
  for (uint32_t p : ScaleWhole(filtered, flat)) ASSERT_EQ(p, 0xFF336699u);
}

}  // namespace
