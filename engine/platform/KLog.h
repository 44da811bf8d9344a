// KLog: the engine's four text log streams (information, errors, fatal errors,
// debug). Mode 1 creates the files "infos.log", "errors.log", "fatals.log" and
// "debug.log" in the working directory; any other mode opens nothing. The
// program's own log runs in mode 2 and nothing writes to it.
#pragma once

#include <cstdint>
#include <cstdio>

constexpr int32_t KLOG_MODE_FILES = 1;   // create the four files
constexpr int32_t KLOG_MODE_SILENT = 2;  // the program's mode: no files

class KLog {
public:
  enum Stream { Info = 0, Errors = 1, Fatals = 2, Debug = 3, StreamCount = 4 };

  explicit KLog(int32_t mode);
  ~KLog();
  KLog(const KLog &) = delete;
  KLog &operator=(const KLog &) = delete;

  int32_t GetMode() const { return mode; }
  bool IsEnabled(Stream stream) const { return enabled[stream]; }
  // Handle of a stream; null when its file is not open.
  FILE *GetFile(Stream stream) const { return files[stream]; }

private:
  bool enabled[StreamCount];
  FILE *files[StreamCount];
  int32_t mode;
};

// The process-wide log, constructed in silent mode during static
// initialisation.
extern KLog engineLog;
