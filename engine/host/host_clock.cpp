// Host clock on std::chrono::steady_clock, with a manual clock and a fixed
// calendar time for tests and replays.
#include "engine/host/host_clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// Fixed when the program starts (static initialisation), so the clock counts
// from the process start rather than from its first use.
const SteadyClock::time_point processStart = SteadyClock::now();

bool manualClock = false;
uint64_t manualMs = 0;

bool fixedCalendar = false;
int64_t fixedCalendarSeconds = 0;

}  // namespace

uint64_t HostMilliseconds() {
  if (manualClock) return manualMs;
  const auto elapsed = SteadyClock::now() - processStart;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return ms > 0 ? static_cast<uint64_t>(ms) : 0;
}

void HostSleepMs(uint32_t milliseconds) {
  if (manualClock) {
    manualMs += milliseconds;
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void HostUseManualClock(uint64_t startMs) {
  manualClock = true;
  manualMs = startMs;
}

void HostAdvanceClock(uint64_t milliseconds) { manualMs += milliseconds; }

void HostSetManualTime(uint64_t milliseconds) { manualMs = milliseconds; }

bool HostIsManualClock() { return manualClock; }

void HostUseRealClock() { manualClock = false; }

int64_t HostCalendarSeconds() {
  if (fixedCalendar) return fixedCalendarSeconds;
  return static_cast<int64_t>(std::time(nullptr));
}

void HostSetCalendarSeconds(int64_t seconds) {
  fixedCalendar = true;
  fixedCalendarSeconds = seconds;
}

void HostUseRealCalendar() { fixedCalendar = false; }
