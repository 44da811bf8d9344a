// SDL audio output and the software voice mixer behind the engine's sound.
#include "engine/host/host_audio.h"

#include <cstdlib>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint16_t kMixBlockFrames = 1024;      // SDL callback size and manual mix chunk
constexpr uint32_t kMaxVoiceBytes = 0x0FFFFFFF; // largest buffer a voice accepts
constexpr uint32_t kMinRate = 100;
constexpr uint32_t kMaxRate = 200000;
constexpr uint32_t kMaxNotifications = 64;

struct Notification {
  uint32_t frame;
  HostEvent* event;
};

}  // namespace

struct HostVoice {
  HostWaveFormat format{};
  uint32_t frameBytes = 0;
  uint32_t frames = 0;
  std::vector<uint8_t> data;
  // Lock state: the locked bytes live in lockBuf until unlocked.
  bool locked = false;
  uint32_t lockOffset = 0;
  uint32_t lockBytes = 0;
  std::vector<uint8_t> lockBuf;
  bool playing = false;
  bool looping = false;
  uint64_t pos = 0;          // 32.32 fixed point, in source frames
  uint32_t frequency = 0;    // 0 = the format's rate
  int32_t volume = 0;
  int32_t pan = 0;
  float gainL = 1.0f;
  float gainR = 1.0f;
  bool notifiable = false;
  std::vector<Notification> notes;
};

namespace {

std::mutex gMutex;  // guards every voice and the device state
bool gManual = false;
bool gOpen = false;
bool gManualDevice = false;
bool gOpenFailed = false;  // a failed open is not retried (each try may log noise)
SDL_AudioDeviceID gDevice = 0;
std::vector<HostVoice*> gVoices;
std::vector<float> gMixBuf;

float HundredthsDbToGain(int32_t v) {
  if (v <= kVoiceVolumeSilent) return 0.0f;
  if (v >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, v / 2000.0));
}

void UpdateGains(HostVoice* v) {
  float g = HundredthsDbToGain(v->volume);
  float left = v->pan > 0 ? HundredthsDbToGain(-v->pan) : 1.0f;
  float right = v->pan < 0 ? HundredthsDbToGain(v->pan) : 1.0f;
  v->gainL = g * left;
  v->gainR = g * right;
}

// One source frame as two float samples in -32768..32767.
inline void FetchFrame(const HostVoice* v, uint32_t frame, float* l, float* r) {
  const uint8_t* p = v->data.data() + static_cast<size_t>(frame) * v->frameBytes;
  if (v->format.bitsPerSample == 16) {
    int16_t a = static_cast<int16_t>(p[0] | (p[1] << 8));
    *l = a;
    if (v->format.channels == 2) {
      *r = static_cast<int16_t>(p[2] | (p[3] << 8));
    } else {
      *r = a;
    }
  } else {
    *l = (static_cast<int>(p[0]) - 128) * 256.0f;
    *r = v->format.channels == 2 ? (static_cast<int>(p[1]) - 128) * 256.0f : *l;
  }
}

// Signals the notifications whose frame lies in [from, to) (to may wrap past from).
void SignalRange(HostVoice* v, uint32_t from, uint32_t to, bool wrapped) {
  for (const Notification& n : v->notes) {
    bool hit = wrapped ? (n.frame >= from || n.frame < to) : (n.frame >= from && n.frame < to);
    if (hit && n.event) n.event->Set();
  }
}

// The voice's position has passed the end of its buffer: a one-shot voice
// signals the rest of its buffer and stops (false); a looping one wraps, and
// a second wrap in one block means every position was passed.
bool PassBufferEnd(HostVoice* v, uint64_t end, uint32_t startFrame, bool* wrapped) {
  if (!v->looping) {
    SignalRange(v, startFrame, v->frames, *wrapped);
    v->playing = false;
    v->pos = 0;
    return false;
  }
  v->pos %= end;
  if (*wrapped) SignalRange(v, 0, v->frames, false);
  *wrapped = true;
  return true;
}

