// Fuzzes effect loading (WAV scan and Ogg decoding) and music stream opening
// from memory; whatever loads is also played through the mixer for a moment.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/host/host_audio.h"
#include "engine/sound/KSound.h"

namespace {

constexpr uint32_t kMixFrames = 2048;

KSound* Sound() {
  static KSound* sound = [] {
    HostAudioSetManualMix(true);  // no sound card, no real time
    return new KSound();
  }();
  return sound;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  KSound* s = Sound();
  const uint8_t mode = data[0] % 3;
  const uint8_t* body = data + 1;
  const size_t bodySize = size - 1;
  static std::vector<int16_t> out(kMixFrames * 2);
  if (mode == 2) {
    if (s->LoadStreamFromMemory(body, bodySize)) {
      s->StopStream();
      s->SetVolume(50);
    }
    return 0;
  }
  if (s->LoadSampleFromMemory(body, bodySize, mode == 1, 100, data[0] >> 7, 1 + (data[0] >> 4) % 3)) {
    s->Play();
    s->SetPan(static_cast<int8_t>(data[0]));
    HostAudioMix(out.data(), kMixFrames);
    s->Stop();
  }
  return 0;
}
