// Player input mapping: keyboard, joystick and mouse folded into one word of
// action bits, polled once per frame. The stored word keeps its bits between
// polls; each reader sets or clears only its own bits.
#pragma once

#include <cstdint>

#include "game/controls_file.h"

typedef uint32_t InputBits;

enum : InputBits {
  BitDown = 1u << 1,
  BitLeft = 1u << 2,
  BitRight = 1u << 3,
  BitUp = 1u << 4,
  BitMouseButton = 1u << 5,
  BitEscape = 1u << 7,
  BitEnter = 1u << 8,
  BitAction = 1u << 9,
  BitJump = 1u << 13,
  BitPause = 1u << 15,
  BitEditor = 1u << 16,
  BitJoyLeft = 1u << 19,
  BitJoyRight = 1u << 20,
  BitJoyUp = 1u << 21,
  BitJoyDown = 1u << 22,
  BitJoyJump = 1u << 23,
  BitJoyPause = 1u << 24,
  BitJoyConfirm = 1u << 25,
  BitJoyAction = 1u << 26,
  BitJoyEscape = 1u << 27,
};

constexpr InputBits ConfirmMask = BitEnter | BitJoyConfirm;
constexpr InputBits EscapeMask = BitEscape | BitJoyEscape;
constexpr InputBits PauseMask = BitPause | BitJoyPause;

// Engine key codes the game reads.
constexpr int KeyLeft = 0;
constexpr int KeyUp = 1;
constexpr int KeyDown = 2;
constexpr int KeyRight = 3;
constexpr int KeySpace = 4;
constexpr int KeyLeftShift = 5;
constexpr int KeyRightShift = 6;
constexpr int KeyEnter = 7;
constexpr int KeyRightControl = 8;
constexpr int KeyLeftControl = 9;
constexpr int KeyF1 = 10;
constexpr int KeyEscape = 24;
constexpr int KeyF = 30;
constexpr int KeyG = 31;
constexpr int KeyP = 40;
constexpr int KeyEnd = 93;
constexpr int KeyHome = 94;
constexpr int KeyPageUp = 98;
constexpr int KeyPageDown = 99;

extern InputBits inputBits;    // the stored word
extern bool jumpKeyHeld;       // latch of the keyboard jump keys
extern bool joyJumpHeld;       // latch of the joystick's jump buttons
extern bool joyConfirmHeld;    // latch of the joystick's confirm buttons
extern bool joystickPresent;   // joystick 0 is plugged in (updated by ReadJoystick)
extern float mouseX;           // cursor position in the frame, pixels
extern float mouseY;

InputBits ReadKeyboard();
InputBits ReadJoystick();
InputBits ReadMouse();
InputBits ReadKeyboardAndJoystick();

// Clears the word, the latches and the mouse position (a fresh start); the
// bindings stay.
void ResetInputMapping();

// The keys and buttons the readers fold into the action bits (the game's own
// until replaced). F1, F, G and the editor's keys are read as they are.
void SetControlBindings(const ControlBindings& bindings);
const ControlBindings& CurrentControlBindings();
