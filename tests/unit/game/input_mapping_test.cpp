// The readers of the player's action bits: every bit, latch and threshold.
#include <gtest/gtest.h>

#include "engine/host/host_input.h"
#include "engine/platform/KInput.h"
#include "game/input_mapping.h"

#include <string>

namespace {

class InputMappingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    HostInjectMouse(0, 0, 0);
    ResetInputMapping();
    joystickPresent = false;
  }
  void TearDown() override {
    SetControlBindings(DefaultControlBindings());
    KInput::ReleaseJoystick(0);
    joystickPresent = false;
    HostResetInjectedInput();
  }
  static void key(int code, bool down) { KInput::SetKeyDownForTest(code, down); }
  static void stick(uint32_t x, uint32_t y, uint32_t buttons) {
    HostInjectJoystick(0, true, x, y, buttons);
    joystickPresent = KInput::CaptureJoystick(0);
  }
  static void bind(const std::string& text) {
    std::vector<ControlsProblem> problems;
    SetControlBindings(ParseControlsText(text.data(), text.size(), &problems));
    ASSERT_TRUE(problems.empty()) << problems[0].text;
  }
};

}  // namespace

TEST_F(InputMappingTest, EveryKeyboardBit) {
  struct { int key; InputBits bit; } cases[] = {
      {KeyF1, BitEditor},        {KeyLeft, BitLeft},        {KeyRight, BitRight},
      {KeyDown, BitDown},        {KeyUp, BitUp},            {KeyP, BitPause},
      {KeyLeftShift, BitAction}, {KeyRightShift, BitAction}, {KeyEnter, BitEnter},
      {KeyEscape, BitEscape},    {KeySpace, BitJump},       {KeyLeftControl, BitJump},
      {KeyRightControl, BitJump},
  };
  for (const auto& c : cases) {
    key(c.key, true);
    EXPECT_EQ(ReadKeyboard(), c.bit) << c.key;
    key(c.key, false);
    EXPECT_EQ(ReadKeyboard(), 0u) << c.key;
  }
}

TEST_F(InputMappingTest, JumpLatchSetsOnceAndLeavesTheWordWhileHeld) {
  key(KeySpace, true);
  EXPECT_TRUE(ReadKeyboard() & BitJump);
  EXPECT_TRUE(jumpKeyHeld);
  inputBits &= ~BitJump;  // a consumer took the bit
  EXPECT_FALSE(ReadKeyboard() & BitJump);  // held: not set again
  key(KeySpace, false);
  key(KeyLeftControl, true);  // another jump key while the latch is still set
  EXPECT_FALSE(ReadKeyboard() & BitJump);
  key(KeyLeftControl, false);
  EXPECT_FALSE(ReadKeyboard() & BitJump);
  EXPECT_FALSE(jumpKeyHeld);
  key(KeyRightControl, true);
  EXPECT_TRUE(ReadKeyboard() & BitJump);
}

TEST_F(InputMappingTest, ReadersTouchOnlyTheirOwnBitsAndCombine) {
  inputBits = BitJoyLeft | BitMouseButton;
  key(KeyUp, true);
  EXPECT_EQ(ReadKeyboard(), BitJoyLeft | BitMouseButton | BitUp);
  key(KeyUp, false);
  inputBits = 0;
  key(KeyEscape, true);
  stick(32768, 32768, K_JOY_BUTTON9);
  const InputBits bits = ReadKeyboardAndJoystick();
  EXPECT_EQ(bits, BitEscape | BitJoyPause);
  EXPECT_TRUE((bits & EscapeMask) && (bits & PauseMask));
}

TEST_F(InputMappingTest, StickThresholdsAndButtons) {
  struct { uint32_t x, y, buttons; InputBits bits; } cases[] = {
      {10, 32768, 0, BitJoyLeft},  {11, 32768, 0, 0},  {65501, 65501, 0, BitJoyRight | BitJoyDown},
      {65500, 65500, 0, 0},        {32768, 10, 0, BitJoyUp},  {0, 65535, 0, BitJoyLeft | BitJoyDown},
      {32768, 32768, K_JOY_BUTTON1, BitJoyAction},  {32768, 32768, K_JOY_BUTTON6, BitJoyEscape},
      {32768, 32768, K_JOY_BUTTON9, BitJoyPause},   {32768, 32768, K_JOY_BUTTON10, BitJoyPause},
  };
  for (const auto& c : cases) {
    stick(c.x, c.y, c.buttons);
    EXPECT_EQ(ReadJoystick(), c.bits) << c.x << "," << c.y << " buttons " << c.buttons;
  }
  // Button 2 latches jump and confirm together.
  stick(32768, 32768, K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick(), BitJoyJump | BitJoyConfirm);
  inputBits = 0;
  EXPECT_EQ(ReadJoystick(), 0u);  // held: not set again
  stick(32768, 32768, 0);
  EXPECT_EQ(ReadJoystick(), 0u);
  EXPECT_FALSE(joyJumpHeld);
  stick(32768, 32768, K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick() & ConfirmMask, BitJoyConfirm);
}

