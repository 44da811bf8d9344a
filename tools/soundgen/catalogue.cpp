#include "catalogue.h"

#include <algorithm>
#include <cstring>

#include "ogg_io.h"

namespace soundgen {

namespace {

constexpr uint32_t kStreamSerialBase = 0x42523253u;  // fixed: identical runs give identical bytes
constexpr int kMaxEncodeAttempts = 6;
constexpr float kRetryMargin = 0.97f;

uint32_t SerialFor(const char* name) {
  // A fixed serial per file (FNV-1a of its name).
  uint32_t h = 2166136261u;
  for (const char* p = name; *p; ++p) h = (h ^ static_cast<uint8_t>(*p)) * 16777619u;
  return kStreamSerialBase ^ h;
}

}  // namespace

const std::vector<SoundDef>& Catalogue() {
  static const std::vector<SoundDef> kAll = {
      {"boing2.ogg", false, false, RenderBoing2},
      {"fruit.ogg", false, false, RenderFruit},
      {"breakjarre.ogg", false, false, RenderBreakJarre},
      {"rebon.ogg", false, false, RenderRebon},
      {"inmenu.ogg", false, false, RenderInMenu},
      {"click.ogg", false, false, RenderClick},
      {"jump1.ogg", false, false, RenderJump1},
      {"lost.ogg", false, false, RenderLost},
      {"lifeup.ogg", false, false, RenderLifeUp},
      {"grizzly_clef.ogg", false, false, RenderGrizzlyClef},
      {"grizzly_cochon.ogg", false, false, RenderGrizzlyCochon},
      {"grizzly_life.ogg", false, false, RenderGrizzlyLife},
      {"banana.ogg", false, false, RenderBanana},
      {"fruit2.ogg", false, false, RenderFruit2},
      {"fruit3.ogg", false, false, RenderFruit3},
      {"explosion.ogg", false, false, RenderExplosion},
      {"rebon2.ogg", false, false, RenderRebon2},
      {"breakjarre2.ogg", false, false, RenderBreakJarre2},
      {"rollover1.ogg", false, false, RenderRollover1},
      {"rollover2.ogg", false, false, RenderRollover2},
      {"rollover3.ogg", false, false, RenderRollover3},
      {"rollover4.ogg", false, false, RenderRollover4},
      {"menu.ogg", true, true, RenderMenuMusic},
      {"ingame1.ogg", true, true, RenderIngame1},
      {"ingame2.ogg", true, true, RenderIngame2},
      {"ingame3.ogg", true, true, RenderIngame3},
      {"level_finish.ogg", true, false, RenderLevelFinish},
      {"gameover.ogg", true, false, RenderGameOver},
  };
  return kAll;
}

const SoundDef* FindSound(const std::string& name) {
  for (const SoundDef& d : Catalogue())
    if (name == d.name) return &d;
  return nullptr;
}

bool BuildSound(const SoundDef& def, std::vector<uint8_t>* ogg, std::string* error) {
  Rendered r = def.render();
  const int wantChannels = def.music ? 2 : 1;
  if (r.channels != wantChannels || r.Frames() == 0) {
    *error = std::string(def.name) + ": nothing rendered";
    return false;
  }
  for (int attempt = 0; attempt < kMaxEncodeAttempts; ++attempt) {
    if (!EncodeOgg(r.samples, r.channels, kVorbisQuality, SerialFor(def.name), ogg)) {
      *error = std::string(def.name) + ": encoder refused the audio";
      return false;
    }
    Pcm pcm;
    if (!DecodeOgg(ogg->data(), ogg->size(), &pcm)) {
      *error = std::string(def.name) + ": encoded file does not decode";
      return false;
    }
    if (pcm.channels != r.channels || pcm.Frames() != r.Frames()) {
      *error = std::string(def.name) + ": decoded length differs from the rendered length";
      return false;
    }
    const int peak = PeakOf(pcm);
    if (peak <= kPeakLimit) return true;
    // The lossy coder overshot: scale down just enough and encode again.
    const float gain = kRetryMargin * static_cast<float>(kPeakLimit) / static_cast<float>(peak);
    for (float& s : r.samples) s *= gain;
  }
  *error = std::string(def.name) + ": peak level stays above -1 dBFS";
  return false;
}

}  // namespace soundgen
