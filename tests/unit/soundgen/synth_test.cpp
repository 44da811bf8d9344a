// Synthesiser building blocks: pitch, noise, envelopes, filters, delay
// effects and the loop-length rule.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "signal_measure.h"
#include "synth.h"

using namespace soundgen;

namespace {

double Rms(const std::vector<float>& s, size_t from = 0) {
  double sum = 0.0;
  for (size_t i = from; i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
  return s.size() > from ? std::sqrt(sum / static_cast<double>(s.size() - from)) : 0.0;
}

std::vector<float> Sine(double hz, size_t n) {
  std::vector<float> s(n);
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<float>(std::sin(2.0 * kPi * hz * static_cast<double>(i) / kSampleRate));
  return s;
}

}  // namespace

TEST(Synth, NotePitchesFollowEqualTemperament) {
  EXPECT_DOUBLE_EQ(NoteHz(69), 440.0);
  EXPECT_NEAR(NoteHz(60), 261.6256, 1e-3);
  EXPECT_NEAR(NoteHz(69.5) / NoteHz(69), std::pow(2.0, 1.0 / 24.0), 1e-12);  // fractional notes bend
}

TEST(Synth, NoiseIsSeededAndBounded) {
  Noise a(42), b(42), c(43), zero(0);
  double sum = 0.0;
  bool differs = false;
  for (int i = 0; i < 20000; ++i) {
    const float x = a.Next();
    EXPECT_EQ(x, b.Next());
    differs |= x != c.Next();
    ASSERT_GE(x, -1.0f);
    ASSERT_LT(x, 1.0f);
    sum += x;
    ASSERT_TRUE(std::isfinite(zero.Next()));  // a zero seed must not get stuck at zero
  }
  EXPECT_TRUE(differs);
  EXPECT_NEAR(sum / 20000.0, 0.0, 0.02);
}

TEST(Synth, EveryPitchedWaveOscillatesAtItsFrequencyWithinRange) {
  for (Wave w : {Wave::Sine, Wave::Square, Wave::Triangle, Wave::Saw}) {
    for (double hz : {441.0, 4410.0}) {
      SCOPED_TRACE(static_cast<int>(w));
      Oscillator osc(w);
      osc.SetPulseWidth(0.3f);
      std::vector<float> s(kSampleRate);
      for (float& x : s) x = osc.Tick(hz);
      EXPECT_NEAR(CrossingsPerSecond(s), hz, 2.0);
      for (float x : s) ASSERT_LE(std::fabs(x), 1.3f);
    }
  }
  // pitched noise changes value at the given rate, white noise every sample
  Oscillator slow(Wave::Noise, 9), fast(Wave::Noise, 9);
  int slowChanges = 0, fastChanges = 0;
  float ps = slow.Tick(100.0), pf = fast.Tick(kSampleRate);
  for (int i = 0; i < kSampleRate; ++i) {
    const float s = slow.Tick(100.0), f = fast.Tick(kSampleRate);
    slowChanges += s != ps;
    fastChanges += f != pf;
    ps = s;
    pf = f;
  }
  EXPECT_NEAR(slowChanges, 100, 3);
  EXPECT_GT(fastChanges, kSampleRate * 9 / 10);
}

TEST(Synth, EnvelopeRisesHoldsAndReleasesToZero) {
  const Adsr env{0.01f, 0.1f, 0.5f, 0.2f};
  const double gate = 0.5;
  EXPECT_EQ(env.Level(-0.1, gate), 0.0f);
  EXPECT_NEAR(env.Level(0.01, gate), 1.0f, 1e-6);  // attack peak, then the sustain level
  EXPECT_NEAR(env.Level(0.3, gate), 0.5f, 1e-6);
  // no jump at note-off, then silence at the end of the release
  EXPECT_NEAR(env.Level(gate - 1e-6, gate), env.Level(gate + 1e-6, gate), 1e-4);
  EXPECT_EQ(env.Level(env.End(gate), gate), 0.0f);
  // a note shorter than its attack releases from where it got to
  EXPECT_LT(env.Level(0.006, 0.005), 0.5f);
  const Adsr hard{0.0f, 0.0f, 1.0f, 0.0f};
  EXPECT_EQ(hard.Level(0.0, 1.0), 1.0f);
  EXPECT_EQ(hard.Level(1.0, 1.0), 0.0f);
  EXPECT_NEAR(Decay60(1.0, 1.0), 0.001f, 1e-5);
  EXPECT_EQ(Decay60(0.5, 0.0), 0.0f);
}

TEST(Synth, FiltersPassTheirBandAndStayStable) {
  const size_t n = kSampleRate / 2;
  auto through = [&](SvFilter::Mode mode, double hz) {
    SvFilter f(mode);
    f.Set(1000.0, 0.1);
    std::vector<float> s = Sine(hz, n);
    for (float& x : s) x = f.Tick(x);
    return Rms(s, n / 2) / Rms(Sine(hz, n), n / 2);
  };
  EXPECT_GT(through(SvFilter::LowPass, 100.0), 0.9);
  EXPECT_LT(through(SvFilter::LowPass, 10000.0), 0.03);
  EXPECT_LT(through(SvFilter::HighPass, 100.0), 0.03);
  EXPECT_GT(through(SvFilter::HighPass, 10000.0), 0.9);
  EXPECT_GT(through(SvFilter::BandPass, 1000.0), through(SvFilter::BandPass, 8000.0) * 5.0);

  OnePole lp;
  lp.Set(200.0);
  std::vector<float> s = Sine(5000.0, n);
  for (float& x : s) x = lp.LowPass(x);
  EXPECT_LT(Rms(s, n / 2), 0.05);

  // extreme settings (cutoff beyond Nyquist, full resonance) stay finite
  SvFilter wild(SvFilter::LowPass);
  wild.Set(1e9, 5.0);
  Noise noise(3);
  for (int i = 0; i < kSampleRate; ++i) ASSERT_LT(std::fabs(wild.Tick(noise.Next())), 100.0f);
}

TEST(Synth, EchoAndReverbRepeatThenDieAway) {
  Echo echo(0.1, 0.5f, 0.0f);
  std::vector<float> out(kSampleRate);
  for (size_t i = 0; i < out.size(); ++i) out[i] = echo.Tick(i == 0 ? 1.0f : 0.0f);
  const size_t d = static_cast<size_t>(0.1 * kSampleRate);
  EXPECT_EQ(out[0], 0.0f);  // wet only: nothing until the delay has passed
  EXPECT_EQ(out[d - 1], 0.0f);
  EXPECT_NEAR(out[d], 1.0f, 1e-6);
  EXPECT_NEAR(out[2 * d], 0.5f, 1e-6);

  for (int channel = 0; channel < 2; ++channel) {
    Reverb rev(0.8f, 0.3f, channel);
    std::vector<float> r(3 * kSampleRate);
    for (size_t i = 0; i < r.size(); ++i) r[i] = rev.Tick(i == 0 ? 1.0f : 0.0f);
    const double early = Rms(std::vector<float>(r.begin(), r.begin() + kSampleRate / 4));
    const double late = Rms(std::vector<float>(r.end() - kSampleRate / 4, r.end()));
    EXPECT_GT(early, 1e-4);
    EXPECT_LT(late, early * 0.01);
  }
}

TEST(Synth, LoopLengthsStopOneFrameShortOfAStreamHalf) {
  for (double seconds : {0.0, 1.0, 30.0, 45.5, 90.0}) {
    const size_t frames = LoopFrames(seconds);
    EXPECT_EQ(frames % 16384, 16383u);
    EXPECT_EQ(LoopPeriod(seconds), frames + 1);
    EXPECT_LE(std::fabs(static_cast<double>(frames + 1) / kSampleRate - seconds), 0.19 + (seconds < 0.2 ? 0.2 : 0.0));
  }
}

TEST(Synth, NormalizeAndPanning) {
  std::vector<float> s = {0.1f, -0.4f, 0.2f};
  Normalize(s, 0.8f);
  EXPECT_FLOAT_EQ(s[1], -0.8f);
  std::vector<float> silent(10, 0.0f);
  Normalize(silent, 0.8f);  // no division by a zero peak
  for (float x : silent) EXPECT_EQ(x, 0.0f);
  float l, r;
  PanGains(0.0f, &l, &r);
  EXPECT_NEAR(l * l + r * r, 1.0f, 1e-5);  // equal power
  PanGains(-5.0f, &l, &r);                 // clamped to hard left
  EXPECT_NEAR(l - r, 1.0f, 1e-6);
}
