// KSound: the engine's one sound class. An object holds either an effect
// (a WAV or Ogg Vorbis file decoded completely into up to nine identical
// voices, so the effect can overlap itself) or a music stream (an Ogg Vorbis
// file kept in memory and decoded on the fly by a streaming thread into a
// looping buffer of two halves).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HostVoice;
class HostEvent;
struct OggVorbis_File;

constexpr int kMaxSoundVoices = 9;
constexpr uint32_t kStreamHalfBytes = 65536;
constexpr uint32_t kStreamBufferBytes = 2 * kStreamHalfBytes;

// PCM wave format of a sound's data.
struct KWaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  uint16_t extraSize = 0;
};

class KSound {
 public:
  enum Kind : int32_t { kEffect = 0, kMusic = 1 };

  KSound();
  ~KSound();
  KSound(const KSound&) = delete;
  KSound& operator=(const KSound&) = delete;

  // Effect: replaces the content by the file at `path` (a real file system
  // path). Names containing ".ogg" are decoded as Ogg Vorbis, others as WAV
  // (PCM of 8 or 16 bits, mono or stereo, any rate; Vorbis of more channels
  // is mixed down to stereo). A file that cannot be played is refused with
  // one line on stderr.
  bool LoadSample(const char* path, int volume, int loop, int voices);
  // The same from a file image already in memory.
  bool LoadSampleFromMemory(const uint8_t* data, size_t size, bool ogg, int volume,
                            int loop, int voices);
  void Play();                // starts the next voice from its beginning
  void Stop();                // stops all voices
  bool IsPlaying();           // any voice playing
  void SetVolume(int volume); // 0..100 on every voice
  void SetPan(int pan);       // -100 (left) .. 100 (right) on every voice

  // Music: replaces the content by the Ogg Vorbis file at `path`.
  bool LoadStream(const char* path);
  // The same from a file image already in memory (copied).
  bool LoadStreamFromMemory(const uint8_t* data, size_t size);
  void PlayStream(bool loop);  // starts streaming from the beginning
  void StopStream();           // stops, silences the buffer, rewinds the decoder

  // Inspection (tests and tools).
  int32_t GetVolume() const { return volume.load(); }
  int32_t GetVoiceCount() const { return voiceCount; }
  int32_t GetCurrentVoice() const { return currentVoice; }
  HostVoice* GetVoice(int index) const;
  const KWaveFormat& GetWaveFormat() const { return waveFormat; }
  uint32_t GetPcmSize() const { return pcmSize; }
  uint32_t GetHalvesFilled() const { return halvesFilled.load(); }
  bool HasStreamThread() const { return streamThread.joinable(); }

  // The decoder's view of the in-memory music file (datasource = the KSound).
  static size_t MemRead(void* buffer, size_t itemSize, size_t itemCount, void* source);
  static int MemSeek(void* source, int64_t offset, int origin);
  static int MemClose(void* source);
  static long MemTell(void* source);

 private:
  friend HostVoice* CreateVoice(KSound* sound, int index, uint32_t bytes, bool streaming);
  friend void ClearVoice(KSound* sound, int index, uint32_t bytes);
  friend bool StartStreamThread(KSound* sound);
  friend void StopStreamThread(KSound* sound);
  friend void StreamThreadMain(KSound* sound);

  void ReleaseContent();        // voices, decoder, memory file
  void ReleaseVoices();
  bool LoadWavImage(const uint8_t* data, size_t size);
  bool LoadOggImage(const uint8_t* data, size_t size);
  bool FillVoicesFromPcm();
  void FillHalf(int half);
  void StopStreamLocked();
  bool OpenStream();
  void ReapplyVolume();
  void ApplyVolumeLocked(int32_t vol);

  int16_t voiceCount = 1;
  std::atomic<int32_t> volume{80};
  std::atomic<bool> loop{false};
  bool holdsDevice = false;       // this object counts in the device's instance count
  int32_t kind = kEffect;
  int32_t currentVoice = 0;
  KWaveFormat waveFormat;
  std::vector<uint8_t> pcm;     // decoded or copied PCM data of an effect
  uint32_t pcmSize = 0;
  OggVorbis_File* decoder = nullptr;
  bool decoderOpen = false;
  HostVoice* voices[kMaxSoundVoices] = {};

  // Streaming state.
  HostEvent* events[2] = {};
  std::thread streamThread;
  std::atomic<bool> stopRequest{false};
  std::atomic<bool> running{false};      // also the active flag of an effect
  std::atomic<bool> endOfStream{false};
  std::atomic<uint32_t> halvesFilled{0};  // halves filled by the thread, for tests
  std::mutex streamMutex;                 // decoder and stream buffer: thread vs. StopStream
  std::mutex volumeMutex;                 // stored volume and voice volumes change together
  std::mutex startMutex;                  // start handshake
  std::condition_variable startCv;
  int32_t startResult = 0;                // 0 pending, 1 started, -1 failed

  std::string sourceName = "(memory)";  // the file being loaded, for refusal messages

  // Memory file of the music.
  std::vector<uint8_t> memData;
  int64_t memPos = 0;
};
