// The cue table and the music choice, with sounds made at test time.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/host/host_audio.h"
#include "engine/platform/KSystem.h"
#include "engine/sound/KSound.h"
#include "game/game_context.h"
#include "game/sound_cues.h"
#include "harness/harness.h"
#include "unit/sound/sound_test_util.h"

using namespace soundtest;
namespace fs = std::filesystem;

namespace {

// Sounds in a scratch folder beside the program, named as the game names them.
class SoundCues : public ::testing::Test {
 protected:
  void SetUp() override {
    HostAudioSetManualMix(true);
    ShutdownSound();
    rel_ = "cue_test_" + std::to_string(::getpid());
    dir_ = fs::path(KSystem::GetModuleDirectory()) / rel_;
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ShutdownSound();
    std::error_code ec;
    fs::remove_all(dir_, ec);
    HostAudioSetManualMix(false);
  }
  std::string Add(const std::string& name, const std::vector<uint8_t>& bytes) {
    EXPECT_TRUE(WriteFile((dir_ / name).string(), bytes));
    return rel_ + "\\" + name;
  }
  std::string rel_;
  fs::path dir_;
};

std::vector<uint8_t> ShortWav() { return Wav16(1, 44100, std::vector<int16_t>(4000, 1000)); }

}  // namespace

TEST_F(SoundCues, CuesPlayAtTheirVolumeAndOnlyWhenAudible) {
  ASSERT_TRUE(RegisterEffect(Add("a.wav", ShortWav()).c_str()));
  ASSERT_TRUE(RegisterEffect(Add("missing.wav", {}).c_str()));  // fails to load, keeps its number
  ASSERT_TRUE(RegisterEffect(Add("c.wav", ShortWav()).c_str()));
  EXPECT_EQ(effectCount, 3);

  PlayCue(2, 40);
  EXPECT_TRUE(effects[2]->IsPlaying());
  EXPECT_EQ(effects[2]->GetVolume(), 40);
  PlayCue(1, 40);  // nothing loaded: silent
  EXPECT_FALSE(effects[1]->IsPlaying());

  effectsVolume = 0;
  PlayCue(0, effectsVolume);  // volume 0 never starts a cue
  EXPECT_FALSE(effects[0]->IsPlaying());
  PlayCue(3, 50);   // beyond the registered entries
  PlayCue(-1, 50);
  PlayCue(kMaxEffects + 5, 50);
  EXPECT_FALSE(effects[0]->IsPlaying());
}

TEST_F(SoundCues, TableHoldsAtMost128Effects) {
  std::string path = Add("a.wav", ShortWav());
  for (int i = 0; i < kMaxEffects; ++i) ASSERT_TRUE(RegisterEffect(path.c_str()));
  EXPECT_FALSE(RegisterEffect(path.c_str()));
  EXPECT_EQ(effectCount, kMaxEffects);
  ShutdownSound();
  EXPECT_EQ(effectCount, 0);
  EXPECT_EQ(effects[0], nullptr);
}

TEST_F(SoundCues, InitSoundRegistersEveryCueEvenWithoutFiles) {
  EXPECT_TRUE(InitSound());
  EXPECT_EQ(effectCount, 26);
  for (int i = 0; i < 26; ++i) EXPECT_NE(effects[i], nullptr);
  EXPECT_EQ(music, nullptr);
  PlayCue(7, 50);  // a missing file is silent
}

TEST_F(SoundCues, MusicIsReplacedAndFollowsItsVolume) {
  std::string tune = Add("tune.ogg", EncodeOgg(2, 44100, Tone(2, 22050, 44100)));
  EXPECT_FALSE(PlayMusic(Add("none.ogg", {}).c_str(), 50, true));
  EXPECT_NE(music, nullptr);  // the silent object stays
  EXPECT_FALSE(IsMusicPlaying());

  ASSERT_TRUE(PlayMusic(tune.c_str(), 60, true));
  EXPECT_TRUE(IsMusicPlaying());
  EXPECT_EQ(music->GetVolume(), 60);
  SetMusicVolume(60 / 4);
  EXPECT_EQ(music->GetVolume(), 15);

  ASSERT_TRUE(PlayMusic(tune.c_str(), 30, false));  // a new object, from the start
  EXPECT_TRUE(IsMusicPlaying());
  EXPECT_EQ(music->GetVolume(), 30);
  ShutdownSound();
  EXPECT_EQ(music, nullptr);
  EXPECT_FALSE(IsMusicPlaying());
  SetMusicVolume(10);  // no music: nothing to do
}

TEST(StageMusic, ChosenByStageModThree) {
  const int stage[] = {3, 1, 20, 0, -1, -5}, tune[] = {1, 2, 3, 1, 3, 2};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(std::string(StageMusicPath(stage[i])), "audio\\ingame" + std::to_string(tune[i]) + ".ogg");
}

// Every generated cue and tune loads (skipped in a build without generated
// sounds).
TEST(GameAudio, EveryEffectAndMusicLoads) {
  KSystem::InitSystem();  // the program's own folder again, whatever ran before
  fs::path audio = fs::path(KSystem::GetModuleDirectory()) / "audio";
  if (!fs::exists(audio / "menu.ogg")) {
    if (HarnessGameDataExpected()) FAIL() << "no generated sounds in " << audio;
    GTEST_SKIP() << "no generated sounds in " << audio;
  }
  HostAudioSetManualMix(true);
  ASSERT_TRUE(InitSound());
  ASSERT_EQ(effectCount, 26);
  for (int i = 0; i < effectCount; ++i) {
    ASSERT_NE(effects[i], nullptr);
    EXPECT_NE(effects[i]->GetVoice(0), nullptr) << "cue " << i << " did not load";
  }
  for (const char* name : {"audio\\menu.ogg", "audio\\ingame1.ogg", "audio\\ingame2.ogg",
                           "audio\\ingame3.ogg", "audio\\level_finish.ogg", "audio\\gameover.ogg"}) {
    EXPECT_TRUE(PlayMusic(name, 50, false)) << name;
  }
  ShutdownSound();
  HostAudioSetManualMix(false);
}
