// Generates the game's sound effects and music as Ogg Vorbis files:
//   soundgen --out DIR [--wav DIR] [--only NAME] [--jobs N] [--time]
// --wav also writes each rendered sound as a 16-bit WAV for listening;
// --time prints how long each file and the whole run took.
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "catalogue.h"
#include "ogg_io.h"

using namespace soundgen;

namespace {

constexpr int kMaxJobs = 8;

// Creates the folder and any missing parents.
bool MakeDir(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string parent = path.substr(0, slash);
    if (mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

// Writes through a temporary name, so an interrupted run never leaves a
// truncated file under the real name.
bool WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  const std::string temp = path + ".part";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0 || !ok) {
    std::remove(temp.c_str());
    return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFFu);
  Put16(out, v >> 16);
}

std::vector<uint8_t> WavOf(const Pcm& pcm) {
  std::vector<uint8_t> out;
  const auto bytes = static_cast<uint32_t>(pcm.samples.size() * 2);
  const auto channels = static_cast<uint32_t>(pcm.channels);
  const auto rate = static_cast<uint32_t>(pcm.rate);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  Put32(out, 36 + bytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(out, 16);
  Put16(out, 1);
  Put16(out, channels);
  Put32(out, rate);
  Put32(out, rate * channels * 2);
  Put16(out, channels * 2);
  Put16(out, 16);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  Put32(out, bytes);
  for (int16_t s : pcm.samples) Put16(out, static_cast<uint16_t>(s));
  return out;
}

int Usage() {
  std::fprintf(stderr, "usage: soundgen --out DIR [--wav DIR] [--only NAME] [--jobs N] [--time]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, wavDir, only;
  bool timing = false;
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--out" && hasValue) outDir = argv[++i];
    else if (arg == "--wav" && hasValue) wavDir = argv[++i];
    else if (arg == "--only" && hasValue) only = argv[++i];
    else if (arg == "--jobs" && hasValue) jobs = std::atoi(argv[++i]);
    else if (arg == "--time") timing = true;
    else return Usage();
  }
  if (outDir.empty() || jobs < 1) return Usage();
  jobs = std::min(jobs, kMaxJobs);
  if (!MakeDir(outDir) || (!wavDir.empty() && !MakeDir(wavDir))) {
    std::fprintf(stderr, "soundgen: cannot create the output folder\n");
    return 1;
  }

  // Longest work first so that two workers finish together.
  std::vector<const SoundDef*> work;
  for (const SoundDef& d : Catalogue())
    if (only.empty() || only == d.name) work.push_back(&d);
  if (work.empty()) {
    std::fprintf(stderr, "soundgen: no sound named %s\n", only.c_str());
    return 1;
  }
  std::stable_sort(work.begin(), work.end(),
                   [](const SoundDef* a, const SoundDef* b) { return a->music && !b->music; });

  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex printLock;
  auto worker = [&]() {
    for (size_t i = next++; i < work.size(); i = next++) {
      const SoundDef& def = *work[i];
      const auto t0 = Clock::now();
      std::vector<uint8_t> ogg;
      std::string error;
      bool ok = BuildSound(def, &ogg, &error);
      if (ok && !WriteFile(outDir + "/" + def.name, ogg)) {
        ok = false;
        error = std::string(def.name) + ": cannot write the file";
      }
      if (ok && !wavDir.empty()) {
        Pcm pcm;
        std::string wav = wavDir + "/" + def.name;
        wav.replace(wav.size() - 4, 4, ".wav");
        ok = DecodeOgg(ogg.data(), ogg.size(), &pcm) && WriteFile(wav, WavOf(pcm));
        if (!ok) error = std::string(def.name) + ": cannot write the WAV copy";
      }
      const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
      std::lock_guard<std::mutex> lock(printLock);
      if (!ok) {
        failed = true;
        std::fprintf(stderr, "soundgen: %s\n", error.c_str());
      } else if (timing) {
        std::printf("%-20s %7.3f s  %8zu bytes\n", def.name, seconds, ogg.size());
      }
    }
  };
  std::vector<std::thread> pool;
  for (int j = 1; j < jobs; ++j) pool.emplace_back(worker);
  worker();
  for (std::thread& t : pool) t.join();
  if (timing) {
    std::printf("all %zu sounds: %.2f s with %d worker(s)\n", work.size(),
                std::chrono::duration<double>(Clock::now() - start).count(), jobs);
  }
  return failed ? 1 : 0;
}
