// The game's state machine and the transitions between its states.
#include "game/game_state.h"

#include <cstdio>

#include "engine/graphics/KGraphic.h"
#include "engine/platform/KSystem.h"
#include "game/config_file.h"
#include "game/drawing.h"
#include "game/game_context.h"
#include "game/game_main.h"
#include "game/hud.h"
#include "game/input_mapping.h"
#include "game/random.h"
#include "game/screens.h"
#include "game/sound_cues.h"
#include "gameplay/blocks.h"
#include "gameplay/enemies.h"
#include "gameplay/hero.h"
#include "gameplay/items.h"
#include "gameplay/level_view.h"
#include "gameplay/objects.h"
#include "gameplay/physics.h"
#include "world/editor.h"
#include "world/level.h"
#include "world/tile_kinds.h"

int32_t reachedStage = 1;
int32_t highestPlayableStage[kEpisodeCount + 1] = {1, 1, 1, 1};
int32_t editorUnlocked = 0;
float lifeLostTimerMs = 0.0f;
float gameOverTimerMs = 0.0f;
float episodeEndTimerMs = 0.0f;
bool pauseLatch = false;

namespace {

constexpr float kLifeLostMs = 2500.0f;
constexpr float kGameOverMs = 10000.0f;
constexpr float kEpisodeEndMs = 14000.0f;
constexpr int32_t kEndingHopPeriodMs = 800;   // the hero hops on the ending picture
constexpr float kEndingHopSpeed = 7.2f;
constexpr float kLoadingAccumulatorMs = 666.0f;  // folds the loading frame into the average

// Signs drawn from the sprite sheet, centred on the screen.
constexpr int32_t kPauseSignX = 904, kPauseSignY = 363, kPauseSignW = 115, kPauseSignH = 37;
constexpr int32_t kGameOverSignX = 804, kGameOverSignY = 401, kGameOverSignW = 214,
                  kGameOverSignH = 37;

constexpr const char* kMenuMusic = "audio\\menu.ogg";
constexpr const char* kFinishMusic = "audio\\level_finish.ogg";
constexpr const char* kGameOverMusic = "audio\\gameover.ogg";
constexpr const char* kMissingBackground = "On a pas pu charger : background";

void DrawCentredSign(int32_t sx, int32_t sy, int32_t w, int32_t h) {
  DrawSprite(spritesSurface, sx, sy, (kScreenWidth - w) / 2, (kScreenHeight - h) / 2, w, h, true);
}

// Escape leaves the level from these states. LifeLost is one of them, so the
// powers and the shake of a death do not follow the player into the menu.
bool InLevelState(GameState state) {
  return state == Playing || state == Paused || state == LevelScore || state == EpisodeEnd ||
         state == LifeLost || state == GameOver;
}

// While the editor is on the world stands still: no enemy walks, no hero
// moves, touches the exit or draws his hint and power icons.
void UpdateWorld(uint32_t heroBits) {
  if (editorMode) return;
  UpdateEnemies();
  UpdateHero(heroBits);
}

}  // namespace

void ReplaceBackground(const char* fileName) {
  delete backgroundSurface;
  backgroundSurface = LoadSpriteSurface(fileName);
  if (!backgroundSurface) ShowProblem(kMissingBackground);
}

void StepGameState() {
  InputBits keyBits = ReadKeyboard();
  InputBits bits = keyBits;
  bits |= ReadJoystick();  // also follows the joystick being plugged in or out
  if (editorMode) bits |= ReadMouse();

  if (InLevelState(gameState) && (bits & EscapeMask)) {
    LeaveLevel();
    EnterMainMenu();
    return;
  }

  switch (gameState) {
    case MainMenu:
      MainMenuStep(bits, keyBits);
      break;
    case Playing:
      TogglePause(bits);
      CheckStageFinished();
      LevelFrame(bits);
      UpdateWorld(bits);
      DrawCurtain(bits);
      break;
    case Paused:
      TogglePause(bits);
      CheckStageFinished();
      LevelFrame(bits);
      DrawCentredSign(kPauseSignX, kPauseSignY, kPauseSignW, kPauseSignH);
      DrawCurtain(bits);
      break;
    case LevelScore:
      // Level-triggered: holding a confirm button skips the tally at once.
      if (bits & ConfirmMask) {
        NextStage();
      } else {
        ScoreTallyStep();
      }
      break;
    case EpisodeEnd:
      LevelFrame(bits);
      UpdateWorld(0);
      EpisodeEndStep();
      DrawCurtain(bits);
      break;
    case LifeLost:
      LevelFrame(bits);
      lifeLostTimerMs -= frameTimeMs;
      if (lifeLostTimerMs < 0.0f) {
        lives -= 1;
        lifeLostTimerMs = 0.0f;
        FlashHud(HudLives);
        if (lives < 0) {
          lives = 0;
          EnterGameOver();
        } else {
          StartStage();
        }
      } else {
        DrawCurtain(bits);
      }
      break;
    case GameOver:
      LevelFrame(bits);
      if (!editorMode) UpdateEnemies();
      GameOverStep();
      DrawCurtain(bits);
      break;
    case Credits:
      CreditsStep(bits);
      break;
    default:
      break;  // states without a step draw nothing
  }
}

