// Host file services: durable writes through a temporary file, folder checks
// and the installed-game check, with POSIX calls.
#include "engine/host/host_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr mode_t kNewFileMode = 0666;    // narrowed by the umask
constexpr mode_t kNewFolderMode = 0700;  // the per-user folder is private
constexpr size_t kMarkerMaxBytes = PATH_MAX;

HostWriteStep failingStep = kWriteStepNone;  // test seam
int failingError = 0;

// Runs one step: the injected fault when it is this step's turn, else the
// call's own result.
bool Step(HostWriteStep step, bool ok, HostWriteFailure* failure) {
  int error = errno;
  if (ok && failingStep == step) {
    ok = false;
    error = failingError;
  }
  if (!ok && failure) {
    failure->step = step;
    failure->error = error;
  }
  errno = error;
  return ok;
}

// The rename is the one step whose fault must come before the call: after
// it the new file is in place.
bool Rename(const std::string& from, const std::string& to) {
  if (failingStep == kWriteStepRename) {
    errno = failingError;
    return false;
  }
  return rename(from.c_str(), to.c_str()) == 0;
}

bool WriteAll(int fd, const unsigned char* p, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool CopyOut(const std::string& text, char* buffer, size_t capacity) {
  if (!buffer || capacity == 0) return false;
  if (text.size() + 1 > capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

// The canonical form of an existing path, or "" when it has none.
std::string RealPath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return std::string();
  std::string out = real;
  std::free(real);
  return out;
}

}  // namespace

bool HostWriteFileDurably(const char* path, const void* data, size_t size,
                          HostWriteFailure* failure) {
  if (failure) *failure = HostWriteFailure();
  if (!path || !path[0] || (!data && size)) {
    errno = EINVAL;
    return Step(kWriteStepOpen, false, failure);
  }
  const std::string target = path;
  const std::string temp = target + kHostTempSuffix;
  // A temporary left by a crash is dropped; O_EXCL never follows a link.
  unlink(temp.c_str());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
  if (!Step(kWriteStepOpen, fd >= 0, failure)) {
    if (fd >= 0) {
      close(fd);
      unlink(temp.c_str());
    }
    return false;
  }
  // Each step runs only while the ones before it succeeded.
  bool ok = Step(kWriteStepWrite, WriteAll(fd, static_cast<const unsigned char*>(data), size),
                 failure) &&
            Step(kWriteStepSyncFile, fsync(fd) == 0, failure);
  const int saved = errno;
  const bool closed = close(fd) == 0;
  errno = saved;
  ok = ok && Step(kWriteStepClose, closed, failure) &&
       Step(kWriteStepRename, Rename(temp, target), failure);
  if (!ok) {
    const int error = errno;
    unlink(temp.c_str());
    errno = error;
    return false;
  }
  int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  bool synced = folder >= 0 && fsync(folder) == 0;
  const int error = errno;
  if (folder >= 0) close(folder);
  errno = error;
  return Step(kWriteStepSyncFolder, synced, failure);
}

const char* HostWriteStepName(HostWriteStep step) {
  switch (step) {
    case kWriteStepNone: return "no step";
    case kWriteStepOpen: return "creating the temporary file";
    case kWriteStepWrite: return "writing";
    case kWriteStepSyncFile: return "flushing to disk";
    case kWriteStepClose: return "closing";
    case kWriteStepRename: return "replacing the old file";
    case kWriteStepSyncFolder: return "flushing the folder to disk";
  }
  return "an unknown step";
}

void HostFailWriteStepForTest(HostWriteStep step, int error) {
  failingStep = step;
  failingError = error;
}

bool HostFolderWritable(const char* path) {
  struct stat st;
  if (!path || !path[0] || stat(path, &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return access(path, W_OK | X_OK) == 0;
}

bool HostFolderExists(const char* path) {
  struct stat st;
  return path && path[0] && stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool HostFileExists(const char* path) {
  struct stat st;
  return path && path[0] && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool HostMakeFolders(const char* path) {
  if (!path || !path[0]) {
    errno = EINVAL;
    return false;
  }
  std::string p = path;
  for (size_t i = 1; i <= p.size(); ++i) {
    if (i < p.size() && p[i] != '/') continue;
    const std::string part = p.substr(0, i);
    struct stat st;
    if (stat(part.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
      }
      continue;
    }
    if (mkdir(part.c_str(), kNewFolderMode) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool HostRenameFile(const char* from, const char* to) {
  return from && to && rename(from, to) == 0;
}

bool HostUserDataHome(char* buffer, size_t capacity) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  std::string dir;
  if (xdg && xdg[0] == '/') {
    dir = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      const passwd* entry = getpwuid(getuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    if (!home || home[0] != '/') {
      if (buffer && capacity) buffer[0] = '\0';
      return false;
    }
    dir = std::string(home) + "/.local/share";
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return CopyOut(dir, buffer, capacity);
}

bool HostIsInstalledFolder(const char* folder) {
  if (!folder || !folder[0]) return false;
  const std::string marker = std::string(folder) + "/" + kHostInstallMarker;
  std::FILE* f = std::fopen(marker.c_str(), "rb");
  if (!f) return false;
  char text[kMarkerMaxBytes + 1];
  size_t n = std::fread(text, 1, kMarkerMaxBytes, f);
  std::fclose(f);
  text[n] = '\0';
  std::string named = text;
  while (!named.empty() && (named.back() == '\n' || named.back() == '\r')) named.pop_back();
  if (named.empty() || named[0] != '/') return false;
  const std::string here = RealPath(folder);
  return !here.empty() && RealPath(named) == here;
}
