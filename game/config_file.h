// The configuration and progress file "tarn\br2.cfg": the stage last started,
// the editor unlock, the statuses of every stage, the two volumes and a flag.
// On disk every byte is stored plus 128; the plain form is text, one value per
// line (the statuses on one line, stage by stage, episodes 1, 2, 3 each).
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/game_state.h"

constexpr const char* kConfigFileName = "tarn\\br2.cfg";
constexpr size_t kConfigMaxBytes = 3000;   // longer files are read up to here
constexpr uint8_t kConfigByteOffset = 128; // stored byte = plain byte + 128

constexpr int32_t kDefaultReachedStage = 1;
constexpr int32_t kDefaultVolume = 50;
constexpr uint8_t kDefaultConfigFlag = 1;

// [episode 1..3][stage 1..20]: 0 not completed, any other value completed.
extern int32_t stageStatus[kEpisodeCount + 1][kStageCount + 1];
extern uint8_t configFlag;  // carried by the file, written back unchanged

// Start-up: reads the file (defaults when it is missing or not in stored
// form), then writes it back in stored form. A file that exists but cannot be
// read whole is kept aside as "br2.cfg.bad" and said on stderr.
void ReadConfig();
// Writes the stored form of the current values, crash-safe and durable;
// false (said on stderr, the old file untouched) when it could not be written.
bool WriteConfig();
// Save point: WriteConfig when the values differ from those last written.
bool SaveProgress();
// Adds 128 to every byte of the file (at most kConfigMaxBytes are kept) and
// writes it back crash-safe; false when it cannot be read or written.
bool FlipConfigBytes(const char* path);

// Puts every stored value back to its default.
void SetConfigDefaults();
// Plain form of the current values, with the default file's final at sign
// when atSign is set. Returns the length (the text is cut at capacity - 1).
size_t FormatConfigText(char* buffer, size_t capacity, bool atSign);
// Reads the plain form: whitespace-tolerant, numbers in file order; a missing
// or malformed number stops the reading and leaves the rest unchanged.
// True when every value was read.
bool ParseConfigText(const char* text, size_t length);
// True when the stored bytes start (after whitespace) with the stored magic.
bool HasStoredMagic(const uint8_t* bytes, size_t length);
