// Sound device state, volume/pan tables, voices and the music streaming thread.
#include "engine/sound/KSoundDevice.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "engine/host/host_audio.h"
#include "engine/sound/KDownmix.h"
#include "engine/sound/KSound.h"

namespace {

constexpr double kVolumeStep = 0.92;      // each engine volume step below 100
constexpr double kPanStep = 0.954999;     // each engine pan step away from the centre
constexpr int32_t kSilence = -10000;
constexpr uint32_t kEventWaitMs = 50;     // the thread's poll of each half's event
constexpr uint32_t kRestartPosition = 1;  // rounds down to frame 0

}  // namespace

bool KSoundDevice::present = false;
int32_t KSoundDevice::instanceCount = 0;
int32_t KSoundDevice::volumeTable[kVolumeTableSize] = {};
int32_t KSoundDevice::panTable[kPanTableSize] = {};
int32_t KSoundDevice::effectsMasterVolume = 100;
int32_t KSoundDevice::musicMasterVolume = 100;

static void BuildTables() {
  KSoundDevice::volumeTable[0] = kSilence;
  for (int i = 1; i <= 100; ++i) {
    int32_t v = static_cast<int32_t>(-100.0 * std::log(i / 100.0) / std::log(kVolumeStep));
    KSoundDevice::volumeTable[i] = v < kSilence ? kSilence : v;
  }
  KSoundDevice::panTable[0] = kSilence;
  KSoundDevice::panTable[200] = -kSilence;
  for (int i = 1; i <= 100; ++i) {
    int32_t p = static_cast<int32_t>(-100.0 * std::log(i / 100.0) / std::log(kPanStep));
    KSoundDevice::panTable[i] = p;
    KSoundDevice::panTable[200 - i] = -p;
  }
}

void InitSoundDevice() {
  BuildTables();
  if (!KSoundDevice::present) KSoundDevice::present = HostAudioOpen();
  if (KSoundDevice::present) KSoundDevice::instanceCount += 1;
}

void ReleaseSoundDevice() {
  if (KSoundDevice::instanceCount > 0) return;
  KSoundDevice::instanceCount = 0;
  if (KSoundDevice::present) HostAudioClose();
  KSoundDevice::present = false;
}

HostVoice* CreateVoice(KSound* sound, int index, uint32_t bytes, bool streaming) {
  if (!sound || index < 0 || index >= kMaxSoundVoices) return nullptr;
  if (!KSoundDevice::present) return nullptr;
  HostWaveFormat format;
  format.formatTag = sound->waveFormat.formatTag;
  format.channels = sound->waveFormat.channels;
  format.samplesPerSec = sound->waveFormat.samplesPerSec;
  format.bitsPerSample = sound->waveFormat.bitsPerSample;
  if (sound->voices[index]) {
    HostStopVoice(sound->voices[index]);
    HostReleaseVoice(sound->voices[index]);
    sound->voices[index] = nullptr;
  }
  HostVoice* voice = HostCreateVoice(format, bytes, streaming);
  if (!voice) return nullptr;
  sound->voices[index] = voice;
  HostSetVoicePosition(voice, kRestartPosition);
  ClearVoice(sound, index, bytes);
  return voice;
}

void ClearVoice(KSound* sound, int index, uint32_t bytes) {
  if (!sound || index < 0 || index >= kMaxSoundVoices) return;
  HostVoice* voice = sound->voices[index];
  if (!voice) return;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (HostLockVoice(voice, 0, bytes, true, &p1, &n1, &p2, &n2)) {
    // 8-bit PCM is unsigned: its silence is 0x80.
    int fill = sound->waveFormat.bitsPerSample == 8 ? 0x80 : 0;
    std::memset(p1, fill, n1);
    if (p2) std::memset(p2, fill, n2);
    HostUnlockVoice(voice);
  }
  HostSetVoicePosition(voice, kRestartPosition);
}

