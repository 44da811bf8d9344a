// Sounds made at test time by sox and oggenc (or, for the WAV kind no tool
// writes, a small committed file), loaded as effects and compared with the
// samples the tools themselves decode; played through the mixer by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/host/host_audio.h"
#include "engine/sound/KSound.h"
#include "unit/sound/sound_test_util.h"

using namespace soundtest;

namespace {

constexpr uint32_t kMixBlock = 64;

bool HaveTool(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> s(bytes.size() / 2);
  for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return s;
}

double Rms(const std::vector<int16_t>& s, size_t first, size_t step) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = first; i < s.size(); i += step, ++n) sum += static_cast<double>(s[i]) * s[i];
  return n ? std::sqrt(sum / n) : 0;
}

class ToolSounds : public ::testing::Test {
 protected:
  void SetUp() override {
    HostAudioSetManualMix(true);
    for (const char* tool : {"sox", "oggenc", "oggdec"}) {
      ASSERT_TRUE(HaveTool(tool)) << tool << " is missing: install sox and vorbis-tools "
                                  << "(scripts/setup does)";
    }
  }
  void TearDown() override {
    for (const std::string& p : files_) std::remove(p.c_str());
    HostAudioSetManualMix(false);
  }
  std::string Path(const std::string& name) {
    files_.push_back(TempPath(name));
    return files_.back();
  }
  void Run(const std::string& command) {
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
  }
  // The voice's bytes as the effect holds them.
  static std::vector<uint8_t> VoiceBytes(KSound& s) {
    void *p1 = nullptr, *p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    std::vector<uint8_t> out;
    if (HostLockVoice(s.GetVoice(0), 0, 0, true, &p1, &n1, &p2, &n2)) {
      out.assign(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
      HostUnlockVoice(s.GetVoice(0));
    }
    return out;
  }
  // Output frames the effect plays before it stops by itself.
  static uint32_t PlayedFrames(KSound& s) {
    s.Play();
    std::vector<int16_t> out(kMixBlock * 2);
    uint32_t frames = 0;
    while (s.IsPlaying() && frames < 10 * 44100) {
      HostAudioMix(out.data(), kMixBlock);
      frames += kMixBlock;
    }
    return frames;
  }
  std::vector<std::string> files_;
};

TEST_F(ToolSounds, SoxWavsOfEveryRateAndWidthPlayTheirOwnSamplesAtTheirOwnPitch) {
  const struct {
    int rate, channels, bits;
  } kinds[] = {{8000, 1, 8}, {11025, 2, 8}, {22050, 1, 16}, {44100, 2, 16}, {48000, 2, 16},
               {96000, 1, 16}};
  for (const auto& k : kinds) {
    const std::string tag = std::to_string(k.rate) + "_" + std::to_string(k.channels) + "_" +
                            std::to_string(k.bits);
    SCOPED_TRACE(tag);
    const std::string wav = Path(tag + ".wav"), raw = Path(tag + ".raw");
    Run("sox -n -r " + std::to_string(k.rate) + " -c " + std::to_string(k.channels) + " -b " +
        std::to_string(k.bits) + " " + wav + " synth 0.25 sine 300 sine 500");
    Run("sox " + wav + " -t raw " + raw);
    KSound s;
    ASSERT_TRUE(s.LoadSample(wav.c_str(), 100, 0, 1));
    EXPECT_EQ(s.GetWaveFormat().samplesPerSec, static_cast<uint32_t>(k.rate));
    EXPECT_EQ(s.GetWaveFormat().channels, k.channels);
    EXPECT_EQ(s.GetWaveFormat().bitsPerSample, k.bits);
    const std::vector<uint8_t> expected = ReadFile(raw);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(VoiceBytes(s), expected);
    const double frames = static_cast<double>(expected.size()) / (k.channels * k.bits / 8);
    EXPECT_NEAR(PlayedFrames(s), frames * 44100 / k.rate, 2 * kMixBlock);
  }
}

TEST_F(ToolSounds, OggOfAnyRatePlaysAtItsOwnPitchWithTheDecodersSamples) {
  const struct {
    int rate, channels;
  } kinds[] = {{8000, 1}, {22050, 2}, {32000, 1}, {48000, 2}, {96000, 2}};
  for (const auto& k : kinds) {
    const std::string tag = std::to_string(k.rate) + "_" + std::to_string(k.channels);
    SCOPED_TRACE(tag);
    const std::string wav = Path(tag + ".wav"), ogg = Path(tag + ".ogg"), raw = Path(tag + ".raw");
    Run("sox -n -r " + std::to_string(k.rate) + " -c " + std::to_string(k.channels) + " -b 16 " +
        wav + " synth 0.3 sine 300 sine 500");
    Run("oggenc -Q -o " + ogg + " " + wav);
    Run("oggdec -Q -R -o " + raw + " " + ogg);  // 16-bit signed little-endian
    KSound s;
    ASSERT_TRUE(s.LoadSample(ogg.c_str(), 100, 0, 1));
    EXPECT_EQ(s.GetWaveFormat().samplesPerSec, static_cast<uint32_t>(k.rate));
    EXPECT_EQ(s.GetWaveFormat().channels, k.channels);
    const std::vector<uint8_t> expected = ReadFile(raw);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(VoiceBytes(s), expected);
    const double frames = static_cast<double>(expected.size()) / (k.channels * 2);
    EXPECT_NEAR(PlayedFrames(s), frames * 44100 / k.rate, 2 * kMixBlock);
  }
}

TEST_F(ToolSounds, SurroundOggIsMixedDownToStereoKeepingEachSide) {
  const std::string mono = Path("tone.wav");
  Run("sox -n -r 22050 -c 1 -b 16 " + mono + " synth 0.3 sine 440");
  // WAV channel order: front left, front right, centre, low frequency, rear left, rear right.
  const struct {
    const char* remix;
    double leftShare;  // of the two sides' loudness, the left one's
  } layouts[] = {{"1 0 0 0 0 0", 1.0}, {"0 1 0 0 0 0", 0.0}, {"0 0 1 0 0 0", 0.5},
                 {"0 0 0 0 1 0", 1.0}};
  int index = 0;
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.remix);
    const std::string six = Path("six" + std::to_string(index) + ".wav");
    const std::string ogg = Path("six" + std::to_string(index++) + ".ogg");
    Run("sox " + mono + " -b 16 " + six + " remix " + layout.remix);
    Run("oggenc -Q -o " + ogg + " " + six);
    KSound s;
    ASSERT_TRUE(s.LoadSample(ogg.c_str(), 100, 0, 1));
    EXPECT_EQ(s.GetWaveFormat().channels, 2);
    EXPECT_EQ(s.GetWaveFormat().samplesPerSec, 22050u);
    const std::vector<int16_t> pcm = Samples16(VoiceBytes(s));
    EXPECT_NEAR(pcm.size() / 2.0, 0.3 * 22050, 64);  // every frame kept
    const double left = Rms(pcm, 0, 2), right = Rms(pcm, 1, 2);
    ASSERT_GT(left + right, 1000.0);
    EXPECT_NEAR(left / (left + right), layout.leftShare, 0.05);
  }

  // A streamed surround music plays too, as stereo.
  std::vector<uint8_t> bytes = ReadFile(Path("six0.ogg"));
  KSound music;
  ASSERT_TRUE(music.LoadStreamFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(music.GetWaveFormat().channels, 2);
}

