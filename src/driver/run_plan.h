#pragma once

// The plan of a whole run, made before anything is converted or written:
// where the report goes, the files and their outputs, and the first reason
// to refuse the run (the report's path, the paths, the report's place, what
// an output would replace), in that order. A refusal found halfway through
// the conversions would leave half a run behind.

#include <optional>
#include <string>
#include <vector>

#include "driver/convert_options.h"
#include "driver/output_plan.h"

namespace quorvane {

struct RunPlan {
  std::vector<PlannedFile> files;
  OutputLayout layout = OutputLayout::Flat;
  bool inPlace = false;
  // Where the report goes; none when none is asked for, or when it may not
  // be written (its path cannot serve, or it would replace a file of the run).
  std::optional<ReportTarget> report;
  // The console's lines that refuse the run, each ended by '\n'; empty when
  // the run goes ahead.
  std::string refusal;

  bool Refused() const { return !refusal.empty(); }
};

RunPlan PlanRun(const std::string& sourcePath, const std::string& destinationPath,
                const RunOptions& options, FormatOfTemplateText formatOf);

// The usage error of a standard stream as SOURCE or DESTINATION with what it
// cannot go with: a directory on the other side, or the report on standard
// output as well; empty when there is none.
std::string StreamUsageError(const RunOptions& options, const std::string& sourcePath,
                             const std::string& destinationPath);

}  // namespace quorvane