// Fills one half of the stream buffer from the decoder.
void KSound::FillHalf(int half) {
  std::lock_guard<std::mutex> guard(streamMutex);
  HostVoice* voice = voices[0];
  if (!voice) return;
  void* p1 = nullptr;
  void* p2 = nullptr;
  uint32_t n1 = 0, n2 = 0;
  if (!HostLockVoice(voice, half * kStreamHalfBytes, kStreamHalfBytes, false, &p1, &n1, &p2, &n2)) {
    return;  // voices are never lost on this device; nothing to restore
  }
  char* out = static_cast<char*>(p1);
  std::memset(out, 0, n1);
  long last = 0;
  if (!endOfStream.load()) {
    uint32_t filled = 0;
    while (!stopRequest.load() && filled < n1) {
      int bitstream = 0;
      last = decoderOpen ? ReadVorbisStereo(decoder, out + filled, static_cast<int>(n1 - filled),
                                            &bitstream)
                         : 0;
      if (last > 0) {
        filled += static_cast<uint32_t>(last);
        continue;
      }
      if (loop.load()) {
        if (decoderOpen) ov_time_seek(decoder, 0.0);
        endOfStream = false;
      } else {
        StopStreamLocked();
        endOfStream = true;
      }
      break;
    }
  }
  if (last < 0) std::memset(out, 0, n1);
  HostUnlockVoice(voice);
  if (endOfStream.load()) StopStreamLocked();
  halvesFilled.fetch_add(1);
}

void StreamThreadMain(KSound* sound) {
  static const int eventCounter = 0;  // every stream uses the same names
  char name1[32];
  char name2[32];
  std::snprintf(name1, sizeof name1, "ksoundev%d", eventCounter);
  std::snprintf(name2, sizeof name2, "ksoundev%d2", eventCounter);

  auto report = [sound](int32_t result) {
    std::lock_guard<std::mutex> guard(sound->startMutex);
    sound->startResult = result;
    sound->startCv.notify_all();
  };

  HostVoice* voice = sound->voices[0];
  sound->events[0] = new HostEvent(name1);
  sound->events[1] = new HostEvent(name2);
  const uint32_t offsets[2] = {0, kStreamHalfBytes};
  if (!voice || !HostSetVoiceNotifications(voice, 2, offsets, sound->events)) {
    report(-1);
    return;
  }
  sound->stopRequest = false;
  sound->running = true;
  report(1);

  int32_t seenMaster = -1;
  for (;;) {
    if (KSoundDevice::musicMasterVolume != seenMaster) {
      seenMaster = KSoundDevice::musicMasterVolume;
      sound->ReapplyVolume();
    }
    if (sound->events[0]->Wait(kEventWaitMs) && !sound->stopRequest.load()) sound->FillHalf(1);
    std::this_thread::yield();
    if (sound->stopRequest.load()) return;
    if (sound->events[1]->Wait(kEventWaitMs) && !sound->stopRequest.load()) sound->FillHalf(0);
    std::this_thread::yield();
    if (!sound->voices[0]) break;
    if (sound->stopRequest.load()) return;
    std::this_thread::yield();
  }
}

bool StartStreamThread(KSound* sound) {
  if (!sound) return false;
  sound->running = false;
  if (!sound->voices[0]) return false;
  HostStopVoice(sound->voices[0]);
  if (sound->streamThread.joinable()) StopStreamThread(sound);
  {
    std::lock_guard<std::mutex> guard(sound->startMutex);
    sound->startResult = 0;
  }
  try {
    sound->streamThread = std::thread(StreamThreadMain, sound);
  } catch (const std::system_error&) {
    return false;
  }
  // The thread always reports, whether it could start streaming or not.
  std::unique_lock<std::mutex> lock(sound->startMutex);
  sound->startCv.wait(lock, [sound] { return sound->startResult != 0; });
  return sound->startResult > 0;
}

void StopStreamThread(KSound* sound) {
  if (!sound) return;
  sound->running = false;
  sound->stopRequest = true;
  if (sound->voices[0]) {
    HostStopVoice(sound->voices[0]);
    HostSetVoicePosition(sound->voices[0], kRestartPosition);
  }
  if (sound->streamThread.joinable()) {
    // Wake the thread so it sees the stop request at once.
    for (HostEvent* e : sound->events) {
      if (e) e->Set();
    }
    sound->streamThread.join();
    if (sound->voices[0]) HostSetVoiceNotifications(sound->voices[0], 0, nullptr, nullptr);
    for (HostEvent*& e : sound->events) {
      delete e;
      e = nullptr;
    }
    std::this_thread::yield();
  }
}
