// KUserFolder: where the files the game writes are kept, and how they are
// written. An installed game (its folder carries the install marker naming
// that folder) keeps them all in the per-user folder, whoever runs it. A game
// run from any other folder keeps them beside the program while the folder
// they belong in can be written, and in the per-user folder otherwise. The
// per-user folder is <data home>/bramblets2 (data home: $XDG_DATA_HOME, else
// ~/.local/share). Names are data names such as "tarn\\br2.cfg" ('\\' or '/').
#pragma once

#include <cstddef>

// Name of the per-user folder below the user's data home.
constexpr const char *kUserFolderName = "bramblets2";

class KUserFolder {
public:
  // True when the program folder is an installed game.
  static bool IsInstalled();
  // True when the file `name` is kept beside the program (not installed, and
  // its folder there can be written or made).
  static bool KeptBesideProgram(const char *name);
  // The per-user folder without a trailing '/'; false when none is known.
  static bool GetFolder(char *buffer, size_t capacity);
  // Path to read `name` from: where it is kept when a file is there, else the
  // copy beside the program (the game's own data). False when no path fits.
  static bool ReadPath(const char *name, char *buffer, size_t capacity);
  // Path to write `name` to, with its folder made. False (and a reason in
  // `why`, optional) when no folder for it could be made.
  static bool WritePath(const char *name, char *buffer, size_t capacity, char *why,
                        size_t whyCapacity);
  // Replaces the file at path whole, crash-safe and durable: the old file is
  // kept unless the new one is complete on disk. False on failure, with the
  // step and the system's reason in `why` (optional).
  static bool SaveFile(const char *path, const void *data, size_t size, char *why,
                       size_t whyCapacity);
  // Renames from over to; false when it cannot.
  static bool RenameFile(const char *from, const char *to);
};