// Adds `count` output frames of one voice into the float mix.
void MixVoice(HostVoice* v, float* out, uint32_t count) {
  if (v->frames == 0) {
    v->playing = false;
    return;
  }
  uint32_t rate = v->frequency ? v->frequency : v->format.samplesPerSec;
  uint64_t step = (static_cast<uint64_t>(rate) << 32) / kHostAudioRate;
  uint64_t end = static_cast<uint64_t>(v->frames) << 32;
  uint32_t startFrame = static_cast<uint32_t>(v->pos >> 32);
  bool wrapped = false;
  bool silent = v->gainL == 0.0f && v->gainR == 0.0f;
  bool exact = step == (1ull << 32);
  for (uint32_t i = 0; i < count; ++i) {
    if (v->pos >= end && !PassBufferEnd(v, end, startFrame, &wrapped)) return;
    if (!silent) {
      uint32_t idx = static_cast<uint32_t>(v->pos >> 32);
      float l, r;
      FetchFrame(v, idx, &l, &r);
      if (!exact) {
        uint32_t frac = static_cast<uint32_t>(v->pos);
        if (frac) {
          uint32_t next = idx + 1;
          if (next >= v->frames) next = v->looping ? 0 : idx;
          float l2, r2;
          FetchFrame(v, next, &l2, &r2);
          float t = frac * (1.0f / 4294967296.0f);
          l += (l2 - l) * t;
          r += (r2 - r) * t;
        }
      }
      out[2 * i] += l * v->gainL;
      out[2 * i + 1] += r * v->gainR;
    }
    v->pos += step;
  }
  if (v->pos >= end && !PassBufferEnd(v, end, startFrame, &wrapped)) return;
  SignalRange(v, startFrame, static_cast<uint32_t>(v->pos >> 32), wrapped);
}

// Mixes `frames` (at most kMixBlockFrames) frames into `out`; gMutex held.
void MixLocked(int16_t* out, uint32_t frames) {
  if (gMixBuf.size() < static_cast<size_t>(frames) * 2) gMixBuf.resize(static_cast<size_t>(frames) * 2);
  std::fill(gMixBuf.begin(), gMixBuf.begin() + frames * 2, 0.0f);
  for (HostVoice* v : gVoices) {
    if (v->playing) MixVoice(v, gMixBuf.data(), frames);
  }
  for (uint32_t i = 0; i < frames * 2; ++i) {
    float s = gMixBuf[i];
    if (s > 32767.0f) s = 32767.0f;
    if (s < -32768.0f) s = -32768.0f;
    out[i] = static_cast<int16_t>(s);
  }
}

void SDLCALL AudioCallback(void*, Uint8* stream, int len) {
  std::lock_guard<std::mutex> guard(gMutex);
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  uint32_t frames = static_cast<uint32_t>(len) / (2 * sizeof(int16_t));
  while (frames > 0) {
    uint32_t n = std::min<uint32_t>(frames, kMixBlockFrames);
    MixLocked(out, n);
    out += n * 2;
    frames -= n;
  }
}

bool ValidFormat(const HostWaveFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec >= kMinRate &&
         f.samplesPerSec <= kMaxRate;
}

}  // namespace

bool HostAudioFormatSupported(const HostWaveFormat& format) { return ValidFormat(format); }

// --- events ------------------------------------------------------------------

void HostEvent::Set() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    signalled_ = true;
  }
  cv_.notify_one();
}

void HostEvent::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  signalled_ = false;
}

bool HostEvent::Wait(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  bool ok = cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; });
  if (ok) signalled_ = false;
  return ok;
}

// --- device ------------------------------------------------------------------

void HostAudioSetManualMix(bool manual) {
  std::lock_guard<std::mutex> guard(gMutex);
  gManual = manual;
  gOpenFailed = false;
}

bool HostAudioMix(int16_t* out, uint32_t frames) {
  std::lock_guard<std::mutex> guard(gMutex);
  if (!gOpen || !gManualDevice) {
    std::memset(out, 0, static_cast<size_t>(frames) * 2 * sizeof(int16_t));
    return false;
  }
  while (frames > 0) {
    uint32_t n = std::min<uint32_t>(frames, kMixBlockFrames);
    MixLocked(out, n);
    out += n * 2;
    frames -= n;
  }
  return true;
}

