// KInput: polled access to the keyboard (engine key codes 0..99), the mouse in
// the window's logical client coordinates, and up to two joysticks with
// digital directions. The state is read at the moment of the call.
#pragma once

#include <cstdint>

#include "engine/platform/KWindow.h"

class KGraphic;

// Joystick button masks (button n is bit n-1).
constexpr uint32_t K_JOY_BUTTON1 = 1u << 0;
constexpr uint32_t K_JOY_BUTTON2 = 1u << 1;
constexpr uint32_t K_JOY_BUTTON6 = 1u << 5;
constexpr uint32_t K_JOY_BUTTON9 = 1u << 8;
constexpr uint32_t K_JOY_BUTTON10 = 1u << 9;

class KInput {
 public:
  static constexpr int kKeyCount = 100;          // engine key codes 0..99
  static constexpr int kNoKey = 100;             // "no key"
  static constexpr uint16_t kNoVirtualKey = 9999;

  // Stores the window, clears the keyboard state.
  static void InitInput(KWindowHandle window);
  // True while the key is held; codes outside 0..99 are never down.
  static bool IsKeyDown(int keyCode);
  // Returns once the key is up, pumping events meanwhile.
  static void WaitKeyRelease(int keyCode);
  // Engine key code of the first key with this virtual key; 100 when none.
  static int KeyFromVirtualKey(uint32_t virtualKey);
  // Virtual key of an engine key code; 9999 for codes outside 0..99.
  static uint32_t VirtualKeyFromKey(int keyCode);
  // Engine key code of the key SDL names `name` ("Space", "Left Ctrl", "P",
  // any letter case); 100 when the engine has no such key.
  static int KeyFromName(const char* name);
  // JoystickButton mask of the game-controller button SDL names `name` ("a",
  // "back", "start", ...); 0 when there is no such button.
  static uint32_t JoystickButtonFromControllerName(const char* name);

  static bool IsLeftButtonDown();
  static short GetMouseX();
  static short GetMouseY();
  static void SetMousePosition(int x, int y);
  static void ShowMouse();
  static void HideMouse();

  // Captures the joystick: true when a device is there now; one plugged in
  // (or back in) later is opened as it arrives, until ReleaseJoystick.
  static bool CaptureJoystick(int joystick);
  static void ReleaseJoystick(int joystick);
  // True while a captured joystick has its device plugged in.
  static bool IsJoystickPresent(int joystick);
  static bool JoystickLeft(int joystick);
  static bool JoystickRight(int joystick);
  static bool JoystickUp(int joystick);
  static bool JoystickDown(int joystick);
  static bool JoystickButton(int joystick, uint32_t mask);

  // Draws the built-in arrow at the mouse position (surface made on first use).
  static void DrawSoftwareCursor();
  static void ReleaseSoftwareCursor();

  // The arrow image: 16 x 16 ARGB pixels, top row first.
  static const uint32_t* CursorImage();

  // Test seam: holds or releases a key by engine code (no display needed).
  static void SetKeyDownForTest(int keyCode, bool down);

};
