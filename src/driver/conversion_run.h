#pragma once

// One run of the converter: obtain and check the source and destination
// paths, list the legacy files, plan where each one's output goes (refusing
// the run when two would write the same file), convert them one after the
// other, write each output atomically, report each on the console and, at a
// terminal, wait for one keystroke at the end.

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvane {

// Converts the whole text of one legacy template into the text of the new
// template. Returns 0 and fills `outputText`, or an error code with, when it
// has one, its own message in `errorMessage`.
using ConvertTemplateText = int (*)(const std::string& text, std::string& errorMessage,
                                    std::string& outputText);

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
// file onto itself (Tree); any other takes the files Flat.
SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath);

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

enum class FileStatus { Converted, NotRead, NotOpened, NotWritten };

// What became of one planned file.
struct FileResult {
  FileStatus status = FileStatus::Converted;
  // For a failure, the line that says why: "Error: " + a reason, or the
  // reader's own message.
  std::string reason;
};

// Reads, converts and writes one file; never leaves a partial output.
FileResult ConvertPlannedFile(const PlannedFile& file, ConvertTemplateText convert);

// The console lines of one file's result, each ended by '\n'.
std::string ReportText(const PlannedFile& file, const FileResult& result);

// The program's main: reads the options and paths from `argv`, or asks for
// the paths on `out` and reads them from `in`, writes every message to `out`
// (usage errors to `err`), converts with `convert`, and returns the exit
// status (0, 1 for a failure, 2 for a usage error). Only when
// `inputIsTerminal` does a run that reached the path checks end by reading a
// keystroke from `in`.
int RunConverter(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                 std::ostream& err, ConvertTemplateText convert, bool inputIsTerminal);

}  // namespace quorvane
