// Small pictures made by the tests themselves, and a scratch directory.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Uncompressed 24-bit BMP; pixel(x, y) gives 0xRRGGBB with y from the top.
template <typename F>
std::vector<uint8_t> MakeBmp24(int w, int h, F pixel) {
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> b(54 + static_cast<size_t>(stride) * h, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, static_cast<uint32_t>(b.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = pixel(x, y);
      uint8_t* p = &b[54 + static_cast<size_t>(h - 1 - y) * stride + x * 3];
      p[0] = c & 0xFF;
      p[1] = (c >> 8) & 0xFF;
      p[2] = (c >> 16) & 0xFF;
    }
  }
  return b;
}

inline std::vector<uint8_t> SolidBmp(int w, int h, uint32_t c) {
  return MakeBmp24(w, h, [c](int, int) { return c; });
}

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

// A fresh directory, all lower case (the picture loader lower-cases paths),
// removed with the files made through it.
class TempDir {
 public:
  TempDir() {
    static int counter = 0;
    path_ = "/tmp/br_graphics_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    mkdir(path_.c_str(), 0700);
  }
  ~TempDir() {
    for (const std::string& f : files_) std::remove(f.c_str());
    rmdir(path_.c_str());
  }
  // The path of name inside, removed at the end; written when bytes given.
  std::string File(const std::string& name, const std::vector<uint8_t>* bytes = nullptr) {
    files_.push_back(path_ + "/" + name);
    if (bytes != nullptr) {
      if (FILE* f = std::fopen(files_.back().c_str(), "wb")) {
        if (!bytes->empty()) std::fwrite(bytes->data(), 1, bytes->size(), f);
        std::fclose(f);
      }
    }
    return files_.back();
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    return File(name, &bytes);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};
