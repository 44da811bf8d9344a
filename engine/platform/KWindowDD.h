// KWindowDD: the window on the 2D device of host_renderer.h. Frames are drawn
// into a back buffer of the logical size between two flips and presented
// scaled to the window; pictures survive device losses and mode switches
// because the graphics layer restores them.
#pragma once

#include <cstdint>

#include "engine/host/host_renderer.h"
#include "engine/platform/KWindow.h"

struct HostMessage;

class KWindowDD : public KWindow {
 public:
  explicit KWindowDD(bool depthBuffer);

  void SetDefaultWorldView() override;
  void SetWorldView(float tx, float ty, float angle, float zoom, bool clear) override;
  void SetClearColor(float r, float g, float b, float a) override;
  ~KWindowDD() override;
  bool CreateGameWindow(short width, short height, short depth, bool windowed,
                        const char* title) override;
  void SetParentWindow(KWindowHandle parent) override;
  void Terminate() override;
  bool ToggleFullScreen(bool fullScreen) override;
  bool HasFocus() override;
  void SetTitle(const char* title) override;
  void FlipBackBuffer(bool waitIfInactive, bool resetView) override;
  void ProcessEvents() override;
  bool IsQuitting() override;
  void SetQuit(bool quit) override;
  KWindowHandle GetWindowHandle() override;
  void SetMaxFrameRate(int fps) override;
  bool UseTextureRectangle() override;
  bool IsHardwareAccelerated() override;
  void SetTextureRectangleSupport(bool supported) override;
  void SetFadeLevel(float level) override;
  short GetWidth() override;
  short GetHeight() override;
  void ShowNormal() override;
  void Minimize() override;
  void SetSoftwareCursor(bool on) override;
  bool SaveScreenshot(const char* path, int format, int width, int height) override;
  void SetClipRect(int x1, int y1, int x2, int y2) override;
  void SetMessageHook(KMessageHook hook) override;
  void SetEventCallback(KEventCallback callback) override;
  bool EnumerateDisplayModes(KDisplayModeCallback callback) override;

  // Read-only views for tests.
  int32_t GetFrameIntervalMs() const { return frameIntervalMs; }
  bool IsFullScreen() const { return fullScreen; }
  uint32_t GetClearColorArgb() const { return clearColor; }
  float GetFadeLevel() const { return fadeLevel; }
  HostDevice* GetDevice() const { return device; }
  // The window procedure: hook, callback, then the message's own handling.
  void HandleMessage(const HostMessage& message);

 private:
  // Creation steps shared by CreateGameWindow and ToggleFullScreen: the
  // window (with input) and then the device.
  bool CreateWindowAndDevice();
  bool InitDevice();
  void ReleaseDevice();
  void DrawFadeOverlay();
  void WaitWhileInactive();
  void WaitWhileMinimized();

  int32_t savedModeWidth = 0, savedModeHeight = 0, savedModeDepth = 0;  // saved display mode
  bool softwareCursor = false;
  char title[259] = {0};
  KWindowHandle parentWindow = nullptr;
  KWindowHandle windowHandle = nullptr;
  HostDevice* device = nullptr;
  uint32_t clearColor = 0;      // 0xAARRGGBB
  int32_t frameIntervalMs = 0;  // 0 = no cap of its own, -1 = no cap and no vertical sync
  bool depthBuffer = false;
  float fadeLevel = 1.0f;
  bool fullScreen = false;
  int16_t width = 0, height = 0, depth = 0;
  bool quitRequest = false;
  KMessageHook messageHook = nullptr;
  KEventCallback eventCallback = nullptr;
};
