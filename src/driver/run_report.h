#pragma once

// The JSON report of a run (--report FILE): the tool, the paths and options
// as given, what became of every listed file in listing order (with, for a
// converted file, the names its sections took and the legacy keys it did not
// carry over), and the counts. Paths and messages are the console's texts,
// with each byte that is not UTF-8 shown as U+FFFD.

#include <json/json.h>

#include <cstddef>
#include <string>

#include "driver/conversion_run.h"

namespace quorvane {

class RunReport {
 public:
  RunReport(const std::string& source, const std::string& destination, const RunOptions& options);

  // The console text that refused the run before it converted anything.
  void SetRefusal(const std::string& consoleText);
  // A file the run took in, with the console text of a failure.
  void AddFile(const PlannedFile& file, const FileResult& result, const std::string& consoleText);
  // A file the run stopped before, or that a refusal left alone.
  void AddNotConverted(const PlannedFile& file);

  // The report, ended by a line break.
  std::string Text();

 private:
  Json::Value root_;
  std::size_t converted_ = 0;
  std::size_t failed_ = 0;
  std::size_t skipped_ = 0;
  std::size_t notConverted_ = 0;
};

}  // namespace quorvane
