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

// Parses a current-format text. On failure `errors` holds the reader's error
// list, or the text of what the reader threw (nesting beyond its limit).
bool ParseTemplateText(std::string_view text, Json::Value& value, std::string& errors) {
  static const Json::CharReaderBuilder builder = WholeTextReader();
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  const char* begin = text.data() != nullptr ? text.data() : "";
  try {
    if (reader->parse(begin, begin + text.size(), &value, &errors)) return true;
  } catch (const std::exception& e) {
    errors = e.what();
  }
  value = Json::Value();
  return false;
}

}  // namespace

int ParseTemplateObject(std::string_view text, Json::Value& value, std::string& message) {
  if (ExceedsJsonValueLimit(text)) {
    message = JsonValueLimitMessage();
    return errors::kTemplateComplex;
  }
  std::string parseErrors;
  if (!ParseTemplateText(text, value, parseErrors)) {
    message = std::move(parseErrors);
    return errors::kJsonParseFailed;
  }
  if (!value.isObject()) {
    message = texts::kNotAnObject;
    return errors::kJsonValueInvalid;
  }
  return errors::kSuccess;
}

std::string UndefinedName(std::string_view kind, std::string_view name, std::string_view referrer) {
  std::string text(kind);
  for (std::string_view part : {texts::kNamedKind, name, texts::kReferencedIn, referrer,
                                texts::kIsUndefined}) {
    text.append(part);
  }
  return text;
}

std::string BaseNameInvalid(std::string_view key) {
  return Prefixed(key, texts::kBaseNameInvalid, Joint::kSpace);
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
