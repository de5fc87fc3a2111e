#include "driver/run_report.h"

#include <memory>
#include <string_view>
#include <sstream>

namespace quorvane {

namespace {

// The length of the UTF-8 sequence at the start of `text`, or 0 when its
// first byte starts none (overlong forms, surrogates and code points
// beyond U+10FFFF included).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // the bounds of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// Text for the report: file names and keys are bytes, not always UTF-8.
// Each byte that starts no UTF-8 sequence becomes U+FFFD and every other
// byte is kept, so that one bad byte never takes the ones after it along.
Json::Value Utf8Text(std::string_view text) {
  std::string valid;
  valid.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text.substr(i));
    if (length == 0) {
      valid += "\xEF\xBF\xBD";
      ++i;
    } else {
      valid.append(text, i, length);
      i += length;
    }
  }
  return Json::Value(valid);
}

// A value of a legacy text for the report, its strings and keys made UTF-8
// as Utf8Text makes names. A nested value goes through its text, whose
// nesting the readers have already bounded.
Json::Value Utf8Json(const Json::Value& value) {
  if (value.isString()) {
    const char* begin = nullptr;
    const char* end = nullptr;
    value.getString(&begin, &end);
    return Utf8Text(std::string_view(begin, static_cast<std::size_t>(end - begin)));
  }
  if (!value.isObject() && !value.isArray()) return value;
  static const Json::StreamWriterBuilder raw = [] {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    return builder;
  }();
  const std::string text = Utf8Text(Json::writeString(raw, value)).asString();
  static const Json::CharReaderBuilder reader;
  const std::unique_ptr<Json::CharReader> parser(reader.newCharReader());
  Json::Value sane;
  std::string errors;
  return parser->parse(text.data(), text.data() + text.size(), &sane, &errors) ? sane : Json::Value();
}

Json::Value StringList(const std::vector<std::string>& names) {
  Json::Value list(Json::arrayValue);
  for (const std::string& name : names) list.append(Utf8Text(name));
  return list;
}

// A name the conversion may leave empty: null then.
Json::Value NameOrNull(const std::string& name) {
  return name.empty() ? Json::Value(Json::nullValue) : Utf8Text(name);
}

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

void AddNames(const ConversionRecord& record, Json::Value& entry) {
  Json::Value& imageParameters = entry["imageParameters"] = Json::Value(Json::arrayValue);
  for (const ConversionRecord::ImageParameter& made : record.imageParameters) {
    Json::Value item(Json::objectValue);
    if (!made.legacyName.empty()) item["name"] = Utf8Text(made.legacyName);
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
    item["name"] = Utf8Text(made.name);
    item["targetROIDef"] = NameOrNull(made.targetROIDef);
    item["tasks"] = StringList(made.tasks);
    regions.append(std::move(item));
  }
  entry["formatSpecifications"] = StringList(record.formatSpecifications);
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
    entry["status"] = "converted";
    AddNames(result.record, entry);
    entry["notCarriedOver"] = StringList(result.notCarriedOver);
    Json::Value& changes = entry["changes"] = Json::Value(Json::arrayValue);
    for (const KeyAccounting::NamedChange& change : result.changes) {
      Json::Value item(Json::objectValue);
      item["path"] = Utf8Text(change.path);
      item["value"] = Utf8Json(change.value);
      item["written"] = Utf8Json(change.written);
      item["reason"] = std::string(change.reason);
      changes.append(std::move(item));
    }
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
