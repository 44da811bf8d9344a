// KWindowDD: window, 2D device, events, pacing, lost-device recovery and
// screenshots.
#include "engine/platform/KWindowDD.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_clock.h"
#include "engine/host/host_image.h"
#include "engine/host/host_window.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"
#include "engine/platform/KWindowGL.h"

namespace {

constexpr int kInactivePollMs = 250;  // waits wake this often to re-check the window
constexpr int kDefaultModeDepth = 16;
constexpr int kScreenshotFormat = 2;  // TGA
constexpr int kKeyLeftShift = 5, kKeyPrintScreen = 97;
constexpr float kPi = 3.14159265f;
constexpr float kViewDepth = 100.0f;  // the projection keeps z within -100 .. 100
constexpr const char* kIconFile = "icon.bmp";  // the window's icon, beside the program

int32_t screenshotCount = 0;

void messageSink(const HostMessage& message, void* user) {
  static_cast<KWindowDD*>(user)->HandleMessage(message);
}

uint32_t ChannelByte(float v) {
  const float s = v * 255.0f;
  if (!(s > 0.0f)) return 0;
  if (s >= 255.0f) return 255;
  return static_cast<uint32_t>(s);
}

}  // namespace

KWindowDD::KWindowDD(bool depthBufferRequest) : depthBuffer(depthBufferRequest) {
  KSystem::InitClock();
}

KWindowDD::~KWindowDD() {
  KInput::ReleaseSoftwareCursor();
  messageHook = nullptr;
  eventCallback = nullptr;
  KInput::ShowMouse();
  ReleaseDevice();
  if (HostSDLWindow() == windowHandle && windowHandle != nullptr) {
    HostSetMessageSink(nullptr, nullptr);
    HostDestroyWindow();
  }
  windowHandle = nullptr;
  quitRequest = true;
}

// --- creation ------------------------------------------------------------------------

bool KWindowDD::CreateGameWindow(short w, short h, short d, bool windowed, const char* text) {
  width = w;
  height = h;
  depth = d;
  fullScreen = !windowed;
  // Display modes are never really changed: the request is only recorded.
  if (depth != -1) {
    savedModeWidth = -1;
    savedModeHeight = -1;
    savedModeDepth = depth < 1 ? kDefaultModeDepth : depth;
  }
  std::snprintf(title, sizeof title, "%s", text != nullptr ? text : "");
  return CreateWindowAndDevice();
}

bool KWindowDD::CreateWindowAndDevice() {
  if (width < 1 || height < 1) return false;
  // A plain window: the renderer picks whatever driver works on it, the
  // software one included, so no OpenGL is needed.
  if (!HostCreatePlainWindow(width, height, fullScreen, title)) {
    // A window manager that will not go full screen still gets a window.
    if (!fullScreen || !HostCreatePlainWindow(width, height, false, title)) return false;
    fullScreen = false;
  }
  windowHandle = HostSDLWindow();
  HostSetMessageSink(messageSink, this);
  HostShowWindow();
  KInput::InitInput(windowHandle);
  const bool ok = InitDevice();
  // Set once the renderer chose its driver: trying one may rebuild the
  // system window underneath.
  HostSetWindowIconFile(KSystem::MakeFilePath(kIconFile));
  return ok;
}

bool KWindowDD::InitDevice() {
  ReleaseDevice();
  device = HostCreateDevice(width, height, frameIntervalMs >= 0);
  if (device == nullptr) return false;
  KGraphicDD::SetDeviceObjects(device, width, height, depth < 1 ? kDefaultModeDepth : depth);
  SetDefaultWorldView();
  return true;
}

void KWindowDD::ReleaseDevice() {
  if (device == nullptr) return;
  if (KGraphicDD::GetDevice() == device) KGraphicDD::SetDeviceObjects(nullptr, 0, 0, 0);
  HostDestroyDevice(device);
  device = nullptr;
}

// --- views -----------------------------------------------------------------------------

void KWindowDD::SetDefaultWorldView() { SetWorldView(0.0f, 0.0f, 0.0f, 1.0f, false); }

void KWindowDD::SetWorldView(float tx, float ty, float angle, float zoom, bool clear) {
  if (device == nullptr) return;
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  // No depth test: any clip rectangle ends here.
  HostDeviceClearClip(device);
  if (clear) {
    if (depthBuffer) {
      const HostMatrix flipZ = HostMatrixScaling(1.0f, 1.0f, -1.0f);
      HostDeviceSetTransform(device, kHostWorld, flipZ);
      HostDeviceSetTransform(device, kHostView, flipZ);
      HostDeviceSetTransform(device, kHostProjection, flipZ);
      HostDeviceClear(device, 0xFF000000u);
    }
    HostDeviceClear(device, clearColor);
  }
  HostDeviceSetTransform(device, kHostProjection, HostMatrixOrtho(w, h, -kViewDepth, kViewDepth));
  // A vertex (x, -y) lands on pixel (x, y) with the default view.
  HostMatrix view = HostMatrixTranslation(static_cast<float>(-(width / 2)),
                                          static_cast<float>(height / 2), 0.0f);
  view = HostMatrixMultiply(view, HostMatrixRotationZ(angle * kPi / 180.0f));
  view = HostMatrixMultiply(view, HostMatrixScaling(zoom, zoom, 0.0f));
  view = HostMatrixMultiply(view, HostMatrixTranslation(tx, ty, 0.0f));
  HostDeviceSetTransform(device, kHostView, view);
}

