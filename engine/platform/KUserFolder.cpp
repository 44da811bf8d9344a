// Where the game's written files live and their crash-safe writing.
#include "engine/platform/KUserFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/host/host_files.h"
#include "engine/platform/KSystem.h"

namespace {

// "\\tarn\\br2.cfg" -> "tarn/br2.cfg"; "" for a name that climbs out of the
// folder it is resolved in.
std::string Relative(const char *name) {
  std::string out = name ? name : "";
  for (char &c : out) {
    if (c == '\\') c = '/';
  }
  size_t start = out.find_first_not_of("/:");
  out = start == std::string::npos ? std::string() : out.substr(start);
  if (out == ".." || out.compare(0, 3, "../") == 0 || out.find("/../") != std::string::npos ||
      (out.size() >= 3 && out.compare(out.size() - 3, 3, "/..") == 0)) {
    return std::string();
  }
  return out;
}

std::string FolderOf(const std::string &path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool CopyOut(const std::string &text, char *buffer, size_t capacity) {
  if (!buffer || capacity == 0) return false;
  if (text.empty() || text.size() + 1 > capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

void Say(char *why, size_t capacity, const std::string &text) {
  if (why && capacity) std::snprintf(why, capacity, "%s", text.c_str());
}

std::string ProgramPath(const std::string &relative) {
  return std::string(KSystem::GetModuleDirectory()) + "/" + relative;
}

std::string UserPath(const std::string &relative) {
  char folder[kSystemPathCapacity];
  if (!KUserFolder::GetFolder(folder, sizeof folder)) return std::string();
  return std::string(folder) + "/" + relative;
}

// The file's folder beside the program can take it: the nearest of its
// folders that exists, up to the program folder, can be written.
bool BesideWritable(const std::string &relative) {
  const std::string top = KSystem::GetModuleDirectory();
  if (top.empty()) return false;
  std::string folder = FolderOf(ProgramPath(relative));
  while (!HostFolderExists(folder.c_str())) {
    if (folder.size() <= top.size()) return false;
    folder = FolderOf(folder);
  }
  return HostFolderWritable(folder.c_str());
}

}  // namespace

bool KUserFolder::IsInstalled() { return HostIsInstalledFolder(KSystem::GetModuleDirectory()); }

bool KUserFolder::KeptBesideProgram(const char *name) {
  const std::string relative = Relative(name);
  return !relative.empty() && !IsInstalled() && BesideWritable(relative);
}

bool KUserFolder::GetFolder(char *buffer, size_t capacity) {
  char home[kSystemPathCapacity];
  if (!HostUserDataHome(home, sizeof home)) {
    if (buffer && capacity) buffer[0] = '\0';
    return false;
  }
  return CopyOut(std::string(home) + "/" + kUserFolderName, buffer, capacity);
}

bool KUserFolder::ReadPath(const char *name, char *buffer, size_t capacity) {
  const std::string relative = Relative(name);
  if (relative.empty()) return CopyOut(std::string(), buffer, capacity);
  if (!KeptBesideProgram(name)) {
    const std::string user = UserPath(relative);
    if (!user.empty() && HostFileExists(user.c_str())) return CopyOut(user, buffer, capacity);
  }
  return CopyOut(ProgramPath(relative), buffer, capacity);
}

bool KUserFolder::WritePath(const char *name, char *buffer, size_t capacity, char *why,
                            size_t whyCapacity) {
  const std::string relative = Relative(name);
  if (relative.empty()) {
    Say(why, whyCapacity, "not a file name of the game");
    return CopyOut(std::string(), buffer, capacity);
  }
  std::string path;
  if (KeptBesideProgram(name)) {
    path = ProgramPath(relative);
  } else {
    path = UserPath(relative);
    if (path.empty()) {
      Say(why, whyCapacity, "no per-user folder: neither XDG_DATA_HOME nor HOME is a full path");
      return CopyOut(std::string(), buffer, capacity);
    }
  }
  const std::string folder = FolderOf(path);
  if (!HostMakeFolders(folder.c_str())) {
    Say(why, whyCapacity, "cannot make the folder " + folder + ": " + std::strerror(errno));
    return CopyOut(std::string(), buffer, capacity);
  }
  if (!CopyOut(path, buffer, capacity)) {
    Say(why, whyCapacity, "the path is too long");
    return false;
  }
  return true;
}

bool KUserFolder::SaveFile(const char *path, const void *data, size_t size, char *why,
                           size_t whyCapacity) {
  HostWriteFailure failure;
  if (HostWriteFileDurably(path, data, size, &failure)) return true;
  std::string text = std::string(HostWriteStepName(failure.step)) + " failed: " +
                     std::strerror(failure.error);
  text += failure.step == kWriteStepSyncFolder
              ? " (the new file is in place but may not survive a power cut)"
              : " (the previous file is kept)";
  Say(why, whyCapacity, text);
  return false;
}

bool KUserFolder::RenameFile(const char *from, const char *to) { return HostRenameFile(from, to); }
