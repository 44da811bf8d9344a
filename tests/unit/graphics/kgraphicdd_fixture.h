// A fresh windowed 800 x 600 KWindowDD per test, on SDL's software renderer by default.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/graphics/KGraphicDD.h"
#include "engine/host/host_renderer.h"
#include "engine/platform/KWindowDD.h"

struct DDColor {
  uint8_t r, g, b, a;
};

inline bool operator==(const DDColor& x, const DDColor& y) {
  return x.r == y.r && x.g == y.g && x.b == y.b && x.a == y.a;
}

inline std::ostream& operator<<(std::ostream& os, const DDColor& c) {
  return os << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

// Chooses the SDL render driver for the windows made afterwards.
inline void UseRenderDriver(const char* name) {
  SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, name, SDL_HINT_OVERRIDE);
}

// A test run once per SDL render driver that gives the OpenGL context current
// before it back afterwards (the GL drivers make their own current).
class PerDriverTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    savedWindow = SDL_GL_GetCurrentWindow();
    savedContext = SDL_GL_GetCurrentContext();
  }
  void TearDown() override {
    if (savedWindow != nullptr) SDL_GL_MakeCurrent(savedWindow, savedContext);
  }
  SDL_Window* savedWindow = nullptr;
  SDL_GLContext savedContext = nullptr;
};

class DDTest : public ::testing::Test {
 protected:
  // Another suite may keep its own GL context current: it gets it back afterwards.
  void SetUp() override {
    savedWindow = SDL_GL_GetCurrentWindow();
    savedContext = SDL_GL_GetCurrentContext();
    UseRenderDriver(driver);
    window = new KWindowDD(depthBuffer);
    ASSERT_TRUE(window->CreateGameWindow(800, 600, 32, true, "surface test"));
    device = window->GetDevice();
    ASSERT_NE(device, nullptr);
    window->SetClearColor(0, 0, 0, 1);
    window->SetWorldView(0, 0, 0, 1, true);
  }

  void TearDown() override {
    delete window;
    window = nullptr;
    if (savedWindow != nullptr) SDL_GL_MakeCurrent(savedWindow, savedContext);
  }

  DDColor Pixel(int x, int y) {
    uint32_t p = 0;
    EXPECT_TRUE(HostDeviceReadPixels(window->GetDevice(), x, y, 1, 1, &p));
    return DDColor{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                   static_cast<uint8_t>(p), 255};
  }

  // Texel (x, y) of a 32-bit surface's CPU copy as (r, g, b, a).
  static DDColor Texel32(HostSurface* s, int x, int y) {
    int32_t pitch = 0;
    const uint8_t* t = HostLockSurface(s, &pitch);
    const uint8_t* p = t + static_cast<size_t>(pitch) * y + x * 4;
    return DDColor{p[2], p[1], p[0], p[3]};
  }

  static uint16_t Texel16(HostSurface* s, int x, int y) {
    int32_t pitch = 0;
    const uint8_t* t = HostLockSurface(s, &pitch);
    const uint8_t* p = t + static_cast<size_t>(pitch) * y + x * 2;
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
  }

  const char* driver = "software";
  bool depthBuffer = false;
  KWindowDD* window = nullptr;
  HostDevice* device = nullptr;
  SDL_Window* savedWindow = nullptr;
  SDL_GLContext savedContext = nullptr;
};
