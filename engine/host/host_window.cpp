// Host window on SDL with an OpenGL compatibility context.
#include "engine/host/host_window.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cmath>
#include <cstring>

#include "engine/host/host_clock.h"
#include "engine/host/host_input.h"
#include "engine/host/host_system.h"
#include "engine/host/host_x11.h"
#include "engine/host/host_messages.h"

namespace {

constexpr int kDepthBits = 16;
constexpr int kWheelStep = 120;          // one wheel notch in window-message units
constexpr uint32_t kKeyUpFlags = 0xC0000000u;  // previous state down, transition up
constexpr uint32_t kRepeatFlag = 0x40000000u;  // key was already down

struct GLFramebufferApi {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
};

struct WindowState {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  int logicalWidth = 0, logicalHeight = 0;
  bool fullScreen = false;
  bool focusKnown = false;   // a focus event has arrived at least once
  bool focused = false;
  bool minimized = false;
  GLFramebufferApi fb;
  GLuint frame = 0;          // off-screen frame of the logical size, 0 = none
  bool frameBound = false;   // drawing goes to the off-screen frame this frame
  GLuint colour = 0, depth = 0;
};

WindowState state;
HostMessageSink sink = nullptr;
void* sinkUser = nullptr;
bool quitSeen = false;
uint64_t inactiveMs = 0;
bool pacingStarted = false;
double lastFlipMs = 0.0;
bool rasterDisabled = false;  // test seam: see HostSetRasterDisabled
int failModeSwitches = 0;     // test seam: see HostFailModeSwitches

void applyRasterDisabled() {
  if (state.context == nullptr) return;
  if (rasterDisabled) glEnable(GL_RASTERIZER_DISCARD);
  else glDisable(GL_RASTERIZER_DISCARD);
}

SDL_Window* messageBoxOwner() {
  if (state.window != nullptr && state.fullScreen) HostSetWindowFullScreen(false);
  return state.window;
}

void pumpForWaits() { HostPumpMessages(); }

template <typename T>
bool loadProc(T* out, const char* name) {
  *out = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
  return *out != nullptr;
}

void chooseDrawTarget();

// Makes the off-screen frame; without framebuffer objects drawing goes
// straight to the window.
void createFrame(bool depthBuffer) {
  GLFramebufferApi& f = state.fb;
  const bool ok = loadProc(&f.genFramebuffers, "glGenFramebuffers") &&
                  loadProc(&f.deleteFramebuffers, "glDeleteFramebuffers") &&
                  loadProc(&f.bindFramebuffer, "glBindFramebuffer") &&
                  loadProc(&f.genRenderbuffers, "glGenRenderbuffers") &&
                  loadProc(&f.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                  loadProc(&f.bindRenderbuffer, "glBindRenderbuffer") &&
                  loadProc(&f.renderbufferStorage, "glRenderbufferStorage") &&
                  loadProc(&f.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                  loadProc(&f.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                  loadProc(&f.blitFramebuffer, "glBlitFramebuffer");
  if (!ok) return;
  state.frameBound = true;
  f.genFramebuffers(1, &state.frame);
  f.bindFramebuffer(GL_FRAMEBUFFER, state.frame);
  f.genRenderbuffers(1, &state.colour);
  f.bindRenderbuffer(GL_RENDERBUFFER, state.colour);
  f.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, state.logicalWidth, state.logicalHeight);
  f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, state.colour);
  if (depthBuffer) {
    f.genRenderbuffers(1, &state.depth);
    f.bindRenderbuffer(GL_RENDERBUFFER, state.depth);
    f.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, state.logicalWidth,
                          state.logicalHeight);
    f.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, state.depth);
  }
  if (f.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    f.bindFramebuffer(GL_FRAMEBUFFER, 0);
    f.deleteRenderbuffers(1, &state.colour);
    if (state.depth != 0) f.deleteRenderbuffers(1, &state.depth);
    f.deleteFramebuffers(1, &state.frame);
    state.frame = state.colour = state.depth = 0;
    state.frameBound = false;
    return;
  }
  glViewport(0, 0, state.logicalWidth, state.logicalHeight);
  chooseDrawTarget();
}

// Draws straight into the window while it has exactly the logical size (no
// copy at all, which matters with software rendering); otherwise into the
// off-screen frame that presenting scales into the window.
void chooseDrawTarget() {
  if (state.frame == 0) return;
  int dw = 0, dh = 0;
  SDL_GL_GetDrawableSize(state.window, &dw, &dh);
  const bool scaled = dw != state.logicalWidth || dh != state.logicalHeight;
  if (scaled == state.frameBound) return;
  state.fb.bindFramebuffer(GL_FRAMEBUFFER, scaled ? state.frame : 0);
  state.frameBound = scaled;
}

