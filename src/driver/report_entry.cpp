#include "driver/report_entry.h"

#include <memory>
#include <utility>

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
}  // namespace

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

namespace {

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

}  // namespace

void AddConversion(const ConversionRecord& record, const std::vector<std::string>& notCarriedOver,
                   const std::vector<KeyAccounting::NamedChange>& changes, Json::Value& entry) {
  entry["status"] = "converted";
  AddNames(record, entry);
  entry["notCarriedOver"] = StringList(notCarriedOver);
  Json::Value& list = entry["changes"] = Json::Value(Json::arrayValue);
  for (const KeyAccounting::NamedChange& change : changes) {
    Json::Value item(Json::objectValue);
    item["path"] = Utf8Text(change.path);
    item["value"] = Utf8Json(change.value);
    item["written"] = Utf8Json(change.written);
    item["reason"] = std::string(change.reason);
    list.append(std::move(item));
  }
}

std::string ReportText(const Json::Value& value) {
  static const Json::StreamWriterBuilder builder = [] {
    Json::StreamWriterBuilder report;
    report["indentation"] = "  ";
    // Escaped to ASCII, as the templates are: the report reads anywhere.
    report["emitUTF8"] = false;
    return report;
  }();
  return Json::writeString(builder, value) + "\n";
}

}  // namespace quorvane
