// KSound: effects decoded into voices, music streamed from an in-memory Ogg file.
#include "engine/sound/KSound.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/host/host_audio.h"
#include "engine/platform/KSystem.h"
#include "engine/sound/KSoundDevice.h"

namespace {

constexpr int32_t kDefaultVolume = 80;
constexpr uint16_t kPcmTag = 1;
constexpr uint16_t kOggExtraSize = 18;
constexpr uint32_t kDecodeChunk = 65536;
constexpr size_t kMaxEffectBytes = 32u << 20;   // longest effect we decode (about 3 minutes)
constexpr long kMaxSoundFileBytes = 256L << 20; // largest sound file we read
constexpr uint32_t kRestartPosition = 1;
constexpr int kWavFormatBytes = 16;

// Reads a whole file; false when it cannot be opened, is empty or too large.
bool ReadWholeFile(const char* path, std::vector<uint8_t>* out) {
  out->clear();
  if (!path) return false;
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = false;
  if (std::fseek(f, 0, SEEK_END) == 0) {
    long size = std::ftell(f);
    if (size > 0 && size <= kMaxSoundFileBytes && std::fseek(f, 0, SEEK_SET) == 0) {
      out->resize(static_cast<size_t>(size));
      ok = std::fread(out->data(), 1, out->size(), f) == out->size();
    }
  }
  std::fclose(f);
  if (!ok) out->clear();
  return ok;
}

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Plain in-memory reader for decoding effects.
struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

size_t SourceRead(void* buffer, size_t itemSize, size_t itemCount, void* source) {
  MemorySource* s = static_cast<MemorySource*>(source);
  if (itemSize == 0 || itemCount == 0) return 0;
  if (itemCount > std::numeric_limits<size_t>::max() / itemSize) return 0;
  size_t bytes = std::min(itemSize * itemCount, s->size - s->pos);
  std::memcpy(buffer, s->data + s->pos, bytes);
  s->pos += bytes;
  return bytes / itemSize;
}

int SourceSeek(void* source, ogg_int64_t offset, int origin) {
  MemorySource* s = static_cast<MemorySource*>(source);
  int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<int64_t>(s->pos)
                                                             : static_cast<int64_t>(s->size);
  int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(s->size)) return -1;
  s->pos = static_cast<size_t>(target);
  return 0;
}

long SourceTell(void* source) { return static_cast<long>(static_cast<MemorySource*>(source)->pos); }

int MemCloseAdapter(void* source) { return KSound::MemClose(source); }
int MemSeekAdapter(void* source, ogg_int64_t offset, int origin) {
  return KSound::MemSeek(source, offset, origin);
}

}  // namespace

KSound::KSound() {
  if (KSoundDevice::instanceCount > 0) {
    KSoundDevice::instanceCount += 1;
    holdsDevice = true;
  } else {
    InitSoundDevice();
    holdsDevice = KSoundDevice::instanceCount > 0;
  }
  volume = kDefaultVolume;
}

KSound::~KSound() {
  StopStreamThread(this);
  ReleaseContent();
  if (holdsDevice) {
    KSoundDevice::instanceCount -= 1;
    if (KSoundDevice::instanceCount <= 0) ReleaseSoundDevice();
  }
}

HostVoice* KSound::GetVoice(int index) const {
  return index >= 0 && index < kMaxSoundVoices ? voices[index] : nullptr;
}

void KSound::ReleaseVoices() {
  for (HostVoice*& v : voices) {
    if (v) {
      HostStopVoice(v);
      HostReleaseVoice(v);
      v = nullptr;
    }
  }
}

void KSound::ReleaseContent() {
  ReleaseVoices();
  if (decoder) {
    if (decoderOpen) ov_clear(decoder);
    delete decoder;
    decoder = nullptr;
  }
  decoderOpen = false;
  memData.clear();
  memData.shrink_to_fit();
  memPos = 0;
  pcm.clear();
  pcm.shrink_to_fit();
  pcmSize = 0;
}