void deliver(uint32_t message, uintptr_t wParam, intptr_t lParam, int32_t x, int32_t y) {
  if (sink == nullptr) return;
  HostMessage m{message, wParam, lParam, x, y};
  sink(m, sinkUser);
}

intptr_t pointParam(int32_t x, int32_t y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                               ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}

// Decodes the first code point of a UTF-8 sequence; 0 when malformed.
uint32_t firstCodePoint(const char* text, int* length) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  *length = 1;
  if (s[0] < 0x80) return s[0];
  int extra = 0;
  uint32_t cp = 0;
  if ((s[0] & 0xE0) == 0xC0) { extra = 1; cp = s[0] & 0x1F; }
  else if ((s[0] & 0xF0) == 0xE0) { extra = 2; cp = s[0] & 0x0F; }
  else if ((s[0] & 0xF8) == 0xF0) { extra = 3; cp = s[0] & 0x07; }
  else return 0;
  for (int i = 1; i <= extra; ++i) {
    if ((s[i] & 0xC0) != 0x80) { *length = i; return 0; }
    cp = (cp << 6) | (s[i] & 0x3F);
  }
  *length = extra + 1;
  return cp;
}

// Turns one SDL event into the window messages it stands for.
int translate(const SDL_Event& e) {
  int32_t mx = HostMouseX(), my = HostMouseY();
  switch (e.type) {
    case SDL_QUIT:
      quitSeen = true;
      deliver(kHostMsgClose, 0, 0, mx, my);
      return 1;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          quitSeen = true;
          deliver(kHostMsgClose, 0, 0, mx, my);
          return 1;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          state.focusKnown = true;
          state.focused = true;
          deliver(kHostMsgActivateApp, 1, 0, mx, my);
          return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          state.focusKnown = true;
          state.focused = false;
          HostClearKeyboardState();  // keys released elsewhere never reach us
          deliver(kHostMsgActivateApp, 0, 0, mx, my);
          return 1;
        case SDL_WINDOWEVENT_MINIMIZED:
          state.minimized = true;
          return 0;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_SHOWN:
          state.minimized = false;
          return 0;
        case SDL_WINDOWEVENT_EXPOSED:
          deliver(kHostMsgPaint, 0, 0, mx, my);
          return 1;
        default:
          return 0;
      }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = e.type == SDL_KEYDOWN;
      HostNoteKeyEvent(e.key.keysym.scancode, down);
      const uint32_t vk = HostVirtualKeyFromScancode(e.key.keysym.scancode);
      uint32_t lp = 1u | ((static_cast<uint32_t>(e.key.keysym.scancode) & 0xFFu) << 16);
      if (!down) lp |= kKeyUpFlags;
      else if (e.key.repeat) lp |= kRepeatFlag;
      deliver(down ? kHostMsgKeyDown : kHostMsgKeyUp, vk, static_cast<intptr_t>(lp), mx, my);
      return 1;
    }
    case SDL_TEXTINPUT: {
      int count = 0;
      const char* p = e.text.text;
      while (*p != 0 && p < e.text.text + sizeof e.text.text) {
        int length = 1;
        const uint32_t cp = firstCodePoint(p, &length);
        if (cp != 0 && cp < 256) {
          deliver(kHostMsgChar, cp, 1, mx, my);
          ++count;
        }
        p += length;
      }
      return count;
    }
    case SDL_MOUSEMOTION: {
      int32_t lx = 0, ly = 0;
      HostWindowToLogical(e.motion.x, e.motion.y, &lx, &ly);
      if (HostIsInputInjected()) { lx = mx; ly = my; }
      deliver(kHostMsgMouseMove, 0, pointParam(lx, ly), lx, ly);
      return 1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      int32_t lx = 0, ly = 0;
      HostWindowToLogical(e.button.x, e.button.y, &lx, &ly);
      if (HostIsInputInjected()) { lx = mx; ly = my; }
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      const bool dbl = down && e.button.clicks >= 2 && e.button.clicks % 2 == 0;
      uint32_t msg = 0;
      switch (e.button.button) {
        case SDL_BUTTON_LEFT:
          msg = !down ? kHostMsgLButtonUp : dbl ? kHostMsgLButtonDblClk : kHostMsgLButtonDown;
          break;
        case SDL_BUTTON_RIGHT:
          msg = !down ? kHostMsgRButtonUp : dbl ? kHostMsgRButtonDblClk : kHostMsgRButtonDown;
          break;
        case SDL_BUTTON_MIDDLE:
          msg = !down ? kHostMsgMButtonUp : dbl ? kHostMsgMButtonDblClk : kHostMsgMButtonDown;
          break;
        default:
          return 0;
      }
      deliver(msg, 0, pointParam(lx, ly), lx, ly);
      if (msg == kHostMsgRButtonUp) {
        deliver(kHostMsgContextMenu, 0, pointParam(lx, ly), lx, ly);
        return 2;
      }
      return 1;
    }
    case SDL_JOYDEVICEADDED:
      HostNoteJoystickAdded();
      return 0;
    case SDL_JOYDEVICEREMOVED:
      HostNoteJoystickRemoved(e.jdevice.which);
      return 0;
    case SDL_MOUSEWHEEL: {
      const int delta = e.wheel.y * kWheelStep;
      const uintptr_t wp = (static_cast<uint32_t>(delta) & 0xFFFFu) << 16;
      deliver(kHostMsgMouseWheel, wp, pointParam(mx, my), mx, my);
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace

bool HostVideoInit() {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    // Minimising on focus loss is the window procedure's decision, not SDL's.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Without any display SDL falls back to a driver that shows nothing; the
    // game would then run unseen. Such drivers count only when asked for by
    // name (tests and the headless game do).
    const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
    const char* driver = SDL_GetCurrentVideoDriver();
    const bool invisible = driver != nullptr && (SDL_strcasecmp(driver, "offscreen") == 0 ||
                                                 SDL_strcasecmp(driver, "dummy") == 0);
    if (invisible && (wanted == nullptr || wanted[0] == 0)) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
      return false;
    }
    HostFilterX11Errors();
  }
  HostPumpEvents = pumpForWaits;
  return true;
}