// Closes the SDL device (its callback has returned once this does) and leaves
// the voices to their owners.
static void StopDeviceAtExit() {
  SDL_AudioDeviceID dev = 0;
  {
    std::lock_guard<std::mutex> guard(gMutex);
    dev = gDevice;
    gDevice = 0;
    gOpen = false;
  }
  if (dev != 0) SDL_CloseAudioDevice(dev);
}

bool HostAudioOpen() {
  {
    std::lock_guard<std::mutex> guard(gMutex);
    if (gOpen) return true;
    if (gManual) {
      gOpen = true;
      gManualDevice = true;
      return true;
    }
    if (gOpenFailed) return false;
  }
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::lock_guard<std::mutex> guard(gMutex);
    gOpenFailed = true;
    return false;
  }
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = kHostAudioRate;
  want.format = AUDIO_S16SYS;
  want.channels = kHostAudioChannels;
  want.samples = kMixBlockFrames;
  want.callback = AudioCallback;
  SDL_AudioSpec have;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (dev == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::lock_guard<std::mutex> guard(gMutex);
    gOpenFailed = true;
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(gMutex);
    gDevice = dev;
    gOpen = true;
    gManualDevice = false;
  }
  // The device is never closed by the game itself; stop its thread before the
  // exit handlers destroy the mixer's buffers.
  static bool exitHookSet = false;
  if (!exitHookSet) {
    exitHookSet = true;
    std::atexit(StopDeviceAtExit);
  }
  SDL_PauseAudioDevice(dev, 0);
  return true;
}

void HostAudioClose() {
  SDL_AudioDeviceID dev = 0;
  {
    std::lock_guard<std::mutex> guard(gMutex);
    if (!gOpen) return;
    dev = gDevice;
    gDevice = 0;
  }
  if (dev != 0) {
    SDL_CloseAudioDevice(dev);  // waits for the callback to finish
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  std::lock_guard<std::mutex> guard(gMutex);
  for (HostVoice* v : gVoices) delete v;
  gVoices.clear();
  gOpen = false;
  gManualDevice = false;
}

bool HostAudioIsOpen() {
  std::lock_guard<std::mutex> guard(gMutex);
  return gOpen;
}

// --- voices ------------------------------------------------------------------

HostVoice* HostCreateVoice(const HostWaveFormat& format, uint32_t bytes, bool notifications) {
  if (!ValidFormat(format)) return nullptr;
  uint32_t frameBytes = format.channels * (format.bitsPerSample / 8u);
  if (bytes < frameBytes || bytes > kMaxVoiceBytes) return nullptr;
  std::lock_guard<std::mutex> guard(gMutex);
  if (!gOpen) return nullptr;
  HostVoice* v = new HostVoice;
  v->format = format;
  v->frameBytes = frameBytes;
  v->frames = bytes / frameBytes;
  v->data.assign(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
  v->notifiable = notifications;
  UpdateGains(v);
  gVoices.push_back(v);
  return v;
}

void HostReleaseVoice(HostVoice* voice) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  auto it = std::find(gVoices.begin(), gVoices.end(), voice);
  if (it == gVoices.end()) return;  // already gone with the device
  gVoices.erase(it);
  delete voice;
}

uint32_t HostVoiceSize(const HostVoice* voice) {
  if (!voice) return 0;
  std::lock_guard<std::mutex> guard(gMutex);
  return static_cast<uint32_t>(voice->data.size());
}

bool HostLockVoice(HostVoice* voice, uint32_t offset, uint32_t bytes, bool entire,
                   void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2) {
  if (!voice || !part1 || !bytes1) return false;
  std::lock_guard<std::mutex> guard(gMutex);
  uint32_t size = static_cast<uint32_t>(voice->data.size());
  if (voice->locked) return false;
  if (entire) {
    offset = 0;
    bytes = size;
  }
  if (offset >= size || bytes == 0 || bytes > size) return false;
  uint32_t first = std::min(bytes, size - offset);
  uint32_t second = bytes - first;
  if (second > 0 && !part2) return false;
  voice->lockBuf.resize(bytes);
  std::memcpy(voice->lockBuf.data(), voice->data.data() + offset, first);
  if (second) std::memcpy(voice->lockBuf.data() + first, voice->data.data(), second);
  voice->locked = true;
  voice->lockOffset = offset;
  voice->lockBytes = bytes;
  *part1 = voice->lockBuf.data();
  *bytes1 = first;
  if (part2) *part2 = second ? voice->lockBuf.data() + first : nullptr;
  if (bytes2) *bytes2 = second;
  return true;
}

void HostUnlockVoice(HostVoice* voice) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  if (!voice->locked) return;
  uint32_t size = static_cast<uint32_t>(voice->data.size());
  uint32_t first = std::min(voice->lockBytes, size - voice->lockOffset);
  uint32_t second = voice->lockBytes - first;
  std::memcpy(voice->data.data() + voice->lockOffset, voice->lockBuf.data(), first);
  if (second) std::memcpy(voice->data.data(), voice->lockBuf.data() + first, second);
  voice->locked = false;
}

