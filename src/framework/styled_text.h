#pragma once

// JSON text exactly as the JSON library's styled writer (toStyledString)
// lays it out, written from calls in document order into one string,
// without building a tree of values first: a tab per level, " : " after a
// key, every non-empty object and array over several lines, "{}" and "[]"
// when empty, strings escaped to ASCII, and a final line break. The
// model's classes write their output through it, each by a walk of its
// mapping.

#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

class StyledText {
 public:
  // Appends to `out`, which the writer does not own.
  explicit StyledText(std::string& out) : out_(out) {}

  // An object: its members are Key() each followed by one value. Whether it
  // is empty is known at its end.
  void BeginObject();
  void Key(std::string_view key);
  // A key already quoted and followed by " : " (KeyText of it), as a class
  // keeps the keys it writes again and again.
  void QuotedKey(std::string_view keyText);
  static std::string KeyText(std::string_view key);
  // `nullWhenEmpty`: an object without members is written as null, as a
  // model object that writes no key leaves its value.
  void EndObject(bool nullWhenEmpty = false);
  // An array of `size` values, each written in turn.
  void BeginArray(std::size_t size);
  void EndArray();

  void Int(std::int64_t value);
  void UInt(std::uint64_t value);
  void Real(double value);
  void Bool(bool value);
  void Null();
  void String(std::string_view value);
  // Any value, as the library would write it. Used for what a class builds
  // as a JSON value of its own; nested as deep as the model nests.
  void Value(const Json::Value& value);

  // The line break that ends the text.
  void Finish() { out_ += '\n'; }

  // `text` quoted and escaped as the library escapes it: control
  // characters and everything outside ASCII as \u escapes (UTF-16 pairs
  // beyond the first plane, U+FFFD for bytes that start no character).
  static void AppendQuoted(std::string& out, std::string_view text);

 private:
  struct Frame {
    bool isArray;
    std::size_t count;  // members or elements so far
    std::size_t size;   // an array's length
  };
  // What precedes a value: the layout of an array element.
  void BeforeValue();
  void Scalar(std::string_view text) {
    BeforeValue();
    out_ += text;
  }
  // A line break and the tabs of the current depth, in one append.
  void WriteIndent() {
    if (depth_ + 1 > indentation_.size()) indentation_.resize(depth_ + 1, '\t');
    out_.append(indentation_.data(), depth_ + 1);
  }
  void WriteWithIndent(std::string_view text);

  std::string& out_;
  std::string indentation_ = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  std::vector<Frame> frames_;
  std::size_t depth_ = 0;
  bool indented_ = true;
};

}  // namespace quorvane
