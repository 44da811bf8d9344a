// Ogg encoding and decoding, and the 28 files the build writes to audio/:
// each decodes, has the right rate, channels and length, stays at or below
// -1 dBFS, is not silent; loops obey the stream-half rule and one-shot tunes
// end in silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "ogg_io.h"
#include "synth.h"

using namespace soundgen;

namespace {

bool ReadFile(const std::string& path, std::vector<uint8_t>* out) {
  std::ifstream in(path, std::ios::binary);
  out->assign(std::istreambuf_iterator<char>(in), {});
  return in.is_open();
}

std::vector<float> Tone(double hz, double seconds, int channels) {
  const size_t frames = static_cast<size_t>(seconds * kSampleRate);
  std::vector<float> s(frames * static_cast<size_t>(channels));
  for (size_t i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c)
      s[i * static_cast<size_t>(channels) + static_cast<size_t>(c)] =
          0.5f * static_cast<float>(std::sin(2.0 * kPi * hz * (c + 1) * static_cast<double>(i) / kSampleRate));
  return s;
}

// Seconds from the start to just after the last sample louder than `level`.
double AudibleEnd(const Pcm& pcm, int level) {
  for (size_t i = pcm.samples.size(); i-- > 0;)
    if (std::abs(static_cast<int>(pcm.samples[i])) > level)
      return static_cast<double>(i / static_cast<size_t>(pcm.channels) + 1) / static_cast<double>(pcm.rate);
  return 0.0;
}

double Rms(const Pcm& pcm) {
  double sum = 0.0;
  for (int16_t s : pcm.samples) sum += static_cast<double>(s) * s;
  return pcm.samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(pcm.samples.size()));
}

// Pitch of a mono effect from its rising zero crossings.
double Pitch(const Pcm& pcm) {
  int crossings = 0;
  for (size_t i = 1; i < pcm.samples.size(); ++i)
    if (pcm.samples[i - 1] < 0 && pcm.samples[i] >= 0) ++crossings;
  return crossings * static_cast<double>(pcm.rate) / static_cast<double>(pcm.samples.size());
}

#ifdef BR_AUDIO_GENERATED
constexpr bool kGenerated = true;
#else
constexpr bool kGenerated = false;
#endif

struct Expected {
  const char* name;
  double minSeconds, maxSeconds;  // effects: whole file; one-shot tunes: audible part
};

const Expected kExpected[] = {
    {"boing2.ogg", 0.15, 0.4},        {"fruit.ogg", 0.08, 0.15},       {"breakjarre.ogg", 0.15, 0.3},
    {"rebon.ogg", 0.3, 0.5},          {"inmenu.ogg", 0.06, 0.12},      {"click.ogg", 0.02, 0.05},
    {"jump1.ogg", 0.12, 0.2},         {"lost.ogg", 1.0, 2.0},          {"lifeup.ogg", 0.6, 1.0},
    {"grizzly_clef.ogg", 0.4, 0.8},   {"grizzly_cochon.ogg", 0.3, 0.6}, {"grizzly_life.ogg", 0.3, 1.2},
    {"banana.ogg", 0.1, 0.5},         {"fruit2.ogg", 0.4, 0.7},        {"fruit3.ogg", 0.1, 0.5},
    {"explosion.ogg", 0.6, 1.2},      {"rebon2.ogg", 0.2, 0.5},        {"breakjarre2.ogg", 0.4, 0.8},
    {"rollover1.ogg", 0.06, 0.12},    {"rollover2.ogg", 0.06, 0.12},   {"rollover3.ogg", 0.06, 0.12},
    {"rollover4.ogg", 0.06, 0.12},    {"menu.ogg", 30.0, 60.0},        {"ingame1.ogg", 90.0, 120.0},
    {"ingame2.ogg", 90.0, 120.0},     {"ingame3.ogg", 90.0, 120.0},     {"level_finish.ogg", 2.5, 4.0},
    {"gameover.ogg", 2.0, 7.0},
};

constexpr int kSilence = 8;           // decoded sample magnitude still counted as silence
constexpr double kMinRms = 300.0;     // about -40 dBFS: clearly not silent
constexpr double kSilentTail = 1.0;   // seconds of silence after a one-shot tune
constexpr double kGameOverEnd = 8.0;  // the whole file, tail included
constexpr double kEnvelopeSeconds = 0.01;  // loudness envelope step for the repeat search
constexpr double kShortestLag = 4.0;       // seconds; shorter lags only find the beat
constexpr double kNoRepeatBefore = 90.0;   // a stage track runs this long before it repeats
constexpr double kRepeatDistance = 0.1;    // envelopes closer than this are the same music

