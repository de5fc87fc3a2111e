#pragma once

// What the parts of the template document share: parsing a template text,
// reading a name, and the messages that several of them give. Not for use
// outside src/document.

#include <json/json.h>

#include <string>
#include <string_view>
#include <utility>

#include "framework/document_base.h"
#include "framework/error_codes.h"
#include "framework/failure.h"

namespace quorvane::document_internal {

// Task names that are known without being declared.
inline constexpr std::pair<const char*, TaskKind> kDefaultTaskNames[] = {
    {"zqa_task_default", kBarcodeReaderTask},
    {"zqe_task_default", kLabelRecognizerTask},
    {"zqi_task_default", kDocumentNormalizerTask},
};

// Parses a text that must hold a JSON object.
Failure ParseTemplateObject(std::string_view text, Json::Value& value);

// kind + " name:" + name + " referenced in " + referrer + " is undefined": a
// name that no section of its kind answers to.
std::string UndefinedName(std::string_view kind, std::string_view name, std::string_view referrer);

// name + ":" + the code's text, as the failure of `code`.
Failure CodeFailure(std::string_view name, int code);

// key + ":" + "Json type invalid.": a value of the wrong JSON type.
Failure TypeFailure(std::string_view key);

// key + " has invalid baseName.": the bases of a section array loop or lead
// nowhere.
Failure BaseNameInvalid(std::string_view key);

// The string under `key` of `object`; false when `object` is not an object
// or holds no string there.
bool StringMember(const Json::Value& object, std::string_view key, std::string_view& text);

}  // namespace quorvane::document_internal
