#pragma once

// A failure as one value: its code, where it was seen and what went wrong.
// The level that sees the fault makes it with its fixed text; each level it
// passes on the way out puts its own segment in front of the path; Message()
// turns it into the text that is shown.

#include <exception>
#include <string>
#include <string_view>

#include "framework/error_codes.h"

namespace quorvane {

struct Failure {
  int code = errors::kSuccess;
  // The levels the failure passed, outermost first, each followed by ':'
  // when the message is made: "RegionDefinition:Name".
  std::string path;
  // What went wrong where it was seen: a fixed text, the message an object
  // of the model composed, or the text of the code.
  std::string text;
  // Set when nothing but the code tells what went wrong: the message is then
  // "Error: " and the code's text.
  bool bare = false;

  // A failure of `code` told by `text`; by the code alone when `text` is
  // empty.
  static Failure Of(int code, std::string_view text);
  // A failure told by its code alone.
  static Failure OfCode(int code);

  explicit operator bool() const { return code != errors::kSuccess; }
  // Puts `segment` in front of the path: the level the failure leaves.
  Failure& Within(std::string_view segment);
  // The path and the text: each segment and ':' in front of the text; for
  // a bare failure "Error: " and the code's text.
  std::string Message() const;
  // The path and the text, a bare failure's too: the message of the checks,
  // which show the code's text without a lead.
  std::string Plain() const;
  // The message of the reader operations that hand a failure over as a
  // code and a string: empty for a bare failure, whose code says it all.
  std::string Detail() const;
};

// What a throw means: a failure to get memory is -10001 with its text, any
// other std::exception -10000 with what it said. Anything else is thrown on.
Failure ThrownFailure(const std::exception_ptr& thrown);

// Runs `operation` (returning a Failure) so that nothing it throws gets out:
// a throw is what ThrownFailure makes of it, told by its text (the code's
// text when the throw said nothing). The guard of an entry point.
template <class Operation>
Failure Guarded(Operation&& operation) {
  try {
    return operation();
  } catch (const std::exception&) {
    Failure thrown = ThrownFailure(std::current_exception());
    thrown.bare = false;
    return thrown;
  }
}

}  // namespace quorvane
