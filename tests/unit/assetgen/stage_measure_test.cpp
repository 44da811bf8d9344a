// The episode measure on small made-up stages, the targets it checks, the
// secret lines it reads and the contact sheet that shows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contact_sheet.h"
#include "stage_measure.h"
#include "stage_secrets.h"

using namespace assetgen;

namespace {

// A 30 x 20 stage: side walls, a floor on the last two rows, and `rows`
// written over the map from row `top` on (each string from column 1).
std::string Map(int top, const std::vector<std::string>& rows, const std::string& extra = "") {
  std::string out = extra;
  for (int y = 0; y < 20; ++y) {
    std::string row = y >= 18 ? std::string(30, '#') : "#" + std::string(28, ' ') + "#";
    const int i = y - top;
    if (i >= 0 && i < static_cast<int>(rows.size()))
      for (size_t x = 0; x < rows[i].size() && x + 1 < 29; ++x) row[x + 1] = rows[i][x];
    out += row + "\n";
  }
  return out;
}

// The map with `text` written at column x of row y (a map without extra lines).
std::string Put(std::string map, int x, int y, const std::string& text) {
  return map.replace(static_cast<size_t>(y) * 31 + static_cast<size_t>(x), text.size(), text);
}

const std::string kWalk = "@  k  *  * w    z    D";

StageMeasure Measure(const std::string& text, std::string* error = nullptr) {
  StageMeasure m;
  std::string e;
  const bool ok = MeasureStageSource(text, "t.txt", 7, &m, &e);
  if (error) *error = ok ? std::string() : e;
  else EXPECT_TRUE(ok) << e;
  return m;
}

// A measure that meets every target on its own.
StageMeasure Good(int stage) {
  StageMeasure m;
  m.stage = stage;
  m.rows = 40;
  m.columns = 100;
  m.emptyTopRows = 5;
  m.enemies = 16;
  m.fruit = 100;
  m.secrets = 1;
  return m;
}

std::vector<StageMeasure> GoodEpisode() {
  std::vector<StageMeasure> out;
  for (int n = 1; n <= 20; ++n) out.push_back(Good(n));
  return out;
}

bool Names(const std::vector<std::string>& misses, const std::string& what) {
  for (const std::string& m : misses)
    if (m.find(what) != std::string::npos) return true;
  return false;
}

}  // namespace

TEST(StageMeasure, CountsRowsSkyEnemiesFruitAndMechanics) {
  // a ledge in row 10 over columns 5..8, the walk on row 17
  const StageMeasure m = Measure(Put(Map(17, {kWalk}), 5, 10, "===="));
  EXPECT_EQ(m.stage, 7);
  EXPECT_EQ(m.rows, 20);
  EXPECT_EQ(m.columns, 30);
  EXPECT_EQ(m.enemies, 2);
  EXPECT_EQ(m.fruit, 2);
  EXPECT_EQ(m.keys, 1);
  EXPECT_EQ(m.secrets, 0);
  EXPECT_EQ(m.emptyTopRows, 10);
  EXPECT_EQ(m.mechanics, std::vector<std::string>{"ledges"});
  // sky: the walls none; the 4 ledge columns 10 cells each; the 6 other
  // columns holding something on the walk row 17 each (the walk's fruit in
  // column 7 lies under the ledge); the other 18 reach down to the floor
  EXPECT_NEAR(m.sky, (4 * 10 + 6 * 17 + 18 * 18) / 600.0, 1e-9);
}

TEST(StageMeasure, EmptyTopRowsStopAtTheFirstThingButNotAtThickWalls) {
  // walls three cells thick on both sides still leave the rows empty
  std::string thick = Map(17, {kWalk});
  for (int y = 0; y < 3; ++y) thick = Put(Put(thick, 1, y, "##"), 26, y, "###");
  EXPECT_EQ(Measure(thick).emptyTopRows, 17);
  // a single fruit high up ends the count there
  EXPECT_EQ(Measure(Put(Map(17, {kWalk}), 14, 3, "*")).emptyTopRows, 3);
  // a row solid from edge to edge is a ceiling, not sky; dark earth is something
  EXPECT_EQ(Measure(Put(Map(17, {kWalk}), 1, 0, std::string(28, '#'))).emptyTopRows, 0);
  EXPECT_EQ(Measure(Put(Map(17, {kWalk}), 1, 2, std::string(28, 'd'))).emptyTopRows, 2);
}

