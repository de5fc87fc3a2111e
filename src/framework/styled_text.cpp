#include "framework/styled_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quorvane {

namespace {

void AppendHex(std::string& out, unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  const char escape[6] = {'\\',
                          'u',
                          kDigits[(value >> 12) & 0xF],
                          kDigits[(value >> 8) & 0xF],
                          kDigits[(value >> 4) & 0xF],
                          kDigits[value & 0xF]};
  out.append(escape, sizeof escape);
}

// The code point that starts at `at`, moved to its last byte, as the
// library decodes it: the lead byte's length is trusted, a sequence cut off
// by the end, an overlong form or a surrogate gives U+FFFD.
unsigned DecodeCodePoint(const char*& at, const char* end) {
  constexpr unsigned kReplacement = 0xFFFD;
  const auto byte = [&at](int i) { return static_cast<unsigned>(static_cast<unsigned char>(at[i])); };
  const unsigned first = byte(0);
  if (first < 0x80) return first;
  if (first < 0xE0) {
    if (end - at < 2) return kReplacement;
    const unsigned value = ((first & 0x1F) << 6) | (byte(1) & 0x3F);
    at += 1;
    return value < 0x80 ? kReplacement : value;
  }
  if (first < 0xF0) {
    if (end - at < 3) return kReplacement;
    const unsigned value = ((first & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    at += 2;
    if (value >= 0xD800 && value <= 0xDFFF) return kReplacement;
    return value < 0x800 ? kReplacement : value;
  }
  if (first < 0xF8) {
    if (end - at < 4) return kReplacement;
    const unsigned value = ((first & 0x07) << 18) | ((byte(1) & 0x3F) << 12) |
                           ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
    at += 3;
    return value < 0x10000 ? kReplacement : value;
  }
  return kReplacement;
}

}  // namespace

void StyledText::AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  const char* at = text.data();
  const char* end = at + text.size();
  while (at != end) {
    // Runs that need no escape are copied whole.
    const char* plain = at;
    while (plain != end) {
      const auto c = static_cast<unsigned char>(*plain);
      if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') break;
      ++plain;
    }
    out.append(at, plain);
    at = plain;
    if (at == end) break;
    switch (*at) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        unsigned point = DecodeCodePoint(at, end);
        if (point < 0x20 || (point >= 0x80 && point < 0x10000)) {
          AppendHex(out, point);
        } else if (point < 0x80) {
          out += static_cast<char>(point);
        } else {
          point -= 0x10000;
          AppendHex(out, 0xD800 + ((point >> 10) & 0x3FF));
          AppendHex(out, 0xDC00 + (point & 0x3FF));
        }
      }
    }
    ++at;
  }
  out += '"';
}

void StyledText::WriteWithIndent(std::string_view text) {
  if (!indented_) WriteIndent();
  out_ += text;
  indented_ = false;
}

void StyledText::BeforeValue() {
  if (frames_.empty() || !frames_.back().isArray) return;
  Frame& array = frames_.back();
  if (array.count++ > 0) {
    indented_ = false;
    out_ += ',';
  }
  if (!indented_) WriteIndent();
  indented_ = true;
}

void StyledText::BeginObject() {
  BeforeValue();
  frames_.push_back({false, 0, 0});
}

std::string StyledText::KeyText(std::string_view key) {
  std::string text;
  AppendQuoted(text, key);
  text += " : ";
  return text;
}

void StyledText::QuotedKey(std::string_view keyText) {
  Frame& object = frames_.back();
  if (object.count++ == 0) {
    WriteWithIndent("{");
    ++depth_;
  } else {
    out_ += ',';
  }
  // After "{" or a member's value the writer never stands indented.
  WriteIndent();
  out_ += keyText;
  indented_ = false;
}

void StyledText::Key(std::string_view key) { QuotedKey(KeyText(key)); }

void StyledText::EndObject(bool nullWhenEmpty) {
  if (frames_.back().count == 0) {
    out_ += nullWhenEmpty ? "null" : "{}";
  } else {
    --depth_;
    WriteWithIndent("}");
  }
  frames_.pop_back();
}

void StyledText::BeginArray(std::size_t size) {
  BeforeValue();
  frames_.push_back({true, 0, size});
  if (size == 0) {
    out_ += "[]";
    return;
  }
  WriteWithIndent("[");
  ++depth_;
}

void StyledText::EndArray() {
  if (frames_.back().size != 0) {
    indented_ = false;
    --depth_;
    WriteWithIndent("]");
  }
  frames_.pop_back();
}

void StyledText::Int(std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  Scalar(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void StyledText::UInt(std::uint64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  Scalar(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void StyledText::Real(double value) {
  if (!std::isfinite(value)) {
    Scalar(std::isnan(value) ? "null" : value < 0 ? "-1e+9999" : "1e+9999");
    return;
  }
  char digits[40];
  const int length = std::snprintf(digits, sizeof digits, "%.17g", value);
  std::string text(digits, static_cast<std::size_t>(length));
  // Whatever the locale, a point; and a real keeps looking like one.
  for (char& c : text) {
    if (c == ',') c = '.';
  }
  if (text.find('.') == std::string::npos && text.find('e') == std::string::npos) text += ".0";
  Scalar(text);
}

void StyledText::Bool(bool value) { Scalar(value ? "true" : "false"); }

void StyledText::Null() { Scalar("null"); }

void StyledText::String(std::string_view value) {
  BeforeValue();
  AppendQuoted(out_, value);
}

void StyledText::Value(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      Null();
      return;
    case Json::intValue:
      Int(value.asLargestInt());
      return;
    case Json::uintValue:
      UInt(value.asLargestUInt());
      return;
    case Json::realValue:
      Real(value.asDouble());
      return;
    case Json::stringValue: {
      const char* begin = nullptr;
      const char* end = nullptr;
      value.getString(&begin, &end);
      String(std::string_view(begin, static_cast<std::size_t>(end - begin)));
      return;
    }
    case Json::booleanValue:
      Bool(value.asBool());
      return;
    case Json::arrayValue:
      BeginArray(value.size());
      for (const Json::Value& element : value) Value(element);
      EndArray();
      return;
    case Json::objectValue:
      BeginObject();
      for (auto member = value.begin(); member != value.end(); ++member) {
        const char* end = nullptr;
        const char* begin = member.memberName(&end);
        Key(std::string_view(begin, static_cast<std::size_t>(end - begin)));
        Value(*member);
      }
      EndObject();
      return;
  }
}

}  // namespace quorvane
