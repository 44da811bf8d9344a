#include "unit/episode/route_driver.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include "engine/platform/KWindow.h"
#include "game/game_context.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"

namespace episode {

namespace {

// Frame counts in plans are frames of this many milliseconds; at another
// frame time the driver holds keys for the same time instead.
constexpr float kPlanFrameMs = 16.0f;
constexpr int kDefaultStepMax = 900;   // frames a conditional step may take
constexpr float kTile = 32.0f;
// Stomping: hero walk speed in tiles per plan frame (it scales with the
// frame time), walker speeds in tiles per frame whatever its length, and
// when to jump.
constexpr float kWalkTilesPerFrame = 0.1f;
constexpr float kWalkerTilesPerFrame = 1.0f / 32.0f;
constexpr float kSlowWalkerTilesPerFrame = 0.5f / 32.0f;
constexpr float kStompLeadFrames = 20.0f;
constexpr int kStompJumpFrames = 6;      // the jump key held for the stomp
constexpr int kStompSettleFrames = 8;    // then no new approach before this
constexpr float kStompWindow = 0.4f;
constexpr float kStompStuck = 0.001f;    // a step back that moved him less did not move him
constexpr int kStompStuckFrames = 3;     // that many in a row: a wall is behind him, jump
constexpr float kStompReach = 12.0f;   // enemies farther away are left alone
constexpr float kStompFloor = 6.0f;    // enemies more rows above or below are on another floor
// Following a bonus item: how far off its centre the hero may stand.
constexpr float kFetchSlack = 0.15f;
constexpr int kFetchWaitFrames = 40;   // for the item to come out of the block

// Frames of the harness's frame time that last as long as n plan frames.
int Frames(int n) {
  if (n <= 0) return n;
  const double scaled = std::lround(n * (kPlanFrameMs / HarnessFrameMs()));
  return scaled < 1 ? 1 : static_cast<int>(scaled);
}

GameObject* FindHero() {
  for (GameObject* o = objectList; o; o = o->next)
    if (o->type == Hero) return o;
  return nullptr;
}

// Centre of an object in world tiles.
void CentreTiles(const GameObject* o, float* cx, float* cy) {
  *cx = (o->x + cameraX + o->frameW / 2.0f) / kTile;
  *cy = (o->y + cameraY + o->frameH / 2.0f) / kTile;
}

// The object of one of the types nearest the hero's centre; null if none.
const GameObject* Nearest(uint32_t typeA, uint32_t typeB) {
  const GameObject* hero = FindHero();
  if (!hero) return nullptr;
  float hx, hy;
  CentreTiles(hero, &hx, &hy);
  const GameObject* best = nullptr;
  float bestD = 0;
  for (const GameObject* o = objectList; o; o = o->next) {
    if ((o->type != typeA && o->type != typeB) || o->dying) continue;
    float ox, oy;
    CentreTiles(o, &ox, &oy);
    const float d = (ox - hx) * (ox - hx) + (oy - hy) * (oy - hy);
    if (!best || d < bestD) {
      best = o;
      bestD = d;
    }
  }
  return best;
}

bool AliveEnemy(const GameObject* target) {
  for (const GameObject* o = objectList; o; o = o->next)
    if (o == target) return !o->dying && !o->removeMe;
  return false;
}

bool AnyOfType(uint32_t type) {
  for (const GameObject* o = objectList; o; o = o->next)
    if (o->type == type) return true;
  return false;
}

// Key names of plans: the harness's names and two aliases.
bool ParseKeys(const std::vector<std::string>& words, HarnessInput* input, std::string* error) {
  std::string line;
  for (const std::string& w : words) {
    if (w == "-") continue;
    const std::string name = w == "Jump" ? "Space" : w == "Run" ? "LShift" : w;
    line += name + " ";
  }
  std::vector<HarnessInput> one;
  if (!HarnessParseInput(line, &one, error)) return false;
  *input = one.empty() ? HarnessInput() : one[0];
  return true;
}

// One condition of a plan step against the live game.
bool Evaluate(const std::string& cond, bool* ok, std::string* error) {
  const GameObject* hero = FindHero();
  float hx = 0, hy = 0;
  if (hero) CentreTiles(hero, &hx, &hy);
  if (cond == "landed") return *ok = hero && canJump && hero->vy == 0 && !hero->climbing, true;
  if (cond == "air") return *ok = hero && !canJump && !hero->climbing && !hero->riding, true;
  if (cond == "climbing") return *ok = hero && hero->climbing, true;
  if (cond == "!climbing") return *ok = hero && !hero->climbing, true;
  if (cond == "riding") return *ok = hero && hero->riding, true;
  if (cond == "!riding") return *ok = hero && !hero->riding, true;
  if (cond == "finished") return *ok = stageFinished, true;
  if (cond == "super") return *ok = powerState.superMs > 0, true;
  if (cond == "superjump") return *ok = powerState.superJumpMs > 0 && powerState.powerCharges > 0, true;
  if (cond == "dig") return *ok = powerState.digMs > 0 && powerState.powerCharges > 0, true;
  if (cond == "plum") return *ok = powerState.plumMs > 0, true;
  if (cond == "freeze") return *ok = powerState.freezeMs > 0, true;
  if (cond == "nopower")
    return *ok = powerState.freezeMs <= 0 && powerState.superMs <= 0 && powerState.superJumpMs <= 0 &&
                 powerState.digMs <= 0 && powerState.plumMs <= 0,
           true;
  if (cond == "haskey") {  // a key is held or on its way to the counter
    bool flying = false;
    for (const GameObject* o = objectList; o; o = o->next) flying = flying || (o->type == Key && o->hudBound);
    return *ok = keys > 0 || flying, true;
  }
  if (cond == "hole") return *ok = hole.open, true;
  if (cond == "!hole") return *ok = !hole.open, true;
  if (cond == "bomb") return *ok = AnyOfType(DigBomb), true;
  if (cond == "!bomb") return *ok = !AnyOfType(DigBomb), true;

  // name, comparison, number
  size_t op = cond.find_first_of("<>");
  if (op == std::string::npos || op + 1 >= cond.size() || cond[op + 1] != '=') {
    *error = "unknown condition '" + cond + "'";
    return false;
  }
  const std::string name = cond.substr(0, op);
  const bool atLeast = cond[op] == '>';
  char* end = nullptr;
  const std::string num = cond.substr(op + 2);
  const double v = std::strtod(num.c_str(), &end);
  if (num.empty() || *end != '\0') {
    *error = "bad number in '" + cond + "'";
    return false;
  }
  double have = 0;
  bool present = hero != nullptr;
  if (name == "x") have = hx;
  else if (name == "y") have = hy;
  else if (name == "vy") have = hero ? hero->vy : 0;
  else if (name == "keys") have = keys;
  else if (name == "fruit") have = fruitCount;
  else if (name == "charges") have = powerState.powerCharges;
  else if (name == "px" || name == "py" || name == "ex" || name == "edx" || name == "pdx" || name == "pdy") {
    const bool enemy = name[0] == 'e';
    const GameObject* o = enemy ? Nearest(Walker, SlowWalker) : Nearest(Platform, Platform);
    present = o != nullptr;
    if (o) {
      float ox, oy;
      CentreTiles(o, &ox, &oy);
      const bool vertical = name == "py" || name == "pdy";
      have = vertical ? oy : ox;
      if (name == "edx" || name == "pdx") have -= hx;  // relative to the hero
      if (name == "pdy") have -= hy;
    }
  } else {
    *error = "unknown condition '" + cond + "'";
    return false;
  }
  *ok = present && (atLeast ? have >= v : have <= v);
  return true;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  std::istringstream in(line);
  std::string w;
  while (in >> w) out.push_back(w);
  return out;
}

// One frame of a stage run; false when the run has to stop.
bool StepFrame(const HarnessInput& input, StageRun* run) {
  if (!HarnessFrame(input)) {
    run->error = "the game loop ended";
    return false;
  }
  ++run->framesRun;
  if (gameState == LifeLost || gameState == GameOver) {
    run->lifeLost = true;
    run->error = "life lost on frame " + std::to_string(run->framesRun) + " " + DescribeHero();
    return false;
  }
  if (stageFinished && run->finishFrame < 0) {
    run->finished = true;
    run->finishFrame = run->framesRun;
  }
  return true;
}

}  // namespace

std::string SourceRoot() {
  if (const char* env = std::getenv("BR_SOURCE_DIR"); env && *env) return env;
#ifdef BR_EPISODE_SOURCE_DIR
  return BR_EPISODE_SOURCE_DIR;
#else
  return ".";
#endif
}

std::string RoutePath(int stage) { return SourceRoot() + "/data/stages/e1s" + std::to_string(stage) + ".route"; }
std::string PlanPath(int stage) {
  return SourceRoot() + "/tests/unit/episode/plans/e1s" + std::to_string(stage) + ".plan";
}

bool ReadTextFile(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  *out = ss.str();
  return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << text;
  return static_cast<bool>(out);
}

bool GameDataPresent() {
  const std::string root = HarnessGameDataDir() + "/";
  struct stat st;
  return stat((root + "data.dat").c_str(), &st) == 0 && stat((root + "tarn/e1s1.pak").c_str(), &st) == 0 &&
         stat((root + "tarn/world1.prp").c_str(), &st) == 0;
}

bool GameDataExpected() { return HarnessGameDataExpected(); }

std::string MakeSilentDataDir() {
  const std::string dir = HarnessMakeTempDir();
  if (dir.empty()) return dir;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path build = HarnessGameDataDir();
  fs::copy_file(build / "data.dat", fs::path(dir) / "data.dat", ec);
  fs::copy(build / "tarn", fs::path(dir) / "tarn", fs::copy_options::recursive, ec);
  if (ec || !HarnessMakeMinimalData(dir)) {
    RemoveDataDir(dir);
    return std::string();
  }
  return dir;
}

void RemoveDataDir(const std::string& dir) {
  if (dir.empty()) return;
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

bool StartSilent(int stage, std::string* dir, HarnessOptions options) {
  *dir = MakeSilentDataDir();
  if (dir->empty()) return false;
  options.drawFrames = false;
  options.dataDir = *dir;
  if (!HarnessStart(options)) return false;
  return stage == 0 || HarnessStartStage(stage);
}

HeroInfo CurrentHero() {
  HeroInfo info;
  if (const GameObject* hero = FindHero()) {
    info.exists = true;
    CentreTiles(hero, &info.cx, &info.cy);
    info.vy = hero->vy;
  }
  return info;
}

std::string DescribeHero() {
  const HeroInfo h = CurrentHero();
  if (!h.exists) return "(no hero)";
  char text[240];
  int n = std::snprintf(text, sizeof text, "(hero centre %.2f, %.2f tiles, vy %.2f, state %d, keys %d, lives %d", h.cx,
                        h.cy, h.vy, static_cast<int>(gameState), keys, lives);
  if (const GameObject* e = Nearest(Walker, SlowWalker)) {
    float ex, ey;
    CentreTiles(e, &ex, &ey);
    n += std::snprintf(text + n, sizeof text - n, "; enemy %.2f, %.2f", ex, ey);
  }
  if (const GameObject* p = Nearest(Platform, Platform)) {
    float px, py;
    CentreTiles(p, &px, &py);
    n += std::snprintf(text + n, sizeof text - n, "; platform %.2f, %.2f", px, py);
  }
  if (hole.open) n += std::snprintf(text + n, sizeof text - n, "; hole %.2f, %.2f", hole.worldX / kTile, hole.worldY / kTile);
  if (const GameObject* hero = FindHero()) n += std::snprintf(text + n, sizeof text - n, "%s%s%s", canJump ? " canJump" : "", hero->riding ? " riding" : "", hero->climbing ? " climbing" : "");
  std::snprintf(text + n, sizeof text - n, ")");
  return text;
}

StageRun PlayFrames(const std::vector<HarnessInput>& frames) {
  StageRun run;
  for (const HarnessInput& input : frames) {
    if (!StepFrame(input, &run)) return run;
    if (run.finished) return run;
  }
  if (!run.finished) run.error = "the route ended without finishing the stage " + DescribeHero();
  return run;
}

StageRun PlayPlan(const std::string& plan, std::vector<HarnessInput>* recorded) {
  StageRun run;
  int traceEvery = 0;
  int lineNo = 0;
  auto trace = [&]() {
    if (traceEvery > 0 && run.framesRun % traceEvery == 0)
      std::printf("line %d frame %d %s\n", lineNo, run.framesRun, DescribeHero().c_str());
  };
  std::istringstream lines(plan);
  std::string line;
  while (std::getline(lines, line)) {
    ++lineNo;
    const std::string where = "plan line " + std::to_string(lineNo) + ": ";
    if (size_t hash = line.find('#'); hash != std::string::npos) line.resize(hash);
    std::vector<std::string> words = Words(line);
    if (words.empty()) continue;

    if (words[0] == "stomp") {
      // Walks to the nearest enemy and lands on it; again until it is dead.
      const int limit = Frames(words.size() > 2 && words[1] == "max" ? std::atoi(words[2].c_str()) : kDefaultStepMax);
      const GameObject* target = Nearest(Walker, SlowWalker);
      if (const GameObject* hero = FindHero(); target && hero) {
        float hx, hy, ex, ey;
        CentreTiles(hero, &hx, &hy);
        CentreTiles(target, &ex, &ey);
        // already dealt with, or on another floor
        if (std::fabs(ex - hx) > kStompReach || std::fabs(ey - hy) > kStompFloor) target = nullptr;
      }
      if (!target) continue;
      HarnessInput left, right, leftJump, rightJump, none;
      left.keys = {kHarnessKeyLeft};
      right.keys = {kHarnessKeyRight};
      leftJump.keys = {kHarnessKeyLeft, kHarnessKeySpace};
      rightJump.keys = {kHarnessKeyRight, kHarnessKeySpace};
      int phase = 0, dir = 0, jumpFrames = 0;
      float lastBackX = 0.0f;  // where the last step back began
      int stuckFrames = 0;     // steps back in a row that did not move him
      for (int n = 0; AliveEnemy(target); ++n) {
        if (n >= limit) {
          run.error = where + "stomp not done after " + std::to_string(limit) + " frames " + DescribeHero();
          return run;
        }
        const GameObject* hero = FindHero();
        if (!hero) break;
        float hx, hy, ex, ey;
        CentreTiles(hero, &hx, &hy);
        CentreTiles(target, &ex, &ey);
        const float d = ex - hx;
        const HarnessInput* input = &none;
        if (phase == 0) {
          if (!canJump) {
            input = &none;
          } else {
            // Jump so that the hero is over the enemy about 20 frames later,
            // on his way down: the distance depends on the enemy's speed and
            // on whether it comes toward him.
            const float ratio = HarnessFrameMs() / kPlanFrameMs;
            const float speed = target->type == Walker ? kWalkerTilesPerFrame : kSlowWalkerTilesPerFrame;
            const bool towards = (d > 0) == (target->heading == 1);
            const float jumpAt =
                kStompLeadFrames / ratio * (kWalkTilesPerFrame * ratio + (towards ? speed : -speed));
            const float dist = std::fabs(d);
            if (dist > jumpAt || std::fabs(ey - hy) > 0.5f) {
              input = d < 0 ? &left : &right;
            } else if (dist < jumpAt - kStompWindow && stuckFrames < kStompStuckFrames) {
              // too close: step back first, unless a wall stops him
              stuckFrames = std::fabs(hx - lastBackX) < kStompStuck ? stuckFrames + 1 : 0;
              lastBackX = hx;
              input = d < 0 ? &right : &left;
            } else {
              stuckFrames = 0;
              phase = 1;
              dir = d < 0 ? -1 : 1;
              jumpFrames = 0;
            }
          }
        }
        if (phase == 1) {
          if (jumpFrames < Frames(kStompJumpFrames)) {
            input = dir < 0 ? &leftJump : &rightJump;
          } else if (dir * d > 0.05f) {
            input = dir < 0 ? &left : &right;
          } else {
            input = &none;
          }
          ++jumpFrames;
          if (jumpFrames > Frames(kStompSettleFrames) && canJump) phase = 0;
        }
        if (!StepFrame(*input, &run)) return run;
        recorded->push_back(*input);
        trace();
        if (run.finished) return run;
      }
      // then back on the ground
      for (int n = 0; !canJump; ++n) {
        if (n >= limit || !StepFrame(none, &run)) {
          if (run.error.empty()) run.error = where + "no landing after the stomp " + DescribeHero();
          return run;
        }
        recorded->push_back(none);
        trace();
      }
      continue;
    }
    if (words[0] == "fetch") {
      // Follows the bonus item that came out of a block until it is taken.
      const int limit = Frames(words.size() > 2 && words[1] == "max" ? std::atoi(words[2].c_str()) : kDefaultStepMax);
      HarnessInput left, right, none;
      left.keys = {kHarnessKeyLeft};
      right.keys = {kHarnessKeyRight};
      bool seen = false;
      for (int n = 0;; ++n) {
        const GameObject* item = nullptr;
        for (const GameObject* o = objectList; o; o = o->next)
          if (o->type >= FreezeBonus && o->type <= PlumBonus) item = o;
        if (item) seen = true;
        if (!item && (seen || n >= Frames(kFetchWaitFrames))) break;  // taken, or none came out
        if (n >= limit) {
          run.error = where + "the bonus was not taken after " + std::to_string(limit) + " frames " + DescribeHero();
          return run;
        }
        const GameObject* hero = FindHero();
        if (!hero) break;
        float hx, hy, ix = 0, iy = 0;
        CentreTiles(hero, &hx, &hy);
        if (item) CentreTiles(item, &ix, &iy);
        const HarnessInput* input = &none;
        if (!item) ix = hx;  // still waiting for it
        if (ix - hx > kFetchSlack) input = &right;
        else if (hx - ix > kFetchSlack) input = &left;
        if (!StepFrame(*input, &run)) return run;
        recorded->push_back(*input);
        trace();
        if (run.finished) return run;
      }
      continue;
    }
    if (words[0] == "trace") {  // "trace N": print the hero every N frames (0: off)
      traceEvery = words.size() > 1 ? std::atoi(words[1].c_str()) : 1;
      continue;
    }
    std::vector<std::string> keyWords, conds;
    int repeat = -1, maxFrames = kDefaultStepMax;
    bool inConds = false;
    for (size_t i = 0; i < words.size(); ++i) {
      const std::string& w = words[i];
      if (w == "until") {
        inConds = true;
      } else if (w == "max" && i + 1 < words.size()) {
        maxFrames = std::atoi(words[++i].c_str());
      } else if (!inConds && w[0] == '*') {
        repeat = std::atoi(w.c_str() + 1);
      } else if (inConds) {
        if (w != "and") conds.push_back(w);
      } else {
        keyWords.push_back(w);
      }
    }
    HarnessInput input;
    std::string error;
    if (!ParseKeys(keyWords, &input, &error)) {
      run.error = where + error;
      return run;
    }
    maxFrames = Frames(maxFrames);
    if (conds.empty()) {
      repeat = repeat < 0 ? 1 : Frames(repeat);
      for (int i = 0; i < repeat; ++i) {
        if (!StepFrame(input, &run)) return run;
        recorded->push_back(input);
        trace();
        if (run.finished) return run;
      }
      continue;
    }
    for (int n = 0;; ++n) {
      bool all = true;
      for (const std::string& c : conds) {
        bool ok = false;
        if (!Evaluate(c, &ok, &error)) {
          run.error = where + error;
          return run;
        }
        all = all && ok;
      }
      if (all) break;
      if (n >= maxFrames) {
        run.error = where + "'" + line + "' not met after " + std::to_string(maxFrames) + " frames " +
                    DescribeHero();
        return run;
      }
      if (!StepFrame(input, &run)) return run;
      recorded->push_back(input);
      trace();
      if (run.finished) return run;
    }
  }
  if (!run.finished) run.error = "the plan ended without finishing the stage " + DescribeHero();
  return run;
}

std::string FormatRoute(const std::vector<HarnessInput>& frames, const std::string& header) {
  std::string out = header;
  size_t i = 0;
  while (i < frames.size()) {
    const std::string line = HarnessFormatInput(frames[i]);
    size_t j = i + 1;
    while (j < frames.size() && HarnessFormatInput(frames[j]) == line) ++j;
    const size_t n = j - i;
    out += line;
    if (n > 1) out += (line.empty() ? "*" : " *") + std::to_string(n);
    out += "\n";
    i = j;
  }
  return out;
}

}  // namespace episode
