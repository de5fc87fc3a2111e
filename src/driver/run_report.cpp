#include "driver/run_report.h"

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

void RunReport::SetRefusal(const std::string& consoleText) {
  std::string text = consoleText;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  root_["refusal"] = Utf8Text(text);
}

void RunReport::AddFile(const PlannedFile& file, const FileResult& result,
                        const std::string& consoleText) {
  Json::Value entry = Entry(file);
  if (result.status == FileStatus::Converted) {
    ++converted_;
    AddConversion(result.record, result.notCarriedOver, result.changes, entry);
  } else if (result.status == FileStatus::Skipped) {
    ++skipped_;
    entry["status"] = "skipped";
  } else {
    ++failed_;
    entry["status"] = "failed";
    entry["failure"] = FailedStep(result.status);
    entry["code"] = result.code;
    std::string message = consoleText;
    if (!message.empty() && message.back() == '\n') message.pop_back();
    entry["message"] = Utf8Text(message);
  }
  root_["files"].append(std::move(entry));
}

void RunReport::AddNotConverted(const PlannedFile& file) {
  ++notConverted_;
  Json::Value entry = Entry(file);
  entry["status"] = "not converted";
  root_["files"].append(std::move(entry));
}

std::string RunReport::Text() {
  Json::Value& summary = root_["summary"] = Json::Value(Json::objectValue);
  summary["listed"] = static_cast<Json::UInt64>(root_["files"].size());
  summary["converted"] = static_cast<Json::UInt64>(converted_);
  summary["failed"] = static_cast<Json::UInt64>(failed_);
  summary["skipped"] = static_cast<Json::UInt64>(skipped_);
  summary["notConverted"] = static_cast<Json::UInt64>(notConverted_);
  return ReportText(root_);
}

}  // namespace quorvane
