// Helper of the game's end-to-end scripts: looks at the screenshots the game
// writes, compares them with the pictures in its archive, and reads or writes
// the progress file. Exit code 0 = the check holds, 1 = it does not, 2 = bad
// arguments or unreadable files.
//
//   game_shot pic <shot> <data.dat> <member> <sx> <sy> <w> <h> <dx> <dy> [keyed]
//       the picture's rectangle appears at (dx, dy) in the screenshot
//   game_shot find <shot> <data.dat> <member> <sx> <sy> <w> <h> [frames rows]
//       some frame of the keyed strip appears somewhere; prints "x y frame"
//   game_shot curtain <shot> <data.dat> <min>
//       the curtain (two halves of "panels.bmp" closing from the top and the
//       bottom) covers at least <min> rows from each edge; prints the rows
//   game_shot differ <a> <b> <x> <y> <w> <h>
//       the two screenshots differ inside the rectangle
//   game_shot config-write <path> <stages completed in episode 1> [editor unlocked 0/1]
//   game_shot config-read <path>
//       the file is in stored form; prints its values
//   game_shot tar-without <in> <out> <member>
//       copies an archive leaving one member out
//   game_shot png <shot> <out.png>
//       converts a screenshot for viewing (kept with a failed test's files)
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/host/host_image.h"

namespace {

constexpr int kTolerance = 24;         // per channel: 16-bit colour and filtering
constexpr double kMatchShare = 0.90;   // share of pixels that must match
constexpr double kDifferShare = 0.01;  // share of pixels that must change
constexpr int kMaxSide = 4096;
constexpr int kTarBlock = 512;
constexpr uint8_t kKeyR = 0, kKeyG = 0, kKeyB = 255;
constexpr int kStoredShift = 128;
constexpr int kStages = 20, kEpisodes = 3;

std::vector<uint8_t> ReadAll(const char* path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

bool WriteAll(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return (std::fclose(f) == 0) && ok;
}

struct Member {
  size_t header = 0, data = 0, size = 0, end = 0;  // end = after the padded data
};

// Walks an uncompressed tar archive; false when it is damaged.
bool ListTar(const std::vector<uint8_t>& tar, std::vector<std::pair<std::string, Member>>* out) {
  size_t pos = 0;
  while (pos + kTarBlock <= tar.size() && tar[pos] != 0) {
    char name[101] = {};
    std::memcpy(name, &tar[pos], 100);
    uint64_t length = 0;
    for (int i = 124; i < 136 && tar[pos + i] >= '0' && tar[pos + i] <= '7'; ++i)
      length = length * 8 + (tar[pos + i] - '0');
    Member m;
    m.header = pos;
    m.data = pos + kTarBlock;
    if (length > tar.size() - m.data) return false;
    m.size = static_cast<size_t>(length);
    m.end = m.data + (m.size + kTarBlock - 1) / kTarBlock * kTarBlock;
    if (m.end > tar.size()) m.end = tar.size();
    out->emplace_back(name, m);
    pos = m.end;
  }
  return true;
}

// A screenshot (TGA) or a kept copy of one (PNG).
bool LoadPicture(const char* path, HostImage* out) {
  std::vector<uint8_t> bytes = ReadAll(path);
  const char* dot = std::strrchr(path, '.');
  const HostImageType type = dot && std::strcmp(dot, ".png") == 0 ? kImagePng : kImageTga;
  return !bytes.empty() && HostDecodeImage(bytes.data(), bytes.size(), type, kMaxSide, out);
}

bool LoadMember(const char* archive, const char* member, HostImage* out) {
  std::vector<uint8_t> tar = ReadAll(archive);
  std::vector<std::pair<std::string, Member>> members;
  if (!ListTar(tar, &members)) return false;
  for (const auto& [name, m] : members) {
    if (name != member) continue;
    const char* dot = std::strrchr(member, '.');
    HostImageType type = kImageBmp;
    if (dot && std::strcmp(dot, ".png") == 0) type = kImagePng;
    if (dot && std::strcmp(dot, ".tga") == 0) type = kImageTga;
    if (dot && std::strcmp(dot, ".jpg") == 0) type = kImageJpg;
    return HostDecodeImage(tar.data() + m.data, m.size, type, kMaxSide, out);
  }
  return false;
}

const uint8_t* Pixel(const HostImage& image, int x, int y) {
  return &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
}

bool Close(const uint8_t* a, const uint8_t* b) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(a[c] - b[c]) > kTolerance) return false;
  return true;
}

