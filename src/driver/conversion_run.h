#pragma once

// One run of the converter: read the command line (or ask for the paths),
// plan the run (run_plan.h), convert the files on one or more workers,
// commit each in listing order (file_io.h), hand each file's outcome to the
// console and, when asked, the JSON report (run_sinks.h), flush the
// directories it changed, and, after prompted paths at a terminal, wait for
// one keystroke at the end.

#include <iosfwd>

#include "driver/file_io.h"
#include "driver/output_plan.h"

namespace quorvane {

// What a run converts with: the conversion of one text, and what tells an
// earlier output from any other file at an output path.
struct TemplateConverter {
  ConvertTemplateText convert;
  FormatOfTemplateText formatOf;
};

// The converter of the executable: the legacy conversion and the formats
// as its reader tells them.
const TemplateConverter& LegacyTemplateConverter();

// The program's main: reads the options and paths from `argv`, or asks for
// the paths on `out` and reads them from `in`, writes every message to `out`
// (usage errors to `err`; every message to `err` when the report goes to
// standard output), converts with `converter`, and returns the exit status
// (0, 1 for a failure, 2 for a usage error, 128 + N when stopped by signal
// N). Only a run whose paths were asked for ends, when `inputIsTerminal`,
// by reading a keystroke from `in`.
int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, const TemplateConverter& converter, bool inputIsTerminal);

}  // namespace quorvane
