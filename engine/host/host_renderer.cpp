// Host 2D device on SDL_Renderer.
#include "engine/host/host_renderer.h"

#include <SDL.h>
#include <dirent.h>
#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <thread>
#include <vector>

#include "engine/host/host_scale.h"
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
  bool copyDropped = false;  // the CPU copy was let go; a lock reads the texture back
  uint64_t generation = 0;  // new, process-wide unique value at every upload
  uint64_t usedInList = 0;  // the pending list that last drew with it
};

// One recorded drawing command of the current frame (see HostDevicePresent).
enum class PendingKind : uint8_t { kClear, kClip, kGeometry, kPoints, kLines };
struct PendingCommand {
  PendingKind kind = PendingKind::kClear;
  bool clipOn = false;  // a clip change: the new clip; a draw: the clip it is made with
  bool linear = false;
  SDL_BlendMode mode = SDL_BLENDMODE_NONE;
  SDL_Rect clip{0, 0, 0, 0};
  uint32_t argb = 0;
  HostSurface* surface = nullptr;
  uint64_t generation = 0;
  size_t firstVertex = 0, vertexCount = 0;
  size_t firstIndex = 0, indexCount = 0;
  bool covers = false;  // sets every pixel of the back buffer, whatever was there
};

struct HostDevice {
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* backBuffer = nullptr;  // null when drawing into `frame`
  // SDL's software renderer draws into this surface of the frame's size, and
  // presenting scales only what changed into the window's own pixels.
  SDL_Surface* frame = nullptr;
  SDL_Window* window = nullptr;      // the window `frame` is shown in
  HostScaleMap scaleMap;             // of the last frame shown from `frame`
  std::vector<uint32_t> scaleRow;    // scratch of the scaler
  SDL_Surface* converted = nullptr;  // for a window whose pixels are not 32-bit RGB
  SDL_Surface* shownSurface = nullptr;  // the window surface the last frame went to
  std::vector<SDL_Rect> updated;     // scratch: window rectangles written
  std::chrono::steady_clock::time_point lastRefresh{};  // when the last frame from `frame` was due
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

  // The frame being drawn is recorded here and only handed to SDL when it is
  // presented, so a frame identical to the one on screen costs no pixel work.
  std::vector<PendingCommand> pending;
  std::vector<SDL_Vertex> pendingVertices;
  std::vector<int> pendingIndices;
  uint64_t listSerial = 1;           // tells one pending list from the next
  bool listStartClipOn = false;      // the clip in force when the list began
  SDL_Rect listStartClip{0, 0, 0, 0};
  bool frameCovered = false;         // some command overwrote every pixel
  bool listIsWholeFrame = false;     // the list began right after a present
  // The list of the frame on screen (valid with shownValid): a new frame that
  // differs from it in a few draws is redrawn only where they are.
  std::vector<PendingCommand> shown;
  std::vector<SDL_Vertex> shownVertices;
  std::vector<int> shownIndices;
  bool shownIsWholeFrame = false;
  uint64_t partialRedraws = 0;
  bool windowKeepsImage = false;  // the window's pixels stay between presents (drawn from `frame`)
  std::vector<HostRect> dirty;  // scratch: where the frame being shown changed
  bool shownValid = false;           // the window and back buffer show shownHash
  uint64_t shownHash = 0;
  int shownOutputW = 0, shownOutputH = 0;
  std::atomic<bool> windowDirty{false};  // exposed, resized, shown again ...
  uint64_t presents = 0;
};

namespace {

constexpr int kMaxVerticesPerDraw = 65536;
constexpr float kHalfPixel = 0.5f;
constexpr float kMaxCoordinate = 1.0e6f;
constexpr unsigned int kGLRenderer = 0x1F01;  // glGetString's GL_RENDERER
constexpr size_t kGLNameSize = 256;
constexpr const char* kGpuNodeDir = "/dev/dri";       // render nodes of the GPU drivers
constexpr const char* kNvidiaNode = "/dev/nvidiactl";  // the vendor driver's own node
constexpr const char* kRenderNodePrefix = "renderD";
// OpenGL renderer names (lower case) of drivers that rasterise on the processor.
constexpr const char* kSoftGLNames[] = {"llvmpipe", "softpipe", "software rasterizer", "swrast",
                                        "gdi generic"};

constexpr double kUnknownRefreshMs = 1000.0 / 60.0;  // a display that does not say its rate
constexpr size_t kMaxPendingVertices = 1u << 20;  // a longer frame goes to SDL in parts
// A frame is redrawn only where it changed while that is at most this share
// of its area; beyond it the whole frame is cheaper to draw than to sort out.
constexpr double kMaxDirtyShare = 0.5;
constexpr int kMaxDirtyPasses = 8;  // rounds of taking uncuttable draws whole
constexpr size_t kMaxDirtyRegions = 8;  // separate regions redrawn in one frame
constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

int SDLCALL resetWatch(void* user, SDL_Event* event) {
  HostDevice* d = static_cast<HostDevice*>(user);
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET) {
    d->lost = true;
    d->windowDirty = true;
  } else if (event->type == SDL_WINDOWEVENT) {
    // Anything that may have spoiled or resized the window's pixels.
    switch (event->window.event) {
      case SDL_WINDOWEVENT_SHOWN:
      case SDL_WINDOWEVENT_EXPOSED:
      case SDL_WINDOWEVENT_RESIZED:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_MINIMIZED:
      case SDL_WINDOWEVENT_MAXIMIZED:
      case SDL_WINDOWEVENT_RESTORED:
      case SDL_WINDOWEVENT_MOVED:
        d->windowDirty = true;
        break;
      default:
        break;
    }
  }
  return 0;
}

uint64_t fnv(uint64_t h, const void* data, size_t n) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * kFnvPrime;
  return h;
}

