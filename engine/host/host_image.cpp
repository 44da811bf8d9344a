#include "engine/host/host_image.h"

#include <climits>
#include <cstring>

// Entry points compiled in stb_impl.cpp.
int HostStbTestType(const unsigned char* data, int len, int type);
int HostStbInfo(const unsigned char* data, int len, int* w, int* h, int* comp);
unsigned char* HostStbLoad(const unsigned char* data, int len, int* w, int* h, int* comp,
                           int* truncated);
void HostStbFree(void* pixels);
int HostStbWrite(const char* path, int kind, int w, int h, int comp, const void* data);

namespace {

// The decoder's Huffman table builder overruns its 257-entry size list when a
// table's sixteen code counts add up to more than 256 (a corrupt file). Such
// files are refused before they reach it: walk every marker segment, skipping
// the entropy-coded data after each scan header.
bool JpegHuffmanTablesSane(const uint8_t* data, size_t size) {
  constexpr size_t kMaxSymbols = 256;
  size_t i = 2;  // after the start-of-image marker
  while (i + 1 < size) {
    if (data[i] != 0xFF) return false;
    uint8_t marker = data[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    i += 2;
    if (marker == 0xD9) return true;                              // end of image
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (i + 1 >= size) return true;  // truncated: the decoder refuses it itself
    const size_t length = (static_cast<size_t>(data[i]) << 8) | data[i + 1];
    if (length < 2) return false;
    const size_t end = i + length;
    if (marker == 0xC4) {
      size_t t = i + 2;
      // Bytes past the end of the file read as zero in the decoder.
      while (t < end && t < size) {
        size_t symbols = 0;
        for (size_t k = 1; k <= 16 && t + k < size; ++k) symbols += data[t + k];
        if (symbols > kMaxSymbols) return false;
        t += 17 + symbols;
      }
    }
    i = end;
    if (marker == 0xDA) {
      // Entropy-coded data runs to the next marker that is neither a stuffed
      // zero nor a restart marker.
      while (i + 1 < size) {
        if (data[i] == 0xFF && data[i + 1] != 0x00 &&
            !(data[i + 1] >= 0xD0 && data[i + 1] <= 0xD7)) {
          break;
        }
        ++i;
      }
    }
  }
  return true;
}

}  // namespace

bool HostDecodeImage(const uint8_t* data, size_t size, HostImageType type,
                     int32_t maxSide, HostImage* out) {
  if (out == nullptr) return false;
  *out = HostImage();
  if (data == nullptr || size == 0 || size > static_cast<size_t>(INT_MAX)) return false;
  if (type < kImageBmp || type > kImageTga) return false;
  const int len = static_cast<int>(size);
  // The decoder would take any format it recognises; the picture must be of
  // the type its name announced.
  if (!HostStbTestType(data, len, type)) return false;
  if (type == kImageJpg && !JpegHuffmanTablesSane(data, size)) return false;
  int w = 0, h = 0, comp = 0;
  if (!HostStbInfo(data, len, &w, &h, &comp)) return false;
  if (w < 1 || h < 1 || w > maxSide || h > maxSide) return false;
  int dw = 0, dh = 0, dcomp = 0, truncated = 0;
  unsigned char* pixels = HostStbLoad(data, len, &dw, &dh, &dcomp, &truncated);
  if (pixels == nullptr) return false;
  if (truncated || dw != w || dh != h) {
    HostStbFree(pixels);
    return false;
  }
  out->width = w;
  out->height = h;
  out->hasAlpha = (dcomp == 2 || dcomp == 4);
  out->rgba.assign(pixels, pixels + static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
  HostStbFree(pixels);
  return true;
}

bool HostEncodeImage(const char* path, int32_t format, int32_t width, int32_t height,
                     const uint8_t* rgba, bool withAlpha) {
  if (path == nullptr || rgba == nullptr || width < 1 || height < 1) return false;
  if (format < 0 || format > 3) return false;
  if (withAlpha) return HostStbWrite(path, format, width, height, 4, rgba) != 0;
  std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  for (size_t i = 0, n = static_cast<size_t>(width) * static_cast<size_t>(height); i < n; ++i) {
    std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
  }
  return HostStbWrite(path, format, width, height, 3, rgb.data()) != 0;
}
