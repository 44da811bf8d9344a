// KWindowGL: window, OpenGL context, events, pacing and screenshots.
#include "engine/platform/KWindowGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicGL.h"
#include "engine/graphics/KScreenshot.h"
#include "engine/host/host_clock.h"
#include "engine/host/host_image.h"
#include "engine/host/host_window.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"

namespace {

constexpr int kProbeSide = 256;
constexpr int kInactivePollMs = 250;     // waits wake this often to re-check the window
constexpr int kDefaultModeDepth = 16;
constexpr int kScreenshotFormat = 2;     // TGA
constexpr const char* kIconFile = "icon.bmp";  // the window's icon, beside the program
constexpr int kKeyLeftShift = 5, kKeyF12 = 21, kKeyPrintScreen = 97;

int32_t screenshotCount = 0;

void messageSink(const HostMessage& message, void* user) {
  static_cast<KWindowGL*>(user)->HandleMessage(message);
}

bool contains(const std::string& haystack, const char* needle) {
  return haystack.find(needle) != std::string::npos;
}

std::string lowerCopy(const char* s, size_t limit) {
  std::string out(s, strnlen(s, limit));
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

KWindowGL::KWindowGL(bool depthBufferRequest) : depthBuffer(depthBufferRequest) {
  KSystem::InitClock();
}

KWindowGL::~KWindowGL() {
  KInput::ReleaseSoftwareCursor();
  messageHook = nullptr;
  eventCallback = nullptr;
  KInput::ShowMouse();
  HostSetMessageSink(nullptr, nullptr);
  HostDestroyWindow();
  windowHandle = nullptr;
  RestoreDisplayMode();
  quitRequest = true;
}

void KWindowGL::SetDefaultWorldView() { SetWorldView(0.0f, 0.0f, 0.0f, 1.0f, false); }

void KWindowGL::SetWorldView(float tx, float ty, float angle, float zoom, bool clear) {
  if (!HostWindowExists()) return;
  const int w = width, h = height;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0.0, w, 0.0, h, -100.0, 100.0);
  glMatrixMode(GL_MODELVIEW);
  if (clear) {
    glClearColor(clearR, clearG, clearB, clearA);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glLoadIdentity();
  glTranslatef(static_cast<float>(w / 2), static_cast<float>(h / 2), 0.0f);
  glRotatef(angle, 0.0f, 0.0f, 1.0f);
  glScalef(zoom, zoom, 0.0f);
  glTranslatef(static_cast<float>(-(w / 2)), static_cast<float>(-(h / 2)), 0.0f);
  if (zoom != 0.0f) glTranslatef(tx / zoom, ty / zoom, 0.0f);
  glDisable(GL_DEPTH_TEST);
  glViewport(0, 0, w, h);
  glEnable(GL_DITHER);
}

void KWindowGL::SetClearColor(float r, float g, float b, float a) {
  clearR = r;
  clearG = g;
  clearB = b;
  clearA = a;
}

bool KWindowGL::CreateGameWindow(short w, short h, short d, bool windowed, const char* title) {
  quitRequest = false;
  if (probeMode) {
    w = kProbeSide;
    h = kProbeSide;
    d = -1;
    windowed = true;
  }
  width = w;
  height = h;
  depth = d;
  KGraphicGL::SetScreenSize(width, height, depth);
  if (windowed) {
    fullScreen = false;
    if (depth != -1) ChangeDisplayMode(-1, -1, depth);
  } else {
    fullScreen = true;
    ChangeDisplayMode(width, height, depth);
  }
  if (!HostCreateGLWindow(width, height, fullScreen, title, depthBuffer)) return false;
  windowHandle = HostSDLWindow();
  HostSetMessageSink(messageSink, this);
  if (!probeMode) HostSetWindowIconFile(KSystem::MakeFilePath(kIconFile));
  if (!probeMode) {
    SetTitle(title);
    HostShowWindow();
  }
  KInput::InitInput(windowHandle);

  const std::string extensions = lowerCopy(HostGLString(GL_EXTENSIONS), SIZE_MAX);
  swapControl = HostSetSwapInterval(1);
  swapIntervalSet = swapControl ? 1 : -1;
  if (contains(extensions, "gl_ext_texture_rectangle") ||
      contains(extensions, "gl_nv_texture_rectangle") ||
      contains(extensions, "gl_arb_texture_rectangle"))
    textureRectangle = true;
  UseTextureRectangle();

  KGraphicGL::SetScreenSize(width, height, depth);
  KInput::InitInput(windowHandle);
  KSystem::InitSystem();

  if (!probeMode) {
    SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    FlipBackBuffer(true, true);
  }

  // Software renderers (Mesa's llvmpipe / softpipe stand where the generic
  // GDI renderer would) are not hardware accelerated.
  constexpr size_t kNameLimit = 2048;
  const std::string vendor = lowerCopy(HostGLString(GL_VENDOR), kNameLimit);
  const std::string renderer = lowerCopy(HostGLString(GL_RENDERER), kNameLimit);
  created = true;
  hardwareAccelerated = !(contains(vendor, "microsoft corporation") ||
                          contains(renderer, "gdi generic") || contains(renderer, "llvmpipe") ||
                          contains(renderer, "softpipe"));
  SetDefaultWorldView();
  glViewport(0, 0, width, height);
  return true;
}

void KWindowGL::SetParentWindow(KWindowHandle parent) { parentWindow = parent; }

void KWindowGL::Terminate() { quitRequest = true; }

bool KWindowGL::ToggleFullScreen(bool wanted) {
  // A message box leaves full screen on its own; follow what the host did.
  if (HostWindowExists()) fullScreen = HostIsWindowFullScreen();
  if (wanted == fullScreen || !HostWindowExists()) return fullScreen;
  // A switch the window manager refuses leaves the mode as it was.
  if (!wanted) {
    RestoreDisplayMode();
    if (HostSetWindowFullScreen(false)) fullScreen = false;
    return fullScreen;
  }
  ChangeDisplayMode(width, height, depth);
  if (HostSetWindowFullScreen(true)) fullScreen = true;
  return fullScreen;
}

bool KWindowGL::HasFocus() { return HostWindowIsActive(); }

void KWindowGL::SetTitle(const char* title) { HostSetWindowTitle(title); }

void KWindowGL::FlipBackBuffer(bool waitIfInactive, bool resetView) {
  if (softwareCursor) {
    SetDefaultWorldView();
    KInput::DrawSoftwareCursor();
  }
  if (frameIntervalMs >= 0 && swapControl && swapIntervalSet != 1) {
    HostSetSwapInterval(1);
    swapIntervalSet = 1;
  }
  if (fadeLevel < 1.0f && HostWindowExists()) {
    SetDefaultWorldView();
    KGraphicGL::DrawFadeOverlay(fadeLevel);
    KGraphicGL::ForgetBoundTexture();
  }
  // The back buffer is only sure to hold the frame until it is swapped: a
  // screenshot asked for now is taken from it first.
  TakeScreenshotIfAsked();
  HostPresentFrame();
  if (resetView) SetDefaultWorldView();
  ProcessEvents();
  // Pacing stands in for the vertical blank: never more than 75 frames a
  // second, slower when a longer interval was asked for; -1 runs uncapped.
  if (frameIntervalMs >= 0)
    HostPaceFrame(std::max(static_cast<double>(frameIntervalMs), kHostMinFrameIntervalMs));
  if (waitIfInactive) WaitWhileInactive();
}

void KWindowGL::WaitWhileInactive() {
  if (!HostWindowExists() || HostWindowIsActive() || quitRequest) return;
  const uint64_t start = HostMilliseconds();
  while (HostWindowExists() && !HostWindowIsActive() && !quitRequest)
    HostWaitMessages(kInactivePollMs);
  HostAddInactiveMs(HostMilliseconds() - start);
  KSystem::ResetClock();
  HostResetPacing();
}

void KWindowGL::ProcessEvents() {
  TakeScreenshotIfAsked();
  HostPumpMessages();
}

void KWindowGL::TakeScreenshotIfAsked() {
  if (KInput::IsKeyDown(kKeyLeftShift) &&
      (KInput::IsKeyDown(kKeyPrintScreen) || KInput::IsKeyDown(kKeyF12))) {
    if (const char* path = NextScreenshotPath(&screenshotCount); path[0] != '\0')
      SaveScreenshot(path, kScreenshotFormat, 0, 0);
    // One file per press: wait for whichever key triggered it, then Shift.
    KInput::WaitKeyRelease(kKeyPrintScreen);
    KInput::WaitKeyRelease(kKeyF12);
    KInput::WaitKeyRelease(kKeyLeftShift);
  }
}

bool KWindowGL::IsQuitting() { return quitRequest; }

void KWindowGL::SetQuit(bool quit) { quitRequest = quit; }

KWindowHandle KWindowGL::GetWindowHandle() { return windowHandle; }

void KWindowGL::SetMaxFrameRate(int fps) {
  if (fps > 0) {
    frameIntervalMs = 1000 / fps;
  } else if (fps == 0) {
    frameIntervalMs = 0;
  } else {
    frameIntervalMs = -1;
    if (swapControl) {
      HostSetSwapInterval(0);
      swapIntervalSet = 0;
    }
  }
}

bool KWindowGL::UseTextureRectangle() {
  KGraphicGL::SetTextureRectangleSupport(textureRectangle);
  return textureRectangle;
}

bool KWindowGL::IsHardwareAccelerated() {
  // Before creation there is nothing to probe: the flag is only meaningful
  // once the context exists, so an uncreated window answers false.
  quitRequest = false;
  return created && hardwareAccelerated;
}

void KWindowGL::SetTextureRectangleSupport(bool supported) { textureRectangle = supported; }

void KWindowGL::SetFadeLevel(float level) { fadeLevel = level; }

short KWindowGL::GetWidth() { return width; }

short KWindowGL::GetHeight() { return height; }

void KWindowGL::ShowNormal() { HostShowWindowNormal(); }

void KWindowGL::Minimize() { HostMinimizeWindow(); }

void KWindowGL::SetSoftwareCursor(bool on) { softwareCursor = on; }

bool KWindowGL::SaveScreenshot(const char* path, int format, int w, int h) {
  if (!HostWindowExists() || path == nullptr) return false;
  return SaveBackBufferScreenshot(path, format, w, h);
}

void KWindowGL::SetClipRect(int x1, int y1, int x2, int y2) {
  if (!HostWindowExists()) return;
  glScissor(x1, height - y2, x2 - x1, y2 - y1);
  glEnable(GL_SCISSOR_TEST);
}

void KWindowGL::SetMessageHook(KMessageHook hook) { messageHook = hook; }

void KWindowGL::SetEventCallback(KEventCallback callback) { eventCallback = callback; }

bool KWindowGL::EnumerateDisplayModes(KDisplayModeCallback callback) {
  return ListDisplayModes(callback);
}

bool KWindowGL::ListDisplayModes(KDisplayModeCallback callback) {
  if (callback == nullptr) return false;
  static KDisplayMode mode;
  for (int i = 0;; ++i) {
    int w = 0, h = 0, bpp = 0, hz = 0;
    if (!HostDisplayMode(i, &w, &h, &bpp, &hz)) break;
    mode.width = w;
    mode.height = h;
    mode.bitsPerPixel = bpp;
    mode.frequency = hz;
    if (!callback(&mode)) break;
  }
  return true;
}

int32_t KWindowGL::GetScreenshotCount() { return screenshotCount; }

void KWindowGL::BuildEvent(const HostMessage& m, KEvent* e) {
  std::memset(e, 0, sizeof *e);
  e->mouseX = m.mouseX;
  e->mouseY = m.mouseY;
  e->message = m.message;
  e->keyCode = K_NO_KEY;
  e->lParam = static_cast<uint32_t>(m.lParam);
  switch (m.message) {
    case K_MSG_MOUSEMOVE: e->type = K_EVENT_MOUSEMOVE; break;
    case K_MSG_LBUTTONUP: e->type = K_EVENT_MOUSEUP; e->button = 1; break;
    case K_MSG_RBUTTONUP: e->type = K_EVENT_MOUSEUP; e->button = 2; break;
    case K_MSG_MBUTTONUP: e->type = K_EVENT_MOUSEUP; e->button = 3; break;
    case K_MSG_LBUTTONDOWN: e->type = K_EVENT_MOUSEDOWN; e->button = 1; break;
    case K_MSG_RBUTTONDOWN: e->type = K_EVENT_MOUSEDOWN; e->button = 2; break;
    case K_MSG_MBUTTONDOWN: e->type = K_EVENT_MOUSEDOWN; e->button = 3; break;
    case K_MSG_LBUTTONDBLCLK: e->type = K_EVENT_DBLCLICK; e->button = 1; break;
    case K_MSG_RBUTTONDBLCLK: e->type = K_EVENT_DBLCLICK; e->button = 2; break;
    case K_MSG_CHAR:
      e->type = K_EVENT_CHAR;
      e->charCode = static_cast<uint8_t>(m.wParam & 0xFF);
      break;
    case K_MSG_KEYDOWN:
      e->type = K_EVENT_KEYDOWN;
      e->charCode = static_cast<uint8_t>((static_cast<uint32_t>(m.lParam) >> 16) & 0xFF);
      e->virtualKey = static_cast<uint32_t>(m.wParam);
      e->keyCode = static_cast<uint32_t>(KInput::KeyFromVirtualKey(static_cast<uint32_t>(m.wParam)));
      break;
    case K_MSG_KEYUP:
      e->type = K_EVENT_KEYUP;
      e->charCode = static_cast<uint8_t>(m.wParam & 0xFF);
      e->virtualKey = static_cast<uint32_t>(m.wParam);
      e->keyCode = static_cast<uint32_t>(KInput::KeyFromVirtualKey(static_cast<uint32_t>(m.wParam)));
      break;
    case K_MSG_MOUSEWHEEL:
      e->type = K_EVENT_WHEEL;
      e->wheel = static_cast<uint16_t>((m.wParam >> 16) & 0xFFFF);
      break;
    case K_MSG_CONTEXTMENU: e->type = K_EVENT_CONTEXTMENU; break;
    default: e->type = K_EVENT_NONE; break;
  }
}

bool KWindowGL::OfferMessage(KMessageHook hook, KEventCallback callback, KWindowHandle handle,
                             const HostMessage& m) {
  if (hook != nullptr && !hook(handle, m.message, m.wParam, m.lParam)) return false;
  if (callback != nullptr) {
    KEvent event;
    BuildEvent(m, &event);
    if (!callback(&event)) return false;
  }
  return true;
}

void KWindowGL::HandleMessage(const HostMessage& m) {
  if (!OfferMessage(messageHook, eventCallback, windowHandle, m)) return;
  switch (m.message) {
    case K_MSG_CLOSE:
    case K_MSG_DESTROY:
      quitRequest = true;
      break;
    case K_MSG_PAINT:
      // The frame is kept off screen, so a repaint shows it again as is.
      if (!HasFocus()) HostPresentFrame();
      break;
    case K_MSG_ACTIVATEAPP:
      if (probeMode || !fullScreen || !HostWindowExists()) break;
      if (m.wParam == 0) {
        RestoreDisplayMode();
        HostMinimizeWindow();
      } else {
        ChangeDisplayMode(width, height, depth);
      }
      break;
    default:
      break;
  }
}

bool KWindowGL::ChangeDisplayMode(int w, int h, int d) {
  if (d < 1) d = kDefaultModeDepth;
  savedModeWidth = w;
  savedModeHeight = h;
  savedModeDepth = d;
  return true;
}

void KWindowGL::RestoreDisplayMode() {}
