// Host clock: milliseconds on a monotonic clock since the process started, and
// the calendar time used to seed the game's random generator. Both can be
// replaced by tests and by the headless game so that a run replays exactly.
#pragma once

#include <cstdint>

// Milliseconds since the process started (std::chrono::steady_clock), or the
// manual clock's value while one is in use. Never runs backwards.
uint64_t HostMilliseconds();

// Sleeps for the given milliseconds. With the manual clock it does not sleep
// but advances the manual clock instead, so waits end at once in tests.
void HostSleepMs(uint32_t milliseconds);

// Manual clock (test seam): from now on HostMilliseconds returns startMs and
// only moves when advanced or set.
void HostUseManualClock(uint64_t startMs);
void HostAdvanceClock(uint64_t milliseconds);
void HostSetManualTime(uint64_t milliseconds);
bool HostIsManualClock();
// Back to the real steady clock.
void HostUseRealClock();

// Calendar time in seconds since 1970 (time()), or the injected value.
int64_t HostCalendarSeconds();
// Test seam: fixes the calendar time; HostUseRealCalendar restores time().
void HostSetCalendarSeconds(int64_t seconds);
void HostUseRealCalendar();
