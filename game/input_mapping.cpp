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

ControlBindings& bindings() {
  static ControlBindings current = DefaultControlBindings();
  return current;
}

bool anyKeyDown(ControlAction action) {
  for (int key : bindings().actions[action].keys)
    if (KInput::IsKeyDown(key)) return true;
  return false;
}

bool anyButtonDown(ControlAction action) {
  const uint32_t buttons = bindings().actions[action].buttons;
  return buttons != 0 && KInput::JoystickButton(kJoystick, buttons);
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
bool joyConfirmHeld = false;
bool joystickPresent = false;
float mouseX = 0.0f;
float mouseY = 0.0f;

InputBits ReadKeyboard() {
  setBits(BitEditor, KInput::IsKeyDown(KeyF1));
  setBits(BitLeft, anyKeyDown(ActionLeft));
  setBits(BitRight, anyKeyDown(ActionRight));
  setBits(BitDown, anyKeyDown(ActionDown));
  setBits(BitUp, anyKeyDown(ActionUp));
  setBits(BitPause, anyKeyDown(ActionPause));
  setBits(BitAction, anyKeyDown(ActionRun));
  setBits(BitEnter, anyKeyDown(ActionConfirm));
  setBits(BitEscape, anyKeyDown(ActionEscape));
  latch(anyKeyDown(ActionJump), &jumpKeyHeld, BitJump);
  return inputBits;
}

InputBits ReadJoystick() {
  // The joystick may be plugged in or pulled out at any time: the flag (and
  // the device icon with it) follows, and a pulled one lets go of its bits.
  joystickPresent = KInput::IsJoystickPresent(kJoystick);
  if (!joystickPresent) {
    setBits(kJoystickBits, false);
    joyJumpHeld = false;
    joyConfirmHeld = false;
    return inputBits;
  }
  // The stick always steers; buttons bound to a direction steer too.
  setBits(BitJoyLeft, KInput::JoystickLeft(kJoystick) || anyButtonDown(ActionLeft));
  setBits(BitJoyRight, KInput::JoystickRight(kJoystick) || anyButtonDown(ActionRight));
  setBits(BitJoyUp, KInput::JoystickUp(kJoystick) || anyButtonDown(ActionUp));
  setBits(BitJoyDown, KInput::JoystickDown(kJoystick) || anyButtonDown(ActionDown));
  setBits(BitJoyAction, anyButtonDown(ActionRun));
  // Jump and confirm latch alike: on the same button (as by default) they
  // set and clear together, exactly as one shared latch.
  latch(anyButtonDown(ActionJump), &joyJumpHeld, BitJoyJump);
  latch(anyButtonDown(ActionConfirm), &joyConfirmHeld, BitJoyConfirm);
  setBits(BitJoyEscape, anyButtonDown(ActionEscape));
  setBits(BitJoyPause, anyButtonDown(ActionPause));
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
  joyConfirmHeld = false;
  mouseX = 0.0f;
  mouseY = 0.0f;
}

void SetControlBindings(const ControlBindings& newBindings) { bindings() = newBindings; }

const ControlBindings& CurrentControlBindings() { return bindings(); }
