#pragma once

// What the parts of the template document share: parsing a template text,
// reading a name, and running an operation so that nothing it throws gets
// out. Not for use outside src/document.

#include <json/json.h>

#include <exception>
#include <new>
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

// Runs one operation of the document so that nothing it throws gets out: a
// failed allocation, or a misuse of a JSON value, becomes a code.
template <class Operation>
int Guarded(std::string& message, Operation&& operation) {
  try {
    return operation();
  } catch (const std::bad_alloc&) {
    message = GetErrorString(errors::kOutOfMemory);
    return errors::kOutOfMemory;
  } catch (const std::exception& e) {
    message = e.what();
    return errors::kUnknown;
  }
}

}  // namespace quorvane::document_internal
