// The 22 sound effects, mono at 44.1 kHz. Each recipe builds its sound from
// swept oscillators, filtered noise and bell partials, then is faded at its
// very end (no click when the voice stops) and normalised.
#include <algorithm>
#include <cmath>
#include <functional>

#include "catalogue.h"
#include "instrument.h"
#include "synth.h"

namespace soundgen {

namespace {

using Mono = std::vector<float>;
using Curve = std::function<double(double)>;

constexpr float kEffectPeak = 0.84f;      // about -1.5 dBFS before encoding
constexpr double kEndFadeSeconds = 0.008;
constexpr double kBellPartials[4][3] = {  // ratio, level, decay share
    {1.0, 1.0, 1.0},
    {2.76, 0.45, 0.45},
    {5.40, 0.22, 0.25},
    {8.93, 0.10, 0.15}};

size_t At(double seconds) { return static_cast<size_t>(std::max(0.0, seconds) * kSampleRate); }

Mono Blank(double seconds) { return Mono(At(seconds), 0.0f); }

// Adds an oscillator whose frequency and level follow the given curves of
// the time since its start.
void AddVoice(Mono& out, double start, double length, Wave wave, const Curve& hz, const Curve& level,
              float pulse = 0.5f, uint32_t seed = 1u) {
  Oscillator osc(wave, seed);
  osc.SetPulseWidth(pulse);
  const size_t begin = At(start);
  const size_t n = std::min(At(length), out.size() > begin ? out.size() - begin : 0);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    out[begin + i] += osc.Tick(hz(t)) * static_cast<float>(level(t));
  }
}

// Adds filtered noise with a level curve; the filter centre may move.
void AddNoise(Mono& out, double start, double length, SvFilter::Mode mode, const Curve& hz, double q,
              const Curve& level, uint32_t seed) {
  Noise noise(seed);
  SvFilter f(mode);
  const size_t begin = At(start);
  const size_t n = std::min(At(length), out.size() > begin ? out.size() - begin : 0);
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    if (i % 16 == 0) f.Set(hz(t), q);
    out[begin + i] += f.Tick(noise.Next()) * static_cast<float>(level(t));
  }
}

// Struck metal: a few inharmonic sine partials that die away at their own
// speed, higher ones first.
void AddBell(Mono& out, double start, double hz, double decay, float gain) {
  for (const auto& p : kBellPartials) {
    const double f = hz * p[0];
    if (f > 0.45 * kSampleRate) continue;
    const double d = decay * p[2];
    const double level = gain * p[1];
    AddVoice(out, start, decay * 1.2, Wave::Sine, [f](double) { return f; },
             [level, d](double t) { return level * std::min(1.0, t / 0.0015) * Decay60(t, d); });
  }
}

// A short plucked tone: fast attack, exponential decay.
void AddPluck(Mono& out, double start, double hz, double decay, float gain, Wave wave = Wave::Triangle) {
  AddVoice(out, start, decay, wave, [hz](double) { return hz; },
           [gain, decay](double t) { return gain * std::min(1.0, t / 0.002) * Decay60(t, decay); });
}

Curve Exp(double from, double to, double time) {
  return [from, to, time](double t) { return from * std::pow(to / from, std::min(t / time, 1.0)); };
}

Curve Env(double attack, double decay, double gain = 1.0) {
  return [attack, decay, gain](double t) { return gain * std::min(1.0, t / attack) * Decay60(t, decay); };
}

