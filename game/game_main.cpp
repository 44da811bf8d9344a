// Start-up, the frame loop, frame timing, screen shake and shutdown.
#include "game/game_main.h"

#include "engine/platform/KFile.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KSystem.h"
#include "engine/platform/KWindow.h"
#include "game/config_file.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "game/random.h"
#include "game/user_files.h"
#include "game/sound_cues.h"

namespace {

constexpr int kRenderer = 0;            // the renderer selector the game asks for
constexpr bool kDepthBuffer = false;
constexpr short kScreenDepth = 16;
constexpr bool kStartWindowed = false;  // the game starts in full screen
constexpr const char* kWindowTitle = "BrAmBl3tS 2";
constexpr const char* kArchiveName = "data.dat";
constexpr float kTimingResetMs = 1000.0f;
constexpr int kShakeRange = 10;          // offsets are rand % 10 - 5: -5 .. 4
constexpr int kShakeBias = 5;
constexpr int kJoystick = 0;

}  // namespace

bool GameLoopIteration() {
  if (gameWindow == nullptr) return false;
  // Level tests every frame; the window ignores a request for the mode it is
  // already in, and G wins when both are held.
  if (KInput::IsKeyDown(KeyF)) gameWindow->ToggleFullScreen(true);
  if (KInput::IsKeyDown(KeyG)) gameWindow->ToggleFullScreen(false);
  if (gameState == Quit) return false;
  gameWindow->SetDefaultWorldView();
  GameFrame();
  return !gameWindow->IsQuitting();
}

void RunFrameLoop() {
  if (gameWindow == nullptr || gameWindow->IsQuitting()) return;
  while (GameLoopIteration()) {
  }
}

// Shutdown, in its fixed order (also taken straight after a failed archive
// mount).
void GameShutdown() {
  WriteConfig();
  ShutdownSound();
  if (joystickPresent) KInput::ReleaseJoystick(kJoystick);
  KInput::ShowMouse();
  ReleaseSurfaces();
  delete gameWindow;
  gameWindow = nullptr;
  LeaveLevel();
}

float timingAccumulatorMs = 0.0f;
uint32_t framesSinceReset = 0;
double lastResetClockMs = -1.0;

double ProcessClockMs() {
  return static_cast<double>(KSystem::GetProcessMilliseconds());
}

void ResetFrameTiming() {
  frameTimeMs = kInitialFrameTimeMs;
  timingAccumulatorMs = 0.0f;
  framesSinceReset = 0;
  lastResetClockMs = -1.0;
}

bool ShowProblem(const char* text) {
  KSystem::ShowMessage("Problem", text);
  return false;
}

bool InitializeGraphics() {
  gameWindow = createKWindow(kRenderer, kDepthBuffer);
  if (gameWindow == nullptr) return false;
  if (!gameWindow->CreateGameWindow(kScreenWidth, kScreenHeight, kScreenDepth, kStartWindowed,
                                    kWindowTitle)) {
    delete gameWindow;
    gameWindow = nullptr;
    return false;
  }
  return true;
}

bool InitializeInput() {
  if (gameWindow == nullptr || gameWindow->GetWindowHandle() == nullptr) return false;
  KInput::InitInput(gameWindow->GetWindowHandle());
  KInput::HideMouse();  // the menus draw their own cursor
  joystickPresent = KInput::CaptureJoystick(kJoystick);
  return true;
}

void UpdateFrameTiming() {
  framesSinceReset += 1;
  if (lastResetClockMs == -1.0) lastResetClockMs = ProcessClockMs();
  frameTimeMs = static_cast<float>((ProcessClockMs() - lastResetClockMs) / framesSinceReset);
  timingAccumulatorMs += frameTimeMs;
  if (timingAccumulatorMs > kTimingResetMs) {
    timingAccumulatorMs = 0.0f;
    framesSinceReset = 0;
    lastResetClockMs = ProcessClockMs();
  }
}

void PresentFrame() {
  if (shakeTimerMs > 0.0f) {
    shakeTimerMs -= frameTimeMs;
    if (shakeTimerMs < 0.0f) shakeTimerMs = 0.0f;
    shakeX = Rand() % kShakeRange - kShakeBias;
    shakeY = Rand() % kShakeRange - kShakeBias;
  } else {
    shakeX = 0;
    shakeY = 0;
  }
  if (gameWindow != nullptr) gameWindow->FlipBackBuffer(true, true);
}

void StartScreenShake() { shakeTimerMs = kShakeDurationMs; }

void GameFrame() {
  UpdateFrameTiming();
  StepGameState();
  PresentFrame();
}

int GameStartup() {
  KSystem::InitSystem();
  // Screenshots follow the game's own files away from a read-only install.
  KSystem::SetWritePathResolver(UserFileWritePath);
  SeedRandom(static_cast<uint32_t>(KSystem::GetCalendarSeconds()));
  ReadConfig();
  SetControlBindings(LoadControlsFile());  // the player's own keys, if any
  if (!InitializeGraphics()) {
    ShowProblem("InitializeGraphics Failed!");
    return StartupFailed;
  }
  if (RegisterArchive(KSystem::MakeFilePath(kArchiveName)) != KFILE_OK) return StartupNoArchive;
  if (!LoadSurfaces()) {
    ShowProblem("LoadSurfaces Failed!");
    return StartupFailed;
  }
  if (!InitializeInput()) {
    ShowProblem("InitializeInput Failed!");
    return StartupFailed;
  }
  InitSound();
  EnterFrontEnd();  // editor reset, frame time 16 ms, curtain, main menu
  return StartupOk;
}

int GameMain() {
  const int startup = GameStartup();
  if (startup == StartupFailed) return 0;
  if (startup == StartupOk) RunFrameLoop();
  GameShutdown();
  return 0;
}
