// Host input devices: a key-state table in Windows virtual-key numbering fed
// from SDL scancodes while events are pumped, the mouse in the logical
// 800 x 600 frame, and joysticks through SDL (game controllers mapped onto
// joystick buttons).
//
// Test seams: any inject* call switches the host into injected mode, where
// device events and live device queries no longer change what the engine
// sees; tests then drive keys, mouse and joysticks without a display.
// HostResetInjectedInput() leaves injected mode and clears every state.
#pragma once

#include <cstdint>


constexpr int kHostVirtualKeyCount = 256;
constexpr int kHostJoystickCount = 2;
constexpr uint32_t kHostJoystickAxisMax = 65535;   // axes range 0 .. 65535, centre 32767/32768

// Mouse button numbers as the engine uses them.
constexpr int kHostMouseLeft = 1;
constexpr int kHostMouseRight = 2;
constexpr int kHostMouseMiddle = 3;

// --- keyboard ----------------------------------------------------------------
// True while the key with this virtual-key number is held, or when it was
// pressed at any time since the current pump began (a tap between two frames). Out-of-range
// numbers are never down. VK 0x10 (Shift), 0x11 (Control) and 0x12 (Alt)
// report either side.
bool HostIsVirtualKeyDown(uint32_t virtualKey);
// Forgets every held key (also done when the window loses focus).
void HostClearKeyboardState();
// Virtual-key number of an SDL scancode; 0 when the key has none.
uint32_t HostVirtualKeyFromScancode(int scancode);
// Virtual-key number of the key SDL names `name` (SDL's scancode names in
// any letter case: "Space", "Left Ctrl", "J"); 0 when SDL has no such key or
// the key has no virtual key.
uint32_t HostVirtualKeyFromKeyName(const char* name);
// Called by the event pump; ignored in injected mode.
void HostNoteKeyEvent(int scancode, bool down);
// Called by the event pump before it drains the queue: forgets the taps of
// the previous pump (held keys stay down).
void HostBeginKeyPump();

// --- mouse -------------------------------------------------------------------
// Cursor position in logical frame coordinates (may be outside 0..799/0..599).
int32_t HostMouseX();
int32_t HostMouseY();
// True while the button (kHostMouseLeft/Right/Middle) is held.
bool HostIsMouseButtonDown(int button);
// Moves the cursor to a logical frame position.
void HostWarpMouse(int32_t x, int32_t y);
// Shows or hides the system cursor; HostIsCursorShown reports the last request.
void HostShowCursor(bool shown);
bool HostIsCursorShown();
// Converts a window position (SDL window coordinates) to the logical frame,
// undoing the letterbox scaling of the window.
void HostWindowToLogical(int32_t wx, int32_t wy, int32_t* lx, int32_t* ly);
// Converts a logical frame position to window coordinates.
void HostLogicalToWindow(int32_t lx, int32_t ly, int32_t* wx, int32_t* wy);

// --- joysticks -----------------------------------------------------------------
// Opens joystick `index` (0 or 1); true when it is open afterwards. Either way
// the slot stays wanted: a device plugged in later is opened into it.
bool HostOpenJoystick(int index);
// Closes the slot and stops wanting a device for it.
void HostCloseJoystick(int index);
// Called by the event pump when a device was plugged in (wanted slots without
// a device open one) or pulled out (its slot closes, its buttons read up).
void HostNoteJoystickAdded();
void HostNoteJoystickRemoved(int32_t instanceId);
bool HostIsJoystickOpen(int index);
// Axis positions shifted to 0 .. 65535; centre when not open.
uint32_t HostJoystickX(int index);
uint32_t HostJoystickY(int index);
// Button bit mask: button n (1-based) is bit n-1. 0 when not open.
uint32_t HostJoystickButtons(int index);
// Joystick button (1-based, as in the mask above) that the game-controller
// button SDL names `name` ("a", "back", "start", "dpup", ...) is read as;
// 0 when SDL has no such button.
int HostJoystickButtonFromControllerName(const char* name);

// --- test seams ---------------------------------------------------------------
void HostInjectKey(uint32_t virtualKey, bool down);
void HostInjectMouse(int32_t x, int32_t y, uint32_t buttonMask);  // bit 0 left, 1 right, 2 middle
// A joystick that is "attached" opens successfully; its axes and buttons are
// the given values.
void HostInjectJoystick(int index, bool attached, uint32_t x, uint32_t y, uint32_t buttons);
bool HostIsInputInjected();
void HostResetInjectedInput();

