// Host window: one SDL window with an OpenGL compatibility context, the event
// pump that turns SDL events into window messages, focus and minimise state,
// desktop full screen with the logical frame letterboxed, and frame pacing by
// sleeping.
//
// While the window is larger than the logical frame (full screen), drawing
// goes to an off-screen frame of the logical size, so clip rectangles, grabs
// and screenshots stay in logical coordinates; presenting scales it into the
// window with its proportions kept. At the logical size drawing goes straight to
// the window.
#pragma once

#include <cstdint>

struct SDL_Window;

// A window message as the window procedure sees it.
struct HostMessage {
  uint32_t message;  // a HostMessageNumber (host_messages.h)
  uintptr_t wParam;
  intptr_t lParam;
  int32_t mouseX;  // cursor position in the logical frame when the event arrived
  int32_t mouseY;
};

// Receives every message the pump takes. user is the pointer given with it.
typedef void (*HostMessageSink)(const HostMessage& message, void* user);

// Frame cap that stands in for the vertical blank: at most 75 frames per second.
constexpr double kHostMinFrameIntervalMs = 1000.0 / 75.0;

// Initialises SDL's video (once). False when there is no display at all.
bool HostVideoInit();

// Creates a window with no OpenGL at all (for the 2D device of
// host_renderer.h), centred at width x height or covering the desktop when
// fullScreen is set. False (and nothing left behind) when SDL refuses.
bool HostCreatePlainWindow(int width, int height, bool fullScreen, const char* title);
// Creates the window and makes its context current. The window is centred at
// width x height, or covers the desktop when fullScreen is set. False (and
// nothing left behind) when the window or the context cannot be created.
bool HostCreateGLWindow(int width, int height, bool fullScreen, const char* title,
                        bool depthBuffer);
void HostDestroyWindow();
bool HostWindowExists();
SDL_Window* HostSDLWindow();

// Logical frame size given at creation (0 x 0 without a window).
int HostLogicalWidth();
int HostLogicalHeight();
// Size of the window in SDL window coordinates.
void HostWindowSize(int* width, int* height);

// Sets the window's icon from a BMP file; false (icon unchanged) when there is
// no window or the file is missing or not a readable BMP.
bool HostSetWindowIconFile(const char* path);

// Desktop full screen on or off (no display-mode change ever). Asking for the
// current mode does nothing. False when the switch was refused: the window
// then keeps the mode it had.
bool HostSetWindowFullScreen(bool fullScreen);
// Test seam: the next count mode switches (and full-screen window creations)
// are refused, as by a window manager that will not go full screen.
void HostFailModeSwitches(int count);
// True when a frameWidth x frameHeight frame shown letterboxed in an output of
// outputWidth x outputHeight lands at a fractional factor and is therefore
// scaled with linear filtering; a whole factor (or no output) stays nearest.
bool HostScaleIsLinear(int outputWidth, int outputHeight, int frameWidth, int frameHeight);
// The refresh period of the window's display in milliseconds, 0 when unknown.
double HostDisplayRefreshMs();
bool HostIsWindowFullScreen();
void HostSetWindowTitle(const char* title);
void HostShowWindow();        // shows it, state unchanged
void HostShowWindowNormal();  // shows it restored from minimised / maximised
void HostMinimizeWindow();

// True while the window is usable as the foreground window: not minimised or
// hidden, and focused -- a window that never received a focus event counts as
// focused (no window manager under Xvfb).
bool HostWindowIsActive();

// The context's extension string and renderer strings (empty when unknown).
const char* HostGLString(uint32_t name);
// Address of a GL function, null when absent.
void* HostGLProc(const char* name);
// Vertical synchronisation: 1 on, 0 off. False when the driver refuses.
bool HostSetSwapInterval(int interval);
// The read buffer that holds the current frame (GL enum); changes with the
// window's size, so ask each time.
uint32_t HostFrameReadBuffer();
// Presents the frame: scales the logical frame into the window, swaps.
void HostPresentFrame();

// Paces presentation: returns once minIntervalMs has passed since the previous
// call (sleeping, never spinning); keeps a steady rhythm when the game is fast.
void HostPaceFrame(double minIntervalMs);
void HostResetPacing();
// The pace of one frame for HostPaceFrame: the cap (capMs, at least the 75 per
// second frame), and for a frame that was skipped as identical while
// presenting waits for the vertical blank, also the display's refresh period.
double HostFrameIntervalMs(int32_t capMs, bool shown, bool vsync, double refreshMs);

// Where the pump hands its messages (the window procedure).
void HostSetMessageSink(HostMessageSink sink, void* user);
// Takes every pending event and hands each resulting message to the sink.
// Keyboard and mouse state are updated before the sink sees the message; a key
// pressed since the previous pump reads as down until the next one, even when
// it was released again in between. Joysticks plugged in or out are opened
// or closed.
// Returns the number of messages handed on.
int HostPumpMessages();
// Blocks until at least one event arrived (at most timeoutMs), then drains
// like HostPumpMessages. Returns false on timeout.
bool HostWaitMessages(int timeoutMs);
// Set once a close or quit event was seen (cleared by HostClearQuitSeen).
bool HostQuitSeen();
void HostClearQuitSeen();

// Total milliseconds spent in inactive-window waits since the process started;
// the game's process clock leaves them out.
uint64_t HostInactiveMs();
void HostAddInactiveMs(uint64_t milliseconds);

// Test seams: queue the SDL events a close button or a key press would make,
// so the whole path from the event queue to the engine can run headless.
void HostPushQuitEvent();
void HostPushKeyEvent(uint32_t virtualKey, bool down);
void HostPushFocusEvent(bool focused);

// Test seam for headless runs: with rasterising disabled the context discards
// every primitive and clear, and presenting copies and swaps nothing, so a
// frame costs only the game's own work. The draw calls themselves still run.
// Off by default; kept across window re-creation.
void HostSetRasterDisabled(bool disabled);
bool HostRasterDisabled();

// Display modes of the window's display: index 0, 1, ... False past the end.
bool HostDisplayMode(int index, int* width, int* height, int* bitsPerPixel, int* frequency);
