// Headless game harness: the game's start-up, loop iteration and shutdown
// driven one frame at a time with injected clock, calendar and input.
#include "harness/harness.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "engine/host/host_clock.h"
#include "engine/host/host_input.h"
#include "engine/host/host_system.h"
#include "engine/host/host_window.h"
#include "engine/platform/KFile.h"
#include "engine/platform/KInput.h"
#include "engine/platform/KWindow.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_main.h"
#include "game/game_state.h"
#include "game/input_mapping.h"
#include "gameplay/objects.h"

namespace fs = std::filesystem;

namespace {

constexpr int kEngineKeyCount = 100;
constexpr int kTileKinds = 216;
constexpr int kUncappedFrameRate = -1;  // no pacing sleeps, no vertical sync

struct KeyName {
  const char* name;
  int code;
};
const KeyName kKeyNames[] = {
    {"Left", 0},   {"Up", 1},     {"Down", 2},   {"Right", 3},   {"Space", 4},
    {"LShift", 5}, {"RShift", 6}, {"Enter", 7},  {"RCtrl", 8},   {"LCtrl", 9},
    {"F1", 10},    {"Escape", 24}, {"F", 30},    {"G", 31},      {"P", 40},
    {"End", 93},   {"Home", 94},  {"PgUp", 98},  {"PgDn", 99},
};

struct HarnessState {
  bool running = false;
  bool loopEnded = false;
  bool madeDir = false;
  std::string dataDir;
  HarnessOptions options;
  double hostClockCarry = 0.0;   // fraction of a millisecond not yet given to the host clock
  uint32_t jitterState = 1;      // generator of the clock's jitter
  int64_t frames = 0;
  bool keysHeld[kEngineKeyCount] = {};
  std::string recorded;          // every frame's input, one line each
  bool hadXdg = false;
  std::string savedXdg;
};
HarnessState h;

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return std::string();
  size_t b = s.find_last_not_of(" \t\r");
  return s.substr(a, b - a + 1);
}

bool ParseInt(const std::string& s, long* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno || !end || *end) return false;
  *out = v;
  return true;
}

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool WriteIfMissing(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  if (fs::exists(path, ec)) return true;
  return WriteBytes(path, bytes);
}

// Points the host at the harness: clock, calendar, program folder, input.
void InstallSeams() {
  HostUseManualClock(0);
  HostSetCalendarSeconds(h.options.calendarSeconds);
  HostOverrideProgramDirectory(h.dataDir.c_str());
  HostResetInjectedInput();
  HostInjectMouse(0, 0, 0);  // injected mode: no real device is read
  HostSetRasterDisabled(!h.options.drawFrames);
  h.hostClockCarry = 0.0;
  ResetFrameTiming();
  ResetInputMapping();
  std::memset(h.keysHeld, 0, sizeof h.keysHeld);
}

void RemoveSeams() {
  HostSetRasterDisabled(false);
  HostResetInjectedInput();
  HostOverrideProgramDirectory(nullptr);
  HostUseRealCalendar();
  HostUseRealClock();
  if (h.hadXdg) {
    setenv("XDG_DATA_HOME", h.savedXdg.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

void ApplyInput(const HarnessInput& input) {
  bool want[kEngineKeyCount] = {};
  for (int code : input.keys) {
    if (code >= 0 && code < kEngineKeyCount) want[code] = true;
  }
  for (int code = 0; code < kEngineKeyCount; ++code) {
    if (want[code] == h.keysHeld[code]) continue;
    uint32_t vk = KInput::VirtualKeyFromKey(code);
    if (vk != KInput::kNoVirtualKey) HostInjectKey(vk, want[code]);
    h.keysHeld[code] = want[code];
  }
  int32_t x = input.mouseSet ? input.mouseX : HostMouseX();
  int32_t y = input.mouseSet ? input.mouseY : HostMouseY();
  uint32_t buttons = (input.mouseLeft ? 1u : 0u) | (input.mouseRight ? 2u : 0u);
  HostInjectMouse(x, y, buttons);
}

// Next jitter draw, evenly in [-1, 1]: a fixed 32-bit generator, so a seed
// gives the same clock on every machine and library.
double NextJitterUnit() {
  h.jitterState ^= h.jitterState << 13;
  h.jitterState ^= h.jitterState >> 17;
  h.jitterState ^= h.jitterState << 5;
  return h.jitterState / 2147483647.5 - 1.0;
}

void AdvanceClocks() {
  double frameMs = h.options.frameMs;
  if (h.options.jitterMs > 0.0f) frameMs += h.options.jitterMs * NextJitterUnit();
  if (frameMs < 0.0) frameMs = 0.0;
  h.hostClockCarry += frameMs;
  double whole = std::floor(h.hostClockCarry);
  h.hostClockCarry -= whole;
  if (whole > 0) HostAdvanceClock(static_cast<uint64_t>(whole));
  if (!h.options.averagedTiming) {
    // One frame since a fresh reset: the averaged frame time is exactly frameMs.
    lastResetClockMs = ProcessClockMs() - frameMs;
    framesSinceReset = 0;
    timingAccumulatorMs = 0.0f;
  }
}

}  // namespace

std::string HarnessMakeTempDir() {
  char pattern[] = "/tmp/br2harnessXXXXXX";
  char* dir = mkdtemp(pattern);
  return dir ? std::string(dir) : std::string();
}

std::vector<uint8_t> HarnessSolidBmp(int w, int h_, uint32_t rgb) {
  std::vector<uint8_t> b;
  if (w <= 0 || h_ <= 0) return b;
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(h_);
  b.reserve(54 + dataBytes);
  b.push_back('B');
  b.push_back('M');
  Put32(b, 54 + dataBytes);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h_));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);
  Put32(b, dataBytes);
  Put32(b, 2835);
  Put32(b, 2835);
  Put32(b, 0);
  Put32(b, 0);
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w; ++x) {
      b.push_back(rgb & 0xFF);
      b.push_back((rgb >> 8) & 0xFF);
      b.push_back((rgb >> 16) & 0xFF);
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad) b.push_back(0);
  }
  return b;
}

