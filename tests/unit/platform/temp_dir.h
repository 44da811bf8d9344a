// A scratch directory for tests that touch files; removed afterwards.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

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
