// A scratch directory for tests that touch files; removed afterwards.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

// The whole file, or nothing when it cannot be read.
inline std::vector<uint8_t> ReadBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class TempDir {
public:
  // prefix may hold capitals, so case handling of the directory is exercised.
  explicit TempDir(const char *prefix = "BrTest") {
    std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + ".XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) path = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  std::string File(const std::string &name) const { return path + "/" + name; }

  void Write(const std::string &name, const std::string &content) const {
    const std::filesystem::path file = File(name);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }

  std::string path;
};
