// The stage sources of the episode pass the generator's checks, and the
// checks refuse stages the game could not play through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stage_measure.h"
#include "stages.h"
#include "unit/episode/route_driver.h"

namespace {

constexpr int kMaxStageRows = 100;  // a climb of five screens at most

using assetgen::CompileStage;
using assetgen::Stage;
using assetgen::StageSummary;
using assetgen::ValidateStage;

// A 25 x 19 stage: walls, a floor in the last row, and the given rows
// written over rows 14..17 (one string per row, from column 1).
std::string Text(const std::vector<std::string>& rows) {
  std::string out;
  for (int y = 0; y < 19; ++y) {
    std::string row(25, ' ');
    row[0] = row[24] = '#';
    if (y == 18) row.assign(25, '#');
    const int i = y - 14;
    if (i >= 0 && i < static_cast<int>(rows.size()))
      for (size_t x = 0; x < rows[i].size() && x + 1 < 24; ++x) row[x + 1] = rows[i][x];
    out += row + "\n";
  }
  return out;
}

// Compiles and validates; the error text when either refuses.
std::string Check(const std::vector<std::string>& rows) {
  Stage s;
  std::string error;
  if (!CompileStage(Text(rows), "t.txt", &s, &error)) return error;
  if (!ValidateStage(s, "t.txt", &error)) return error;
  return std::string();
}

TEST(StageSources, EveryStageOfTheEpisodePassesTheChecks) {
  for (int n = 1; n <= episode::kEpisodeStages; ++n) {
    const std::string path = episode::SourceRoot() + "/data/stages/e1s" + std::to_string(n) + ".txt";
    std::string text, error;
    ASSERT_TRUE(episode::ReadTextFile(path, &text)) << path;
    Stage s;
    ASSERT_TRUE(CompileStage(text, path, &s, &error)) << error;
    EXPECT_TRUE(ValidateStage(s, path, &error)) << error;
    EXPECT_GE(s.width * s.height, 60 * 19) << path;
    EXPECT_LE(s.width, 250) << path;
    EXPECT_LE(s.height, kMaxStageRows) << path;
    EXPECT_NE(StageSummary(s).find("keys 1"), std::string::npos) << path;
  }
}

// The episode as a whole: tall stages, no stage mostly empty sky, enemies
// rising to the last five, a secret and about a hundred fruit in every stage.
TEST(StageSources, TheEpisodeMeetsItsTargets) {
  std::vector<assetgen::StageMeasure> measures;
  for (int n = 1; n <= episode::kEpisodeStages; ++n) {
    const std::string path = episode::SourceRoot() + "/data/stages/e1s" + std::to_string(n) + ".txt";
    std::string text, error;
    ASSERT_TRUE(episode::ReadTextFile(path, &text)) << path;
    assetgen::StageMeasure m;
    ASSERT_TRUE(assetgen::MeasureStageSource(text, path, n, &m, &error)) << error;
    measures.push_back(m);
  }
  for (const std::string& miss : assetgen::EpisodeMisses(measures)) ADD_FAILURE() << miss;
}

TEST(StageSources, ThePlaceholderPassesTheChecks) {
  const std::string path = episode::SourceRoot() + "/data/stages/placeholder.txt";
  std::string text, error;
  ASSERT_TRUE(episode::ReadTextFile(path, &text)) << path;
  Stage s;
  ASSERT_TRUE(CompileStage(text, path, &s, &error)) << error;
  EXPECT_TRUE(ValidateStage(s, path, &error)) << error;
}

TEST(StageChecks, AcceptAPlayableStage) {
  EXPECT_EQ(Check({"", "", "", " @   k  w     ==  z  D"}), "");
}

TEST(StageChecks, RefuseWhatCannotBePlayed) {
  // start in the air
  EXPECT_NE(Check({" @", "", "", "     k       D"}).find("no floor under the start"), std::string::npos);
  // an enemy above nothing, and one on a two-cell ledge
  EXPECT_NE(Check({"", "          w", "", " @   k       D"}).find("enemy without a floor"), std::string::npos);
  EXPECT_NE(Check({"", "          w", "         ==", " @   k       D"}).find("shorter than 3"), std::string::npos);
  // a shuttle whose row never meets a solid cell on the right
  std::string open = Text({"", "     >", "", " @   k       D"});
  open[15 * 26 + 24] = ' ';  // no wall at the end of the shuttle's row
  Stage s;
  std::string error;
  ASSERT_TRUE(CompileStage(open, "t.txt", &s, &error)) << error;
  EXPECT_FALSE(ValidateStage(s, "t.txt", &error));
  EXPECT_NE(error.find("shuttle"), std::string::npos) << error;
  // two doors
  EXPECT_NE(Check({"", "", "", " @   k   D   D"}).find("second exit"), std::string::npos);
  // bricks without a super block, plum blocks without the plum power
  EXPECT_NE(Check({"", "    BB", "", " @   k       D"}).find("super block"), std::string::npos);
  EXPECT_NE(Check({"", "    pp", "", " @   k       D"}).find("plum-power"), std::string::npos);
  EXPECT_EQ(Check({"", "  S BB  P pp", "", " @   k       D"}), "");
}

TEST(StageChecks, ErrorsNameRowAndColumn) {
  // rows and columns of the map, counted from 1
  EXPECT_EQ(Check({"", "", "         w", " @   k       D"}).rfind("t.txt:17:11:", 0), 0u);
  EXPECT_EQ(Check({"", "          w", "", " @   k       D"}).rfind("t.txt:16:12:", 0), 0u);
}

TEST(StageChecks, SummaryListsWhatIsUsed) {
  Stage s;
  std::string error;
  ASSERT_TRUE(CompileStage(Text({"", "   -- S", " H", " H@  k * * w   s  D"}), "t.txt", &s, &error)) << error;
  const std::string summary = StageSummary(s);
  EXPECT_NE(summary.find("25 x 19, fruit 2, enemies 1, keys 1"), std::string::npos) << summary;
  EXPECT_NE(summary.find("ladders"), std::string::npos) << summary;
  EXPECT_NE(summary.find("hang bars"), std::string::npos) << summary;
  EXPECT_NE(summary.find("springs"), std::string::npos) << summary;
  EXPECT_NE(summary.find("super"), std::string::npos) << summary;
  EXPECT_EQ(summary.find("orbits"), std::string::npos) << summary;
}

}  // namespace
