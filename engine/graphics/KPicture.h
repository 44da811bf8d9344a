// Picture-file helpers shared by the surface implementations: the picture
// type from a file name, and reading a whole file through KFile.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/host/host_image.h"

// Lower-cases name in place, then picks the type from the substrings ".tga",
// ".jpg", ".bmp", ".png", ".gif" anywhere in the name; when several occur,
// the one nearest the end of the name wins. kImageNone when none occurs.
HostImageType PictureTypeFromFileName(char* name);
// The same for LoadPictureFromMemory: name unchanged, no ".gif".
HostImageType PictureTypeFromTypeName(const char* name);
// Reads the whole file (archive first, then disk). False when it cannot be
// opened, is empty, or the read fails.
bool ReadWholePictureFile(const char* path, std::vector<uint8_t>* out);
