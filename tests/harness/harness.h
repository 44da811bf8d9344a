// Headless game harness: the real game run frame by frame with a fixed frame
// time, scripted or replayed input, the OpenGL renderer offscreen (or no
// drawing, for long playthroughs), dummy audio, a fixed calendar time and the
// program directory pointed at a test data folder. One harness at a time (the
// game is process-wide state); start and stop it as often as needed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Engine key codes the game reads (same numbers as game/input_mapping.h).
constexpr int kHarnessKeyLeft = 0;
constexpr int kHarnessKeyUp = 1;
constexpr int kHarnessKeyDown = 2;
constexpr int kHarnessKeyRight = 3;
constexpr int kHarnessKeySpace = 4;
constexpr int kHarnessKeyLeftShift = 5;
constexpr int kHarnessKeyRightShift = 6;
constexpr int kHarnessKeyEnter = 7;
constexpr int kHarnessKeyRightControl = 8;
constexpr int kHarnessKeyLeftControl = 9;
constexpr int kHarnessKeyF1 = 10;
constexpr int kHarnessKeyEscape = 24;
constexpr int kHarnessKeyP = 40;

// Input held during one frame. Keys not listed are up. The mouse keeps its
// last position unless mouseSet is true.
struct HarnessInput {
  std::vector<int> keys;      // engine key codes held (0..99)
  bool mouseSet = false;      // move the mouse to (mouseX, mouseY) this frame
  int32_t mouseX = 0;         // logical 800 x 600 frame coordinates
  int32_t mouseY = 0;
  bool mouseLeft = false;     // left button held
  bool mouseRight = false;    // right button held
};

struct HarnessOptions {
  // Program directory, used as it is. Empty: a fresh folder under /tmp with
  // minimal data (plain pictures, empty archive, all-zero tile kinds).
  std::string dataDir;
  // A copy of the generated game data instead (see HarnessGameDataDir;
  // ignored with dataDir).
  bool useGameData = false;
  float frameMs = 16.0f;             // every frame lasts exactly this long
  bool averagedTiming = false;       // true: the game's own averaging of a clock
                                     // stepped by frameMs (the first frame 0 ms);
                                     // false: frameTimeMs is exactly frameMs
  float jitterMs = 0.0f;             // each frame's clock step is frameMs plus an even
                                     // draw in [-jitterMs, +jitterMs] (use with
                                     // averagedTiming: a wandering display clock)
  uint32_t jitterSeed = 1;           // seeds those draws: the same seed, the same run
  int64_t calendarSeconds = 1000000; // seeds the random generator
  // false: draw calls are made but nothing is rasterised or presented; the
  // logic runs exactly as when drawn, pixels read back are undefined.
  bool drawFrames = true;
};

// The game's own start-up (system, seed, configuration, window, archive,
// surfaces, input, sounds, editor reset, main menu), with frames uncapped.
// False when a step failed; the harness is then stopped again.
bool HarnessStart(const HarnessOptions& options = HarnessOptions());
// Shutdown in the game's order (writes the configuration), then clears every
// seam. Safe to call when not started.
void HarnessStop();
bool HarnessRunning();

// One frame of the loop with this input; true when the frame ran. False once
// the loop has ended (the game reached Quit, or the window asked to close
// after an earlier frame): no frame runs then.
bool HarnessFrame(const HarnessInput& input = HarnessInput());
// Runs up to n frames; returns how many ran.
int HarnessRunFrames(int n, const HarnessInput& input = HarnessInput());
// Runs frames until done() is true (tested before each frame) or maxFrames
// ran; true when done() became true.
bool HarnessRunUntil(const std::function<bool()>& done, int maxFrames,
                     const HarnessInput& input = HarnessInput());
// Switches drawing on or off from the next frame on (see
// HarnessOptions::drawFrames), e.g. to draw only the frames a test looks at.
void HarnessSetDrawFrames(bool draw);
bool HarnessDrawsFrames();
// The nominal frame time of the running harness (HarnessOptions::frameMs).
float HarnessFrameMs();
// Frames run since HarnessStart.
int64_t HarnessFrameCount();
// Records in the game's object list.
int HarnessObjectCount();

