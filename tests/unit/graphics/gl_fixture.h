// Test-only OpenGL context: a hidden 800 x 600 SDL window with the game window's projection.
#pragma once

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/graphics/KGraphicGL.h"

// A colour as 0xRRGGBBAA, so that failures print readably.
using Rgba = uint32_t;
inline Rgba At(const uint8_t* p) { return (p[0] << 24u) | (p[1] << 16) | (p[2] << 8) | p[3]; }

class GLTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static SDL_GLContext context = nullptr;
    if (context != nullptr) return;
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_Window* window = SDL_CreateWindow("graphics test", 0, 0, 800, 600,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    context = SDL_GL_CreateContext(window);
    ASSERT_NE(context, nullptr) << SDL_GetError();
  }

  void SetUp() override {
    KGraphicGL::SetScreenSize(800, 600, 32);
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 800, 0, 600, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    Clear(0, 0, 0);
    KGraphicGL::ForgetBoundTexture();
  }
  // Every operation must leave GL without an error flag.
  void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

  static void Clear(float r, float g, float b, float a = 1) {
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  // Back-buffer pixel at screen (x, y), y down; alpha reported as 0xFF.
  static Rgba Pixel(int x, int y) {
    uint8_t p[4];
    glReadBuffer(GL_BACK);
    glReadPixels(x, 599 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return At(p) | 0xFF;
  }
  // Texel (x, y) of a surface's texture, row 0 = the picture's top row.
  static Rgba Texel(KGraphicGL& g, int x, int y) {
    const int side = static_cast<int>(g.GetTextureWidth());
    std::vector<uint8_t> t(static_cast<size_t>(side) * side * 4);
    glBindTexture(GL_TEXTURE_2D, g.GetTextureName());
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data());
    KGraphicGL::ForgetBoundTexture();
    return At(&t[(static_cast<size_t>(y) * side + x) * 4]);
  }
};

// Each channel within 2 of the expected value (blending rounds).
inline bool Near(Rgba c, Rgba want) {
  for (int s = 8; s < 32; s += 8) {
    const int a = (c >> s) & 0xFF, b = (want >> s) & 0xFF;
    if (a - b > 2 || b - a > 2) return false;
  }
  return true;
}
