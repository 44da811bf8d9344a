#include "song.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

namespace soundgen {

namespace {

constexpr double kEchoDamping = 0.35;
constexpr double kReverbSendHighPassHz = 220.0;
constexpr float kEchoIntoReverb = 0.3f;
constexpr float kGhostSnare = 0.3f;
constexpr float kSoftHat = 0.6f;
constexpr uint32_t kSeedStep = 0x9E3779B9u;

// Pitch class of a note letter with an optional accidental at `s[*pos]`.
int PitchClass(const std::string& s, size_t* pos) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (*pos >= s.size()) return -1;
  const char c = s[*pos];
  if (c < 'A' || c > 'G') return -1;
  int pc = kLetters[c - 'A'];
  ++*pos;
  if (*pos < s.size() && (s[*pos] == '#' || s[*pos] == 'b')) {
    pc += s[*pos] == '#' ? 1 : -1;
    ++*pos;
  }
  return (pc + 12) % 12;
}

struct DrumHit {
  Drum drum;
  float gain;
  float pan;
};

bool DrumFor(char c, DrumHit* hit) {
  switch (c) {
    case 'k': *hit = {Drum::Kick, 1.0f, 0.0f}; return true;
    case 's': *hit = {Drum::Snare, 0.7f, 0.05f}; return true;
    case 'g': *hit = {Drum::Snare, 0.7f * kGhostSnare, 0.05f}; return true;
    case 'h': *hit = {Drum::ClosedHat, 0.45f * kSoftHat, 0.3f}; return true;
    case 'H': *hit = {Drum::ClosedHat, 0.45f, 0.3f}; return true;
    case 'o': *hit = {Drum::OpenHat, 0.4f, 0.3f}; return true;
    case 'c': *hit = {Drum::Clap, 0.55f, -0.05f}; return true;
    case 'C': *hit = {Drum::Crash, 0.45f, -0.25f}; return true;
    case 't': *hit = {Drum::LowTom, 0.6f, -0.4f}; return true;
    case 'm': *hit = {Drum::MidTom, 0.6f, 0.0f}; return true;
    case 'T': *hit = {Drum::HighTom, 0.6f, 0.4f}; return true;
    case 'r': *hit = {Drum::Rim, 0.4f, -0.15f}; return true;
    case 'x': *hit = {Drum::Shaker, 0.35f, -0.35f}; return true;
    default: return false;
  }
}

// Pending note(s) of a pattern, flushed when the next token starts.
struct Pending {
  std::vector<double> notes;
  double startBeat = 0.0;
  double beats = 0.0;
};

}  // namespace

int ParseNoteName(const std::string& name) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name.size() > 3 || name[0] < 'A' || name[0] > 'G') return -1;
  int pitch = kLetters[name[0] - 'A'];
  size_t pos = 1;
  if (name[pos] == '#' || name[pos] == 'b') pitch += name[pos++] == '#' ? 1 : -1;
  if (pos + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[pos]))) return -1;
  // B#4 and Cb4 cross into the neighbouring octave, as they should.
  const int midi = 12 * (name[pos] - '0' + 1) + pitch;
  return (midi >= 0 && midi <= 127) ? midi : -1;
}

bool ParseChord(const std::string& symbol, Chord* chord) {
  static const struct {
    const char* name;
    std::vector<int> intervals;
  } kQualities[] = {
      {"", {0, 4, 7}},          {"m", {0, 3, 7}},         {"7", {0, 4, 7, 10}},  {"maj7", {0, 4, 7, 11}},
      {"m7", {0, 3, 7, 10}},    {"sus4", {0, 5, 7}},      {"sus2", {0, 2, 7}},   {"dim", {0, 3, 6}},
      {"aug", {0, 4, 8}},       {"6", {0, 4, 7, 9}},      {"m6", {0, 3, 7, 9}},  {"add9", {0, 4, 7, 14}},
      {"9", {0, 4, 7, 10, 14}}, {"7sus4", {0, 5, 7, 10}},
  };
  size_t pos = 0;
  const int root = PitchClass(symbol, &pos);
  if (root < 0) return false;
  const size_t slash = symbol.find('/', pos);
  const std::string quality = symbol.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
  int bass = root;
  if (slash != std::string::npos) {
    size_t bpos = slash + 1;
    bass = PitchClass(symbol, &bpos);
    if (bass < 0 || bpos != symbol.size()) return false;
  }
  for (const auto& q : kQualities) {
    if (quality == q.name) {
      chord->root = root;
      chord->bass = bass;
      chord->intervals = q.intervals;
      return true;
    }
  }
  return false;
}