bool IsKey(const uint8_t* p) { return p[0] == kKeyR && p[1] == kKeyG && p[2] == kKeyB; }

// Share of the rectangle's (non-key) pixels that match at (dx, dy); -1 when
// nothing could be compared. Gives up early once the share cannot reach `need`.
double MatchShare(const HostImage& shot, const HostImage& pic, int sx, int sy, int w, int h, int dx,
                  int dy, bool keyed, double need) {
  long compared = 0, matched = 0, total = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (!keyed || !IsKey(Pixel(pic, sx + x, sy + y))) ++total;
  if (total == 0) return -1.0;
  const long allowedMisses = static_cast<long>(total * (1.0 - need)) + 1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = Pixel(pic, sx + x, sy + y);
      if (keyed && IsKey(p)) continue;
      const int tx = dx + x, ty = dy + y;
      if (tx < 0 || ty < 0 || tx >= shot.width || ty >= shot.height) continue;
      ++compared;
      if (Close(p, Pixel(shot, tx, ty))) ++matched;
      else if (compared - matched > allowedMisses) return 0.0;
    }
  }
  return compared ? static_cast<double>(matched) / total : -1.0;
}

bool InPicture(const HostImage& pic, int x, int y, int w, int h) {
  return x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= pic.width && y + h <= pic.height;
}

int CommandPic(int argc, char** argv) {
  if (argc < 11) return 2;
  HostImage shot, pic;
  if (!LoadPicture(argv[2], &shot) || !LoadMember(argv[3], argv[4], &pic)) return 2;
  const int sx = std::atoi(argv[5]), sy = std::atoi(argv[6]), w = std::atoi(argv[7]),
            h = std::atoi(argv[8]), dx = std::atoi(argv[9]), dy = std::atoi(argv[10]);
  const bool keyed = argc > 11 && std::strcmp(argv[11], "keyed") == 0;
  if (!InPicture(pic, sx, sy, w, h)) return 2;
  const double share = MatchShare(shot, pic, sx, sy, w, h, dx, dy, keyed, 0.0);
  std::printf("%s (%d,%d %dx%d) at (%d,%d): %.1f %% match\n", argv[4], sx, sy, w, h, dx, dy,
              share * 100.0);
  return share >= kMatchShare ? 0 : 1;
}

// A keyed frame's drawn pixels, for searching a screenshot quickly.
struct Drawn {
  int x, y;
  const uint8_t* colour;
};

