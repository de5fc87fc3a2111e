#include "framework/styled_json.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace quorvane {

namespace {

bool HasComment(const Json::Value& value) {
  return value.hasComment(Json::commentBefore) ||
         value.hasComment(Json::commentAfterOnSameLine) || value.hasComment(Json::commentAfter);
}

// The bytes jsoncpp writes as they are: printable ASCII and DEL, but for
// the quote and the backslash.
struct PlainBytes {
  bool plain[256] = {};
  constexpr PlainBytes() {
    for (int byte = 0x20; byte <= 0x7F; ++byte) plain[byte] = byte != '"' && byte != '\\';
  }
};
constexpr PlainBytes kPlainBytes;

// Quoted as jsoncpp quotes: plain bytes as they are; anything else, rare
// in a template, is escaped by jsoncpp itself.
void AppendQuoted(std::string& text, const char* begin, const char* end) {
  const char* c = begin;
  while (c != end && kPlainBytes.plain[static_cast<unsigned char>(*c)]) ++c;
  if (c == end) {
    const std::size_t length = static_cast<std::size_t>(end - begin);
    const std::size_t at = text.size();
    text.resize(at + length + 2);
    char* out = text.data() + at;
    out[0] = '"';
    std::copy(begin, end, out + 1);
    out[length + 1] = '"';
    return;
  }
  static const Json::StreamWriterBuilder builder;
  text += Json::writeString(builder, Json::Value(begin, end));
}

template <class Integer>
void AppendInteger(std::string& text, Integer value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text.append(buffer, result.ptr);
}

// An open array or object: the next child to write.
struct Frame {
  Json::Value::const_iterator next;
  Json::Value::const_iterator end;
  bool object;
  bool started;
};

bool IsOpenable(const Json::Value& value) {
  return (value.isArray() || value.isObject()) && !value.empty();
}

// Writes a scalar or an empty container, or opens a non-empty container by
// writing its bracket and pushing it.
void WriteOrOpen(const Json::Value& value, std::string& text, std::vector<Frame>& stack) {
  switch (value.type()) {
    case Json::nullValue:
      text += "null";
      break;
    case Json::intValue:
      AppendInteger(text, value.asLargestInt());
      break;
    case Json::uintValue:
      AppendInteger(text, value.asLargestUInt());
      break;
    case Json::realValue:
      text += Json::valueToString(value.asDouble());
      break;
    case Json::stringValue: {
      const char* begin = nullptr;
      const char* end = nullptr;
      if (value.getString(&begin, &end)) AppendQuoted(text, begin, end);
      break;
    }
    case Json::booleanValue:
      text += value.asBool() ? "true" : "false";
      break;
    case Json::arrayValue:
    case Json::objectValue: {
      const bool object = value.isObject();
      if (value.empty()) {
        text += object ? "{}" : "[]";
        break;
      }
      text += object ? '{' : '[';
      stack.push_back({value.begin(), value.end(), object, false});
      break;
    }
  }
}

// False when a comment is met: the text is then incomplete.
bool WriteWithoutComments(const Json::Value& root, std::string& text) {
  if (HasComment(root)) return false;
  std::vector<Frame> stack;
  WriteOrOpen(root, text, stack);
  while (!stack.empty()) {
    const std::size_t depth = stack.size();
    Frame& frame = stack.back();
    if (frame.next == frame.end) {
      text += '\n';
      text.append(depth - 1, '\t');
      text += frame.object ? '}' : ']';
      stack.pop_back();
      continue;
    }
    if (frame.started) text += ',';
    frame.started = true;
    const Json::Value& child = *frame.next;
    if (HasComment(child)) return false;
    text += '\n';
    text.append(depth, '\t');
    if (frame.object) {
      const char* end = nullptr;
      const char* begin = frame.next.memberName(&end);
      AppendQuoted(text, begin, end);
      text += " : ";
      // A member's array or object starts on a line of its own.
      if (IsOpenable(child)) {
        text += '\n';
        text.append(depth, '\t');
      }
    }
    ++frame.next;  // before WriteOrOpen, which may move the frames
    WriteOrOpen(child, text, stack);
  }
  text += '\n';
  return true;
}

}  // namespace

std::string StyledJsonText(const Json::Value& value) {
  std::string text;
  if (WriteWithoutComments(value, text)) return text;
  return value.toStyledString();
}

}  // namespace quorvane
