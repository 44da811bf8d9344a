// Host 2D device on SDL_Renderer: picture surfaces as textures with a CPU copy,
// a back buffer of the logical frame size that presenting scales into the
// window (letterboxed), and primitives drawn with the world, view and
// projection transforms applied on the CPU.
//
// Coordinates handed to the device follow the convention the DirectDraw-style
// window and surfaces are written for: after the transforms and the viewport,
// pixel (x, y) has its centre at (x, y). SDL puts pixel centres at +0.5, so the
// device shifts every transformed vertex by half a pixel before drawing.
#pragma once

#include <cstdint>

struct HostDevice;
struct HostSurface;

// Surface pixel formats.
enum HostSurfaceFormat : int32_t {
  kHostA8R8G8B8 = 0,  // 32-bit word A<<24 | R<<16 | G<<8 | B (bytes B, G, R, A)
  kHostA4R4G4B4 = 1,  // 16-bit word, 4 bits per channel, alpha on top
  kHostX1R5G5B5 = 2,  // 16-bit word, 5 bits per colour channel, bit 15 unused
};

// Blend factors (the numbering of the 3D device the engine was written for).
enum HostBlend : int32_t {
  kHostBlendZero = 1,
  kHostBlendOne = 2,
  kHostBlendSrcAlpha = 5,
  kHostBlendInvSrcAlpha = 6,
  kHostBlendDestAlpha = 7,
};

enum HostPrimitive : int32_t {
  kHostPointList = 1,
  kHostLineList = 2,
  kHostTriangleStrip = 5,
  kHostTriangleFan = 6,
};

enum HostTransformKind : int32_t {
  kHostWorld = 0,
  kHostView = 1,
  kHostProjection = 2,
};

// Row-vector 4 x 4 matrix: a point p is transformed as p * m.
struct HostMatrix {
  float m[4][4];
};
HostMatrix HostMatrixIdentity();
HostMatrix HostMatrixMultiply(const HostMatrix& a, const HostMatrix& b);  // a then b
HostMatrix HostMatrixTranslation(float x, float y, float z);
HostMatrix HostMatrixRotationZ(float radians);
HostMatrix HostMatrixScaling(float x, float y, float z);
// Orthographic projection of a w x h area centred on the origin, z near..far.
HostMatrix HostMatrixOrtho(float w, float h, float zNear, float zFar);

// A lit vertex: position, diffuse colour as 0xAARRGGBB, texture coordinates.
struct HostVertex {
  float x, y, z;
  uint32_t color;
  float tu, tv;
};

// --- device ----------------------------------------------------------------------
// Creates the renderer on the host window (HostSDLWindow) with a back buffer of
// width x height, cleared to black. Null when there is no window or SDL refuses.
// SDL_RENDER_DRIVER chooses the driver as usual ("software" needs no display).
HostDevice* HostCreateDevice(int width, int height, bool vsync);
// True when the folder (the system's is /dev/dri) holds a GPU render node
// this process may open. Without one, and without the vendor driver's node,
// OpenGL could only rasterise on the processor, so devices are made on SDL's
// software renderer straight away unless a driver is asked for by name.
bool HostHasGpuNode(const char* dir);
// Test seam: the next count device creations on a window fail, as on a
// display that lost its driver.
void HostFailDeviceCreations(int count);
// Releases the renderer and every texture; surfaces still alive become lost.
void HostDestroyDevice(HostDevice* device);
// The SDL driver's name ("software", "opengl", ...).
const char* HostDeviceDriverName(const HostDevice* device);
int HostDeviceWidth(const HostDevice* device);
int HostDeviceHeight(const HostDevice* device);
// True once the renderer reported that its targets or the device were reset:
// the back buffer, and with a device reset every texture, lost its contents.
bool HostDeviceIsLost(const HostDevice* device);
void HostDeviceSetVSync(HostDevice* device, bool on);
// True when presenting waits for the vertical blank (asked for and offered by
// the driver; the software renderer waits for the display's refresh instead).
bool HostDeviceHasVSync(const HostDevice* device);

// While HostRasterDisabled() (host_window.h) is set, clearing, drawing and
// presenting do nothing at all (headless runs that never look at a frame).

// Clearing and drawing are recorded and reach SDL at the next present (or
// earlier, when a read-back or a texture change needs them there); the
// pixels come out exactly as if each had been drawn at once.

