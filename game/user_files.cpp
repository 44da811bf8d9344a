// The game's writable files through KUserFolder, with failures reported.
#include "game/user_files.h"

#include <cstdio>
#include <string>

#include "engine/platform/KSystem.h"
#include "engine/platform/KUserFolder.h"

namespace {

constexpr size_t kReasonCapacity = 512;
constexpr const char* kAsideSuffix = ".bad";

}  // namespace

bool UserFileReadPath(const char* name, char* buffer, size_t capacity) {
  return KUserFolder::ReadPath(name, buffer, capacity);
}

bool UserFileWritePath(const char* name, char* buffer, size_t capacity) {
  char why[kReasonCapacity] = "";
  if (KUserFolder::WritePath(name, buffer, capacity, why, sizeof why)) return true;
  std::fprintf(stderr, "bramblets2: cannot save %s: %s\n", name ? name : "(no name)", why);
  return false;
}

bool WriteFileReplacing(const char* path, const void* data, size_t size) {
  char why[kReasonCapacity] = "";
  if (KUserFolder::SaveFile(path, data, size, why, sizeof why)) return true;
  std::fprintf(stderr, "bramblets2: cannot save %s: %s\n", path ? path : "(no path)", why);
  return false;
}

bool SetFileAside(const char* path) {
  if (!path || !path[0]) return false;
  const std::string aside = std::string(path) + kAsideSuffix;
  if (KUserFolder::RenameFile(path, aside.c_str())) {
    std::fprintf(stderr, "bramblets2: %s could not be used; it was kept as %s\n", path,
                 aside.c_str());
    return true;
  }
  std::fprintf(stderr, "bramblets2: %s could not be used, nor moved aside to %s\n", path,
               aside.c_str());
  return false;
}
