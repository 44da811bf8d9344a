// The engine's log streams; the program's own log is silent.
#include "engine/platform/KLog.h"

namespace {

// Files of the four streams, in the order they are opened.
constexpr const char *kLogFileNames[KLog::StreamCount] = {
    "infos.log", "errors.log", "fatals.log", "debug.log"};
// Information is off by default; errors, fatal errors and debug are on.
constexpr bool kLogEnabled[KLog::StreamCount] = {false, true, true, true};

}  // namespace

KLog engineLog(KLOG_MODE_SILENT);

KLog::KLog(int32_t logMode) : mode(logMode) {
  for (int i = 0; i < StreamCount; ++i) {
    enabled[i] = kLogEnabled[i];
    files[i] = mode == KLOG_MODE_FILES ? std::fopen(kLogFileNames[i], "wt") : nullptr;
  }
}

KLog::~KLog() {
  if (mode != KLOG_MODE_FILES) return;
  for (FILE *&file : files) {
    if (file != nullptr) std::fclose(file);
    file = nullptr;
  }
}