template <typename T>
uint64_t fnvValue(uint64_t h, T v) {
  return fnv(h, &v, sizeof v);
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

void setSdlClip(SDL_Renderer* r, bool on, const SDL_Rect& rect) {
  SDL_RenderSetClipRect(r, on ? &rect : nullptr);
}

void applyClip(HostDevice* d) { setSdlClip(d->renderer, d->clipOn, d->clip); }

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

uint64_t nextGeneration() {
  static std::atomic<uint64_t> counter{0};
  return ++counter;
}

// Starts an empty list; the clip in force now is where its replay begins.
void resetPending(HostDevice* d) {
  d->pending.clear();
  d->pendingVertices.clear();
  d->pendingIndices.clear();
  ++d->listSerial;
  d->listStartClipOn = d->clipOn;
  d->listStartClip = d->clip;
  d->frameCovered = false;
}

PendingCommand& addCommand(HostDevice* d, PendingKind kind) {
  d->pending.emplace_back();
  PendingCommand& c = d->pending.back();
  c.kind = kind;
  return c;
}

void replayGeometry(HostDevice* d, const PendingCommand& c) {
  SDL_Renderer* r = d->renderer;
  SDL_Texture* tex = nullptr;
  if (c.surface != nullptr) {
    tex = c.surface->texture;
    if (tex == nullptr) return;
    const SDL_ScaleMode wanted = c.linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
    SDL_ScaleMode current = SDL_ScaleModeNearest;
    SDL_GetTextureScaleMode(tex, &current);
    if (current != wanted) {
      // Queued draws must still sample the way they were issued.
      SDL_RenderFlush(r);
      SDL_SetTextureScaleMode(tex, wanted);
    }
    if (SDL_SetTextureBlendMode(tex, c.mode) != 0) SDL_SetTextureBlendMode(tex, SDL_BLENDMODE_BLEND);
  } else if (SDL_SetRenderDrawBlendMode(r, c.mode) != 0) {
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
  }
  SDL_RenderGeometry(r, tex, &d->pendingVertices[c.firstVertex], static_cast<int>(c.vertexCount),
                     &d->pendingIndices[c.firstIndex], static_cast<int>(c.indexCount));
}

void replayPointsOrLines(HostDevice* d, const PendingCommand& c) {
  SDL_Renderer* r = d->renderer;
  const SDL_Vertex* v = &d->pendingVertices[c.firstVertex];
  const SDL_Color col = v[0].color;
  if (SDL_SetRenderDrawBlendMode(r, c.mode) != 0) SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(r, col.r, col.g, col.b, col.a);
  if (c.kind == PendingKind::kPoints) {
    for (size_t i = 0; i < c.vertexCount; ++i) {
      SDL_RenderDrawPoint(r, pixelOf(v[i].position.x), pixelOf(v[i].position.y));
    }
    return;
  }
  for (size_t i = 0; i + 1 < c.vertexCount; i += 2) {
    SDL_RenderDrawLine(r, pixelOf(v[i].position.x), pixelOf(v[i].position.y),
                       pixelOf(v[i + 1].position.x), pixelOf(v[i + 1].position.y));
  }
}

// Hands the recorded commands to SDL, in order, exactly as they were issued.
// Where the replay of the recorded list can start: at its last command that
// sets every pixel (what came before it is overwritten unseen), else at the
// beginning. The clip in force there is returned too.
size_t firstVisibleCommand(const HostDevice* d, bool* clipOn, SDL_Rect* clip) {
  size_t first = 0;
  for (size_t i = d->pending.size(); i-- > 0;) {
    if (d->pending[i].covers) {
      first = i;
      break;
    }
  }
  *clipOn = d->listStartClipOn;
  *clip = d->listStartClip;
  for (size_t i = 0; i < first; ++i) {
    const PendingCommand& c = d->pending[i];
    if (c.kind != PendingKind::kClip) continue;
    *clipOn = c.clipOn;
    *clip = c.clip;
  }
  return first;
}

void replayPending(HostDevice* d) {
  SDL_Renderer* r = d->renderer;
  bool clipOn = false;
  SDL_Rect clip{0, 0, 0, 0};
  const size_t first = firstVisibleCommand(d, &clipOn, &clip);
  setSdlClip(r, clipOn, clip);
  for (size_t i = first; i < d->pending.size(); ++i) {
    const PendingCommand& c = d->pending[i];
    switch (c.kind) {
      case PendingKind::kClear: {
        const SDL_Color col = colorFromArgb(c.argb);
        SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
        SDL_SetRenderDrawColor(r, col.r, col.g, col.b, col.a);
        SDL_RenderClear(r);
        break;
      }
      case PendingKind::kClip: setSdlClip(r, c.clipOn, c.clip); break;
      case PendingKind::kGeometry: replayGeometry(d, c); break;
      case PendingKind::kPoints:
      case PendingKind::kLines: replayPointsOrLines(d, c); break;
    }
  }
}

// Sends what is recorded so far into the back buffer (before a read-back, a
// texture change under a queued draw, or an overlong frame). If that drew
// anything, the back buffer no longer holds the frame on screen.
void flushPending(HostDevice* d) {
  bool drew = false;
  for (const PendingCommand& c : d->pending) drew = drew || c.kind != PendingKind::kClip;
  if (!d->pending.empty()) replayPending(d);
  resetPending(d);
  d->listIsWholeFrame = false;
  if (drew) d->shownValid = false;
}

// FNV-1a over everything that decides the pixels of the recorded list. Clip
// changes count through the clip each draw was made with, so where they were
// issued (or whether the list was flushed in between) does not matter.
uint64_t pendingHash(const HostDevice* d) {
  uint64_t h = kFnvOffset;
  for (const PendingCommand& c : d->pending) {
    if (c.kind == PendingKind::kClip) continue;
    h = fnvValue(h, static_cast<uint8_t>(c.kind));
    h = fnvValue(h, c.clipOn);
    h = fnvValue(h, c.linear);
    h = fnvValue(h, static_cast<int32_t>(c.mode));
    h = fnv(h, &c.clip, sizeof c.clip);
    h = fnvValue(h, c.argb);
    h = fnvValue(h, c.generation);
    h = fnvValue(h, static_cast<uint64_t>(c.vertexCount));
    h = fnvValue(h, static_cast<uint64_t>(c.indexCount));
  }
  if (!d->pendingVertices.empty()) {
    h = fnv(h, d->pendingVertices.data(), d->pendingVertices.size() * sizeof(SDL_Vertex));
  }
  if (!d->pendingIndices.empty()) {
    h = fnv(h, d->pendingIndices.data(), d->pendingIndices.size() * sizeof(int));
  }
  return h;
}

// Pixel bounds of a recorded draw, grown by a pixel on every side so that
// any rasterisation rule stays inside.
HostRect commandBounds(const PendingCommand& c, const SDL_Vertex* vertices) {
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  for (size_t i = 0; i < c.vertexCount; ++i) {
    const SDL_FPoint& p = vertices[c.firstVertex + i].position;
    if (i == 0 || p.x < x0) x0 = p.x;
    if (i == 0 || p.y < y0) y0 = p.y;
    if (i == 0 || p.x > x1) x1 = p.x;
    if (i == 0 || p.y > y1) y1 = p.y;
  }
  const int left = pixelOf(x0) - 1, top = pixelOf(y0) - 1;
  return HostRect{left, top, pixelOf(x1) + 2 - left, pixelOf(y1) + 2 - top};
}

// True when a draw gives the same pixels whatever clip cuts it: untextured
// triangles, or an upright textured rectangle on whole pixels copied texel
// for texel. Scaled, turned, line and point draws are not cut: a region
// that touches them takes them whole.
bool clipSafe(const PendingCommand& c, const SDL_Vertex* vertices) {
  if (c.kind != PendingKind::kGeometry) return false;
  if (c.surface == nullptr) return true;
  if (c.vertexCount != 4 || c.surface->width < 1) return false;
  const SDL_Vertex* v = vertices + c.firstVertex;
  // The fan 0-1-2, 0-2-3 of an upright rectangle: 0 and 2 opposite corners.
  const bool upright = (v[0].position.x == v[3].position.x && v[1].position.x == v[2].position.x &&
                        v[0].position.y == v[1].position.y && v[2].position.y == v[3].position.y) ||
                       (v[0].position.y == v[3].position.y && v[1].position.y == v[2].position.y &&
                        v[0].position.x == v[1].position.x && v[2].position.x == v[3].position.x);
  if (!upright) return false;
  for (int i = 0; i < 4; ++i) {
    if (v[i].position.x != std::floor(v[i].position.x) ||
        v[i].position.y != std::floor(v[i].position.y)) {
      return false;
    }
  }
  const float texW = static_cast<float>(c.surface->width);
  const float texH = static_cast<float>(c.surface->height);
  const float spanX = std::fabs(v[2].position.x - v[0].position.x);
  const float spanY = std::fabs(v[2].position.y - v[0].position.y);
  return std::fabs(v[2].tex_coord.x - v[0].tex_coord.x) * texW == spanX &&
         std::fabs(v[2].tex_coord.y - v[0].tex_coord.y) * texH == spanY;
}

bool sameCommand(const PendingCommand& a, const SDL_Vertex* av, const int* ai,
                 const PendingCommand& b, const SDL_Vertex* bv, const int* bi) {
  if (a.kind != b.kind || a.clipOn != b.clipOn || a.linear != b.linear || a.mode != b.mode ||
      a.argb != b.argb || a.surface != b.surface || a.generation != b.generation ||
      a.vertexCount != b.vertexCount || a.indexCount != b.indexCount) {
    return false;
  }
  if (a.clipOn && std::memcmp(&a.clip, &b.clip, sizeof a.clip) != 0) return false;
  return std::memcmp(av + a.firstVertex, bv + b.firstVertex, a.vertexCount * sizeof(SDL_Vertex)) ==
             0 &&
         (a.indexCount == 0 ||
          std::memcmp(ai + a.firstIndex, bi + b.firstIndex, a.indexCount * sizeof(int)) == 0);
}

HostRect unite(const HostRect& a, const HostRect& b) {
  if (a.w <= 0 || a.h <= 0) return b;
  if (b.w <= 0 || b.h <= 0) return a;
  const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
  const int x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
  return HostRect{x0, y0, x1 - x0, y1 - y0};
}

bool overlaps(const HostRect& a, const HostRect& b) {
  return a.w > 0 && a.h > 0 && b.w > 0 && b.h > 0 && a.x < b.x + b.w && b.x < a.x + a.w &&
         a.y < b.y + b.h && b.y < a.y + a.h;
}

bool contains(const HostRect& outer, const HostRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
         inner.y + inner.h <= outer.y + outer.h;
}

int64_t area(const HostRect& r) { return static_cast<int64_t>(r.w) * r.h; }

// Adds a rectangle to a short list of regions: into the region whose union
// with it grows least beyond the two areas, or as a region of its own while
// there is room.
void addRegion(std::vector<HostRect>* regions, const HostRect& r) {
  if (r.w <= 0 || r.h <= 0) return;
  size_t best = 0;
  int64_t bestWaste = 0;
  for (size_t i = 0; i < regions->size(); ++i) {
    const HostRect& q = (*regions)[i];
    const int64_t waste = area(unite(q, r)) - area(q) - area(r);
    if (i == 0 || waste < bestWaste) {
      bestWaste = waste;
      best = i;
    }
  }
  if (!regions->empty() && (bestWaste <= 0 || regions->size() >= kMaxDirtyRegions)) {
    (*regions)[best] = unite((*regions)[best], r);
  } else {
    regions->push_back(r);
  }
}

// The parts of the back buffer where the recorded frame differs from the one
// it holds (the frame on screen), when they are a small part of it: only
// there must it be drawn again. False when the whole frame is to be drawn.
bool dirtyRegions(const HostDevice* d, std::vector<HostRect>* regions) {
  regions->clear();
  if (!d->shownValid || !d->shownIsWholeFrame || !d->listIsWholeFrame ||
      d->shown.size() != d->pending.size()) {
    return false;
  }
  for (size_t i = 0; i < d->pending.size(); ++i) {
    const PendingCommand& now = d->pending[i];
    const PendingCommand& was = d->shown[i];
    if (now.kind == PendingKind::kClip && was.kind == PendingKind::kClip) continue;
    if (sameCommand(now, d->pendingVertices.data(), d->pendingIndices.data(), was,
                    d->shownVertices.data(), d->shownIndices.data())) {
      continue;
    }
    if (now.kind == PendingKind::kClear || was.kind == PendingKind::kClear ||
        now.kind == PendingKind::kClip || was.kind == PendingKind::kClip) {
      return false;
    }
    addRegion(regions, commandBounds(now, d->pendingVertices.data()));
    addRegion(regions, commandBounds(was, d->shownVertices.data()));
  }
  // Draws that a clip must not cut are taken whole; that may reach others.
  for (int pass = 0;; ++pass) {
    if (pass == kMaxDirtyPasses) return false;
    bool grew = false;
    for (const PendingCommand& c : d->pending) {
      if (c.kind == PendingKind::kClear || c.kind == PendingKind::kClip) continue;
      const HostRect b = commandBounds(c, d->pendingVertices.data());
      for (HostRect& r : *regions) {
        if (!overlaps(b, r) || contains(r, b) || clipSafe(c, d->pendingVertices.data())) continue;
        r = unite(r, b);
        grew = true;
      }
    }
    if (!grew) break;
  }
  int64_t total = 0;
  for (HostRect& r : *regions) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = std::min(r.x + r.w, d->width), y1 = std::min(r.y + r.h, d->height);
    r = HostRect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
    total += area(r);
  }
  return static_cast<double>(total) <=
         kMaxDirtyShare * static_cast<double>(d->width) * d->height;
}

