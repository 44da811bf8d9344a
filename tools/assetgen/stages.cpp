#include "stages.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

#include "tiles.h"

namespace assetgen {

namespace {

// Characters shared by every stage source. '#' and '=' are shaped by their
// neighbours when the stage is compiled (grass on top, ledge ends).
struct Legend {
  char ch;
  int code;
};

constexpr int kAutoGround = -1;
constexpr int kAutoLedge = -2;
constexpr int kAutoLava = -3;
constexpr int kAutoWater = -4;

const Legend kLegend[] = {
    {' ', code::kEmpty},         {'.', code::kEmpty},         {'#', kAutoGround},
    {'X', code::kStone},         {'R', code::kBrickWall},     {'c', code::kCrate},
    {'M', code::kMetal},         {'d', code::kDirtBack},      {'=', kAutoLedge},
    {'H', code::kLadder},        {'-', code::kHangBar},       {'^', code::kSpikes},
    {'~', kAutoLava},            {'_', kAutoWater},           {'@', code::kStart},
    {'*', code::kFruit},         {'k', code::kKey},           {'D', code::kExitDoor},
    {'s', code::kSpring},        {'w', code::kWalker},        {'z', code::kSlowWalker},
    {'>', code::kShuttle},       {'o', code::kOrbit},         {'B', code::kBrick},
    {'?', code::kRandomBlock},   {'F', code::kFreezeBlock},   {'C', code::kCheckpoint},
    {'S', code::kSuperBlock},    {'J', code::kJumpBlock},     {'G', code::kDigBlock},
    {'P', code::kPlumPowerBlock}, {'L', code::kLifeBlock},    {'p', code::kPlumOff},
    {'1', code::kFlowers[0]},    {'2', code::kFlowers[1]},    {'3', code::kFlowers[2]},
    {'4', code::kFlowers[3]},    {'5', code::kFlowers[4]},    {'6', code::kFlowers[5]},
    {',', code::kGrassTuft},     {'b', code::kBush},          {'r', code::kRock},
    {'m', code::kMushroom},      {'f', code::kFence},         {'a', code::kSignArrow},
    {'v', code::kSmallFlowers},  {'T', code::kTreeTrunk},     {'t', code::kTreeTop},
    {'%', code::kVines},
};

constexpr int kUnknown = -100;

int LookUp(char ch, const std::vector<Legend>& extra) {
  for (const Legend& l : extra)
    if (l.ch == ch) return l.code;
  for (const Legend& l : kLegend)
    if (l.ch == ch) return l.code;
  return kUnknown;
}

std::string Where(const std::string& file, int line, int col) {
  return file + ":" + std::to_string(line) + ":" + std::to_string(col) + ": ";
}

}  // namespace

char StageCharForCode(int c) {
  for (const Legend& l : kLegend)
    if (l.code == c && l.ch != '.') return l.ch;
  return 0;
}

bool CompileStage(const std::string& text, const std::string& file, Stage* out, std::string* error) {
  std::vector<Legend> extra;
  std::vector<std::string> rows;
  std::vector<int> rowLine;  // source line of each map row
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == ';') continue;  // comment
    if (!line.empty() && line[0] == '!') {
      // "!c NNN": character c stands for tile code NNN in this file
      if (line.size() < 4 || line[2] != ' ') {
        *error = Where(file, lineNo, 1) + "expected \"!<char> <code>\"";
        return false;
      }
      char* end = nullptr;
      const long v = std::strtol(line.c_str() + 3, &end, 10);
      if (end == line.c_str() + 3 || *end != '\0' || v < 0 || v > 255) {
        *error = Where(file, lineNo, 4) + "bad tile code \"" + line.substr(3) + "\"";
        return false;
      }
      extra.push_back({line[1], static_cast<int>(v)});
      continue;
    }
    rows.push_back(line);
    rowLine.push_back(lineNo);
  }
  while (!rows.empty() && rows.back().find_first_not_of(" ") == std::string::npos) {
    rows.pop_back();
    rowLine.pop_back();
  }

  size_t width = 0;
  for (const std::string& r : rows) width = r.size() > width ? r.size() : width;
  const int w = static_cast<int>(width), h = static_cast<int>(rows.size());
  if (w < kMinStageWidth || h < kMinStageHeight) {
    *error = file + ": the stage is " + std::to_string(w) + " x " + std::to_string(h) +
             " cells, at least " + std::to_string(kMinStageWidth) + " x " + std::to_string(kMinStageHeight) +
             " are needed";
    return false;
  }

  Stage s;
  s.width = w;
  s.height = h;
  s.codes.assign(static_cast<size_t>(w) * h, code::kEmpty);
  int starts = 0, keys = 0, exits = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const char ch = x < static_cast<int>(rows[y].size()) ? rows[y][x] : ' ';
      const int c = LookUp(ch, extra);
      if (c == kUnknown) {
        std::string shown = std::isprint(static_cast<unsigned char>(ch)) ? std::string(1, ch) : "?";
        *error = Where(file, rowLine[y], x + 1) + "unknown tile character '" + shown + "'";
        return false;
      }
      if (c >= code::kFirstKindIcon) {
        *error = Where(file, rowLine[y], x + 1) + "tile code " + std::to_string(c) +
                 " is not a tile (codes from 198 on are the kind icons)";
        return false;
      }
      if (c == code::kStart && ++starts > 1) {
        *error = Where(file, rowLine[y], x + 1) + "a second start ('@'); a stage has exactly one";
        return false;
      }
      if (c == code::kKey) ++keys;
      if (c == code::kExitDoor) ++exits;
      s.codes[static_cast<size_t>(y) * w + x] = c;
    }
  }
  if (starts == 0) {
    *error = file + ": no start ('@')";
    return false;
  }
  if (keys == 0) {
    *error = file + ": no key ('k')";
    return false;
  }
  if (exits == 0) {
    *error = file + ": no exit door ('D')";
    return false;
  }

  // Shape the auto tiles from their neighbours. The map edge counts as closed
  // so the borders of a stage look like they continue.
  auto at = [&](int x, int y) -> int {
    if (x < 0 || y < 0 || x >= w || y >= h) return kAutoGround;
    return s.codes[static_cast<size_t>(y) * w + x];
  };
  std::vector<int> shaped = s.codes;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int c = at(x, y);
      int& dst = shaped[static_cast<size_t>(y) * w + x];
      if (c == kAutoGround) {
        int mask = 0;
        if (y > 0 && at(x, y - 1) != kAutoGround) mask |= code::kGroundOpenTop;
        if (at(x + 1, y) != kAutoGround) mask |= code::kGroundOpenRight;
        if (at(x, y + 1) != kAutoGround) mask |= code::kGroundOpenBottom;
        if (at(x - 1, y) != kAutoGround) mask |= code::kGroundOpenLeft;
        dst = code::kGround + mask;
      } else if (c == kAutoLedge) {
        const bool l = x > 0 && at(x - 1, y) == kAutoLedge;
        const bool r = x + 1 < w && at(x + 1, y) == kAutoLedge;
        dst = l && r ? code::kLedgeMid : l ? code::kLedgeRight : r ? code::kLedgeLeft : code::kLedgeSingle;
      } else if (c == kAutoLava || c == kAutoWater) {
        const bool top = y == 0 || at(x, y - 1) != c;
        dst = c == kAutoLava ? (top ? code::kLavaTop : code::kLava) : (top ? code::kWaterTop : code::kWater);
      }
    }
  }
  s.codes = shaped;
  *out = std::move(s);
  return true;
}

