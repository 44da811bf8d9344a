// System services: program directory and data paths, the engine clock,
// message box, waiting and opening documents.
#include "engine/platform/KSystem.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "engine/host/host_clock.h"
#include "engine/host/host_system.h"
#include "engine/host/host_window.h"

namespace {

constexpr size_t kUrlMaxLength = 2047;   // longest target handed to the opener
constexpr uint32_t kOpenUrlPauseMs = 100;  // the caller pauses while the opener starts
constexpr uint32_t kWaitSliceMs = 1;     // Wait sleeps this long between passes

char moduleDirectory[kSystemPathCapacity];
char moduleDirectoryCopy[kSystemPathCapacity];  // what GetModuleDirectory returns
char pathResult[kSystemPathCapacity];           // what MakeFilePath returns

KWritePathResolver writePathResolver = nullptr;  // set by the game

uint32_t lastRawMs = 0;   // last raw clock reading
uint32_t engineMs = 0;    // accumulated engine time

uint32_t RawMilliseconds() { return static_cast<uint32_t>(HostMilliseconds()); }

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// True when name starts with the program directory followed by a separator,
// ignoring letter case and treating '\' like '/'.
bool StartsWithProgramDirectory(const char *name) {
  size_t i = 0;
  for (; moduleDirectory[i] != '\0'; ++i) {
    const char a = moduleDirectory[i];
    const char b = name[i];
    if (b == '\0') return false;
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (std::tolower(static_cast<unsigned char>(a)) != std::tolower(static_cast<unsigned char>(b))) {
      return false;
    }
  }
  return IsSeparator(name[i]);
}

}  // namespace

void KSystem::InitSystem() {
  if (!HostProgramDirectory(moduleDirectory, sizeof moduleDirectory)) {
    moduleDirectory[0] = '\0';
  }
  InitClock();
}

void KSystem::InitClock() { lastRawMs = RawMilliseconds(); }

const char *KSystem::GetModuleDirectory() {
  if (moduleDirectory[0] == '\0') InitSystem();
  std::memcpy(moduleDirectoryCopy, moduleDirectory, sizeof moduleDirectoryCopy);
  return moduleDirectoryCopy;
}

const char *KSystem::MakeWritablePath(const char *name) {
  if (writePathResolver == nullptr || name == nullptr) return MakeFilePath(name);
  if (!writePathResolver(name, pathResult, sizeof pathResult)) pathResult[0] = '\0';
  return pathResult;
}

void KSystem::SetWritePathResolver(KWritePathResolver resolver) { writePathResolver = resolver; }

const char *KSystem::MakeFilePath(const char *name) {
  if (moduleDirectory[0] == '\0') InitSystem();
  std::memset(pathResult, 0, sizeof pathResult);
  if (name == nullptr) return pathResult;

  const char *shortened = name;
  if (*shortened == '\\' || *shortened == ':' || *shortened == '/') ++shortened;

  // Absolute names: a drive-style name ("D:/data") as on other systems, or a
  // path that already lies in the program directory (a path this function
  // built, so building twice is harmless). Every other leading separator was
  // dropped above, so "/tarn/x.png" is relative to the program directory.
  int written;
  if (shortened[0] != '\0' && shortened[1] == ':') {
    written = std::snprintf(pathResult, sizeof pathResult, "%s", shortened);
  } else if (StartsWithProgramDirectory(name)) {
    written = std::snprintf(pathResult, sizeof pathResult, "%s", name);
  } else {
    written = std::snprintf(pathResult, sizeof pathResult, "%s/%s", moduleDirectory, shortened);
  }
  // A cut path could name some other file: refuse it instead.
  if (written < 0 || static_cast<size_t>(written) >= sizeof pathResult) {
    pathResult[0] = '\0';
    return pathResult;
  }
  for (char *c = pathResult; *c != '\0'; ++c) {
    if (*c == '\\') *c = '/';
  }
  return pathResult;
}

uint64_t KSystem::GetProcessMilliseconds() {
  const uint64_t now = HostMilliseconds();
  const uint64_t inactive = HostInactiveMs();
  return now > inactive ? now - inactive : 0;
}

int64_t KSystem::GetCalendarSeconds() { return HostCalendarSeconds(); }

uint32_t KSystem::GetMilliseconds() {
  const uint32_t raw = RawMilliseconds();
  engineMs += raw - lastRawMs;  // modulo 2^32
  lastRawMs = raw;
  return engineMs;
}

void KSystem::ResetClock() { lastRawMs = RawMilliseconds(); }

int KSystem::ShowMessage(const char *title, const char *text) {
  return HostMessageBox(title, text);
}

void KSystem::Wait(int milliseconds, bool pumpMessages) {
  const uint32_t wanted = milliseconds > 0 ? static_cast<uint32_t>(milliseconds) : 0;
  const uint32_t startMs = GetMilliseconds();
  for (;;) {
    if (pumpMessages && HostPumpEvents != nullptr) HostPumpEvents();
    if (GetMilliseconds() - startMs >= wanted) break;
    // Sleep a slice rather than spin: the machine's other threads (sound
    // streaming) need the processor more than this loop does.
    HostSleepMs(kWaitSliceMs);
  }
}

void KSystem::OpenUrl(const char *target, bool maximised) {
  // The desktop opener has no maximised request; the window manager decides.
  (void)maximised;
  if (target == nullptr) return;
  std::string block(target, strnlen(target, kUrlMaxLength));
  try {
    std::thread([block]() { HostOpenDocument(block.c_str()); }).detach();
  } catch (const std::system_error &) {
    return;  // no thread: nothing is opened and nothing is reported
  }
  HostSleepMs(kOpenUrlPauseMs);
}
