// The sequencer: note and chord names, patterns, timing of rendered notes,
// folding of a looped song's tail, and refusal of malformed patterns.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "instrument.h"
#include "signal_measure.h"
#include "song.h"

using namespace soundgen;

namespace {

double Energy(const std::vector<float>& s, double from, double to) {
  double sum = 0.0;
  const size_t a = static_cast<size_t>(from * kSampleRate), b = static_cast<size_t>(to * kSampleRate);
  for (size_t i = a; i < b && i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
  return sum;
}

Patch PureTone() {
  Patch p;
  p.wave = Wave::Sine;
  p.env = {0.002f, 0.0f, 1.0f, 0.01f};
  p.gain = 0.5f;
  return p;
}

SongSetup MakeSetup(double seconds, bool loop) {
  SongSetup s;
  s.bpm = 120.0;  // a beat is half a second
  s.frames = static_cast<size_t>(seconds * kSampleRate);
  s.loop = loop;
  s.tailSeconds = 1.0;
  s.reverbLevel = 0.0f;
  s.echoLevel = 0.0f;
  return s;
}

}  // namespace

TEST(Song, NoteNames) {
  const std::pair<const char*, int> good[] = {{"C4", 60}, {"A4", 69}, {"F#5", 78}, {"Bb3", 58},
                                              {"B#4", 72}, {"Cb4", 59}, {"C0", 12}};
  for (const auto& g : good) EXPECT_EQ(ParseNoteName(g.first), g.second) << g.first;
  for (const char* bad : {"", "C", "C#", "H4", "c4", "C10", "C-1", "Cx4", "#4", "C4 ", "Bb"})
    EXPECT_EQ(ParseNoteName(bad), -1) << bad;
}

TEST(Song, ChordSymbols) {
  Chord c;
  ASSERT_TRUE(ParseChord("Am", &c));
  EXPECT_EQ(c.root, 9);
  EXPECT_EQ(c.bass, 9);
  EXPECT_EQ(c.intervals, (std::vector<int>{0, 3, 7}));
  ASSERT_TRUE(ParseChord("G7", &c));
  EXPECT_EQ(c.intervals, (std::vector<int>{0, 4, 7, 10}));
  ASSERT_TRUE(ParseChord("Bbmaj7", &c));
  EXPECT_EQ(c.root, 10);
  EXPECT_EQ(c.intervals, (std::vector<int>{0, 4, 7, 11}));
  ASSERT_TRUE(ParseChord("C/E", &c));
  EXPECT_EQ(c.root, 0);
  EXPECT_EQ(c.bass, 4);
  for (const char* bad : {"", "Q", "Cxyz", "C/", "C/H", "C/E7", "m", "/C"}) EXPECT_FALSE(ParseChord(bad, &c)) << bad;
  EXPECT_EQ(Tokens(" a|b  c | d|"), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(Song, MelodyNotesSoundAtTheirPlaceAndPitch) {
  Song song(MakeSetup(2.0, false));
  // A4 for two steps (0.5 s), a rest, then E5 for one step
  ASSERT_TRUE(song.Melody(PureTone(), Mixing{}, "A4 - . E5", 0.0, 0.5));
  const Stereo out = song.Render();
  ASSERT_EQ(out.Frames(), static_cast<size_t>(2 * kSampleRate));
  EXPECT_NEAR(CrossingsPerSecond(out.left, 0.05, 0.45), 440.0, 6.0);
  EXPECT_NEAR(CrossingsPerSecond(out.left, 0.8, 0.95), NoteHz(76), 15.0);
  EXPECT_GT(Energy(out.left, 0.1, 0.4), 100.0);
  EXPECT_LT(Energy(out.left, 0.55, 0.7), 1e-6);  // the rest is silent
  EXPECT_LT(Energy(out.left, 1.1, 2.0), 1e-6);   // nothing after the last note
  // centred: both channels carry the same signal
  EXPECT_NEAR(Energy(out.left, 0.0, 2.0), Energy(out.right, 0.0, 2.0), 1e-3);
}

TEST(Song, ALoopedSongCarriesItsTailIntoTheStart) {
  Patch ring = PureTone();
  ring.env.release = 0.4f;
  Song looped(MakeSetup(1.0, true)), once(MakeSetup(1.0, false));
  for (Song* s : {&looped, &once}) ASSERT_TRUE(s->Melody(ring, Mixing{}, "C5", 1.6, 0.2));  // 0.8 .. 0.9 s
  const Stereo a = looped.Render(), b = once.Render();
  ASSERT_EQ(a.Frames(), static_cast<size_t>(kSampleRate));
  EXPECT_GT(Energy(a.left, 0.0, 0.2), 1.0);  // the release rings on at the loop start
  EXPECT_LT(Energy(b.left, 0.0, 0.2), 1e-9);
  EXPECT_NEAR(Energy(a.left, 0.8, 0.9), Energy(b.left, 0.8, 0.9), 1e-3);
}

TEST(Song, ChordPartsFollowTheChordsAndSlashBass) {
  Song song(MakeSetup(4.0, false));
  // one chord per beat; the root of C at base 48 is C3, the slash bass E3
  ASSERT_TRUE(song.ChordPart(PureTone(), Mixing{}, "C C/E", 2.0, "R - - -", 0.5, 0.0, 48));
  const Stereo out = song.Render();
  EXPECT_NEAR(CrossingsPerSecond(out.left, 0.1, 0.9), NoteHz(48), 3.0);
  EXPECT_NEAR(CrossingsPerSecond(out.left, 1.1, 1.9), NoteHz(52), 3.0);
  EXPECT_LT(Energy(out.left, 2.1, 4.0), 1e-6);  // the pattern stops with the chords
}

TEST(Song, MalformedPatternsAreRefused) {
  Song song(MakeSetup(1.0, false));
  EXPECT_FALSE(song.Melody(PureTone(), Mixing{}, "C4 X9 E4", 0.0, 0.5));
  EXPECT_FALSE(song.ChordPart(PureTone(), Mixing{}, "C Qm", 1.0, "R", 0.5, 0.0, 48));
  EXPECT_FALSE(song.ChordPart(PureTone(), Mixing{}, "- C", 1.0, "R", 0.5, 0.0, 48));
  EXPECT_FALSE(song.ChordPart(PureTone(), Mixing{}, "C", 1.0, "R 9", 0.5, 0.0, 48));
  EXPECT_FALSE(song.ChordPart(PureTone(), Mixing{}, "C", 1.0, "", 0.5, 0.0, 48));
  EXPECT_FALSE(song.ChordPart(PureTone(), Mixing{}, "C", 0.0, "R", 0.5, 0.0, 48));
  EXPECT_FALSE(song.Drums("k s z", 0.0, 0.5));
  // notes beyond the end of the buffer (or before its start) are dropped safely
  song.AddNote(PureTone(), Mixing{}, 1000.0, 60, 1.0, 1.0f);
  song.AddNote(PureTone(), Mixing{}, -3.0, 60, 1.0, 1.0f);
  EXPECT_EQ(song.Render().Frames(), static_cast<size_t>(kSampleRate));
}

TEST(Song, DrumsAndNotesAreDeterministic) {
  for (Drum d : {Drum::Kick, Drum::Snare, Drum::ClosedHat, Drum::OpenHat, Drum::Clap, Drum::Crash, Drum::LowTom,
                 Drum::MidTom, Drum::HighTom, Drum::Rim, Drum::Shaker}) {
    const std::vector<float> a = RenderDrum(d, 1.0f, 5), b = RenderDrum(d, 1.0f, 5);
    EXPECT_EQ(a, b);
    ASSERT_FALSE(a.empty());
    EXPECT_GT(Energy(a, 0.0, 0.05), 0.01);
    EXPECT_LT(std::fabs(a.back()), 0.05f);  // decayed by its end
  }
  Patch p;
  p.wave = Wave::Noise;
  EXPECT_EQ(RenderNote(p, 60, 0.2, 1.0f, 7), RenderNote(p, 60, 0.2, 1.0f, 7));
  EXPECT_FALSE(RenderNote(p, 60, -1.0, 1.0f, 7).empty());  // a negative gate just gives the release
}
