#pragma once

// What the tests of texts written by others demand of every input: a
// defined outcome, in bounded wall time and with a bounded growth of the
// peak memory.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstddef>
#include <sstream>
#include <string>

#include "driver/conversion_run.h"
#include "driver/legacy_conversion.h"
#include "driver/temp_tree.h"
#include "driver/template_check.h"
#include "framework/error_codes.h"
#include "document/template_document.h"

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

// Checks one text, and again with --strict: each reports success or a
// failure of its own, and --strict refuses what the checker refuses, in the
// same way. Returns the code of the check.
inline int ExpectCheckOutcome(const std::string& text) {
  Failure check;
  Failure strict;
  ExpectBounded(text.size(), [&] { check = CheckTemplateText(text); });
  ExpectBounded(text.size(), [&] { strict = CheckTemplateText(text, nullptr, {.strict = true}); });
  ExpectReported(check.code, check.text);
  ExpectReported(strict.code, strict.text);
  if (check) {
    EXPECT_EQ(strict.code, check.code);
    EXPECT_EQ(strict.text, check.text);
  }
  return check.code;
}

// Reads, appends and checks one text: each reports success or a failure of
// its own, and the checker refuses what the document refuses. Returns the
// code of the read.
inline int ExpectDocumentOutcome(const std::string& text) {
  QV_LMFParameter document;
  QV_LMFParameter appended;
  int code = 0;
  ExpectBounded(text.size(), [&] { code = document.ReadFromText(text); });
  ExpectBounded(text.size(), [&] {
    ExpectReported(appended.AppendFromText(text), appended.message);
    ExpectReported(appended.ReadFromString(nullptr), appended.message);
  });
  const int checkCode = ExpectCheckOutcome(text);
  ExpectReported(code, document.message);
  if (code != errors::kSuccess) {
    EXPECT_EQ(checkCode, code);
  }
  return code;
}

// Runs the converter on `file` as a user would and checks the outcome: the
// success line and an output the template document reads without error,
// the line of a file skipped as already converted, or
// "Fail to read Old Template: " + file + "." followed by a message.
// Returns what the converter printed.
inline std::string ExpectConverterOutcome(const std::string& file, std::size_t size,
                                          const std::string& destination) {
  SCOPED_TRACE(file);
  const char* argv[] = {"lumiflow-convert", file.c_str(), destination.c_str(), nullptr};
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
  int status = 0;
  ExpectBounded(size, [&] {
    status = RunConverter(3, argv, in, out, err, LegacyTemplateConverter(), false);
  });
  EXPECT_EQ(err.str(), "");
  const std::string text = out.str();
  if (status == 0 && text == "Skip " + file + ": the file is already in the current format.\n") {
    return text;
  }
  if (status == 0) {
    EXPECT_EQ(text, "Convert " + file + " successfully.\n");
    QV_LMFParameter document;
    EXPECT_EQ(document.ReadFromText(FileText(destination)), errors::kSuccess) << document.message;
    return text;
  }
  EXPECT_EQ(status, 1);
  const std::string failure = "Fail to read Old Template: " + file + ".\n";
  EXPECT_EQ(text.compare(0, failure.size(), failure), 0) << text;
  const std::string message = text.size() > failure.size() ? text.substr(failure.size()) : "";
  EXPECT_NE(message.find_first_not_of(" \n"), std::string::npos) << text;
  EXPECT_EQ(message.empty() ? ' ' : message.back(), '\n') << text;
  return text;
}

}  // namespace quorvane::testing