bool HarnessMakeMinimalData(const std::string& dir) {
  if (dir.empty()) return false;
  struct Picture {
    const char* name;
    int w, h;
    uint32_t rgb;
  };
  // Each picture its own colour, so drawing tests can tell them apart.
  const Picture pictures[] = {
      {"panels.bmp", 800, 600, 0x804020},     {"sprites.bmp", 1024, 1024, 0x20C040},
      {"presblts.bmp", 800, 600, 0x102030},   {"world1.bmp", 800, 600, 0x306090},
      {"levelscore.bmp", 800, 600, 0x603060}, {"endoflevel.bmp", 800, 600, 0x606020},
      {"credit.bmp", 800, 600, 0x205050},     {"table1blts.bmp", 384, 576, 0x808080},
      {"gomme.bmp", 32, 32, 0xFFFFFF},        {"selection.bmp", 32, 32, 0xFF0000},
      {"souris.bmp", 32, 32, 0x00FF00},
  };
  bool ok = true;
  for (const Picture& p : pictures) {
    ok = WriteIfMissing(dir + "/" + p.name, HarnessSolidBmp(p.w, p.h, p.rgb)) && ok;
  }
  // An empty tar archive: two zero blocks.
  ok = WriteIfMissing(dir + "/data.dat", std::vector<uint8_t>(1024, 0)) && ok;
  ok = WriteIfMissing(dir + "/tarn/world1.prp", std::vector<uint8_t>(kTileKinds * 4, 0)) && ok;
  std::error_code ec;
  fs::create_directories(dir + "/audio", ec);
  return ok;
}

bool HarnessStart(const HarnessOptions& options) {
  if (h.running) HarnessStop();
  h = HarnessState();
  h.options = options;
  if (h.options.frameMs <= 0.0f) h.options.frameMs = 16.0f;
  h.jitterState = options.jitterSeed ? options.jitterSeed : 1;  // the generator never leaves 0

  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);

  if (!options.dataDir.empty()) {
    h.dataDir = options.dataDir;
  } else {
    h.dataDir = HarnessMakeTempDir();
    if (h.dataDir.empty()) return false;
    h.madeDir = true;
    if (options.useGameData) {
      // The build tree's generated data, copied so the test never changes it.
      std::error_code ec;
      const fs::path build = HarnessGameDataDir();
      fs::copy_file(build / "data.dat", fs::path(h.dataDir) / "data.dat", ec);
      fs::copy(build / "tarn", fs::path(h.dataDir) / "tarn", fs::copy_options::recursive, ec);
      fs::create_directory_symlink(build / "audio", fs::path(h.dataDir) / "audio", ec);
    }
    HarnessMakeMinimalData(h.dataDir);
  }
  // Per-user files of the test stay inside its own folder.
  const char* xdg = std::getenv("XDG_DATA_HOME");
  h.hadXdg = xdg != nullptr;
  if (xdg) h.savedXdg = xdg;
  setenv("XDG_DATA_HOME", (h.dataDir + "/.xdg").c_str(), 1);

  InstallSeams();
  h.running = true;

  if (GameStartup() != StartupOk) {
    HarnessStop();
    return false;
  }
  // The manual clock moves only between frames: pacing must never sleep
  // (which would advance it) nor wait for a vertical blank.
  gameWindow->SetMaxFrameRate(kUncappedFrameRate);
  return true;
}

