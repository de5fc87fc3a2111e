#include "document/document_internal.h"

#include <memory>

#include "framework/json_text_limits.h"
#include "framework/messages.h"
#include "framework/parameter_field_base.h"

namespace quorvane::document_internal {

namespace {

// The reader's defaults, but for text after the root value, which fails:
// two templates in one file are never read as the first alone.
Json::CharReaderBuilder WholeTextReader() {
  Json::CharReaderBuilder builder;
  builder["failIfExtra"] = true;
  return builder;
}

// Parses a current-format text; a failure carries the reader's error list,
// or the text of what the reader threw (nesting beyond its limit).
Failure ParseTemplateText(std::string_view text, Json::Value& value) {
  static const Json::CharReaderBuilder builder = WholeTextReader();
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  const char* begin = text.data() != nullptr ? text.data() : "";
  std::string errors;
  try {
    if (reader->parse(begin, begin + text.size(), &value, &errors)) return {};
  } catch (const std::exception& e) {
    errors = e.what();
  }
  value = Json::Value();
  return Failure::Of(errors::kJsonParseFailed, errors);
}

}  // namespace

Failure ParseTemplateObject(std::string_view text, Json::Value& value) {
  if (ExceedsJsonValueLimit(text)) {
    return Failure::Of(errors::kTemplateComplex, JsonValueLimitMessage());
  }
  if (Failure failure = ParseTemplateText(text, value)) return failure;
  if (!value.isObject()) return Failure::Of(errors::kJsonValueInvalid, texts::kNotAnObject);
  return {};
}

std::string UndefinedName(std::string_view kind, std::string_view name, std::string_view referrer) {
  std::string text(kind);
  for (std::string_view part : {texts::kNamedKind, name, texts::kReferencedIn, referrer,
                                texts::kIsUndefined}) {
    text.append(part);
  }
  return text;
}

Failure CodeFailure(std::string_view name, int code) {
  return Failure::Of(code, CodeMessage(name, code));
}

Failure TypeFailure(std::string_view key) { return CodeFailure(key, errors::kJsonTypeInvalid); }

Failure BaseNameInvalid(std::string_view key) {
  return Failure::Of(errors::kJsonValueInvalid,
                     Prefixed(key, texts::kBaseNameInvalid, Joint::kSpace));
}

bool StringMember(const Json::Value& object, std::string_view key, std::string_view& text) {
  const Json::Value* value = FindMember(object, key);
  if (value == nullptr || !value->isString()) return false;
  const char* begin = nullptr;
  const char* end = nullptr;
  text = value->getString(&begin, &end) ? std::string_view(begin, end - begin) : std::string_view();
  return true;
}

}  // namespace quorvane::document_internal
