#pragma once

// The files of a run: reading a template and converting it, writing its
// output beside its place on the worker and renaming it over the place in
// turn, the directories a tree needs, the standard streams as SOURCE or
// DESTINATION, and the report's write. Every failure becomes the file's
// outcome; nothing here prints or throws.

#include <iosfwd>
#include <optional>
#include <set>
#include <string>

#include "driver/file_outcome.h"
#include "driver/legacy_conversion.h"
#include "driver/output_plan.h"
#include "framework/platform.h"

namespace quorvane {

// Converts the whole text of one legacy template into the text of the new
// template, with what `request` asks for besides. What it throws, the
// guard of PrepareFile reports as its failure; runs on several threads at
// once with more than one job.
using ConvertTemplateText = TemplateConversion (*)(const std::string& text,
                                                   const ConversionRequest& request);

// A file read and converted, waiting to be put in place: written beside
// its output already, or still as text.
struct PreparedFile {
  FileOutcome outcome;
  std::string outputText;
  PendingFile written;
};

// Whether the worker that converts a file writes it beside its output, so
// that its commit only renames it.
enum class WriteBeside {
  Never,               // nothing is written (a dry run), or not to a file
  Always,              // every output's directory is there before the run starts
  WhereDirectoryIsNow, // the run makes directories as it goes: the others wait for it
};

// Reads (or, with `given`, takes that text as the file's) and converts one
// file and, as `writeBeside` says, writes it beside its output; never throws.
PreparedFile PrepareFile(const PlannedFile& file, ConvertTemplateText convert,
                         const ConversionRequest& request,
                         WriteBeside writeBeside = WriteBeside::Never,
                         const std::string* given = nullptr);

// Puts a prepared file's output in place atomically (writing it first when
// its preparation did not, after creating the directories between
// `destination` and the output when `makeDirectories`).
// Adds each directory whose entries it changed to `changedDirectories`. A
// preparation that did not convert is returned as it is.
FileOutcome CommitFile(PreparedFile&& prepared, bool makeDirectories,
                       const std::string& destination, std::set<std::string>& changedDirectories);

// The template of standard input ("-" as SOURCE), read whole into `text`
// before it is converted, as `file`: the failure, or none when it was read.
std::optional<FileOutcome> ReadStandardInput(std::istream& in, const PlannedFile& file,
                                             std::string& text);

// Writes a converted (or skipped) template to standard output ("-" as
// DESTINATION) as the commit of a file: a skipped one goes through as
// `input`, its text.
FileOutcome CommitToStandardOutput(PreparedFile&& prepared, const std::string& input,
                                   std::ostream& standardOutput);

// Writes the report where its target says; 0, or the errno of the failure.
int WriteReport(const ReportTarget& target, const std::string& text, std::ostream& standardOutput,
                std::ostream& standardError, std::set<std::string>& changedDirectories);

}  // namespace quorvane
