// The six music tracks, stereo at 44.1 kHz. Looped tracks are composed to a
// whole number of bars whose length is exactly a multiple of 16384 frames;
// the file keeps one frame less, so the game's stream player (which leaves
// the rest of a 64 KiB half silent when the data ends) loses just that one
// frame at the loop point. A brief dip to silence around the seam keeps that
// missing frame from clicking. One-shot tunes end in at least a second of
// digital silence, since the player cuts the last ~0.74 s of a stream.
#include <algorithm>
#include <cstdio>
#include <cmath>
#include <string>

#include "catalogue.h"
#include "song.h"

namespace soundgen {

namespace {

constexpr float kMusicPeak = 0.84f;           // about -1.5 dBFS before encoding
constexpr double kSeamDipSeconds = 0.003;     // each side of the loop point
constexpr double kSilentTailSeconds = 1.3;    // one-shot tunes
constexpr double kFanfareFadeSeconds = 0.35;  // one-shot tunes fade into the tail
constexpr double kLamentFadeSeconds = 0.9;
constexpr double kGlueDrive = 1.3;            // soft saturation of the mix's loudest peaks

// ---- instruments ------------------------------------------------------------

Patch SquareLead() {
  Patch p;
  p.wave = Wave::Square;
  p.pulse = 0.25f;
  p.env = {0.004f, 0.18f, 0.55f, 0.08f};
  p.filter = true;
  p.cutoff = 2600.0;
  p.cutoffEnv = 3000.0;
  p.filterDecay = 0.12;
  p.vibratoDepth = 0.12;
  p.vibratoRate = 5.5;
  p.vibratoDelay = 0.22;
  p.gain = 0.22f;
  return p;
}

Patch Flute() {
  Patch p;
  p.wave = Wave::Triangle;
  p.wave2 = Wave::Sine;
  p.mix2 = 0.3f;
  p.detune2 = 12.0;
  p.env = {0.03f, 0.2f, 0.8f, 0.12f};
  p.vibratoDepth = 0.15;
  p.vibratoRate = 5.0;
  p.vibratoDelay = 0.18;
  p.slide = -0.3;
  p.slideTime = 0.03;
  p.gain = 0.33f;
  return p;
}

Patch Marimba() {
  Patch p;
  p.wave = Wave::Sine;
  p.wave2 = Wave::Sine;
  p.mix2 = 0.18f;
  p.detune2 = 24.0 + 1.0 / 3.0;  // slightly sharp fourth harmonic, woody
  p.env = {0.001f, 0.35f, 0.0f, 0.05f};
  p.gain = 0.5f;
  return p;
}

Patch Bell() {
  Patch p;
  p.wave = Wave::Sine;
  p.wave2 = Wave::Sine;
  p.mix2 = 0.3f;
  p.detune2 = 17.57;  // 2.76 x, the bell's first overtone
  p.env = {0.001f, 0.6f, 0.0f, 0.3f};
  p.gain = 0.22f;
  return p;
}

Patch SawBass() {
  Patch p;
  p.wave = Wave::Saw;
  p.wave2 = Wave::Square;
  p.mix2 = 0.35f;
  p.detune2 = 0.0;
  p.env = {0.003f, 0.15f, 0.6f, 0.05f};
  p.filter = true;
  p.cutoff = 300.0;
  p.cutoffEnv = 1100.0;
  p.filterDecay = 0.09;
  p.resonance = 0.35;
  p.gain = 0.42f;
  return p;
}

Patch RoundBass() {
  Patch p;
  p.wave = Wave::Triangle;
  p.wave2 = Wave::Square;
  p.mix2 = 0.15f;
  p.env = {0.004f, 0.25f, 0.5f, 0.06f};
  p.filter = true;
  p.cutoff = 700.0;
  p.cutoffEnv = 600.0;
  p.filterDecay = 0.1;
  p.gain = 0.6f;
  return p;
}

Patch Pluck() {
  Patch p;
  p.wave = Wave::Saw;
  p.env = {0.002f, 0.22f, 0.0f, 0.05f};
  p.filter = true;
  p.cutoff = 600.0;
  p.cutoffEnv = 3500.0;
  p.filterDecay = 0.08;
  p.resonance = 0.25;
  p.gain = 0.16f;
  return p;
}

Patch Organ() {
  Patch p;
  p.wave = Wave::Square;
  p.wave2 = Wave::Sine;
  p.mix2 = 0.4f;
  p.detune2 = 12.0;
  p.env = {0.004f, 0.08f, 0.5f, 0.05f};
  p.filter = true;
  p.cutoff = 1900.0;
  p.gain = 0.08f;
  return p;
}

Patch Keys() {  // soft electric-piano colour for the groove
  Patch p;
  p.wave = Wave::Sine;
  p.wave2 = Wave::Triangle;
  p.mix2 = 0.25f;
  p.detune2 = 12.0;
  p.env = {0.003f, 0.6f, 0.25f, 0.15f};
  p.gain = 0.13f;
  return p;
}

Patch Pad() {
  Patch p;
  p.wave = Wave::Saw;
  p.wave2 = Wave::Saw;
  p.mix2 = 0.5f;
  p.detune2 = 0.12;
  p.env = {0.25f, 0.5f, 0.8f, 0.4f};
  p.filter = true;
  p.cutoff = 1100.0;
  p.gain = 0.06f;
  return p;
}

Patch Brass() {
  Patch p;
  p.wave = Wave::Saw;
  p.wave2 = Wave::Saw;
  p.mix2 = 0.5f;
  p.detune2 = 0.08;
  p.env = {0.02f, 0.2f, 0.75f, 0.18f};
  p.filter = true;
  p.cutoff = 900.0;
  p.cutoffEnv = 2600.0;
  p.filterDecay = 0.25;
  p.vibratoDepth = 0.08;
  p.vibratoDelay = 0.3;
  p.gain = 0.2f;
  return p;
}

Patch Guitar() {  // plucked off-beat chords of the jig
  Patch p;
  p.wave = Wave::Square;
  p.pulse = 0.3f;
  p.env = {0.002f, 0.16f, 0.0f, 0.05f};
  p.filter = true;
  p.cutoff = 900.0;
  p.cutoffEnv = 2000.0;
  p.filterDecay = 0.05;
  p.gain = 0.07f;
  return p;
}

// ---- helpers ----------------------------------------------------------------

// Collects pattern errors: a typo in a pattern must fail the track (an empty
// result, which the build reports) rather than leave a hole in the music.
struct Checker {
  bool ok = true;
  void operator()(bool good, const char* what) {
    if (good) return;
    std::fprintf(stderr, "soundgen: bad pattern in %s\n", what);
    ok = false;
  }
};

std::string Repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s + " ";
  return out;
}

Rendered Interleave(const Stereo& s, size_t frames) {
  Rendered r;
  r.channels = 2;
  r.samples.resize(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    r.samples[2 * i] = s.left[i];
    r.samples[2 * i + 1] = s.right[i];
  }
  return r;
}

// Gently rounds off the loudest peaks (mostly drum hits) so the whole mix can
// sit a little louder under the same peak level.
void Glue(Stereo& s) {
  Normalize(s, 1.0f);
  const double norm = 1.0 / std::tanh(kGlueDrive);
  for (auto* channel : {&s.left, &s.right})
    for (float& x : *channel) x = static_cast<float>(std::tanh(kGlueDrive * x) * norm);
  Normalize(s, kMusicPeak);
}

// Loop setup: the tempo is chosen so that `beats` fill exactly the period.
SongSetup LoopSetup(double seconds, double beats) {
  SongSetup setup;
  setup.frames = LoopPeriod(seconds);
  setup.loop = true;
  setup.bpm = beats * 60.0 * kSampleRate / static_cast<double>(setup.frames);
  return setup;
}

// Normalises a rendered loop, dips it smoothly to zero at the seam and drops
// the final frame of the period.
Rendered FinishLoop(Stereo s) {
  Glue(s);
  const size_t period = s.Frames();
  if (period < 2) return Rendered{};
  const size_t dip = static_cast<size_t>(kSeamDipSeconds * kSampleRate);
  for (size_t i = 0; i < dip && i < period / 2; ++i) {
    // distance in frames from the missing frame (index period - 1)
    const double head = static_cast<double>(i + 1) / static_cast<double>(dip + 1);
    const float wHead = static_cast<float>(0.5 - 0.5 * std::cos(kPi * head));
    s.left[i] *= wHead;
    s.right[i] *= wHead;
    const size_t j = period - 2 - i;
    s.left[j] *= wHead;
    s.right[j] *= wHead;
  }
  s.left[period - 1] = s.right[period - 1] = 0.0f;
  return Interleave(s, period - 1);
}

// One-shot tune: fades out from `endSeconds`, then a silent tail.
Rendered FinishTune(Stereo s, double endSeconds, double fadeSeconds) {
  const size_t fadeStart = static_cast<size_t>(endSeconds * kSampleRate);
  const size_t fadeLen = static_cast<size_t>(fadeSeconds * kSampleRate);
  for (size_t i = fadeStart; i < s.Frames(); ++i) {
    const double x = static_cast<double>(i - fadeStart) / static_cast<double>(fadeLen);
    const float w = x >= 1.0 ? 0.0f : static_cast<float>(0.5 + 0.5 * std::cos(kPi * x));
    s.left[i] *= w;
    s.right[i] *= w;
  }
  Glue(s);
  return Interleave(s, s.Frames());
}

SongSetup TuneSetup(double bpm, double endSeconds, double fadeSeconds) {
  SongSetup setup;
  setup.bpm = bpm;
  setup.frames = static_cast<size_t>((endSeconds + fadeSeconds + kSilentTailSeconds) * kSampleRate);
  setup.loop = false;
  setup.tailSeconds = 0.0;
  return setup;
}

}  // namespace

