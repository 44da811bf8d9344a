// The audio device: one SDL output (44.1 kHz, stereo, signed 16-bit) that
// mixes "voices". A voice is a byte buffer in its own PCM format with a play
// position, looping, volume (hundredths of a dB), pan and notification
// positions that signal events when the play cursor reaches them. When no
// device could be opened every voice operation quietly fails or does nothing.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

constexpr int kHostAudioRate = 44100;
constexpr int kHostAudioChannels = 2;

// Voice status bits.
constexpr uint32_t kVoicePlaying = 0x1;
constexpr uint32_t kVoiceLooping = 0x4;
constexpr uint32_t kVoiceLocHardware = 0x8;
constexpr uint32_t kVoiceLocSoftware = 0x10;

constexpr int32_t kVoiceVolumeSilent = -10000;  // hundredths of a dB
constexpr int32_t kVoicePanLeft = -10000;
constexpr int32_t kVoicePanRight = 10000;

// An auto-reset event: Set wakes one waiter (or the next Wait) and resets.
class HostEvent {
 public:
  explicit HostEvent(const char* name = "") : name_(name ? name : "") {}
  void Set();
  void Reset();
  // True when signalled within `timeoutMs`; consumes the signal.
  bool Wait(uint32_t timeoutMs);
  const std::string& Name() const { return name_; }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_ = false;
  std::string name_;
};

struct HostWaveFormat {
  uint16_t formatTag;       // 1 = PCM (the only one accepted)
  uint16_t channels;        // 1 or 2
  uint32_t samplesPerSec;   // 100 .. 200000
  uint16_t bitsPerSample;   // 8 (unsigned) or 16 (signed little-endian)
};

struct HostVoice;

// True for the formats a voice can hold: PCM, 1 or 2 channels, 8 or 16 bits,
// 100 .. 200000 samples per second.
bool HostAudioFormatSupported(const HostWaveFormat& format);

// Test seam: with manual mixing on, opening the device makes a virtual device
// without SDL; nothing plays until HostAudioMix is called. Set before opening.
// Also forgets an earlier failure to open the real device, which is otherwise
// not retried.
void HostAudioSetManualMix(bool manual);
// Mixes `frames` stereo frames into `out` (2 x frames samples) in manual mode;
// fills silence and returns false otherwise.
bool HostAudioMix(int16_t* out, uint32_t frames);

bool HostAudioOpen();     // true when a device (real or manual) is available
void HostAudioClose();    // releases every voice that is left and the device
bool HostAudioIsOpen();

// Voices. Creation fails (null) without a device, for an unsupported format,
// or for a size below one frame or above the device limit.
HostVoice* HostCreateVoice(const HostWaveFormat& format, uint32_t bytes, bool notifications);
void HostReleaseVoice(HostVoice* voice);
uint32_t HostVoiceSize(const HostVoice* voice);
// Lock `bytes` from `offset` (wrapping at the end: a second part starts at 0);
// `entire` locks the whole buffer. The memory holds the current contents and
// is written into the voice by HostUnlockVoice.
bool HostLockVoice(HostVoice* voice, uint32_t offset, uint32_t bytes, bool entire,
                   void** part1, uint32_t* bytes1, void** part2, uint32_t* bytes2);
void HostUnlockVoice(HostVoice* voice);
bool HostPlayVoice(HostVoice* voice, bool loop);
void HostStopVoice(HostVoice* voice);
void HostSetVoicePosition(HostVoice* voice, uint32_t position);  // rounds down to a frame
uint32_t HostGetVoicePosition(HostVoice* voice);
void HostSetVoiceVolume(HostVoice* voice, int32_t volume);
int32_t HostGetVoiceVolume(HostVoice* voice);
void HostSetVoicePan(HostVoice* voice, int32_t pan);
int32_t HostGetVoicePan(HostVoice* voice);
void HostSetVoiceFrequency(HostVoice* voice, uint32_t samplesPerSec);  // 0 = the format's rate
uint32_t HostGetVoiceStatus(HostVoice* voice);
// Each offset signals its event when the play cursor reaches it. Needs a voice
// made with notifications; only while the voice is stopped.
bool HostSetVoiceNotifications(HostVoice* voice, uint32_t count, const uint32_t* offsets,
                               HostEvent* const* events);
