// Joysticks plugged in and pulled out while the game runs, simulated with
// SDL's virtual joysticks and seen through the event pump.
#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/host/host_input.h"
#include "engine/host/host_window.h"
#include "engine/platform/KInput.h"

namespace {

constexpr int kButtons = 12;

class HostJoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    ASSERT_TRUE(HostCreatePlainWindow(320, 240, false, "joystick test"));
    // The offscreen window never gets the keyboard focus, without which SDL
    // drops joystick changes.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER), 0);
    HostPumpMessages();
  }
  void TearDown() override {
    KInput::ReleaseJoystick(0);
    while (handle_ != nullptr || device_ >= 0) Unplug();
    HostPumpMessages();
    HostDestroyWindow();
    HostResetInjectedInput();
  }
  // Plugs in a virtual device of the given type and pumps its arrival.
  void Plug(SDL_JoystickType type) {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = static_cast<Uint16>(type);
    desc.naxes = 2;
    desc.nbuttons = kButtons;
    desc.nhats = 0;
    desc.name = "virtual test pad";
    device_ = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device_, 0) << SDL_GetError();
    handle_ = SDL_JoystickOpen(device_);  // the test's own hand on its buttons
    ASSERT_NE(handle_, nullptr);
    HostPumpMessages();
  }
  void Press(int button, bool down) {
    SDL_JoystickSetVirtualButton(handle_, button, down ? SDL_PRESSED : SDL_RELEASED);
    HostPumpMessages();  // the pump updates the joystick states
  }
  void Unplug() {
    if (handle_ != nullptr) SDL_JoystickClose(handle_);
    handle_ = nullptr;
    if (device_ >= 0) SDL_JoystickDetachVirtual(device_);
    device_ = -1;
    HostPumpMessages();
  }
  int device_ = -1;
  SDL_Joystick* handle_ = nullptr;
};

}  // namespace

TEST_F(HostJoystickTest, PluggedInAfterStartUpWorksWithoutARestart) {
  EXPECT_FALSE(KInput::CaptureJoystick(0));  // nothing there at start-up
  EXPECT_FALSE(KInput::IsJoystickPresent(0));
  Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
  ASSERT_TRUE(KInput::IsJoystickPresent(0));
  Press(SDL_CONTROLLER_BUTTON_A, true);  // A stands for joystick button 2
  EXPECT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON2));
  Press(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_FALSE(KInput::JoystickButton(0, K_JOY_BUTTON2));
}

TEST_F(HostJoystickTest, UnpluggingReleasesTheButtonsAndReplugOpensAgain) {
  Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
  ASSERT_TRUE(KInput::CaptureJoystick(0));
  Press(SDL_CONTROLLER_BUTTON_X, true);
  ASSERT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON1));
  Unplug();
  EXPECT_FALSE(KInput::IsJoystickPresent(0));
  EXPECT_FALSE(KInput::JoystickButton(0, K_JOY_BUTTON1));
  EXPECT_EQ(HostJoystickButtons(0), 0u);
  EXPECT_FALSE(KInput::JoystickLeft(0));
  EXPECT_FALSE(KInput::JoystickRight(0));

  Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
  EXPECT_TRUE(KInput::IsJoystickPresent(0));
  Press(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON6));
}

TEST_F(HostJoystickTest, ReleasedJoystickIsNotReopenedByAPlug) {
  EXPECT_FALSE(KInput::CaptureJoystick(0));
  KInput::ReleaseJoystick(0);
  Plug(SDL_JOYSTICK_TYPE_GAMECONTROLLER);
  EXPECT_FALSE(KInput::IsJoystickPresent(0));
  EXPECT_FALSE(HostIsJoystickOpen(0));
}

TEST_F(HostJoystickTest, DeviceWithoutAControllerMappingStillWorksAsAJoystick) {
  Plug(SDL_JOYSTICK_TYPE_UNKNOWN);
  ASSERT_TRUE(KInput::CaptureJoystick(0));
  SDL_JoystickSetVirtualAxis(handle_, 0, -32768);
  HostPumpMessages();
  EXPECT_TRUE(KInput::JoystickLeft(0));
  Press(8, true);
  EXPECT_TRUE(KInput::JoystickButton(0, K_JOY_BUTTON9));
  Unplug();
  EXPECT_FALSE(KInput::JoystickLeft(0));
}
