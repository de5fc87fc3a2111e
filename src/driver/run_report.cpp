#include "driver/run_report.h"

#include <memory>
#include <sstream>

namespace quorvane {

namespace {

Json::Value StringList(const std::vector<std::string>& names) {
  Json::Value list(Json::arrayValue);
  for (const std::string& name : names) list.append(name);
  return list;
}

// A name the conversion may leave empty: null then.
Json::Value NameOrNull(const std::string& name) {
  return name.empty() ? Json::Value(Json::nullValue) : Json::Value(name);
}

const char* FailedStep(FileStatus status) {
  switch (status) {
    case FileStatus::NotRead:
      return "read";
    case FileStatus::NotChecked:
      return "check";
    case FileStatus::NotOpened:
      return "open";
    case FileStatus::NotWritten:
    case FileStatus::Converted:
      break;
  }
  return "write";
}

void AddNames(const ConversionRecord& record, Json::Value& entry) {
  Json::Value& imageParameters = entry["imageParameters"] = Json::Value(Json::arrayValue);
  for (const ConversionRecord::ImageParameter& made : record.imageParameters) {
    Json::Value item(Json::objectValue);
    if (!made.legacyName.empty()) item["name"] = made.legacyName;
    item["position"] = made.position;
    item["imageParameter"] = made.imageParameter;
    item["task"] = NameOrNull(made.task);
    item["captureFlowTemplate"] = made.captureFlowTemplate;
    item["regions"] = StringList(made.regions);
    imageParameters.append(std::move(item));
  }
  Json::Value& regions = entry["regions"] = Json::Value(Json::arrayValue);
  for (const ConversionRecord::Region& made : record.regions) {
    Json::Value item(Json::objectValue);
    item["name"] = made.name;
    item["targetROIDef"] = NameOrNull(made.targetROIDef);
    item["tasks"] = StringList(made.tasks);
    regions.append(std::move(item));
  }
  entry["formatSpecifications"] = StringList(record.formatSpecifications);
}

}  // namespace

RunReport::RunReport(const std::string& source, const std::string& destination,
                     const RunOptions& options)
    : root_(Json::objectValue) {
  root_["tool"] = "lumiflow-convert";
  root_["version"] = LUMIFLOW_VERSION;
  root_["source"] = source;
  root_["destination"] = destination;
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
  root_["refusal"] = text;
}

void RunReport::AddFile(const PlannedFile& file, const FileResult& result,
                        const std::string& consoleText) {
  Json::Value entry(Json::objectValue);
  entry["source"] = file.source;
  entry["output"] = file.output;
  if (result.status == FileStatus::Converted) {
    ++converted_;
    entry["status"] = "converted";
    AddNames(result.record, entry);
    entry["notCarriedOver"] = StringList(result.notCarriedOver);
  } else {
    ++failed_;
    entry["status"] = "failed";
    entry["failure"] = FailedStep(result.status);
    entry["code"] = result.code;
    std::string message = consoleText;
    if (!message.empty() && message.back() == '\n') message.pop_back();
    entry["message"] = std::move(message);
  }
  root_["files"].append(std::move(entry));
}

void RunReport::AddNotConverted(const PlannedFile& file) {
  ++notConverted_;
  Json::Value entry(Json::objectValue);
  entry["source"] = file.source;
  entry["output"] = file.output;
  entry["status"] = "not converted";
  root_["files"].append(std::move(entry));
}

std::string RunReport::Text() {
  Json::Value& summary = root_["summary"] = Json::Value(Json::objectValue);
  summary["listed"] = static_cast<Json::UInt64>(root_["files"].size());
  summary["converted"] = static_cast<Json::UInt64>(converted_);
  summary["failed"] = static_cast<Json::UInt64>(failed_);
  summary["notConverted"] = static_cast<Json::UInt64>(notConverted_);
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "  ";
  // Escaped to ASCII, as the templates are: the report reads anywhere.
  builder["emitUTF8"] = false;
  std::ostringstream text;
  const std::unique_ptr<Json::StreamWriter> writer(builder.newStreamWriter());
  writer->write(root_, &text);
  text << '\n';
  return text.str();
}

}  // namespace quorvane
