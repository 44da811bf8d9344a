// Routes through the episode's stages.
//
// A route is a recorded input file in the harness's replay format (one line
// per frame, "Right Space *12" repeats a line). Routes are made from plans:
// a plan is a short script whose lines hold keys until a condition on the
// live game holds ("Right until x>=40"), run against the real game and
// recorded frame by frame. The recorded route then replays blindly, so a
// changed stage that the route no longer finishes fails its test.
//
// Plan lines (text after '#' is a comment):
//   <keys> *N                  hold the keys for N frames
//   <keys> until <cond>... [max N]
//                              hold the keys until every condition holds
//                              (tested before each frame; default max 900)
// Frame counts are frames of 16 ms, the routes' frame time: at another frame
// time the driver holds the keys just as long (N x 16 ms, rounded to whole
// frames), so one plan serves every refresh rate.
//   stomp [max N]              walk to the nearest enemy (within 12 tiles, on the
//                              hero's floor: at most 6 rows off) and land on it
//   fetch [max N]              follow the bonus item out of a block until taken
// Keys: the harness names (Left Right Up Down Space LShift ...) and the
// aliases Jump (= Space) and Run (= LShift); "-" or nothing holds no key.
// Conditions (hero centre in tiles, "x>=40" means centre at or right of
// column 40's left edge):
//   x>=V x<=V y>=V y<=V        hero centre
//   vy>=V vy<=V                hero vertical speed
//   landed air climbing !climbing riding !riding finished
//   keys>=N fruit>=N charges<=N
//   haskey                     a key is held or flying to its counter
//   super superjump dig plum freeze nopower hole !hole
//   px>=V px<=V py>=V py<=V    centre of the platform nearest the hero
//   pdx pdy                    the same relative to the hero's centre
//   ex>=V ex<=V                centre of the enemy nearest the hero
//   edx>=V edx<=V              the same relative to the hero's centre
//   bomb !bomb                 a dig bomb exists / none
#pragma once

#include <string>
#include <vector>

#include "harness/harness.h"

namespace episode {

constexpr int kEpisodeStages = 20;

// Source root of the project (stage sources, routes, plans).
std::string SourceRoot();
std::string RoutePath(int stage);
std::string PlanPath(int stage);
bool ReadTextFile(const std::string& path, std::string* out);
bool WriteTextFile(const std::string& path, const std::string& text);

// True when the generated game data (data.dat, stages) is there to play,
// in the build tree or the folder named by BR_GAME_DATA_DIR.
bool GameDataPresent();
// True in a build that generates the game data: a test missing it fails
// there instead of skipping.
bool GameDataExpected();

// Opens a test that plays the game data: without the data it fails in a
// build that generates it and skips in one that does not.
#define REQUIRE_GAME_DATA()                                                                   \
  if (!episode::GameDataPresent()) {                                                          \
    if (episode::GameDataExpected()) FAIL() << "no generated game data in this build";       \
    GTEST_SKIP() << "this build generates no game data (BR_GAME_DATA_DIR names another's)"; \
  }
// A fresh folder under /tmp with the build tree's pictures, tile kinds and
// stages but no sounds: the routes do not depend on them and decoding the
// music would cost more than the game itself. Empty on failure.
std::string MakeSilentDataDir();
void RemoveDataDir(const std::string& dir);
// Starts the game undrawn (nothing looks at the pictures of a route run) in
// a fresh silent data folder, named in *dir for RemoveDataDir, with the other
// options as given; then stage `stage`, unless it is 0 (the main menu
// stays). False when a step failed.
bool StartSilent(int stage, std::string* dir, HarnessOptions options = HarnessOptions());

// Where the hero is, for plans and failure messages.
struct HeroInfo {
  bool exists = false;
  float cx = 0, cy = 0;  // centre in tiles (world)
  float vy = 0;
};
HeroInfo CurrentHero();
std::string DescribeHero();

// Outcome of playing a route or a plan through one stage.
struct StageRun {
  bool finished = false;      // FinishStage happened
  bool lifeLost = false;      // the hero died on the way
  int framesRun = 0;          // frames played
  int finishFrame = -1;       // frame (1-based) on which the stage finished
  std::string error;          // why it failed, with the hero's position
};

// Replays recorded frames from the current state (a stage just started)
// and stops at the frame the stage finishes; a lost life stops it too.
StageRun PlayFrames(const std::vector<HarnessInput>& frames);

// Runs a plan against the live game from the current state; the input of
// every frame played is appended to *recorded. Stops when the stage
// finishes, a life is lost, or a step runs out of frames.
StageRun PlayPlan(const std::string& plan, std::vector<HarnessInput>* recorded);

// Recorded frames in the replay format, equal consecutive lines joined
// with "*N".
std::string FormatRoute(const std::vector<HarnessInput>& frames, const std::string& header);

}  // namespace episode