TEST_F(ToolSounds, ExtensibleHeaderAndExtraChunksLoad) {
  // The committed file: 16-bit stereo at 22050 Hz, left = 1000 i - 16000, right = -left.
  const std::string fixture =
      std::string(BR_SOURCE_DIR) + "/tests/unit/sound/fixtures/extensible_stereo.wav";
  KSound s;
  ASSERT_TRUE(s.LoadSample(fixture.c_str(), 100, 0, 1));
  EXPECT_EQ(s.GetWaveFormat().channels, 2);
  EXPECT_EQ(s.GetWaveFormat().samplesPerSec, 22050u);
  const std::vector<int16_t> pcm = Samples16(VoiceBytes(s));
  ASSERT_EQ(pcm.size(), 64u);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(pcm[2 * i], 1000 * i - 16000) << i;
    EXPECT_EQ(pcm[2 * i + 1], -(1000 * i - 16000)) << i;
  }

  // A sox WAV with a list chunk before the format and a note after it, both
  // holding the word "data": the chunks are walked, not searched.
  const std::string wav = Path("plain.wav"), raw = Path("plain.raw");
  Run("sox -n -r 16000 -c 1 -b 16 " + wav + " synth 0.1 sine 700");
  Run("sox " + wav + " -t raw " + raw);
  std::vector<uint8_t> plain = ReadFile(wav);
  ASSERT_GT(plain.size(), 44u);
  auto chunk = [](const char* tag, const std::string& body) {
    std::vector<uint8_t> c(tag, tag + 4);
    Put32(c, static_cast<uint32_t>(body.size()));
    c.insert(c.end(), body.begin(), body.end());
    if (body.size() % 2) c.push_back(0);
    return c;
  };
  const std::vector<uint8_t> list = chunk("LIST", std::string("INFOICMT\x0b\0\0\0data inside", 23));
  const std::vector<uint8_t> note = chunk("note", "data? no");
  std::vector<uint8_t> extra(plain.begin(), plain.begin() + 12);
  extra.insert(extra.end(), list.begin(), list.end());
  extra.insert(extra.end(), plain.begin() + 12, plain.begin() + 36);  // the format chunk
  extra.insert(extra.end(), note.begin(), note.end());
  extra.insert(extra.end(), plain.begin() + 36, plain.end());
  const std::string withChunks = Path("chunks.wav");
  ASSERT_TRUE(WriteFile(withChunks, extra));
  ASSERT_EQ(std::string(plain.begin() + 36, plain.begin() + 40), "data");
  ASSERT_TRUE(s.LoadSample(withChunks.c_str(), 100, 0, 1));
  EXPECT_EQ(VoiceBytes(s), ReadFile(raw));
}

TEST_F(ToolSounds, OtherKindsAreRefusedOnOneLineAndStaySilent) {
  const struct {
    const char* name;
    const char* options;
  } kinds[] = {{"deep24.wav", "-c 1 -b 24"},
               {"float.wav", "-c 1 -e floating-point -b 32"},
               {"three.wav", "-c 3 -b 16"},
               {"alaw.wav", "-c 1 -e a-law"}};
  for (const auto& k : kinds) {
    SCOPED_TRACE(k.name);
    const std::string wav = Path(k.name);
    Run(std::string("sox -n -r 22050 ") + k.options + " " + wav + " synth 0.1 sine 440");
    KSound s;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(s.LoadSample(wav.c_str(), 100, 0, 1));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(wav), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    s.Play();
    EXPECT_FALSE(s.IsPlaying());
    std::vector<int16_t> out(kMixBlock * 2, 1);
    HostAudioMix(out.data(), kMixBlock);
    EXPECT_EQ(Rms(out, 0, 1), 0.0);
  }
}

}  // namespace
