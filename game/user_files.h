// Where the game's own writable files live (the configuration, edited stages,
// the tile-kind table, screenshots). Normally beside the program; when the
// program's folder cannot be written (an installed game) they go to
// $XDG_DATA_HOME/bramblets2/ (or ~/.local/share/bramblets2/) under the same
// relative names, and reads of those files look there first.
#pragma once

#include <cstddef>

// Name of the per-user folder below the user's data folder.
constexpr const char* kUserDataFolder = "bramblets2";

// Path to read the file `name` from (a data name such as "tarn\\br2.cfg",
// separators '\\' or '/'): the per-user copy when one exists, else the file
// beside the program. False when the path does not fit the buffer.
bool UserFileReadPath(const char* name, char* buffer, size_t capacity);
// Path to write `name` to: the per-user copy when one exists; else beside the
// program when that folder can be written; else in the per-user folder, whose
// folders are made as needed. False when no path could be made.
bool UserFileWritePath(const char* name, char* buffer, size_t capacity);
// The per-user folder ($XDG_DATA_HOME/bramblets2 or
// $HOME/.local/share/bramblets2), without a trailing '/'. False when neither
// variable gives an absolute folder.
bool UserDataDirectory(char* buffer, size_t capacity);
// Writes `size` bytes to `path` through "<path>.tmp" renamed over the old
// file, so the file on disk is always either the old one or the new one
// complete. False (old file untouched, temporary removed) on any failure.
bool WriteFileReplacing(const char* path, const void* data, size_t size);

// Test seam: while set, WriteFileReplacing stops after the temporary file is
// complete, as if the process were killed before the rename (returns false
// and leaves the temporary behind).
extern bool stopBeforeRenameForTest;
