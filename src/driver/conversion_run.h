#pragma once

// One run of the converter: obtain and check the source and destination
// paths, list the legacy files, convert them one after the other, report each
// on the console and wait for one keystroke at the end.

#include <iosfwd>
#include <string>

namespace quorvane {

// Converts the whole text of one legacy template into the text of the new
// template. Returns 0 and fills `outputText`, or an error code with, when it
// has one, its own message in `errorMessage`.
using ConvertTemplateText = int (*)(const std::string& text, std::string& errorMessage,
                                    std::string& outputText);

// The program's main: reads the paths from `argv` or asks for them on `out`
// and reads them from `in`, writes every message to `out` (the argument-count
// message to `err`), converts with `convert`, and returns the exit status.
int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, ConvertTemplateText convert);

}  // namespace quorvane
