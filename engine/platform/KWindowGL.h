// KWindowGL: the window on an OpenGL compatibility context.
#pragma once

#include <cstdint>

#include "engine/platform/KWindow.h"

struct HostMessage;

class KWindowGL : public KWindow {
 public:
  explicit KWindowGL(bool depthBuffer);

  void SetDefaultWorldView() override;
  void SetWorldView(float tx, float ty, float angle, float zoom, bool clear) override;
  void SetClearColor(float r, float g, float b, float a) override;
  ~KWindowGL() override;
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
  bool IsCreated() const { return created; }
  // Screenshots written so far by the hot key (process-wide).
  static int32_t GetScreenshotCount();
  // Builds the engine event of a window message (what the callback receives).
  static void BuildEvent(const HostMessage& message, KEvent* event);
  // Offers a window message to the hook, then as an event to the callback
  // (either may be null); false when one of them swallowed it.
  static bool OfferMessage(KMessageHook hook, KEventCallback callback, KWindowHandle handle,
                           const HostMessage& message);
  // Hands every display mode to callback until it returns false; false only
  // when there is no callback.
  static bool ListDisplayModes(KDisplayModeCallback callback);
  // The window procedure: hook, callback, then the message's own handling.
  void HandleMessage(const HostMessage& message);

 private:
  // Display modes are never really changed; these keep the bookkeeping only.
  bool ChangeDisplayMode(int width, int height, int depth);
  void RestoreDisplayMode();
  void WaitWhileInactive();
  // The screenshot hot key: writes the next "screenshot%d.tga" from the back
  // buffer, then waits until the keys are released.
  void TakeScreenshotIfAsked();

  KWindowHandle parentWindow = nullptr;
  float clearR = 0.0f, clearG = 0.0f, clearB = 0.0f, clearA = 0.0f;
  int32_t savedModeWidth = 0, savedModeHeight = 0, savedModeDepth = 0;  // saved display mode
  KWindowHandle windowHandle = nullptr;
  KMessageHook messageHook = nullptr;
  KEventCallback eventCallback = nullptr;
  bool probeMode = false;
  bool created = false;
  bool swapControl = false;
  bool fullScreen = false;
  int16_t width = 0, height = 0, depth = 0;
  int32_t frameIntervalMs = 0;  // 0 = no cap of its own, -1 = no cap and no vertical sync
  bool textureRectangle = false;
  bool hardwareAccelerated = false;
  bool depthBuffer = false;
  float fadeLevel = 1.0f;
  bool quitRequest = false;
  bool softwareCursor = false;
  int swapIntervalSet = -1;   // swap interval last given to the driver
};
