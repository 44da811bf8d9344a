// The measure of the episode: how tall, how open and how full each stage is,
// and the targets the twenty stages together are held to. The generator
// prints it while it compiles the stages; the episode tests check the targets.
#pragma once

#include <string>
#include <vector>

#include "stage_secrets.h"
#include "stages.h"

namespace assetgen {

// Episode targets.
constexpr int kTallStageRows = 38;       // two screens: a stage this tall counts as tall
constexpr int kTallStagesNeeded = 8;     // tall stages in the episode
constexpr int kMedianEnemiesNeeded = 8;  // at least half the stages have this many enemies
constexpr int kLastStagesFrom = 16;      // stages from this number on are the hard ones...
constexpr int kLastStageEnemies = 15;    // ...with at least this many enemies each
constexpr int kSecretsNeeded = 1;        // per stage
constexpr int kFruitNeeded = 90;         // per stage

struct StageMeasure {
  int stage = 0;         // number in the episode, from 1
  int rows = 0;          // height of the map
  int columns = 0;       // width of the map
  double sky = 0.0;      // share of all cells that lie above everything in their column
  int emptyTopRows = 0;  // rows from the top holding nothing but the side walls
  int enemies = 0;       // walkers and slow walkers
  int fruit = 0;         // fruit cells
  int keys = 0;          // key cells
  int secrets = 0;       // ";secret" lines of the source
  std::vector<std::string> mechanics;  // as StageMechanics names them
};

// Measures a compiled stage with the secrets of its source. A column's sky is
// its empty cells above its highest non-empty cell (all of it when the column
// is empty). A top row is empty when, after the solid cells touching the left
// and the right edge, everything in it is empty. False with "file:line: ..."
// when a secret names a cell outside the map or names only solid cells.
// out->stage is left as the caller set it.
bool MeasureStage(const Stage& stage, const std::vector<Secret>& secrets, const std::string& file,
                  StageMeasure* out, std::string* error);

// Compiles, validates and measures a stage source (`stage` is its number).
bool MeasureStageSource(const std::string& text, const std::string& file, int stage, StageMeasure* out,
                        std::string* error);

// Column titles and one row of the measure table the generator prints.
std::string MeasureTableHeader();
std::string MeasureTableRow(const StageMeasure& m);

// Every target the episode misses, one line each naming the stages that miss
// it; empty when the episode meets them all.
std::vector<std::string> EpisodeMisses(const std::vector<StageMeasure>& stages);

}  // namespace assetgen
