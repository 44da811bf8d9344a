// Host input devices on SDL: key-state table, mouse, joysticks, test seams.
#include "engine/host/host_input.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

#include "engine/host/host_window.h"

namespace {

// Virtual-key numbers of the generic and sided modifier keys.
constexpr uint32_t kVkShift = 0x10, kVkControl = 0x11, kVkAlt = 0x12;
constexpr uint32_t kVkLShift = 0xA0, kVkRShift = 0xA1;
constexpr uint32_t kVkLControl = 0xA2, kVkRControl = 0xA3;
constexpr uint32_t kVkLAlt = 0xA4, kVkRAlt = 0xA5;

constexpr uint32_t kAxisCentre = 32768;
constexpr int kMaxJoystickButtons = 32;

// Buttons a game controller reports, and the joystick button (1-based) each
// one stands for: A = 2, X = 1, Back = 6, Start = 9; the rest fill free slots
// (the player's own bindings may name any of them).
struct ControllerButtonMap {
  SDL_GameControllerButton button;
  int joystickButton;
};
constexpr ControllerButtonMap kControllerButtons[] = {
    {SDL_CONTROLLER_BUTTON_X, 1},
    {SDL_CONTROLLER_BUTTON_A, 2},
    {SDL_CONTROLLER_BUTTON_B, 3},
    {SDL_CONTROLLER_BUTTON_Y, 4},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, 5},
    {SDL_CONTROLLER_BUTTON_BACK, 6},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, 7},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, 8},
    {SDL_CONTROLLER_BUTTON_START, 9},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, 10},
    {SDL_CONTROLLER_BUTTON_GUIDE, 11},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, 12},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, 13},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, 14},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 15},
    {SDL_CONTROLLER_BUTTON_MISC1, 16},
    {SDL_CONTROLLER_BUTTON_PADDLE1, 17},
    {SDL_CONTROLLER_BUTTON_PADDLE2, 18},
    {SDL_CONTROLLER_BUTTON_PADDLE3, 19},
    {SDL_CONTROLLER_BUTTON_PADDLE4, 20},
    {SDL_CONTROLLER_BUTTON_TOUCHPAD, 21},
};

// Held keys, indexed by virtual key. Reset at program load (static storage).
bool keyDown[kHostVirtualKeyCount];
// Keys pressed since the last pump began: a tap shorter than one frame still
// reads as down until the next pump.
bool keyPressed[kHostVirtualKeyCount];

bool injected = false;
int32_t injectedMouseX = 0, injectedMouseY = 0;
uint32_t injectedMouseButtons = 0;

struct Joystick {
  SDL_Joystick* joystick = nullptr;
  SDL_GameController* controller = nullptr;
  bool injectedAttached = false;
  bool wanted = false;  // opened by the engine: reopened when a device is plugged in
  bool open = false;
  uint32_t injectedX = kAxisCentre, injectedY = kAxisCentre, injectedButtons = 0;
};
Joystick joysticks[kHostJoystickCount];

bool cursorShown = true;

bool validJoystick(int index) { return index >= 0 && index < kHostJoystickCount; }

bool keySeen(uint32_t vk) { return keyDown[vk] || keyPressed[vk]; }

uint32_t shiftAxis(int16_t value) {
  return static_cast<uint32_t>(static_cast<int32_t>(value) + 32768);
}

// Reads a stick axis, with the hat / d-pad pushing it to its ends.
uint32_t liveAxis(const Joystick& j, bool xAxis) {
  if (j.controller != nullptr) {
    const auto axis = xAxis ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY;
    const auto lo = xAxis ? SDL_CONTROLLER_BUTTON_DPAD_LEFT : SDL_CONTROLLER_BUTTON_DPAD_UP;
    const auto hi = xAxis ? SDL_CONTROLLER_BUTTON_DPAD_RIGHT : SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    if (SDL_GameControllerGetButton(j.controller, lo)) return 0;
    if (SDL_GameControllerGetButton(j.controller, hi)) return kHostJoystickAxisMax;
    return shiftAxis(SDL_GameControllerGetAxis(j.controller, axis));
  }
  if (j.joystick == nullptr) return kAxisCentre;
  if (SDL_JoystickNumHats(j.joystick) > 0) {
    const Uint8 hat = SDL_JoystickGetHat(j.joystick, 0);
    if (xAxis && (hat & SDL_HAT_LEFT)) return 0;
    if (xAxis && (hat & SDL_HAT_RIGHT)) return kHostJoystickAxisMax;
    if (!xAxis && (hat & SDL_HAT_UP)) return 0;
    if (!xAxis && (hat & SDL_HAT_DOWN)) return kHostJoystickAxisMax;
  }
  const int axis = xAxis ? 0 : 1;
  if (SDL_JoystickNumAxes(j.joystick) <= axis) return kAxisCentre;
  return shiftAxis(SDL_JoystickGetAxis(j.joystick, axis));
}

