// Streamed music: the two-half buffer, its thread, looping and end of stream.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cmath>
#include <cstring>

#include "engine/host/host_audio.h"
#include "engine/sound/KSound.h"
#include "engine/sound/KSoundDevice.h"
#include "unit/sound/sound_test_util.h"

using namespace soundtest;

namespace {

constexpr uint32_t kHalfFrames = kStreamHalfBytes / 4;  // stereo 16-bit
constexpr uint32_t kBlock = 1024;

// What the decoder itself makes of the file, for comparison with the mix.
std::vector<int16_t> Decode(const std::vector<uint8_t>& ogg) {
  std::vector<int16_t> out;
  OggVorbis_File vf;
  struct Src { const std::vector<uint8_t>* d; size_t pos; } src{&ogg, 0};
  ov_callbacks cb{
      [](void* b, size_t s, size_t n, void* p) -> size_t {
        Src* q = static_cast<Src*>(p);
        size_t k = std::min(s * n, q->d->size() - q->pos);
        std::memcpy(b, q->d->data() + q->pos, k);
        q->pos += k;
        return k / s;
      },
      nullptr, nullptr, nullptr};
  if (ov_open_callbacks(&src, &vf, nullptr, 0, cb) != 0) return out;
  char buf[4096];
  int bs = 0;
  long r;
  while ((r = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &bs)) > 0) {
    for (long i = 0; i + 1 < r; i += 2) out.push_back(static_cast<int16_t>((buf[i] & 0xFF) | ((buf[i + 1] & 0xFF) << 8)));
  }
  ov_clear(&vf);
  return out;
}

class Stream : public ::testing::Test {
 protected:
  void SetUp() override {
    HostAudioSetManualMix(true);
    ogg_ = EncodeOgg(2, 44100, Tone(2, 44100, 44100));  // one second
    ASSERT_FALSE(ogg_.empty());
    path_ = TempPath("music.ogg");
    ASSERT_TRUE(WriteFile(path_, ogg_));
    pcm_ = Decode(ogg_);
    ASSERT_EQ(pcm_.size(), 44100u * 2);
  }
  void TearDown() override {
    std::remove(path_.c_str());
    HostAudioSetManualMix(false);
  }

  // Mixes block by block; after a block that passes a notification, waits
  // until the thread has filled the half it was asked for.
  std::vector<int16_t> Mix(KSound& s, uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    for (uint32_t done = 0; done < frames; done += kBlock) {
      HostVoice* v = s.GetVoice(0);
      bool playing = HostGetVoiceStatus(v) & kVoicePlaying;
      uint32_t at = HostGetVoicePosition(v) / 4;
      uint32_t before = s.GetHalvesFilled();
      HostAudioMix(out.data() + done * 2, std::min(kBlock, frames - done));
      if (playing && at % kHalfFrames == 0) {
        EXPECT_TRUE(WaitFor([&] { return s.GetHalvesFilled() > before; })) << "no fill at " << done;
      }
    }
    return out;
  }

  std::vector<uint8_t> ogg_;
  std::vector<int16_t> pcm_;
  std::string path_;
};

double MusicGain() { return std::pow(10.0, KSoundDevice::volumeTable[99] / 2000.0); }

void ExpectSilent(const std::vector<int16_t>& out, size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) ASSERT_EQ(out[i], 0) << "sample " << i;
}

void ExpectMusic(const std::vector<int16_t>& out, size_t from, const std::vector<int16_t>& pcm,
                 size_t pcmFrom, size_t count) {
  double g = MusicGain();
  for (size_t i = 0; i < count; ++i) {
    ASSERT_NEAR(out[from + i], pcm[pcmFrom + i] * g, 1.0) << "sample " << from + i;
  }
}

}  // namespace

TEST_F(Stream, BeginsAfterHalfABufferOfSilenceThenStopsAtItsEnd) {
  KSound s;
  ASSERT_TRUE(s.LoadStream(path_.c_str()));
  EXPECT_FALSE(s.IsPlaying());
  s.PlayStream(false);
  s.SetVolume(100);
  EXPECT_TRUE(s.IsPlaying());
  std::vector<int16_t> out = Mix(s, 3 * kHalfFrames);
  ExpectSilent(out, 0, 2 * kHalfFrames);
  ExpectMusic(out, 2 * kHalfFrames, pcm_, 0, 2 * kHalfFrames + 2 * kBlock);
  // The third fill (when the cursor wraps) meets the end of the stream: the
  // stream stops by itself right there, cutting what it had not played yet.
  ExpectSilent(out, 4 * kHalfFrames + 2 * kBlock, 6 * kHalfFrames);
  EXPECT_FALSE(s.IsPlaying());
  EXPECT_EQ(HostGetVoicePosition(s.GetVoice(0)), 0u);

  // Played again it starts from the beginning.
  s.PlayStream(false);
  EXPECT_TRUE(s.IsPlaying());
  out = Mix(s, 2 * kHalfFrames);
  ExpectSilent(out, 0, 2 * kHalfFrames);
  ExpectMusic(out, 2 * kHalfFrames, pcm_, 0, 2 * kHalfFrames);
}

