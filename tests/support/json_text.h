#pragma once

// Small helpers shared by the tests: JSON from text, text from JSON, and
// long JSON lists made of copies.

#include <json/json.h>

#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace quorvane::testing {

// Parses `text` strictly; a test with malformed JSON in it is itself broken.
inline Json::Value ParseJson(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
    throw std::invalid_argument("bad JSON in test: " + text + "\n" + errors);
  }
  return value;
}

// A compact, key-sorted rendering, for comparing written objects; comments
// of case files are left out.
inline std::string Compact(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["commentStyle"] = "None";
  return Json::writeString(builder, value);
}

// `count` copies of `element`, separated by commas: the inside of a JSON list.
inline std::string Repeated(const std::string& element, std::size_t count) {
  std::string text;
  text.reserve((element.size() + 1) * count);
  for (std::size_t i = 0; i < count; ++i) text += (i > 0 ? "," : "") + element;
  return text;
}

// Set by scripts/regenerate-golden.sh: the golden tests write what the build
// produces instead of comparing, and git shows the difference for review.
inline bool Regenerating() {
  const char* value = std::getenv("LUMIFLOW_REGENERATE_GOLDEN");
  return value != nullptr && *value != '\0';
}

inline void WriteFileText(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file.flush()) throw std::runtime_error("cannot write " + path);
}

}  // namespace quorvane::testing
