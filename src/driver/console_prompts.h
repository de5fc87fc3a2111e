#pragma once

// What the converter asks at the console when it is started without paths:
// the two paths, and, at the end of such a run at a terminal, one keystroke
// so that a console window opened for it stays open.

#include <iosfwd>
#include <string>
#include <string_view>

namespace quorvane {

// Writes `prompt` on a line of its own to `out` and reads the path from the
// next line of `in`: the rest of the line, without any double quote and
// without the carriage return of a pasted Windows line. A last line ended by
// the end of input still counts.
std::string AskForPath(std::istream& in, std::ostream& out, std::string_view prompt);

// Reads one character, whatever it is; returns at once at the end of input.
void WaitForKeystroke(std::istream& in);

}  // namespace quorvane