void KWindowDD::SetClearColor(float r, float g, float b, float a) {
  clearColor = (ChannelByte(a) << 24) | (ChannelByte(r) << 16) | (ChannelByte(g) << 8) |
               ChannelByte(b);
}

void KWindowDD::SetClipRect(int x1, int y1, int x2, int y2) {
  // Clipping rides on the depth buffer: without one requested it has no effect.
  if (device == nullptr || !depthBuffer) return;
  HostDeviceSetClip(device, x1, y1, x2, y2);
}

// --- frames ----------------------------------------------------------------------------

void KWindowDD::DrawFadeOverlay() {
  SetDefaultWorldView();
  const float level = fadeLevel < 0.0f ? 0.0f : fadeLevel;
  const uint32_t alpha = ChannelByte(1.0f - level);
  HostVertex v[4] = {};
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  const float xs[4] = {-0.5f, w - 0.5f, -0.5f, w - 0.5f};
  const float ys[4] = {0.5f, 0.5f, 0.5f - h, 0.5f - h};
  for (int i = 0; i < 4; ++i) {
    v[i].x = xs[i];
    v[i].y = ys[i];
    v[i].color = alpha << 24;
  }
  const HostMatrix saved = HostDeviceGetTransform(device, kHostWorld);
  HostDeviceSetTransform(device, kHostWorld, HostMatrixIdentity());
  HostDeviceSetTexture(device, nullptr);
  HostDeviceSetAlphaBlend(device, true);
  HostDeviceSetBlendFactors(device, kHostBlendSrcAlpha, kHostBlendInvSrcAlpha);
  HostDeviceDraw(device, kHostTriangleStrip, v, 4);
  HostDeviceSetTransform(device, kHostWorld, saved);
  KGraphicDD::ForgetCurrentTexture();
}

void KWindowDD::FlipBackBuffer(bool waitIfInactive, bool resetView) {
  bool shown = false, vsync = false;
  if (device != nullptr) {
    if (softwareCursor) {
      SetDefaultWorldView();
      KInput::DrawSoftwareCursor();
    }
    if (fadeLevel < 1.0f) DrawFadeOverlay();
    HostDeviceSetVSync(device, frameIntervalMs >= 0);
    shown = HostDevicePresent(device);
    vsync = HostDeviceHasVSync(device);
    if (resetView) SetDefaultWorldView();
  } else if (!HostWindowExists()) {
    return;
  }
  // Without a device the events are still pumped (so the game can quit) and
  // the device is tried again.
  ProcessEvents();
  if (frameIntervalMs >= 0) {
    HostPaceFrame(HostFrameIntervalMs(frameIntervalMs, shown, vsync, HostDisplayRefreshMs()));
  }
  if (waitIfInactive) WaitWhileInactive();
}

void KWindowDD::ProcessEvents() {
  if (KInput::IsKeyDown(kKeyLeftShift) && KInput::IsKeyDown(kKeyPrintScreen)) {
    if (const char* path = NextScreenshotPath(&screenshotCount); path[0] != '\0')
      SaveScreenshot(path, kScreenshotFormat, 0, 0);
    // One file per press.
    KInput::WaitKeyRelease(kKeyPrintScreen);
    KInput::WaitKeyRelease(kKeyLeftShift);
  }
  HostPumpMessages();
  WaitWhileMinimized();
  if (quitRequest || !HostWindowExists()) return;
  if (device == nullptr || HostDeviceIsLost(device)) {
    // The device lost its surfaces (or is gone): build it again and let every
    // picture come back.
    if (InitDevice()) KGraphicDD::RestoreAllPictures();
  }
}

void KWindowDD::WaitWhileMinimized() {
  if (!HostRendererWindowMinimized() || quitRequest) return;
  const uint64_t start = HostMilliseconds();
  while (HostWindowExists() && HostRendererWindowMinimized() && !quitRequest) {
    HostWaitMessages(kInactivePollMs);
  }
  HostAddInactiveMs(HostMilliseconds() - start);
  KSystem::ResetClock();
  HostResetPacing();
}

void KWindowDD::WaitWhileInactive() {
  if (!HostWindowExists() || HostWindowIsActive() || quitRequest) return;
  const uint64_t start = HostMilliseconds();
  while (HostWindowExists() && !HostWindowIsActive() && !quitRequest) {
    HostWaitMessages(kInactivePollMs);
  }
  HostAddInactiveMs(HostMilliseconds() - start);
  KSystem::ResetClock();
  HostResetPacing();
}

