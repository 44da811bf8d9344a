// Fuzzes the configuration file: the input is stored as "tarn/br2.cfg" (as
// is, and with the stored magic in front), read at start-up, and the file
// written back must read back to the same values.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/host/host_system.h"
#include "engine/platform/KSystem.h"
#include "game/config_file.h"
#include "game/game_context.h"

namespace {

std::string folder;

void Check(bool condition) {
  if (!condition) std::abort();
}

void WriteCfg(const uint8_t* prefix, size_t prefixSize, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen((folder + "/tarn/br2.cfg").c_str(), "wb");
  Check(f != nullptr);
  if (prefixSize) Check(std::fwrite(prefix, 1, prefixSize, f) == prefixSize);
  if (size) Check(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);
}

struct Values {
  int32_t reached, unlocked, effects, music;
  uint8_t flag;
  int32_t status[kEpisodeCount + 1][kStageCount + 1];
};

Values Snapshot() {
  Values v;
  std::memset(&v, 0, sizeof v);
  v.reached = reachedStage;
  v.unlocked = editorUnlocked;
  v.effects = effectsVolume;
  v.music = musicVolume;
  v.flag = configFlag;
  std::memcpy(v.status, stageStatus, sizeof v.status);
  return v;
}

// Whatever was read is written back in stored form and reads back the same.
void ReadAndCheckRoundTrip() {
  ReadConfig();
  Values first = Snapshot();
  SetConfigDefaults();
  ReadConfig();
  Values second = Snapshot();
  Check(std::memcmp(&first, &second, sizeof first) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/configfuzzXXXXXX";
  Check(mkdtemp(pattern) != nullptr);
  folder = pattern;
  Check(std::system(("mkdir -p '" + folder + "/tarn'").c_str()) == 0);
  setenv("XDG_DATA_HOME", (folder + "/xdg").c_str(), 1);
  HostOverrideProgramDirectory(folder.c_str());
  KSystem::InitSystem();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Plain text straight into the reader.
  SetConfigDefaults();
  ParseConfigText(reinterpret_cast<const char*>(data), size);

  // The bytes as a file on disk, then behind the stored magic with every
  // byte stored (+128), so the parser sees the input as plain text.
  WriteCfg(nullptr, 0, data, size);
  ReadAndCheckRoundTrip();
  const uint8_t magic[] = {uint8_t('B' + 128), uint8_t('R' + 128), uint8_t('\n' + 128)};
  std::string stored(reinterpret_cast<const char*>(data), size);
  for (char& c : stored) c = static_cast<char>(static_cast<uint8_t>(c) + 128);
  WriteCfg(magic, sizeof magic, reinterpret_cast<const uint8_t*>(stored.data()), stored.size());
  ReadAndCheckRoundTrip();
  return 0;
}