// Fades the last few milliseconds to zero and normalises.
Rendered Finish(Mono samples) {
  const size_t fade = std::min(samples.size(), At(kEndFadeSeconds));
  for (size_t i = 0; i < fade; ++i) {
    samples[samples.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(fade);
  }
  Normalize(samples, kEffectPeak);
  Rendered r;
  r.channels = 1;
  r.samples = std::move(samples);
  return r;
}

// Low-passes a whole buffer (softens square-wave effects).
void Soften(Mono& samples, double hz) {
  SvFilter f(SvFilter::LowPass);
  f.Set(hz, 0.1);
  for (float& s : samples) s = f.Tick(s);
}

// Adds a simple echo of the buffer onto itself.
void AddEcho(Mono& samples, double seconds, float feedback) {
  Echo echo(seconds, feedback, 0.3f);
  for (float& s : samples) s += 0.5f * echo.Tick(s);
}

Rendered Rollover(int midi) {
  Mono m = Blank(0.095);
  const double hz = NoteHz(midi);
  AddVoice(m, 0.0, 0.095, Wave::Sine, [hz](double) { return hz; }, Env(0.003, 0.09));
  AddVoice(m, 0.0, 0.095, Wave::Triangle, [hz](double) { return hz * 2.0; }, Env(0.002, 0.05, 0.25));
  return Finish(m);
}

// A springy boing: a wobbling pitch gliding from `from` to `to`.
Mono Boing(double length, double from, double to, double wobbleHz, double wobbleDepth) {
  Mono m = Blank(length);
  const double glideTime = length * 0.8;
  AddVoice(m, 0.0, length, Wave::Square,
           [=](double t) {
             const double base = from * std::pow(to / from, std::min(t / glideTime, 1.0));
             return base * (1.0 + wobbleDepth * std::sin(2.0 * kPi * wobbleHz * t) * std::exp(-t * 6.0));
           },
           [length](double t) { return std::min(1.0, t / 0.004) * (1.0 - t / length); }, 0.35f);
  AddVoice(m, 0.0, length, Wave::Sine, [=](double t) { return 0.5 * from * std::pow(to / from, std::min(t / glideTime, 1.0)); },
           [length](double t) { return 0.6 * std::min(1.0, t / 0.004) * (1.0 - t / length); });
  Soften(m, 2400.0);
  return m;
}

}  // namespace

Rendered RenderBoing2() { return Finish(Boing(0.26, 160.0, 330.0, 16.0, 0.22)); }

Rendered RenderFruit() {
  Mono m = Blank(0.12);
  // bright two-partial pluck with a tiny upward chirp at the start
  AddVoice(m, 0.0, 0.12, Wave::Sine, [](double t) { return 1568.0 * (1.0 + 0.06 * std::exp(-t / 0.004)); },
           Env(0.0008, 0.11));
  AddVoice(m, 0.0, 0.12, Wave::Sine, [](double) { return 3136.0; }, Env(0.0008, 0.05, 0.45));
  AddVoice(m, 0.0, 0.12, Wave::Triangle, [](double) { return 2349.0; }, Env(0.0008, 0.07, 0.3));
  return Finish(m);
}

Rendered RenderBreakJarre() {
  Mono m = Blank(0.24);
  // hollow clay body: a low knock, a muffled midrange crack and a few grains
  AddVoice(m, 0.0, 0.24, Wave::Sine, Exp(190.0, 95.0, 0.06), Env(0.001, 0.14, 1.0));
  AddNoise(m, 0.0, 0.2, SvFilter::BandPass, [](double) { return 850.0; }, 0.55, Env(0.0005, 0.08, 1.6), 31u);
  Noise grains(77u);
  for (int i = 0; i < 7; ++i) {
    const double when = 0.01 + 0.022 * i + 0.01 * (grains.Next() + 1.0);
    AddNoise(m, when, 0.025, SvFilter::BandPass, [](double) { return 2200.0; }, 0.3,
             Env(0.0003, 0.012, 0.7 * (1.0 - i / 8.0)), 100u + static_cast<uint32_t>(i));
  }
  return Finish(m);
}

Rendered RenderRebon() { return Finish(Boing(0.42, 130.0, 620.0, 11.0, 0.12)); }

Rendered RenderInMenu() {
  Mono m = Blank(0.09);
  AddVoice(m, 0.0, 0.09, Wave::Sine, Exp(700.0, 1050.0, 0.025), Env(0.003, 0.085));
  AddVoice(m, 0.0, 0.09, Wave::Triangle, Exp(1400.0, 2100.0, 0.025), Env(0.003, 0.04, 0.15));
  return Finish(m);
}

Rendered RenderClick() {
  Mono m = Blank(0.03);
  AddVoice(m, 0.0, 0.03, Wave::Sine, [](double) { return 2000.0; }, Env(0.0003, 0.018));
  AddNoise(m, 0.0, 0.01, SvFilter::HighPass, [](double) { return 4000.0; }, 0.0, Env(0.0002, 0.006, 0.6), 5u);
  return Finish(m);
}

