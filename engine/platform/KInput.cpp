// KInput: engine key codes over the host's key-state table, mouse and
// joysticks.
#include "engine/platform/KInput.h"

#include "engine/graphics/KGraphic.h"
#include "engine/host/host_clock.h"
#include "engine/host/host_input.h"
#include "engine/host/host_system.h"
#include "engine/host/host_window.h"

namespace {

constexpr uint32_t kAxisLow = 11;        // below: pushed to the left / up
constexpr uint32_t kAxisHigh = 65500;    // above: pushed to the right / down
constexpr int kCursorSide = 16;
constexpr uint32_t kReleasePollMs = 1;   // WaitKeyRelease sleeps between pumps
// The table has one Alt for both sides; a named left or right Alt is read as it.
constexpr uint32_t kVkAlt = 0x12, kVkLeftAlt = 0xA4, kVkRightAlt = 0xA5;

struct KeyEntry {
  int32_t keyCode;
  uint16_t virtualKey;
  uint16_t unused;
};

// Engine key codes 0..99 and their virtual keys, then the terminator.
const KeyEntry kKeyTable[KInput::kKeyCount + 1] = {
    {0, 0x25, 0},  {1, 0x26, 0},  {2, 0x28, 0},  {3, 0x27, 0},  {4, 0x20, 0},
    {5, 0xA0, 0},  {6, 0xA1, 0},  {7, 0x0D, 0},  {8, 0xA3, 0},  {9, 0xA2, 0},
    {10, 0x70, 0}, {11, 0x71, 0}, {12, 0x72, 0}, {13, 0x73, 0}, {14, 0x74, 0},
    {15, 0x75, 0}, {16, 0x76, 0}, {17, 0x77, 0}, {18, 0x78, 0}, {19, 0x79, 0},
    {20, 0x7A, 0}, {21, 0x7B, 0}, {22, 0x08, 0}, {23, 0x09, 0}, {24, 0x1B, 0},
    {25, 0x41, 0}, {26, 0x42, 0}, {27, 0x43, 0}, {28, 0x44, 0}, {29, 0x45, 0},
    {30, 0x46, 0}, {31, 0x47, 0}, {32, 0x48, 0}, {33, 0x49, 0}, {34, 0x4A, 0},
    {35, 0x4B, 0}, {36, 0x4C, 0}, {37, 0x4D, 0}, {38, 0x4E, 0}, {39, 0x4F, 0},
    {40, 0x50, 0}, {41, 0x51, 0}, {42, 0x52, 0}, {43, 0x53, 0}, {44, 0x54, 0},
    {45, 0x55, 0}, {46, 0x56, 0}, {47, 0x57, 0}, {48, 0x58, 0}, {49, 0x59, 0},
    {50, 0x5A, 0}, {51, 0x30, 0}, {52, 0x31, 0}, {53, 0x32, 0}, {54, 0x33, 0},
    {55, 0x34, 0}, {56, 0x35, 0}, {57, 0x36, 0}, {58, 0x37, 0}, {59, 0x38, 0},
    {60, 0x39, 0}, {61, 0x60, 0}, {62, 0x61, 0}, {63, 0x62, 0}, {64, 0x63, 0},
    {65, 0x64, 0}, {66, 0x65, 0}, {67, 0x66, 0}, {68, 0x67, 0}, {69, 0x68, 0},
    {70, 0x69, 0}, {71, 0x6A, 0}, {72, 0x6B, 0}, {73, 0x6D, 0}, {74, 0x6E, 0},
    {75, 0x6F, 0}, {76, 0x0C, 0}, {77, 0x12, 0}, {78, 0x5B, 0}, {79, 0x5C, 0},
    {80, 0x90, 0}, {81, 0x91, 0}, {82, 0xBA, 0}, {83, 0xBB, 0}, {84, 0xBC, 0},
    {85, 0xBD, 0}, {86, 0xBE, 0}, {87, 0xBF, 0}, {88, 0xC0, 0}, {89, 0xDB, 0},
    {90, 0xDC, 0}, {91, 0xDD, 0}, {92, 0xDE, 0}, {93, 0x23, 0}, {94, 0x24, 0},
    {95, 0x2E, 0}, {96, 0x2D, 0}, {97, 0x2C, 0}, {98, 0x21, 0}, {99, 0x22, 0},
    {KInput::kNoKey, KInput::kNoVirtualKey, 0},
};

// The arrow: o white, # black, . transparent.
const char* const kCursorShape[kCursorSide] = {
    "oo..............", "o#o.............", "o##o............", "o###o...........",
    "o####o..........", "o#####o.........", "o######o........", "o#######o.......",
    "o########o......", "o#######o.......", "o#####oo........", "o#####o.........",
    "o##o#o..........", "o#o.o...........", "oo..............", "................",
};

KWindowHandle inputWindow = nullptr;
bool captured[kHostJoystickCount];
KGraphic* cursorSurface = nullptr;
uint32_t cursorPixels[kCursorSide * kCursorSide];
bool cursorPixelsMade = false;

bool validJoystick(int joystick) { return joystick >= 0 && joystick < kHostJoystickCount; }

bool joystickReady(int joystick) {
  return validJoystick(joystick) && captured[joystick] && HostIsJoystickOpen(joystick);
}

void makeCursorPixels() {
  if (cursorPixelsMade) return;
  for (int y = 0; y < kCursorSide; ++y)
    for (int x = 0; x < kCursorSide; ++x) {
      const char c = kCursorShape[y][x];
      cursorPixels[y * kCursorSide + x] = c == 'o' ? 0xFFFFFFFFu : c == '#' ? 0xFF000000u : 0u;
    }
  cursorPixelsMade = true;
}

}  // namespace

