// Builds small tar archives byte by byte, including deliberately broken ones.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

struct TarBuilder {
  std::string bytes;

  // Appends a header block with the given raw name (up to 100 bytes, copied
  // without a terminator when it fills the field), raw size field text and
  // type flag, followed by the data padded to 512 bytes.
  TarBuilder &AddRaw(const std::string &name, const std::string &sizeField, char type,
                     const std::string &data) {
    std::string header(512, '\0');
    std::memcpy(&header[0], name.data(), name.size() < 100 ? name.size() : 100);
    std::memcpy(&header[100], "0000644", 7);
    std::memcpy(&header[124], sizeField.data(), sizeField.size() < 12 ? sizeField.size() : 12);
    header[156] = type;
    std::memcpy(&header[257], "ustar", 5);
    bytes += header;
    bytes += data;
    bytes.append((512 - data.size() % 512) % 512, '\0');
    return *this;
  }

  TarBuilder &Add(const std::string &name, const std::string &data, char type = '0') {
    char size[12];
    std::snprintf(size, sizeof size, "%011o", static_cast<unsigned>(data.size()));
    return AddRaw(name, size, type, data);
  }

  // The two zero blocks that end an archive.
  TarBuilder &End() {
    bytes.append(1024, '\0');
    return *this;
  }
};
