// The process-wide sound device shared by every KSound: the tables that turn
// engine volumes (0..100) and pans (-100..100) into hundredths of a decibel,
// voice creation, and the streaming thread that keeps a music buffer filled.
#pragma once

#include <cstdint>

class KSound;
struct HostVoice;

constexpr int kVolumeTableSize = 101;
constexpr int kPanTableSize = 201;

struct KSoundDevice {
  static bool present;                 // an audio device is open
  static int32_t instanceCount;        // live KSound objects holding the device
  static int32_t volumeTable[kVolumeTableSize];  // engine volume -> hundredths of a dB
  static int32_t panTable[kPanTableSize];        // engine pan + 100 -> pan units
  static int32_t effectsMasterVolume;  // 0..100
  static int32_t musicMasterVolume;    // 0..100
};

// Builds the tables and opens the device (absent when none can be opened).
void InitSoundDevice();
// Closes the device once the last KSound is gone.
void ReleaseSoundDevice();
// (Re)creates voice `index` of `sound` with the sound's wave format, silent,
// play position 1. Null without a device or when the buffer cannot be made.
HostVoice* CreateVoice(KSound* sound, int index, uint32_t bytes, bool streaming);
// Fills the voice with silence and sets its play position to 1.
void ClearVoice(KSound* sound, int index, uint32_t bytes);
// Starts the streaming thread of a music object and waits until it reports.
bool StartStreamThread(KSound* sound);
// Stops voice 0 and ends the streaming thread (waiting for it).
void StopStreamThread(KSound* sound);
