#pragma once

// The template checker's command line: one line per file, "OK: FILE" or
// "FAIL: FILE: CODE: MESSAGE", for the files and directories it is given.

#include <iosfwd>
#include <string>

#include "driver/template_check.h"

namespace quorvane {

// The one line reported for the file at `path`, without its line break:
// "OK: " + path, or "FAIL: " + path + ": " + code + ": " + message.
// `passed` tells which.
std::string CheckTemplateFile(const std::string& path, bool& passed, CheckOptions options = {});

// The checker's main: one line on `out` per file argument, and per file
// listed under a directory argument, in order; usage on `out` for "--help"
// (status 0) or on `err` without paths (status 2); a usage error on `err`
// (status 2). Status 0 when every file passed (an empty directory checks
// nothing and fails nothing), 1 otherwise. "--schema" prints the JSON
// Schema of a template instead.
// "-" checks the template read from `in`, the only use of it.
int RunTemplateCheck(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                     std::istream* in = nullptr);

}  // namespace quorvane