bool joystickSubsystemReady() {
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == SDL_INIT_GAMECONTROLLER) return true;
  return SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER) == 0;
}

}  // namespace

// --- keyboard ----------------------------------------------------------------

bool HostIsVirtualKeyDown(uint32_t virtualKey) {
  switch (virtualKey) {
    case kVkShift: return keySeen(kVkLShift) || keySeen(kVkRShift) || keySeen(kVkShift);
    case kVkControl: return keySeen(kVkLControl) || keySeen(kVkRControl) || keySeen(kVkControl);
    case kVkAlt: return keySeen(kVkLAlt) || keySeen(kVkRAlt) || keySeen(kVkAlt);
    default: break;
  }
  if (virtualKey >= static_cast<uint32_t>(kHostVirtualKeyCount)) return false;
  return keySeen(virtualKey);
}

void HostClearKeyboardState() {
  if (injected) return;
  std::memset(keyDown, 0, sizeof keyDown);
  std::memset(keyPressed, 0, sizeof keyPressed);
}

void HostBeginKeyPump() { std::memset(keyPressed, 0, sizeof keyPressed); }

uint32_t HostVirtualKeyFromScancode(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    return 0x41 + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
    return 0x31 + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    return 0x70 + static_cast<uint32_t>(scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
    return 0x61 + static_cast<uint32_t>(scancode - SDL_SCANCODE_KP_1);
  switch (scancode) {
    case SDL_SCANCODE_0: return 0x30;
    case SDL_SCANCODE_KP_0: return 0x60;
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return 0x0D;
    case SDL_SCANCODE_ESCAPE: return 0x1B;
    case SDL_SCANCODE_BACKSPACE: return 0x08;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_SPACE: return 0x20;
    case SDL_SCANCODE_MINUS: return 0xBD;
    case SDL_SCANCODE_EQUALS: return 0xBB;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_BACKSLASH: case SDL_SCANCODE_NONUSHASH: return 0xDC;
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_PERIOD: return 0xBE;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
    case SDL_SCANCODE_SCROLLLOCK: return 0x91;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_INSERT: return 0x2D;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_PAGEUP: return 0x21;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_PAGEDOWN: return 0x22;
    case SDL_SCANCODE_RIGHT: return 0x27;
    case SDL_SCANCODE_LEFT: return 0x25;
    case SDL_SCANCODE_DOWN: return 0x28;
    case SDL_SCANCODE_UP: return 0x26;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x90;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_MINUS: return 0x6D;
    case SDL_SCANCODE_KP_PLUS: return 0x6B;
    case SDL_SCANCODE_KP_PERIOD: return 0x6E;
    case SDL_SCANCODE_CLEAR: case SDL_SCANCODE_KP_CLEAR: return 0x0C;
    case SDL_SCANCODE_LCTRL: return kVkLControl;
    case SDL_SCANCODE_RCTRL: return kVkRControl;
    case SDL_SCANCODE_LSHIFT: return kVkLShift;
    case SDL_SCANCODE_RSHIFT: return kVkRShift;
    case SDL_SCANCODE_LALT: return kVkLAlt;
    case SDL_SCANCODE_RALT: return kVkRAlt;
    case SDL_SCANCODE_LGUI: return 0x5B;
    case SDL_SCANCODE_RGUI: return 0x5C;
    default: return 0;
  }
}

uint32_t HostVirtualKeyFromKeyName(const char* name) {
  if (name == nullptr || name[0] == '\0') return 0;
  // SDL's scancode names: the physical key, whatever the keyboard layout,
  // just as the key-state table is fed. A pure table lookup (no SDL_Init).
  const SDL_Scancode scancode = SDL_GetScancodeFromName(name);
  if (scancode == SDL_SCANCODE_UNKNOWN) return 0;
  return HostVirtualKeyFromScancode(scancode);
}

void HostNoteKeyEvent(int scancode, bool down) {
  if (injected) return;
  const uint32_t vk = HostVirtualKeyFromScancode(scancode);
  if (vk == 0) return;
  keyDown[vk] = down;
  if (down) keyPressed[vk] = true;
}

// --- mouse -------------------------------------------------------------------

namespace {
// The logical frame shown centred in the window at the largest scale that
// fits. False when the window or the logical size is unknown.
bool LetterboxFit(double* scale, double* offX, double* offY) {
  int w = 0, h = 0;
  HostWindowSize(&w, &h);
  const int lw = HostLogicalWidth(), lh = HostLogicalHeight();
  if (w <= 0 || h <= 0 || lw <= 0 || lh <= 0) return false;
  *scale = std::fmin(static_cast<double>(w) / lw, static_cast<double>(h) / lh);
  *offX = (w - lw * *scale) / 2.0;
  *offY = (h - lh * *scale) / 2.0;
  return true;
}
}  // namespace

void HostWindowToLogical(int32_t wx, int32_t wy, int32_t* lx, int32_t* ly) {
  double scale = 1.0, offX = 0.0, offY = 0.0;
  if (!LetterboxFit(&scale, &offX, &offY)) {
    *lx = wx;
    *ly = wy;
    return;
  }
  *lx = static_cast<int32_t>(std::floor((wx - offX) / scale));
  *ly = static_cast<int32_t>(std::floor((wy - offY) / scale));
}

void HostLogicalToWindow(int32_t lx, int32_t ly, int32_t* wx, int32_t* wy) {
  double scale = 1.0, offX = 0.0, offY = 0.0;
  if (!LetterboxFit(&scale, &offX, &offY)) {
    *wx = lx;
    *wy = ly;
    return;
  }
  *wx = static_cast<int32_t>(std::lround(lx * scale + offX));
  *wy = static_cast<int32_t>(std::lround(ly * scale + offY));
}

namespace {
void liveMouse(int32_t* x, int32_t* y, uint32_t* buttons) {
  int wx = 0, wy = 0;
  Uint32 state = 0;
  if (HostWindowExists()) state = SDL_GetMouseState(&wx, &wy);
  int32_t lx = 0, ly = 0;
  HostWindowToLogical(wx, wy, &lx, &ly);
  if (x) *x = lx;
  if (y) *y = ly;
  if (buttons) *buttons = state;
}
}  // namespace

int32_t HostMouseX() {
  if (injected) return injectedMouseX;
  int32_t x = 0;
  liveMouse(&x, nullptr, nullptr);
  return x;
}

int32_t HostMouseY() {
  if (injected) return injectedMouseY;
  int32_t y = 0;
  liveMouse(nullptr, &y, nullptr);
  return y;
}

bool HostIsMouseButtonDown(int button) {
  if (button < kHostMouseLeft || button > kHostMouseMiddle) return false;
  if (injected) return (injectedMouseButtons >> (button - 1)) & 1u;
  uint32_t state = 0;
  liveMouse(nullptr, nullptr, &state);
  const Uint32 mask = button == kHostMouseLeft    ? SDL_BUTTON_LMASK
                      : button == kHostMouseRight ? SDL_BUTTON_RMASK
                                                  : SDL_BUTTON_MMASK;
  return (state & mask) != 0;
}

void HostWarpMouse(int32_t x, int32_t y) {
  if (injected) {
    injectedMouseX = x;
    injectedMouseY = y;
    return;
  }
  if (!HostWindowExists()) return;
  int32_t wx = 0, wy = 0;
  HostLogicalToWindow(x, y, &wx, &wy);
  SDL_WarpMouseInWindow(HostSDLWindow(), wx, wy);
}

void HostShowCursor(bool shown) {
  cursorShown = shown;
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

bool HostIsCursorShown() { return cursorShown; }

// --- joysticks -----------------------------------------------------------------

namespace {

// Opens device `index` into slot `index`; false when there is none.
bool openDevice(int index) {
  Joystick& j = joysticks[index];
  if (index >= SDL_NumJoysticks()) return false;
  if (SDL_IsGameController(index)) j.controller = SDL_GameControllerOpen(index);
  if (j.controller == nullptr) j.joystick = SDL_JoystickOpen(index);
  j.open = j.controller != nullptr || j.joystick != nullptr;
  return j.open;
}

void closeDevice(Joystick& j) {
  if (j.controller != nullptr) SDL_GameControllerClose(j.controller);
  if (j.joystick != nullptr) SDL_JoystickClose(j.joystick);
  j.controller = nullptr;
  j.joystick = nullptr;
  j.open = false;
}

SDL_JoystickID instanceOf(const Joystick& j) {
  if (j.controller != nullptr) {
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(j.controller));
  }
  return j.joystick != nullptr ? SDL_JoystickInstanceID(j.joystick) : -1;
}

}  // namespace

int HostJoystickButtonFromControllerName(const char* name) {
  if (name == nullptr || name[0] == '\0') return 0;
  const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name);
  for (const auto& map : kControllerButtons)
    if (map.button == button) return map.joystickButton;
  return 0;
}