namespace {

// Creates the SDL window itself; with the GL flag the pixel format comes
// from the GL attributes set before.
SDL_Window* createSdlWindow(int width, int height, bool fullScreen, const char* title,
                            Uint32 extraFlags) {
  if (failModeSwitches > 0 && fullScreen) {
    --failModeSwitches;
    return nullptr;
  }
  const Uint32 flags = extraFlags | (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  return SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_CENTERED,
                          SDL_WINDOWPOS_CENTERED, width, height, flags);
}

// Bookkeeping shared by both kinds of window once SDL made one.
void windowMade(int width, int height, bool fullScreen) {
  state.logicalWidth = width;
  state.logicalHeight = height;
  state.fullScreen = fullScreen;
  quitSeen = false;
  HostMessageBoxOwner = messageBoxOwner;
  HostResetPacing();
}

}  // namespace

bool HostCreateGLWindow(int width, int height, bool fullScreen, const char* title,
                        bool depthBuffer) {
  if (state.window != nullptr) HostDestroyWindow();
  if (width <= 0 || height <= 0 || !HostVideoInit()) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // A depth buffer is asked for when requested; without one on offer the
  // same request is retried without it.
  for (int attempt = depthBuffer ? 0 : 1; attempt < 2 && state.window == nullptr; ++attempt) {
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, attempt == 0 ? kDepthBits : 0);
    state.window = createSdlWindow(width, height, fullScreen, title, SDL_WINDOW_OPENGL);
  }
  if (state.window == nullptr) return false;
  state.context = SDL_GL_CreateContext(state.window);
  if (state.context == nullptr || SDL_GL_MakeCurrent(state.window, state.context) != 0) {
    if (state.context != nullptr) SDL_GL_DeleteContext(state.context);
    SDL_DestroyWindow(state.window);
    state = WindowState();
    return false;
  }
  state.logicalWidth = width;
  state.logicalHeight = height;
  createFrame(depthBuffer);
  applyRasterDisabled();
  windowMade(width, height, fullScreen);
  return true;
}

bool HostCreatePlainWindow(int width, int height, bool fullScreen, const char* title) {
  if (state.window != nullptr) HostDestroyWindow();
  if (width <= 0 || height <= 0 || !HostVideoInit()) return false;
  state.window = createSdlWindow(width, height, fullScreen, title, 0);
  if (state.window == nullptr) return false;
  windowMade(width, height, fullScreen);
  return true;
}

void HostDestroyWindow() {
  if (state.window == nullptr) return;
  if (state.frame != 0) {
    if (state.frameBound) state.fb.bindFramebuffer(GL_FRAMEBUFFER, 0);
    state.fb.deleteRenderbuffers(1, &state.colour);
    if (state.depth != 0) state.fb.deleteRenderbuffers(1, &state.depth);
    state.fb.deleteFramebuffers(1, &state.frame);
  }
  if (state.context != nullptr) {
    SDL_GL_MakeCurrent(state.window, nullptr);
    SDL_GL_DeleteContext(state.context);
  }
  SDL_DestroyWindow(state.window);
  state = WindowState();
  if (HostMessageBoxOwner == messageBoxOwner) HostMessageBoxOwner = nullptr;
}

