#include "tar.h"

#include <cstdio>
#include <cstring>

namespace assetgen {

namespace {
constexpr size_t kBlock = 512;
constexpr size_t kMaxName = 99;

void PutOctal(uint8_t* field, size_t width, uint64_t value) {
  // width-1 octal digits followed by a NUL
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*llo", static_cast<int>(width - 1),
                static_cast<unsigned long long>(value));
  std::memcpy(field, buf, width - 1);
  field[width - 1] = 0;
}
}  // namespace

std::vector<uint8_t> BuildTar(const std::vector<TarMember>& members) {
  std::vector<uint8_t> out;
  for (const TarMember& m : members) {
    if (m.name.empty() || m.name.size() > kMaxName) return {};
    uint8_t h[kBlock] = {};
    std::memcpy(h, m.name.data(), m.name.size());
    PutOctal(h + 100, 8, 0644);      // mode
    PutOctal(h + 108, 8, 0);         // uid
    PutOctal(h + 116, 8, 0);         // gid
    PutOctal(h + 124, 12, m.data.size());
    PutOctal(h + 136, 12, 0);        // mtime: fixed for reproducible output
    h[156] = '0';                    // regular file
    std::memcpy(h + 257, "ustar", 6);
    h[263] = '0';
    h[264] = '0';
    // Checksum: sum of the header bytes with the checksum field read as spaces.
    std::memset(h + 148, ' ', 8);
    unsigned sum = 0;
    for (uint8_t b : h) sum += b;
    char chk[8];
    std::snprintf(chk, sizeof chk, "%06o", sum);
    std::memcpy(h + 148, chk, 7);  // six digits, NUL, then the space already there
    out.insert(out.end(), h, h + kBlock);
    out.insert(out.end(), m.data.begin(), m.data.end());
    out.resize((out.size() + kBlock - 1) / kBlock * kBlock, 0);
  }
  out.resize(out.size() + 2 * kBlock, 0);  // end-of-archive marker
  return out;
}

}  // namespace assetgen