// --- mode switches -----------------------------------------------------------------------

bool KWindowDD::ToggleFullScreen(bool wanted) {
  // A message box may have taken the window out of full screen meanwhile.
  if (windowHandle != nullptr && HostWindowExists()) fullScreen = HostIsWindowFullScreen();
  if (wanted == fullScreen || windowHandle == nullptr || !HostWindowExists()) return fullScreen;
  // The window switches in place, so it never goes away; a refused switch
  // leaves everything as it was.
  if (!HostSetWindowFullScreen(wanted)) return fullScreen;
  fullScreen = wanted;
  savedModeWidth = savedModeHeight = savedModeDepth = 0;
  // The device is rebuilt for the new mode. When that fails the window goes
  // back to the mode that had one; should that fail too, the next frames keep
  // trying (events and pacing go on meanwhile).
  if (!InitDevice() && HostSetWindowFullScreen(!wanted)) {
    fullScreen = !wanted;
    InitDevice();
  }
  if (device != nullptr) KGraphicDD::RestoreAllPictures();
  quitRequest = false;
  // A switch that happened answers true whichever way it went; one that had
  // to be undone answers the mode the window kept.
  return fullScreen == wanted ? true : fullScreen;
}

// --- screenshots -------------------------------------------------------------------------

bool KWindowDD::SaveScreenshot(const char* path, int format, int w, int h) {
  if (device == nullptr || path == nullptr) return false;
  const int fw = width, fh = height;
  std::vector<uint32_t> frame;
  std::vector<uint8_t> image;
  if (w <= 0 || h <= 0) {
    w = fw;
    h = fh;
  }
  try {
    frame.resize(static_cast<size_t>(fw) * fh);
    image.resize(static_cast<size_t>(w) * h * 4);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!HostDeviceReadPixels(device, 0, 0, fw, fh, frame.data())) return false;
  // A requested size scales the whole frame to it; the file is opaque.
  for (int y = 0; y < h; ++y) {
    const int sy = static_cast<int>(static_cast<int64_t>(y) * fh / h);
    for (int x = 0; x < w; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * fw / w);
      const uint32_t p = frame[static_cast<size_t>(sy) * fw + sx];
      uint8_t* dst = &image[(static_cast<size_t>(y) * w + x) * 4];
      dst[0] = static_cast<uint8_t>(p >> 16);
      dst[1] = static_cast<uint8_t>(p >> 8);
      dst[2] = static_cast<uint8_t>(p);
      dst[3] = 255;
    }
  }
  if (format < 0 || format > 3) return true;  // unknown format: nothing written
  return HostEncodeImage(path, format, w, h, image.data(), true);
}

// --- the simple slots ---------------------------------------------------------------------

void KWindowDD::SetParentWindow(KWindowHandle parent) { parentWindow = parent; }
void KWindowDD::Terminate() { quitRequest = true; }
bool KWindowDD::HasFocus() { return HostWindowIsActive(); }

void KWindowDD::SetTitle(const char* text) {
  std::snprintf(title, sizeof title, "%s", text != nullptr ? text : "");
  HostSetWindowTitle(title);
}

bool KWindowDD::IsQuitting() { return quitRequest; }
void KWindowDD::SetQuit(bool quit) { quitRequest = quit; }
KWindowHandle KWindowDD::GetWindowHandle() { return windowHandle; }

void KWindowDD::SetMaxFrameRate(int fps) {
  if (fps > 0) {
    frameIntervalMs = 1000 / fps;
  } else if (fps == 0) {
    frameIntervalMs = 0;
  } else {
    frameIntervalMs = -1;
  }
}

bool KWindowDD::UseTextureRectangle() { return true; }
bool KWindowDD::IsHardwareAccelerated() { return true; }
void KWindowDD::SetTextureRectangleSupport(bool) {}
void KWindowDD::SetFadeLevel(float level) { fadeLevel = level < 0.0f ? 0.0f : level; }
short KWindowDD::GetWidth() { return width; }
short KWindowDD::GetHeight() { return height; }
void KWindowDD::ShowNormal() { HostShowWindowNormal(); }
void KWindowDD::Minimize() { HostMinimizeWindow(); }
void KWindowDD::SetSoftwareCursor(bool on) { softwareCursor = on; }
void KWindowDD::SetMessageHook(KMessageHook hook) { messageHook = hook; }
void KWindowDD::SetEventCallback(KEventCallback callback) { eventCallback = callback; }

bool KWindowDD::EnumerateDisplayModes(KDisplayModeCallback callback) {
  return KWindowGL::ListDisplayModes(callback);
}

void KWindowDD::HandleMessage(const HostMessage& m) {
  if (!KWindowGL::OfferMessage(messageHook, eventCallback, windowHandle, m)) return;
  if (m.message == K_MSG_CLOSE || m.message == K_MSG_DESTROY) quitRequest = true;
}
