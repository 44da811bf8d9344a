// Rules of play that hold through the real frame step: the editor freezes the
// world, nothing happens to the hero after the exit, F1 and Escape in the
// death and game-over states, the orbit platforms' directions, the ending's
// hop and the counts after the editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "game/game_context.h"
#include "game/game_state.h"
#include "gameplay/enemies.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "harness/harness.h"
#include "unit/game/drawing_recorder.h"
#include "world/editor.h"
#include "world/level.h"

namespace {

HarnessInput Keys(std::initializer_list<int> keys) {
  HarnessInput input;
  input.keys = keys;
  return input;
}

void Press(std::initializer_list<int> keys) {
  HarnessFrame(Keys(keys));
  HarnessFrame();
}

void Click(int x, int y) {
  HarnessInput in;
  in.mouseSet = in.mouseLeft = true;
  in.mouseX = x, in.mouseY = y;
  HarnessFrame(in);
  in.mouseLeft = false;
  HarnessRunFrames(2, in);
}

// A floor with the start, a walker three cells away, fruit and the exit.
std::vector<std::string> WalkerStage() {
  std::vector<std::string> rows(16);
  rows.push_back("   S  w       f  f   E   ");
  rows.push_back("#########################");
  return rows;
}

class StageRules : public ::testing::Test {
 protected:
  void TearDown() override { HarnessStop(); }
  static void Start(float frameMs = 16.0f) {
    HarnessStop();
    HarnessOptions options;
    options.frameMs = frameMs;
    options.drawFrames = false;
    ASSERT_TRUE(HarnessStart(options));
  }
};

TEST_F(StageRules, TheEditorFreezesTheWorldForTenSeconds) {
  Start();
  ASSERT_TRUE(HarnessWriteStage(1, WalkerStage()));
  ASSERT_TRUE(HarnessStartStage(1));
  editorUnlocked = 1;
  const int32_t livesBefore = lives;
  Press({kHarnessKeyF1});
  ASSERT_TRUE(editorMode);
  GameObject* hero = FindObject(Hero, 1);
  ASSERT_NE(hero, nullptr);
  const float heroX = hero->x;
  // Ten seconds beside the walker, the arrows held to scroll the view.
  HarnessRunFrames(625, Keys({kHarnessKeyRight}));
  EXPECT_EQ(gameState, Playing);
  EXPECT_EQ(lives, livesBefore);
  EXPECT_EQ(hero->x, heroX);
  EXPECT_FALSE(stageFinished);
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);
  EXPECT_EQ(gameState, Playing);
}

TEST_F(StageRules, LeavingTheEditorStartsTheCountsAgainAndEmptyCellsStayEmpty) {
  Start();
  ASSERT_TRUE(HarnessWriteStage(1, WalkerStage()));
  ASSERT_TRUE(HarnessStartStage(1));
  editorUnlocked = 1;
  fruitCount = fruitTotal;  // as if both fruit and the walker were taken
  enemiesKilled = enemyTotal;
  keys = 1;
  Press({kHarnessKeyF1});
  ASSERT_TRUE(editorMode);
  // Palette: pick the Solid kind icon (column 11, row 2), then click code 0.
  Press({kHarnessKeySpace});
  ASSERT_TRUE(paletteView);
  Click(11 * kTileSize + 5, Solid * kTileSize + 5);
  Click(5, 5);
  EXPECT_EQ(tileKinds[kEmptyTileCode], PlainTile);
  Press({kHarnessKeySpace});
  Press({kHarnessKeyF1});
  ASSERT_FALSE(editorMode);
  EXPECT_EQ(fruitTotal, 2);
  EXPECT_EQ(enemyTotal, 1);
  EXPECT_EQ(fruitCount, 0);
  EXPECT_EQ(enemiesKilled, 0);
  EXPECT_EQ(keys, 0);
  // A table that already gives code 0 a kind does not fill the air either.
  tileKinds[kEmptyTileCode] = Solid;
  EXPECT_FALSE(TileIsKind(kEmptyTileCode, Solid));
  tileKinds[kEmptyTileCode] = PlainTile;
}

