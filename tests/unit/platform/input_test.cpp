// KInput over the host's key table, mouse and joysticks, driven through the test seams.
#include <gtest/gtest.h>

#include "engine/host/host_input.h"
#include "engine/platform/KInput.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { HostResetInjectedInput(); }
  void TearDown() override {
    KInput::ReleaseJoystick(0);
    KInput::ReleaseJoystick(1);
    HostResetInjectedInput();
  }
};

}  // namespace

TEST_F(InputTest, KeyTableMapsCodesAndVirtualKeys) {
  EXPECT_EQ(KInput::KeyFromVirtualKey(0x6C), 100);  // not in the table
  EXPECT_EQ(KInput::KeyFromVirtualKey(0x46), 30);   // F
  EXPECT_EQ(KInput::KeyFromVirtualKey(9999), 100);  // the terminator is not a key
  EXPECT_EQ(KInput::VirtualKeyFromKey(73), 0x6Du);  // keypad minus
  EXPECT_EQ(KInput::VirtualKeyFromKey(100), 9999u);
  EXPECT_EQ(KInput::VirtualKeyFromKey(-1), 9999u);
  for (int code = 0; code < 100; ++code)
    EXPECT_EQ(KInput::KeyFromVirtualKey(KInput::VirtualKeyFromKey(code)), code) << code;
}

TEST_F(InputTest, KeyCodesOutsideTheTableAreRefused) {
  KInput::SetKeyDownForTest(100, true);
  KInput::SetKeyDownForTest(-5, true);
  EXPECT_FALSE(KInput::IsKeyDown(100));
  EXPECT_FALSE(KInput::IsKeyDown(-1));
  EXPECT_FALSE(KInput::IsKeyDown(1 << 30));
  KInput::WaitKeyRelease(4000);  // returns, touches nothing
  EXPECT_FALSE(HostIsVirtualKeyDown(1u << 20));
  KInput::SetKeyDownForTest(7, true);
  KInput::WaitKeyRelease(7);  // returns with the key up
  EXPECT_FALSE(KInput::IsKeyDown(7));
}

TEST_F(InputTest, LeftAndRightModifiersStayApart) {
  HostInjectKey(0xA0, true);  // left Shift
  EXPECT_TRUE(KInput::IsKeyDown(5));
  EXPECT_FALSE(KInput::IsKeyDown(6));
  EXPECT_TRUE(HostIsVirtualKeyDown(0x10));  // the generic Shift sees either side
  HostInjectKey(0xA3, true);                // right Control
  EXPECT_TRUE(KInput::IsKeyDown(8));
  EXPECT_FALSE(KInput::IsKeyDown(9));
  HostInjectKey(0xA5, true);                // right Alt counts as Alt
  EXPECT_TRUE(KInput::IsKeyDown(77));
}

TEST_F(InputTest, ScancodesReachTheirVirtualKeys) {
  // A, 1, 0, F1, left Control, then no key and out-of-range scancodes.
  const int32_t scancodes[] = {4, 30, 39, 58, 224, 0, -7, 100000};
  const uint32_t keys[] = {0x41, 0x31, 0x30, 0x70, 0xA2, 0, 0, 0};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(HostVirtualKeyFromScancode(scancodes[i]), keys[i]) << scancodes[i];
}

TEST_F(InputTest, MouseComesFromTheSeam) {
  HostInjectMouse(-20, 640, 1);
  EXPECT_EQ(KInput::GetMouseX(), -20);
  EXPECT_EQ(KInput::GetMouseY(), 640);
  EXPECT_TRUE(KInput::IsLeftButtonDown());
  HostInjectMouse(5, 6, 2);
  EXPECT_FALSE(KInput::IsLeftButtonDown());
  EXPECT_TRUE(HostIsMouseButtonDown(kHostMouseRight));
  KInput::SetMousePosition(123, 45);
  EXPECT_EQ(KInput::GetMouseX(), 123);
  EXPECT_EQ(KInput::GetMouseY(), 45);
}