// Replays the recorded list inside the region only: the back buffer holds the
// frame on screen everywhere else, which is what the list would draw there.
// Each region is built afresh from the last command that covers the frame,
// so regions that overlap still come out right.
void replayWithin(HostDevice* d, const HostRect& region) {
  if (region.w <= 0 || region.h <= 0) return;
  SDL_Renderer* r = d->renderer;
  const SDL_Rect area{region.x, region.y, region.w, region.h};
  bool clipOn = false;
  SDL_Rect clip{0, 0, 0, 0};
  const size_t first = firstVisibleCommand(d, &clipOn, &clip);
  for (size_t i = first; i < d->pending.size(); ++i) {
    const PendingCommand& c = d->pending[i];
    if (c.kind == PendingKind::kClip) continue;
    SDL_Rect limit = area;
    if (c.kind == PendingKind::kClear) {
      // A clear of the region is a fill of it.
      const SDL_Color col = colorFromArgb(c.argb);
      SDL_RenderSetClipRect(r, &area);
      SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
      SDL_SetRenderDrawColor(r, col.r, col.g, col.b, col.a);
      SDL_RenderFillRect(r, &area);
      continue;
    }
    if (!overlaps(commandBounds(c, d->pendingVertices.data()), region)) continue;
    if (c.clipOn && !SDL_IntersectRect(&c.clip, &area, &limit)) continue;
    SDL_RenderSetClipRect(r, &limit);
    if (c.kind == PendingKind::kGeometry) {
      replayGeometry(d, c);
    } else {
      replayPointsOrLines(d, c);
    }
  }
}