std::vector<std::string> Tokens(const std::string& pattern) {
  std::string spaced = pattern;
  std::replace(spaced.begin(), spaced.end(), '|', ' ');  // bar markers separate like spaces
  std::vector<std::string> out;
  std::istringstream in(spaced);
  std::string token;
  while (in >> token) out.push_back(token);
  return out;
}

Song::Song(const SongSetup& setup)
    : setup_(setup),
      dry_(setup.frames + static_cast<size_t>(std::max(0.0, setup.tailSeconds) * kSampleRate)),
      reverbSend_(dry_.Frames(), 0.0f),
      echoSend_(dry_.Frames(), 0.0f) {}

void Song::Place(const std::vector<float>& mono, const Mixing& mix, double frame) {
  if (frame < 0.0) return;
  const size_t at = static_cast<size_t>(std::lround(frame));
  const size_t total = dry_.Frames();
  if (at >= total) return;
  const size_t n = std::min(mono.size(), total - at);
  float gl = 0.0f, gr = 0.0f;
  PanGains(mix.pan, &gl, &gr);
  gl *= mix.gain;
  gr *= mix.gain;
  const float rv = mix.gain * mix.reverb, ec = mix.gain * mix.echo;
  for (size_t i = 0; i < n; ++i) {
    const float s = mono[i];
    dry_.left[at + i] += s * gl;
    dry_.right[at + i] += s * gr;
    reverbSend_[at + i] += s * rv;
    echoSend_[at + i] += s * ec;
  }
}

void Song::AddNote(const Patch& patch, const Mixing& mix, double beat, double midiNote, double beats,
                   float velocity) {
  seed_ += kSeedStep;
  Place(RenderNote(patch, midiNote, beats * SecondsPerBeat(), velocity, seed_), mix, BeatToFrame(beat));
}

void Song::AddDrum(Drum drum, const Mixing& mix, double beat, float velocity) {
  seed_ += kSeedStep;
  Place(RenderDrum(drum, velocity, seed_), mix, BeatToFrame(beat));
}

bool Song::Melody(const Patch& patch, const Mixing& mix, const std::string& pattern, double startBeat,
                  double stepBeats, int transpose, float velocity) {
  Pending pending;
  auto flush = [&]() {
    for (double n : pending.notes) AddNote(patch, mix, pending.startBeat, n, pending.beats, velocity);
    pending.notes.clear();
  };
  double beat = startBeat;
  for (const std::string& t : Tokens(pattern)) {
    if (t == "-") {
      pending.beats += stepBeats;
    } else if (t == ".") {
      flush();
    } else {
      const int midi = ParseNoteName(t);
      if (midi < 0) return false;
      flush();
      pending.notes = {static_cast<double>(midi + transpose)};
      pending.startBeat = beat;
      pending.beats = stepBeats;
    }
    beat += stepBeats;
  }
  flush();
  return true;
}