// The exit hangs over a pit: the hero takes the key, touches the exit in the
// air and falls out of the stage.
TEST_F(StageRules, ADeathAfterTheExitNeverLeavesPlayBehindAClosedCurtain) {
  Start();
  std::vector<std::string> rows(16);
  rows.push_back("  Sk          E          ");
  rows.push_back("#############  ##########");
  ASSERT_TRUE(HarnessWriteStage(1, rows));
  ASSERT_TRUE(HarnessStartStage(1));
  const int32_t livesBefore = lives;
  bool finished = false, blind = false;
  for (int frame = 0; frame < 900 && gameState != LevelScore; ++frame) {
    HarnessFrame(Keys({kHarnessKeyRight}));
    finished = finished || stageFinished;
    blind = blind || (gameState == Playing && !stageFinished && curtainActive &&
                      curtainOpening == 0 && curtainPos > 0.0f);
  }
  EXPECT_TRUE(finished);  // the exit was reached
  EXPECT_FALSE(blind);
  EXPECT_EQ(gameState, LevelScore);  // the finished stage goes on to the tally
  EXPECT_EQ(lives, livesBefore);
}

TEST_F(StageRules, ADeathBeforeTheExitInTheSameFrameWins) {
  Start();
  ASSERT_TRUE(HarnessWriteStage(1, WalkerStage()));
  ASSERT_TRUE(HarnessStartStage(1));
  LoseLife();
  FinishStage();  // the hero's own step comes after the enemies'
  EXPECT_EQ(gameState, LifeLost);
  EXPECT_FALSE(stageFinished);
  ASSERT_TRUE(HarnessRunUntil([] { return gameState == Playing; }, 400));
  EXPECT_FALSE(curtainActive && curtainOpening == 0);
}

TEST_F(StageRules, F1SwitchesNothingDuringADeathOrTheGameOver) {
  Start(250.0f);
  ASSERT_TRUE(HarnessWriteStage(1, WalkerStage()));
  ASSERT_TRUE(HarnessStartStage(1));
  editorUnlocked = 1;
  LoseLife();
  Press({kHarnessKeyF1});
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);
  EXPECT_EQ(gameState, LifeLost);

  ASSERT_TRUE(HarnessRunUntil([] { return gameState == Playing; }, 20));
  lives = 0;
  LoseLife();
  ASSERT_TRUE(HarnessRunUntil([] { return gameState == GameOver; }, 20));
  Press({kHarnessKeyF1});
  Press({kHarnessKeyF1});
  EXPECT_FALSE(editorMode);
  EXPECT_EQ(gameState, GameOver);
  EXPECT_EQ(lives, 0);
  EXPECT_TRUE(HarnessRunUntil([] { return gameState == MainMenu; }, 10000 / 250 + 2));
}

TEST_F(StageRules, TheMenuPointerKeepsItsSizeAfterADeathWithTheSuperPower) {
  Start();
  ASSERT_TRUE(HarnessWriteStage(1, WalkerStage()));
  ASSERT_TRUE(HarnessStartStage(1));
  GrantPower(PowerSuper);
  HarnessFrame();
  ASSERT_TRUE(powerState.superFlag);
  shakeTimerMs = 1000.0f;
  LoseLife();
  HarnessFrame();
  ASSERT_EQ(gameState, LifeLost);
  HarnessFrame(Keys({kHarnessKeyEscape}));
  ASSERT_EQ(gameState, MainMenu);
  EXPECT_EQ(shakeTimerMs, 0.0f);

  RecordingGraphic recorder;
  KGraphic* sprites = spritesSurface;
  spritesSurface = &recorder;
  HarnessFrame();
  spritesSurface = sprites;
  ASSERT_FALSE(recorder.calls.empty());
  for (const GraphicCall& call : recorder.calls)
    EXPECT_NE(call.op, "BlitAlphaRectFx") << "a sprite drawn scaled " << call.zoom;
}

// The horizontal step of every orbit platform over the first frames of a stage.
std::vector<float> OrbitSteps() {
  std::vector<GameObject*> orbits;
  std::vector<float> start;
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->type == Platform && o->subtype == kPlatformOrbit) {
      orbits.push_back(o);
      start.push_back(o->x + float(cameraX));
    }
  }
  HarnessRunFrames(10);
  std::vector<float> steps;
  for (size_t i = 0; i < orbits.size(); ++i)
    steps.push_back(orbits[i]->x + float(cameraX) - start[i]);
  return steps;
}

