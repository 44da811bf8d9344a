#include "stage_measure.h"

#include <algorithm>
#include <cstdio>

#include "tiles.h"

namespace assetgen {

namespace {

bool IsSolid(const std::vector<int32_t>& kinds, int code) {
  return code >= 0 && code < static_cast<int>(kinds.size()) && kinds[static_cast<size_t>(code)] == kKindSolid;
}

// "a (x), b (y)" for the stages listed with the value shown for each.
std::string StageList(const std::vector<const StageMeasure*>& stages, int StageMeasure::*value) {
  std::string out;
  for (const StageMeasure* m : stages) {
    if (!out.empty()) out += ", ";
    out += std::to_string(m->stage);
    if (value) out += " (" + std::to_string(m->*value) + ")";
  }
  return out;
}

}  // namespace

bool MeasureStage(const Stage& stage, const std::vector<Secret>& secrets, const std::string& file,
                  StageMeasure* out, std::string* error) {
  const int w = stage.width, h = stage.height;
  if (w <= 0 || h <= 0 || stage.codes.size() != static_cast<size_t>(w) * h) {
    *error = file + ": the stage has no map to measure";
    return false;
  }
  const std::vector<int32_t> kinds = TileKindTable();
  auto at = [&](int x, int y) { return stage.codes[static_cast<size_t>(y) * w + x]; };

  for (const Secret& s : secrets) {
    const std::string where = file + ":" + std::to_string(s.line) + ": ";
    bool open = false;
    for (const Cell& c : s.cells) {
      if (c.x < 0 || c.y < 0 || c.x >= w || c.y >= h) {
        *error = where + "the secret cell " + std::to_string(c.x) + "," + std::to_string(c.y) +
                 " lies outside the " + std::to_string(w) + " x " + std::to_string(h) + " map";
        return false;
      }
      open |= !IsSolid(kinds, at(c.x, c.y));
    }
    if (!open) {
      *error = where + "every cell of the secret is solid: the hero could never enter it";
      return false;
    }
  }

  StageMeasure m;
  m.rows = h;
  m.columns = w;
  m.secrets = static_cast<int>(secrets.size());
  m.mechanics = StageMechanics(stage);
  size_t skyCells = 0;
  for (int x = 0; x < w; ++x) {
    int y = 0;
    while (y < h && at(x, y) == code::kEmpty) ++y;
    skyCells += static_cast<size_t>(y);
  }
  m.sky = static_cast<double>(skyCells) / (static_cast<double>(w) * h);
  for (int y = 0; y < h; ++y) {
    int left = 0, right = w - 1;
    while (left < w && IsSolid(kinds, at(left, y))) ++left;
    while (right >= left && IsSolid(kinds, at(right, y))) --right;
    bool empty = left <= right;  // a row solid from edge to edge is a ceiling, not sky
    for (int x = left; x <= right && empty; ++x) empty = at(x, y) == code::kEmpty;
    if (!empty) break;
    ++m.emptyTopRows;
  }
  for (int c : stage.codes) {
    const int k = c >= 0 && c < static_cast<int>(kinds.size()) ? kinds[static_cast<size_t>(c)] : kKindNone;
    m.enemies += k == kKindWalker || k == kKindSlowWalker;
    m.fruit += k == kKindFruit;
    m.keys += k == kKindKey;
  }
  m.stage = out->stage;
  *out = std::move(m);
  return true;
}

bool MeasureStageSource(const std::string& text, const std::string& file, int stage, StageMeasure* out,
                        std::string* error) {
  Stage compiled;
  std::vector<Secret> secrets;
  if (!CompileStage(text, file, &compiled, error) || !ValidateStage(compiled, file, error) ||
      !ReadStageSecrets(text, file, &secrets, error))
    return false;
  out->stage = stage;
  return MeasureStage(compiled, secrets, file, out, error);
}

std::string MeasureTableHeader() {
  return "stage  rows  cols   sky  top rows  enemies  fruit  keys  secrets  mechanics";
}

std::string MeasureTableRow(const StageMeasure& m) {
  char line[128];
  std::snprintf(line, sizeof line, "%5d  %4d  %4d  %3.0f%%  %8d  %7d  %5d  %4d  %7d  ", m.stage, m.rows, m.columns,
                m.sky * 100.0, m.emptyTopRows, m.enemies, m.fruit, m.keys, m.secrets);
  std::string out = line;
  for (size_t i = 0; i < m.mechanics.size(); ++i) out += (i ? ", " : "") + m.mechanics[i];
  if (m.mechanics.empty()) out += "none";
  return out;
}

std::vector<std::string> EpisodeMisses(const std::vector<StageMeasure>& stages) {
  std::vector<std::string> misses;
  auto where = [&](auto missing) {
    std::vector<const StageMeasure*> out;
    for (const StageMeasure& m : stages)
      if (missing(m)) out.push_back(&m);
    return out;
  };

  const auto tall = where([](const StageMeasure& m) { return m.rows >= kTallStageRows; });
  if (static_cast<int>(tall.size()) < kTallStagesNeeded)
    misses.push_back("the episode has " + std::to_string(tall.size()) + " stages at least " +
                     std::to_string(kTallStageRows) + " rows tall" +
                     (tall.empty() ? std::string() : " (" + StageList(tall, nullptr) + ")") + ", " +
                     std::to_string(kTallStagesNeeded) + " are needed");

  for (const StageMeasure* m : where([](const StageMeasure& s) { return s.emptyTopRows * 2 > s.rows; }))
    misses.push_back("stage " + std::to_string(m->stage) + ": " + std::to_string(m->emptyTopRows) + " of its " +
                     std::to_string(m->rows) + " rows are empty above everything, at most half may be");

  // the median stage: at least half the stages reach it
  if (!stages.empty()) {
    std::vector<int> enemies;
    for (const StageMeasure& m : stages) enemies.push_back(m.enemies);
    std::sort(enemies.begin(), enemies.end(), [](int a, int b) { return a > b; });
    const int median = enemies[(enemies.size() + 1) / 2 - 1];
    if (median < kMedianEnemiesNeeded)
      misses.push_back("the median stage has " + std::to_string(median) + " enemies, at least " +
                       std::to_string(kMedianEnemiesNeeded) + " are needed; below that: stages " +
                       StageList(where([](const StageMeasure& s) { return s.enemies < kMedianEnemiesNeeded; }),
                                 &StageMeasure::enemies));
  }

  for (const StageMeasure* m :
       where([](const StageMeasure& s) { return s.stage >= kLastStagesFrom && s.enemies < kLastStageEnemies; }))
    misses.push_back("stage " + std::to_string(m->stage) + ": " + std::to_string(m->enemies) + " enemies, stages " +
                     std::to_string(kLastStagesFrom) + " on need at least " + std::to_string(kLastStageEnemies));
  for (const StageMeasure* m : where([](const StageMeasure& s) { return s.secrets < kSecretsNeeded; }))
    misses.push_back("stage " + std::to_string(m->stage) + ": " + std::to_string(m->secrets) +
                     " secrets, every stage needs at least " + std::to_string(kSecretsNeeded));
  for (const StageMeasure* m : where([](const StageMeasure& s) { return s.fruit < kFruitNeeded; }))
    misses.push_back("stage " + std::to_string(m->stage) + ": " + std::to_string(m->fruit) +
                     " fruit, every stage needs at least " + std::to_string(kFruitNeeded));
  return misses;
}

}  // namespace assetgen
