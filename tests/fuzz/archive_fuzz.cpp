// Fuzzes archive lookup and member reading: the input is written out as an
// archive, registered, and members are opened and read back through KFile the
// way the picture loaders read them.
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/host/host_system.h"
#include "engine/platform/KFile.h"
#include "engine/platform/KSystem.h"

namespace {

constexpr size_t kHeaderNameLength = 100;
constexpr size_t kTarBlock = 512;
// Lower-cased full paths never reach the disk: the program directory does
// not exist, so everything a lookup returns comes from the archive.
constexpr const char *kProgramDirectory = "/nonexistent-Fuzz-Dir";

std::string archivePath;

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string Lower(std::string text) {
  for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Opens name the way a loader does and reads the whole stream back.
void OpenAndRead(const std::string &name, size_t inputSize) {
  KFile file;
  if (file.Open(Lower(KSystem::MakeFilePath(name.c_str())).c_str(), KFILE_READ) != KFILE_OK) {
    return;
  }
  unsigned size = 0;
  Check(file.Seek(KFILE_SEEK_END, 0) == KFILE_OK);
  Check(file.Tell(&size) == KFILE_OK);
  Check(size <= inputSize);
  Check(file.Seek(KFILE_SEEK_SET, 0) == KFILE_OK);
  std::vector<unsigned char> data(size + 1);
  if (size > 0) Check(file.Read(data.data(), size) == KFILE_OK);
  // Nothing lies beyond the member.
  Check(file.Read(data.data(), 1) == KFILE_READERROR);
  file.Seek(KFILE_SEEK_CUR, -1000);
  file.Seek(KFILE_SEEK_SET, static_cast<int>(size / 2));
  unsigned half = 0;
  Check(file.Tell(&half) == KFILE_OK && half == size / 2);
  if (size - half > 0) Check(file.Read(data.data(), size - half) == KFILE_OK);
}

// Names worth looking up: the first header's name, one from the last block
// the input could hold a header in, and fixed ones.
std::vector<std::string> NamesFrom(const uint8_t *data, size_t size) {
  std::vector<std::string> names = {"data.dat", "tarn/world1.prp", "sprites.bmp", "sub/a.bmp"};
  for (size_t offset : {size_t{0}, size >= kTarBlock * 2 ? kTarBlock : size_t{0}}) {
    if (offset >= size) continue;
    const char *text = reinterpret_cast<const char *>(data + offset);
    size_t length = 0;
    while (length < kHeaderNameLength && offset + length < size && text[length] != '\0') ++length;
    names.emplace_back(text, length);
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // Memory-backed when available: the archive is rewritten for every input.
  std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  pattern += "/bramblets-archive-fuzz.XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) std::abort();
  close(fd);
  archivePath = pattern;
  std::atexit([] { unlink(archivePath.c_str()); });
  HostOverrideProgramDirectory(kProgramDirectory);
  KSystem::InitSystem();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  FILE *out = std::fopen(archivePath.c_str(), "wb");
  if (out == nullptr) return 0;
  const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
  std::fclose(out);
  if (!written) return 0;

  if (RegisterArchive(archivePath.c_str()) != KFILE_OK) return 0;
  const std::vector<std::string> names = NamesFrom(data, size);
  for (const std::string &name : names) OpenAndRead(name, size);
  // A member may itself be an archive: register it and search inside it.
  for (const std::string &name : names) {
    const std::string path = Lower(KSystem::MakeFilePath(name.c_str()));
    if (RegisterArchive(path.c_str()) == KFILE_OK) {
      for (const std::string &inner : names) OpenAndRead(inner, size);
      break;
    }
  }
  ReleaseArchives();
  return 0;
}