std::vector<uint8_t> EncodePak(const Stage& stage) {
  std::vector<uint8_t> out;
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
  };
  put32(static_cast<uint32_t>(stage.width));
  put32(static_cast<uint32_t>(stage.height));
  for (int c : stage.codes) {
    const uint32_t value = static_cast<uint32_t>(c + kTileValueBase) & 0xFFFF;
    put32(value);  // tile value in the low half, zero second value in the high half
  }
  return out;
}

bool DecodePak(const std::vector<uint8_t>& data, Stage* out) {
  if (data.size() < 8) return false;
  auto get32 = [&](size_t at) {
    return static_cast<int32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                (static_cast<uint32_t>(data[at + 3]) << 24));
  };
  const int32_t w = get32(0), h = get32(4);
  if (w <= 0 || h <= 0 || w > 4096 || h > 4096) return false;
  const size_t cells = static_cast<size_t>(w) * h;
  if ((data.size() - 8) / 4 < cells) return false;
  out->width = w;
  out->height = h;
  out->codes.resize(cells);
  for (size_t i = 0; i < cells; ++i) {
    const int v = data[8 + 4 * i] | (data[9 + 4 * i] << 8);
    const int c = v - kTileValueBase;
    out->codes[i] = c >= 1 && c <= 255 ? c : 0;
  }
  return true;
}

namespace {

constexpr int kEnemyFloorRun = 3;  // walkers need at least this many floor cells

int KindOf(const std::vector<int32_t>& kinds, int code) {
  return code >= 0 && code < static_cast<int>(kinds.size()) ? kinds[static_cast<size_t>(code)] : kKindNone;
}

}  // namespace

