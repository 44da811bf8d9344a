// The cue table of sound effects and the choice of music.
#include "game/sound_cues.h"

#include <cstdio>
#include <new>

#include "engine/platform/KSystem.h"
#include "engine/sound/KSound.h"
#include "game/game_context.h"

KSound* effects[kMaxEffects] = {};
int32_t effectCount = 0;
KSound* music = nullptr;

namespace {

const char kAudioDir[] = "audio\\";
constexpr int kEffectLoadVolume = 100;
constexpr int kEffectVoices = 1;

// Registration order: the position is the cue number.
const char* const kCueFiles[] = {
    "boing2.ogg",         "fruit.ogg",          "boing2.ogg",       "breakjarre.ogg",
    "rebon.ogg",          "inmenu.ogg",         "click.ogg",        "jump1.ogg",
    "lost.ogg",           "lifeup.ogg",         "boing2.ogg",       "boing2.ogg",
    "grizzly_clef.ogg",   "grizzly_cochon.ogg", "boing2.ogg",       "grizzly_life.ogg",
    "banana.ogg",         "fruit2.ogg",         "fruit3.ogg",       "explosion.ogg",
    "rebon2.ogg",         "breakjarre2.ogg",    "rollover1.ogg",    "rollover2.ogg",
    "rollover3.ogg",      "rollover4.ogg",
};

// Stage music by stage number mod 3.
const char* const kStageMusic[3] = {"audio\\ingame1.ogg", "audio\\ingame2.ogg",
                                    "audio\\ingame3.ogg"};

void ReleaseAll() {
  for (int i = 0; i < kMaxEffects; ++i) {
    if (effects[i]) {
      effects[i]->Stop();
      delete effects[i];
      effects[i] = nullptr;
    }
  }
  effectCount = 0;
  delete music;
  music = nullptr;
}

}  // namespace

bool InitSound() {
  ReleaseAll();
  char path[256];
  for (const char* file : kCueFiles) {
    std::snprintf(path, sizeof path, "%s%s", kAudioDir, file);
    RegisterEffect(path);
  }
  return true;
}

bool RegisterEffect(const char* path) {
  if (effectCount >= kMaxEffects) return false;
  int slot = effectCount++;
  KSound* sound = new (std::nothrow) KSound();
  effects[slot] = sound;
  if (!sound) return false;
  sound->LoadSample(KSystem::MakeFilePath(path ? path : ""), kEffectLoadVolume, 0, kEffectVoices);
  return true;
}

void PlayCue(int cue, int volume) {
  if (volume <= 0 || cue < 0 || cue >= effectCount || !effects[cue]) return;
  effects[cue]->Play();
  effects[cue]->SetVolume(volume);
}

bool PlayMusic(const char* path, int volume, bool loop) {
  delete music;
  music = new (std::nothrow) KSound();
  if (!music) return false;
  music->StopStream();
  if (!music->LoadStream(KSystem::MakeFilePath(path ? path : ""))) return false;
  music->PlayStream(loop);
  music->SetVolume(volume);
  return true;
}

bool IsMusicPlaying() { return music && music->IsPlaying(); }

void SetMusicVolume(int volume) {
  if (music) music->SetVolume(volume);
}

const char* StageMusicPath(int stage) { return kStageMusic[((stage % 3) + 3) % 3]; }

void PlayStageMusic() { PlayMusic(StageMusicPath(currentStage), musicVolume, true); }

void ShutdownSound() { ReleaseAll(); }