bool HostPlayVoice(HostVoice* voice, bool loop) {
  if (!voice) return false;
  std::lock_guard<std::mutex> guard(gMutex);
  voice->looping = loop;
  voice->playing = true;
  return true;
}

void HostStopVoice(HostVoice* voice) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  voice->playing = false;
}

void HostSetVoicePosition(HostVoice* voice, uint32_t position) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  uint32_t frame = position / voice->frameBytes;
  if (frame >= voice->frames) frame = 0;
  voice->pos = static_cast<uint64_t>(frame) << 32;
}

uint32_t HostGetVoicePosition(HostVoice* voice) {
  if (!voice) return 0;
  std::lock_guard<std::mutex> guard(gMutex);
  return static_cast<uint32_t>(voice->pos >> 32) * voice->frameBytes;
}

void HostSetVoiceVolume(HostVoice* voice, int32_t volume) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  voice->volume = std::max(kVoiceVolumeSilent, std::min(volume, 0));
  UpdateGains(voice);
}

int32_t HostGetVoiceVolume(HostVoice* voice) {
  if (!voice) return kVoiceVolumeSilent;
  std::lock_guard<std::mutex> guard(gMutex);
  return voice->volume;
}

void HostSetVoicePan(HostVoice* voice, int32_t pan) {
  if (!voice) return;
  std::lock_guard<std::mutex> guard(gMutex);
  voice->pan = std::max(kVoicePanLeft, std::min(pan, kVoicePanRight));
  UpdateGains(voice);
}

int32_t HostGetVoicePan(HostVoice* voice) {
  if (!voice) return 0;
  std::lock_guard<std::mutex> guard(gMutex);
  return voice->pan;
}

void HostSetVoiceFrequency(HostVoice* voice, uint32_t samplesPerSec) {
  if (!voice) return;
  if (samplesPerSec != 0 && (samplesPerSec < kMinRate || samplesPerSec > kMaxRate)) return;
  std::lock_guard<std::mutex> guard(gMutex);
  voice->frequency = samplesPerSec;
}

uint32_t HostGetVoiceStatus(HostVoice* voice) {
  if (!voice) return 0;
  std::lock_guard<std::mutex> guard(gMutex);
  if (!voice->playing) return 0;
  return kVoicePlaying | kVoiceLocSoftware | (voice->looping ? kVoiceLooping : 0);
}

bool HostSetVoiceNotifications(HostVoice* voice, uint32_t count, const uint32_t* offsets,
                               HostEvent* const* events) {
  if (!voice || count > kMaxNotifications) return false;
  if (count > 0 && (!offsets || !events)) return false;
  std::lock_guard<std::mutex> guard(gMutex);
  if (count == 0) {
    voice->notes.clear();  // dropping them is always allowed
    return true;
  }
  if (!voice->notifiable || voice->playing) return false;
  std::vector<Notification> notes;
  for (uint32_t i = 0; i < count; ++i) {
    if (offsets[i] >= voice->data.size() || !events[i]) return false;
    notes.push_back({offsets[i] / voice->frameBytes, events[i]});
  }
  voice->notes = std::move(notes);
  return true;
}