int CommandFind(int argc, char** argv) {
  if (argc < 9) return 2;
  HostImage shot, pic;
  if (!LoadPicture(argv[2], &shot) || !LoadMember(argv[3], argv[4], &pic)) return 2;
  const int sx = std::atoi(argv[5]), sy = std::atoi(argv[6]), w = std::atoi(argv[7]),
            h = std::atoi(argv[8]);
  const int frames = argc > 9 ? std::atoi(argv[9]) : 1, rows = argc > 10 ? std::atoi(argv[10]) : 1;
  if (frames < 1 || rows < 1 || !InPicture(pic, sx, sy, w * frames, h * rows)) return 2;
  constexpr int kSamples = 16;       // spread over the frame, tested first
  constexpr int kSampleMisses = 3;   // a position failing more of them is rejected
  for (int frame = 0; frame < frames * rows; ++frame) {
    const int fx = sx + (frame % frames) * w, fy = sy + (frame / frames) * h;
    std::vector<Drawn> drawn;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!IsKey(Pixel(pic, fx + x, fy + y))) drawn.push_back({x, y, Pixel(pic, fx + x, fy + y)});
    // A frame needs enough drawn pixels to be told apart from the scenery.
    if (static_cast<int>(drawn.size()) < w * h / 8) continue;
    std::vector<Drawn> samples;
    for (int i = 0; i < kSamples; ++i) samples.push_back(drawn[i * drawn.size() / kSamples]);
    const long allowed = static_cast<long>(drawn.size() * (1.0 - kMatchShare));
    for (int dy = 0; dy + h <= shot.height; ++dy) {
      for (int dx = 0; dx + w <= shot.width; ++dx) {
        int misses = 0;
        for (const Drawn& d : samples)
          if (!Close(d.colour, Pixel(shot, dx + d.x, dy + d.y)) && ++misses > kSampleMisses) break;
        if (misses > kSampleMisses) continue;
        long missed = 0;
        for (const Drawn& d : drawn)
          if (!Close(d.colour, Pixel(shot, dx + d.x, dy + d.y)) && ++missed > allowed) break;
        if (missed <= allowed) {
          std::printf("%d %d %d\n", dx, dy, frame);
          return 0;
        }
      }
    }
  }
  std::printf("not found\n");
  return 1;
}

// Share of matching pixels between screenshot rows [ty, ty + n) and picture
// rows [py, py + n), every second pixel.
double RowsMatch(const HostImage& shot, const HostImage& pic, int ty, int py, int n) {
  long total = 0, matched = 0;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < shot.width && x < pic.width; x += 2, ++total)
      matched += Close(Pixel(shot, x, ty + y), Pixel(pic, x, py + y));
  return total ? static_cast<double>(matched) / total : 0.0;
}

int CommandCurtain(int argc, char** argv) {
  if (argc < 5) return 2;
  HostImage shot, pic;
  if (!LoadPicture(argv[2], &shot) || !LoadMember(argv[3], "panels.bmp", &pic)) return 2;
  const int half = shot.height / 2, least = std::atoi(argv[4]);
  if (pic.height < shot.height || least < 1 || least > half) return 2;
  constexpr int kEdgeRows = 6;  // the panels' leading edges are tested first
  int covered = 0;
  for (int h = half; h >= kEdgeRows && !covered; --h) {
    if (RowsMatch(shot, pic, h - kEdgeRows, half - kEdgeRows, kEdgeRows) < kMatchShare) continue;
    if (RowsMatch(shot, pic, shot.height - h, half, kEdgeRows) < kMatchShare) continue;
    if (RowsMatch(shot, pic, 0, half - h, h) >= kMatchShare &&
        RowsMatch(shot, pic, shot.height - h, half, h) >= kMatchShare)
      covered = h;
  }
  std::printf("curtain covers %d rows from each edge\n", covered);
  return covered >= least ? 0 : 1;
}

int CommandDiffer(int argc, char** argv) {
  if (argc < 8) return 2;
  HostImage a, b;
  if (!LoadPicture(argv[2], &a) || !LoadPicture(argv[3], &b)) return 2;
  if (a.width != b.width || a.height != b.height) return 0;
  int x0 = std::max(0, std::atoi(argv[4])), y0 = std::max(0, std::atoi(argv[5]));
  int x1 = std::min(a.width, x0 + std::atoi(argv[6])), y1 = std::min(a.height, y0 + std::atoi(argv[7]));
  long changed = 0, total = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x, ++total) changed += !Close(Pixel(a, x, y), Pixel(b, x, y));
  const double share = total ? static_cast<double>(changed) / total : 0.0;
  std::printf("%.2f %% of %ld pixels differ\n", share * 100.0, total);
  return share > kDifferShare ? 0 : 1;
}

void AppendText(std::vector<uint8_t>* out, const char* text) {
  out->insert(out->end(), text, text + std::strlen(text));
}

