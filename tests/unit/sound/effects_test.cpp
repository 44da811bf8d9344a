// Effects, tables and the voice mixer, mixed by hand without a sound card.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>

#include "engine/host/host_audio.h"
#include "engine/sound/KSound.h"
#include "engine/sound/KSoundDevice.h"
#include "unit/sound/sound_test_util.h"

using namespace soundtest;

namespace {

class Effects : public ::testing::Test {
 protected:
  void SetUp() override { HostAudioSetManualMix(true); }
  void TearDown() override {
    for (const std::string& p : files_) std::remove(p.c_str());
    HostAudioSetManualMix(false);
  }
  std::string File(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string p = TempPath(name);
    EXPECT_TRUE(WriteFile(p, bytes));
    files_.push_back(p);
    return p;
  }
  std::vector<int16_t> Mix(uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    EXPECT_TRUE(HostAudioMix(out.data(), frames));
    return out;
  }
  std::vector<std::string> files_;
};

std::vector<int16_t> Ramp(int n, int scale) {
  std::vector<int16_t> s;
  for (int i = 0; i < n; ++i) s.push_back(static_cast<int16_t>((i % 100) * scale + 50));
  return s;
}

}  // namespace

TEST(SoundTables, VolumeAndPanUnits) {
  HostAudioSetManualMix(true);
  {
    KSound s;  // the first object builds the tables
    EXPECT_EQ(KSoundDevice::volumeTable[0], -10000);
    EXPECT_EQ(KSoundDevice::volumeTable[50], -831);
    EXPECT_EQ(KSoundDevice::volumeTable[100], 0);
    const int pans[][2] = {{-100, -10000}, {-50, -1505}, {0, 0}, {50, 1505}, {100, 10000}};
    for (const auto& p : pans) EXPECT_EQ(KSoundDevice::panTable[100 + p[0]], p[1]) << p[0];
    EXPECT_LT(KSoundDevice::panTable[1], -10000);  // not limited
    EXPECT_EQ(KSoundDevice::instanceCount, 1);
  }
  EXPECT_EQ(KSoundDevice::instanceCount, 0);
  EXPECT_FALSE(HostAudioIsOpen());
  HostAudioSetManualMix(false);
}

TEST_F(Effects, WavPlaysExactlyAtFullVolumeBothChannels) {
  std::vector<int16_t> samples = Ramp(300, 100);
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("m.wav", Wav16(1, 44100, samples)).c_str(), 100, 0, 1));
  EXPECT_EQ(s.GetPcmSize(), 600u);
  s.Play();
  EXPECT_TRUE(s.IsPlaying());
  std::vector<int16_t> out = Mix(400);
  double gain = std::pow(10.0, KSoundDevice::volumeTable[99] / 2000.0);  // 100 plays as 99
  for (int i = 0; i < 300; ++i) {
    ASSERT_NEAR(out[2 * i], samples[i] * gain, 1.0) << i;
    ASSERT_EQ(out[2 * i], out[2 * i + 1]) << i;
  }
  for (int i = 300; i < 400; ++i) ASSERT_EQ(out[2 * i], 0);
  EXPECT_FALSE(s.IsPlaying());  // a one-shot stops at its end
}

TEST_F(Effects, LowerRateIsResampledToTheDevice) {
  std::vector<int16_t> samples(2 * 1000, 8000);  // stereo 22050 Hz, 1000 frames
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("r.wav", Wav16(2, 22050, samples)).c_str(), 100, 0, 1));
  s.Play();
  std::vector<int16_t> out = Mix(1990);
  EXPECT_TRUE(s.IsPlaying());  // 1000 frames at half the rate last 2000 output frames
  EXPECT_NEAR(out[2 * 1500], 8000 * 0.986, 2);
  Mix(20);
  EXPECT_FALSE(s.IsPlaying());
}

TEST_F(Effects, VoicesRotateSoTheEffectOverlapsItself) {
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("v.wav", Wav16(1, 44100, Ramp(2000, 10))).c_str(), 100, 0, 3));
  for (int expected : {1, 2, 0, 1}) {
    s.Play();
    EXPECT_EQ(s.GetCurrentVoice(), expected);
  }
  for (int v = 0; v < 3; ++v) EXPECT_TRUE(HostGetVoiceStatus(s.GetVoice(v)) & kVoicePlaying);
  EXPECT_EQ(s.GetVoice(3), nullptr);
  s.Stop();
  EXPECT_FALSE(s.IsPlaying());
}

