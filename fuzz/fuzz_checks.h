#pragma once

// The checks every fuzz target makes. A violated property aborts: libFuzzer
// then keeps the input as a crash, and a replay run fails on it.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/error_codes.h"

// The detail is only composed when the property does not hold.
#define FUZZ_REQUIRE(holds, property, detail)                                  \
  do {                                                                         \
    if (!(holds)) ::quorvane::fuzzing::Violated(property, std::string(detail)); \
  } while (false)

namespace quorvane::fuzzing {

[[noreturn]] inline void Violated(const char* property, const std::string& detail) {
  std::fprintf(stderr, "\nProperty violated: %s\n%s\n", property, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

inline std::string Describe(int code, const std::string& message) {
  return "code " + std::to_string(code) + ", message \"" + message + "\"";
}

// A result is success, or a failure that says what is wrong: a code of its
// own (the unknown code is what an escaped exception becomes) and a message,
// unless the caller prints the code's own text for an empty one.
inline void RequireReported(int code, const std::string& message, bool emptyMessageAllowed) {
  if (code == errors::kSuccess) return;
  FUZZ_REQUIRE(code != errors::kUnknown && std::string(GetErrorString(code)) != "Unknown error.",
               "a failure has a known code", Describe(code, message));
  FUZZ_REQUIRE(emptyMessageAllowed || !message.empty(), "a failure has a message",
               Describe(code, message));
}

}  // namespace quorvane::fuzzing