bool ValidateStage(const Stage& stage, const std::string& file, std::string* error) {
  const int w = stage.width, h = stage.height;
  if (w < kMinStageWidth || h < kMinStageHeight || stage.codes.size() != static_cast<size_t>(w) * h) {
    *error = file + ": the stage is " + std::to_string(w) + " x " + std::to_string(h) + " cells, at least " +
             std::to_string(kMinStageWidth) + " x " + std::to_string(kMinStageHeight) + " are needed";
    return false;
  }
  const std::vector<int32_t> kinds = TileKindTable();
  auto code = [&](int x, int y) { return x < 0 || y < 0 || x >= w || y >= h ? 0 : stage.codes[static_cast<size_t>(y) * w + x]; };
  auto kind = [&](int x, int y) { return KindOf(kinds, code(x, y)); };
  auto floorAt = [&](int x, int y) {
    const int k = kind(x, y);
    return k == kKindSolid || k == kKindLedge;
  };
  auto fail = [&](int x, int y, const std::string& what) {
    *error = file + ":" + std::to_string(y + 1) + ":" + std::to_string(x + 1) + ": " + what;
    return false;
  };
  int starts = 0, keys = 0, exits = 0, bricks = 0, plums = 0, superBlocks = 0, plumBlocks = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int c = code(x, y);
      if (c < 0 || c >= code::kFirstKindIcon) return fail(x, y, "tile code " + std::to_string(c) + " is out of range");
      const int k = kind(x, y);
      if (c == code::kBrick) ++bricks;
      if (c == code::kPlumOff || c == code::kPlumOn) ++plums;
      if (c == code::kSuperBlock) ++superBlocks;
      if (c == code::kPlumPowerBlock) ++plumBlocks;
      if (k == kKindKey) ++keys;
      if (k == kKindExit && ++exits > 1) return fail(x, y, "a second exit door; a stage has exactly one");
      if (k == kKindStart) {
        if (++starts > 1) return fail(x, y, "a second start; a stage has exactly one");
        if (!floorAt(x, y + 1) && kind(x, y + 1) != kKindLadder) return fail(x, y, "no floor under the start");
      }
      if (k == kKindWalker || k == kKindSlowWalker) {
        if (!floorAt(x, y + 1)) return fail(x, y, "an enemy without a floor under it");
        int left = x, right = x;
        while (floorAt(left - 1, y + 1)) --left;
        while (floorAt(right + 1, y + 1)) ++right;
        if (right - left + 1 < kEnemyFloorRun)
          return fail(x, y, "an enemy on a floor run shorter than " + std::to_string(kEnemyFloorRun) + " cells");
      }
      if (k == kKindShuttle) {
        int right = x + 1, left = x - 1;
        while (right < w && kind(right, y) != kKindSolid) ++right;
        while (left >= 0 && kind(left, y) != kKindSolid) --left;
        if (right >= w || left < 0) return fail(x, y, "a shuttle without a solid cell at both ends of its row");
      }
    }
  }
  if (starts == 0) return *error = file + ": no start", false;
  if (keys == 0) return *error = file + ": no key", false;
  if (exits == 0) return *error = file + ": no exit door", false;
  if (bricks > 0 && superBlocks == 0) return *error = file + ": bricks but no super block to break them", false;
  if (plums > 0 && plumBlocks == 0) return *error = file + ": plum blocks but no plum-power block", false;
  return true;
}

std::vector<std::string> StageMechanics(const Stage& stage) {
  const std::vector<int32_t> kinds = TileKindTable();
  struct Mechanic {
    const char* name;
    bool used;
  };
  Mechanic m[] = {{"ledges", false},   {"ladders", false},    {"hang bars", false}, {"springs", false},
                  {"deadly tiles", false}, {"shuttles", false}, {"orbits", false},  {"bricks", false},
                  {"bonus blocks", false}, {"checkpoint", false}, {"super", false}, {"super jump", false},
                  {"dig", false},      {"plum", false}};
  for (int c : stage.codes) {
    const int k = KindOf(kinds, c);
    m[0].used |= k == kKindLedge;
    m[1].used |= k == kKindLadder;
    m[2].used |= k == kKindHang;
    m[3].used |= k == kKindSpring;
    m[4].used |= k == kKindDeadly;
    m[5].used |= k == kKindShuttle;
    m[6].used |= k == kKindOrbit;
    m[7].used |= c == code::kBrick;
    m[8].used |= c == code::kRandomBlock || c == code::kFreezeBlock || c == code::kLifeBlock;
    m[9].used |= c == code::kCheckpoint;
    m[10].used |= c == code::kSuperBlock;
    m[11].used |= c == code::kJumpBlock;
    m[12].used |= c == code::kDigBlock;
    m[13].used |= c == code::kPlumPowerBlock;
  }
  std::vector<std::string> out;
  for (const Mechanic& mech : m)
    if (mech.used) out.push_back(mech.name);
  return out;
}

std::string StageSummary(const Stage& stage) {
  const std::vector<int32_t> kinds = TileKindTable();
  int fruit = 0, enemies = 0, keys = 0;
  for (int c : stage.codes) {
    const int k = KindOf(kinds, c);
    fruit += k == kKindFruit;
    enemies += k == kKindWalker || k == kKindSlowWalker;
    keys += k == kKindKey;
  }
  std::string out = std::to_string(stage.width) + " x " + std::to_string(stage.height) + ", fruit " +
                    std::to_string(fruit) + ", enemies " + std::to_string(enemies) + ", keys " + std::to_string(keys) +
                    ", mechanics:";
  const std::vector<std::string> used = StageMechanics(stage);
  for (size_t i = 0; i < used.size(); ++i) out += (i ? ", " : " ") + used[i];
  if (used.empty()) out += " none";
  return out;
}

}  // namespace assetgen