TEST_F(InputTest, HideTwiceShowOnceAndNoJoystickAnswersFalse) {
  KInput::HideMouse();
  KInput::HideMouse();
  EXPECT_FALSE(HostIsCursorShown());
  KInput::ShowMouse();
  EXPECT_TRUE(HostIsCursorShown());
  HostInjectJoystick(0, false, 0, 0, 0xFFFFFFFFu);
  EXPECT_FALSE(KInput::CaptureJoystick(0));
  EXPECT_FALSE(KInput::JoystickLeft(0) || KInput::JoystickUp(0) || KInput::JoystickButton(0, 0xFFFFFFFFu));
  EXPECT_FALSE(KInput::CaptureJoystick(7));
  EXPECT_FALSE(KInput::JoystickRight(-1));
}

TEST_F(InputTest, JoystickThresholdsAndButtons) {
  HostInjectJoystick(0, true, 10, 65501, K_JOY_BUTTON2 | K_JOY_BUTTON9);
  ASSERT_TRUE(KInput::CaptureJoystick(0));
  EXPECT_TRUE(KInput::JoystickLeft(0) && KInput::JoystickDown(0));
  EXPECT_FALSE(KInput::JoystickRight(0) || KInput::JoystickUp(0));
  EXPECT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON2));
  EXPECT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON9 | K_JOY_BUTTON10));
  EXPECT_FALSE(KInput::JoystickButton(0, K_JOY_BUTTON1));
  HostInjectJoystick(0, true, 11, 65500, 0);
  ASSERT_TRUE(KInput::CaptureJoystick(0));
  EXPECT_FALSE(KInput::JoystickLeft(0) || KInput::JoystickDown(0));
  KInput::ReleaseJoystick(0);
  EXPECT_FALSE(KInput::JoystickButton(0, 0xFFFFFFFFu));
}


TEST_F(InputTest, KeysAndControllerButtonsByTheirSdlNames) {
  EXPECT_EQ(KInput::KeyFromName("Space"), 4);
  EXPECT_EQ(KInput::KeyFromName("left ctrl"), 9);
  EXPECT_EQ(KInput::KeyFromName("Right Ctrl"), 8);
  EXPECT_EQ(KInput::KeyFromName("Return"), 7);
  EXPECT_EQ(KInput::KeyFromName("Keypad Enter"), 7);  // the table has one Enter
  EXPECT_EQ(KInput::KeyFromName("P"), 40);
  EXPECT_EQ(KInput::KeyFromName("PageDown"), 99);
  EXPECT_EQ(KInput::KeyFromName("Left Alt"), 77);     // and one Alt
  EXPECT_EQ(KInput::KeyFromName("F13"), 100);         // SDL has it, the engine does not
  EXPECT_EQ(KInput::KeyFromName("Blorp"), 100);
  EXPECT_EQ(KInput::KeyFromName(""), 100);
  EXPECT_EQ(KInput::KeyFromName(nullptr), 100);

  EXPECT_EQ(KInput::JoystickButtonFromControllerName("x"), K_JOY_BUTTON1);
  EXPECT_EQ(KInput::JoystickButtonFromControllerName("A"), K_JOY_BUTTON2);
  EXPECT_EQ(KInput::JoystickButtonFromControllerName("back"), K_JOY_BUTTON6);
  EXPECT_EQ(KInput::JoystickButtonFromControllerName("start"), K_JOY_BUTTON9);
  EXPECT_EQ(KInput::JoystickButtonFromControllerName("rightstick"), K_JOY_BUTTON10);
  // Every other button SDL names has a bit of its own.
  uint32_t seen = K_JOY_BUTTON1 | K_JOY_BUTTON2 | K_JOY_BUTTON6 | K_JOY_BUTTON9 | K_JOY_BUTTON10;
  for (const char* name : {"b", "y", "leftshoulder", "rightshoulder", "leftstick", "guide", "dpup",
                           "dpdown", "dpleft", "dpright", "misc1", "paddle1", "touchpad"}) {
    const uint32_t mask = KInput::JoystickButtonFromControllerName(name);
    EXPECT_NE(mask, 0u) << name;
    EXPECT_EQ(mask & seen, 0u) << name;
    seen |= mask;
  }
  EXPECT_EQ(KInput::JoystickButtonFromControllerName("zz"), 0u);
  EXPECT_EQ(KInput::JoystickButtonFromControllerName(""), 0u);
}