// True when the quad (drawn as the fan 0-1-2, 0-2-3) is an upright rectangle
// holding the whole w x h frame.
bool quadCoversFrame(const SDL_Vertex* v, int w, int h) {
  float x0 = v[0].position.x, x1 = x0, y0 = v[0].position.y, y1 = y0;
  for (int i = 1; i < 4; ++i) {
    x0 = std::min(x0, v[i].position.x);
    x1 = std::max(x1, v[i].position.x);
    y0 = std::min(y0, v[i].position.y);
    y1 = std::max(y1, v[i].position.y);
  }
  if (!(x0 <= 0.0f && y0 <= 0.0f && x1 >= static_cast<float>(w) && y1 >= static_cast<float>(h))) {
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    const float x = v[i].position.x, y = v[i].position.y;
    if ((x != x0 && x != x1) || (y != y0 && y != y1)) return false;
  }
  // Opposite corners on the shared diagonal: the two triangles do not overlap.
  return v[0].position.x != v[2].position.x && v[0].position.y != v[2].position.y &&
         v[1].position.x != v[3].position.x && v[1].position.y != v[3].position.y;
}

// True when the draw about to be recorded sets every pixel of the back buffer
// without looking at what was there.
bool drawCoversFrame(const HostDevice* d, SDL_BlendMode mode, const SDL_Vertex* v, int count) {
  if (count != 4) return false;
  if (d->clipOn && (d->clip.x > 0 || d->clip.y > 0 || d->clip.x + d->clip.w < d->width ||
                    d->clip.y + d->clip.h < d->height)) {
    return false;
  }
  bool opaque = mode == SDL_BLENDMODE_NONE;
  if (!opaque && mode == SDL_BLENDMODE_BLEND && d->texture == nullptr) {
    opaque = true;
    for (int i = 0; i < 4; ++i) opaque = opaque && v[i].color.a == 255;
  }
  return opaque && quadCoversFrame(v, d->width, d->height);
}

}  // namespace

bool HostHasGpuNode(const char* dir) {
  if (dir == nullptr) return false;
  DIR* d = opendir(dir);
  if (d == nullptr) return false;
  bool found = false;
  while (const dirent* entry = readdir(d)) {
    if (SDL_strncmp(entry->d_name, kRenderNodePrefix, SDL_strlen(kRenderNodePrefix)) != 0) continue;
    char path[PATH_MAX];
    std::snprintf(path, sizeof path, "%s/%s", dir, entry->d_name);
    if (access(path, R_OK | W_OK) == 0) {
      found = true;
      break;
    }
  }
  closedir(d);
  return found;
}

int HostLetterboxBars(int outputW, int outputH, HostRect frame, HostRect bars[4]) {
  int n = 0;
  auto add = [&](int x, int y, int w, int h) {
    if (w > 0 && h > 0) bars[n++] = HostRect{x, y, w, h};
  };
  const int right = frame.x + frame.w, bottom = frame.y + frame.h;
  add(0, 0, outputW, frame.y);                            // above
  add(0, bottom, outputW, outputH - bottom);              // below
  add(0, frame.y, frame.x, frame.h);                      // left
  add(right, frame.y, outputW - right, frame.h);          // right
  return n;
}

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

namespace {

constexpr size_t kDriverNameSize = 32;
int failDeviceCreations = 0;          // test seam: see HostFailDeviceCreations
char workingDriver[kDriverNameSize];  // the last driver a device was made with
char workingHint[kDriverNameSize];    // the driver asked for by name back then

const char* driverHint() {
  const char* hint = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  return hint != nullptr ? hint : "";
}

// Index of workingDriver among SDL's render drivers, -1 when none yet or
// when another driver is asked for by name now.
int knownDriverIndex() {
  if (workingDriver[0] == 0 || SDL_strcmp(workingHint, driverHint()) != 0) return -1;
  const int count = SDL_GetNumRenderDrivers();
  for (int i = 0; i < count; ++i) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(i, &info) == 0 && info.name != nullptr &&
        SDL_strcmp(info.name, workingDriver) == 0) {
      return i;
    }
  }
  return -1;
}

