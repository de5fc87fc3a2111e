#pragma once

// The JSON report of a run (--report FILE): the tool, the paths and options
// as given, what became of every listed file in listing order (with, for a
// converted file, the names its sections took and the legacy keys it did not
// carry over), and the counts. Paths and messages are the console's texts,
// with each byte that is not UTF-8 shown as U+FFFD.

#include <json/json.h>

#include <cstddef>
#include <string>
#include <vector>

#include "driver/run_sinks.h"

namespace quorvane {

class RunReport : public RunSink {
 public:
  RunReport(const std::string& source, const std::string& destination, const RunOptions& options);

  // The refusal's lines, and each file left alone as not converted.
  void Refused(const std::string& lines, const std::vector<PlannedFile>& files) override;
  void Committed(const FileOutcome& outcome) override;
  void NotReached(const PlannedFile& file) override;
  void Ended(const RunCounts&, std::size_t, int) override {}
  bool NeedsRecord() const override { return true; }

  // The report, ended by a line break.
  std::string Text();

 private:
  Json::Value root_;
  RunCounts counts_;
  std::size_t notConverted_ = 0;
};

}  // namespace quorvane