void HarnessStop() {
  if (!h.running) return;
  GameShutdown();
  ReleaseArchives();  // the next start mounts its own
  RemoveSeams();
  if (h.madeDir) {
    std::error_code ec;
    fs::remove_all(h.dataDir, ec);
  }
  h.running = false;
}

bool HarnessRunning() { return h.running; }

bool HarnessFrame(const HarnessInput& input) {
  if (!h.running || h.loopEnded || !gameWindow) return false;
  ApplyInput(input);
  AdvanceClocks();
  // The iteration runs no frame once the state is Quit (F / G still act).
  const bool runsFrame = gameState != Quit;
  if (!GameLoopIteration()) h.loopEnded = true;
  if (!runsFrame) return false;
  h.recorded += HarnessFormatInput(input) + "\n";
  ++h.frames;
  return true;
}

void HarnessSetDrawFrames(bool draw) {
  h.options.drawFrames = draw;
  if (h.running) HostSetRasterDisabled(!draw);
}

bool HarnessDrawsFrames() { return h.options.drawFrames; }

float HarnessFrameMs() { return h.options.frameMs; }

std::string HarnessGameDataDir() {
  if (const char* env = std::getenv("BR_GAME_DATA_DIR"); env && *env) return env;
  std::error_code ec;
  return fs::current_path(ec).string();
}

int HarnessRunFrames(int n, const HarnessInput& input) {
  int ran = 0;
  while (ran < n && HarnessFrame(input)) ++ran;
  return ran;
}

bool HarnessRunUntil(const std::function<bool()>& done, int maxFrames, const HarnessInput& input) {
  for (int i = 0; i < maxFrames; ++i) {
    if (done()) return true;
    if (!HarnessFrame(input)) return done();
  }
  return done();
}

int64_t HarnessFrameCount() { return h.frames; }

std::string HarnessRecordedInput() { return h.recorded; }

bool HarnessParseInput(const std::string& text, std::vector<HarnessInput>* frames,
                       std::string* error) {
  std::vector<HarnessInput> out;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  while (std::getline(lines, line)) {
    ++number;
    size_t hash = line.find('#');
    bool commentOnly = hash != std::string::npos && Trim(line.substr(0, hash)).empty();
    if (hash != std::string::npos) line = line.substr(0, hash);
    if (commentOnly) continue;
    HarnessInput input;
    long repeat = 1;
    std::istringstream tokens(line);
    std::string token;
    while (tokens >> token) {
      if (token[0] == '*') {
        if (!ParseInt(token.substr(1), &repeat) || repeat < 1 || repeat > 1000000)
          return fail("bad repeat '" + token + "'");
      } else if (token.compare(0, 6, "mouse=") == 0) {
        std::vector<std::string> parts;
        std::stringstream ps(token.substr(6));
        std::string part;
        while (std::getline(ps, part, ',')) parts.push_back(part);
        long x = 0, y = 0;
        if (parts.size() < 2 || parts.size() > 3 || !ParseInt(parts[0], &x) ||
            !ParseInt(parts[1], &y))
          return fail("bad mouse '" + token + "'");
        input.mouseSet = true;
        input.mouseX = static_cast<int32_t>(x);
        input.mouseY = static_cast<int32_t>(y);
        if (parts.size() == 3) {
          for (char c : parts[2]) {
            if (c == 'L') input.mouseLeft = true;
            else if (c == 'R') input.mouseRight = true;
            else return fail("bad mouse buttons '" + token + "'");
          }
        }
      } else if (token[0] == 'k' && token.size() > 1 &&
                 std::isdigit(static_cast<unsigned char>(token[1]))) {
        long code = 0;
        if (!ParseInt(token.substr(1), &code) || code < 0 || code >= kEngineKeyCount)
          return fail("bad key code '" + token + "'");
        input.keys.push_back(static_cast<int>(code));
      } else {
        bool found = false;
        for (const KeyName& k : kKeyNames) {
          if (token == k.name) {
            input.keys.push_back(k.code);
            found = true;
            break;
          }
        }
        if (!found) return fail("unknown key '" + token + "'");
      }
    }
    for (long i = 0; i < repeat; ++i) out.push_back(input);
  }
  if (frames) *frames = std::move(out);
  return true;
}

std::string HarnessFormatInput(const HarnessInput& input) {
  std::string line;
  auto add = [&](const std::string& token) {
    if (!line.empty()) line += ' ';
    line += token;
  };
  for (int code : input.keys) {
    const char* name = nullptr;
    for (const KeyName& k : kKeyNames) {
      if (k.code == code) name = k.name;
    }
    add(name ? std::string(name) : "k" + std::to_string(code));
  }
  if (input.mouseSet) {
    std::string m = "mouse=" + std::to_string(input.mouseX) + "," + std::to_string(input.mouseY);
    if (input.mouseLeft || input.mouseRight) {
      m += ",";
      if (input.mouseLeft) m += "L";
      if (input.mouseRight) m += "R";
    }
    add(m);
  }
  return line;
}

