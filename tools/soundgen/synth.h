// Building blocks of the sound generator: oscillators, envelopes, filters,
// delay effects and sample buffers. Everything is deterministic: the noise
// source is a seeded integer generator, and no wall clock or global state is
// read, so the same recipe always renders the same samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace soundgen {

constexpr int kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

// Frequency in Hz of a MIDI note number (69 = A4 = 440 Hz); fractional
// numbers give pitches between semitones (used by sweeps and vibrato).
double NoteHz(double midiNote);

// Seeded white-noise source (xorshift32); output in [-1, 1).
class Noise {
 public:
  explicit Noise(uint32_t seed = 0x2545F491u) : state_(seed ? seed : 1u) {}
  float Next();

 private:
  uint32_t state_;
};

enum class Wave { Sine, Square, Triangle, Saw, Noise };

// Phase-accumulating oscillator. Square and saw use a polynomial band-limited
// step so high notes do not alias into harsh whistles.
class Oscillator {
 public:
  explicit Oscillator(Wave wave = Wave::Sine, uint32_t noiseSeed = 1u) : wave_(wave), noise_(noiseSeed) {}
  void SetWave(Wave wave) { wave_ = wave; }
  void SetPulseWidth(float width) { pulse_ = width; }
  void SetPhase(double phase) { phase_ = phase; }
  // One sample at the given frequency; the phase then advances by hz / rate.
  float Tick(double hz);

 private:
  Wave wave_;
  float pulse_ = 0.5f;
  double phase_ = 0.0;
  Noise noise_;
  float held_ = 0.0f;  // sample-and-hold value for pitched noise
};

// Attack / decay / sustain / release envelope evaluated in closed form from
// the time since note-on and the gate length (time until note-off).
struct Adsr {
  float attack = 0.005f;   // seconds from 0 to 1
  float decay = 0.1f;      // seconds from 1 to sustain
  float sustain = 0.7f;    // level while held
  float release = 0.1f;    // seconds from the level at note-off to 0
  float Level(double t, double gate) const;
  // Seconds after note-on at which the envelope reaches 0 for good.
  double End(double gate) const { return gate + release; }
};

// Exponential decay helper: 1 at t = 0, falling by 60 dB over `time` seconds.
float Decay60(double t, double time);

// Topology-preserving state-variable filter: low-, band- and high-pass from
// one structure, stable for any cutoff below Nyquist and any resonance.
class SvFilter {
 public:
  enum Mode { LowPass, BandPass, HighPass };
  explicit SvFilter(Mode mode = LowPass) : mode_(mode) {}
  void Set(double cutoffHz, double resonance);  // resonance 0 .. ~0.95
  float Tick(float in);
  void Reset() { ic1_ = ic2_ = 0.0; }

 private:
  Mode mode_;
  double g_ = 0.1, k_ = 2.0, a1_ = 0, a2_ = 0, a3_ = 0;
  double ic1_ = 0.0, ic2_ = 0.0;
};

// One-pole smoothing filter (low-pass; high-pass as input minus low-pass).
class OnePole {
 public:
  void Set(double cutoffHz);
  float LowPass(float in);
  float HighPass(float in) { return in - LowPass(in); }

 private:
  double a_ = 0.5, z_ = 0.0;
};

// Mono delay line with feedback and a damping low-pass in the loop.
class Echo {
 public:
  Echo(double seconds, float feedback, float damping);
  float Tick(float in);  // returns only the delayed (wet) signal

 private:
  std::vector<float> line_;
  size_t pos_ = 0;
  float feedback_, damp_, lp_ = 0.0f;
};

// Small room/hall reverb: parallel damped comb filters into series all-pass
// filters, with slightly different delays per channel for width.
class Reverb {
 public:
  Reverb(float roomSize, float damping, int channel);
  float Tick(float in);  // wet signal only

 private:
  struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0.0f;
  };
  struct AllPass {
    std::vector<float> line;
    size_t pos = 0;
  };
  Comb combs_[6];
  AllPass allpasses_[3];
  float feedback_, damp_;
};

// Stereo float buffer, samples nominally in [-1, 1].
struct Stereo {
  std::vector<float> left, right;
  explicit Stereo(size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
  size_t Frames() const { return left.size(); }
};

// Constant-power panning gains for pan in [-1 (left), 1 (right)].
void PanGains(float pan, float* left, float* right);

// Largest absolute sample value.
float Peak(const std::vector<float>& samples);
float Peak(const Stereo& buffer);

// Scales so that the largest absolute sample equals `peak` (no-op on silence).
void Normalize(std::vector<float>& samples, float peak);
void Normalize(Stereo& buffer, float peak);

// Number of sample frames of a loop of roughly `seconds`: one frame short of
// a multiple of 16384, so that the player's 64 KiB stereo stream halves leave
// only a one-frame gap at the loop point.
size_t LoopFrames(double seconds);
// Loop period the music is composed for: LoopFrames(seconds) + 1.
size_t LoopPeriod(double seconds);

}  // namespace soundgen
