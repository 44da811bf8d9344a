// The game's sound files: every effect and music track, how each is rendered
// and how it is turned into the Ogg Vorbis bytes written beside the game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

// Rendered sound before encoding: interleaved samples at 44.1 kHz.
struct Rendered {
  int channels = 1;
  std::vector<float> samples;
  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

struct SoundDef {
  const char* name;  // file name, e.g. "jump1.ogg"
  bool music;        // stereo music track (otherwise a mono effect)
  bool loop;         // played looped by the game
  Rendered (*render)();
};

// All 28 files: the 22 effects, then the 6 music tracks.
const std::vector<SoundDef>& Catalogue();
const SoundDef* FindSound(const std::string& name);

// Renders, encodes and checks one sound: the decoded result must have the
// rendered length and stay at or below -1 dBFS (it is re-encoded a little
// quieter when the encoder's ringing pushes a peak over).
bool BuildSound(const SoundDef& def, std::vector<uint8_t>* ogg, std::string* error);

// Highest allowed decoded sample value: -1 dBFS of 16-bit full scale.
constexpr int kPeakLimit = 29204;
constexpr float kVorbisQuality = 0.4f;

// Effects and music (effects.cpp, music.cpp).
Rendered RenderBoing2();
Rendered RenderFruit();
Rendered RenderBreakJarre();
Rendered RenderRebon();
Rendered RenderInMenu();
Rendered RenderClick();
Rendered RenderJump1();
Rendered RenderLost();
Rendered RenderLifeUp();
Rendered RenderGrizzlyClef();
Rendered RenderGrizzlyCochon();
Rendered RenderGrizzlyLife();
Rendered RenderBanana();
Rendered RenderFruit2();
Rendered RenderFruit3();
Rendered RenderExplosion();
Rendered RenderRebon2();
Rendered RenderBreakJarre2();
Rendered RenderRollover1();
Rendered RenderRollover2();
Rendered RenderRollover3();
Rendered RenderRollover4();
Rendered RenderMenuMusic();
Rendered RenderIngame1();
Rendered RenderIngame2();
Rendered RenderIngame3();
Rendered RenderLevelFinish();
Rendered RenderGameOver();

}  // namespace soundgen