void EnterFrontEnd() {
  ResetEditor();
  frameTimeMs = kInitialFrameTimeMs;
  ResetCurtain();
  EnterMainMenu();
}

void ComputeHighestPlayableStages() {
  for (int32_t e = 1; e <= kEpisodeCount; ++e) {
    int32_t first = 0;
    bool anyOne = false;
    for (int32_t s = 1; s <= kStageCount; ++s) {
      if (stageStatus[e][s] == 0 && first == 0) first = s;
      if (stageStatus[e][s] == 1) anyOne = true;
    }
    if (first == 0) first = anyOne ? kStageCount : kStageCount + 1;
    highestPlayableStage[e] = first;
  }
}

void RecordStageCompleted(int32_t episode, int32_t stage) {
  if (episode < 1 || episode > kEpisodeCount || stage < 1 || stage > kStageCount) return;
  int32_t& status = stageStatus[episode][stage];
  if (status == 0) status = 1;
  else if (status == 2) status = 3;
}

void EnterMainMenu() {
  if (!IsMusicPlaying()) PlayMusic(kMenuMusic, musicVolume, true);
  ReplaceBackground("presblts.bmp");
  currentStage = 1;
  stageFinished = false;
  currentEpisode = 1;
  ResetCurtain();
  DestroyAllObjects();
  CreateObject(Cursor, 0, 0, 0.0f, 0.0f, false);
  ComputeHighestPlayableStages();
  if (reachedStage > highestPlayableStage[1]) reachedStage = highestPlayableStage[1];
  if (reachedStage < 1) reachedStage = 1;  // a damaged file must not select stage 0
  currentStage = reachedStage;
  gameState = MainMenu;
}

bool StartGame() {
  SeedRandom(static_cast<uint32_t>(KSystem::GetCalendarSeconds()));
  ClearTileKinds();
  lives = kStartLives;
  fruitTowardLife = 0;
  keys = 0;
  fruitCount = 0;
  fruitTotal = 0;
  enemiesKilled = 0;
  enemyTotal = 0;
  ResetCamera();
  gameOverTimerMs = 0.0f;
  episodeEndTimerMs = 0.0f;
  lifeLostTimerMs = 0.0f;
  stageFinished = false;
  pauseLatch = false;
  ClearPowers();
  if (!LoadTileKinds()) {
    EnterMainMenu();
    return false;
  }
  if (!LoadStage()) return false;  // back in the menu: the stage is not started
  StartStage();
  timingAccumulatorMs = kLoadingAccumulatorMs;
  UpdateFrameTiming();
  return true;
}

bool LoadStage() {
  FreeLevel();
  char name[64];
  StageFileName(name, sizeof name, currentEpisode, currentStage, false);
  bool loaded = LoadPak(name);
  if (!loaded) {
    StageFileName(name, sizeof name, currentEpisode, currentStage, true);
    loaded = LoadMapd(name);
  }
  if (!loaded) {
    EnterMainMenu();
    return false;
  }
  mapReady = 1;
  ClearCheckpoint();
  fruitCount = 0;
  fruitTotal = 0;
  enemiesKilled = 0;
  enemyTotal = 0;
  DestroyAllObjects();
  SpawnObjectsFromMap();
  return true;
}

bool StartStage() {
  stageFinished = false;
  ResetCamera();
  ResetItemsForStage();
  ResetHeroState();
  shakeTimerMs = 0.0f;
  lifeLostTimerMs = 0.0f;
  FlashAllHud();
  PlaceHero();
  PlaceCamera();

  ResetOrbitPlatforms();
  for (GameObject* o = objectList; o; o = o->next) {
    if (o->type == Hero) {
      o->riding = 0;
      o->climbing = 0;
      o->dying = 0;
    } else if (IsBonusItem(o) || o->type == ExitPortal) {
      o->removeMe = 1;
    } else {
      o->x = o->spawnX - static_cast<float>(cameraX);
      o->y = o->spawnY - static_cast<float>(cameraY);
    }
  }

  DrawCurtain(ReadKeyboardAndJoystick());
  PlayStageMusic();
  gameState = Playing;
  return true;
}