// Stage 9 lifts the hero on orbit wheels: which way each one starts depends on
// the stage alone, not on the stage played before.
TEST_F(StageRules, OrbitPlatformsStartTheSameWayWhateverCameBefore) {
  constexpr int kOrbitStage = 9;
  if (!std::filesystem::exists("tarn/e1s9.pak")) {
    if (HarnessGameDataExpected()) FAIL() << "no generated stages";
    GTEST_SKIP() << "no generated stages";
  }
  HarnessOptions options;
  options.useGameData = true;
  options.drawFrames = false;
  const auto directions = [](const char* how) {
    std::vector<int> signs;
    EXPECT_EQ(gameState, Playing) << how;
    for (float step : OrbitSteps()) signs.push_back(step > 0 ? 1 : -1);
    return signs;
  };
  ASSERT_TRUE(HarnessStart(options));
  // The tally waits for the finish tune, which streams in real time; without
  // the music files the wait below counts frames only.
  std::filesystem::remove_all(HarnessDataDir() + "/audio");
  ASSERT_TRUE(HarnessStartStage(kOrbitStage));
  const std::vector<int> fromMenu = directions("from the menu");
  ASSERT_GE(fromMenu.size(), 2u);
  // Neighbouring wheels turn opposite ways.
  EXPECT_NE(std::count(fromMenu.begin(), fromMenu.end(), 1), 0);
  EXPECT_NE(std::count(fromMenu.begin(), fromMenu.end(), -1), 0);

  ASSERT_TRUE(HarnessStartStage(12));
  ASSERT_TRUE(HarnessStartStage(kOrbitStage));
  EXPECT_EQ(directions("after stage 12"), fromMenu);

  ASSERT_TRUE(HarnessStartStage(12));
  ASSERT_TRUE(HarnessStartStage(kOrbitStage - 1));
  FinishStage();
  ASSERT_TRUE(HarnessRunUntil([] { return gameState == LevelScore; }, 3000));
  HarnessFrame(Keys({kHarnessKeyEnter}));
  ASSERT_EQ(currentStage, kOrbitStage);
  EXPECT_EQ(directions("after the stage before"), fromMenu);
}

TEST_F(StageRules, OrbitPlatformsRestartAfterADeathAsTheStageStarted) {
  Start();
  std::vector<std::string> rows(30);
  rows[2] = "       o          o                ";
  rows[27] = "  S                                ";
  rows[28] = std::string(35, '#');
  ASSERT_TRUE(HarnessWriteStage(1, rows));
  ASSERT_TRUE(HarnessStartStage(1));
  const std::vector<float> first = OrbitSteps();
  ASSERT_EQ(first.size(), 2u);
  HarnessRunFrames(200);  // a quarter turn and more
  LoseLife();
  ASSERT_TRUE(HarnessRunUntil([] { return gameState == Playing; }, 400));
  const std::vector<float> again = OrbitSteps();
  ASSERT_EQ(again.size(), 2u);
  EXPECT_LT(again[0] * again[1], 0.0f);
  EXPECT_NEAR(again[0], first[0], 0.01f);
  EXPECT_NEAR(again[1], first[1], 0.01f);
}

int EndingHops(float frameMs) {
  HarnessStop();
  HarnessOptions options;
  options.frameMs = frameMs;
  options.drawFrames = false;
  if (!HarnessStart(options)) return -1;
  std::vector<std::string> rows(16);
  rows.push_back("   S                     ");
  rows.push_back("#########################");
  if (!HarnessWriteStage(20, rows) || !HarnessStartStage(20)) return -1;
  HarnessRunFrames(60);  // standing on the floor
  FinishStage();
  int hops = 0;
  while (gameState == EpisodeEnd && episodeEndTimerMs > 0.0f) {
    GameObject* hero = FindObject(Hero, 1);
    const bool grounded = hero && hero->vy == 0.0f;
    HarnessFrame();
    hero = FindObject(Hero, 1);
    if (grounded && hero && hero->vy < 0.0f) ++hops;
  }
  return hops;
}

// A hop at 7.2 stays in the air about 1.44 s, so the hero is on the ground
// at every second 800 ms mark: a hop each 1.6 s, at any frame time.
TEST_F(StageRules, TheEndingHopComesOnThe800MsMarksAtAnyFrameTime) {
  const int at75Hz = EndingHops(13.3f);
  const int at60Hz = EndingHops(16.7f);
  EXPECT_EQ(at75Hz, at60Hz);
  EXPECT_GE(at60Hz, 14000 / 1600 - 1);
  EXPECT_LE(at60Hz, 14000 / 1600 + 1);
}

}  // namespace