bool HostSetWindowIconFile(const char* path) {
  if (state.window == nullptr || path == nullptr || path[0] == 0) return false;
  SDL_Surface* icon = SDL_LoadBMP(path);
  if (icon == nullptr) return false;
  SDL_SetWindowIcon(state.window, icon);
  SDL_FreeSurface(icon);
  return true;
}

bool HostWindowExists() { return state.window != nullptr; }
SDL_Window* HostSDLWindow() { return state.window; }
int HostLogicalWidth() { return state.logicalWidth; }
int HostLogicalHeight() { return state.logicalHeight; }

void HostWindowSize(int* width, int* height) {
  *width = 0;
  *height = 0;
  if (state.window != nullptr) SDL_GetWindowSize(state.window, width, height);
}

bool HostSetWindowFullScreen(bool fullScreen) {
  if (state.window == nullptr) return false;
  if (fullScreen == state.fullScreen) return true;
  // A window manager may refuse: then the window stays as it was.
  if (failModeSwitches > 0) {
    --failModeSwitches;
    return false;
  }
  if (fullScreen) {
    if (SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
  } else {
    if (SDL_SetWindowFullscreen(state.window, 0) != 0) return false;
    SDL_SetWindowSize(state.window, state.logicalWidth, state.logicalHeight);
    SDL_SetWindowPosition(state.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  state.fullScreen = fullScreen;
  return true;
}

void HostFailModeSwitches(int count) { failModeSwitches = count > 0 ? count : 0; }

bool HostScaleIsLinear(int outputWidth, int outputHeight, int frameWidth, int frameHeight) {
  if (outputWidth <= 0 || outputHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return false;
  const double scale = std::fmin(static_cast<double>(outputWidth) / frameWidth,
                                 static_cast<double>(outputHeight) / frameHeight);
  // Shown at a whole factor every frame pixel becomes the same square of
  // screen pixels; at any other factor nearest sampling makes some columns
  // and rows wider than others, so the frame is filtered instead.
  const long size = std::lround(frameWidth * scale);
  return size % frameWidth != 0 || std::lround(frameHeight * scale) % frameHeight != 0;
}

double HostDisplayRefreshMs() {
  if (state.window == nullptr) return 0.0;
  SDL_DisplayMode mode;
  if (SDL_GetWindowDisplayMode(state.window, &mode) != 0 || mode.refresh_rate <= 0) return 0.0;
  return 1000.0 / mode.refresh_rate;
}

bool HostIsWindowFullScreen() { return state.window != nullptr && state.fullScreen; }

void HostSetWindowTitle(const char* title) {
  if (state.window != nullptr) SDL_SetWindowTitle(state.window, title != nullptr ? title : "");
}

void HostShowWindow() {
  if (state.window != nullptr) SDL_ShowWindow(state.window);
}

void HostShowWindowNormal() {
  if (state.window == nullptr) return;
  SDL_ShowWindow(state.window);
  SDL_RestoreWindow(state.window);
  state.minimized = false;
}

void HostMinimizeWindow() {
  if (state.window == nullptr) return;
  SDL_MinimizeWindow(state.window);
  state.minimized = true;
}

bool HostWindowIsActive() {
  if (state.window == nullptr || state.minimized) return false;
  return !state.focusKnown || state.focused;
}

const char* HostGLString(uint32_t name) {
  if (state.context == nullptr) return "";
  const GLubyte* s = glGetString(name);
  return s != nullptr ? reinterpret_cast<const char*>(s) : "";
}

void* HostGLProc(const char* name) {
  if (state.context == nullptr || name == nullptr) return nullptr;
  return SDL_GL_GetProcAddress(name);
}

bool HostSetSwapInterval(int interval) {
  if (state.context == nullptr) return false;
  return SDL_GL_SetSwapInterval(interval) == 0;
}

uint32_t HostFrameReadBuffer() { return state.frameBound ? GL_COLOR_ATTACHMENT0 : GL_BACK; }

void HostPresentFrame() {
  if (state.window == nullptr || state.context == nullptr) return;
  if (rasterDisabled) {
    chooseDrawTarget();  // nothing to show, but follow the window's size
    return;
  }
  if (state.frameBound) {
    int dw = 0, dh = 0;
    SDL_GL_GetDrawableSize(state.window, &dw, &dh);
    const double scale = std::fmin(static_cast<double>(dw) / state.logicalWidth,
                                   static_cast<double>(dh) / state.logicalHeight);
    const int w = static_cast<int>(std::lround(state.logicalWidth * scale));
    const int h = static_cast<int>(std::lround(state.logicalHeight * scale));
    const int x = (dw - w) / 2, y = (dh - h) / 2;
    // The copy must not be clipped by the game's scissor rectangle nor take
    // on its clear colour.
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    glDisable(GL_SCISSOR_TEST);
    state.fb.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    state.fb.bindFramebuffer(GL_READ_FRAMEBUFFER, state.frame);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    state.fb.blitFramebuffer(0, 0, state.logicalWidth, state.logicalHeight, x, y, x + w, y + h,
                             GL_COLOR_BUFFER_BIT,
                             HostScaleIsLinear(dw, dh, state.logicalWidth, state.logicalHeight)
                                 ? GL_LINEAR
                                 : GL_NEAREST);
    SDL_GL_SwapWindow(state.window);
    state.fb.bindFramebuffer(GL_FRAMEBUFFER, state.frame);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
  } else {
    SDL_GL_SwapWindow(state.window);
  }
  chooseDrawTarget();
}

void HostPaceFrame(double minIntervalMs) {
  if (minIntervalMs <= 0.0) return;
  double now = static_cast<double>(HostMilliseconds());
  if (!pacingStarted) {
    pacingStarted = true;
    lastFlipMs = now;
    return;
  }
  const double due = lastFlipMs + minIntervalMs;
  if (now < due) {
    HostSleepMs(static_cast<uint32_t>(std::ceil(due - now)));
    now = static_cast<double>(HostMilliseconds());
  }
  // A slow frame restarts the rhythm instead of letting later frames run
  // early to catch up.
  lastFlipMs = now - due > minIntervalMs ? now : due;
}

double HostFrameIntervalMs(int32_t capMs, bool shown, bool vsync, double refreshMs) {
  double interval = std::fmax(static_cast<double>(capMs), kHostMinFrameIntervalMs);
  // A frame that was not shown did not wait for the vertical blank: it waits
  // as long here, so a still screen runs at the pace of a moving one.
  if (!shown && vsync) interval = std::fmax(interval, refreshMs);
  return interval;
}

void HostResetPacing() { pacingStarted = false; }

void HostSetMessageSink(HostMessageSink newSink, void* user) {
  sink = newSink;
  sinkUser = user;
}

int HostPumpMessages() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
  HostBeginKeyPump();
  int count = 0;
  SDL_Event e;
  while (SDL_PollEvent(&e)) count += translate(e);
  return count;
}

bool HostWaitMessages(int timeoutMs) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return false;
  if (!SDL_WaitEventTimeout(nullptr, timeoutMs)) return false;
  HostPumpMessages();
  return true;
}

bool HostQuitSeen() { return quitSeen; }
void HostClearQuitSeen() { quitSeen = false; }

uint64_t HostInactiveMs() { return inactiveMs; }
void HostAddInactiveMs(uint64_t milliseconds) { inactiveMs += milliseconds; }

void HostPushQuitEvent() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
}

void HostPushKeyEvent(uint32_t virtualKey, bool down) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    if (HostVirtualKeyFromScancode(sc) != virtualKey || virtualKey == 0) continue;
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = static_cast<SDL_Scancode>(sc);
    e.key.keysym.sym = SDL_GetKeyFromScancode(e.key.keysym.scancode);
    if (state.window != nullptr) e.key.windowID = SDL_GetWindowID(state.window);
    SDL_PushEvent(&e);
    return;
  }
}

void HostPushFocusEvent(bool focused) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
  if (state.window != nullptr) e.window.windowID = SDL_GetWindowID(state.window);
  SDL_PushEvent(&e);
}

void HostSetRasterDisabled(bool disabled) {
  rasterDisabled = disabled;
  applyRasterDisabled();
}

bool HostRasterDisabled() { return rasterDisabled; }

bool HostDisplayMode(int index, int* width, int* height, int* bitsPerPixel, int* frequency) {
  if (index < 0 || !HostVideoInit()) return false;
  if (index >= SDL_GetNumDisplayModes(0)) return false;
  SDL_DisplayMode mode;
  if (SDL_GetDisplayMode(0, index, &mode) != 0) return false;
  *width = mode.w;
  *height = mode.h;
  *bitsPerPixel = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
  *frequency = mode.refresh_rate;
  return true;
}
