#pragma once

// One run of the converter: obtain and check the source and destination
// paths, list the legacy files, plan where each one's output goes (refusing
// the run when two would write the same file, or an output would replace
// another file's source), convert them on one or more workers, write each
// output atomically in listing order, report each on the console (and, when
// asked, in a JSON report) and, at a terminal, wait for one keystroke at the
// end.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/legacy_conversion.h"

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
  unsigned jobs = 1;       // -j: workers; 0 for one per core
  std::optional<std::string> report;  // --report: where the JSON report goes
};

// Where the outputs of a run go.
enum class OutputLayout {
  File,  // every output to the destination file
  Flat,  // into the destination directory under each file's own name
  Tree,  // each file's path below the source, kept below the destination
};

// The legacy files of a run, or why its paths are refused.
struct SourceListing {
  std::vector<std::string> files;
  OutputLayout layout = OutputLayout::Flat;
  // The one line that refuses the paths, such as
  // "Source path error: \"S\" is invalid."; empty when the paths serve.
  std::string refusal;
};

// Checks the paths and lists the files: the source file itself, or the
// legacy files of the source directory, where a destination directory that
// lies inside it (and is not the source directory itself) is left out. A
// destination directory that is the source directory converts in place: each
// file onto itself (Tree); any other takes the files Flat, or Tree when
// `keepTree`.
SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath,
                          bool keepTree = false);

// One listed file and where its conversion goes.
struct PlannedFile {
  std::string source;
  std::string output;
};

// Each file's output: the destination file; the destination directory + "/"
// + the file's last path component (only '/' separates names); or the
// destination + what follows the source path in the file's path.
std::vector<PlannedFile> PlanOutputs(const std::vector<std::string>& files,
                                     const std::string& sourcePath,
                                     const std::string& destinationPath, OutputLayout layout);

// The first two entries, in listing order, that would write the same output:
// the indexes of the earlier and the later; none when every output is its own.
std::optional<std::pair<std::size_t, std::size_t>> FindOutputClash(
    const std::vector<PlannedFile>& plan);

// The first entry, in listing order, whose output would replace the source
// of another entry (through any spelling or link of the path), with the
// index of that other entry; none when every output is new or its own
// source (in place).
std::optional<std::pair<std::size_t, std::size_t>> FindSourceOverwrite(
    const std::vector<PlannedFile>& plan);

enum class FileStatus { Converted, NotRead, NotChecked, NotOpened, NotWritten };

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
};

// A file read and converted, waiting to be written.
struct PreparedFile {
  FileResult result;
  std::string outputText;
};

// Reads and converts one file; never throws.
PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request);

// Writes a prepared file's output atomically, first creating the
// directories between `destination` and the output when `makeDirectories`.
// A failed preparation is returned as it is.
FileResult CommitFile(const PlannedFile& file, PreparedFile prepared, bool makeDirectories,
                      const std::string& destination);

// The console lines of one file's result, each ended by '\n'; a success
// under `dryRun` says that nothing was written.
std::string ConsoleText(const PlannedFile& file, const FileResult& result, bool dryRun = false);

// The program's main: reads the options and paths from `argv`, or asks for
// the paths on `out` and reads them from `in`, writes every message to `out`
// (usage errors to `err`), converts with `convert`, and returns the exit
// status (0, 1 for a failure, 2 for a usage error). Only when
// `inputIsTerminal` does a run that reached the path checks end by reading a
// keystroke from `in`.
int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, ConvertTemplateText convert, bool inputIsTerminal);

}  // namespace quorvane
