// The state machine on the headless game: curtain, play button, score tally,
// pause, lives and game over, Escape, progress recording and stage loading.
#include <gtest/gtest.h>

#include "game/config_file.h"
#include "game/game_context.h"
#include "game/game_state.h"
#include "game/hud.h"
#include "game/screens.h"
#include "game/sound_cues.h"
#include "engine/sound/KSound.h"
#include "gameplay/enemies.h"
#include "gameplay/items.h"
#include "gameplay/objects.h"
#include "harness/harness.h"
#include "unit/sound/sound_test_util.h"
#include "world/level.h"

namespace {

// Sixteen empty rows, the start and two fruit, then the floor.
const std::vector<std::string> kFlatStage = [] {
  std::vector<std::string> rows(16);
  rows.push_back("   S                  ff ");
  rows.push_back("#########################");
  return rows;
}();

HarnessInput Keys(std::initializer_list<int> keys) {
  HarnessInput input;
  input.keys = keys;
  return input;
}

HarnessInput MouseAt(int x, int y, bool left = false) {
  HarnessInput input;
  input.mouseSet = true;
  input.mouseX = x, input.mouseY = y, input.mouseLeft = left;
  return input;
}

// Three seconds of tone: long enough to still play while a test runs.
const std::vector<uint8_t>& ToneOgg() {
  static const std::vector<uint8_t> ogg =
      soundtest::EncodeOgg(1, 22050, soundtest::Tone(1, 22050 * 3, 22050));
  return ogg;
}

// Long frames get through countdowns in few (drawn) frames.
constexpr float kFrameMs = 50.0f;

class GameStateTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(kFrameMs); }
  void TearDown() override { HarnessStop(); }

  static void Start(float frameMs) {
    HarnessStop();
    HarnessOptions options;
    options.frameMs = frameMs;
    ASSERT_TRUE(HarnessStart(options));
    for (int stage : {1, 2, 20}) ASSERT_TRUE(HarnessWriteStage(stage, kFlatStage));
  }

  static void WriteAudio(std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_TRUE(HarnessWriteFile(name, ToneOgg()));
  }
  static bool RunUntilState(GameState state, int maxFrames, const HarnessInput& input = {}) {
    return HarnessRunUntil([state] { return gameState == state; }, maxFrames, input);
  }
};

TEST_F(GameStateTest, EnterClosesTheCurtainIn43FramesAndItHolds1200Ms) {
  ASSERT_EQ(gameState, MainMenu);
  HarnessFrame(Keys({kHarnessKeyEnter}));  // no button under the pointer: Enter starts
  EXPECT_TRUE(curtainActive);
  EXPECT_EQ(curtainPos, 7.0f);
  HarnessRunFrames(41);
  EXPECT_EQ(curtainPos, 294.0f);  // 42 frames
  HarnessFrame();
  EXPECT_EQ(curtainPos, 300.0f);  // the 43rd frame shuts it
  // Shut for 1200 ms: the game starts on the 24th frame after (50 ms frames).
  EXPECT_EQ(curtainHoldMs, 1200.0f - kFrameMs);
  HarnessRunFrames(static_cast<int>(1200.0f / kFrameMs) - 2);
  EXPECT_EQ(gameState, MainMenu);
  HarnessFrame();
  EXPECT_EQ(gameState, Playing);
  EXPECT_EQ(currentStage, 1);
  EXPECT_EQ(lives, kStartLives);
  EXPECT_NE(FindObject(Hero, 1), nullptr);
}

