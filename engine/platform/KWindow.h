// KWindow: the engine's one window per process. It owns the rendering
// context, turns window messages into engine events, presents each frame at a
// capped rate, switches between windowed and full screen, and writes
// screenshots. The game and the graphics layer speak only to this interface;
// the concrete variant is chosen once by createKWindow.
#pragma once

#include <cstdint>

#include "engine/platform/KEvent.h"

// Opaque native window handle (what GetWindowHandle returns and InitInput
// takes).
typedef void* KWindowHandle;

// Raw message filter: returning false swallows the message.
typedef bool (*KMessageHook)(KWindowHandle window, uint32_t message,
                             uintptr_t wParam, intptr_t lParam);
// Engine event sink: returning false swallows the message.
typedef bool (*KEventCallback)(KEvent* event);
// Display-mode walker: returning false stops the walk.
typedef bool (*KDisplayModeCallback)(KDisplayMode* mode);

// Screenshot formats for SaveScreenshot.
enum KImageFormat : int32_t {
  K_IMAGE_BMP = 0,
  K_IMAGE_JPG = 1,
  K_IMAGE_TGA = 2,
  K_IMAGE_PNG = 3,
};

class KWindow {
 public:
  // The operations are declared in their fixed slot order.
  virtual void SetDefaultWorldView() = 0;                                   // 0
  virtual void SetWorldView(float tx, float ty, float angle, float zoom,
                            bool clear) = 0;                                // 1
  virtual void SetClearColor(float r, float g, float b, float a) = 0;      // 2
  virtual ~KWindow() {}                                                     // 3
  virtual bool CreateGameWindow(short width, short height, short depth,
                                bool windowed, const char* title) = 0;      // 4
  virtual void SetParentWindow(KWindowHandle parent) = 0;                   // 5
  virtual void Terminate() = 0;                                             // 6
  virtual bool ToggleFullScreen(bool fullScreen) = 0;                       // 7
  virtual bool HasFocus() = 0;                                              // 8
  virtual void SetTitle(const char* title) = 0;                             // 9
  virtual void FlipBackBuffer(bool waitIfInactive, bool resetView) = 0;     // 10
  virtual void ProcessEvents() = 0;                                         // 11
  virtual bool IsQuitting() = 0;                                            // 12
  virtual void SetQuit(bool quit) = 0;                                      // 13
  virtual KWindowHandle GetWindowHandle() = 0;                              // 14
  virtual void SetMaxFrameRate(int fps) = 0;                                // 15
  virtual bool UseTextureRectangle() = 0;                                   // 16
  virtual bool IsHardwareAccelerated() = 0;                                 // 17
  virtual void SetTextureRectangleSupport(bool supported) = 0;              // 18
  virtual void SetFadeLevel(float level) = 0;                               // 19
  virtual short GetWidth() = 0;                                             // 20
  virtual short GetHeight() = 0;                                            // 21
  virtual void ShowNormal() = 0;                                            // 22
  virtual void Minimize() = 0;                                              // 23
  virtual void SetSoftwareCursor(bool on) = 0;                              // 24
  virtual bool SaveScreenshot(const char* path, int format, int width,
                              int height) = 0;                              // 25
  virtual void SetClipRect(int x1, int y1, int x2, int y2) = 0;             // 26
  virtual void SetMessageHook(KMessageHook hook) = 0;                       // 27
  virtual void SetEventCallback(KEventCallback callback) = 0;               // 28
  virtual bool EnumerateDisplayModes(KDisplayModeCallback callback) = 0;    // 29
};

// Creates the window object: selector 0 gives the DirectDraw-style window,
// any other value the OpenGL one. The value is kept process-wide (the
// graphics factory reads it through GetRendererSelector).
// Returns null when allocation fails; the caller deletes the object.
KWindow* createKWindow(int renderer, bool depthBuffer);

// The renderer selector stored by the last createKWindow (0 before any).
int GetRendererSelector();

// The hot-key screenshot's path: the counter is advanced to the next number
// whose "screenshot%d.tga" does not exist yet where the game writes its
// files, so a new run never overwrites the shots of an earlier one. Empty
// when no free name is left.
const char* NextScreenshotPath(int32_t* counter);
