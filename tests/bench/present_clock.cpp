// Preloaded into the real game by game_bench.sh (LD_PRELOAD): writes the time
// of every presented frame, in microseconds of the monotonic clock, one per
// line, to the file named by BR_PRESENT_LOG, and on SIGUSR1 the heap in use
// (malloc's arena plus its mapped blocks, in bytes) to BR_HEAP_LOG at the next
// present. It wraps SDL's three present calls (a renderer's, OpenGL's swap and the
// update of the window's own pixels), so it measures any build of the
// game, old or new, without the game knowing.
#include <dlfcn.h>
#include <malloc.h>
#include <signal.h>
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

std::FILE* presentLog = nullptr;
bool started = false;
std::atomic<bool> heapWanted{false};

void onHeapSignal(int) { heapWanted = true; }

// Set up at the first present, so that other programs started with the same
// environment (the window tools) leave the files alone.
void Start() {
  started = true;
  if (const char* path = std::getenv("BR_PRESENT_LOG")) presentLog = std::fopen(path, "w");
  if (std::getenv("BR_HEAP_LOG") != nullptr) signal(SIGUSR1, onHeapSignal);
}

void NotePresent() {
  if (!started) Start();
  if (presentLog != nullptr) {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    std::fprintf(presentLog, "%lld\n",
                 static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000);
    std::fflush(presentLog);
  }
  if (heapWanted.exchange(false)) {
    const struct mallinfo2 m = mallinfo2();
    if (std::FILE* f = std::fopen(std::getenv("BR_HEAP_LOG"), "w")) {
      std::fprintf(f, "%zu\n", m.uordblks + m.hblkhd);
      std::fclose(f);
    }
  }
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

void SDL_RenderPresent(void* renderer) {
  static auto next = Next<void (*)(void*)>("SDL_RenderPresent");
  NotePresent();
  if (next != nullptr) next(renderer);
}

void SDL_GL_SwapWindow(void* window) {
  static auto next = Next<void (*)(void*)>("SDL_GL_SwapWindow");
  NotePresent();
  if (next != nullptr) next(window);
}

int SDL_UpdateWindowSurfaceRects(void* window, const void* rects, int count) {
  static auto next = Next<int (*)(void*, const void*, int)>("SDL_UpdateWindowSurfaceRects");
  NotePresent();
  return next != nullptr ? next(window, rects, count) : -1;
}

}  // extern "C"
