#include "driver/run_report.h"

#include <string_view>

#include "driver/report_entry.h"

namespace quorvane {

namespace {

const char* FailedStep(FileStatus status) {
  switch (status) {
    case FileStatus::NotRead:
      return "read";
    case FileStatus::NotChecked:
      return "check";
    case FileStatus::NotOpened:
      return "open";
    case FileStatus::NotListed:
      return "list";
    case FileStatus::NotWritten:
    case FileStatus::Converted:
    case FileStatus::Skipped:
      break;
  }
  return "write";
}

// The paths of a listed entry; a directory that could not be listed has no output.
Json::Value Entry(const PlannedFile& file) {
  Json::Value entry(Json::objectValue);
  entry["source"] = Utf8Text(file.source);
  entry["output"] = file.isDirectory ? Json::Value(Json::nullValue) : Utf8Text(file.output);
  return entry;
}

// A console text without the line break after its last line.
std::string_view WithoutLastBreak(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return text;
}

}  // namespace

RunReport::RunReport(const std::string& source, const std::string& destination,
                     const RunOptions& options)
    : root_(Json::objectValue) {
  root_["tool"] = "lumiflow-convert";
  root_["version"] = LUMIFLOW_VERSION;
  root_["source"] = Utf8Text(source);
  root_["destination"] = Utf8Text(destination);
  Json::Value& given = root_["options"] = Json::Value(Json::objectValue);
  given["keepTree"] = options.keepTree;
  given["keepGoing"] = options.keepGoing;
  given["dryRun"] = options.dryRun;
  given["quiet"] = options.quiet;
  given["jobs"] = options.jobs;
  root_["files"] = Json::Value(Json::arrayValue);
}

void RunReport::Refused(const std::string& lines, const std::vector<PlannedFile>& files) {
  root_["refusal"] = Utf8Text(WithoutLastBreak(lines));
  for (const PlannedFile& file : files) NotReached(file);
}

void RunReport::Committed(const FileOutcome& outcome) {
  counts_.Add(outcome);
  Json::Value entry = Entry(*outcome.file);
  if (outcome.status == FileStatus::Converted) {
    AddConversion(outcome.record, outcome.notCarriedOver, outcome.changes, entry);
  } else if (outcome.status == FileStatus::Skipped) {
    entry["status"] = "skipped";
  } else {
    entry["status"] = "failed";
    entry["failure"] = FailedStep(outcome.status);
    entry["code"] = outcome.code;
    entry["message"] = Utf8Text(WithoutLastBreak(outcome.message));
  }
  root_["files"].append(std::move(entry));
}

void RunReport::NotReached(const PlannedFile& file) {
  ++notConverted_;
  Json::Value entry = Entry(file);
  entry["status"] = "not converted";
  root_["files"].append(std::move(entry));
}

std::string RunReport::Text() {
  Json::Value& summary = root_["summary"] = Json::Value(Json::objectValue);
  summary["listed"] = static_cast<Json::UInt64>(root_["files"].size());
  summary["converted"] = static_cast<Json::UInt64>(counts_.converted);
  summary["failed"] = static_cast<Json::UInt64>(counts_.failed);
  summary["skipped"] = static_cast<Json::UInt64>(counts_.skipped);
  summary["notConverted"] = static_cast<Json::UInt64>(notConverted_);
  return ReportText(root_);
}

}  // namespace quorvane
