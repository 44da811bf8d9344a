#include "synth.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr uint32_t kStreamHalfFrames = 16384;  // 65536 bytes of 16-bit stereo
constexpr double kMinCutoffHz = 10.0;
constexpr double kMaxCutoffFraction = 0.45;  // of the sample rate
constexpr float kReverbInputGain = 0.12f;
constexpr float kAllPassFeedback = 0.5f;
constexpr int kReverbStereoSpread = 23;
constexpr int kCombDelays[6] = {1116, 1188, 1277, 1356, 1422, 1491};
constexpr int kAllPassDelays[3] = {556, 441, 341};
constexpr double kLn1000 = 6.907755278982137;  // 60 dB as a natural log

// Correction that rounds off the corners of a naive step (PolyBLEP): t is the
// phase in [0, 1), dt the phase increment per sample.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

double NoteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

float Noise::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(static_cast<double>(state_) / 2147483648.0 - 1.0);
}

float Oscillator::Tick(double hz) {
  const double dt = std::min(std::max(hz / kSampleRate, 0.0), 0.5);
  const double t = phase_;
  double v = 0.0;
  switch (wave_) {
    case Wave::Sine:
      v = std::sin(2.0 * kPi * t);
      break;
    case Wave::Triangle:
      v = 4.0 * std::fabs(t - 0.5) - 1.0;
      break;
    case Wave::Saw:
      v = 2.0 * t - 1.0 - PolyBlep(t, dt);
      break;
    case Wave::Square: {
      const double pw = std::min(std::max(static_cast<double>(pulse_), 0.05), 0.95);
      v = t < pw ? 1.0 : -1.0;
      v += PolyBlep(t, dt);
      v -= PolyBlep(std::fmod(t + 1.0 - pw, 1.0), dt);
      break;
    }
    case Wave::Noise:
      v = held_;
      break;
  }
  phase_ += dt;
  if (phase_ >= 1.0) {
    phase_ -= std::floor(phase_);
    if (wave_ == Wave::Noise) held_ = noise_.Next();
  }
  if (wave_ == Wave::Noise && dt >= 0.5) held_ = noise_.Next();
  return static_cast<float>(v);
}

float Adsr::Level(double t, double gate) const {
  if (t < 0.0) return 0.0f;
  auto held = [this](double u) -> double {
    if (u < attack) return u / attack;
    u -= attack;
    if (u < decay) return sustain + (1.0 - sustain) * std::exp(-4.6 * u / decay);
    return sustain;
  };
  if (t < gate) return static_cast<float>(held(t));
  if (release <= 0.0f) return 0.0f;
  const double x = (t - gate) / release;
  if (x >= 1.0) return 0.0f;
  return static_cast<float>(held(gate) * (1.0 - x) * (1.0 - x));
}

float Decay60(double t, double time) {
  if (t < 0.0) return 0.0f;
  if (time <= 0.0) return 0.0f;
  return static_cast<float>(std::exp(-kLn1000 * t / time));
}

void SvFilter::Set(double cutoffHz, double resonance) {
  const double fc = std::min(std::max(cutoffHz, kMinCutoffHz), kMaxCutoffFraction * kSampleRate);
  g_ = std::tan(kPi * fc / kSampleRate);
  k_ = 2.0 - 2.0 * std::min(std::max(resonance, 0.0), 0.98);
  a1_ = 1.0 / (1.0 + g_ * (g_ + k_));
  a2_ = g_ * a1_;
  a3_ = g_ * a2_;
}

float SvFilter::Tick(float in) {
  const double v0 = in;
  const double v3 = v0 - ic2_;
  const double v1 = a1_ * ic1_ + a2_ * v3;
  const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
  ic1_ = 2.0 * v1 - ic1_;
  ic2_ = 2.0 * v2 - ic2_;
  switch (mode_) {
    case LowPass:
      return static_cast<float>(v2);
    case BandPass:
      return static_cast<float>(v1);
    case HighPass:
      break;
  }
  return static_cast<float>(v0 - k_ * v1 - v2);
}

void OnePole::Set(double cutoffHz) {
  const double fc = std::min(std::max(cutoffHz, kMinCutoffHz), kMaxCutoffFraction * kSampleRate);
  a_ = 1.0 - std::exp(-2.0 * kPi * fc / kSampleRate);
}

float OnePole::LowPass(float in) {
  z_ += a_ * (in - z_);
  return static_cast<float>(z_);
}

Echo::Echo(double seconds, float feedback, float damping)
    : line_(std::max<size_t>(1, static_cast<size_t>(seconds * kSampleRate))), feedback_(feedback), damp_(damping) {}

float Echo::Tick(float in) {
  const float out = line_[pos_];
  lp_ = out * (1.0f - damp_) + lp_ * damp_;
  line_[pos_] = in + lp_ * feedback_;
  if (++pos_ == line_.size()) pos_ = 0;
  return out;
}

Reverb::Reverb(float roomSize, float damping, int channel) : feedback_(roomSize), damp_(damping) {
  const int spread = channel ? kReverbStereoSpread : 0;
  for (int i = 0; i < 6; ++i) combs_[i].line.assign(static_cast<size_t>(kCombDelays[i] + spread), 0.0f);
  for (int i = 0; i < 3; ++i) allpasses_[i].line.assign(static_cast<size_t>(kAllPassDelays[i] + spread), 0.0f);
}

float Reverb::Tick(float in) {
  const float x = in * kReverbInputGain;
  float sum = 0.0f;
  for (Comb& c : combs_) {
    const float out = c.line[c.pos];
    c.store = out * (1.0f - damp_) + c.store * damp_;
    c.line[c.pos] = x + c.store * feedback_;
    if (++c.pos == c.line.size()) c.pos = 0;
    sum += out;
  }
  for (AllPass& a : allpasses_) {
    const float buffered = a.line[a.pos];
    const float out = buffered - sum;
    a.line[a.pos] = sum + buffered * kAllPassFeedback;
    if (++a.pos == a.line.size()) a.pos = 0;
    sum = out;
  }
  return sum;
}

void PanGains(float pan, float* left, float* right) {
  const double p = (std::min(std::max(pan, -1.0f), 1.0f) + 1.0) * 0.25 * kPi;
  *left = static_cast<float>(std::cos(p));
  *right = static_cast<float>(std::sin(p));
}

float Peak(const std::vector<float>& samples) {
  float peak = 0.0f;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  return peak;
}

float Peak(const Stereo& buffer) { return std::max(Peak(buffer.left), Peak(buffer.right)); }

void Normalize(std::vector<float>& samples, float peak) {
  const float current = Peak(samples);
  if (current <= 0.0f) return;
  const float gain = peak / current;
  for (float& s : samples) s *= gain;
}

void Normalize(Stereo& buffer, float peak) {
  const float current = Peak(buffer);
  if (current <= 0.0f) return;
  const float gain = peak / current;
  for (float& s : buffer.left) s *= gain;
  for (float& s : buffer.right) s *= gain;
}

size_t LoopPeriod(double seconds) {
  const double halves = std::round(std::max(seconds, 0.0) * kSampleRate / kStreamHalfFrames);
  return static_cast<size_t>(std::max(halves, 1.0)) * kStreamHalfFrames;
}

size_t LoopFrames(double seconds) { return LoopPeriod(seconds) - 1; }

}  // namespace soundgen