// Loudness of a stereo track in steps of kEnvelopeSeconds.
std::vector<double> Envelope(const std::vector<int16_t>& samples) {
  const size_t step = static_cast<size_t>(kEnvelopeSeconds * kSampleRate);
  std::vector<double> out;
  for (size_t at = 0; at + 2 * step <= samples.size(); at += 2 * step) {
    double sum = 0.0;
    for (size_t i = at; i < at + 2 * step; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    out.push_back(std::sqrt(sum / static_cast<double>(2 * step)));
  }
  return out;
}

// The lag (in seconds, from kShortestLag up to maxSeconds) at which the looped envelope comes
// closest to itself, and how close: mean difference over mean level.
std::pair<double, double> ClosestRepeat(const std::vector<double>& e, double maxSeconds) {
  double total = 0.0;
  for (double v : e) total += v;
  std::pair<double, double> best{0.0, 1e9};
  const size_t from = static_cast<size_t>(kShortestLag / kEnvelopeSeconds);
  // a lag of the loop less a few seconds is the same as a few seconds back
  const size_t to = std::min(e.size() - std::min(e.size(), from), static_cast<size_t>(maxSeconds / kEnvelopeSeconds));
  for (size_t lag = from; lag < to; ++lag) {
    double diff = 0.0;
    for (size_t i = 0; i < e.size(); ++i) diff += std::fabs(e[i] - e[(i + lag) % e.size()]);
    if (diff / total < best.second) best = {static_cast<double>(lag) * kEnvelopeSeconds, diff / total};
  }
  return best;
}

}  // namespace

TEST(OggIo, RoundTripKeepsLengthRateAndLevel) {
  for (int channels : {1, 2}) {
    const std::vector<float> tone = Tone(440.0, 0.75, channels);
    std::vector<uint8_t> ogg, again;
    ASSERT_TRUE(EncodeOgg(tone, channels, kVorbisQuality, 1234, &ogg));
    ASSERT_TRUE(EncodeOgg(tone, channels, kVorbisQuality, 1234, &again));
    EXPECT_EQ(ogg, again);  // deterministic bytes
    Pcm pcm;
    ASSERT_TRUE(DecodeOgg(ogg.data(), ogg.size(), &pcm));
    EXPECT_EQ(pcm.channels, channels);
    EXPECT_EQ(pcm.rate, kSampleRate);
    EXPECT_EQ(pcm.samples.size(), tone.size());
    EXPECT_NEAR(PeakOf(pcm), 16384, 1600);  // lossy: a few per cent of ringing
  }
  std::vector<uint8_t> out;
  EXPECT_FALSE(EncodeOgg(Tone(440.0, 0.1, 1), 3, kVorbisQuality, 1, &out));
  EXPECT_FALSE(EncodeOgg(Tone(440.0, 0.1, 1), 1, kVorbisQuality, 1, nullptr));
}

TEST(OggIo, DamagedFilesAreRefusedWithoutCrashing) {
  std::vector<uint8_t> ogg;
  ASSERT_TRUE(EncodeOgg(Tone(300.0, 0.5, 2), 2, kVorbisQuality, 77, &ogg));
  Pcm pcm;
  EXPECT_FALSE(DecodeOgg(nullptr, 0, &pcm));
  EXPECT_FALSE(DecodeOgg(ogg.data(), 0, &pcm));
  const std::vector<uint8_t> junk(4096, 0x5A);
  EXPECT_FALSE(DecodeOgg(junk.data(), junk.size(), &pcm));
  EXPECT_FALSE(DecodeOgg(ogg.data(), 40, &pcm));  // cut inside the headers
  // cut in the audio or with damaged bytes: either refused or shorter, never a crash
  const size_t full = static_cast<size_t>(0.5 * kSampleRate) * 2;
  if (DecodeOgg(ogg.data(), ogg.size() / 2, &pcm)) {
    EXPECT_LT(pcm.samples.size(), full);
  }
  std::vector<uint8_t> flipped = ogg;
  for (size_t i = 200; i < flipped.size(); i += 97) flipped[i] ^= 0xA5;
  if (DecodeOgg(flipped.data(), flipped.size(), &pcm)) {
    EXPECT_LE(pcm.samples.size(), full + 8192);
  }
}

// The shape checks below cover the whole catalogue: every file is listed there once.
TEST(Catalogue, MatchesTheExpectedFilesAndOnlyMusicLoops) {
  std::set<std::string> names;
  for (const SoundDef& d : Catalogue()) {
    names.insert(d.name);
    EXPECT_TRUE(!d.loop || d.music) << d.name;
  }
  EXPECT_EQ(names.size(), std::size(kExpected));
  for (const Expected& e : kExpected) EXPECT_NE(FindSound(e.name), nullptr) << e.name;
  EXPECT_EQ(FindSound("missing.ogg"), nullptr);
}

TEST(Catalogue, BuildingAnEffectTwiceGivesTheSameBytes) {
  for (const char* name : {"fruit.ogg", "explosion.ogg"}) {
    const SoundDef* def = FindSound(name);
    ASSERT_NE(def, nullptr);
    std::vector<uint8_t> a, b;
    std::string error;
    ASSERT_TRUE(BuildSound(*def, &a, &error)) << error;
    ASSERT_TRUE(BuildSound(*def, &b, &error)) << error;
    EXPECT_EQ(a, b);
#ifdef BR_AUDIO_GENERATED
    std::vector<uint8_t> disk;
    ASSERT_TRUE(ReadFile(std::string("audio/") + name, &disk));
    EXPECT_EQ(disk, a) << "the build's file is not what the generator makes now";
#endif
  }
}