TEST_F(GameStateTest, MenuButtonsHoverInclusivelyAndPlayCannotBePressedTwice) {
  EXPECT_EQ(MenuButtonAt(311, 340), 1);  // right and bottom edges belong to the button
  EXPECT_EQ(MenuButtonAt(251, 280), 1);
  EXPECT_EQ(MenuButtonAt(312, 340), 0);
  EXPECT_EQ(MenuButtonAt(460, 550), 4);

  HarnessFrame(MouseAt(460, 440));
  EXPECT_EQ(hoveredButton, 3);

  // A click beside every button does nothing.
  HarnessFrame(MouseAt(10, 10, true));
  HarnessFrame(MouseAt(10, 10));
  EXPECT_FALSE(curtainActive);

  HarnessFrame(MouseAt(400, 400, true));  // play
  EXPECT_TRUE(curtainActive);
  HarnessRunFrames(5, MouseAt(400, 400));
  EXPECT_EQ(hoveredButton, 0);  // nothing hovers under the curtain
  const float pos = curtainPos;
  HarnessFrame(MouseAt(400, 400, true));  // a second click
  HarnessFrame(Keys({kHarnessKeyEnter}));
  EXPECT_EQ(curtainPos, pos + 14.0f);  // still closing, not restarted
}

TEST_F(GameStateTest, RollOverCuePlaysOncePerHoverEvenAcrossButtons) {
  WriteAudio({"audio/rollover1.ogg", "audio/rollover2.ogg"});
  InitSound();  // pick up the new files
  HarnessFrame(MouseAt(280, 300));  // previous-stage button
  ASSERT_NE(effects[22], nullptr);
  EXPECT_TRUE(effects[22]->IsPlaying());
  HarnessFrame(MouseAt(500, 300));  // straight onto the next-stage button
  EXPECT_FALSE(effects[23]->IsPlaying());
  HarnessFrame(MouseAt(10, 10));    // off, then on again
  HarnessFrame(MouseAt(500, 300));
  EXPECT_TRUE(effects[23]->IsPlaying());
}

TEST_F(GameStateTest, HighestPlayableStageFollowsTheStatuses) {
  // Statuses given as (all stages, stages 1..n set to 1, or stage n alone set to 1).
  struct { int32_t all; int firstN; int only; int32_t highest; } cases[] = {
      {0, 0, 0, 1}, {0, 3, 0, 4}, {1, 0, 0, 20},
      {3, 0, 0, 21},  // no stage has status exactly 1
      {3, 0, 7, 20},
  };
  for (const auto& c : cases) {
    for (int s = 1; s <= kStageCount; ++s) stageStatus[1][s] = (s <= c.firstN || s == c.only) ? 1 : c.all;
    ComputeHighestPlayableStages();
    EXPECT_EQ(highestPlayableStage[1], c.highest) << c.all << " " << c.firstN << " " << c.only;
  }
  for (int s = 1; s <= kStageCount; ++s) stageStatus[1][s] = 0;

  // The remembered stage is lowered to what can be played, and raised to 1.
  stageStatus[1][1] = 1;
  reachedStage = 9;
  EnterMainMenu();
  EXPECT_EQ(currentStage, 2);
  reachedStage = -4;
  EnterMainMenu();
  EXPECT_EQ(reachedStage, 1);
  EXPECT_EQ(currentStage, 1);
}

TEST_F(GameStateTest, CompletingAStageRecordsItsStatus) {
  stageStatus[1][2] = 2;
  stageStatus[1][3] = 3;
  RecordStageCompleted(1, 1);
  RecordStageCompleted(1, 2);
  RecordStageCompleted(1, 3);
  EXPECT_EQ(stageStatus[1][1], 1);
  EXPECT_EQ(stageStatus[1][2], 3);
  EXPECT_EQ(stageStatus[1][3], 3);
  RecordStageCompleted(1, 21);  // ignored, no write outside the table
  RecordStageCompleted(4, 1);
  RecordStageCompleted(0, 0);
}