// ---- title theme: cheerful, C major, 24 bars ---------------------------------

Rendered RenderMenuMusic() {
  const int bars = 24;
  SongSetup setup = LoopSetup(45.5, bars * 4.0);
  setup.echoBeats = 0.75;
  Song song(setup);
  Checker check;

  const std::string melodyA =
      "G5 . E5 G5 C6 - B5 C6 | D6 - B5 - G5 - . D5 | E5 . C5 E5 A5 - G5 A5 | C6 - A5 - F5 - . . |"
      "G5 . E5 G5 C6 - D6 E6 | F6 - E6 - D6 - C6 A5 | B5 - D6 - G5 A5 B5 D6 | C6 - - - G5 - . .";
  const std::string melodyB =
      "C6 - A5 - C6 - D6 C6 | B5 - G5 - - - . . | B5 - G5 - B5 - C6 B5 | A5 - E5 - - - . . |"
      "F5 - A5 - D6 - F6 - | E6 - D6 - B5 - G5 - | C6 - E6 - G6 - E6 - | D6 - - - F5 - G5 -";
  const std::string melodyA2 =
      "G5 . E5 G5 C6 - B5 C6 | D6 - B5 - G5 - . D5 | E5 . C5 E5 A5 - B5 C6 | A5 - F5 - C6 - . . |"
      "D6 . C6 D6 F6 - E6 D6 | B5 - G5 - D6 - C6 B5 | C6 - - - - - . G5 | A5 B5 C6 D6 E6 - D6 -";
  const std::string chordsA = "C G/B Am F C F G C";
  const std::string chordsB = "F G Em Am Dm G C G7";
  const std::string chordsA2 = "C G/B Am F Dm G C G7";

  const Mixing lead{1.0f, -0.1f, 0.25f, 0.3f};
  check(song.Melody(SquareLead(), lead, melodyA, 0.0, 0.5), "title A");
  check(song.Melody(Flute(), {0.9f, -0.1f, 0.35f, 0.25f}, melodyB, 32.0, 0.5), "title B");
  check(song.Melody(SquareLead(), lead, melodyA2, 64.0, 0.5), "title A2");
  // bells double the last section an octave up
  check(song.Melody(Bell(), {0.6f, 0.4f, 0.3f, 0.2f}, melodyA2, 64.0, 0.5, 12), "title bells");

  const Mixing bass{1.0f, 0.0f, 0.0f, 0.0f};
  const std::string bounce = "R . 8 . 5 . 8 .";
  check(song.ChordPart(RoundBass(), bass, chordsA, 4.0, bounce, 0.5, 0.0, 36), "title bass A");
  check(song.ChordPart(RoundBass(), bass, chordsB, 4.0, "R - - 8 5 - 8 -", 0.5, 32.0, 36), "title bass B");
  check(song.ChordPart(RoundBass(), bass, chordsA2, 4.0, bounce, 0.5, 64.0, 36), "title bass A2");

  const Mixing comp{1.0f, 0.35f, 0.2f, 0.0f};
  check(song.ChordPart(Organ(), comp, chordsA, 4.0, ". c . c . c . c", 0.5, 0.0, 55), "title comp A");
  check(song.ChordPart(Organ(), comp, chordsA2, 4.0, ". c . c . c . c", 0.5, 64.0, 55), "title comp A2");
  check(song.ChordPart(Pad(), {1.0f, 0.0f, 0.4f, 0.0f}, chordsB, 4.0, "c - - - - - - -", 0.5, 32.0, 55),
        "title pad");
  check(song.ChordPart(Pluck(), {1.0f, 0.45f, 0.2f, 0.25f}, chordsB, 4.0, "R 3 5 8 10 8 5 3", 0.5, 32.0, 60),
        "title arp");

  const std::string beat = "k h s h k k s h ";
  const std::string fill = "k h s h s s s s ";
  const std::string section = "Ck h s h k k s h " + Repeat(beat, 6) + fill;
  const std::string beatB = "k h s o k h s h ";
  check(song.Drums(section, 0.0, 0.5), "title drums A");
  check(song.Drums("Ck h s o k h s h " + Repeat(beatB, 6) + fill, 32.0, 0.5), "title drums B");
  check(song.Drums(section, 64.0, 0.5), "title drums A2");
  return check.ok ? FinishLoop(song.Render()) : Rendered{};
}

