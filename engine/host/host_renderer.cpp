// Host 2D device on SDL_Renderer.
#include "engine/host/host_renderer.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "engine/host/host_window.h"

struct HostSurface {
  HostDevice* device = nullptr;
  SDL_Texture* texture = nullptr;
  int width = 0, height = 0;
  HostSurfaceFormat format = kHostA8R8G8B8;
  std::vector<uint8_t> pixels;  // CPU copy, rows top first
  int32_t pitch = 0;
  bool keyOn = false;
  uint32_t key = 0;
  bool lost = false;
};

struct HostDevice {
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* backBuffer = nullptr;
  int width = 0, height = 0;
  HostMatrix transforms[3];
  bool alphaBlend = false;
  int32_t blendSrc = kHostBlendSrcAlpha, blendDst = kHostBlendInvSrcAlpha;
  bool linear = false;
  HostSurface* texture = nullptr;
  bool clipOn = false;
  SDL_Rect clip{0, 0, 0, 0};
  int vsync = -1;  // last vertical-sync setting given to SDL, -1 = as created
  std::atomic<bool> lost{false};
  std::vector<HostSurface*> surfaces;  // every live surface made on this device
  std::vector<SDL_Vertex> vertices;    // scratch for one primitive
  std::vector<int> indices;
};

namespace {

constexpr int kMaxVerticesPerDraw = 65536;
constexpr float kHalfPixel = 0.5f;
constexpr float kMaxCoordinate = 1.0e6f;

int SDLCALL resetWatch(void* user, SDL_Event* event) {
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) {
    static_cast<HostDevice*>(user)->lost = true;
  }
  return 0;
}

SDL_BlendFactor sdlFactor(int32_t f) {
  switch (f) {
    case kHostBlendZero: return SDL_BLENDFACTOR_ZERO;
    case kHostBlendOne: return SDL_BLENDFACTOR_ONE;
    case kHostBlendInvSrcAlpha: return SDL_BLENDFACTOR_ONE_MINUS_SRC_ALPHA;
    case kHostBlendDestAlpha: return SDL_BLENDFACTOR_DST_ALPHA;
    case kHostBlendSrcAlpha:
    default: return SDL_BLENDFACTOR_SRC_ALPHA;
  }
}

SDL_BlendMode blendModeFor(const HostDevice& d) {
  if (!d.alphaBlend) return SDL_BLENDMODE_NONE;
  if (d.blendSrc == kHostBlendSrcAlpha && d.blendDst == kHostBlendInvSrcAlpha) {
    return SDL_BLENDMODE_BLEND;
  }
  const SDL_BlendFactor s = sdlFactor(d.blendSrc), t = sdlFactor(d.blendDst);
  return SDL_ComposeCustomBlendMode(s, t, SDL_BLENDOPERATION_ADD, s, t, SDL_BLENDOPERATION_ADD);
}

Uint32 sdlFormat(HostSurfaceFormat f) {
  switch (f) {
    case kHostA4R4G4B4: return SDL_PIXELFORMAT_ARGB4444;
    case kHostX1R5G5B5: return SDL_PIXELFORMAT_RGB555;
    case kHostA8R8G8B8:
    default: return SDL_PIXELFORMAT_ARGB8888;
  }
}

int bytesPerPixel(HostSurfaceFormat f) { return f == kHostA8R8G8B8 ? 4 : 2; }

SDL_Color colorFromArgb(uint32_t argb) {
  return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                   static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

void applyClip(HostDevice* d) {
  if (d->clipOn) {
    SDL_RenderSetClipRect(d->renderer, &d->clip);
  } else {
    SDL_RenderSetClipRect(d->renderer, nullptr);
  }
}

// Creates the texture of a surface on its device and uploads the CPU copy.
bool createTexture(HostSurface* s) {
  s->texture = SDL_CreateTexture(s->device->renderer, sdlFormat(s->format),
                                 SDL_TEXTUREACCESS_STATIC, s->width, s->height);
  return s->texture != nullptr;
}

// Removes the rounding noise of the transforms (a quad edge computed as
// 23.99999 must stay on 24: some drivers truncate positions).
constexpr float kSnapGrid = 1024.0f;
float snap(float v) {
  if (!(v == v) || std::fabs(v) > 1.0e6f) return v;
  return std::round(v * kSnapGrid) / kSnapGrid;
}

// Pixel (x, y) of a finite float position; huge values are clamped so the
// integer conversion stays defined.
int pixelOf(float v) {
  if (!(v == v)) return 0;
  const float c = std::min(std::max(v, -1.0e6f), 1.0e6f);
  return static_cast<int>(std::floor(c));
}

}  // namespace

