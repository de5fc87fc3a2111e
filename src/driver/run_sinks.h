#pragma once

// What reports a run: each file's outcome, in listing order, goes to every
// sink of the run as it commits, and so does a refusal and the run's end.
// The console printer is always there; the JSON report (run_report.h) is
// one more sink when it is asked for.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "driver/convert_options.h"
#include "driver/file_outcome.h"

namespace quorvane {

class RunSink {
 public:
  virtual ~RunSink() = default;
  // The run is refused before anything is converted: the console's lines
  // that say why, and the files it would have converted (none when its
  // paths were refused).
  virtual void Refused(const std::string& lines, const std::vector<PlannedFile>& files) = 0;
  // A file is committed (converted and written, skipped, or failed).
  virtual void Committed(const FileOutcome& outcome) = 0;
  // A file after the one the run stopped at.
  virtual void NotReached(const PlannedFile& file) = 0;
  // The run went through its files, or stopped on signal `stopSignal`
  // (0 for none), with `counts` of the `listed` files.
  virtual void Ended(const RunCounts& counts, std::size_t listed, int stopSignal) = 0;
  // Whether it reads what a conversion records besides the output (the
  // names, the changes, the keys not carried over), which costs a walk.
  virtual bool NeedsRecord() const = 0;
};

// The lines of the console: each file's, as the options ask (-q, -v, -n),
// and the summary.
class ConsolePrinter : public RunSink {
 public:
  ConsolePrinter(std::ostream& console, const RunOptions& options)
      : console_(console), options_(options) {}

  void Refused(const std::string& lines, const std::vector<PlannedFile>& files) override;
  void Committed(const FileOutcome& outcome) override;
  void NotReached(const PlannedFile&) override {}
  void Ended(const RunCounts& counts, std::size_t listed, int stopSignal) override;
  bool NeedsRecord() const override { return options_.verbose; }

 private:
  std::ostream& console_;
  const RunOptions options_;
};

// The console lines of one file's outcome, each ended by '\n'; a success
// under `dryRun` says that nothing was written, and under `verbose` is
// followed by a line for each value the conversion changed.
std::string ConsoleText(const FileOutcome& outcome, bool dryRun = false, bool verbose = false);

// "Converted N of M files, K failed." with the skipped and the files not
// reached where there are any: every listed file is counted somewhere.
std::string SummaryLine(const RunCounts& counts, std::size_t listed, bool dryRun);

}  // namespace quorvane