// --- effects -----------------------------------------------------------------

bool KSound::LoadSample(const char* path, int vol, int loopArg, int voiceArg) {
  std::vector<uint8_t> image;
  bool read = ReadWholeFile(path, &image);
  bool ogg = path && std::strstr(path, ".ogg") != nullptr;
  if (!read) {
    // Still discards the previous content, like any load.
    LoadSampleFromMemory(nullptr, 0, ogg, vol, loopArg, voiceArg);
    return false;
  }
  return LoadSampleFromMemory(image.data(), image.size(), ogg, vol, loopArg, voiceArg);
}

bool KSound::LoadSampleFromMemory(const uint8_t* data, size_t size, bool ogg, int vol, int loopArg,
                                  int voiceArg) {
  kind = kEffect;
  currentVoice = 0;
  StopStreamThread(this);
  ReleaseContent();
  loop = loopArg == 1;
  volume = vol;
  voiceCount = static_cast<int16_t>(voiceArg < 1 ? 1 : voiceArg > kMaxSoundVoices ? kMaxSoundVoices
                                                                                   : voiceArg);
  running = true;
  if (!data || size == 0) return false;
  bool ok = ogg ? LoadOggImage(data, size) : LoadWavImage(data, size);
  if (!ok) {
    ReleaseContent();
    return false;
  }
  SetPan(0);
  return true;
}

bool KSound::LoadWavImage(const uint8_t* data, size_t size) {
  // Scan for the first "fmt " and the first "data"; the data ends the scan.
  if (size <= 5) return false;
  size_t fmtAt = 0;
  bool haveFmt = false;
  bool haveData = false;
  size_t dataAt = 0;
  uint32_t dataSize = 0;
  for (size_t i = 0; i < size - 5; ++i) {
    if (!haveFmt && std::memcmp(data + i, "fmt ", 4) == 0) {
      haveFmt = true;
      fmtAt = i + 8;
    } else if (std::memcmp(data + i, "data", 4) == 0) {
      if (i + 8 > size) return false;  // size field cut off
      haveData = true;
      dataAt = i + 8;
      dataSize = Le32(data + i + 4);
      break;
    }
  }
  if (!haveData || !haveFmt) return false;
  if (fmtAt + kWavFormatBytes > size) return false;  // truncated format
  if (dataSize > size - dataAt) return false;          // data runs past the file
  const uint8_t* f = data + fmtAt;
  waveFormat.formatTag = Le16(f);
  waveFormat.channels = Le16(f + 2);
  waveFormat.samplesPerSec = Le32(f + 4);
  waveFormat.avgBytesPerSec = Le32(f + 8);
  waveFormat.blockAlign = Le16(f + 12);
  waveFormat.bitsPerSample = Le16(f + 14);
  waveFormat.extraSize = 0;
  pcm.assign(data + dataAt, data + dataAt + dataSize);
  pcmSize = dataSize;
  return FillVoicesFromPcm();
}

bool KSound::LoadOggImage(const uint8_t* data, size_t size) {
  MemorySource source{data, size, 0};
  ov_callbacks callbacks{SourceRead, SourceSeek, nullptr, SourceTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) < 0) return false;
  vorbis_info* info = ov_info(&vf, -1);
  if (!info || info->channels < 1 || info->channels > 2 || info->rate <= 0) {
    ov_clear(&vf);
    return false;
  }
  waveFormat.formatTag = kPcmTag;
  waveFormat.channels = static_cast<uint16_t>(info->channels);
  waveFormat.samplesPerSec = static_cast<uint32_t>(info->rate);
  waveFormat.avgBytesPerSec = waveFormat.samplesPerSec * waveFormat.channels * 2;
  waveFormat.blockAlign = static_cast<uint16_t>(waveFormat.channels * 2);
  waveFormat.bitsPerSample = 16;
  waveFormat.extraSize = kOggExtraSize;
  bool ok = true;
  size_t filled = 0;
  for (;;) {
    if (pcm.size() < filled + kDecodeChunk) pcm.resize(filled + kDecodeChunk);
    int bitstream = 0;
    long r = ov_read(&vf, reinterpret_cast<char*>(pcm.data() + filled), kDecodeChunk, 0, 2, 1,
                     &bitstream);
    if (r <= 0) break;
    filled += static_cast<size_t>(r);
    if (filled > kMaxEffectBytes) {
      ok = false;
      break;
    }
  }
  ov_clear(&vf);
  pcm.resize(filled);
  pcmSize = static_cast<uint32_t>(filled);
  if (!ok || filled == 0) return false;
  return FillVoicesFromPcm();
}

