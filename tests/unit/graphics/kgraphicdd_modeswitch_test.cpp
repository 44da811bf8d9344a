// Full-screen and window switches of the DirectDraw-style pair when the
// window manager or the device fails: the game keeps its window, its pace
// and, once there is a device again, every picture.
#include <string>

#include "engine/host/host_clock.h"
#include "engine/host/host_window.h"
#include "kgraphicdd_fixture.h"
#include "picture_data.h"

namespace {

constexpr uint32_t kRed = 0xFF0000;
uint32_t kOpaqueGreen = 0xFF00FF00u;

class DDModeSwitch : public DDTest {
 protected:
  void SetUp() override {
    DDTest::SetUp();
    name_ = dir_.Write("red.bmp", SolidBmp(4, 4, kRed));
    ASSERT_TRUE(fromFile_.LoadPicture(name_.data(), true, false));
    ASSERT_TRUE(fromArray_.MakePictureFromArray(&kOpaqueGreen, 1, 1, true));
  }
  void TearDown() override {
    HostFailDeviceCreations(0);
    HostFailModeSwitches(0);
    HostUseRealClock();
    DDTest::TearDown();
  }
  // Both pictures draw as they were loaded.
  void ExpectPicturesDrawn() {
    ASSERT_NE(window->GetDevice(), nullptr);
    window->SetWorldView(0, 0, 0, 1, true);
    fromFile_.BlitRect(0, 0, 4, 4, 10, 10);
    fromArray_.BlitRect(0, 0, 1, 1, 30, 30);
    EXPECT_EQ(Pixel(11, 11), (DDColor{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(30, 30), (DDColor{0, 255, 0, 255}));
  }
  TempDir dir_;
  std::string name_;
  KGraphicDD fromFile_, fromArray_;
};

}  // namespace

TEST_F(DDModeSwitch, SwitchesKeepTheSameWindowAndEveryPicture) {
  SDL_Window* before = HostSDLWindow();
  EXPECT_TRUE(window->ToggleFullScreen(true));
  EXPECT_EQ(HostSDLWindow(), before);
  ExpectPicturesDrawn();
  EXPECT_TRUE(window->ToggleFullScreen(false));  // a switch that happened answers true
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(HostSDLWindow(), before);
  ExpectPicturesDrawn();
}

TEST_F(DDModeSwitch, RefusedSwitchLeavesTheModeItHad) {
  HostDevice* before = window->GetDevice();
  HostFailModeSwitches(1);
  EXPECT_FALSE(window->ToggleFullScreen(true));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(window->GetDevice(), before);  // nothing was rebuilt
  ExpectPicturesDrawn();
  EXPECT_TRUE(window->ToggleFullScreen(true));  // the next press works
}

TEST_F(DDModeSwitch, NoDeviceForTheNewModeGoesBackToTheOldOne) {
  HostFailDeviceCreations(1);
  EXPECT_FALSE(window->ToggleFullScreen(true));
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_FALSE(HostIsWindowFullScreen());
  ExpectPicturesDrawn();
}

TEST_F(DDModeSwitch, NoDeviceAtAllKeepsPacingAndEventsUntilOneComesBack) {
  HostUseManualClock(1000);
  window->FlipBackBuffer(false, true);  // the pace starts on this clock
  HostFailDeviceCreations(5);  // the switch, the way back and three frames
  EXPECT_FALSE(window->ToggleFullScreen(true));
  EXPECT_TRUE(HostWindowExists());
  EXPECT_EQ(window->GetDevice(), nullptr);

  for (int i = 0; i < 3; ++i) {
    const uint64_t before = HostMilliseconds();
    window->FlipBackBuffer(false, true);
    EXPECT_GE(HostMilliseconds() - before, 13u) << "frame " << i << " did not wait";
    EXPECT_EQ(window->GetDevice(), nullptr);
  }
  // The device comes back and so does every picture, the one loaded from
  // its file included.
  window->FlipBackBuffer(false, true);
  ASSERT_NE(window->GetDevice(), nullptr);
  EXPECT_STREQ(fromFile_.GetFileName(), name_.c_str());
  ExpectPicturesDrawn();

  // Events kept flowing meanwhile: a close still ends the game.
  HostFailDeviceCreations(2);
  window->ToggleFullScreen(true);
  HostPushQuitEvent();
  window->FlipBackBuffer(false, true);
  EXPECT_TRUE(window->IsQuitting());
}

TEST_F(DDModeSwitch, AfterAMessageBoxLeftFullScreenFAndGStillWork) {
  ASSERT_TRUE(window->ToggleFullScreen(true));
  // What showing a message box does to a full-screen window.
  ASSERT_TRUE(HostSetWindowFullScreen(false));
  EXPECT_TRUE(window->ToggleFullScreen(true));  // F
  EXPECT_TRUE(HostIsWindowFullScreen());
  ASSERT_TRUE(HostSetWindowFullScreen(false));
  EXPECT_FALSE(window->ToggleFullScreen(false));  // G: already windowed, nothing breaks
  EXPECT_TRUE(window->ToggleFullScreen(true));
  ExpectPicturesDrawn();
}

TEST_F(DDModeSwitch, StillFramesKeepThePaceOfMovingOnes) {
  HostUseManualClock(1000);
  auto frameMs = [&](float x) {
    window->SetDefaultWorldView();
    window->SetWorldView(0, 0, 0, 1, true);
    fromArray_.BlitRect(0, 0, 1, 1, x, 40);
    const uint64_t before = HostMilliseconds();
    window->FlipBackBuffer(false, true);
    return HostMilliseconds() - before;
  };
  for (int i = 0; i < 4; ++i) frameMs(50);  // past the start-up events
  const uint64_t presents = HostDevicePresentCount(window->GetDevice());
  const uint64_t still = frameMs(50);
  ASSERT_EQ(HostDevicePresentCount(window->GetDevice()), presents);  // really skipped
  const uint64_t moving = frameMs(60);
  ASSERT_EQ(HostDevicePresentCount(window->GetDevice()), presents + 1);
  EXPECT_GE(still, 13u);
  EXPECT_NEAR(static_cast<double>(still), static_cast<double>(moving), 1.0);
}

TEST_F(DDModeSwitch, FractionalScaleIsFilteredWholeScaleIsNot) {
  auto shownLinear = [&](int w, int h) {
    SDL_SetWindowSize(HostSDLWindow(), w, h);
    HostPumpMessages();
    window->SetWorldView(0, 0, 0, 1, true);
    fromArray_.BlitRect(0, 0, 1, 1, 5, 5);
    window->FlipBackBuffer(false, true);
    return HostDeviceScalesLinear(window->GetDevice());
  };
  window->SetMaxFrameRate(-1);
  EXPECT_TRUE(shownLinear(1024, 768));
  EXPECT_FALSE(shownLinear(1600, 1200));
  EXPECT_TRUE(shownLinear(1920, 1080));
  EXPECT_FALSE(shownLinear(800, 600));
}