// Recorded input: one line per frame, tokens separated by spaces:
//   key names   Left Up Down Right Space LShift RShift Enter RCtrl LCtrl F1
//               Escape F G P End Home PgUp PgDn, or "k<code>" (engine code)
//   mouse=X,Y   moves the mouse; "mouse=X,Y,L", "R" or "LR" holds buttons
//   *N          repeats the line for N frames (N >= 1)
// An empty line is one frame with nothing held; text after '#' is a comment
// (a line holding only a comment is skipped). False with *error set on a
// malformed line (nothing is run then).
bool HarnessParseInput(const std::string& text, std::vector<HarnessInput>* frames,
                       std::string* error = nullptr);
bool HarnessReplayText(const std::string& text, int* framesRun = nullptr);
bool HarnessReplayFile(const std::string& path, int* framesRun = nullptr);
// Every frame's input since HarnessStart in the replay format, one line per
// frame: saved to a file it replays the run exactly.
std::string HarnessRecordedInput();
// The line that HarnessParseInput reads back as this input.
std::string HarnessFormatInput(const HarnessInput& input);

// Starts stage `stage` of episode 1 the way the menu's play button does once
// the curtain is shut (episode pictures, StartGame). True when the game is
// Playing afterwards.
bool HarnessStartStage(int stage);

// Where the generated game data (data.dat, tarn/, audio/) is read from: the
// folder named by BR_GAME_DATA_DIR, else the current directory (the build
// tree the tests run in). A build that generates no data of its own can run
// its game tests on another build's data this way.
std::string HarnessGameDataDir();

// The program directory the game runs in (still valid after HarnessStop
// when the folder was given in the options).
const std::string& HarnessDataDir();
// Writes a file below the data directory (folders made as needed);
// relativePath uses '/'.
bool HarnessWriteFile(const std::string& relativePath, const std::vector<uint8_t>& bytes);
bool HarnessReadFile(const std::string& relativePath, std::vector<uint8_t>* bytes);
// Writes "tarn/world1.prp" from 216 kinds.
bool HarnessWriteTileKinds(const int32_t kinds[216]);

// Stages drawn as text, one string per row of tiles (rows may differ in
// length; missing cells are empty). Legend (tile code = its kind, except the
// blocks, which are the game's block codes with kind Solid):
//   ' ' '.' empty      '#' Solid (1)      '=' Ledge (2)     '^' Spring (3)
//   'E' exit door (4)  'x' Deadly (5)     'S' hero start (6) '-' hang bar (7)
//   'f' fruit (8)      'H' ladder (11)    'k' key (12)      's' shuttle (13)
//   'o' orbit (15)     'w' Walker (16)    'v' SlowWalker (17)
//   'B' brick (65)     '?' random bonus (83) 'C' checkpoint (101)
// Any other character is refused (empty result).
std::vector<uint8_t> HarnessPakFromRows(const std::vector<std::string>& rows);
// The tile-kind table that goes with the legend above.
void HarnessLegendTileKinds(int32_t kinds[216]);
// Writes "tarn/e1s<stage>.pak" from rows and "tarn/world1.prp" with the
// legend's kinds.
bool HarnessWriteStage(int stage, const std::vector<std::string>& rows);

// True in a build that generates the game data: a test that finds it
// missing there fails instead of skipping.
bool HarnessGameDataExpected();

// Minimal test data: writes the pictures, an empty "data.dat" and an all-zero
// "tarn/world1.prp" into dir (made when missing). Existing files are kept.
bool HarnessMakeMinimalData(const std::string& dir);
// A fresh empty folder under /tmp (removed by HarnessStop when the harness
// made it).
std::string HarnessMakeTempDir();
// Uncompressed 24-bit BMP of w x h pixels filled with colour 0xRRGGBB.
std::vector<uint8_t> HarnessSolidBmp(int w, int h, uint32_t rgb);