bool KSound::FillVoicesFromPcm() {
  for (int i = 0; i < voiceCount; ++i) {
    HostVoice* v = CreateVoice(this, i, pcmSize, false);
    if (!v) return false;
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    if (!HostLockVoice(v, 0, pcmSize, true, &p1, &n1, &p2, &n2)) return false;
    std::memcpy(p1, pcm.data(), std::min<size_t>(n1, pcm.size()));
    HostUnlockVoice(v);
  }
  return true;
}

void KSound::Play() {
  if (!voices[0]) return;
  currentVoice += 1;
  if (currentVoice >= voiceCount) currentVoice = 0;
  HostVoice* v = voices[currentVoice];
  if (!v) return;
  HostSetVoicePosition(v, 0);
  SetVolume(volume.load());
  HostPlayVoice(v, loop.load());
}

void KSound::Stop() {
  if (!voices[0]) return;
  for (int i = 0; i < voiceCount; ++i) HostStopVoice(voices[i]);
}

bool KSound::IsPlaying() {
  if (!running.load() || !voices[0] || voiceCount < 1) return false;
  for (int i = 0; i < voiceCount; ++i) {
    if (HostGetVoiceStatus(voices[i]) &
        (kVoicePlaying | kVoiceLooping | kVoiceLocHardware | kVoiceLocSoftware)) {
      return true;
    }
  }
  return false;
}

void KSound::SetVolume(int vol) {
  if (vol < 0) vol = 0;
  if (vol > 100) vol = 100;
  std::lock_guard<std::mutex> guard(volumeMutex);
  volume = vol;
  ApplyVolumeLocked(vol);
}

// Applies the stored volume again (the streaming thread, when the master changes).
void KSound::ReapplyVolume() {
  std::lock_guard<std::mutex> guard(volumeMutex);
  ApplyVolumeLocked(volume.load());
}

void KSound::ApplyVolumeLocked(int32_t vol) {
  int32_t master = kind == kMusic ? KSoundDevice::musicMasterVolume
                                  : KSoundDevice::effectsMasterVolume;
  int32_t effective = vol * master / 100;
  if (effective < 0) effective = 0;
  if (effective > 99) effective = 99;
  for (HostVoice* v : voices) {
    if (!v) break;
    HostSetVoiceVolume(v, KSoundDevice::volumeTable[effective]);
  }
}

void KSound::SetPan(int pan) {
  if (pan < -100 || pan > 100) pan = 100;
  for (HostVoice* v : voices) {
    if (!v) break;
    HostSetVoicePan(v, KSoundDevice::panTable[pan + 100]);
  }
}

// --- music -------------------------------------------------------------------

size_t KSound::MemRead(void* buffer, size_t itemSize, size_t itemCount, void* source) {
  KSound* s = static_cast<KSound*>(source);
  if (!s || !buffer) return static_cast<size_t>(-1);
  if (itemSize == 0 || itemCount == 0) return 0;
  if (itemCount > std::numeric_limits<size_t>::max() / itemSize) return static_cast<size_t>(-1);
  size_t bytes = itemSize * itemCount;
  int64_t size = static_cast<int64_t>(s->memData.size());
  if (s->memPos >= size) {
    s->memPos = 0;  // the next read starts over
    return 0;
  }
  size_t n = std::min(bytes, static_cast<size_t>(size - s->memPos));
  std::memcpy(buffer, s->memData.data() + s->memPos, n);
  s->memPos += static_cast<int64_t>(n);
  return n / itemSize;
}