Rendered RenderJump1() {
  Mono m = Blank(0.17);
  AddVoice(m, 0.0, 0.17, Wave::Square, Exp(260.0, 820.0, 0.15),
           [](double t) { return std::min(1.0, t / 0.004) * (1.0 - t / 0.17); }, 0.25f);
  Soften(m, 3500.0);
  return Finish(m);
}

Rendered RenderLost() {
  // four falling semitone steps, the last one long, drooping and wobbling
  Mono m = Blank(1.75);
  const double step = 0.24;
  const int notes[4] = {67, 66, 65, 64};
  for (int i = 0; i < 4; ++i) {
    const bool last = i == 3;
    const double hz = NoteHz(notes[i]);
    const double len = last ? 0.95 : step * 0.92;
    AddVoice(m, i * step, len, Wave::Square,
             [hz, last](double t) {
               if (!last) return hz;
               const double droop = std::pow(2.0, -2.0 * std::max(0.0, t - 0.35) / 12.0);
               return hz * droop * (1.0 + 0.012 * std::sin(2.0 * kPi * 6.0 * t));
             },
             [len](double t) { return std::min(1.0, t / 0.01) * std::min(1.0, (len - t) / 0.08); }, 0.5f);
  }
  Soften(m, 1600.0);
  AddEcho(m, 0.18, 0.25f);
  return Finish(m);
}

Rendered RenderLifeUp() {
  Mono m = Blank(0.9);
  const int notes[7] = {72, 76, 79, 84, 88, 91, 96};
  for (int i = 0; i < 7; ++i) {
    const double hz = NoteHz(notes[i]);
    const double decay = i == 6 ? 0.6 : 0.25;
    AddVoice(m, i * 0.06, decay, Wave::Square, [hz](double) { return hz; }, Env(0.002, decay, 0.5), 0.25f);
    AddPluck(m, i * 0.06, hz, decay, 0.4f, Wave::Sine);
  }
  Soften(m, 6000.0);
  AddEcho(m, 0.09, 0.3f);
  return Finish(m);
}

Rendered RenderGrizzlyClef() {
  Mono m = Blank(0.72);
  const int notes[5] = {88, 92, 95, 100, 95};
  for (int i = 0; i < 5; ++i) AddBell(m, i * 0.055, NoteHz(notes[i]), 0.45, 0.5f);
  AddNoise(m, 0.0, 0.5, SvFilter::HighPass, [](double) { return 9000.0; }, 0.2,
           [](double t) { return 0.12 * std::min(1.0, t / 0.05) * Decay60(t, 0.4) * (0.6 + 0.4 * std::sin(2.0 * kPi * 30.0 * t)); }, 12u);
  return Finish(m);
}

Rendered RenderGrizzlyCochon() {
  Mono m = Blank(0.42);
  // squash thump, then a nasal squeal rising and falling with a fast warble
  AddVoice(m, 0.0, 0.08, Wave::Sine, Exp(140.0, 60.0, 0.06), Env(0.001, 0.07, 1.0));
  Mono squeal = Blank(0.42);
  AddVoice(squeal, 0.03, 0.38, Wave::Saw,
           [](double t) {
             const double shape = std::sin(kPi * std::min(t / 0.36, 1.0));
             return (480.0 + 620.0 * shape) * (1.0 + 0.05 * std::sin(2.0 * kPi * 24.0 * t));
           },
           [](double t) { return std::min(1.0, t / 0.015) * std::min(1.0, (0.38 - t) / 0.1); });
  SvFilter formant(SvFilter::BandPass);
  formant.Set(1500.0, 0.6);
  for (size_t i = 0; i < m.size(); ++i) m[i] += 1.4f * formant.Tick(squeal[i]) + 0.25f * squeal[i];
  return Finish(m);
}

Rendered RenderGrizzlyLife() {
  Mono m = Blank(0.85);
  const int notes[4] = {79, 83, 86, 91};
  for (int i = 0; i < 4; ++i) AddPluck(m, i * 0.08, NoteHz(notes[i]), 0.3, 0.6f);
  for (int i = 0; i < 6; ++i) AddPluck(m, 0.32 + i * 0.06, NoteHz(i % 2 ? 91 : 95), i == 5 ? 0.4 : 0.12, 0.45f);
  return Finish(m);
}

