// Per-user fallback for the files the game writes.
#include "game/user_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <filesystem>

#include "engine/platform/KSystem.h"

namespace fs = std::filesystem;

bool stopBeforeRenameForTest = false;

namespace {

// "tarn\\br2.cfg" -> "tarn/br2.cfg", without leading separators.
std::string NormaliseName(const char* name) {
  std::string out = name ? name : "";
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  size_t start = out.find_first_not_of('/');
  return start == std::string::npos ? std::string() : out.substr(start);
}

bool CopyOut(const std::string& path, char* buffer, size_t capacity) {
  if (!buffer || capacity == 0) return false;
  if (path.size() + 1 > capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, path.c_str(), path.size() + 1);
  return true;
}

std::string UserPath(const std::string& relative) {
  char dir[kSystemPathCapacity];
  if (!UserDataDirectory(dir, sizeof dir)) return std::string();
  return std::string(dir) + "/" + relative;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(path, ec);
}

// A folder can be written when a probe file can be created in it.
bool FolderWritable(const fs::path& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    // A missing folder is writable when its parent is (it will be made).
    fs::path parent = folder.parent_path();
    if (parent.empty() || parent == folder) return false;
    return FolderWritable(parent);
  }
  std::string probe = (folder / ".write_probe").string();
  std::FILE* f = std::fopen(probe.c_str(), "wb");
  if (!f) return false;
  std::fclose(f);
  std::remove(probe.c_str());
  return true;
}

bool FileWritable(const std::string& path) {
  fs::path p(path);
  if (!FolderWritable(p.parent_path())) return false;
  if (!Exists(path)) return true;
  std::FILE* f = std::fopen(path.c_str(), "r+b");  // opens without truncating
  if (!f) return false;
  std::fclose(f);
  return true;
}

}  // namespace

bool UserDataDirectory(char* buffer, size_t capacity) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string dir;
  if (xdg && xdg[0] == '/') {
    dir = std::string(xdg) + "/" + kUserDataFolder;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      if (buffer && capacity) buffer[0] = '\0';
      return false;
    }
    dir = std::string(home) + "/.local/share/" + kUserDataFolder;
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return CopyOut(dir, buffer, capacity);
}

bool UserFileReadPath(const char* name, char* buffer, size_t capacity) {
  std::string relative = NormaliseName(name);
  std::string user = UserPath(relative);
  if (Exists(user)) return CopyOut(user, buffer, capacity);
  return CopyOut(KSystem::MakeFilePath(relative.c_str()), buffer, capacity);
}

bool UserFileWritePath(const char* name, char* buffer, size_t capacity) {
  std::string relative = NormaliseName(name);
  if (relative.empty()) return false;
  std::string user = UserPath(relative);
  if (Exists(user)) return CopyOut(user, buffer, capacity);
  std::string beside = KSystem::MakeFilePath(relative.c_str());
  if (!beside.empty() && FileWritable(beside)) {
    std::error_code ec;
    fs::create_directories(fs::path(beside).parent_path(), ec);
    return CopyOut(beside, buffer, capacity);
  }
  if (user.empty()) return false;
  std::error_code ec;
  fs::create_directories(fs::path(user).parent_path(), ec);
  if (ec) return false;
  return CopyOut(user, buffer, capacity);
}

bool WriteFileReplacing(const char* path, const void* data, size_t size) {
  if (!path || !path[0] || (!data && size)) return false;
  std::string temp = std::string(path) + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  ok = (std::fflush(f) == 0) && ok;
  ok = (std::fclose(f) == 0) && ok;
  if (ok && stopBeforeRenameForTest) return false;
  if (ok) ok = std::rename(temp.c_str(), path) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}
