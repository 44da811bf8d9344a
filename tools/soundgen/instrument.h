// Instruments: a patch describes one synthesised voice (two oscillators, an
// amplitude envelope, a filter with its own envelope, vibrato and a pitch
// slide); drums are fixed recipes. Each note renders into its own mono
// vector, which the song then places and pans.
#pragma once

#include <cstdint>
#include <vector>

#include "synth.h"

namespace soundgen {

struct Patch {
  Wave wave = Wave::Square;
  float pulse = 0.5f;        // square duty cycle
  float pwmDepth = 0.0f;     // slow pulse-width movement
  float pwmRate = 0.0f;      // Hz
  Wave wave2 = Wave::Sine;   // second oscillator
  float mix2 = 0.0f;         // its level (first oscillator gets 1 - mix2)
  double detune2 = 0.0;      // its offset in semitones (12 = an octave up)
  Adsr env;
  bool filter = false;       // low-pass filter on the oscillators
  double cutoff = 8000.0;    // Hz at rest
  double cutoffEnv = 0.0;    // Hz added at note-on, decaying over filterDecay
  double filterDecay = 0.2;
  double resonance = 0.1;
  double keyTrack = 0.0;     // cutoff += keyTrack * note frequency
  double vibratoDepth = 0.0; // semitones
  double vibratoRate = 5.5;  // Hz
  double vibratoDelay = 0.25;
  double slide = 0.0;        // semitones of pitch offset at note-on, gliding to 0
  double slideTime = 0.04;
  float gain = 0.3f;
};

// Renders one note: `gate` seconds held, then the release. Velocity scales
// the level (and opens the filter a little). The seed feeds any noise.
std::vector<float> RenderNote(const Patch& patch, double midiNote, double gate, float velocity, uint32_t seed);

enum class Drum { Kick, Snare, ClosedHat, OpenHat, Clap, Crash, LowTom, MidTom, HighTom, Rim, Shaker };

std::vector<float> RenderDrum(Drum drum, float velocity, uint32_t seed);

}  // namespace soundgen