int CommandConfigWrite(int argc, char** argv) {
  if (argc < 4) return 2;
  const int done = std::atoi(argv[3]);
  const int editor = argc > 4 ? std::atoi(argv[4]) : 0;
  std::vector<uint8_t> text;
  char line[64];
  AppendText(&text, "BR\n");
  std::snprintf(line, sizeof line, "%d\n%d\n", 1, editor);
  AppendText(&text, line);
  for (int s = 1; s <= kStages; ++s) {
    std::snprintf(line, sizeof line, "%d %d %d ", s <= done ? 1 : 0, 0, 0);
    AppendText(&text, line);
  }
  AppendText(&text, "\n50\n50\n1\n");
  for (uint8_t& c : text) c = static_cast<uint8_t>(c + kStoredShift);
  return WriteAll(argv[2], text) ? 0 : 2;
}

int CommandConfigRead(int argc, char** argv) {
  if (argc < 3) return 2;
  std::vector<uint8_t> bytes = ReadAll(argv[2]);
  if (bytes.size() < 2 || bytes[0] != 'B' + kStoredShift || bytes[1] != 'R' + kStoredShift) {
    std::printf("not in stored form\n");
    return 1;
  }
  std::string text;
  for (uint8_t c : bytes) text += static_cast<char>(static_cast<uint8_t>(c + kStoredShift));
  int reached = 0, editor = 0, effects = 0, music = 0, flag = 0, status[kStages * kEpisodes] = {};
  char magic[8] = {};
  int consumed = 0;
  if (std::sscanf(text.c_str(), "%7s %d %d%n", magic, &reached, &editor, &consumed) != 3) return 1;
  const char* p = text.c_str() + consumed;
  for (int& s : status) {
    int n = 0;
    if (std::sscanf(p, "%d%n", &s, &n) != 1) return 1;
    p += n;
  }
  if (std::sscanf(p, "%d %d %d", &effects, &music, &flag) != 3) return 1;
  int completed = 0;
  while (completed < kStages && status[completed * kEpisodes] != 0) ++completed;
  std::printf("reached=%d editor=%d completed=%d effects=%d music=%d flag=%d\n", reached, editor,
              completed, effects, music, flag);
  return 0;
}

int CommandTarWithout(int argc, char** argv) {
  if (argc < 5) return 2;
  std::vector<uint8_t> tar = ReadAll(argv[2]);
  std::vector<std::pair<std::string, Member>> members;
  if (tar.empty() || !ListTar(tar, &members)) return 2;
  std::vector<uint8_t> out;
  bool found = false;
  for (const auto& [name, m] : members) {
    if (name == argv[4]) {
      found = true;
      continue;
    }
    out.insert(out.end(), tar.begin() + m.header, tar.begin() + m.end);
  }
  out.resize(out.size() + 2 * kTarBlock, 0);  // end-of-archive blocks
  if (!found) return 1;
  return WriteAll(argv[3], out) ? 0 : 2;
}

int CommandPng(int argc, char** argv) {
  if (argc < 4) return 2;
  HostImage shot;
  if (!LoadPicture(argv[2], &shot)) return 2;
  return HostEncodeImage(argv[3], 3, shot.width, shot.height, shot.rgba.data(), false) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: game_shot pic|find|curtain|differ|config-write|config-read|tar-without|png ...\n");
    return 2;
  }
  const std::string command = argv[1];
  int result = 2;
  if (command == "pic") result = CommandPic(argc, argv);
  else if (command == "find") result = CommandFind(argc, argv);
  else if (command == "curtain") result = CommandCurtain(argc, argv);
  else if (command == "differ") result = CommandDiffer(argc, argv);
  else if (command == "config-write") result = CommandConfigWrite(argc, argv);
  else if (command == "config-read") result = CommandConfigRead(argc, argv);
  else if (command == "tar-without") result = CommandTarWithout(argc, argv);
  else if (command == "png") result = CommandPng(argc, argv);
  if (result == 2) std::fprintf(stderr, "game_shot %s: bad arguments or unreadable file\n", argv[1]);
  return result;
}
