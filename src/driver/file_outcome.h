#pragma once

// What became of one file of a run, as one value: made when the file
// commits, in listing order, and handed as it is to whatever reports the run
// (the console, the JSON report).

#include <cstddef>
#include <string>
#include <vector>

#include "driver/legacy_conversion.h"
#include "driver/output_plan.h"

namespace quorvane {

enum class FileStatus {
  Converted,
  Skipped,    // already in the current format: nothing to do
  NotListed,  // a directory that could not be listed
  NotRead,
  NotChecked,
  NotOpened,
  NotWritten,
};

struct FileOutcome {
  FileStatus status = FileStatus::Converted;
  // The planned file: its source and its output.
  const PlannedFile* file = nullptr;
  // For a failure: the console's lines, each ended by '\n': what failed
  // ("Fail to read Old Template: FILE.") and why ("Error: " + a reason, or
  // the reader's own message).
  std::string message = {};
  // For a failure: the conversion's (or the checker's) error code, or the
  // system's error number of a file it would not read or write.
  int code = 0;
  // For a conversion asked for its record.
  ConversionRecord record = {};
  std::vector<std::string> notCarriedOver = {};
  std::vector<KeyAccounting::NamedChange> changes = {};

  bool Failed() const { return status != FileStatus::Converted && status != FileStatus::Skipped; }
  // Turns the outcome into a failure of `status`, `reason` being the line
  // (or lines) after the one that names the step and the file.
  void Fail(FileStatus failure, const std::string& reason, int errorCode);
};

// How many committed files came to each end.
struct RunCounts {
  std::size_t converted = 0;
  std::size_t failed = 0;
  std::size_t skipped = 0;

  void Add(const FileOutcome& outcome) {
    ++(outcome.Failed()                          ? failed
       : outcome.status == FileStatus::Skipped ? skipped
                                               : converted);
  }
  std::size_t Done() const { return converted + failed + skipped; }
};

}  // namespace quorvane