TEST(StageMeasure, SecretsMustLieInTheMapAndBeEnterable) {
  EXPECT_EQ(Measure(Map(17, {kWalk}, ";secret 3-5,16-17\n;secret 20,2\n")).secrets, 2);
  std::string error;
  // column 30 is just outside a 30-wide map; the error names the secret's line
  Measure(Map(17, {kWalk}, "; stage 7: walking\n;secret 30,5\n"), &error);
  EXPECT_EQ(error, "t.txt:2: the secret cell 30,5 lies outside the 30 x 20 map");
  Measure(Map(17, {kWalk}, ";secret 4,20\n"), &error);
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
  // inside the floor and the wall only: nobody could ever enter it
  Measure(Map(17, {kWalk}, ";secret 0,18-19 5-9,18\n"), &error);
  EXPECT_NE(error.find("t.txt:1: every cell of the secret is solid"), std::string::npos) << error;
  // one open cell is enough
  EXPECT_EQ(Measure(Map(17, {kWalk}, ";secret 5-9,17-18\n")).secrets, 1);
  // cells made by hand rather than read are checked as well
  Stage stage;
  ASSERT_TRUE(CompileStage(Map(17, {kWalk}), "t.txt", &stage, &error)) << error;
  StageMeasure m;
  EXPECT_FALSE(MeasureStage(stage, {Secret{3, {{-1, 4}}}}, "t.txt", &m, &error));
  EXPECT_EQ(error.rfind("t.txt:3: the secret cell -1,4 lies outside", 0), 0u) << error;
  // faults of the stage itself come first, from the compiler and the checks
  Measure(Map(17, {"   k  D"}), &error);
  EXPECT_EQ(error, "t.txt: no start ('@')");
}

TEST(EpisodeTargets, AGoodEpisodeMissesNothing) {
  EXPECT_TRUE(EpisodeMisses(GoodEpisode()).empty());
  // only 8 tall stages, the rest one screen: still enough
  std::vector<StageMeasure> e = GoodEpisode();
  for (int i = 8; i < 20; ++i) e[static_cast<size_t>(i)].rows = 19;
  for (int i = 8; i < 20; ++i) e[static_cast<size_t>(i)].emptyTopRows = 9;  // 9 of 19 is not more than half
  EXPECT_TRUE(EpisodeMisses(e).empty());
}

TEST(EpisodeTargets, EachMissNamesItsStage) {
  std::vector<StageMeasure> e = GoodEpisode();
  e[2].secrets = 0;
  e[4].fruit = 89;
  e[6].rows = 19;
  e[6].emptyTopRows = 10;
  e[16].enemies = 14;
  const std::vector<std::string> misses = EpisodeMisses(e);
  EXPECT_EQ(misses.size(), 4u);
  EXPECT_TRUE(Names(misses, "stage 3: 0 secrets")) << ::testing::PrintToString(misses);
  EXPECT_TRUE(Names(misses, "stage 5: 89 fruit")) << ::testing::PrintToString(misses);
  EXPECT_TRUE(Names(misses, "stage 7: 10 of its 19 rows are empty")) << ::testing::PrintToString(misses);
  EXPECT_TRUE(Names(misses, "stage 17: 14 enemies")) << ::testing::PrintToString(misses);
  // 19 rows do not make stage 7 a tall stage, but 19 others are
  EXPECT_FALSE(Names(misses, "rows tall"));
}

TEST(EpisodeTargets, TallStagesAndTheMedianCountOverTheEpisode) {
  std::vector<StageMeasure> e = GoodEpisode();
  for (int i = 0; i < 13; ++i) e[static_cast<size_t>(i)].rows = 37;  // one short of tall
  std::vector<std::string> misses = EpisodeMisses(e);
  ASSERT_EQ(misses.size(), 1u);
  EXPECT_EQ(misses[0], "the episode has 7 stages at least 38 rows tall (14, 15, 16, 17, 18, 19, 20), 8 are needed");

  // the median: half the stages at 8 or more is enough, one fewer is not
  e = GoodEpisode();
  for (int i = 0; i < 15; ++i) e[static_cast<size_t>(i)].enemies = i < 5 ? 0 : i < 10 ? 8 : 3;
  misses = EpisodeMisses(e);
  EXPECT_TRUE(misses.empty()) << ::testing::PrintToString(misses);
  e[9].enemies = 7;
  misses = EpisodeMisses(e);
  ASSERT_EQ(misses.size(), 1u);
  EXPECT_EQ(misses[0].rfind("the median stage has 7 enemies, at least 8 are needed; below that: stages 1 (0), 2 (0)", 0),
            0u)
      << misses[0];
  EXPECT_NE(misses[0].find("10 (7), 11 (3)"), std::string::npos) << misses[0];
  EXPECT_FALSE(EpisodeMisses({}).empty());  // an empty episode has no tall stages
}

