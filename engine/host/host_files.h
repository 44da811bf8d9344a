// Host file services for the files the game writes: a crash-safe, durable
// whole-file write, folder checks, making folders, the per-user data folder
// and the check that a program folder is an installed game.
#pragma once

#include <cstddef>

// The steps of a durable write, in the order they run.
enum HostWriteStep {
  kWriteStepNone = 0,     // no failure
  kWriteStepOpen,         // create the temporary file beside the target
  kWriteStepWrite,        // write the bytes into it
  kWriteStepSyncFile,     // flush it to the disk
  kWriteStepClose,        // close it
  kWriteStepRename,       // rename it over the target
  kWriteStepSyncFolder,   // flush the folder, so the rename survives a power cut
};

// What went wrong in a failed write.
struct HostWriteFailure {
  HostWriteStep step = kWriteStepNone;  // the step that failed
  int error = 0;                        // its errno
};

// Suffix of the temporary file a write goes through ("<path>.tmp").
constexpr const char* kHostTempSuffix = ".tmp";

// Name of the marker the install rules put beside an installed program; it
// holds the folder the game was installed into.
constexpr const char* kHostInstallMarker = "bramblets2.installed";

// Writes size bytes to path through "<path>.tmp": any stale temporary is
// removed, the new one is written, synced and closed, renamed over path and
// the folder synced. On a failure before the rename the old file is untouched
// and the temporary removed; a failure of the final folder sync leaves the new
// file in place. False on any failure, with *failure (optional) filled.
bool HostWriteFileDurably(const char* path, const void* data, size_t size,
                          HostWriteFailure* failure);

// Short English name of a step ("writing", "renaming", ...).
const char* HostWriteStepName(HostWriteStep step);

// Test seam: makes the next writes fail at `step` with errno `error`, as a
// full disk or a failing device would (kWriteStepNone clears it).
void HostFailWriteStepForTest(HostWriteStep step, int error);

// True when path is a folder this process may create files in (checked with
// the real permissions, read-only mounts included).
bool HostFolderWritable(const char* path);
// True when path is an existing folder (or a link to one).
bool HostFolderExists(const char* path);
// True when path is an existing regular file (or a link to one).
bool HostFileExists(const char* path);
// Makes the folder and its missing parents (new ones private to the user).
// False, with errno kept, when it cannot.
bool HostMakeFolders(const char* path);
// Renames from over to; false when it cannot.
bool HostRenameFile(const char* from, const char* to);

// The user's data folder: $XDG_DATA_HOME when it is absolute, else
// $HOME/.local/share (the home from the password database when $HOME is not
// absolute), without a trailing '/'. False when none is known or it does not
// fit.
bool HostUserDataHome(char* buffer, size_t capacity);

// True when folder holds the install marker and the marker names this very
// folder (a copy of an installed game elsewhere is not installed).
bool HostIsInstalledFolder(const char* folder);