int KSound::MemSeek(void* source, int64_t offset, int origin) {
  KSound* s = static_cast<KSound*>(source);
  if (!s) return -1;
  int64_t size = static_cast<int64_t>(s->memData.size());
  int64_t pos;
  switch (origin) {
    case SEEK_SET: pos = offset; break;
    case SEEK_CUR: pos = s->memPos + offset; break;
    case SEEK_END: pos = size - offset; break;
    default: pos = size; break;
  }
  if (pos > size) pos = size;
  if (pos < 0) pos = 0;
  s->memPos = pos;
  return 0;
}

int KSound::MemClose(void*) { return 0; }

long KSound::MemTell(void* source) {
  KSound* s = static_cast<KSound*>(source);
  return s ? static_cast<long>(s->memPos) : -1;
}

bool KSound::LoadStream(const char* path) {
  kind = kMusic;
  StopStreamThread(this);
  ReleaseContent();
  if (!ReadWholeFile(path, &memData)) return false;
  return OpenStream();
}

bool KSound::LoadStreamFromMemory(const uint8_t* data, size_t size) {
  kind = kMusic;
  StopStreamThread(this);
  ReleaseContent();
  if (!data || size == 0) return false;
  memData.assign(data, data + size);
  return OpenStream();
}

bool KSound::OpenStream() {
  decoder = new OggVorbis_File;
  std::memset(decoder, 0, sizeof *decoder);
  ov_callbacks callbacks{MemRead, MemSeekAdapter, MemCloseAdapter, MemTell};
  bool opened = ov_open_callbacks(this, decoder, nullptr, 0, callbacks) == 0;
  vorbis_info* info = opened ? ov_info(decoder, -1) : nullptr;
  if (!info) {
    if (opened) ov_clear(decoder);
    delete decoder;
    decoder = nullptr;
    memData.clear();
    KSystem::ShowMessage("error", "error could not detect ogg file");
    return false;
  }
  waveFormat.formatTag = kPcmTag;
  waveFormat.channels = static_cast<uint16_t>(info->channels > 0 && info->channels < 65536 ? info->channels : 0);
  waveFormat.samplesPerSec = static_cast<uint32_t>(info->rate > 0 ? info->rate : 0);
  waveFormat.avgBytesPerSec = waveFormat.samplesPerSec * waveFormat.channels * 2;
  waveFormat.blockAlign = static_cast<uint16_t>(waveFormat.channels * 2);
  waveFormat.bitsPerSample = 16;
  waveFormat.extraSize = kOggExtraSize;
  decoderOpen = true;
  memPos = 0;
  if (!CreateVoice(this, 0, kStreamBufferBytes, true)) return false;
  endOfStream = false;
  ov_time_seek(decoder, 0.0);
  HostSetVoicePosition(voices[0], kRestartPosition);
  SetPan(0);
  return true;
}

void KSound::PlayStream(bool loopArg) {
  StopStreamThread(this);
  if (!voices[0]) return;
  if (decoderOpen) ov_time_seek(decoder, 0.0);
  HostStopVoice(voices[0]);
  HostSetVoicePosition(voices[0], 0);
  // Set before the thread starts so its first fill sees this play's state.
  endOfStream = false;
  loop = loopArg;
  stopRequest = false;
  std::this_thread::yield();
  StartStreamThread(this);
  std::this_thread::yield();
  HostPlayVoice(voices[0], true);
  SetVolume(volume.load());
}

void KSound::StopStream() {
  std::lock_guard<std::mutex> guard(streamMutex);
  StopStreamLocked();
}

void KSound::StopStreamLocked() {
  if (!voices[0]) return;
  HostStopVoice(voices[0]);
  ClearVoice(this, 0, kStreamBufferBytes);
  if (decoderOpen) ov_time_seek(decoder, 0.0);
  HostSetVoicePosition(voices[0], kRestartPosition);
}