bool HostOpenJoystick(int index) {
  if (!validJoystick(index)) return false;
  HostCloseJoystick(index);
  Joystick& j = joysticks[index];
  j.wanted = true;
  if (injected) {
    j.open = j.injectedAttached;
    return j.open;
  }
  if (!joystickSubsystemReady()) return false;
  return openDevice(index);
}

void HostCloseJoystick(int index) {
  if (!validJoystick(index)) return;
  joysticks[index].wanted = false;
  closeDevice(joysticks[index]);
}

void HostNoteJoystickAdded() {
  if (injected) return;
  for (int i = 0; i < kHostJoystickCount; ++i) {
    Joystick& j = joysticks[i];
    if (j.wanted && !j.open) openDevice(i);
  }
}

void HostNoteJoystickRemoved(int32_t instanceId) {
  if (injected) return;
  for (int i = 0; i < kHostJoystickCount; ++i) {
    Joystick& j = joysticks[i];
    // Closed, it reads centred with no button held.
    if (j.open && instanceOf(j) == instanceId) closeDevice(j);
  }
  // The devices left may have moved down to a free slot's number.
  HostNoteJoystickAdded();
}

bool HostIsJoystickOpen(int index) { return validJoystick(index) && joysticks[index].open; }

uint32_t HostJoystickX(int index) {
  if (!HostIsJoystickOpen(index)) return kAxisCentre;
  const Joystick& j = joysticks[index];
  return injected ? j.injectedX : liveAxis(j, true);
}

