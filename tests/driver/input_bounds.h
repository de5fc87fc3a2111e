#pragma once

// What the hostile-input tests demand of every input besides a defined
// outcome: a bounded wall time and a bounded growth of the peak memory.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstddef>
#include <string>

#include "framework/error_codes.h"

namespace quorvane::testing {

// Generous enough for the sanitizer builds; an input that explodes takes
// gigabytes or minutes.
inline constexpr double kSecondsPerInput = 10.0;
inline long AllowedPeakGrowthKb(std::size_t inputSize) {
  return 256 * 1024 + static_cast<long>(inputSize / 1024) * 4;
}

inline long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Runs `work` on an input of `inputSize` bytes and checks its time and the
// growth of the process's peak memory.
template <class Work>
void ExpectBounded(std::size_t inputSize, Work&& work) {
  const long peakBefore = PeakRssKb();
  const auto start = std::chrono::steady_clock::now();
  work();
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed.count(), kSecondsPerInput);
  EXPECT_LE(PeakRssKb() - peakBefore, AllowedPeakGrowthKb(inputSize));
}

// A failure says what is wrong: a code of its own (the unknown code is what
// an escaped exception becomes) and a message.
inline void ExpectReported(int code, const std::string& message) {
  if (code == errors::kSuccess) return;
  EXPECT_NE(code, errors::kUnknown) << message;
  EXPECT_STRNE(GetErrorString(code), "Unknown error.") << code;
  EXPECT_FALSE(message.empty()) << code;
}

}  // namespace quorvane::testing
