// Configuration and progress file. The file is decoded and encoded in memory
// and written through a synced temporary file renamed over it, so the bytes
// on disk are only ever a complete stored file: a crash, kill or power cut at
// any moment keeps the progress last saved. The game saves it whenever what
// it holds changes (SaveProgress), not only at start-up and shutdown.
#include "game/config_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game_context.h"
#include "game/user_files.h"
#include "engine/platform/KSystem.h"

int32_t stageStatus[kEpisodeCount + 1][kStageCount + 1];
uint8_t configFlag = kDefaultConfigFlag;

namespace {

constexpr const char* kMagic = "BR";
constexpr size_t kPathCapacity = kSystemPathCapacity;

std::string savedConfig;  // stored bytes of the last successful write

// Reads at most kConfigMaxBytes of a file; false when it cannot be opened.
bool ReadBytes(const char* path, uint8_t* buffer, size_t* length) {
  *length = 0;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  *length = std::fread(buffer, 1, kConfigMaxBytes, f);
  std::fclose(f);
  return true;
}

void FlipBytes(uint8_t* bytes, size_t length) {
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(bytes[i] + kConfigByteOffset);
}

// Cursor over the plain text for the whitespace-tolerant reading.
struct TextReader {
  const char* p;
  const char* end;

  void SkipSpace() {
    while (p < end && std::isspace(static_cast<unsigned char>(*p))) ++p;
  }
  bool Token() {
    SkipSpace();
    if (p >= end) return false;
    while (p < end && !std::isspace(static_cast<unsigned char>(*p))) ++p;
    return true;
  }
  // A decimal integer as "%d" takes it; values beyond 32 bits are clamped.
  bool Int(int32_t* out) {
    SkipSpace();
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
      negative = *q == '-';
      ++q;
    }
    if (q >= end || !std::isdigit(static_cast<unsigned char>(*q))) return false;
    int64_t value = 0;
    while (q < end && std::isdigit(static_cast<unsigned char>(*q))) {
      if (value < INT64_C(1) << 40) value = value * 10 + (*q - '0');
      ++q;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    *out = static_cast<int32_t>(value);
    p = q;
    return true;
  }
};

}  // namespace

void SetConfigDefaults() {
  reachedStage = kDefaultReachedStage;
  editorUnlocked = 0;
  std::memset(stageStatus, 0, sizeof stageStatus);
  effectsVolume = kDefaultVolume;
  musicVolume = kDefaultVolume;
  configFlag = kDefaultConfigFlag;
}

size_t FormatConfigText(char* buffer, size_t capacity, bool atSign) {
  if (!buffer || capacity == 0) return 0;
  buffer[0] = '\0';
  size_t used = 0;
  // Appends one formatted value; the text is cut at the buffer's end.
  auto put = [&](const char* format, int value) {
    if (used + 1 >= capacity) return;
    int n = std::snprintf(buffer + used, capacity - used, format, value);
    if (n < 0) return;
    used = std::min(used + static_cast<size_t>(n), capacity - 1);
  };
  put("BR\n", 0);
  put("%d\n", reachedStage);
  put("%d\n", editorUnlocked);
  for (int32_t s = 1; s <= kStageCount; ++s) {
    for (int32_t e = 1; e <= kEpisodeCount; ++e) put("%d ", stageStatus[e][s]);
  }
  put("\n", 0);
  put("%d\n", effectsVolume);
  put("%d\n", musicVolume);
  put("%d\n", configFlag);
  if (atSign) put("@", 0);
  return used;
}

bool ParseConfigText(const char* text, size_t length) {
  if (!text) return false;
  TextReader in{text, text + length};
  if (!in.Token()) return false;  // the magic, not compared again
  if (!in.Int(&reachedStage)) return false;
  if (!in.Int(&editorUnlocked)) return false;
  for (int32_t s = 1; s <= kStageCount; ++s) {
    for (int32_t e = 1; e <= kEpisodeCount; ++e) {
      if (!in.Int(&stageStatus[e][s])) return false;
    }
  }
  if (!in.Int(&effectsVolume)) return false;
  if (!in.Int(&musicVolume)) return false;
  int32_t flag = 0;  // read as a whole number, kept as a byte
  if (!in.Int(&flag)) return false;
  configFlag = static_cast<uint8_t>(flag);
  return true;
}

bool HasStoredMagic(const uint8_t* bytes, size_t length) {
  size_t i = 0;
  while (i < length && std::isspace(bytes[i])) ++i;
  return length - i >= 2 && bytes[i] == static_cast<uint8_t>(kMagic[0] + kConfigByteOffset) &&
         bytes[i + 1] == static_cast<uint8_t>(kMagic[1] + kConfigByteOffset);
}

void ReadConfig() {
  // Start from the defaults: a file that is missing, unreadable or cut short
  // leaves them (never silent volumes of 0).
  SetConfigDefaults();
  char path[kPathCapacity];
  uint8_t bytes[kConfigMaxBytes + 1];
  size_t length = 0;
  const bool named = UserFileReadPath(kConfigFileName, path, sizeof path);
  errno = 0;
  const bool opened = named && ReadBytes(path, bytes, &length);
  const bool missing = !named || (!opened && errno == ENOENT);
  bool usable = opened && HasStoredMagic(bytes, length);
  if (usable) {
    FlipBytes(bytes, length);
    usable = ParseConfigText(reinterpret_cast<const char*>(bytes), length);
    if (!usable) {
      std::fprintf(stderr, "bramblets2: %s is damaged; what is missing keeps its default\n", path);
    }
  } else {
    // Not a stored file (missing, or plain text): the default file's values.
    char text[kConfigMaxBytes];
    size_t n = FormatConfigText(text, sizeof text, true);
    ParseConfigText(text, n);
  }
  // Whatever could not be read is kept aside before the file is replaced.
  if (!usable && !missing) SetFileAside(path);
  WriteConfig();
}

bool WriteConfig() {
  char text[kConfigMaxBytes];
  size_t length = FormatConfigText(text, sizeof text, false);
  FlipBytes(reinterpret_cast<uint8_t*>(text), length);
  char path[kPathCapacity];
  if (!UserFileWritePath(kConfigFileName, path, sizeof path)) return false;
  if (!WriteFileReplacing(path, text, length)) return false;
  savedConfig.assign(text, length);
  return true;
}

bool SaveProgress() {
  char text[kConfigMaxBytes];
  size_t length = FormatConfigText(text, sizeof text, false);
  FlipBytes(reinterpret_cast<uint8_t*>(text), length);
  if (savedConfig.size() == length && std::memcmp(savedConfig.data(), text, length) == 0) {
    return true;
  }
  return WriteConfig();
}

bool FlipConfigBytes(const char* path) {
  if (!path) return false;
  uint8_t bytes[kConfigMaxBytes + 1];
  size_t length = 0;
  if (!ReadBytes(path, bytes, &length)) return false;
  FlipBytes(bytes, length);
  return WriteFileReplacing(path, bytes, length);
}
