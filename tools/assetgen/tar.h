// Minimal ustar writer for data.dat: plain files at the archive root.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct TarMember {
  std::string name;  // at most 99 characters, no directory part
  std::vector<uint8_t> data;
};

// Builds the archive bytes; every header carries fixed time, owner and mode so
// the same members always give the same bytes. Empty result if a name is too long.
std::vector<uint8_t> BuildTar(const std::vector<TarMember>& members);

}  // namespace assetgen
