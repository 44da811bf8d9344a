// Every marked secret can be reached: the stage's secret route, replayed in
// the real game from the stage's start, takes the hero into the secret's
// cells and on to the exit without losing a life. With BR_RECORD_SECRETS set
// ("3,4" or "all") the secret routes are first recorded again from their
// plans (tests/unit/episode/plans/e1sN.secret.plan).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "game/game_context.h"
#include "harness/harness.h"
#include "stage_secrets.h"
#include "unit/episode/route_driver.h"

namespace {

std::string StageSourcePath(int stage) {
  return episode::SourceRoot() + "/data/stages/e1s" + std::to_string(stage) + ".txt";
}
std::string SecretRoutePath(int stage) {
  return episode::SourceRoot() + "/data/stages/e1s" + std::to_string(stage) + ".secret.route";
}
std::string SecretPlanPath(int stage) {
  return episode::SourceRoot() + "/tests/unit/episode/plans/e1s" + std::to_string(stage) + ".secret.plan";
}

bool Requested(const char* variable, int stage) {
  const char* env = std::getenv(variable);
  if (!env) return false;
  const std::string list = env;
  if (list == "all") return true;
  std::stringstream ss(list);
  std::string item;
  while (std::getline(ss, item, ','))
    if (std::atoi(item.c_str()) == stage) return true;
  return false;
}

// What a replay of a secret route did.
struct SecretRun {
  episode::StageRun stage;
  int secretFrame = -1;  // first frame with the hero's centre in a secret cell
};

bool InSecret(const std::vector<assetgen::Secret>& secrets) {
  const episode::HeroInfo hero = episode::CurrentHero();
  if (!hero.exists) return false;
  const int x = static_cast<int>(std::floor(hero.cx));
  const int y = static_cast<int>(std::floor(hero.cy));
  for (const assetgen::Secret& s : secrets)
    if (assetgen::SecretHasCell(s, x, y)) return true;
  return false;
}

// Replays frame by frame, watching for the secret, until the stage finishes.
SecretRun Replay(const std::vector<HarnessInput>& frames, const std::vector<assetgen::Secret>& secrets) {
  SecretRun run;
  for (const HarnessInput& input : frames) {
    const episode::StageRun step = episode::PlayFrames({input});
    ++run.stage.framesRun;
    if (step.lifeLost || (!step.finished && step.error.find("loop ended") != std::string::npos)) {
      run.stage.lifeLost = step.lifeLost;
      run.stage.error = step.error;
      return run;
    }
    if (run.secretFrame < 0 && InSecret(secrets)) run.secretFrame = run.stage.framesRun;
    if (step.finished) {
      run.stage.finished = true;
      run.stage.finishFrame = run.stage.framesRun;
      return run;
    }
  }
  run.stage.error = "the route ended without finishing the stage " + episode::DescribeHero();
  return run;
}

class SecretRoute : public ::testing::TestWithParam<int> {
 protected:
  void TearDown() override {
    HarnessStop();
    episode::RemoveDataDir(dir_);
  }
  // Starts the stage in a fresh silent copy of the game data.
  void Start(int stage) {
    HarnessStop();
    episode::RemoveDataDir(dir_);
    ASSERT_TRUE(episode::StartSilent(stage, &dir_));
  }
  std::string dir_;
};

TEST_P(SecretRoute, ReachesTheSecretAndFinishes) {
  const int stage = GetParam();
  REQUIRE_GAME_DATA();
  std::string source, error;
  ASSERT_TRUE(episode::ReadTextFile(StageSourcePath(stage), &source)) << StageSourcePath(stage);
  std::vector<assetgen::Secret> secrets;
  ASSERT_TRUE(assetgen::ReadStageSecrets(source, StageSourcePath(stage), &secrets, &error)) << error;
  if (secrets.empty()) GTEST_SKIP() << "stage " << stage << " marks no secret";

  if (Requested("BR_RECORD_SECRETS", stage)) {
    std::string plan;
    ASSERT_TRUE(episode::ReadTextFile(SecretPlanPath(stage), &plan)) << SecretPlanPath(stage);
    Start(stage);
    std::vector<HarnessInput> recorded;
    const episode::StageRun run = episode::PlayPlan(plan, &recorded);
    ASSERT_TRUE(run.finished) << "stage " << stage << " secret plan: " << run.error;
    const std::string header = "# Stage " + std::to_string(stage) + ", by its secret: " +
                               std::to_string(run.finishFrame) + " frames of 16 ms from the start to the exit.\n";
    ASSERT_TRUE(episode::WriteTextFile(SecretRoutePath(stage), episode::FormatRoute(recorded, header)));
  }

  std::string text;
  ASSERT_TRUE(episode::ReadTextFile(SecretRoutePath(stage), &text)) << SecretRoutePath(stage);
  std::vector<HarnessInput> frames;
  ASSERT_TRUE(HarnessParseInput(text, &frames, &error)) << error;
  Start(stage);
  const int livesAtStart = lives;
  const SecretRun run = Replay(frames, secrets);
  EXPECT_TRUE(run.stage.finished) << "stage " << stage << ": " << run.stage.error;
  EXPECT_FALSE(run.stage.lifeLost) << "stage " << stage << ": " << run.stage.error;
  EXPECT_GE(lives, livesAtStart);  // a life may be won on the way, never lost
  EXPECT_GE(run.secretFrame, 1) << "stage " << stage << ": the secret route never enters the secret";
  std::printf("stage %d: secret on frame %d, finished on frame %d\n", stage, run.secretFrame,
              run.stage.finishFrame);
}

INSTANTIATE_TEST_SUITE_P(Episode, SecretRoute, ::testing::Range(1, episode::kEpisodeStages + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Stage" + std::to_string(info.param);
                         });

}  // namespace
