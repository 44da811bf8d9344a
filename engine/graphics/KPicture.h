// Picture-file helpers shared by the surface implementations: the picture
// type from a file name, reading a whole file through KFile, and decoding a
// picture file or a picture held in memory.
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
// Decodes the picture file fileName (lower-cased in place, see
// PictureTypeFromFileName) refusing pictures larger than maxSide on a side.
// False when the type is unknown, the file unreadable or the picture bad.
bool DecodePictureFile(char* fileName, int32_t maxSide, HostImage* image);
// Decodes size bytes at data as a picture of the type typeName names (see
// PictureTypeFromTypeName). False for null data, an unknown type or bad bytes.
bool DecodePictureMemory(const char* typeName, const unsigned char* data, uint32_t size,
                         int32_t maxSide, HostImage* image);
