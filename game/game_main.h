// The game's entry point and spine: start-up in a fixed order, one frame per
// loop iteration, the averaged frame time, the screen shake, presentation and
// the shutdown order.
#pragma once

#include <cstdint>

extern float timingAccumulatorMs;   // sum of frameTimeMs since the last timing reset
extern uint32_t framesSinceReset;   // frames counted since the last timing reset
extern double lastResetClockMs;     // process clock at the last reset, -1.0 = never

constexpr float kInitialFrameTimeMs = 16.0f;
constexpr float kShakeDurationMs = 300.0f;

// Start-up, loop and shutdown; returns the process exit code (always 0).
int GameMain();

// The three pieces GameMain runs, public so a headless harness can drive the
// loop one frame at a time.
enum GameStartupResult : int {
  StartupOk = 0,          // the loop may run
  StartupFailed = 1,      // a failure already reported: return at once, no shutdown
  StartupNoArchive = 2,   // "data.dat" could not be mounted: straight to shutdown
};
int GameStartup();
// One loop iteration (F / G, the state-13 test, the frame); false when the
// loop ends. The frame is not run when the state is 13.
bool GameLoopIteration();
void GameShutdown();

bool InitializeGraphics();
bool InitializeInput();
// Shows a message box titled "Problem"; always returns false.
bool ShowProblem(const char* text);

// The whole frame loop (skipped when a quit is already requested).
void RunFrameLoop();
// One frame: timing, the state machine's step, presentation.
void GameFrame();
void UpdateFrameTiming();
void PresentFrame();
void StartScreenShake();

// Milliseconds since the process started on the host clock (the manual
// clock in tests), leaving out the time the window spent waiting inactive.
double ProcessClockMs();
// Puts the frame timing back to its start-up values.
void ResetFrameTiming();