void KInput::InitInput(KWindowHandle window) {
  inputWindow = window;
  HostClearKeyboardState();
}

bool KInput::IsKeyDown(int keyCode) {
  if (keyCode < 0 || keyCode >= kKeyCount) return false;
  return HostIsVirtualKeyDown(kKeyTable[keyCode].virtualKey);
}

void KInput::WaitKeyRelease(int keyCode) {
  if (keyCode < 0 || keyCode >= kKeyCount) return;
  const uint32_t vk = kKeyTable[keyCode].virtualKey;
  if (HostIsInputInjected()) {
    // Injected keys only change when a test says so: the player lets go.
    HostInjectKey(vk, false);
    return;
  }
  // Events keep flowing while we wait; a close request or a lost window
  // ends the wait too.
  while (HostIsVirtualKeyDown(vk)) {
    if (HostPumpEvents != nullptr) HostPumpEvents();
    else HostPumpMessages();
    if (!HostIsVirtualKeyDown(vk) || HostQuitSeen() || !HostWindowExists()) break;
    HostSleepMs(kReleasePollMs);
  }
}

int KInput::KeyFromVirtualKey(uint32_t virtualKey) {
  for (int i = 0; i < kKeyCount; ++i)
    if (kKeyTable[i].virtualKey == virtualKey) return kKeyTable[i].keyCode;
  return kNoKey;
}

uint32_t KInput::VirtualKeyFromKey(int keyCode) {
  if (keyCode < 0 || keyCode >= kKeyCount) return kNoVirtualKey;
  return kKeyTable[keyCode].virtualKey;
}

int KInput::KeyFromName(const char* name) {
  uint32_t vk = HostVirtualKeyFromKeyName(name);
  if (vk == 0) return kNoKey;
  if (vk == kVkLeftAlt || vk == kVkRightAlt) vk = kVkAlt;
  return KeyFromVirtualKey(vk);
}

uint32_t KInput::JoystickButtonFromControllerName(const char* name) {
  const int button = HostJoystickButtonFromControllerName(name);
  return button > 0 ? 1u << (button - 1) : 0u;
}

bool KInput::IsLeftButtonDown() { return HostIsMouseButtonDown(kHostMouseLeft); }

short KInput::GetMouseX() { return static_cast<short>(HostMouseX()); }

short KInput::GetMouseY() { return static_cast<short>(HostMouseY()); }

void KInput::SetMousePosition(int x, int y) { HostWarpMouse(x, y); }

void KInput::ShowMouse() { HostShowCursor(true); }

void KInput::HideMouse() { HostShowCursor(false); }

bool KInput::CaptureJoystick(int joystick) {
  ReleaseJoystick(joystick);
  if (!validJoystick(joystick)) return false;
  // Captured even without a device: one plugged in later is opened then.
  captured[joystick] = true;
  return HostOpenJoystick(joystick);
}

bool KInput::IsJoystickPresent(int joystick) { return joystickReady(joystick); }

void KInput::ReleaseJoystick(int joystick) {
  if (!validJoystick(joystick) || !captured[joystick]) return;
  HostCloseJoystick(joystick);
  captured[joystick] = false;
}

bool KInput::JoystickLeft(int joystick) {
  return joystickReady(joystick) && HostJoystickX(joystick) < kAxisLow;
}

bool KInput::JoystickRight(int joystick) {
  return joystickReady(joystick) && HostJoystickX(joystick) > kAxisHigh;
}

bool KInput::JoystickUp(int joystick) {
  return joystickReady(joystick) && HostJoystickY(joystick) < kAxisLow;
}

bool KInput::JoystickDown(int joystick) {
  return joystickReady(joystick) && HostJoystickY(joystick) > kAxisHigh;
}

bool KInput::JoystickButton(int joystick, uint32_t mask) {
  return joystickReady(joystick) && (HostJoystickButtons(joystick) & mask) != 0;
}

void KInput::DrawSoftwareCursor() {
  if (cursorSurface == nullptr) {
    makeCursorPixels();
    cursorSurface = CreateKGraphic();
    if (cursorSurface == nullptr) return;
    cursorSurface->MakePictureFromArray(cursorPixels, kCursorSide, kCursorSide, false);
  }
  cursorSurface->BlitAlphaRectFlip(0, 0, kCursorSide, kCursorSide, GetMouseX(), GetMouseY(),
                                   false, false);
}

void KInput::ReleaseSoftwareCursor() {
  delete cursorSurface;
  cursorSurface = nullptr;
}

const uint32_t* KInput::CursorImage() {
  makeCursorPixels();
  return cursorPixels;
}

void KInput::SetKeyDownForTest(int keyCode, bool down) {
  if (keyCode < 0 || keyCode >= kKeyCount) return;
  HostInjectKey(kKeyTable[keyCode].virtualKey, down);
}
