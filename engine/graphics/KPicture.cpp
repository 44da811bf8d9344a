#include "engine/graphics/KPicture.h"

#include <cctype>
#include <cstring>

#include "engine/platform/KFile.h"

// No picture the engine can hold comes near this; a larger file is refused
// rather than read into memory.
constexpr unsigned kMaxPictureFileBytes = 128u * 1024u * 1024u;

namespace {

struct Suffix {
  const char* text;
  HostImageType type;
};
constexpr Suffix kFileSuffixes[] = {
    {".tga", kImageTga}, {".jpg", kImageJpg}, {".bmp", kImageBmp},
    {".png", kImagePng}, {".gif", kImageGif},
};

// Of the listed suffixes that occur in name, the one occurring last in the
// name decides ("x.png.bmp" is a BMP).
HostImageType TypeFromSuffixes(const char* name, size_t count) {
  HostImageType type = kImageNone;
  const char* best = nullptr;
  for (size_t i = 0; i < count; ++i) {
    const char* last = nullptr;
    for (const char* p = std::strstr(name, kFileSuffixes[i].text); p != nullptr;
         p = std::strstr(p + 1, kFileSuffixes[i].text)) {
      last = p;
    }
    if (last != nullptr && (best == nullptr || last > best)) {
      best = last;
      type = kFileSuffixes[i].type;
    }
  }
  return type;
}

}  // namespace

HostImageType PictureTypeFromFileName(char* name) {
  if (name == nullptr) return kImageNone;
  for (char* p = name; *p != '\0'; ++p) {
    *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  }
  return TypeFromSuffixes(name, 5);
}

HostImageType PictureTypeFromTypeName(const char* name) {
  if (name == nullptr) return kImageNone;
  return TypeFromSuffixes(name, 4);  // memory loads know no GIF
}

bool ReadWholePictureFile(const char* path, std::vector<uint8_t>* out) {
  out->clear();
  if (path == nullptr) return false;
  KFile file;
  if (file.Open(path, KFILE_READ) != KFILE_OK) return false;
  unsigned size = 0;
  file.Seek(KFILE_SEEK_END, 0);
  if (file.Tell(&size) != KFILE_OK || size == 0 || size > kMaxPictureFileBytes) {
    file.Close();
    return false;
  }
  file.Seek(KFILE_SEEK_SET, 0);
  out->resize(size);
  const bool ok = file.Read(out->data(), size) == KFILE_OK;
  file.Close();
  if (!ok) out->clear();
  return ok;
}

bool DecodePictureFile(char* fileName, int32_t maxSide, HostImage* image) {
  const HostImageType type = PictureTypeFromFileName(fileName);
  if (type == kImageNone) return false;
  std::vector<uint8_t> bytes;
  if (!ReadWholePictureFile(fileName, &bytes)) return false;
  return HostDecodeImage(bytes.data(), bytes.size(), type, maxSide, image);
}

bool DecodePictureMemory(const char* typeName, const unsigned char* data, uint32_t size,
                         int32_t maxSide, HostImage* image) {
  if (data == nullptr) return false;
  const HostImageType type = PictureTypeFromTypeName(typeName);
  if (type == kImageNone) return false;
  return HostDecodeImage(data, size, type, maxSide, image);
}
