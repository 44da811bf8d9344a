// Measurements of rendered test signals, shared by the soundgen tests.
#pragma once

#include <algorithm>
#include <vector>

#include "synth.h"

// Rising zero crossings per second over [from, to) seconds (to < 0: up to the
// end), i.e. the signal's frequency.
inline double CrossingsPerSecond(const std::vector<float>& s, double from = 0.0, double to = -1.0) {
  const size_t a = static_cast<size_t>(from * soundgen::kSampleRate);
  const size_t b = to < 0.0 ? s.size() : std::min(s.size(), static_cast<size_t>(to * soundgen::kSampleRate));
  int crossings = 0;
  for (size_t i = a + 1; i < b; ++i)
    if (s[i - 1] < 0.0f && s[i] >= 0.0f) ++crossings;
  return b > a ? crossings * static_cast<double>(soundgen::kSampleRate) / static_cast<double>(b - a) : 0.0;
}