TEST(GeneratedAudio, EveryFileDecodesWithTheExpectedShape) {
  if (!kGenerated) GTEST_SKIP() << "sound generation is switched off in this build";
  for (const Expected& e : kExpected) {
    SCOPED_TRACE(e.name);
    const SoundDef* def = FindSound(e.name);
    ASSERT_NE(def, nullptr);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFile(std::string("audio/") + e.name, &bytes));
    Pcm pcm;
    ASSERT_TRUE(DecodeOgg(bytes.data(), bytes.size(), &pcm));
    EXPECT_EQ(pcm.rate, 44100);
    EXPECT_EQ(pcm.channels, def->music ? 2 : 1);
    EXPECT_LE(PeakOf(pcm), kPeakLimit);
    EXPECT_GT(Rms(pcm), kMinRms);
    const double seconds = static_cast<double>(pcm.Frames()) / pcm.rate;
    if (!def->music || def->loop) {
      EXPECT_GE(seconds, e.minSeconds);
      EXPECT_LE(seconds, e.maxSeconds);
    }
    if (def->loop) {
      EXPECT_EQ(pcm.Frames() % 16384, 16383u);
      // the seam: both ends fade to (near) silence, so the one-frame gap the
      // player leaves there cannot click
      for (int c = 0; c < 2; ++c) {
        EXPECT_LT(std::abs(pcm.samples[static_cast<size_t>(c)]), 400);
        EXPECT_LT(std::abs(pcm.samples[pcm.samples.size() - 2 + static_cast<size_t>(c)]), 400);
      }
    } else if (def->music) {
      const double end = AudibleEnd(pcm, kSilence);
      EXPECT_GE(end, e.minSeconds);
      EXPECT_LE(end, e.maxSeconds);
      EXPECT_GE(seconds - end, kSilentTail);
    }
  }
}

// The stage tracks change as they go: no lag short of the full loop brings
// the music back onto itself. A track that merely plays its first half twice
// is caught by the same search.
TEST(GeneratedAudio, StageTracksRunNinetySecondsBeforeTheyRepeat) {
  if (!kGenerated) GTEST_SKIP() << "sound generation is switched off in this build";
  for (const char* name : {"ingame1.ogg", "ingame2.ogg", "ingame3.ogg"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    Pcm pcm;
    ASSERT_TRUE(ReadFile(std::string("audio/") + name, &bytes));
    ASSERT_TRUE(DecodeOgg(bytes.data(), bytes.size(), &pcm));
    const std::vector<double> envelope = Envelope(pcm.samples);
    ASSERT_GE(envelope.size() * kEnvelopeSeconds, kNoRepeatBefore - 0.5);
    const std::pair<double, double> repeat = ClosestRepeat(envelope, kNoRepeatBefore);
    std::printf("%s: closest to itself after %.2f s, distance %.3f\n", name, repeat.first, repeat.second);
    EXPECT_GT(repeat.second, kRepeatDistance) << "the music repeats after " << repeat.first << " s";
    std::vector<double> twice(envelope.begin(), envelope.begin() + static_cast<std::ptrdiff_t>(envelope.size() / 2));
    twice.insert(twice.end(), twice.begin(), twice.end());
    EXPECT_LT(ClosestRepeat(twice, kNoRepeatBefore).second, kRepeatDistance / 4);
  }
}

TEST(GeneratedAudio, EffectsFitTheirEvents) {
  if (!kGenerated) GTEST_SKIP() << "sound generation is switched off in this build";
  auto load = [](const char* name, Pcm* pcm) {
    std::vector<uint8_t> bytes;
    return ReadFile(std::string("audio/") + name, &bytes) && DecodeOgg(bytes.data(), bytes.size(), pcm);
  };
  Pcm pcm;
  // the fruit tally replays it every 40 ms: its attack must land well inside that
  ASSERT_TRUE(load("fruit.ogg", &pcm));
  int firstPeak = 0;
  for (size_t i = 0; i < pcm.samples.size(); ++i)
    if (std::abs(static_cast<int>(pcm.samples[i])) > std::abs(static_cast<int>(pcm.samples[static_cast<size_t>(firstPeak)])))
      firstPeak = static_cast<int>(i);
  EXPECT_LT(firstPeak, kSampleRate * 10 / 1000);
  // the four roll-over notes rise
  double previous = 0.0;
  for (const char* name : {"rollover1.ogg", "rollover2.ogg", "rollover3.ogg", "rollover4.ogg"}) {
    ASSERT_TRUE(load(name, &pcm));
    const double pitch = Pitch(pcm);
    EXPECT_GT(pitch, previous * 1.1) << name;
    previous = pitch;
  }
  // the whole game-over file ends before the game-over screen gives way
  ASSERT_TRUE(load("gameover.ogg", &pcm));
  EXPECT_LE(static_cast<double>(pcm.Frames()) / pcm.rate, kGameOverEnd);
}