Rendered RenderBanana() {
  Mono m = Blank(0.24);
  AddVoice(m, 0.0, 0.1, Wave::Square, Exp(700.0, 880.0, 0.03), Env(0.002, 0.1, 0.6), 0.3f);
  AddVoice(m, 0.1, 0.14, Wave::Square, Exp(1100.0, 1320.0, 0.03), Env(0.002, 0.14, 0.6), 0.3f);
  Soften(m, 3000.0);
  return Finish(m);
}

Rendered RenderFruit2() {
  Mono m = Blank(0.62);
  // magic: a quick climbing run of bells over a rising, trembling whoosh
  const int notes[8] = {84, 88, 91, 96, 91, 96, 100, 103};
  for (int i = 0; i < 8; ++i) AddBell(m, i * 0.04, NoteHz(notes[i]), 0.35, 0.35f);
  AddNoise(m, 0.0, 0.6, SvFilter::BandPass, Exp(1500.0, 9000.0, 0.5), 0.7,
           [](double t) { return 0.35 * std::min(1.0, t / 0.1) * (1.0 - t / 0.6) * (0.6 + 0.4 * std::sin(2.0 * kPi * 22.0 * t)); },
           44u);
  return Finish(m);
}

Rendered RenderFruit3() {
  Mono m = Blank(0.2);
  AddVoice(m, 0.0, 0.2, Wave::Sine, [](double t) { return 1046.5 * (1.0 + 0.08 * std::exp(-t / 0.005)); }, Env(0.001, 0.18));
  AddVoice(m, 0.0, 0.2, Wave::Sine, [](double) { return 1568.0; }, Env(0.001, 0.14, 0.6));
  AddVoice(m, 0.0, 0.2, Wave::Triangle, [](double) { return 2093.0; }, Env(0.001, 0.08, 0.3));
  return Finish(m);
}

Rendered RenderExplosion() {
  Mono m = Blank(1.1);
  AddVoice(m, 0.0, 1.0, Wave::Sine, Exp(95.0, 32.0, 0.35), Env(0.002, 0.75, 1.0));
  AddNoise(m, 0.0, 1.1, SvFilter::LowPass, Exp(6000.0, 180.0, 0.9), 0.15, Env(0.001, 1.0, 1.5), 99u);
  AddNoise(m, 0.0, 0.3, SvFilter::HighPass, [](double) { return 2500.0; }, 0.1, Env(0.0005, 0.2, 0.5), 98u);
  Noise crackle(97u);
  for (int i = 0; i < 10; ++i) {
    const double when = 0.05 + 0.07 * i + 0.03 * (crackle.Next() + 1.0);
    AddNoise(m, when, 0.03, SvFilter::BandPass, [](double) { return 1800.0; }, 0.2,
             Env(0.0003, 0.02, 0.35 * (1.0 - i / 11.0)), 200u + static_cast<uint32_t>(i));
  }
  // a touch of soft saturation makes the boom feel heavier
  Normalize(m, 1.0f);
  for (float& s : m) s = static_cast<float>(std::tanh(1.8 * s));
  return Finish(m);
}

Rendered RenderRebon2() { return Finish(Boing(0.3, 220.0, 700.0, 14.0, 0.1)); }

Rendered RenderBreakJarre2() {
  Mono m = Blank(0.75);
  const int chord[4] = {84, 88, 91, 96};
  for (int i = 0; i < 4; ++i) AddBell(m, i * 0.012, NoteHz(chord[i]), 0.65, 0.4f);
  // glassy sparkle over the chime
  Noise when(61u);
  for (int i = 0; i < 12; ++i) {
    const double t0 = 0.01 + 0.03 * i + 0.01 * (when.Next() + 1.0);
    const double hz = 3000.0 + 2000.0 * (when.Next() + 1.0);
    AddVoice(m, t0, 0.06, Wave::Sine, [hz](double) { return hz; }, Env(0.0005, 0.05, 0.18 * (1.0 - i / 13.0)));
  }
  AddNoise(m, 0.0, 0.15, SvFilter::HighPass, [](double) { return 6000.0; }, 0.2, Env(0.0005, 0.1, 0.4), 62u);
  return Finish(m);
}

Rendered RenderRollover1() { return Rollover(72); }
Rendered RenderRollover2() { return Rollover(76); }
Rendered RenderRollover3() { return Rollover(79); }
Rendered RenderRollover4() { return Rollover(84); }

}  // namespace soundgen