bool isSoftwareName(const char* text) {
  if (text == nullptr) return false;
  char lower[kGLNameSize];
  size_t n = 0;
  for (; text[n] != 0 && n + 1 < sizeof lower; ++n) {
    lower[n] = static_cast<char>(SDL_tolower(static_cast<unsigned char>(text[n])));
  }
  lower[n] = 0;
  for (const char* name : kSoftGLNames) {
    if (SDL_strstr(lower, name) != nullptr) return true;
  }
  return false;
}

// True when the renderer draws through OpenGL and the OpenGL driver itself
// rasterises on the processor (Mesa's llvmpipe and the like).
bool drawsThroughSoftGL(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr ||
      SDL_strncmp(info.name, "opengl", 6) != 0) {
    return false;
  }
  using GetString = const unsigned char* (*)(unsigned int);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (getString == nullptr) return false;
  return isSoftwareName(reinterpret_cast<const char*>(getString(kGLRenderer)));
}

// OpenGL rasterised on the processor spends several times what SDL's own
// software renderer needs for the same 2D frame (and holds a second copy of
// every texture): unless a driver was asked for by name, such a renderer is
// swapped for the software one, which then writes straight into the window's
// shared-memory image rather than through OpenGL again.
int softwareDriverIndex() {
  const int count = SDL_GetNumRenderDrivers();
  for (int i = 0; i < count; ++i) {
    SDL_RendererInfo info;
    if (SDL_GetRenderDriverInfo(i, &info) == 0 && info.name != nullptr &&
        SDL_strcmp(info.name, "software") == 0) {
      return i;
    }
  }
  return -1;
}

// SDL's software renderer drawing into a width x height surface of its own
// (set in *frame), which presenting scales into the window's shared-memory
// image rather than handing it to OpenGL again. Null when SDL refuses.
SDL_Renderer* createSoftwareRenderer(int width, int height, SDL_Surface** frame) {
  if (SDL_GetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION) == nullptr) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  *frame = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
  if (*frame == nullptr) return nullptr;
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(*frame);
  if (renderer == nullptr) {
    SDL_FreeSurface(*frame);
    *frame = nullptr;
  }
  return renderer;
}

bool isSoftwareRenderer(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer, &info) == 0 && info.name != nullptr &&
         SDL_strcmp(info.name, "software") == 0;
}

// True when OpenGL can only rasterise on the processor here: no graphics
// device node to reach a GPU through, or Mesa told to stay in software.
bool onlySoftGLPossible() {
  const char* forced = SDL_getenv("LIBGL_ALWAYS_SOFTWARE");
  if (forced != nullptr && forced[0] != 0 && SDL_strcmp(forced, "0") != 0) return true;
  return !HostHasGpuNode(kGpuNodeDir) && access(kNvidiaNode, R_OK | W_OK) != 0;
}

SDL_Renderer* preferSoftwareOverSoftGL(SDL_Renderer* renderer, SDL_Window* window, Uint32 flags,
                                       int width, int height, SDL_Surface** frame) {
  if (driverHint()[0] != 0 || !drawsThroughSoftGL(renderer) || softwareDriverIndex() < 0) {
    return renderer;
  }
  SDL_DestroyRenderer(renderer);
  SDL_Renderer* soft = createSoftwareRenderer(width, height, frame);
  // Should the software renderer fail, OpenGL is still better than nothing.
  return soft != nullptr ? soft : SDL_CreateRenderer(window, -1, flags);
}

}  // namespace

void HostFailDeviceCreations(int count) { failDeviceCreations = count > 0 ? count : 0; }

