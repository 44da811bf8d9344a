// KSound: effects decoded into voices, music streamed from an in-memory Ogg file.
#include "engine/sound/KSound.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/host/host_audio.h"
#include "engine/platform/KSystem.h"
#include "engine/sound/KDownmix.h"
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
constexpr uint16_t kWavExtensibleTag = 0xFFFE;
constexpr size_t kWavExtensibleBytes = 40;  // the format chunk with its sub-format
constexpr size_t kWavSubFormatOffset = 24;
constexpr size_t kRiffHeaderBytes = 12;      // "RIFF", size, "WAVE"
constexpr size_t kChunkHeaderBytes = 8;
// The sub-format GUID of PCM data in an extensible format chunk.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr const char* kMemoryName = "(memory)";

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

// One line on stderr for a sound file that exists but cannot be played.
void ReportRefusal(const std::string& name, const char* reason) {
  std::fprintf(stderr, "sound: %s: %s\n", name.c_str(), reason);
}

// A PCM format a voice can hold, described on one line when it is not.
bool CheckVoiceFormat(const KWaveFormat& f, const std::string& name) {
  HostWaveFormat host{f.formatTag, f.channels, f.samplesPerSec, f.bitsPerSample};
  if (HostAudioFormatSupported(host)) return true;
  char reason[160];
  std::snprintf(reason, sizeof reason,
                "not playable (format %u, %u channels, %u bits, %u Hz): only PCM of 8 or 16 bits, "
                "mono or stereo, 100 to 200000 Hz",
                static_cast<unsigned>(f.formatTag), static_cast<unsigned>(f.channels),
                static_cast<unsigned>(f.bitsPerSample), static_cast<unsigned>(f.samplesPerSec));
  ReportRefusal(name, reason);
  return false;
}

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
  sourceName = path;
  const bool ok = LoadSampleFromMemory(image.data(), image.size(), ogg, vol, loopArg, voiceArg);
  sourceName = kMemoryName;
  return ok;
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

namespace {

// Finds the format and the data of a RIFF WAVE file by walking its chunks,
// so chunks of other kinds (lists, cues, facts) are skipped whatever they
// hold. The first data chunk ends the walk. False when the file is not RIFF
// WAVE; *fmtAt stays 0 when no format chunk precedes the data.
bool WalkRiffChunks(const uint8_t* data, size_t size, size_t* fmtAt, size_t* fmtBytes,
                    size_t* dataAt, uint32_t* dataSize, bool* haveData) {
  if (size < kRiffHeaderBytes || std::memcmp(data, "RIFF", 4) != 0 ||
      std::memcmp(data + 8, "WAVE", 4) != 0) {
    return false;
  }
  size_t at = kRiffHeaderBytes;
  while (size - at >= kChunkHeaderBytes) {
    const uint32_t bytes = Le32(data + at + 4);
    const size_t body = at + kChunkHeaderBytes;
    if (std::memcmp(data + at, "data", 4) == 0) {
      *haveData = true;
      *dataAt = body;
      *dataSize = bytes;
      return true;
    }
    if (std::memcmp(data + at, "fmt ", 4) == 0 && *fmtAt == 0) {
      *fmtAt = body;
      *fmtBytes = bytes;
    }
    if (bytes > size - body) break;  // runs past the end
    at = body + bytes + (bytes & 1);  // chunks are padded to even sizes
    if (at > size) break;
  }
  return true;
}

// Anything else: a byte scan for the first "fmt " and the first "data"; the
// data ends the scan. False when the data tag's size field is cut off.
bool ScanForChunks(const uint8_t* data, size_t size, size_t* fmtAt, size_t* fmtBytes,
                   size_t* dataAt, uint32_t* dataSize, bool* haveFmt, bool* haveData) {
  for (size_t i = 0; i < size - 5; ++i) {
    if (!*haveFmt && std::memcmp(data + i, "fmt ", 4) == 0) {
      *haveFmt = true;
      *fmtAt = i + 8;
      if (i + 8 <= size) *fmtBytes = Le32(data + i + 4);
    } else if (std::memcmp(data + i, "data", 4) == 0) {
      if (i + 8 > size) return false;
      *haveData = true;
      *dataAt = i + 8;
      *dataSize = Le32(data + i + 4);
      break;
    }
  }
  return true;
}

}  // namespace

