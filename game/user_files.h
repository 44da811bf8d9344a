// The game's own writable files (the configuration, edited stages, the
// tile-kind table, screenshots): where they are read and written, and their
// crash-safe writing with every failure said on stderr. The rules of where
// they live are KUserFolder's.
#pragma once

#include <cstddef>

// Path to read the file `name` from (a data name such as "tarn\\br2.cfg"):
// where the game keeps it when it is there, else the copy beside the
// program. False when no path fits the buffer.
bool UserFileReadPath(const char* name, char* buffer, size_t capacity);
// Path to write `name` to, its folder made; false (said on stderr) when no
// folder for it can be made.
bool UserFileWritePath(const char* name, char* buffer, size_t capacity);
// Replaces the file at path with `size` bytes, so that the file on disk is
// always either the old one or the new one complete, and the new one
// survives a crash or power cut once this returns true. False (said on
// stderr, the old file kept) on any failure.
bool WriteFileReplacing(const char* path, const void* data, size_t size);
// Moves an unusable file aside to "<path>.bad" so nothing in it is lost when
// it is replaced; false (said on stderr) when it cannot be moved.
bool SetFileAside(const char* path);
