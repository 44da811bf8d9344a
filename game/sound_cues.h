// Sound effects by number (cues) and the one music track of the game.
// Effects are loaded once at start-up from "audio\" beside the program; the
// music object is replaced by every PlayMusic.
#pragma once

#include <cstdint>

class KSound;

constexpr int kMaxEffects = 128;  // size of the cue table

// Cue numbers: each is the position of its file in the effect table. The
// numbers without a name are loaded but nothing plays them.
enum SoundCue : int {
  CueFruit = 1,         // fruit taken; each fruit counted on the tally
  CueBlock = 3,         // a bonus block hit or broken
  CueSpring = 4,        // spring bounce
  CueMenu = 5,          // menu move or button press
  CueJump = 7,          // the hero jumps
  CueLifeLost = 8,      // the hero dies
  CueLifeUp = 9,        // an extra life
  CueKey = 12,          // key taken; the end of the tally
  CueEnemyDies = 13,    // enemy killed; each enemy counted on the tally
  CueBonus = 17,        // bonus item taken
  CueBlast = 19,        // the dig bomb explodes
  CueCheckpoint = 21,   // a checkpoint block hit
  CueRollover1 = 22,    // the pointer enters menu button 1 (2..4 follow)
};

extern KSound* effects[kMaxEffects];  // one KSound per registered cue (null when none)
extern int32_t effectCount;           // number of registered entries
extern KSound* music;                 // the current music, null when none

// Empties the effect and music slots and loads the 26 cues; always true.
bool InitSound();
// Adds one effect (path relative to the program directory, e.g. "audio\\fruit.ogg").
// False when the table is full or no sound object could be made; a file that
// fails to load still takes its cue number and plays nothing.
bool RegisterEffect(const char* path);
// Plays cue `cue` (0..25) at `volume` 0..100; volume 0 or an unknown cue plays nothing.
void PlayCue(int cue, int volume);
// Replaces the current music with `path` (relative to the program directory,
// e.g. "audio\\menu.ogg"). False when the file could not be loaded (silence).
bool PlayMusic(const char* path, int volume, bool loop);
bool IsMusicPlaying();
void SetMusicVolume(int volume);
// Plays the music of `currentStage` looped at `musicVolume`.
void PlayStageMusic();
// The music file of a stage: by stage number mod 3, also for a stage below 1.
const char* StageMusicPath(int stage);
// Stops and frees every effect and the music.
void ShutdownSound();