// ---- stage theme A: driving, F major, 56 bars ---------------------------------
// A A2 B C, then a quiet break D, A again under bells and C with a new turn.

Rendered RenderIngame1() {
  const int bars = 56;
  SongSetup setup = LoopSetup(93.6, bars * 4.0);
  setup.echoBeats = 0.75;
  setup.echoFeedback = 0.3f;
  Song song(setup);
  Checker check;

  const std::string melA =
      "F5 - A5 - C6 - A5 C6 | E6 - D6 C6 - - G5 - | F5 - A5 - D6 - C6 D6 | F6 - D6 - Bb5 - . . |"
      "A5 - C6 - F6 - E6 F6 | G6 - E6 - C6 - G5 - | F6 - D6 - Bb5 - D6 - | C6 - - - . . C6 D6";
  const std::string melA2 =
      "F5 - A5 - C6 - A5 C6 | E6 - D6 C6 - - G5 - | F5 - A5 - D6 - C6 D6 | F6 - D6 - Bb5 - . . |"
      "G5 - Bb5 - D6 - F6 - | E6 - - C6 - - Bb5 - | A5 - - - C6 - A5 - | F5 - - - - - . .";
  const std::string melB =
      "D6 - - - Bb5 - G5 - | C6 - - - A5 - E5 - | D6 - - - F6 - D6 - | E6 - - - - - . . |"
      "D6 - - - Bb5 - G5 - | C6 - - - E6 - A5 - | D6 - F6 - Bb6 - A6 G6 | E6 - - - G6 - - -";
  const std::string melC =
      "A5 D6 F6 A6 - - F6 - | G6 - F6 - D6 - Bb5 - | C6 F6 A6 C7 - - A6 - | G6 - E6 - C6 - . . |"
      "A5 D6 F6 A6 - - F6 - | G6 - F6 - D6 - F6 - | E6 - G6 - C7 - Bb6 - | G6 - E6 - C6 - . .";
  const std::string melC2 =
      "A5 D6 F6 A6 - - F6 - | G6 - F6 - D6 - Bb5 - | C6 F6 A6 C7 - - A6 - | G6 - E6 - C6 - . . |"
      "D6 - F6 - A6 - F6 - | Bb6 - A6 - G6 - F6 - | E6 - C6 - G6 - Bb6 - | C7 - - - E6 - G6 -";
  const std::string melD =
      "D6 - - - C6 - Bb5 - | A5 - - - - - F5 - | Bb5 - - - A5 - G5 - | A5 - - - - - . . |"
      "D6 - - - C6 - Bb5 - | A5 - - - F6 - - - | E6 - - - D6 - C6 - | C6 - - - . . . .";
  const std::string chA = "F C Dm Bb F C Bb C";
  const std::string chA2 = "F C Dm Bb Gm C F F";
  const std::string chB = "Gm Am Bb C Gm Am Bb C";
  const std::string chC = "Dm Bb F C Dm Bb C C";
  const std::string chD = "Bb F/A Gm Dm Bb F Gm C";

  const Mixing lead{0.95f, -0.15f, 0.2f, 0.3f};
  const Mixing bells{0.5f, 0.4f, 0.3f, 0.2f};
  check(song.Melody(SquareLead(), lead, melA, 0.0, 0.5), "stage A melody");
  check(song.Melody(SquareLead(), lead, melA2, 32.0, 0.5), "stage A melody 2");
  check(song.Melody(Brass(), {0.9f, -0.1f, 0.3f, 0.15f}, melB, 64.0, 0.5, -12), "stage A melody B");
  check(song.Melody(SquareLead(), lead, melC, 96.0, 0.5, -12), "stage A melody C");
  check(song.Melody(Bell(), bells, melC, 96.0, 0.5), "stage A bells C");
  check(song.Melody(Flute(), {0.9f, -0.1f, 0.4f, 0.3f}, melD, 128.0, 0.5), "stage A melody D");
  check(song.Melody(SquareLead(), lead, melA, 160.0, 0.5), "stage A melody again");
  check(song.Melody(Bell(), bells, melA, 160.0, 0.5), "stage A bells again");
  check(song.Melody(Brass(), {0.85f, -0.1f, 0.3f, 0.15f}, melC2, 192.0, 0.5, -12), "stage A melody C2");
  check(song.Melody(Bell(), bells, melC2, 192.0, 0.5), "stage A bells C2");

  const Mixing bass{0.9f, 0.0f, 0.0f, 0.0f};
  const std::string drive = "R R 8 R R R 8 5";
  check(song.ChordPart(SawBass(), bass, chA + " " + chA2, 4.0, drive, 0.5, 0.0, 33), "stage A bass");
  check(song.ChordPart(SawBass(), bass, chB, 4.0, "R - R - R - 8 -", 0.5, 64.0, 33), "stage A bass B");
  check(song.ChordPart(SawBass(), bass, chC, 4.0, drive, 0.5, 96.0, 33), "stage A bass C");
  check(song.ChordPart(SawBass(), bass, chD, 4.0, "R - - - 5 - - -", 0.5, 128.0, 33), "stage A bass D");
  check(song.ChordPart(SawBass(), bass, chA + " " + chC, 4.0, drive, 0.5, 160.0, 33), "stage A bass again");

  const Mixing arp{1.0f, 0.4f, 0.15f, 0.2f};
  const std::string arpNotes = "R 5 8 5 10 5 8 5";
  check(song.ChordPart(Pluck(), arp, chA + " " + chA2, 4.0, arpNotes, 0.25, 0.0, 53), "stage A arp");
  check(song.ChordPart(Pluck(), arp, chC, 4.0, arpNotes, 0.25, 96.0, 53), "stage A arp C");
  check(song.ChordPart(Pluck(), {0.8f, 0.4f, 0.3f, 0.3f}, chD, 4.0, "R 5 8 10", 0.5, 128.0, 53), "stage A arp D");
  check(song.ChordPart(Pluck(), arp, chA + " " + chC, 4.0, arpNotes, 0.25, 160.0, 53), "stage A arp again");
  const Mixing pad{1.0f, -0.3f, 0.4f, 0.0f};
  check(song.ChordPart(Pad(), pad, chB + " " + chC + " " + chD, 4.0, "c - - - - - - -", 0.5, 64.0, 53), "stage A pad");
  check(song.ChordPart(Pad(), pad, chC, 4.0, "c - - - - - - -", 0.5, 192.0, 53), "stage A pad C2");
  check(song.ChordPart(Organ(), {1.0f, 0.3f, 0.15f, 0.0f}, chB, 4.0, ". c . c . c c c", 0.5, 64.0, 57),
        "stage A stabs");

  const std::string groove = "k h H h s h H k k h H h s h H h ";
  const std::string fill = "k h H h s h s s s s m m t t t t ";
  const std::string build = "k . h . s . h . k . h . s . h . ";
  const std::string buildFill = "k . h . s . h . s s s s s s s s ";
  const std::string open = "k h o h s h o k k h o h s h o h ";
  const std::string half = "k . x . h . x . s . x . h . x . ";
  const std::string sectionA = "Ck h H h s h H k k h H h s h H h " + Repeat(groove, 6) + fill;
  check(song.Drums(sectionA, 0.0, 0.25), "stage A drums");
  check(song.Drums(sectionA, 32.0, 0.25), "stage A drums 2");
  check(song.Drums("C" + Repeat(build, 7) + buildFill, 64.0, 0.25), "stage A drums B");
  check(song.Drums("C" + Repeat(open, 7) + fill, 96.0, 0.25), "stage A drums C");
  check(song.Drums("C" + Repeat(half, 7) + buildFill, 128.0, 0.25), "stage A drums D");
  check(song.Drums(sectionA, 160.0, 0.25), "stage A drums again");
  check(song.Drums("C" + Repeat(open, 7) + fill, 192.0, 0.25), "stage A drums C2");
  return check.ok ? FinishLoop(song.Render()) : Rendered{};
}

