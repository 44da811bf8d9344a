// The OpenGL window under the offscreen video driver.
#include <gtest/gtest.h>

#include <SDL_opengl.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/host/host_clock.h"
#include "engine/host/host_image.h"
#include "engine/host/host_input.h"
#include "engine/host/host_system.h"
#include "engine/host/host_window.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"
#include "engine/platform/KWindowGL.h"
#include "unit/platform/temp_dir.h"

namespace {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostResetInjectedInput();
    window = createKWindow(1, false);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->CreateGameWindow(800, 600, 16, true, "window test"));
    gl = static_cast<KWindowGL*>(window);
  }
  void TearDown() override {
    delete window;
    HostResetInjectedInput();
  }
  KWindow* window = nullptr;
  KWindowGL* gl = nullptr;
};

std::vector<KEvent> seenEvents;
bool recordEvent(KEvent* e) {
  seenEvents.push_back(*e);
  return true;
}
bool swallowEverything(KWindowHandle, uint32_t, uintptr_t, intptr_t) { return false; }

}  // namespace

TEST_F(WindowTest, CreatesWithLogicalSizeAndAContext) {
  EXPECT_EQ(window->GetHeight(), 600);
  EXPECT_TRUE(window->HasFocus());  // no focus event yet: counts as active
  EXPECT_STRNE(HostGLString(GL_VERSION), "");
}

TEST_F(WindowTest, ToggleIgnoresTheCurrentModeAndGWinsWhenBothArePressed) {
  EXPECT_FALSE(window->ToggleFullScreen(false));
  EXPECT_TRUE(window->ToggleFullScreen(true));
  EXPECT_TRUE(window->ToggleFullScreen(true));
  EXPECT_TRUE(HostIsWindowFullScreen());
  // Logical size never changes with the mode.
  EXPECT_EQ(window->GetWidth(), 800);
  int32_t lx = 0, ly = 0, wx = 0, wy = 0;
  HostLogicalToWindow(400, 300, &wx, &wy);
  HostWindowToLogical(wx, wy, &lx, &ly);
  EXPECT_NEAR(lx, 400, 1);
  EXPECT_NEAR(ly, 300, 1);
  EXPECT_FALSE(window->ToggleFullScreen(false));
  EXPECT_FALSE(HostIsWindowFullScreen());
  // A message box leaves full screen behind the window's back; F still works.
  EXPECT_TRUE(window->ToggleFullScreen(true));
  HostSetWindowFullScreen(false);
  EXPECT_TRUE(window->ToggleFullScreen(true));
  EXPECT_TRUE(HostIsWindowFullScreen());
}

TEST_F(WindowTest, CloseQuitsUnlessTheHookSwallowsItAndKeysReachTheCallback) {
  window->SetMessageHook(swallowEverything);
  HostPushQuitEvent();
  window->ProcessEvents();
  EXPECT_FALSE(window->IsQuitting());
  window->SetMessageHook(nullptr);
  HostPushQuitEvent();
  window->FlipBackBuffer(true, true);
  EXPECT_TRUE(window->IsQuitting());
  window->SetQuit(false);
  window->Terminate();
  EXPECT_TRUE(window->IsQuitting());

  // Key events reach the callback and the key table.
  seenEvents.clear();
  window->SetEventCallback(recordEvent);
  HostPushKeyEvent(0x46, true);  // F
  window->ProcessEvents();
  EXPECT_TRUE(KInput::IsKeyDown(30));
  HostPushKeyEvent(0x46, false);
  window->ProcessEvents();
  EXPECT_FALSE(KInput::IsKeyDown(30));
  window->SetEventCallback(nullptr);
  ASSERT_GE(seenEvents.size(), 2u);
  EXPECT_EQ(seenEvents[0].type, K_EVENT_KEYDOWN);
  EXPECT_EQ(seenEvents[0].keyCode, 30u);
  EXPECT_EQ(seenEvents.back().type, K_EVENT_KEYUP);
  EXPECT_EQ(seenEvents.back().charCode, 0x46);
}

