#pragma once

// The template checker: reads current-format template files the way the
// template document does, and also builds each barcode reader task and
// format specification the document only records, so that a template the
// checker passes reads without error anywhere.

#include <iosfwd>
#include <string>
#include <vector>

namespace quorvane {

struct CheckOptions {
  // Also follow every name a section gives to another and every chain of
  // bases, those the document leaves alone included; then refuse every
  // top-level key that is not one of the sections a converted template
  // holds, and a file without any of them.
  bool strict = false;
};

// The checks of one template text, as for a file: 0, or the code of the
// first failure with its message in `message` (line breaks kept). A legacy
// template fails. With `notRead`, a text that passes also gives the JSON
// path of every key no reader of the model took (in key order).
int CheckTemplateText(const std::string& content, std::string& message,
                      std::vector<std::string>* notRead = nullptr, CheckOptions options = {});

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
int RunTemplateCheck(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace quorvane
