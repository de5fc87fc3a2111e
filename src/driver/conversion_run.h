#pragma once

// One run of the converter: obtain and check the source and destination
// paths, list the legacy files, plan where each one's output goes (refusing
// the run when it would replace anything but earlier outputs and, in place,
// the sources themselves), convert them on one or more workers, write each
// output atomically in listing order, report each on the console (and, when
// asked, in a JSON report), flush the directories it changed, and, after
// prompted paths at a terminal, wait for one keystroke at the end.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/legacy_conversion.h"
#include "driver/output_plan.h"

namespace quorvane {

// Converts the whole text of one legacy template into the text of the new
// template, with what `request` asks for besides. Must not throw; runs on
// several threads at once with more than one job.
using ConvertTemplateText = TemplateConversion (*)(const std::string& text,
                                                   const ConversionRequest& request);

// What the options of a run ask for.
struct RunOptions {
  bool keepTree = false;   // -t: a source directory's tree below the destination
  bool keepGoing = false;  // -k: convert every file whatever fails
  bool dryRun = false;     // -n: convert and check, write nothing
  bool quiet = false;      // -q: no line for a file that converted
  bool verbose = false;    // -v: a line for each value a conversion changed
  unsigned jobs = 1;       // -j: workers; 0 for one per core
  std::optional<std::string> report;  // --report: where the JSON report goes ("-": stdout)
};

// What a run converts with: the conversion of one text, and what tells an
// earlier output from any other file at an output path.
struct TemplateConverter {
  ConvertTemplateText convert;
  FormatOfTemplateText formatOf;
};

// The converter of the executable: the legacy conversion and the formats
// as its reader tells them.
const TemplateConverter& LegacyTemplateConverter();

enum class FileStatus {
  Converted,
  Skipped,    // already in the current format: nothing to do
  NotListed,  // a directory that could not be listed
  NotRead,
  NotChecked,
  NotOpened,
  NotWritten,
};

// What became of one planned file.
struct FileResult {
  FileStatus status = FileStatus::Converted;
  // For a failure, the line that says why: "Error: " + a reason, or the
  // reader's own message.
  std::string reason;
  // For a failure: the conversion's (or the checker's) error code, or the
  // system's error number of a file it would not read or write.
  int code = 0;
  // For a conversion asked for its record.
  ConversionRecord record;
  std::vector<std::string> notCarriedOver;
  std::vector<KeyAccounting::NamedChange> changes;
};

// A file read and converted, waiting to be put in place: written beside
// its output already, or still as text.
struct PreparedFile {
  FileResult result;
  std::string outputText;
  PendingFile written;
};

// Reads (or, with `given`, takes that text as the file's) and converts one
// file and, with `writeBeside` and where the output's directory is there,
// writes it beside its output; never throws.
PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request, bool writeBeside = false,
                         const std::string* given = nullptr);

// Puts a prepared file's output in place atomically (writing it first when
// its preparation did not, after creating the directories between
// `destination` and the output when `makeDirectories`).
// Adds each directory whose entries it changed to `changedDirectories`. A
// preparation that did not convert is returned as it is.
FileResult CommitFile(const PlannedFile& file, PreparedFile prepared, bool makeDirectories,
                      const std::string& destination,
                      std::set<std::string>& changedDirectories);

// The console lines of one file's result, each ended by '\n'; a success
// under `dryRun` says that nothing was written, and under `verbose` is
// followed by a line for each value the conversion changed.
std::string ConsoleText(const PlannedFile& file, const FileResult& result, bool dryRun = false,
                        bool verbose = false);

// A value as one line of compact JSON, for messages.
std::string CompactJson(const Json::Value& value);

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