TEST_F(GameStateTest, HeldEnterSkipsTheTallyAndTheNextStageStarts) {
  ASSERT_TRUE(HarnessStartStage(1));
  FinishStage();
  EXPECT_TRUE(stageFinished);
  EXPECT_EQ(stageStatus[1][1], 1);
  const HarnessInput enter = Keys({kHarnessKeyEnter});
  ASSERT_TRUE(RunUntilState(LevelScore, 200, enter));
  HarnessFrame(enter);  // level-triggered: the held key counts at once
  EXPECT_EQ(gameState, Playing);
  EXPECT_EQ(currentStage, 2);
  EXPECT_EQ(reachedStage, 2);
  EXPECT_EQ(curtainOpening, 1);
}

TEST_F(GameStateTest, TallyCountsFruitThenEnemiesThenWaits) {
  ASSERT_TRUE(HarnessStartStage(1));
  EnterLevelScore();
  fruitCount = 10;
  fruitTotal = 40;
  enemiesKilled = 3;
  enemyTotal = 3;
  // Fruit one per frame (40 ms), enemies every 800 ms, then 1500 ms.
  const int64_t start = HarnessFrameCount();
  ASSERT_TRUE(HarnessRunUntil([] { return TallyDone(); }, 200));
  EXPECT_EQ(shownFruit, 10);
  EXPECT_EQ(shownEnemies, 3);
  EXPECT_GE(HarnessFrameCount() - start, 10 + 3 * 800 / 50 + 1500 / 50 - 10);
  EXPECT_EQ((TallyMark(shownFruit, fruitTotal) + TallyMark(shownEnemies, enemyTotal)) / 2, 12);
  EXPECT_EQ(TallyMark(0, 0), 20);  // a stage without fruit
  EXPECT_EQ(gameState, LevelScore);  // waits for a confirm
}

TEST_F(GameStateTest, PauseQuartersTheMusicVolumeAndRestoresIt) {
  ASSERT_TRUE(HarnessStartStage(1));
  ASSERT_NE(music, nullptr);
  for (int32_t volume : {50, 3}) {
    musicVolume = volume;
    HarnessFrame(Keys({kHarnessKeyP}));
    ASSERT_EQ(gameState, Paused);
    EXPECT_EQ(music->GetVolume(), volume / 4);
    HarnessFrame(Keys({kHarnessKeyP}));  // held: no second toggle
    EXPECT_EQ(gameState, Paused);
    HarnessFrame();
    HarnessFrame(Keys({kHarnessKeyP}));
    ASSERT_EQ(gameState, Playing);
    EXPECT_EQ(music->GetVolume(), volume);
    HarnessFrame();
  }
}

TEST_F(GameStateTest, FiveAttemptsThenGameOverThenTheMenu) {
  Start(250.0f);  // long countdowns in few frames; no play frame runs between deaths
  ASSERT_TRUE(HarnessStartStage(1));
  int attempts = 0;
  while (gameState == Playing && attempts < 10) {
    ++attempts;
    LoseLife();
    ASSERT_EQ(gameState, LifeLost);
    HarnessFrame();
    const float timer = lifeLostTimerMs;
    LoseLife();  // a second death during the countdown changes nothing
    EXPECT_EQ(lifeLostTimerMs, timer);
    EXPECT_EQ(gameState, LifeLost);
    ASSERT_TRUE(HarnessRunUntil([] { return gameState != LifeLost; }, 2500 / 250 + 2));
  }
  EXPECT_EQ(attempts, 5);
  EXPECT_EQ(gameState, GameOver);
  EXPECT_EQ(lives, 0);
  LoseLife();
  EXPECT_EQ(gameState, GameOver);
  ASSERT_TRUE(RunUntilState(MainMenu, 10000 / 250 + 2));
  EXPECT_EQ(HarnessObjectCount(), 1);  // only the menu pointer
}

