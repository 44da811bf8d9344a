// Host system services on Linux: /proc/self/exe, SDL's message box (or
// stderr without a display), xdg-open through posix_spawnp.
#include "engine/host/host_system.h"

#include <SDL.h>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern char **environ;

SDL_Window *(*HostMessageBoxOwner)() = nullptr;
void (*HostPumpEvents)() = nullptr;

namespace {

constexpr const char *kDefaultOpenProgram = "xdg-open";

bool directoryOverridden = false;
std::string directoryOverride;
std::string openProgram = kDefaultOpenProgram;

bool CopyOut(const char *text, size_t length, char *buffer, size_t capacity) {
  if (capacity == 0) return false;
  if (length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
  return true;
}

bool IsEmpty(const char *value) { return value == nullptr || value[0] == '\0'; }

// True when a message box can be shown: a display server is reachable and the
// video driver is not one that renders without a screen.
bool HaveDisplay() {
  const char *driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver()
                                                   : std::getenv("SDL_VIDEODRIVER");
  if (!IsEmpty(driver) &&
      (strcasecmp(driver, "offscreen") == 0 || strcasecmp(driver, "dummy") == 0)) {
    return false;
  }
  return !IsEmpty(std::getenv("DISPLAY")) || !IsEmpty(std::getenv("WAYLAND_DISPLAY"));
}

}  // namespace

bool HostProgramDirectory(char *buffer, size_t capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  buffer[0] = '\0';
  if (directoryOverridden) {
    return CopyOut(directoryOverride.data(), directoryOverride.size(), buffer, capacity);
  }
  char exe[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof exe) return false;
  // Cut at the last separator; "/prog" gives "" (the root without its
  // separator), so joined paths still come out as "/name".
  size_t cut = static_cast<size_t>(length);
  for (size_t i = cut; i > 0; --i) {
    if (exe[i - 1] == '/') {
      cut = i - 1;
      break;
    }
  }
  return CopyOut(exe, cut, buffer, capacity);
}

void HostOverrideProgramDirectory(const char *directory) {
  directoryOverridden = directory != nullptr;
  directoryOverride = directory ? directory : "";
}

int HostMessageBox(const char *title, const char *text) {
  if (title == nullptr) title = "";
  if (text == nullptr) text = "";
  if (HaveDisplay()) {
    SDL_Window *owner = HostMessageBoxOwner ? HostMessageBoxOwner() : nullptr;
    if (SDL_ShowSimpleMessageBox(0, title, text, owner) == 0) return 1;
    std::fprintf(stderr, "%s: %s\n", title, text);
    return 0;
  }
  std::fprintf(stderr, "%s: %s\n", title, text);
  return 1;
}

bool HostOpenDocument(const char *target) {
  if (target == nullptr) return false;
  std::string program = openProgram;
  std::string argument = target;
  char *argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
    return false;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void HostSetOpenProgram(const char *program) {
  openProgram = (program && program[0]) ? program : kDefaultOpenProgram;
}