bool HarnessReplayText(const std::string& text, int* framesRun) {
  if (framesRun) *framesRun = 0;
  std::vector<HarnessInput> frames;
  if (!HarnessParseInput(text, &frames)) return false;
  int ran = 0;
  for (const HarnessInput& input : frames) {
    if (!HarnessFrame(input)) break;
    ++ran;
  }
  if (framesRun) *framesRun = ran;
  return ran == static_cast<int>(frames.size());
}

bool HarnessReplayFile(const std::string& path, int* framesRun) {
  if (framesRun) *framesRun = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  return HarnessReplayText(text.str(), framesRun);
}

bool HarnessStartStage(int stage) {
  if (!h.running) return false;
  DestroyAllObjects();
  ResetCurtain();
  currentEpisode = 1;
  currentStage = stage;
  reachedStage = stage;
  OpenCurtain();
  LoadEpisodeSurfaces(currentEpisode);
  StartGame();
  return gameState == Playing;
}

int HarnessObjectCount() {
  int count = 0;
  for (GameObject* o = objectList; o; o = o->next) ++count;
  return count;
}

const std::string& HarnessDataDir() { return h.dataDir; }

bool HarnessWriteFile(const std::string& relativePath, const std::vector<uint8_t>& bytes) {
  if (h.dataDir.empty() || relativePath.empty()) return false;
  return WriteBytes(h.dataDir + "/" + relativePath, bytes);
}

bool HarnessReadFile(const std::string& relativePath, std::vector<uint8_t>* bytes) {
  if (h.dataDir.empty() || !bytes) return false;
  std::ifstream in(h.dataDir + "/" + relativePath, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

namespace {

struct LegendEntry {
  char symbol;
  int32_t code;
  int32_t kind;
};
constexpr int32_t kSolidKind = 2;
const LegendEntry kLegend[] = {
    {'#', 1, 2},   {'=', 2, 1},   {'^', 3, 3},   {'E', 4, 4},   {'x', 5, 5},
    {'S', 6, 6},   {'-', 7, 7},   {'f', 8, 8},   {'H', 11, 11}, {'k', 12, 12},
    {'s', 13, 13}, {'o', 15, 15}, {'w', 16, 16}, {'v', 17, 17},
    {'B', 65, kSolidKind}, {'?', 83, kSolidKind}, {'C', 101, kSolidKind},
};
constexpr int32_t kTileValueOffset = 48;

}  // namespace

std::vector<uint8_t> HarnessPakFromRows(const std::vector<std::string>& rows) {
  size_t width = 0;
  for (const std::string& row : rows) width = std::max(width, row.size());
  std::vector<uint8_t> bytes;
  if (width == 0 || rows.empty()) return bytes;
  Put32(bytes, static_cast<uint32_t>(width));
  Put32(bytes, static_cast<uint32_t>(rows.size()));
  for (const std::string& row : rows) {
    for (size_t x = 0; x < width; ++x) {
      char c = x < row.size() ? row[x] : ' ';
      int32_t code = 0;
      if (c != ' ' && c != '.') {
        bool found = false;
        for (const LegendEntry& e : kLegend) {
          if (e.symbol == c) {
            code = e.code;
            found = true;
          }
        }
        if (!found) return std::vector<uint8_t>();
      }
      Put16(bytes, static_cast<uint32_t>(code + kTileValueOffset));
      Put16(bytes, 0);
    }
  }
  return bytes;
}

void HarnessLegendTileKinds(int32_t kinds[216]) {
  for (int i = 0; i < kTileKinds; ++i) kinds[i] = 0;
  for (const LegendEntry& e : kLegend) kinds[e.code] = e.kind;
}

bool HarnessWriteStage(int stage, const std::vector<std::string>& rows) {
  std::vector<uint8_t> pak = HarnessPakFromRows(rows);
  if (pak.empty()) return false;
  int32_t kinds[kTileKinds];
  HarnessLegendTileKinds(kinds);
  return HarnessWriteTileKinds(kinds) &&
         HarnessWriteFile("tarn/e1s" + std::to_string(stage) + ".pak", pak);
}

bool HarnessWriteTileKinds(const int32_t kinds[216]) {
  std::vector<uint8_t> bytes;
  for (int i = 0; i < kTileKinds; ++i) Put32(bytes, static_cast<uint32_t>(kinds[i]));
  return HarnessWriteFile("tarn/world1.prp", bytes);
}

bool HarnessGameDataExpected() {
#ifdef BR_GAME_DATA_EXPECTED
  return true;
#else
  return false;
#endif
}
