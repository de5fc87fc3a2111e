#pragma once

// What the parts of the template document share: parsing a template text
// and reading a name. Not for use outside src/document.

#include <json/json.h>

#include <string>
#include <string_view>
#include <utility>

#include "framework/document_base.h"
#include "framework/error_codes.h"

namespace quorvane::document_internal {

// Task names that are known without being declared.
inline constexpr std::pair<const char*, TaskKind> kDefaultTaskNames[] = {
    {"zqa_task_default", kBarcodeReaderTask},
    {"zqe_task_default", kLabelRecognizerTask},
    {"zqi_task_default", kDocumentNormalizerTask},
};

// Parses a text that must hold a JSON object; a refusal leaves its text in
// `message`.
int ParseTemplateObject(std::string_view text, Json::Value& value, std::string& message);

// The string under `key` of `object`; false when `object` is not an object
// or holds no string there.
bool StringMember(const Json::Value& object, std::string_view key, std::string_view& text);

}  // namespace quorvane::document_internal