// ---- stage theme B: laid-back groove, D dorian, 40 bars ----------------------
// A B A2, a bridge C that leans toward F, and B again on the marimba.

Rendered RenderIngame2() {
  const int bars = 40;
  SongSetup setup = LoopSetup(92.5, bars * 4.0);
  setup.echoBeats = 1.5;
  setup.echoFeedback = 0.3f;
  setup.reverbRoom = 0.86f;
  Song song(setup);
  Checker check;

  const std::string melA =
      "D5 . F5 . A5 - G5 F5 | E5 - D5 - B4 - . . | D5 . F5 . A5 - C6 A5 | B5 - - - G5 - . . |"
      "A5 . C6 . D6 - C6 A5 | B5 - A5 G5 F5 - D5 - | F5 - A5 - D6 - C6 - | E5 - G5 - C6 - . .";
  const std::string melB =
      "D6 - - - C6 - A5 - | G5 - - - E5 - C5 - | E5 - G5 - C6 - B5 - | A5 - - - - - . . |"
      "F5 - A5 - D6 - F6 - | E6 - D6 - C6 - G5 - | A5 - C#6 - E6 - G6 - | E6 - C#6 - A5 - G5 -";
  const std::string melA2 =
      "D5 . F5 . A5 - G5 F5 | E5 - D5 - B4 - . . | D5 . F5 . A5 - C6 A5 | B5 - - - G5 - . . |"
      "D6 . C6 . A5 - F5 - | G5 - E5 - C5 - E5 G5 | A5 - - - E5 - G5 - | C#6 - - - E5 - . .";
  const std::string melC =
      "Bb5 - A5 - G5 - D5 - | E5 - G5 - Bb5 - C6 - | A5 - - - C6 - E6 - | D6 - - - A5 - - - |"
      "Bb5 - D6 - F6 - D6 - | E6 - C6 - Bb5 - G5 - | F5 - A5 - D6 - C6 - | C#6 - - - E5 - . .";
  const std::string chA = "Dm7 G7 Dm7 G7 Dm7 G7 Bbmaj7 C";
  const std::string chB = "Bbmaj7 C Am7 Dm7 Bbmaj7 C A7 A7";
  const std::string chA2 = "Dm7 G7 Dm7 G7 Bbmaj7 C Am7 A7";
  const std::string chC = "Gm7 C7 Fmaj7 Dm7 Gm7 C7 Bbmaj7 A7";
  const std::string chords = chA + " " + chB + " " + chA2 + " " + chC + " " + chB;

  const Mixing marimba{1.0f, -0.2f, 0.3f, 0.25f};
  check(song.Melody(Marimba(), marimba, melA, 0.0, 0.5), "groove A");
  check(song.Melody(Flute(), {0.9f, -0.15f, 0.4f, 0.3f}, melB, 32.0, 0.5), "groove B");
  check(song.Melody(Marimba(), marimba, melA2, 64.0, 0.5), "groove A2");
  check(song.Melody(Flute(), {0.45f, 0.3f, 0.4f, 0.2f}, melA2, 64.0, 0.5, -12), "groove A2 flute");
  check(song.Melody(Flute(), {0.85f, -0.15f, 0.4f, 0.3f}, melC, 96.0, 0.5), "groove C");
  check(song.Melody(Bell(), {0.45f, 0.4f, 0.35f, 0.25f}, melC, 96.0, 0.5), "groove C bells");
  check(song.Melody(Marimba(), marimba, melB, 128.0, 0.5, -12), "groove B again");
  check(song.Melody(Flute(), {0.5f, 0.3f, 0.4f, 0.2f}, melB, 128.0, 0.5), "groove B again flute");

  const std::string funk = "R . . R . . 8 . R . 5 . 7 . 8 .";
  const Mixing bass{1.0f, 0.0f, 0.0f, 0.0f};
  check(song.ChordPart(RoundBass(), bass, chords, 4.0, funk, 0.25, 0.0, 33), "groove bass");

  const Mixing keys{1.0f, 0.3f, 0.3f, 0.1f};
  check(song.ChordPart(Keys(), keys, chords, 4.0, ". . c - . c - - . . . . c - . .", 0.25, 0.0, 57), "groove keys");
  const Mixing pad{0.8f, -0.35f, 0.5f, 0.0f};
  check(song.ChordPart(Pad(), pad, chB, 4.0, "c - - - - - - -", 0.5, 32.0, 53), "groove pad");
  check(song.ChordPart(Pad(), pad, chC + " " + chB, 4.0, "c - - - - - - -", 0.5, 96.0, 53), "groove pad C");

  const std::string groove = "kx x x x rx x x kx x kx x x rx x x x ";
  const std::string grooveB = "kx x ox x sx x x kx x kx x x sx x gx x ";
  const std::string grooveC = "kx x x x sx x ox x kx x x kx sx x ox x ";
  const std::string turn = "kx x x x rx x x kx x kx x x rx rx T m ";
  check(song.Drums(Repeat(groove, 7) + turn, 0.0, 0.25), "groove drums A");
  check(song.Drums("C" + Repeat(grooveB, 7) + turn, 32.0, 0.25), "groove drums B");
  check(song.Drums(Repeat(groove, 7) + turn, 64.0, 0.25), "groove drums A2");
  check(song.Drums("C" + Repeat(grooveC, 7) + turn, 96.0, 0.25), "groove drums C");
  check(song.Drums("C" + Repeat(grooveB, 7) + turn, 128.0, 0.25), "groove drums B again");
  return check.ok ? FinishLoop(song.Render()) : Rendered{};
}