uint32_t HostJoystickY(int index) {
  if (!HostIsJoystickOpen(index)) return kAxisCentre;
  const Joystick& j = joysticks[index];
  return injected ? j.injectedY : liveAxis(j, false);
}

uint32_t HostJoystickButtons(int index) {
  if (!HostIsJoystickOpen(index)) return 0;
  const Joystick& j = joysticks[index];
  if (injected) return j.injectedButtons;
  uint32_t mask = 0;
  if (j.controller != nullptr) {
    for (const auto& map : kControllerButtons)
      if (SDL_GameControllerGetButton(j.controller, map.button))
        mask |= 1u << (map.joystickButton - 1);
    return mask;
  }
  if (j.joystick == nullptr) return 0;
  const int count = SDL_JoystickNumButtons(j.joystick);
  for (int b = 0; b < count && b < kMaxJoystickButtons; ++b)
    if (SDL_JoystickGetButton(j.joystick, b)) mask |= 1u << b;
  return mask;
}

// --- test seams ---------------------------------------------------------------

void HostInjectKey(uint32_t virtualKey, bool down) {
  if (!injected) {
    injected = true;
    std::memset(keyDown, 0, sizeof keyDown);
    std::memset(keyPressed, 0, sizeof keyPressed);
  }
  if (virtualKey < static_cast<uint32_t>(kHostVirtualKeyCount)) keyDown[virtualKey] = down;
}

void HostInjectMouse(int32_t x, int32_t y, uint32_t buttonMask) {
  injected = true;
  injectedMouseX = x;
  injectedMouseY = y;
  injectedMouseButtons = buttonMask;
}

void HostInjectJoystick(int index, bool attached, uint32_t x, uint32_t y, uint32_t buttons) {
  if (!validJoystick(index)) return;
  injected = true;
  Joystick& j = joysticks[index];
  j.injectedAttached = attached;
  if (!attached) closeDevice(j);
  else if (j.wanted) j.open = true;  // plugged (back) in while captured
  j.injectedX = x > kHostJoystickAxisMax ? kHostJoystickAxisMax : x;
  j.injectedY = y > kHostJoystickAxisMax ? kHostJoystickAxisMax : y;
  j.injectedButtons = buttons;
}

bool HostIsInputInjected() { return injected; }

void HostResetInjectedInput() {
  injected = false;
  std::memset(keyDown, 0, sizeof keyDown);
  std::memset(keyPressed, 0, sizeof keyPressed);
  injectedMouseX = injectedMouseY = 0;
  injectedMouseButtons = 0;
  for (int i = 0; i < kHostJoystickCount; ++i) {
    HostCloseJoystick(i);
    joysticks[i].injectedAttached = false;
    joysticks[i].injectedX = joysticks[i].injectedY = kAxisCentre;
    joysticks[i].injectedButtons = 0;
  }
}