bool Song::ChordPart(const Patch& patch, const Mixing& mix, const std::string& chords, double chordBeats,
                     const std::string& voicing, double stepBeats, double startBeat, int base, float velocity) {
  if (chordBeats <= 0.0 || stepBeats <= 0.0) return false;
  std::vector<Chord> timeline;  // one entry per chord slot
  for (const std::string& t : Tokens(chords)) {
    if (t == "-") {
      if (timeline.empty()) return false;
      timeline.push_back(timeline.back());
      continue;
    }
    Chord c;
    if (!ParseChord(t, &c)) return false;
    timeline.push_back(c);
  }
  const std::vector<std::string> steps = Tokens(voicing);
  if (timeline.empty() || steps.empty()) return false;

  const double totalBeats = static_cast<double>(timeline.size()) * chordBeats;
  const size_t count = static_cast<size_t>(std::floor(totalBeats / stepBeats + 1e-9));
  auto lowest = [base](int pc) { return base + ((pc - base) % 12 + 12) % 12; };
  Pending pending;
  auto flush = [&]() {
    for (double n : pending.notes) AddNote(patch, mix, pending.startBeat, n, pending.beats, velocity);
    pending.notes.clear();
  };
  for (size_t i = 0; i < count; ++i) {
    const std::string& t = steps[i % steps.size()];
    const double beat = startBeat + static_cast<double>(i) * stepBeats;
    size_t slot = static_cast<size_t>(std::floor(static_cast<double>(i) * stepBeats / chordBeats + 1e-9));
    slot = std::min(slot, timeline.size() - 1);
    const Chord& c = timeline[slot];
    const int root = lowest(c.root);
    const auto& iv = c.intervals;
    std::vector<double> notes;
    if (t == "-") {
      pending.beats += stepBeats;
      continue;
    }
    if (t == ".") {
      flush();
      continue;
    }
    if (t == "R") {
      notes = {static_cast<double>(lowest(c.bass))};
    } else if (t == "3") {
      notes = {static_cast<double>(root + iv[1])};
    } else if (t == "5") {
      notes = {static_cast<double>(root + iv[2])};
    } else if (t == "7") {
      notes = {static_cast<double>(root + (iv.size() > 3 ? iv[3] : 12))};
    } else if (t == "8") {
      notes = {static_cast<double>(root + 12)};
    } else if (t == "10") {
      notes = {static_cast<double>(root + 12 + iv[1])};
    } else if (t == "12") {
      notes = {static_cast<double>(root + 12 + iv[2])};
    } else if (t == "l5") {
      notes = {static_cast<double>(root + iv[2] - 12)};
    } else if (t == "c") {
      for (int v : iv) notes.push_back(static_cast<double>(lowest((c.root + v) % 12)));
    } else {
      return false;
    }
    flush();
    pending.notes = notes;
    pending.startBeat = beat;
    pending.beats = stepBeats;
  }
  flush();
  return true;
}

bool Song::Drums(const std::string& pattern, double startBeat, double stepBeats, float velocity, float reverb) {
  double beat = startBeat;
  for (const std::string& t : Tokens(pattern)) {
    if (t != "." && t != "-") {
      for (char c : t) {
        DrumHit hit;
        if (!DrumFor(c, &hit)) return false;
        Mixing mix;
        mix.gain = hit.gain;
        mix.pan = hit.pan;
        mix.reverb = hit.drum == Drum::Kick ? 0.0f : reverb;
        AddDrum(hit.drum, mix, beat, velocity);
      }
    }
    beat += stepBeats;
  }
  return true;
}

Stereo Song::Render() {
  const size_t total = dry_.Frames();
  const double echoSeconds = setup_.echoBeats * SecondsPerBeat();
  Reverb revL(setup_.reverbRoom, setup_.reverbDamp, 0), revR(setup_.reverbRoom, setup_.reverbDamp, 1);
  Echo echoL(echoSeconds, setup_.echoFeedback, kEchoDamping);
  Echo echoR(echoSeconds * 2.0 / 3.0, setup_.echoFeedback, kEchoDamping);
  OnePole sendFilter;
  sendFilter.Set(kReverbSendHighPassHz);
  Stereo out(total);
  for (size_t i = 0; i < total; ++i) {
    const float el = echoL.Tick(echoSend_[i]) * setup_.echoLevel;
    const float er = echoR.Tick(echoSend_[i]) * setup_.echoLevel;
    const float send = sendFilter.HighPass(reverbSend_[i] + kEchoIntoReverb * (el + er));
    out.left[i] = dry_.left[i] + el + revL.Tick(send) * setup_.reverbLevel;
    out.right[i] = dry_.right[i] + er + revR.Tick(send) * setup_.reverbLevel;
  }
  const size_t frames = setup_.frames;
  if (setup_.loop && frames > 0) {
    for (size_t i = frames; i < total; ++i) {
      out.left[(i - frames) % frames] += out.left[i];
      out.right[(i - frames) % frames] += out.right[i];
    }
  }
  out.left.resize(frames);
  out.right.resize(frames);
  return out;
}

}  // namespace soundgen
