// Makes the desktop icon from the game's own pictures: the hero's first
// standing frame is cut out of "sprites.bmp" inside data.dat, its key-blue
// background made transparent, and scaled up without smoothing (pixel art)
// into square PNGs. Without a usable archive it paints a plain berry instead,
// so an install never fails for want of the icon.
//
// Usage: icongen <data.dat> <out.png|out.bmp> <size> [<out> <size> ...]
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/host/host_image.h"

namespace {

constexpr const char* kSheetName = "sprites.bmp";
constexpr int kHeroX = 2, kHeroY = 250, kHeroSide = 32;  // first hero frame in the sheet
constexpr uint8_t kKeyR = 0, kKeyG = 0, kKeyB = 255;     // the sheets' colour key
constexpr int kTarBlock = 512;
constexpr int kMaxSide = 4096;
constexpr int kMaxIconSide = 512;
constexpr int kPng = 3;
constexpr int kBmp = 0;  // an output named *.bmp (the window's own icon, read by SDL)

// Reads the whole file; empty when it cannot be read.
std::vector<uint8_t> ReadAll(const char* path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

// Finds a member of an uncompressed tar archive; false when it is absent or
// the archive is damaged.
bool FindTarMember(const std::vector<uint8_t>& tar, const char* name, size_t* offset, size_t* size) {
  size_t pos = 0;
  while (pos + kTarBlock <= tar.size()) {
    const uint8_t* header = &tar[pos];
    if (header[0] == 0) return false;  // end of archive
    char memberName[101] = {};
    std::memcpy(memberName, header, 100);
    uint64_t length = 0;
    for (int i = 124; i < 136 && header[i] >= '0' && header[i] <= '7'; ++i) length = length * 8 + (header[i] - '0');
    const size_t data = pos + kTarBlock;
    if (length > tar.size() - data) return false;
    const char* base = std::strrchr(memberName, '/');
    base = base ? base + 1 : memberName;
    if (header[156] != '5' && std::strcmp(base, name) == 0) {
      *offset = data;
      *size = static_cast<size_t>(length);
      return true;
    }
    pos = data + (static_cast<size_t>(length) + kTarBlock - 1) / kTarBlock * kTarBlock;
  }
  return false;
}

// The hero frame as 32 x 32 RGBA with a transparent background.
bool CutHero(const char* archive, std::vector<uint8_t>* frame) {
  std::vector<uint8_t> tar = ReadAll(archive);
  size_t offset = 0, size = 0;
  if (!FindTarMember(tar, kSheetName, &offset, &size)) return false;
  HostImage sheet;
  if (!HostDecodeImage(tar.data() + offset, size, kImageBmp, kMaxSide, &sheet)) return false;
  if (sheet.width < kHeroX + kHeroSide || sheet.height < kHeroY + kHeroSide) return false;
  frame->assign(kHeroSide * kHeroSide * 4, 0);
  int opaque = 0;
  for (int y = 0; y < kHeroSide; ++y) {
    for (int x = 0; x < kHeroSide; ++x) {
      const uint8_t* p = &sheet.rgba[((kHeroY + y) * sheet.width + kHeroX + x) * 4];
      uint8_t* q = &(*frame)[(y * kHeroSide + x) * 4];
      if (p[0] == kKeyR && p[1] == kKeyG && p[2] == kKeyB) continue;
      std::memcpy(q, p, 3);
      q[3] = 255;
      ++opaque;
    }
  }
  return opaque > 0;  // an all-key frame is no icon
}

// A dark berry with a highlight and a leaf, 32 x 32.
void PaintBerry(std::vector<uint8_t>* frame) {
  frame->assign(kHeroSide * kHeroSide * 4, 0);
  for (int y = 0; y < kHeroSide; ++y) {
    for (int x = 0; x < kHeroSide; ++x) {
      uint8_t* q = &(*frame)[(y * kHeroSide + x) * 4];
      const float dx = x - 15.5f, dy = y - 17.5f;
      const float r = std::sqrt(dx * dx + dy * dy);
      if (r < 13.0f) {
        const bool shine = std::hypot(x - 11.0f, y - 13.0f) < 3.0f;
        q[0] = shine ? 220 : static_cast<uint8_t>(110 - r * 4);
        q[1] = shine ? 180 : 20;
        q[2] = shine ? 230 : static_cast<uint8_t>(120 - r * 3);
        q[3] = 255;
      } else if (y < 7 && std::abs(x - 18 + y) < 3) {
        q[0] = 40, q[1] = 150, q[2] = 40, q[3] = 255;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: icongen <data.dat> <out.png> <size> [<out.png> <size> ...]\n");
    return 2;
  }
  std::vector<uint8_t> frame;
  if (!CutHero(argv[1], &frame)) {
    std::fprintf(stderr, "icongen: no hero picture in %s, painting a plain icon\n", argv[1]);
    PaintBerry(&frame);
  }
  for (int i = 2; i + 1 < argc; i += 2) {
    const int side = std::atoi(argv[i + 1]);
    if (side < kHeroSide || side > kMaxIconSide) {
      std::fprintf(stderr, "icongen: size %s out of range\n", argv[i + 1]);
      return 2;
    }
    std::vector<uint8_t> icon(static_cast<size_t>(side) * side * 4);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        std::memcpy(&icon[(static_cast<size_t>(y) * side + x) * 4],
                    &frame[((y * kHeroSide / side) * kHeroSide + x * kHeroSide / side) * 4], 4);
    const size_t nameLength = std::strlen(argv[i]);
    const bool bmp = nameLength > 4 && std::strcmp(argv[i] + nameLength - 4, ".bmp") == 0;
    if (!HostEncodeImage(argv[i], bmp ? kBmp : kPng, side, side, icon.data(), true)) {
      std::fprintf(stderr, "icongen: cannot write %s\n", argv[i]);
      return 1;
    }
  }
  return 0;
}