TEST_F(Stream, LoopingStreamKeepsGoing) {
  KSound s;
  ASSERT_TRUE(s.LoadStream(path_.c_str()));
  s.PlayStream(true);
  s.SetVolume(100);
  std::vector<int16_t> out = Mix(s, 10 * kHalfFrames);  // about 3.7 s of a 1 s tune
  EXPECT_TRUE(s.IsPlaying());
  // The last half heard holds music again.
  bool heard = false;
  for (size_t i = 18 * kHalfFrames; i < 20 * kHalfFrames && !heard; ++i) heard = out[i] != 0;
  EXPECT_TRUE(heard);
  s.StopStream();
  EXPECT_FALSE(s.IsPlaying());
}

TEST_F(Stream, StoppingTheThreadIsPromptAndRepeatable) {
  KSound s;
  ASSERT_TRUE(s.LoadStream(path_.c_str()));
  s.PlayStream(true);
  EXPECT_TRUE(s.HasStreamThread());
  auto start = std::chrono::steady_clock::now();
  StopStreamThread(&s);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(ms, 150);
  EXPECT_FALSE(s.HasStreamThread());
  EXPECT_FALSE(s.IsPlaying());
  StopStreamThread(&s);  // again: nothing to stop
  s.PlayStream(true);
  s.PlayStream(false);   // restarts its own thread
  EXPECT_TRUE(s.IsPlaying());
  // Replacing the content stops the thread first.
  std::vector<uint8_t> wav = Wav16(1, 44100, std::vector<int16_t>(100, 5));
  EXPECT_TRUE(s.LoadSampleFromMemory(wav.data(), wav.size(), false, 100, 0, 1));
  EXPECT_FALSE(s.HasStreamThread());
}

TEST_F(Stream, UndecodableMusicFailsAndEffectsCannotStream) {
  std::vector<uint8_t> junk(3000, 'x');
  std::string bad = TempPath("bad.ogg");
  ASSERT_TRUE(WriteFile(bad, junk));
  KSound s;
  EXPECT_FALSE(s.LoadStream(bad.c_str()));
  s.PlayStream(true);
  EXPECT_FALSE(s.IsPlaying());
  EXPECT_FALSE(s.LoadStream(TempPath("missing.ogg").c_str()));
  std::remove(bad.c_str());

  // A truncated file is refused, or plays what it holds and stops.
  std::vector<uint8_t> cut(ogg_.begin(), ogg_.begin() + ogg_.size() / 2);
  ASSERT_TRUE(WriteFile(bad, cut));
  if (s.LoadStream(bad.c_str())) {
    s.PlayStream(false);
    Mix(s, 6 * kHalfFrames);
    EXPECT_FALSE(s.IsPlaying());
  }
  std::remove(bad.c_str());
}

TEST(StreamMemoryFile, SeekStaysInsideTheFileAndReadRestartsAfterEnd) {
  HostAudioSetManualMix(true);
  const std::vector<uint8_t> ogg = EncodeOgg(1, 44100, Tone(1, 2000, 44100));
  const std::string path = TempPath("mem.ogg");
  ASSERT_TRUE(WriteFile(path, ogg));
  KSound s;
  ASSERT_TRUE(s.LoadStream(path.c_str()));
  const long size = static_cast<long>(ogg.size());
  KSound::MemSeek(&s, -50, SEEK_SET);
  EXPECT_EQ(KSound::MemTell(&s), 0);
  KSound::MemSeek(&s, size + 10, SEEK_SET);
  EXPECT_EQ(KSound::MemTell(&s), size);
  KSound::MemSeek(&s, 10, SEEK_END);
  EXPECT_EQ(KSound::MemTell(&s), size - 10);
  KSound::MemSeek(&s, 100, SEEK_CUR);
  EXPECT_EQ(KSound::MemTell(&s), size);
  KSound::MemSeek(&s, 5, 77);
  EXPECT_EQ(KSound::MemTell(&s), size);
  char buf[8];
  EXPECT_EQ(KSound::MemRead(buf, 1, 8, &s), 0u);  // at the end: nothing, and back to 0
  EXPECT_EQ(KSound::MemTell(&s), 0);
  KSound::MemSeek(&s, 5, SEEK_END);
  EXPECT_EQ(KSound::MemRead(buf, 2, 4, &s), 2u);  // 5 bytes left: two whole items
  EXPECT_EQ(KSound::MemRead(buf, 1, 8, nullptr), static_cast<size_t>(-1));
  EXPECT_EQ(KSound::MemTell(nullptr), -1);
  std::remove(path.c_str());
  HostAudioSetManualMix(false);
}

TEST(StreamRealDevice, PlaysAndStopsOnTheDummyOutput) {
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  HostAudioSetManualMix(false);  // the real device; forget any earlier failure
  const std::string path = TempPath("real.ogg");
  ASSERT_TRUE(WriteFile(path, EncodeOgg(2, 44100, Tone(2, 8000, 44100))));
  {
    KSound effect;  // holds the device while the music object comes and goes
    for (int i = 0; i < 2; ++i) {
      KSound music;
      ASSERT_TRUE(music.LoadStream(path.c_str()));
      music.PlayStream(i == 0);
      music.SetVolume(40);
      EXPECT_TRUE(WaitFor([&] { return music.GetHalvesFilled() >= 1; }));
      if (i == 1) {
        EXPECT_TRUE(WaitFor([&] { return !music.IsPlaying(); }));
      }
    }
  }
  std::remove(path.c_str());
}
