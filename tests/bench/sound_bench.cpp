// Cost of one second of sound: the music stream (decoding on its thread) and
// eight effects mixed together. Reported as process CPU time per second of
// audio, so the streaming thread's decoding is counted too.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/host/host_audio.h"
#include "engine/sound/KSound.h"
#include "unit/sound/sound_test_util.h"

using namespace soundtest;

namespace {

constexpr uint32_t kBlockFrames = 1024;
constexpr uint32_t kHalfFrames = kStreamHalfBytes / 4;
constexpr int kEffects = 8;

void BM_MixOneSecondMusicAndEightEffects(benchmark::State& state) {
  HostAudioSetManualMix(true);
  std::vector<uint8_t> tune = EncodeOgg(2, 44100, Tone(2, 3 * 44100, 44100));
  std::string path = TempPath("bench_music.ogg");
  WriteFile(path, tune);
  std::vector<uint8_t> wav = Wav16(1, 22050, Tone(1, 11025, 22050));  // resampled on the way
  {
    KSound music;
    music.LoadStream(path.c_str());
    KSound effects[kEffects];
    for (KSound& e : effects) {
      e.LoadSampleFromMemory(wav.data(), wav.size(), false, 100, 1, 1);
      e.Play();
      e.SetVolume(50);
    }
    music.PlayStream(true);
    music.SetVolume(50);
    std::vector<int16_t> out(kBlockFrames * 2);
    for (auto _ : state) {
      for (uint32_t done = 0; done < 44100; done += kBlockFrames) {
        uint32_t at = HostGetVoicePosition(music.GetVoice(0)) / 4;
        uint32_t before = music.GetHalvesFilled();
        HostAudioMix(out.data(), kBlockFrames);
        if (at % kHalfFrames == 0) {
          // Let the streaming thread catch up as it would in real time.
          WaitFor([&] { return music.GetHalvesFilled() > before; }, 1000);
        }
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  std::remove(path.c_str());
  HostAudioSetManualMix(false);
}
BENCHMARK(BM_MixOneSecondMusicAndEightEffects)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