HostDevice* HostCreateDevice(int width, int height, bool vsync) {
  SDL_Window* window = HostSDLWindow();
  if (failDeviceCreations > 0 && window != nullptr) {
    --failDeviceCreations;
    return nullptr;
  }
  if (window == nullptr || width < 1 || height < 1 || width > kHostMaxSurfaceSide ||
      height > kHostMaxSurfaceSide) {
    return nullptr;
  }
  const Uint32 base = SDL_RENDERER_TARGETTEXTURE;
  // The driver that worked before is asked first: trying drivers that fail
  // (OpenGL on a server without it) makes SDL rebuild the window each time.
  SDL_Renderer* renderer = nullptr;
  SDL_Surface* frame = nullptr;
  const int known = knownDriverIndex();
  if (known >= 0 && known == softwareDriverIndex()) {
    renderer = createSoftwareRenderer(width, height, &frame);
  } else if (known >= 0) {
    renderer = SDL_CreateRenderer(window, known, base | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
    if (renderer == nullptr && vsync) renderer = SDL_CreateRenderer(window, known, base);
  }
  // Without a way to a GPU, OpenGL would be a software rasteriser: loading
  // it only to find that out costs more memory than the whole game.
  if (renderer == nullptr && known < 0 && driverHint()[0] == 0 && onlySoftGLPossible()) {
    renderer = createSoftwareRenderer(width, height, &frame);
  }
  if (renderer == nullptr) {
    renderer = SDL_CreateRenderer(window, -1, base | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0));
  }
  if (renderer == nullptr && vsync) renderer = SDL_CreateRenderer(window, -1, base);
  if (renderer == nullptr) return nullptr;
  if (frame == nullptr && isSoftwareRenderer(renderer)) {
    // Asked for by name: the same renderer, drawing into a frame of its own.
    SDL_DestroyRenderer(renderer);
    renderer = createSoftwareRenderer(width, height, &frame);
  }
  if (frame == nullptr) {
    renderer = preferSoftwareOverSoftGL(renderer, window, base, width, height, &frame);
  }
  if (renderer == nullptr) return nullptr;
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) == 0 && info.name != nullptr) {
    SDL_strlcpy(workingDriver, info.name, sizeof workingDriver);
    SDL_strlcpy(workingHint, driverHint(), sizeof workingHint);
  }
  // Drawing into `frame` needs no back buffer texture.
  SDL_Texture* back = nullptr;
  if (frame == nullptr) {
    back = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width,
                             height);
  }
  HostDevice* d = nullptr;
  if ((back != nullptr || frame != nullptr) && SDL_SetRenderTarget(renderer, back) == 0) {
    d = new (std::nothrow) HostDevice();
  }
  if (d == nullptr) {
    if (back != nullptr) SDL_DestroyTexture(back);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(frame);
    return nullptr;
  }
  d->renderer = renderer;
  d->backBuffer = back;
  d->frame = frame;
  d->window = window;
  // The window's pixels stay between presents when they are written from `frame`.
  d->windowKeepsImage = frame != nullptr;
  if (frame != nullptr) d->vsync = vsync ? 1 : 0;  // the device's own wait (waitForRefresh)
  d->width = width;
  d->height = height;
  for (HostMatrix& m : d->transforms) m = HostMatrixIdentity();
  resetPending(d);
  if (back != nullptr) {
    // The back buffer replaces the window's pixels when shown, alpha and all.
    SDL_SetTextureBlendMode(back, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(back, SDL_ScaleModeNearest);
  }
  HostDeviceClear(d, 0xFF000000u);
  flushPending(d);
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
  if (d->backBuffer != nullptr) SDL_DestroyTexture(d->backBuffer);
  SDL_DestroyRenderer(d->renderer);
  SDL_FreeSurface(d->frame);
  SDL_FreeSurface(d->converted);
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

bool HostDeviceHasVSync(const HostDevice* d) {
  SDL_RendererInfo info;
  if (d == nullptr || d->vsync == 0) return false;
  if (d->frame != nullptr) return true;  // waitForRefresh
  if (SDL_GetRendererInfo(d->renderer, &info) != 0) return false;
  return (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
}

void HostDeviceClear(HostDevice* d, uint32_t argb) {
  if (d == nullptr || HostRasterDisabled()) return;
  PendingCommand& c = addCommand(d, PendingKind::kClear);
  c.argb = argb;
  // A clear ignores the clip: it sets every pixel.
  c.covers = true;
  d->frameCovered = true;
}

namespace {

// The frame's place in an outputW x outputH window: scaled to fit, centred.
HostRect frameInWindow(const HostDevice* d, int outputW, int outputH) {
  const double scale = std::fmin(static_cast<double>(outputW) / d->width,
                                 static_cast<double>(outputH) / d->height);
  const int w = static_cast<int>(std::lround(d->width * scale));
  const int h = static_cast<int>(std::lround(d->height * scale));
  return HostRect{(outputW - w) / 2, (outputH - h) / 2, w, h};
}

// Shows the back buffer texture through SDL, scaled into the window with the
// bars around it (a GPU driver's window keeps nothing from the last frame).
void showBackBuffer(HostDevice* d, int ow, int oh) {
  SDL_SetRenderTarget(d->renderer, nullptr);
  SDL_SetRenderDrawBlendMode(d->renderer, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(d->renderer, 0, 0, 0, 255);
  if (ow <= 0 || oh <= 0) {
    SDL_RenderClear(d->renderer);
    SDL_RenderPresent(d->renderer);
    return;
  }
  const HostRect at = frameInWindow(d, ow, oh);
  const SDL_Rect dst{at.x, at.y, at.w, at.h};
  const SDL_ScaleMode wanted =
      HostScaleIsLinear(ow, oh, d->width, d->height) ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
  SDL_ScaleMode current = SDL_ScaleModeNearest;
  SDL_GetTextureScaleMode(d->backBuffer, &current);
  if (current != wanted) {
    SDL_RenderFlush(d->renderer);
    SDL_SetTextureScaleMode(d->backBuffer, wanted);
  }
  // Only the bars around the frame are cleared: the copy sets the rest.
  HostRect bars[4];
  const int barCount = HostLetterboxBars(ow, oh, at, bars);
  for (int i = 0; i < barCount; ++i) {
    const SDL_Rect bar{bars[i].x, bars[i].y, bars[i].w, bars[i].h};
    SDL_RenderFillRect(d->renderer, &bar);
  }
  SDL_RenderCopy(d->renderer, d->backBuffer, nullptr, &dst);
  SDL_RenderPresent(d->renderer);
}

bool isRgb32(const SDL_Surface* s) {
  return s->format->format == SDL_PIXELFORMAT_RGB888 ||
         s->format->format == SDL_PIXELFORMAT_ARGB8888;
}

// With vertical sync asked for, a frame shown from `frame` waits for the
// display's next refresh as SDL's software renderer does on its own window
// (which has no real vertical blank either): a slow frame restarts the
// rhythm rather than letting the next ones run early.
void waitForRefresh(HostDevice* d) {
  using Clock = std::chrono::steady_clock;
  if (d->vsync != 1) return;
  const double refresh = HostDisplayRefreshMs();
  const auto interval = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double, std::milli>(refresh > 0.0 ? refresh : kUnknownRefreshMs));
  Clock::time_point now = Clock::now();
  const Clock::time_point due = d->lastRefresh + interval;
  if (d->lastRefresh != Clock::time_point{} && now < due) {
    std::this_thread::sleep_until(due);
    now = Clock::now();
  }
  d->lastRefresh = d->lastRefresh == Clock::time_point{} || now - due > interval ? now : due;
}

// Shows `frame` in the window's surface, scaled on the processor: the whole
// of it with the bars around it, or, onto a window that kept the last frame,
// only the window pixels that read a region that changed.
void showFrame(HostDevice* d, SDL_Surface* window, bool onlyChanged) {
  SDL_RenderFlush(d->renderer);
  const HostRect at = frameInWindow(d, window->w, window->h);
  const bool linear = HostScaleIsLinear(window->w, window->h, d->width, d->height);
  HostScaleMap& map = d->scaleMap;
  if (map.dstW != at.w || map.dstH != at.h || map.linear != linear || map.srcW != d->width ||
      map.srcH != d->height) {
    HostBuildScaleMap(&map, d->width, d->height, at.w, at.h, linear);
    onlyChanged = false;
  }
  // Other pixel formats get the scaled frame converted by SDL.
  SDL_Surface* out = window;
  if (!isRgb32(window)) {
    if (d->converted == nullptr || d->converted->w != window->w || d->converted->h != window->h) {
      SDL_FreeSurface(d->converted);
      d->converted = SDL_CreateRGBSurfaceWithFormat(0, window->w, window->h, 32,
                                                    SDL_PIXELFORMAT_RGB888);
      if (d->converted == nullptr) return;
      onlyChanged = false;
    }
    out = d->converted;
  }
  if (at.w <= 0 || at.h <= 0 || SDL_LockSurface(out) != 0) return;
  if (SDL_MUSTLOCK(d->frame) && SDL_LockSurface(d->frame) != 0) {
    SDL_UnlockSurface(out);
    return;
  }
  uint32_t* origin = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(out->pixels) +
                                                 static_cast<size_t>(out->pitch) * at.y) + at.x;
  const uint32_t* src = static_cast<const uint32_t*>(d->frame->pixels);
  d->updated.clear();
  if (onlyChanged) {
    for (const HostRect& region : d->dirty) {
      const HostRect part = HostScaleDestOf(map, region);
      if (part.w <= 0 || part.h <= 0) continue;
      HostScaleRect(map, src, d->frame->pitch, origin, out->pitch, part, &d->scaleRow);
      d->updated.push_back(SDL_Rect{at.x + part.x, at.y + part.y, part.w, part.h});
    }
  } else {
    HostScaleRect(map, src, d->frame->pitch, origin, out->pitch, HostRect{0, 0, at.w, at.h},
                  &d->scaleRow);
    d->updated.push_back(SDL_Rect{0, 0, window->w, window->h});
  }
  if (SDL_MUSTLOCK(d->frame)) SDL_UnlockSurface(d->frame);
  SDL_UnlockSurface(out);
  if (!onlyChanged) {
    HostRect bars[4];
    const int barCount = HostLetterboxBars(window->w, window->h, at, bars);
    for (int i = 0; i < barCount; ++i) {
      const SDL_Rect bar{bars[i].x, bars[i].y, bars[i].w, bars[i].h};
      SDL_FillRect(out, &bar, SDL_MapRGB(out->format, 0, 0, 0));
    }
  }
  if (out != window) {
    for (SDL_Rect r : d->updated) SDL_BlitSurface(out, &r, window, &r);
  }
  // Called even with nothing to update: this is the frame's present, made at
  // the refresh it waited for.
  waitForRefresh(d);
  SDL_UpdateWindowSurfaceRects(d->window, d->updated.data(), static_cast<int>(d->updated.size()));
}

}  // namespace

bool HostDevicePresent(HostDevice* d) {
  if (d == nullptr) return false;
  // Headless runs may switch drawing off (host_window.h): then nothing is
  // shown; what was drawn before that still reaches the back buffer.
  if (HostRasterDisabled()) {
    flushPending(d);
    return false;
  }
  // The window's size: with a target set SDL would answer the target's.
  int ow = 0, oh = 0;
  SDL_Surface* windowSurface = nullptr;
  if (d->frame != nullptr) {
    windowSurface = SDL_GetWindowSurface(d->window);
    if (windowSurface != nullptr) {
      ow = windowSurface->w;
      oh = windowSurface->h;
    }
  } else {
    SDL_SetRenderTarget(d->renderer, nullptr);
    SDL_GetRendererOutputSize(d->renderer, &ow, &oh);
    SDL_SetRenderTarget(d->renderer, d->backBuffer);
  }
  // A frame made of the very commands of the one on screen, over the same
  // textures, and overwriting every pixel, would give the same image: the
  // window keeps its picture and the back buffer still holds it.
  const uint64_t hash = pendingHash(d);
  if (d->shownValid && d->frameCovered && hash == d->shownHash && !d->windowDirty && !d->lost &&
      ow == d->shownOutputW && oh == d->shownOutputH && windowSurface == d->shownSurface) {
    resetPending(d);
    d->listIsWholeFrame = true;
    return false;
  }
  // The window still shows the last frame unless something spoiled it.
  const bool windowIntact = d->windowKeepsImage && !d->windowDirty && d->shownValid &&
                            ow == d->shownOutputW && oh == d->shownOutputH &&
                            windowSurface == d->shownSurface;
  d->windowDirty = false;
  const bool covered = d->frameCovered;
  const bool partial = covered && !d->lost && dirtyRegions(d, &d->dirty);
  if (partial) {
    for (const HostRect& region : d->dirty) replayWithin(d, region);
    ++d->partialRedraws;
  } else {
    replayPending(d);
  }
  if (d->frame != nullptr) {
    if (windowSurface != nullptr) showFrame(d, windowSurface, partial && windowIntact);
  } else {
    showBackBuffer(d, ow, oh);
  }
  ++d->presents;
  // Back to drawing into the back buffer; switching targets drops the clip.
  SDL_SetRenderTarget(d->renderer, d->backBuffer);
  applyClip(d);
  // A window without pixels of its own to write got nothing to keep.
  d->shownValid = covered && !d->lost && (d->frame == nullptr || windowSurface != nullptr);
  d->shownHash = hash;
  d->shownOutputW = ow;
  d->shownOutputH = oh;
  d->shownSurface = windowSurface;
  d->shown.swap(d->pending);
  d->shownVertices.swap(d->pendingVertices);
  d->shownIndices.swap(d->pendingIndices);
  d->shownIsWholeFrame = d->listIsWholeFrame;
  resetPending(d);
  d->listIsWholeFrame = true;
  return true;
}

bool HostDeviceScalesLinear(const HostDevice* d) {
  if (d == nullptr) return false;
  if (d->frame != nullptr) return d->scaleMap.linear;
  SDL_ScaleMode mode = SDL_ScaleModeNearest;
  SDL_GetTextureScaleMode(d->backBuffer, &mode);
  return mode != SDL_ScaleModeNearest;
}

uint64_t HostDevicePresentCount(const HostDevice* d) { return d != nullptr ? d->presents : 0; }

uint64_t HostDevicePartialRedrawCount(const HostDevice* d) {
  return d != nullptr ? d->partialRedraws : 0;
}

bool HostDeviceReadPixels(HostDevice* d, int x, int y, int w, int h, uint32_t* out) {
  if (d == nullptr || out == nullptr || x < 0 || y < 0 || w < 1 || h < 1 || x > d->width - w ||
      y > d->height - h) {
    return false;
  }
  flushPending(d);
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
  PendingCommand& c = addCommand(d, PendingKind::kClip);
  c.clipOn = true;
  c.clip = d->clip;
}

void HostDeviceClearClip(HostDevice* d) {
  if (d == nullptr) return;
  d->clipOn = false;
  addCommand(d, PendingKind::kClip);
}

bool HostDeviceDraw(HostDevice* d, HostPrimitive type, const HostVertex* v, int count) {
  if (d == nullptr || d->lost || v == nullptr || count < 1 || count > kMaxVerticesPerDraw) {
    return false;
  }
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
  const bool pointsOrLines = type == kHostPointList || type == kHostLineList;
  if (!pointsOrLines && count < 3) return false;
  if (!pointsOrLines && d->texture != nullptr &&
      (HostIsSurfaceLost(d->texture) || d->texture->device != d)) {
    return false;
  }
  if (d->pendingVertices.size() + static_cast<size_t>(count) > kMaxPendingVertices) {
    flushPending(d);
  }
  PendingCommand c;
  c.mode = mode;
  c.clipOn = d->clipOn;
  if (d->clipOn) c.clip = d->clip;
  c.firstVertex = d->pendingVertices.size();
  c.vertexCount = static_cast<size_t>(count);
  if (pointsOrLines) {
    c.kind = type == kHostPointList ? PendingKind::kPoints : PendingKind::kLines;
    d->pendingVertices.insert(d->pendingVertices.end(), d->vertices.begin(), d->vertices.end());
    d->pending.push_back(c);
    return true;
  }
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
  c.kind = PendingKind::kGeometry;
  c.linear = d->linear;
  c.firstIndex = d->pendingIndices.size();
  c.indexCount = d->indices.size();
  if (d->texture != nullptr) {
    c.surface = d->texture;
    c.generation = d->texture->generation;
    d->texture->usedInList = d->listSerial;
  }
  if (drawCoversFrame(d, mode, d->vertices.data(), count)) {
    c.covers = true;
    d->frameCovered = true;
  }
  d->pendingVertices.insert(d->pendingVertices.end(), d->vertices.begin(), d->vertices.end());
  d->pendingIndices.insert(d->pendingIndices.end(), d->indices.begin(), d->indices.end());
  d->pending.push_back(c);
  return true;
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
    // Queued draws with this texture go to SDL while it still exists.
    if (s->usedInList == s->device->listSerial) flushPending(s->device);
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

namespace {

// Rebuilds the CPU copy of a surface from its texture: the texture is copied
// texel for texel into a scratch target and read from there.
bool readBackTexture(HostSurface* s) {
  HostDevice* d = s->device;
  if (d == nullptr || d->lost || s->texture == nullptr) return false;
  std::vector<uint32_t> argb;
  try {
    argb.resize(static_cast<size_t>(s->width) * s->height);
    s->pixels.assign(static_cast<size_t>(s->pitch) * s->height, 0);
  } catch (const std::bad_alloc&) {
    s->pixels.clear();
    return false;
  }
  SDL_Renderer* r = d->renderer;
  SDL_Texture* scratch =
      SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, s->width, s->height);
  if (scratch == nullptr) {
    s->pixels.clear();
    return false;
  }
  flushPending(d);  // queued draws reach the back buffer first
  d->shownValid = false;  // drawing into the scratch target may stir SDL's state
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  SDL_ScaleMode scale = SDL_ScaleModeNearest;
  SDL_GetTextureBlendMode(s->texture, &mode);
  SDL_GetTextureScaleMode(s->texture, &scale);
  SDL_SetTextureBlendMode(s->texture, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(s->texture, SDL_ScaleModeNearest);
  bool ok = SDL_SetRenderTarget(r, scratch) == 0;
  ok = ok && SDL_RenderCopy(r, s->texture, nullptr, nullptr) == 0;
  ok = ok && SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                                  s->width * 4) == 0;
  SDL_SetTextureBlendMode(s->texture, mode);
  SDL_SetTextureScaleMode(s->texture, scale);
  SDL_SetRenderTarget(r, d->backBuffer);
  applyClip(d);
  SDL_DestroyTexture(scratch);
  if (!ok) {
    s->pixels.clear();
    return false;
  }
  for (int y = 0; y < s->height; ++y) {
    uint8_t* row = s->pixels.data() + static_cast<size_t>(s->pitch) * y;
    for (int x = 0; x < s->width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y) * s->width + x];
      if (s->format == kHostA8R8G8B8) {
        std::memcpy(row + static_cast<size_t>(x) * 4, &p, 4);
        continue;
      }
      const uint32_t a = p >> 24, red = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      const uint16_t q = s->format == kHostA4R4G4B4
                             ? static_cast<uint16_t>(((a >> 4) << 12) | ((red >> 4) << 8) |
                                                     ((g >> 4) << 4) | (b >> 4))
                             : static_cast<uint16_t>(((red >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      std::memcpy(row + static_cast<size_t>(x) * 2, &q, 2);
    }
  }
  s->copyDropped = false;
  return true;
}

}  // namespace

void HostDropSurfaceCopy(HostSurface* s) {
  // A keyed surface's texture lacks the key colour: its copy must stay.
  if (s == nullptr || s->keyOn || s->texture == nullptr || s->pixels.empty()) return;
  std::vector<uint8_t>().swap(s->pixels);
  s->copyDropped = true;
}

uint8_t* HostLockSurface(HostSurface* s, int32_t* pitch) {
  if (pitch != nullptr) *pitch = 0;
  if (s == nullptr) return nullptr;
  if (s->pixels.empty() && (!s->copyDropped || !readBackTexture(s))) return nullptr;
  if (pitch != nullptr) *pitch = s->pitch;
  return s->pixels.data();
}

void HostUnlockSurface(HostSurface* s) {
  if (s == nullptr || s->texture == nullptr || s->pixels.empty()) return;
  // Queued draws with this texture must still see its old texels.
  if (s->device != nullptr && s->usedInList == s->device->listSerial) flushPending(s->device);
  s->generation = nextGeneration();
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