TEST_F(Effects, VolumeAndPanAreClampedAndApplied) {
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("p.wav", Wav16(1, 44100, Ramp(2000, 100))).c_str(), 100, 0, 2));
  s.SetVolume(150);
  EXPECT_EQ(s.GetVolume(), 100);
  EXPECT_EQ(HostGetVoiceVolume(s.GetVoice(1)), KSoundDevice::volumeTable[99]);
  s.SetVolume(-5);
  EXPECT_EQ(s.GetVolume(), 0);
  EXPECT_EQ(HostGetVoiceVolume(s.GetVoice(0)), -10000);

  s.SetVolume(100);
  s.SetPan(250);  // out of range pans fully right
  EXPECT_EQ(HostGetVoicePan(s.GetVoice(1)), 10000);
  s.Play();
  std::vector<int16_t> out = Mix(1000);
  bool rightHeard = false;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_EQ(out[2 * i], 0) << i;
    rightHeard = rightHeard || out[2 * i + 1] != 0;
  }
  EXPECT_TRUE(rightHeard);
  s.SetPan(-50);
  EXPECT_EQ(HostGetVoicePan(s.GetVoice(0)), -1505);
}

TEST_F(Effects, LoopingEffectKeepsPlaying) {
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("l.wav", Wav16(1, 44100, Ramp(100, 100))).c_str(), 100, 1, 1));
  s.Play();
  Mix(1000);
  EXPECT_EQ(HostGetVoiceStatus(s.GetVoice(0)), kVoicePlaying | kVoiceLooping | kVoiceLocSoftware);
  s.Stop();
  EXPECT_EQ(HostGetVoiceStatus(s.GetVoice(0)), 0u);  // location bits only while playing
}

TEST_F(Effects, OggEffectDecodesCompletely) {
  std::vector<uint8_t> ogg = EncodeOgg(1, 44100, Tone(1, 4410, 44100));
  ASSERT_FALSE(ogg.empty());
  KSound s;
  ASSERT_TRUE(s.LoadSample(File("e.ogg", ogg).c_str(), 100, 0, 1));
  EXPECT_EQ(s.GetWaveFormat().blockAlign, 2);
  EXPECT_EQ(s.GetPcmSize(), 4410u * 2);
  // A capitalised extension is read as WAV: Ogg bytes fail, WAV bytes load.
  EXPECT_FALSE(s.LoadSample(File("e.OGG", ogg).c_str(), 100, 0, 1));
  EXPECT_FALSE(s.IsPlaying());
  EXPECT_TRUE(s.LoadSample(File("w.OGG", Wav16(1, 44100, Ramp(100, 1))).c_str(), 100, 0, 1));
}

TEST_F(Effects, BrokenWavFilesFailCleanly) {
  std::vector<uint8_t> pcm = Pcm16(Ramp(100, 1));
  KSound s;
  auto load = [&](const char* name, const std::vector<uint8_t>& bytes) {
    return s.LoadSample(File(name, bytes).c_str(), 100, 0, 1);
  };
  EXPECT_FALSE(load("a.wav", Riff({DataChunk(pcm, 200), FmtChunk(1, 44100, 16)})));  // format after data
  EXPECT_FALSE(load("b.wav", Riff({FmtChunk(1, 44100, 16), DataChunk(pcm, 201)})));  // data past the end
  // Format chunk cut short right before the data tag.
  std::vector<uint8_t> cut = {'R', 'I', 'F', 'F', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0};
  std::vector<uint8_t> d = DataChunk(pcm, 200);
  cut.insert(cut.end(), d.begin(), d.end());
  EXPECT_FALSE(load("c.wav", cut));
  // Unsupported format, tiny files, a missing file, a "data" tag without its size.
  EXPECT_FALSE(load("d.wav", Riff({FmtChunk(6, 44100, 16), DataChunk(pcm, 200)})));
  EXPECT_FALSE(load("e.wav", {'d', 'a', 't', 'a', 0}));
  EXPECT_FALSE(load("f.wav", {}));
  EXPECT_FALSE(s.LoadSample(TempPath("missing.wav").c_str(), 100, 0, 1));
  std::vector<uint8_t> tail = FmtChunk(1, 44100, 16);
  tail.insert(tail.end(), {'d', 'a', 't', 'a', 1, 2});
  EXPECT_FALSE(load("g.wav", tail));
  EXPECT_EQ(s.GetVoice(0), nullptr);
  s.Play();  // nothing loaded: harmless
  EXPECT_FALSE(s.IsPlaying());
  EXPECT_TRUE(load("h.wav", Riff({FmtChunk(1, 8000, 16), DataChunk(pcm, 200)})));  // works after failures
}