TEST(WindowEvents, MessagesBecomeEngineEvents) {
  KEvent e;
  KWindowGL::BuildEvent(HostMessage{K_MSG_RBUTTONDBLCLK, 0, 0, 12, -3}, &e);
  EXPECT_EQ(e.type, K_EVENT_DBLCLICK);
  EXPECT_EQ(e.button, 2u);
  EXPECT_EQ(e.mouseY, -3);
  KWindowGL::BuildEvent(HostMessage{K_MSG_MBUTTONDBLCLK, 0, 0, 0, 0}, &e);
  EXPECT_EQ(e.type, K_EVENT_NONE);
  KWindowGL::BuildEvent(HostMessage{K_MSG_MOUSEWHEEL, static_cast<uintptr_t>(0xFF880000u), 0, 0, 0}, &e);
  EXPECT_EQ(e.wheel, 0xFF88);
  KWindowGL::BuildEvent(HostMessage{K_MSG_KEYDOWN, 0x6C, 0x00530001, 0, 0}, &e);  // no engine code
  EXPECT_EQ(e.type, K_EVENT_KEYDOWN);
  EXPECT_EQ(e.keyCode, K_NO_KEY);
  EXPECT_EQ(e.charCode, 0x53);  // scan code from lParam
}

TEST_F(WindowTest, HundredFlipsAreCappedAt75PerSecond) {
  HostUseRealClock();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) window->FlipBackBuffer(true, true);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(ms, 1300);
}

TEST_F(WindowTest, UncappedFramesDoNotWaitOnTheManualClock) {
  HostUseManualClock(1000);
  window->SetMaxFrameRate(60);
  EXPECT_EQ(gl->GetFrameIntervalMs(), 16);
  window->SetMaxFrameRate(-1);
  for (int i = 0; i < 10; ++i) window->FlipBackBuffer(true, true);
  EXPECT_EQ(HostMilliseconds(), 1000u);
  window->SetMaxFrameRate(0);
  for (int i = 0; i < 4; ++i) window->FlipBackBuffer(true, true);
  EXPECT_GE(HostMilliseconds(), 1000u + 3 * 13);  // the sleeps advance the manual clock
  HostUseRealClock();
}

TEST_F(WindowTest, InactiveWaitEndsOnFocusAndIsNotCounted) {
  HostUseRealClock();
  HostPushFocusEvent(false);
  window->FlipBackBuffer(false, true);
  EXPECT_FALSE(window->HasFocus());
  const uint64_t inactiveBefore = HostInactiveMs();
  const uint32_t engineBefore = KSystem::GetMilliseconds();
  std::thread wake([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    HostPushFocusEvent(true);
  });
  window->FlipBackBuffer(true, true);
  wake.join();
  EXPECT_TRUE(window->HasFocus());
  EXPECT_GE(HostInactiveMs() - inactiveBefore, 100u);
  EXPECT_LT(KSystem::GetMilliseconds() - engineBefore, 100u);
}

TEST_F(WindowTest, InactiveWaitEndsOnQuit) {
  HostPushFocusEvent(false);
  window->FlipBackBuffer(false, true);
  std::thread closer([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    HostPushQuitEvent();
  });
  window->FlipBackBuffer(true, true);
  closer.join();
  EXPECT_TRUE(window->IsQuitting());
}

