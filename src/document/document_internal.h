#pragma once

// What the parts of the template document share: parsing a template text
// and reading a name. Not for use outside src/document.

#include <json/json.h>

#include <string>
#include <string_view>

#include "framework/error_codes.h"

namespace quorvane::document_internal {

// Parses a text that must hold a JSON object; a refusal leaves its text in
// `message`.
int ParseTemplateObject(std::string_view text, Json::Value& value, std::string& message);

// The string under `key` of `object`; false when `object` is not an object
// or holds no string there.
bool StringMember(const Json::Value& object, std::string_view key, std::string_view& text);

}  // namespace quorvane::document_internal