// ---- stage theme C: bouncy jig in 6/8, G major, 72 bars ----------------------
// One beat is a dotted quarter: a bar is two beats of three eighths. Eight-bar
// parts: A A B B, a C part around C and A minor played twice, then A B A.

Rendered RenderIngame3() {
  const int bars = 72;
  SongSetup setup = LoopSetup(91.0, bars * 2.0);
  setup.echoBeats = 1.0 / 3.0 * 2.0;
  setup.echoFeedback = 0.25f;
  setup.reverbRoom = 0.78f;
  Song song(setup);
  Checker check;
  const double e = 1.0 / 3.0;  // an eighth note

  const std::string melA =
      "G5 A5 B5 D6 - B5 | C6 - E6 D6 - C6 | B5 - G5 D5 - G5 | A5 - F#5 D5 - - |"
      "G5 A5 B5 D6 - G6 | E6 - C6 G5 - E6 | D6 C6 B5 A5 - F#5 | G5 - - G5 - .";
  const std::string melB =
      "B5 - E6 E6 - F#6 | D6 - A5 F#5 - A5 | E6 - G6 E6 - C6 | D6 - - A5 - - |"
      "B5 - E6 E6 - F#6 | G6 - E6 C6 - E6 | D6 - C6 B5 - A5 | G5 - - - - .";
  const std::string melC =
      "E6 - D6 C6 - G5 | B5 - D6 G6 - D6 | C6 - E6 A6 - E6 | G6 - E6 B5 - - |"
      "C6 D6 E6 G6 - E6 | D6 - B5 G5 - B5 | A5 B5 C6 E6 - C6 | D6 - - D6 - .";
  const std::string chA = "G C G D G C D G";
  const std::string chB = "Em D C D Em C D G";
  const std::string chC = "C G Am Em C G Am D";

  const Mixing lead{1.0f, -0.15f, 0.2f, 0.15f};
  const Mixing square{0.8f, -0.1f, 0.2f, 0.2f};
  const Mixing bells{0.5f, 0.4f, 0.3f, 0.2f};
  check(song.Melody(Marimba(), lead, melA, 0.0, e), "jig A");
  check(song.Melody(SquareLead(), square, melA, 16.0, e), "jig A again");
  check(song.Melody(Marimba(), {0.5f, 0.3f, 0.2f, 0.1f}, melA, 16.0, e, -12), "jig A under");
  check(song.Melody(Flute(), {0.9f, -0.1f, 0.3f, 0.2f}, melB, 32.0, e), "jig B");
  check(song.Melody(SquareLead(), square, melB, 48.0, e), "jig B again");
  check(song.Melody(Bell(), bells, melB, 48.0, e), "jig B bells");
  check(song.Melody(Flute(), {0.9f, -0.1f, 0.35f, 0.2f}, melC, 64.0, e), "jig C");
  check(song.Melody(SquareLead(), square, melC, 80.0, e), "jig C again");
  check(song.Melody(Bell(), bells, melC, 80.0, e, -12), "jig C bells");
  check(song.Melody(Marimba(), lead, melA, 96.0, e), "jig A third");
  check(song.Melody(Bell(), bells, melA, 96.0, e), "jig A third bells");
  check(song.Melody(SquareLead(), square, melB, 112.0, e), "jig B third");
  check(song.Melody(Marimba(), {0.5f, 0.3f, 0.2f, 0.1f}, melB, 112.0, e, -12), "jig B under");
  check(song.Melody(Marimba(), lead, melA, 128.0, e), "jig A last");
  check(song.Melody(Flute(), {0.5f, 0.35f, 0.3f, 0.1f}, melA, 128.0, e, -12), "jig A last flute");

  const std::string chords =
      chA + " " + chA + " " + chB + " " + chB + " " + chC + " " + chC + " " + chA + " " + chB + " " + chA;
  check(song.ChordPart(RoundBass(), {1.0f, 0.0f, 0.0f, 0.0f}, chords, 2.0, "R . . 5 . .", e, 0.0, 36), "jig bass");
  check(song.ChordPart(Guitar(), {1.0f, 0.35f, 0.2f, 0.0f}, chords, 2.0, ". c c . c c", e, 0.0, 55), "jig chords");
  const Mixing pad{0.7f, -0.3f, 0.4f, 0.0f};
  check(song.ChordPart(Pad(), pad, chB + " " + chB + " " + chC + " " + chC, 2.0, "c - - - - -", e, 32.0, 55),
        "jig pad");
  check(song.ChordPart(Pad(), pad, chB, 2.0, "c - - - - -", e, 112.0, 55), "jig pad B third");

  const std::string bar = "k h x s h x ";
  const std::string barC = "k x h s x o ";
  const std::string barEnd = "k h x s T t ";
  const std::string section = Repeat(bar, 7) + barEnd;
  const std::string sectionC = Repeat(barC, 7) + barEnd;
  check(song.Drums("C" + section + section + "C" + section + section + "C" + sectionC + sectionC + "C" + section +
                       "C" + section + section,
                   0.0, e),
        "jig drums");
  return check.ok ? FinishLoop(song.Render()) : Rendered{};
}

