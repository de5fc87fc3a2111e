#include "driver/run_plan.h"

namespace quorvane {

RunPlan PlanRun(const std::string& sourcePath, const std::string& destinationPath,
                const RunOptions& options, FormatOfTemplateText formatOf) {
  RunPlan plan;
  if (options.report) {
    plan.report = PlanReport(*options.report);
    if (!plan.report) {
      plan.refusal = "Report path error: \"" + *options.report + "\" is invalid.\n";
      return plan;
    }
  }
  const SourceListing listing = ListSources(sourcePath, destinationPath, options.keepTree);
  if (!listing.refusal.empty()) {
    plan.refusal = listing.refusal + "\n";
    // Refused paths still get their report, but not over a file given as
    // one of them: that is the user's file, not one the run may replace.
    if (plan.report) {
      std::string refusal =
          RefuseReport(*options.report, *plan.report, {{sourcePath, destinationPath}});
      // The tree was not listed, so any file in it may be one of its sources.
      if (refusal.empty()) {
        refusal = RefuseReportInSourceTree(*options.report, *plan.report, sourcePath);
      }
      if (!refusal.empty()) {
        plan.refusal += refusal;
        plan.report.reset();
      }
    }
    return plan;
  }
  plan.layout = listing.layout;
  plan.inPlace = listing.inPlace;
  plan.files = PlanOutputs(listing.files, destinationPath, listing.layout);
  if (plan.report) {
    plan.refusal = RefuseReport(*options.report, *plan.report, plan.files);
    if (plan.Refused()) {
      // A report there would replace what the run reads or writes.
      plan.report.reset();
      return plan;
    }
  }
  plan.refusal = RefuseOutputs(plan.files, plan.layout, plan.inPlace, formatOf);
  return plan;
}

std::string StreamUsageError(const RunOptions& options, const std::string& sourcePath,
                             const std::string& destinationPath) {
  const std::string program = "lumiflow-convert: ";
  const bool fromInput = IsStandardStream(sourcePath);
  const bool toOutput = IsStandardStream(destinationPath);
  if (toOutput && options.report == "-") {
    return program + "the report and the converted template cannot both go to standard output";
  }
  if (toOutput && !fromInput && GetPathKind(sourcePath.c_str()) == PathKind::Directory) {
    return program + "a directory cannot be converted to standard output";
  }
  if (fromInput && !toOutput && GetPathKind(destinationPath.c_str()) == PathKind::Directory) {
    return program + "standard input is converted into a file or to standard output, not into "
                     "a directory";
  }
  return {};
}

}  // namespace quorvane