void NextStage() {
  ReplaceBackground("world1.bmp");
  FreeLevel();
  keys = 0;
  fruitTowardLife = 0;
  currentStage += 1;
  reachedStage = currentStage;
  SaveProgress();
  if (!LoadStage()) return;  // back in the menu: the stage is not started
  StartStage();
  OpenCurtain();
}

void LeaveLevel() {
  ClearPowers();
  CancelHole(false);
  shakeTimerMs = 0.0f;
  DestroyAllObjects();
  FreeLevel();
}

bool HeroInPlay() { return gameState == Playing && !stageFinished; }

void FinishStage() {
  // A hero who died earlier in this frame does not finish the stage: the
  // restart would then be played behind the curtain closed for the tally.
  if (!HeroInPlay()) return;
  ClearCheckpoint();
  GrantInvincible();
  PlayMusic(kFinishMusic, musicVolume, false);
  stageFinished = true;
  if (currentStage >= kStageCount) {
    editorUnlocked = 1;
    RecordStageCompleted(currentEpisode, currentStage);
    SaveProgress();
    EnterEpisodeEnd();
  } else {
    CloseCurtain();
    RecordStageCompleted(currentEpisode, currentStage);
    SaveProgress();
  }
}

void LoseLife() {
  // Only a hero in play can die: otherwise a death during the life-lost or
  // game-over countdown would restart it, and a death after the exit would
  // restart the stage behind the curtain closed for the tally.
  if (!HeroInPlay()) return;
  FlashHud(HudLives);
  PlayCue(CueLifeLost, effectsVolume);
  gameState = LifeLost;
  lifeLostTimerMs = kLifeLostMs;
  if (GameObject* hero = FindObject(Hero, 1)) {
    hero->riding = 0;
    hero->climbing = 0;
    hero->dying = 1;
  }
}

void EnterLevelScore() {
  ReplaceBackground("levelscore.bmp");
  GrantInvincible();
  ResetTally();
  gameState = LevelScore;
}

void EnterEpisodeEnd() {
  ReplaceBackground("endoflevel.bmp");
  GrantInvincible();
  episodeEndTimerMs = kEpisodeEndMs;
  gameState = EpisodeEnd;
}

void EnterGameOver() {
  PlayMusic(kGameOverMusic, musicVolume, false);
  gameOverTimerMs = kGameOverMs;
  gameState = GameOver;
}

void TogglePause(uint32_t bits) {
  if (!(bits & PauseMask)) {
    pauseLatch = false;
    return;
  }
  if (pauseLatch) return;
  pauseLatch = true;
  if (gameState == Paused) {
    SetMusicVolume(musicVolume);
    gameState = Playing;
  } else if (gameState == Playing) {
    SetMusicVolume(musicVolume / 4);
    gameState = Paused;
  }
}

void CheckStageFinished() {
  if (stageFinished && CurtainDone() && !IsMusicPlaying()) EnterLevelScore();
}

void EpisodeEndStep() {
  const float before = episodeEndTimerMs;
  episodeEndTimerMs -= frameTimeMs;
  if (episodeEndTimerMs < 0.0f) {
    episodeEndTimerMs = 0.0f;
    LeaveLevel();  // the ending picture stays until Escape
    return;
  }
  // The hop comes each time the countdown passes a multiple of the period,
  // whatever the frame time; a hero still in the air skips that one.
  const bool crossed = static_cast<int32_t>(before) / kEndingHopPeriodMs !=
                       static_cast<int32_t>(episodeEndTimerMs) / kEndingHopPeriodMs;
  GameObject* hero = FindObject(Hero, 1);
  if (hero && hero->vy == 0.0f && crossed) SetJumpSpeed(hero, kEndingHopSpeed);
}

void GameOverStep() {
  gameOverTimerMs -= frameTimeMs;
  if (gameOverTimerMs < 0.0f) {
    gameOverTimerMs = 0.0f;
    LeaveLevel();
    EnterMainMenu();
    return;
  }
  DrawCentredSign(kGameOverSignX, kGameOverSignY, kGameOverSignW, kGameOverSignH);
}

bool LevelFrame(uint32_t bits) {
  DrawBackground();
  DrawLevel(cameraX, cameraY);
  if (!editorMode) {
    UpdateObjectPhysics();
    DrawObjects();
    DrawHud();
    UpdateHudBoundItems();
    AnimateObjects();
    UpdateDust();
    ExpirePoofs();
    UpdateHole();
  }
  EditorStep(bits);
  return true;
}