// --- matrices ----------------------------------------------------------------------

HostMatrix HostMatrixIdentity() {
  HostMatrix r{};
  for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
  return r;
}

HostMatrix HostMatrixMultiply(const HostMatrix& a, const HostMatrix& b) {
  HostMatrix r{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
      r.m[i][j] = sum;
    }
  }
  return r;
}

HostMatrix HostMatrixTranslation(float x, float y, float z) {
  HostMatrix r = HostMatrixIdentity();
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

HostMatrix HostMatrixRotationZ(float radians) {
  HostMatrix r = HostMatrixIdentity();
  const float c = std::cos(radians), s = std::sin(radians);
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return r;
}

HostMatrix HostMatrixScaling(float x, float y, float z) {
  HostMatrix r{};
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  r.m[3][3] = 1.0f;
  return r;
}

HostMatrix HostMatrixOrtho(float w, float h, float zNear, float zFar) {
  HostMatrix r{};
  r.m[0][0] = w != 0.0f ? 2.0f / w : 0.0f;
  r.m[1][1] = h != 0.0f ? 2.0f / h : 0.0f;
  const float depth = zFar - zNear;
  r.m[2][2] = depth != 0.0f ? 1.0f / depth : 0.0f;
  r.m[3][2] = depth != 0.0f ? -zNear / depth : 0.0f;
  r.m[3][3] = 1.0f;
  return r;
}

// --- device --------------------------------------------------------------------------

HostDevice* HostCreateDevice(int width, int height, bool vsync) {
  SDL_Window* window = HostSDLWindow();
  if (window == nullptr || width < 1 || height < 1 || width > kHostMaxSurfaceSide ||
      height > kHostMaxSurfaceSide) {
    return nullptr;
  }
  const Uint32 base = SDL_RENDERER_TARGETTEXTURE;
  SDL_Renderer* renderer =
      SDL_CreateRenderer(window, -1, base | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
  if (renderer == nullptr && vsync) renderer = SDL_CreateRenderer(window, -1, base);
  if (renderer == nullptr) return nullptr;
  SDL_Texture* back = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                        SDL_TEXTUREACCESS_TARGET, width, height);
  if (back == nullptr || SDL_SetRenderTarget(renderer, back) != 0) {
    if (back != nullptr) SDL_DestroyTexture(back);
    SDL_DestroyRenderer(renderer);
    return nullptr;
  }
  HostDevice* d = new (std::nothrow) HostDevice();
  if (d == nullptr) {
    SDL_DestroyTexture(back);
    SDL_DestroyRenderer(renderer);
    return nullptr;
  }
  d->renderer = renderer;
  d->backBuffer = back;
  d->width = width;
  d->height = height;
  for (HostMatrix& m : d->transforms) m = HostMatrixIdentity();
  // The back buffer replaces the window's pixels when shown, alpha and all.
  SDL_SetTextureBlendMode(back, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(back, SDL_ScaleModeNearest);
  HostDeviceClear(d, 0xFF000000u);
  SDL_AddEventWatch(resetWatch, d);
  return d;
}

void HostDestroyDevice(HostDevice* d) {
  if (d == nullptr) return;
  SDL_DelEventWatch(resetWatch, d);
  for (HostSurface* s : d->surfaces) {
    if (s->texture != nullptr) SDL_DestroyTexture(s->texture);
    s->texture = nullptr;
    s->device = nullptr;
    s->lost = true;
  }
  SDL_DestroyTexture(d->backBuffer);
  SDL_DestroyRenderer(d->renderer);
  delete d;
}

const char* HostDeviceDriverName(const HostDevice* d) {
  SDL_RendererInfo info;
  if (d == nullptr || SDL_GetRendererInfo(d->renderer, &info) != 0) return "";
  return info.name != nullptr ? info.name : "";
}

int HostDeviceWidth(const HostDevice* d) { return d != nullptr ? d->width : 0; }
int HostDeviceHeight(const HostDevice* d) { return d != nullptr ? d->height : 0; }
bool HostDeviceIsLost(const HostDevice* d) { return d == nullptr || d->lost; }

void HostDeviceSetVSync(HostDevice* d, bool on) {
  if (d == nullptr || d->vsync == (on ? 1 : 0)) return;
  d->vsync = on ? 1 : 0;
  SDL_RenderSetVSync(d->renderer, d->vsync);
}

void HostDeviceClear(HostDevice* d, uint32_t argb) {
  if (d == nullptr || HostRasterDisabled()) return;
  const SDL_Color c = colorFromArgb(argb);
  SDL_SetRenderDrawBlendMode(d->renderer, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(d->renderer, c.r, c.g, c.b, c.a);
  SDL_RenderClear(d->renderer);
}

void HostDevicePresent(HostDevice* d) {
  // Headless runs may switch drawing off (host_window.h): then nothing is shown.
  if (d == nullptr || HostRasterDisabled()) return;
  SDL_SetRenderTarget(d->renderer, nullptr);
  int ow = 0, oh = 0;
  SDL_GetRendererOutputSize(d->renderer, &ow, &oh);
  SDL_SetRenderDrawBlendMode(d->renderer, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(d->renderer, 0, 0, 0, 255);
  SDL_RenderClear(d->renderer);
  if (ow > 0 && oh > 0) {
    const double scale = std::fmin(static_cast<double>(ow) / d->width,
                                   static_cast<double>(oh) / d->height);
    const int w = static_cast<int>(std::lround(d->width * scale));
    const int h = static_cast<int>(std::lround(d->height * scale));
    const SDL_Rect dst{(ow - w) / 2, (oh - h) / 2, w, h};
    SDL_RenderCopy(d->renderer, d->backBuffer, nullptr, &dst);
  }
  SDL_RenderPresent(d->renderer);
  // Back to drawing into the back buffer; switching targets drops the clip.
  SDL_SetRenderTarget(d->renderer, d->backBuffer);
  applyClip(d);
}

bool HostDeviceReadPixels(HostDevice* d, int x, int y, int w, int h, uint32_t* out) {
  if (d == nullptr || out == nullptr || x < 0 || y < 0 || w < 1 || h < 1 || x > d->width - w ||
      y > d->height - h) {
    return false;
  }
  const SDL_Rect r{x, y, w, h};
  return SDL_RenderReadPixels(d->renderer, &r, SDL_PIXELFORMAT_ARGB8888, out, w * 4) == 0;
}

void HostDeviceSetTransform(HostDevice* d, HostTransformKind kind, const HostMatrix& m) {
  if (d == nullptr || kind < kHostWorld || kind > kHostProjection) return;
  d->transforms[kind] = m;
}

HostMatrix HostDeviceGetTransform(const HostDevice* d, HostTransformKind kind) {
  if (d == nullptr || kind < kHostWorld || kind > kHostProjection) return HostMatrixIdentity();
  return d->transforms[kind];
}

void HostDeviceSetAlphaBlend(HostDevice* d, bool on) {
  if (d != nullptr) d->alphaBlend = on;
}

void HostDeviceSetBlendFactors(HostDevice* d, int32_t src, int32_t dst) {
  if (d == nullptr) return;
  d->blendSrc = src;
  d->blendDst = dst;
}

void HostDeviceSetLinearFilter(HostDevice* d, bool linear) {
  if (d != nullptr) d->linear = linear;
}

void HostDeviceSetTexture(HostDevice* d, HostSurface* texture) {
  if (d != nullptr) d->texture = texture;
}

void HostDeviceSetClip(HostDevice* d, int x1, int y1, int x2, int y2) {
  if (d == nullptr) return;
  const int left = std::max(0, std::min(x1, d->width)), top = std::max(0, std::min(y1, d->height));
  const int right = std::max(left, std::min(x2, d->width));
  const int bottom = std::max(top, std::min(y2, d->height));
  d->clipOn = true;
  d->clip = SDL_Rect{left, top, right - left, bottom - top};
  // SDL takes an empty rectangle as "no clipping"; clip everything instead.
  if (d->clip.w == 0 || d->clip.h == 0) d->clip = SDL_Rect{-2, -2, 1, 1};
  applyClip(d);
}

void HostDeviceClearClip(HostDevice* d) {
  if (d == nullptr) return;
  d->clipOn = false;
  applyClip(d);
}

bool HostDeviceDraw(HostDevice* d, HostPrimitive type, const HostVertex* v, int count) {
  if (d == nullptr || d->lost || v == nullptr || count < 1 || count > kMaxVerticesPerDraw) {
    return false;
  }
  SDL_Renderer* r = d->renderer;
  const HostMatrix m = HostMatrixMultiply(
      HostMatrixMultiply(d->transforms[kHostWorld], d->transforms[kHostView]),
      d->transforms[kHostProjection]);
  const float halfW = 0.5f * static_cast<float>(d->width);
  const float halfH = 0.5f * static_cast<float>(d->height);
  d->vertices.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const HostVertex& p = v[i];
    const float cx = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    const float cy = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    float cw = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
    if (cw == 0.0f) cw = 1.0f;
    SDL_Vertex& out = d->vertices[static_cast<size_t>(i)];
    out.position.x = snap((cx / cw + 1.0f) * halfW + kHalfPixel);
    out.position.y = snap((1.0f - cy / cw) * halfH + kHalfPixel);
    // Garbage coordinates (not finite, or far outside any frame) draw nothing.
    if (!(std::fabs(out.position.x) <= kMaxCoordinate &&
          std::fabs(out.position.y) <= kMaxCoordinate)) {
      return false;
    }
    out.color = colorFromArgb(p.color);
    out.tex_coord.x = p.tu;
    out.tex_coord.y = p.tv;
  }

  if (HostRasterDisabled()) return true;
  const SDL_BlendMode mode = blendModeFor(*d);
  if (type == kHostPointList || type == kHostLineList) {
    const SDL_Color c = d->vertices[0].color;
    if (SDL_SetRenderDrawBlendMode(r, mode) != 0) {
      SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
    }
    SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
    if (type == kHostPointList) {
      for (const SDL_Vertex& p : d->vertices) {
        SDL_RenderDrawPoint(r, pixelOf(p.position.x), pixelOf(p.position.y));
      }
    } else {
      for (int i = 0; i + 1 < count; i += 2) {
        const SDL_Vertex& a = d->vertices[static_cast<size_t>(i)];
        const SDL_Vertex& b = d->vertices[static_cast<size_t>(i) + 1];
        SDL_RenderDrawLine(r, pixelOf(a.position.x), pixelOf(a.position.y),
                           pixelOf(b.position.x), pixelOf(b.position.y));
      }
    }
    return true;
  }
  if (count < 3) return false;
  d->indices.clear();
  if (count == 4) {
    // A quad goes as the fan (0, 1, 2), (0, 2, 3): SDL's software renderer
    // recognises that shape as a rectangle and copies it texel for texel,
    // where its triangle path would sample neighbouring texels. (It still
    // maps a quarter-turned quad one texel off; the other drivers are exact.)
    if (type == kHostTriangleStrip) std::swap(d->vertices[2], d->vertices[3]);
    d->indices = {0, 1, 2, 0, 2, 3};
  }
  for (int i = 0; count != 4 && i + 2 < count; ++i) {
    if (type == kHostTriangleFan) {
      d->indices.insert(d->indices.end(), {0, i + 1, i + 2});
    } else {
      d->indices.insert(d->indices.end(), {i, i + 1, i + 2});
    }
  }
  SDL_Texture* tex = nullptr;
  if (d->texture != nullptr) {
    if (HostIsSurfaceLost(d->texture) || d->texture->device != d) return false;
    tex = d->texture->texture;
    SDL_ScaleMode wanted = d->linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
    SDL_ScaleMode current = SDL_ScaleModeNearest;
    SDL_GetTextureScaleMode(tex, &current);
    if (current != wanted) {
      // Queued draws must still sample the way they were issued.
      SDL_RenderFlush(r);
      SDL_SetTextureScaleMode(tex, wanted);
    }
    if (SDL_SetTextureBlendMode(tex, mode) != 0) SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
  } else if (SDL_SetRenderDrawBlendMode(r, mode) != 0) {
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
  }
  return SDL_RenderGeometry(r, tex, d->vertices.data(), count, d->indices.data(),
                            static_cast<int>(d->indices.size())) == 0;
}

// --- surfaces ------------------------------------------------------------------------

HostSurface* HostCreateSurface(HostDevice* d, int width, int height, HostSurfaceFormat format) {
  if (d == nullptr || width < 1 || height < 1 || width > kHostMaxSurfaceSide ||
      height > kHostMaxSurfaceSide || format < kHostA8R8G8B8 || format > kHostX1R5G5B5) {
    return nullptr;
  }
  HostSurface* s = new (std::nothrow) HostSurface();
  if (s == nullptr) return nullptr;
  s->device = d;
  s->width = width;
  s->height = height;
  s->format = format;
  s->pitch = width * bytesPerPixel(format);
  try {
    s->pixels.assign(static_cast<size_t>(s->pitch) * static_cast<size_t>(height), 0);
  } catch (const std::bad_alloc&) {
    delete s;
    return nullptr;
  }
  if (!createTexture(s)) {
    delete s;
    return nullptr;
  }
  d->surfaces.push_back(s);
  HostUnlockSurface(s);
  return s;
}

void HostReleaseSurface(HostSurface* s) {
  if (s == nullptr) return;
  if (s->device != nullptr) {
    auto& list = s->device->surfaces;
    list.erase(std::remove(list.begin(), list.end(), s), list.end());
    if (s->device->texture == s) s->device->texture = nullptr;
  }
  if (s->texture != nullptr) SDL_DestroyTexture(s->texture);
  delete s;
}

bool HostIsSurfaceLost(const HostSurface* s) {
  return s == nullptr || s->lost || s->device == nullptr || s->device->lost;
}

int HostSurfaceWidth(const HostSurface* s) { return s != nullptr ? s->width : 0; }
int HostSurfaceHeight(const HostSurface* s) { return s != nullptr ? s->height : 0; }
HostSurfaceFormat HostSurfaceGetFormat(const HostSurface* s) {
  return s != nullptr ? s->format : kHostA8R8G8B8;
}

uint8_t* HostLockSurface(HostSurface* s, int32_t* pitch) {
  if (pitch != nullptr) *pitch = 0;
  if (s == nullptr || s->pixels.empty()) return nullptr;
  if (pitch != nullptr) *pitch = s->pitch;
  return s->pixels.data();
}

void HostUnlockSurface(HostSurface* s) {
  if (s == nullptr || s->texture == nullptr || s->pixels.empty()) return;
  if (!s->keyOn || s->format == kHostX1R5G5B5) {
    SDL_UpdateTexture(s->texture, nullptr, s->pixels.data(), s->pitch);
    return;
  }
  // The keyed copy goes up with the key colour fully transparent; the CPU copy
  // keeps the surface's own pixels.
  std::vector<uint8_t> keyed(s->pixels);
  const size_t n = static_cast<size_t>(s->width) * static_cast<size_t>(s->height);
  if (s->format == kHostA8R8G8B8) {
    for (size_t i = 0; i < n; ++i) {
      uint32_t p;
      std::memcpy(&p, &keyed[i * 4], 4);
      if ((p & 0x00FFFFFFu) == (s->key & 0x00FFFFFFu)) {
        p = 0;
        std::memcpy(&keyed[i * 4], &p, 4);
      }
    }
  } else {
    for (size_t i = 0; i < n; ++i) {
      uint16_t p;
      std::memcpy(&p, &keyed[i * 2], 2);
      if ((p & 0x0FFFu) == (s->key & 0x0FFFu)) {
        p = 0;
        std::memcpy(&keyed[i * 2], &p, 2);
      }
    }
  }
  SDL_UpdateTexture(s->texture, nullptr, keyed.data(), s->pitch);
}

void HostSetSurfaceColorKey(HostSurface* s, bool on, uint32_t key) {
  if (s == nullptr) return;
  s->keyOn = on;
  s->key = key;
}

bool HostRendererWindowMinimized() {
  SDL_Window* window = HostSDLWindow();
  return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0;
}

void HostPushDeviceResetEvent() {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
  SDL_Event e{};
  e.type = SDL_RENDER_DEVICE_RESET;
  SDL_PushEvent(&e);
}