TEST_F(WindowTest, ScreenshotIsTheLogicalFrameTopRowFirst) {
  const std::string path = std::string(::testing::TempDir()) + "window_shot.tga";
  // Red everywhere, a blue band over the top 100 rows.
  window->SetClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  window->SetWorldView(0, 0, 0, 1, true);
  window->SetClipRect(0, 0, 800, 100);
  window->SetClearColor(0.0f, 0.0f, 1.0f, 1.0f);
  window->SetWorldView(0, 0, 0, 0, true);  // zoom 0 skips the offset, must not fail
  glDisable(GL_SCISSOR_TEST);
  ASSERT_TRUE(window->SaveScreenshot(path.c_str(), 2, 0, 0));
  std::vector<uint8_t> bytes = ReadBytes(path);
  HostImage image;
  ASSERT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), kImageTga, 4096, &image));
  ASSERT_EQ(image.width, 800);
  ASSERT_EQ(image.height, 600);
  const uint8_t* top = &image.rgba[(10 * 800 + 10) * 4];
  const uint8_t* bottom = &image.rgba[(500 * 800 + 10) * 4];
  EXPECT_EQ(std::vector<uint8_t>(top, top + 4), (std::vector<uint8_t>{0, 0, 255, 255}));
  EXPECT_EQ(std::vector<uint8_t>(bottom, bottom + 4), (std::vector<uint8_t>{255, 0, 0, 255}));
  std::remove(path.c_str());
  // Unknown format: nothing written, still success.
  EXPECT_TRUE(window->SaveScreenshot(path.c_str(), 9, 0, 0));
  EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(WindowTest, HotKeyWritesOneNumberedScreenshotPerPress) {
  const std::string dir = ::testing::TempDir();
  HostOverrideProgramDirectory(dir.substr(0, dir.size() - 1).c_str());
  KSystem::InitSystem();
  const int32_t before = KWindowGL::GetScreenshotCount();
  KInput::SetKeyDownForTest(5, true);
  KInput::SetKeyDownForTest(97, true);
  window->ProcessEvents();
  window->ProcessEvents();  // keys were released by the wait: no second file
  EXPECT_EQ(KWindowGL::GetScreenshotCount(), before + 1);
  EXPECT_FALSE(KInput::IsKeyDown(5));
  const std::string file = dir + "screenshot" + std::to_string(before + 1) + ".tga";
  EXPECT_TRUE(std::ifstream(file).good());
  std::remove(file.c_str());

  // A shot left by an earlier run keeps its name and bytes: the next press
  // takes the next free number.
  const std::string kept = dir + "screenshot" + std::to_string(before + 2) + ".tga";
  std::ofstream(kept) << "an earlier run's shot";
  KInput::SetKeyDownForTest(5, true);
  KInput::SetKeyDownForTest(97, true);
  window->ProcessEvents();
  EXPECT_EQ(KWindowGL::GetScreenshotCount(), before + 3);
  std::string keptText;
  std::getline(std::ifstream(kept), keptText);
  EXPECT_EQ(keptText, "an earlier run's shot");
  const std::string next = dir + "screenshot" + std::to_string(before + 3) + ".tga";
  EXPECT_TRUE(std::ifstream(next).good());
  std::remove(kept.c_str());
  std::remove(next.c_str());
  HostOverrideProgramDirectory(nullptr);
  KSystem::InitSystem();
}

TEST_F(WindowTest, HotKeyScreenshotHoldsTheFrameBeingPresentedAtEverySize) {
  const std::string dir = ::testing::TempDir();
  HostOverrideProgramDirectory(dir.substr(0, dir.size() - 1).c_str());
  KSystem::InitSystem();
  struct Case { bool fullScreen; float r, g, b; uint8_t expected[4]; };
  const Case cases[] = {{false, 0.0f, 0.0f, 1.0f, {0, 0, 255, 255}},
                        {true, 0.0f, 1.0f, 0.0f, {0, 255, 0, 255}}};
  for (const Case& c : cases) {
    window->ToggleFullScreen(c.fullScreen);
    HostPumpMessages();
    window->SetClearColor(c.r, c.g, c.b, 1.0f);
    window->SetWorldView(0, 0, 0, 1, true);
    const int32_t number = KWindowGL::GetScreenshotCount() + 1;
    KInput::SetKeyDownForTest(5, true);
    KInput::SetKeyDownForTest(97, true);
    window->FlipBackBuffer(false, true);
    ASSERT_EQ(KWindowGL::GetScreenshotCount(), number);
    const std::string file = dir + "screenshot" + std::to_string(number) + ".tga";
    std::vector<uint8_t> bytes = ReadBytes(file);
    HostImage image;
    ASSERT_TRUE(HostDecodeImage(bytes.data(), bytes.size(), kImageTga, 4096, &image));
    ASSERT_EQ(image.width, 800);
    const uint8_t* p = &image.rgba[(300 * 800 + 400) * 4];
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), std::vector<uint8_t>(c.expected, c.expected + 4))
        << (c.fullScreen ? "full screen" : "window");
    std::remove(file.c_str());
  }
  HostOverrideProgramDirectory(nullptr);
  KSystem::InitSystem();
}

TEST_F(WindowTest, RefusedSwitchKeepsTheModeItHad) {
  HostFailModeSwitches(1);
  EXPECT_FALSE(window->ToggleFullScreen(true));
  EXPECT_FALSE(HostIsWindowFullScreen());
  EXPECT_TRUE(window->ToggleFullScreen(true));
  HostFailModeSwitches(1);
  EXPECT_TRUE(window->ToggleFullScreen(false));  // still full screen
  EXPECT_TRUE(HostIsWindowFullScreen());
  EXPECT_FALSE(window->ToggleFullScreen(false));
  HostFailModeSwitches(0);
}