bool KSound::LoadWavImage(const uint8_t* data, size_t size) {
  if (size <= 5) return false;
  size_t fmtAt = 0;
  size_t fmtBytes = kWavFormatBytes;
  bool haveFmt = false;
  bool haveData = false;
  size_t dataAt = 0;
  uint32_t dataSize = 0;
  if (WalkRiffChunks(data, size, &fmtAt, &fmtBytes, &dataAt, &dataSize, &haveData)) {
    haveFmt = fmtAt != 0;
  } else if (!ScanForChunks(data, size, &fmtAt, &fmtBytes, &dataAt, &dataSize, &haveFmt,
                            &haveData)) {
    return false;
  }
  if (!haveData || !haveFmt) {
    ReportRefusal(sourceName, haveData ? "no format chunk before the data" : "no sound data");
    return false;
  }
  if (fmtAt + kWavFormatBytes > size || dataAt > size || dataSize > size - dataAt) {
    ReportRefusal(sourceName, "cut short");
    return false;
  }
  const uint8_t* f = data + fmtAt;
  waveFormat.formatTag = Le16(f);
  waveFormat.channels = Le16(f + 2);
  waveFormat.samplesPerSec = Le32(f + 4);
  waveFormat.avgBytesPerSec = Le32(f + 8);
  waveFormat.blockAlign = Le16(f + 12);
  waveFormat.bitsPerSample = Le16(f + 14);
  waveFormat.extraSize = 0;
  if (waveFormat.formatTag == kWavExtensibleTag) {
    // The real format is the sub-format: PCM is the only one played.
    const bool pcmInside = fmtBytes >= kWavExtensibleBytes &&
                           fmtAt + kWavExtensibleBytes <= size &&
                           std::memcmp(f + kWavSubFormatOffset, kPcmSubFormat, 16) == 0;
    if (pcmInside) waveFormat.formatTag = kPcmTag;
  }
  if (!CheckVoiceFormat(waveFormat, sourceName)) return false;
  pcm.assign(data + dataAt, data + dataAt + dataSize);
  pcmSize = dataSize;
  return FillVoicesFromPcm();
}

bool KSound::LoadOggImage(const uint8_t* data, size_t size) {
  MemorySource source{data, size, 0};
  ov_callbacks callbacks{SourceRead, SourceSeek, nullptr, SourceTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&source, &vf, nullptr, 0, callbacks) < 0) {
    ReportRefusal(sourceName, "not an Ogg Vorbis stream");
    return false;
  }
  vorbis_info* info = ov_info(&vf, -1);
  if (!info || info->channels < 1 || info->rate <= 0) {
    ReportRefusal(sourceName, "Ogg Vorbis stream without channels");
    ov_clear(&vf);
    return false;
  }
  waveFormat.formatTag = kPcmTag;
  waveFormat.channels = static_cast<uint16_t>(StereoChannelsFor(info->channels));
  waveFormat.samplesPerSec = static_cast<uint32_t>(info->rate);
  waveFormat.avgBytesPerSec = waveFormat.samplesPerSec * waveFormat.channels * 2;
  waveFormat.blockAlign = static_cast<uint16_t>(waveFormat.channels * 2);
  waveFormat.bitsPerSample = 16;
  waveFormat.extraSize = kOggExtraSize;
  waveFormat.bitsPerSample = 16;
  if (!CheckVoiceFormat(waveFormat, sourceName)) {
    ov_clear(&vf);
    return false;
  }
  bool ok = true;
  size_t filled = 0;
  for (;;) {
    if (pcm.size() < filled + kDecodeChunk) pcm.resize(filled + kDecodeChunk);
    int bitstream = 0;
    long r = ReadVorbisStereo(&vf, reinterpret_cast<char*>(pcm.data() + filled), kDecodeChunk,
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
  if (!ok || filled == 0) {
    ReportRefusal(sourceName, ok ? "no sound in the Ogg Vorbis stream" : "too long for an effect");
    return false;
  }
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
  sourceName = path;
  const bool ok = OpenStream();
  sourceName = kMemoryName;
  return ok;
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
  waveFormat.channels = static_cast<uint16_t>(info->channels > 0 ? StereoChannelsFor(info->channels) : 0);
  waveFormat.samplesPerSec = static_cast<uint32_t>(info->rate > 0 ? info->rate : 0);
  waveFormat.avgBytesPerSec = waveFormat.samplesPerSec * waveFormat.channels * 2;
  waveFormat.blockAlign = static_cast<uint16_t>(waveFormat.channels * 2);
  waveFormat.bitsPerSample = 16;
  waveFormat.extraSize = kOggExtraSize;
  decoderOpen = true;
  if (!CheckVoiceFormat(waveFormat, sourceName)) return false;
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
