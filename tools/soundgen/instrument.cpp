#include "instrument.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr int kFilterUpdateInterval = 16;  // samples between cutoff recalculations
constexpr double kMaxNoteSeconds = 30.0;
constexpr double kVelocityFilterBoost = 0.5;

size_t Samples(double seconds) {
  return static_cast<size_t>(std::max(0.0, std::min(seconds, kMaxNoteSeconds)) * kSampleRate);
}

// Sine whose pitch glides exponentially from `startHz` to `endHz`.
void SweptSine(std::vector<float>& out, double startHz, double endHz, double sweepTime, double decay, float level) {
  double phase = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double hz = endHz + (startHz - endHz) * std::exp(-t / sweepTime);
    out[i] += level * static_cast<float>(std::sin(2.0 * kPi * phase)) * Decay60(t, decay);
    phase += hz / kSampleRate;
  }
}

// Filtered noise burst with an exponential decay (and a short attack).
void NoiseBurst(std::vector<float>& out, uint32_t seed, SvFilter::Mode mode, double hz, double q, double decay,
                float level, double attack = 0.0005) {
  Noise noise(seed);
  SvFilter f(mode);
  f.Set(hz, q);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const float a = t < attack ? static_cast<float>(t / attack) : 1.0f;
    out[i] += level * a * f.Tick(noise.Next()) * Decay60(t, decay);
  }
}

}  // namespace

std::vector<float> RenderNote(const Patch& p, double midiNote, double gate, float velocity, uint32_t seed) {
  std::vector<float> out(Samples(p.env.End(gate)) + 1, 0.0f);
  Oscillator osc1(p.wave, seed * 2654435761u + 1u);
  Oscillator osc2(p.wave2, seed * 2246822519u + 7u);
  osc1.SetPulseWidth(p.pulse);
  osc2.SetPulseWidth(p.pulse);
  SvFilter filter(SvFilter::LowPass);
  const double baseHz = NoteHz(midiNote);
  const float level = p.gain * velocity;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double note = midiNote;
    if (p.slide != 0.0) note += p.slide * std::exp(-t / p.slideTime);
    if (p.vibratoDepth > 0.0 && t > p.vibratoDelay) {
      const double fade = std::min(1.0, (t - p.vibratoDelay) / 0.2);
      note += p.vibratoDepth * fade * std::sin(2.0 * kPi * p.vibratoRate * (t - p.vibratoDelay));
    }
    const double hz = (note == midiNote) ? baseHz : NoteHz(note);
    if (p.pwmDepth > 0.0f) {
      osc1.SetPulseWidth(p.pulse + p.pwmDepth * static_cast<float>(std::sin(2.0 * kPi * p.pwmRate * t)));
    }
    float s = osc1.Tick(hz) * (1.0f - p.mix2);
    if (p.mix2 > 0.0f) s += osc2.Tick(hz * std::pow(2.0, p.detune2 / 12.0)) * p.mix2;
    if (p.filter) {
      if (i % kFilterUpdateInterval == 0) {
        const double boost = 1.0 + kVelocityFilterBoost * (velocity - 1.0);
        const double fc = p.cutoff + p.keyTrack * baseHz + p.cutoffEnv * boost * std::exp(-t / p.filterDecay);
        filter.Set(fc, p.resonance);
      }
      s = filter.Tick(s);
    }
    out[i] = s * level * p.env.Level(t, gate);
  }
  return out;
}

std::vector<float> RenderDrum(Drum drum, float velocity, uint32_t seed) {
  std::vector<float> out;
  switch (drum) {
    case Drum::Kick:
      out.assign(Samples(0.45), 0.0f);
      SweptSine(out, 170.0, 48.0, 0.035, 0.45, 0.9f);
      NoiseBurst(out, seed, SvFilter::HighPass, 3000.0, 0.0, 0.012, 0.25f);
      break;
    case Drum::Snare:
      out.assign(Samples(0.3), 0.0f);
      SweptSine(out, 260.0, 185.0, 0.02, 0.12, 0.45f);
      NoiseBurst(out, seed, SvFilter::BandPass, 3200.0, 0.15, 0.22, 0.9f);
      NoiseBurst(out, seed + 1, SvFilter::HighPass, 6000.0, 0.0, 0.12, 0.35f);
      break;
    case Drum::ClosedHat:
      out.assign(Samples(0.08), 0.0f);
      NoiseBurst(out, seed, SvFilter::HighPass, 7500.0, 0.3, 0.05, 0.55f);
      break;
    case Drum::OpenHat:
      out.assign(Samples(0.4), 0.0f);
      NoiseBurst(out, seed, SvFilter::HighPass, 7000.0, 0.3, 0.35, 0.45f);
      break;
    case Drum::Clap:
      out.assign(Samples(0.3), 0.0f);
      for (int burst = 0; burst < 3; ++burst) {
        std::vector<float> b(Samples(0.012), 0.0f);
        NoiseBurst(b, seed + static_cast<uint32_t>(burst), SvFilter::BandPass, 1300.0, 0.3, 0.012, 0.8f);
        const size_t at = Samples(0.009 * burst);
        for (size_t i = 0; i < b.size() && at + i < out.size(); ++i) out[at + i] += b[i];
      }
      {
        std::vector<float> tail(out.size() - Samples(0.027), 0.0f);
        NoiseBurst(tail, seed + 9, SvFilter::BandPass, 1200.0, 0.25, 0.22, 0.7f);
        const size_t at = Samples(0.027);
        for (size_t i = 0; i < tail.size(); ++i) out[at + i] += tail[i];
      }
      break;
    case Drum::Crash:
      out.assign(Samples(1.6), 0.0f);
      NoiseBurst(out, seed, SvFilter::HighPass, 4500.0, 0.2, 1.5, 0.4f, 0.002);
      NoiseBurst(out, seed + 3, SvFilter::BandPass, 9000.0, 0.5, 0.9, 0.3f, 0.002);
      break;
    case Drum::LowTom:
    case Drum::MidTom:
    case Drum::HighTom: {
      const double hz = drum == Drum::LowTom ? 98.0 : drum == Drum::MidTom ? 131.0 : 175.0;
      out.assign(Samples(0.4), 0.0f);
      SweptSine(out, hz * 1.6, hz, 0.04, 0.35, 0.8f);
      NoiseBurst(out, seed, SvFilter::BandPass, hz * 8.0, 0.2, 0.05, 0.2f);
      break;
    }
    case Drum::Rim:
      out.assign(Samples(0.06), 0.0f);
      SweptSine(out, 1900.0, 1700.0, 0.01, 0.035, 0.5f);
      NoiseBurst(out, seed, SvFilter::BandPass, 2500.0, 0.4, 0.02, 0.4f);
      break;
    case Drum::Shaker:
      out.assign(Samples(0.09), 0.0f);
      NoiseBurst(out, seed, SvFilter::BandPass, 6500.0, 0.3, 0.06, 0.5f, 0.012);
      break;
  }
  for (float& s : out) s *= velocity;
  return out;
}

}  // namespace soundgen