// Clears the back buffer (or, with a clip in force, still the whole of it).
void HostDeviceClear(HostDevice* device, uint32_t argb);
// Scales the back buffer into the window, proportions kept, bars black, and
// shows it. A frame that would repeat the image on screen (the same commands
// over the same textures, every pixel overwritten, the window untouched since)
// is neither drawn nor shown: the window and the back buffer keep that image.
// A whole scale factor samples nearest, any other one linear (see
// HostScaleIsLinear). True when a frame was really shown.
bool HostDevicePresent(HostDevice* device);
// A rectangle of whole pixels: top-left corner and size.
struct HostRect {
  int x, y, w, h;
};
// The parts of an outputW x outputH window around the frame rectangle shown
// in it (above, below, left, right; empty ones left out): what presenting
// paints black. Returns how many were written to bars.
int HostLetterboxBars(int outputW, int outputH, HostRect frame, HostRect bars[4]);
// True when the last frame shown was scaled with linear filtering.
bool HostDeviceScalesLinear(const HostDevice* device);
// How many of the frames shown were drawn again only where they differed
// from the one before (few draws changed, the rest of the back buffer kept).
uint64_t HostDevicePartialRedrawCount(const HostDevice* device);
// How many frames were really shown so far (for tests).
uint64_t HostDevicePresentCount(const HostDevice* device);
// Copies w x h pixels from (x, y) of the back buffer as 0xAARRGGBB words, rows
// top first. False when the rectangle leaves the back buffer or SDL fails.
bool HostDeviceReadPixels(HostDevice* device, int x, int y, int w, int h, uint32_t* out);

// Render states. Blending with factors SDL cannot express on the driver falls
// back to ordinary alpha blending.
void HostDeviceSetTransform(HostDevice* device, HostTransformKind kind, const HostMatrix& m);
HostMatrix HostDeviceGetTransform(const HostDevice* device, HostTransformKind kind);
void HostDeviceSetAlphaBlend(HostDevice* device, bool on);
void HostDeviceSetBlendFactors(HostDevice* device, int32_t src, int32_t dst);
void HostDeviceSetLinearFilter(HostDevice* device, bool linear);
void HostDeviceSetTexture(HostDevice* device, HostSurface* texture);  // null = untextured
// Restricts drawing to the rectangle (x1, y1)-(x2, y2), x2 and y2 excluded.
void HostDeviceSetClip(HostDevice* device, int x1, int y1, int x2, int y2);
void HostDeviceClearClip(HostDevice* device);
// Draws count vertices. False when nothing could be drawn (no device, lost
// device, too few vertices, a lost texture).
bool HostDeviceDraw(HostDevice* device, HostPrimitive type, const HostVertex* vertices,
                    int count);

// --- surfaces ----------------------------------------------------------------------
// A surface of width x height in the given format, its CPU copy zeroed. Null
// without a device, for sizes outside 1 .. kHostMaxSurfaceSide, or when SDL
// refuses.
constexpr int kHostMaxSurfaceSide = 8192;
HostSurface* HostCreateSurface(HostDevice* device, int width, int height,
                               HostSurfaceFormat format);
void HostReleaseSurface(HostSurface* surface);  // null is fine
bool HostIsSurfaceLost(const HostSurface* surface);
int HostSurfaceWidth(const HostSurface* surface);
int HostSurfaceHeight(const HostSurface* surface);
HostSurfaceFormat HostSurfaceGetFormat(const HostSurface* surface);
// The CPU copy for reading and writing; Unlock uploads it to the texture.
uint8_t* HostLockSurface(HostSurface* surface, int32_t* pitch);
void HostUnlockSurface(HostSurface* surface);
// Lets the CPU copy go once the texture holds the pixels (kept for keyed
// surfaces, whose texture lacks the key colour). The next lock rebuilds it
// from the texture, which needs a working device; until then it gives null.
void HostDropSurfaceCopy(HostSurface* surface);
// Source colour key: texels whose colour equals the key (alpha ignored) are
// uploaded fully transparent. Takes effect at the next Unlock.
void HostSetSurfaceColorKey(HostSurface* surface, bool on, uint32_t key);

// True while the host window is minimised (SDL's own window state).
bool HostRendererWindowMinimized();

// Test seam: queues the event SDL sends when the device was reset, as a lost
// display would.
void HostPushDeviceResetEvent();