TEST_F(InputMappingTest, JoystickFlagFollowsPluggingAndUnplugReleasesItsBits) {
  EXPECT_EQ(ReadJoystick(), 0u);  // nothing captured
  EXPECT_FALSE(joystickPresent);
  stick(0, 32768, K_JOY_BUTTON6 | K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick(), BitJoyLeft | BitJoyEscape | BitJoyJump | BitJoyConfirm);
  EXPECT_TRUE(joystickPresent);

  // Pulled out with the stick and buttons held: the flag (and the device icon
  // with it) drops and nothing stays pressed, keyboard bits untouched.
  KInput::SetKeyDownForTest(KeyLeft, true);
  ReadKeyboard();
  HostInjectJoystick(0, false, 0, 32768, K_JOY_BUTTON6 | K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick(), BitLeft);
  EXPECT_FALSE(joystickPresent);
  EXPECT_FALSE(joyJumpHeld);

  // Plugged back in: read again without a new capture.
  HostInjectJoystick(0, true, 65535, 32768, 0);
  EXPECT_EQ(ReadJoystick(), BitLeft | BitJoyRight);
  EXPECT_TRUE(joystickPresent);
}

TEST_F(InputMappingTest, MouseClearsEnterButTheFramesOrStillSeesTheKeyboard) {
  HostInjectMouse(-20, 650, 1);
  EXPECT_EQ(ReadMouse(), BitMouseButton | BitEnter);
  EXPECT_FLOAT_EQ(mouseX, -20.0f);
  EXPECT_FLOAT_EQ(mouseY, 650.0f);
  HostInjectMouse(300, 200, 0);
  key(KeyEnter, true);
  const InputBits frame = ReadKeyboard() | ReadMouse();
  EXPECT_TRUE(frame & BitEnter);
  EXPECT_FALSE(inputBits & BitEnter);  // the stored word lost it
  EXPECT_FALSE(inputBits & BitMouseButton);
  HostInjectMouse(300, 200, 2);  // right button is not the mouse bit
  EXPECT_FALSE(ReadMouse() & BitMouseButton);
}

TEST_F(InputMappingTest, ReboundKeysMakeTheSameBitsAndTheOldOnesGoQuiet) {
  bind("jump = J\nconfirm = Space\nleft = A\n");
  const int keyJ = KInput::KeyFromName("J"), keyA = KInput::KeyFromName("A");
  key(keyJ, true);
  EXPECT_EQ(ReadKeyboard(), BitJump);
  inputBits = 0;
  EXPECT_EQ(ReadKeyboard(), 0u);  // still latched while held
  key(keyJ, false);
  key(KeySpace, true);
  EXPECT_EQ(ReadKeyboard(), BitEnter);  // Space now confirms and no longer jumps
  key(KeySpace, false);
  key(KeyLeft, true);
  key(keyA, true);
  EXPECT_EQ(ReadKeyboard(), BitLeft);
  key(keyA, false);
  EXPECT_EQ(ReadKeyboard(), 0u);  // the Left arrow walks no more
  key(KeyLeft, false);
  // Keys the game reads for itself are not bindings: F1 stays the editor's.
  key(KeyF1, true);
  EXPECT_EQ(ReadKeyboard(), BitEditor);
}

TEST_F(InputMappingTest, SwappedControllerButtonsSplitJumpFromConfirm) {
  bind("jump = pad:x\nrun = pad:a\nleft = Left, pad:dpleft\n");
  stick(32768, 32768, K_JOY_BUTTON1);
  EXPECT_EQ(ReadJoystick(), BitJoyJump);  // X jumps, and confirms nothing
  stick(32768, 32768, K_JOY_BUTTON1 | K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick(), BitJoyJump | BitJoyAction | BitJoyConfirm);  // A runs, still confirms
  inputBits = 0;
  EXPECT_EQ(ReadJoystick(), BitJoyAction);  // both latches held
  stick(32768, 32768, K_JOY_BUTTON2);
  EXPECT_EQ(ReadJoystick(), BitJoyAction);
  EXPECT_FALSE(joyJumpHeld);
  EXPECT_TRUE(joyConfirmHeld);
  // A button bound to a direction steers like the stick.
  stick(32768, 32768, KInput::JoystickButtonFromControllerName("dpleft"));
  EXPECT_EQ(ReadJoystick(), BitJoyLeft);
  stick(0, 32768, 0);
  EXPECT_EQ(ReadJoystick(), BitJoyLeft);
}
