// Player input mapping: keyboard, joystick and mouse readers over the stored
// action word.
#include "game/input_mapping.h"

#include "engine/platform/KInput.h"

namespace {

constexpr int kJoystick = 0;
constexpr InputBits kJoystickBits = BitJoyLeft | BitJoyRight | BitJoyUp | BitJoyDown |
                                    BitJoyAction | BitJoyJump | BitJoyConfirm | BitJoyEscape |
                                    BitJoyPause;

// Sets or clears bits in the stored word.
void setBits(InputBits bits, bool on) {
  if (on) inputBits |= bits;
  else inputBits &= ~bits;
}

// A latched button: the bits are set on the first poll it is down and stay
// set while it is held; released, the latch and the bits clear.
void latch(bool down, bool* held, InputBits bits) {
  if (!down) {
    *held = false;
    setBits(bits, false);
  } else if (!*held) {
    *held = true;
    setBits(bits, true);
  }
}

}  // namespace

InputBits inputBits = 0;
bool jumpKeyHeld = false;
bool joyJumpHeld = false;
bool joystickPresent = false;
float mouseX = 0.0f;
float mouseY = 0.0f;

InputBits ReadKeyboard() {
  setBits(BitEditor, KInput::IsKeyDown(KeyF1));
  setBits(BitLeft, KInput::IsKeyDown(KeyLeft));
  setBits(BitRight, KInput::IsKeyDown(KeyRight));
  setBits(BitDown, KInput::IsKeyDown(KeyDown));
  setBits(BitUp, KInput::IsKeyDown(KeyUp));
  setBits(BitPause, KInput::IsKeyDown(KeyP));
  setBits(BitAction, KInput::IsKeyDown(KeyLeftShift) || KInput::IsKeyDown(KeyRightShift));
  setBits(BitEnter, KInput::IsKeyDown(KeyEnter));
  setBits(BitEscape, KInput::IsKeyDown(KeyEscape));
  const bool jump = KInput::IsKeyDown(KeySpace) || KInput::IsKeyDown(KeyLeftControl) ||
                    KInput::IsKeyDown(KeyRightControl);
  latch(jump, &jumpKeyHeld, BitJump);
  return inputBits;
}

InputBits ReadJoystick() {
  // The joystick may be plugged in or pulled out at any time: the flag (and
  // the device icon with it) follows, and a pulled one lets go of its bits.
  joystickPresent = KInput::IsJoystickPresent(kJoystick);
  if (!joystickPresent) {
    setBits(kJoystickBits, false);
    joyJumpHeld = false;
    return inputBits;
  }
  setBits(BitJoyLeft, KInput::JoystickLeft(kJoystick));
  setBits(BitJoyRight, KInput::JoystickRight(kJoystick));
  setBits(BitJoyUp, KInput::JoystickUp(kJoystick));
  setBits(BitJoyDown, KInput::JoystickDown(kJoystick));
  setBits(BitJoyAction, KInput::JoystickButton(kJoystick, K_JOY_BUTTON1));
  latch(KInput::JoystickButton(kJoystick, K_JOY_BUTTON2), &joyJumpHeld,
        BitJoyJump | BitJoyConfirm);
  setBits(BitJoyEscape, KInput::JoystickButton(kJoystick, K_JOY_BUTTON6));
  setBits(BitJoyPause, KInput::JoystickButton(kJoystick, K_JOY_BUTTON9 | K_JOY_BUTTON10));
  return inputBits;
}

InputBits ReadMouse() {
  mouseX = static_cast<float>(KInput::GetMouseX());
  mouseY = static_cast<float>(KInput::GetMouseY());
  setBits(BitMouseButton | BitEnter, KInput::IsLeftButtonDown());
  return inputBits;
}

InputBits ReadKeyboardAndJoystick() {
  const InputBits keyboard = ReadKeyboard();
  return keyboard | ReadJoystick();
}

void ResetInputMapping() {
  inputBits = 0;
  jumpKeyHeld = false;
  joyJumpHeld = false;
  mouseX = 0.0f;
  mouseY = 0.0f;
}