// ---- victory fanfare ----------------------------------------------------------

Rendered RenderLevelFinish() {
  const double bpm = 150.0;
  const double spb = 60.0 / bpm;
  const double endSeconds = 6.9 * spb;  // last chord rings to here, then fades
  Song song(TuneSetup(bpm, endSeconds, kFanfareFadeSeconds));
  Checker check;
  const double t = 1.0 / 3.0;

  const Mixing brass{1.0f, -0.1f, 0.3f, 0.1f};
  struct N {
    double beat;
    const char* note;
    double beats;
  };
  const N line[] = {{0.0, "G4", t},      {t, "G4", t},   {2 * t, "G4", t}, {1.0, "C5", 0.5},
                    {1.5, "E5", 0.5},    {2.0, "G5", 0.9}, {3.0, "E5", 0.5}, {3.5, "G5", 0.5},
                    {4.0, "C6", 2.6}};
  for (const N& n : line) song.AddNote(Brass(), brass, n.beat, ParseNoteName(n.note), n.beats, 1.0f);
  song.AddNote(SquareLead(), {0.5f, 0.2f, 0.3f, 0.1f}, 4.0, ParseNoteName("C6"), 2.6, 1.0f);
  // harmony: a G chord on the run-up, a big C major chord at the top
  for (const char* n : {"B3", "D4", "G4"}) song.AddNote(Brass(), {0.6f, 0.3f, 0.3f, 0.0f}, 2.0, ParseNoteName(n), 1.9, 0.8f);
  for (const char* n : {"C4", "E4", "G4", "C5", "E5"})
    song.AddNote(Brass(), {0.6f, 0.3f, 0.3f, 0.0f}, 4.0, ParseNoteName(n), 2.6, 0.85f);
  song.AddNote(SawBass(), {1.0f, 0.0f, 0.0f, 0.0f}, 1.0, ParseNoteName("C3"), 0.9, 1.0f);
  song.AddNote(SawBass(), {1.0f, 0.0f, 0.0f, 0.0f}, 2.0, ParseNoteName("G2"), 1.9, 1.0f);
  song.AddNote(SawBass(), {1.0f, 0.0f, 0.0f, 0.0f}, 4.0, ParseNoteName("C2"), 2.6, 1.0f);
  check(song.Drums("k s s", 0.0, t, 0.7f), "fanfare pickup");
  check(song.Drums("kt . . . m . . . T g g g g g g g s g s g s s s s", 1.0, 0.125, 0.8f), "fanfare roll");
  check(song.Drums("Ckt", 4.0, 1.0), "fanfare hit");
  return check.ok ? FinishTune(song.Render(), endSeconds, kFanfareFadeSeconds) : Rendered{};
}

