// KSystem: process-wide system services with no object of their own: the
// executable's directory and data paths built from it, the engine's pausable
// millisecond clock, a blocking message box, a timed wait that keeps window
// events flowing, and opening a document or URL in the background.
//
// Paths: every separator in a built path is '/'. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>

// Decides where a file the engine writes (a screenshot) goes: fills buffer
// with the path for the data name, false when none could be made.
typedef bool (*KWritePathResolver)(const char *name, char *buffer, size_t capacity);

// Capacity of the directory and path buffers (Linux PATH_MAX).
constexpr int kSystemPathCapacity = 4096;

class KSystem {
public:
  // Computes the program directory, then InitClock. May be called any number
  // of times.
  static void InitSystem();
  // Re-bases the raw clock reading; the engine time is unchanged.
  static void InitClock();
  // The executable's directory without a trailing separator; initialises on
  // first use. The buffer is overwritten by the next call.
  static const char *GetModuleDirectory();
  // Absolute path of a data file: one leading '\', '/' or ':' is skipped,
  // the name is joined to the program directory and every '\' becomes '/'.
  // A drive-style name ("D:/x") or a name that already starts with the program
  // directory is taken as absolute. The result is valid until the next call;
  // a path that does not fit gives "" (which no open accepts).
  static const char *MakeFilePath(const char *name);
  // Path for a file the engine writes: the installed resolver's answer (the
  // game sends files away from a read-only program folder), else the same as
  // MakeFilePath. Same buffer and lifetime as MakeFilePath; "" on failure.
  static const char *MakeWritablePath(const char *name);
  // Installs the resolver MakeWritablePath asks first (null removes it).
  static void SetWritePathResolver(KWritePathResolver resolver);
  // Engine time in milliseconds; starts at 0, never runs backwards.
  static uint32_t GetMilliseconds();
  // Milliseconds since the process started, less the time spent waiting for
  // an inactive or minimised window (the game's own frame clock).
  static uint64_t GetProcessMilliseconds();
  // Calendar time in seconds since 1970 (the random generator's seed).
  static int64_t GetCalendarSeconds();
  // Drops the time that passed since the last reading (used after pauses).
  static void ResetClock();
  // Blocking message box with an OK button; returns the box's result (1 = OK).
  static int ShowMessage(const char *title, const char *text);
  // Returns once the given milliseconds have passed on the engine clock,
  // pumping window events meanwhile when pumpMessages is set.
  static void Wait(int milliseconds, bool pumpMessages);
  // Hands target to the desktop's default handler on a background thread.
  // Failures are not reported.
  static void OpenUrl(const char *target, bool maximised);
};
