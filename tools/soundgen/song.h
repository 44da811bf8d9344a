// A small sequencer. Music is written as text patterns laid on a beat grid:
//
//   melody   "E5 - G5 . | C6 - - -"   note names (C4 = middle C), "-" holds
//                                      the previous note one more step, "."
//                                      rests, "|" is only a bar marker;
//   chords   "C - Am - F G7 C/E -"     chord symbols, "-" holds a chord;
//   voicings "R . 5 . 8 . 5 ."         chord tones played over the chords:
//                                      R root (or slash bass), 3 third,
//                                      5 fifth, 7 seventh, 8 octave, 10 and
//                                      12 the third and fifth an octave up,
//                                      l5 the fifth below, c the whole chord;
//   drums    "k h s h k k s h"         k kick, s snare, g ghost snare,
//                                      h/H closed hat soft/loud, o open hat,
//                                      c clap, C crash, t m T toms, r rim,
//                                      x shaker; letters combine ("kh").
//
// Parts render straight into a dry stereo mix plus reverb and echo sends.
// A looped song is rendered with a tail, which is then folded back onto the
// start so that the end runs seamlessly into the beginning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "instrument.h"
#include "synth.h"

namespace soundgen {

// MIDI number of a note name such as "C4", "F#5", "Bb3"; -1 when malformed.
int ParseNoteName(const std::string& name);

struct Chord {
  int root = 0;                 // pitch class 0..11
  int bass = 0;                 // pitch class of the bass (slash chords)
  std::vector<int> intervals;   // semitones above the root, ascending
};

// Parses "C", "Am", "G7", "Fmaj7", "Dm7", "Csus4", "Bdim", "C/E", ...
bool ParseChord(const std::string& symbol, Chord* chord);

// Splits a pattern into tokens; bar markers are dropped.
std::vector<std::string> Tokens(const std::string& pattern);

// How one part sits in the mix.
struct Mixing {
  float gain = 1.0f;
  float pan = 0.0f;     // -1 left .. 1 right
  float reverb = 0.0f;  // send level
  float echo = 0.0f;    // send level
};

struct SongSetup {
  double bpm = 120.0;
  size_t frames = 0;       // length of the song (the loop period when looped)
  bool loop = false;
  double tailSeconds = 4.0;
  float reverbRoom = 0.82f;
  float reverbDamp = 0.35f;
  float reverbLevel = 1.0f;
  double echoBeats = 0.75;  // left echo; the right one is 2/3 of it
  float echoFeedback = 0.35f;
  float echoLevel = 0.6f;
};

class Song {
 public:
  explicit Song(const SongSetup& setup);

  double SecondsPerBeat() const { return 60.0 / setup_.bpm; }
  double BeatToFrame(double beat) const { return beat * SecondsPerBeat() * kSampleRate; }

  void AddNote(const Patch& patch, const Mixing& mix, double beat, double midiNote, double beats, float velocity);
  void AddDrum(Drum drum, const Mixing& mix, double beat, float velocity);

  // Each returns false (and adds nothing more) at the first unreadable token.
  bool Melody(const Patch& patch, const Mixing& mix, const std::string& pattern, double startBeat, double stepBeats,
              int transpose = 0, float velocity = 1.0f);
  // Chord symbols, one per chordBeats, start at startBeat; the voicing
  // pattern repeats over their whole length. `base` is the MIDI note the
  // chord root is placed at or above (within an octave).
  bool ChordPart(const Patch& patch, const Mixing& mix, const std::string& chords, double chordBeats,
                 const std::string& voicing, double stepBeats, double startBeat, int base, float velocity = 1.0f);
  bool Drums(const std::string& pattern, double startBeat, double stepBeats, float velocity = 1.0f,
             float reverb = 0.08f);

  // Applies reverb and echo, folds the tail of a looped song, and returns
  // exactly `frames` frames.
  Stereo Render();

 private:
  void Place(const std::vector<float>& mono, const Mixing& mix, double frame);

  SongSetup setup_;
  Stereo dry_;
  std::vector<float> reverbSend_, echoSend_;
  uint32_t seed_ = 1;
};

}  // namespace soundgen