// ---- game over -----------------------------------------------------------------

Rendered RenderGameOver() {
  const double bpm = 92.0;
  const double spb = 60.0 / bpm;
  const double endSeconds = 7.0 * spb;
  SongSetup setup = TuneSetup(bpm, endSeconds, kLamentFadeSeconds);
  setup.reverbRoom = 0.86f;
  Song song(setup);
  Checker check;

  // a falling lament: each phrase steps down through its chord
  Patch sad = SquareLead();
  sad.pulse = 0.5f;
  sad.cutoff = 1400.0;
  sad.cutoffEnv = 800.0;
  sad.env = {0.02f, 0.3f, 0.6f, 0.25f};
  sad.vibratoDepth = 0.18;
  const std::string chords = "Am Dm E Am";
  check(song.Melody(sad, {1.0f, -0.1f, 0.45f, 0.15f}, "E5 D5 C5 E5 | F5 E5 D5 F5 | E5 D5 B4 G#4 | A4 - - -", 0.0,
                    0.5),
        "game over melody");
  check(song.ChordPart(Pad(), {1.0f, 0.2f, 0.5f, 0.0f}, chords, 2.0, "c - - -", 0.5, 0.0, 52), "game over pad");
  check(song.ChordPart(RoundBass(), {1.0f, 0.0f, 0.0f, 0.0f}, chords, 2.0, "R - 5 -", 0.5, 0.0, 33),
        "game over bass");
  song.AddNote(Bell(), {0.7f, 0.3f, 0.5f, 0.0f}, 6.0, ParseNoteName("A5"), 1.0, 0.8f);
  check(song.Drums("t . . . t . . . t . . . t", 0.0, 0.5, 0.6f), "game over drum");
  return check.ok ? FinishTune(song.Render(), endSeconds, kLamentFadeSeconds) : Rendered{};
}

}  // namespace soundgen