TEST_F(GameStateTest, EscapeFromEveryInLevelStateKeepsTheStageMusic) {
  WriteAudio({"audio/ingame1.ogg", "audio/ingame2.ogg", "audio/ingame3.ogg"});
  const HarnessInput escape = Keys({kHarnessKeyEscape});
  const auto enterState = [](GameState state) {
    switch (state) {
      case Paused: HarnessFrame(Keys({kHarnessKeyP})); break;
      case LifeLost: LoseLife(); break;
      case LevelScore: EnterLevelScore(); break;
      case EpisodeEnd: EnterEpisodeEnd(); break;
      case GameOver: gameState = GameOver; gameOverTimerMs = 10000.0f; break;
      default: break;
    }
  };
  for (GameState state : {Playing, Paused, LevelScore, EpisodeEnd, LifeLost, GameOver}) {
    HarnessRunFrames(1);
    ASSERT_TRUE(HarnessStartStage(1)) << state;
    enterState(state);
    HarnessFrame();
    ASSERT_EQ(gameState, state);
    ASSERT_TRUE(IsMusicPlaying()) << state;
    HarnessFrame(escape);
    EXPECT_EQ(gameState, MainMenu) << state;
    EXPECT_TRUE(IsMusicPlaying()) << state;
    EXPECT_NE(FindObject(Cursor, 1), nullptr);
    EXPECT_EQ(FindObject(Hero, 1), nullptr);
    HarnessFrame();  // Escape released
  }
}

TEST_F(GameStateTest, AMissingStageReturnsToTheMenuWithoutStarting) {
  EXPECT_FALSE(HarnessStartStage(5));
  EXPECT_EQ(gameState, MainMenu);
  EXPECT_EQ(FindObject(Hero, 1), nullptr);
  HarnessRunFrames(3);
  EXPECT_EQ(gameState, MainMenu);

  // The stage after a finished one is missing too.
  ASSERT_TRUE(HarnessStartStage(2));
  FinishStage();
  ASSERT_TRUE(RunUntilState(LevelScore, 200));
  HarnessFrame(Keys({kHarnessKeyEnter}));
  EXPECT_EQ(gameState, MainMenu);
  EXPECT_EQ(FindObject(Hero, 1), nullptr);
}

TEST_F(GameStateTest, LastStageUnlocksTheEditorAndEndsTheEpisode) {
  Start(250.0f);
  ASSERT_TRUE(HarnessStartStage(20));
  editorUnlocked = 0;
  FinishStage();
  EXPECT_EQ(gameState, EpisodeEnd);
  EXPECT_EQ(editorUnlocked, 1);
  EXPECT_EQ(stageStatus[1][20], 1);
  HarnessRunFrames(14000 / 250 + 2);
  EXPECT_EQ(gameState, EpisodeEnd);  // the ending picture stays
  EXPECT_EQ(mapCells, nullptr);      // but the level is gone
  HarnessFrame(Keys({kHarnessKeyEscape}));
  EXPECT_EQ(gameState, MainMenu);
}

TEST_F(GameStateTest, QuitLeadsThroughTheCreditsToTheEndOfTheLoop) {
  HarnessFrame(MouseAt(400, 500, true));  // quit
  EXPECT_EQ(gameState, Credits);
  HarnessFrame(MouseAt(400, 500, true));  // the same click held: not a new press
  EXPECT_EQ(gameState, Credits);
  HarnessFrame(MouseAt(400, 500));
  HarnessFrame(MouseAt(400, 500, true));
  EXPECT_EQ(gameState, Quit);
  EXPECT_FALSE(HarnessFrame());
}

TEST_F(GameStateTest, OnlyTheFirstActivePowerShowsItsHelpLine) {
  powerState = PowerState{};
  EXPECT_EQ(ActiveHelpLine(), nullptr);
  powerState.superMs = 1000.0f;
  powerState.plumMs = 1000.0f;
  ASSERT_NE(ActiveHelpLine(), nullptr);
  EXPECT_STREQ(ActiveHelpLine()->text, " =  super bramblet can break some bricks");
  powerState.freezeMs = 1.0f;
  EXPECT_STREQ(ActiveHelpLine()->text, " =  freeze your ennemies for a while");
  powerState = PowerState{};
}

}  // namespace