TEST(StageSecrets, RangesAndSeveralLines) {
  std::vector<Secret> secrets;
  std::string error;
  ASSERT_TRUE(ReadStageSecrets("#...\n;secret 2-4,7-8 10,1\r\n; other\n;secret\t9,9\n", "s.txt", &secrets, &error))
      << error;
  ASSERT_EQ(secrets.size(), 2u);
  EXPECT_EQ(secrets[0].line, 2);
  EXPECT_EQ(secrets[0].cells.size(), 7u);
  EXPECT_TRUE(SecretHasCell(secrets[0], 3, 8));
  EXPECT_TRUE(SecretHasCell(secrets[0], 10, 1));
  EXPECT_FALSE(SecretHasCell(secrets[0], 5, 7));
  EXPECT_FALSE(SecretHasCell(secrets[0], 9, 9));
  EXPECT_EQ(secrets[1].line, 4);
  EXPECT_TRUE(SecretHasCell(secrets[1], 9, 9));
  // comments that merely start with the word are comments
  ASSERT_TRUE(ReadStageSecrets(";secrets: none yet\n;secretly\n", "s.txt", &secrets, &error)) << error;
  EXPECT_TRUE(secrets.empty());
}

TEST(StageSecrets, MalformedOrHugeLinesAreRefusedNamingTheLine) {
  std::vector<Secret> secrets;
  std::string error;
  for (const char* bad : {";secret 3", ";secret a,b", ";secret 5-3,1", ";secret 1,2,3", ";secret -1,2", ";secret 1,",
                          ";secret 12345,1", ";secret 1-,2", ";secret"}) {
    EXPECT_FALSE(ReadStageSecrets(std::string("; stage\n") + bad + "\n", "s.txt", &secrets, &error)) << bad;
    EXPECT_EQ(error.rfind("s.txt:2: ", 0), 0u) << bad << " -> " << error;
  }
  // a range far beyond any stage is refused before it fills memory
  EXPECT_FALSE(ReadStageSecrets(";secret 0-9999,0-9999\n", "s.txt", &secrets, &error));
  EXPECT_NE(error.find("more than"), std::string::npos) << error;
  EXPECT_TRUE(ReadStageSecrets(";secret 0-63,0-63\n", "s.txt", &secrets, &error)) << error;  // 4096 cells
}

TEST(ContactSheet, ShrinksAveragingAndPlacesEveryStageUnderItsLabel) {
  Image img(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) img.At(x, y)[0] = static_cast<uint8_t>(x < 2 ? 200 : 100);
  const Image small = ShrinkImage(img, 2);
  ASSERT_EQ(small.width, 3);
  ASSERT_EQ(small.height, 2);
  EXPECT_EQ(small.At(0, 0)[0], 200);
  EXPECT_EQ(small.At(1, 1)[0], 100);
  EXPECT_EQ(ShrinkImage(img, 0).width, 5);

  std::vector<SheetEntry> entries;
  for (int i = 0; i < 3; ++i) {
    Image p(1500, 40);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 1500; ++x) p.At(x, y)[1] = static_cast<uint8_t>(50 + 50 * i);
    entries.push_back({p, SheetLabel(Good(i + 1))});
  }
  const Image sheet = ContactSheet(entries);
  // 1500 wide: one stage to a row of the page, each below its label line
  EXPECT_GE(sheet.width, 1500);
  EXPECT_GE(sheet.height, 3 * 56);
  int found = 0;
  for (int y = 0; y < sheet.height; ++y)
    if (sheet.At(sheet.width / 2, y)[1] == 50 + 50 * found && ++found == 3) break;
  EXPECT_EQ(found, 3);
}
