#pragma once

// Where a run's outputs go, worked out before anything is written: the
// files of the source with the path each output takes, and the one rule of
// what a run may replace. An existing file at an output path is replaced
// only when it is an earlier output (a template in the current format) or,
// in an in-place run, the output's own source; anything else refuses the
// whole run, as do two files with one output and an output that would
// replace the source of another file. The report's place is planned here too.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/platform.h"
#include "legacy/legacy_reader.h"

namespace quorvane {

// What an existing file at an output path is, told from its text.
using FormatOfTemplateText = TemplateFormat (*)(std::string_view text);

// Where the outputs of a run go.
enum class OutputLayout {
  File,  // every output to the destination file
  Flat,  // into the destination directory under each file's own name
  Tree,  // each file's path below the source, kept below the destination
};

// The files of a run, or why its paths are refused.
struct SourceListing {
  std::vector<ListedPath> files;
  OutputLayout layout = OutputLayout::Flat;
  // SOURCE and DESTINATION name the same file or the same directory: each
  // file is converted onto itself.
  bool inPlace = false;
  // The one line that refuses the paths, such as
  // "Source path error: \"S\" is invalid."; empty when the paths serve.
  std::string refusal;
};

// Whether a path given as SOURCE or DESTINATION is "-": standard input or
// output, one template through it.
bool IsStandardStream(std::string_view path);

// Checks the paths and lists the files: the source file itself, or what the
// listing finds in the source directory, where a destination directory that
// lies inside it (and is not the source directory itself) is left out. A
// destination directory that is the source directory converts in place: each
// file onto itself (Tree); any other takes the files Flat, or Tree when
// `keepTree`.
SourceListing ListSources(const std::string& sourcePath, const std::string& destinationPath,
                          bool keepTree = false);

// One listed path and where its conversion goes.
struct PlannedFile {
  std::string source;
  // Empty for a directory that could not be listed.
  std::string output;
  // Why the listing could not take the path (ListedPath::error), or 0.
  int listingError = 0;
  bool isDirectory = false;

  bool Readable() const { return listingError == 0; }
};

// Each file's output: the destination file; the destination directory + "/"
// + the file's last path component (only '/' separates names); or the
// destination + the file's path below the source.
std::vector<PlannedFile> PlanOutputs(const std::vector<ListedPath>& files,
                                     const std::string& destinationPath, OutputLayout layout);

// The first two entries, in listing order, that would write the same file,
// however their paths are spelled: the indexes of the earlier and the
// later; none when every output is its own.
std::optional<std::pair<std::size_t, std::size_t>> FindOutputClash(
    const std::vector<PlannedFile>& plan);

// Why the planned outputs may not be written, as the console's lines
// ("Fail to plan the output: ..." and how to proceed); empty when they may.
// Looks, in listing order, at what each output path holds: the source of
// another file (through any spelling, link or hard link), its own source
// outside an in-place run, or anything else than a template in the current
// format (as `formatOf` tells it). Links are judged by what they lead to.
std::string RefuseOutputs(const std::vector<PlannedFile>& plan, OutputLayout layout,
                          bool inPlace, FormatOfTemplateText formatOf);

// Where the report goes.
struct ReportTarget {
  enum class Kind {
    StandardOutput,  // "-", or a path to what standard output writes to
    StandardError,   // a path to what standard error writes to
    File,            // a regular file, replaced atomically; `path` has every link resolved
    Existing,        // something else that is there (a device, a fifo): written into
  };
  Kind kind = Kind::File;
  std::string path;
};

// The report's place, or none when it cannot serve: a directory, a link
// that leads nowhere, a file in a directory that is not there. A path to
// the file or pipe the run's standard output or error writes to (such as
// /dev/stdout) is written through that stream, after the run's lines,
// rather than replaced under them.
std::optional<ReportTarget> PlanReport(const std::string& path);

// Why the report may not go where asked: it would replace a file the run
// reads or writes. Empty when it may.
std::string RefuseReport(const std::string& givenPath, const ReportTarget& target,
                         const std::vector<PlannedFile>& plan);

// Why the report of a run refused before its listing may not go where
// asked: an existing file below the source directory. Empty when it may.
std::string RefuseReportInSourceTree(const std::string& givenPath, const ReportTarget& target,
                                     const std::string& sourcePath);

// The directory a path names its file in: "." for a bare name.
std::string DirectoryOf(std::string_view path);

}  // namespace quorvane