TEST_F(Effects, BrokenOggFilesFailCleanly) {
  std::vector<uint8_t> ogg = EncodeOgg(2, 44100, Tone(2, 20000, 44100));
  KSound s;
  for (size_t keep : {size_t(10), size_t(58), ogg.size() / 3}) {
    std::vector<uint8_t> cut(ogg.begin(), ogg.begin() + keep);
    bool ok = s.LoadSample(File("cut.ogg", cut).c_str(), 100, 0, 1);
    if (keep < 100) {
      EXPECT_FALSE(ok);  // headers incomplete
    } else if (ok) {
      EXPECT_LE(s.GetPcmSize(), 20000u * 4);  // a cut stream may decode its first pages
    }
  }
  std::vector<uint8_t> garbage(5000);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7919 >> 3);
  EXPECT_FALSE(s.LoadSample(File("g.ogg", garbage).c_str(), 100, 0, 1));
  EXPECT_FALSE(s.LoadSampleFromMemory(ogg.data(), 0, true, 100, 0, 1));
}

TEST(NoDevice, EverySoundQuietlyDoesNothing) {
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  HostAudioSetManualMix(false);
  {
    std::vector<uint8_t> wav = Wav16(1, 44100, Ramp(100, 1));
    KSound s;
    EXPECT_FALSE(HostAudioIsOpen());
    EXPECT_FALSE(s.LoadSampleFromMemory(wav.data(), wav.size(), false, 100, 0, 1));
    s.Play();
    s.SetVolume(50);
    s.SetPan(20);
    EXPECT_FALSE(s.IsPlaying());
    s.PlayStream(true);
    s.StopStream();
    EXPECT_EQ(KSoundDevice::instanceCount, 0);
  }
  EXPECT_EQ(KSoundDevice::instanceCount, 0);  // never below zero
  old ? setenv("SDL_AUDIODRIVER", saved.c_str(), 1) : unsetenv("SDL_AUDIODRIVER");
}

TEST(RealDevice, DummyOutputPlaysAnEffect) {
  if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
  HostAudioSetManualMix(false);  // the real device; forget any earlier failure
  std::vector<uint8_t> wav = Wav16(1, 44100, std::vector<int16_t>(4410, 100));
  KSound s;
  ASSERT_TRUE(HostAudioIsOpen());
  ASSERT_TRUE(s.LoadSampleFromMemory(wav.data(), wav.size(), false, 100, 0, 1));
  s.Play();
  s.SetVolume(30);
  EXPECT_TRUE(WaitFor([&] { return !s.IsPlaying(); }, 3000));
}

TEST(HostMixer, LocksWrapAndNotificationsFireWhenPassed) {
  HostAudioSetManualMix(true);
  ASSERT_TRUE(HostAudioOpen());
  HostWaveFormat f{1, 2, 44100, 16};
  HostVoice* v = HostCreateVoice(f, 4000, true);  // 1000 frames
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(HostCreateVoice(f, 3, false), nullptr);  // less than one frame
  EXPECT_EQ(HostCreateVoice(HostWaveFormat{1, 3, 44100, 16}, 4000, false), nullptr);

  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_TRUE(HostLockVoice(v, 3000, 2000, false, &p1, &n1, &p2, &n2));  // wraps to the start
  EXPECT_EQ(std::make_pair(n1, n2), std::make_pair(1000u, 1000u));
  EXPECT_FALSE(HostLockVoice(v, 0, 4, false, &p1, &n1, &p2, &n2));  // already locked
  HostUnlockVoice(v);
  EXPECT_FALSE(HostLockVoice(v, 4000, 4, false, &p1, &n1, &p2, &n2));

  HostSetVoicePosition(v, 7);
  EXPECT_EQ(HostGetVoicePosition(v), 4u);  // whole frames

  HostEvent a, b;
  uint32_t offsets[2] = {0, 2000};
  HostEvent* events[2] = {&a, &b};
  ASSERT_TRUE(HostSetVoiceNotifications(v, 2, offsets, events));
  HostSetVoicePosition(v, 0);
  HostPlayVoice(v, true);
  EXPECT_FALSE(HostSetVoiceNotifications(v, 2, offsets, events));  // not while playing
  std::vector<int16_t> out(2 * 600);
  HostAudioMix(out.data(), 400);
  EXPECT_TRUE(a.Wait(0));   // passed offset 0 on the first frame
  EXPECT_FALSE(b.Wait(0));
  HostAudioMix(out.data(), 200);
  EXPECT_TRUE(b.Wait(0));
  EXPECT_FALSE(a.Wait(0));  // auto-reset
  HostAudioMix(out.data(), 600);  // wraps past the start again
  EXPECT_TRUE(a.Wait(0));
  EXPECT_FALSE(b.Wait(0));
  HostStopVoice(v);
  HostReleaseVoice(v);
  HostAudioClose();
  HostAudioSetManualMix(false);
}
