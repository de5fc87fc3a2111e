#include "framework/json_text_limits.h"

#include <cstring>

#include "framework/messages.h"

namespace quorvane {

namespace {

// The first byte after the string that starts after the opening quote at
// `p`; `end` when the string is not closed.
const char* SkipString(const char* p, const char* end) {
  while (p < end) {
    const char c = *p++;
    if (c == '"') return p;
    if (c == '\\' && p < end) ++p;
  }
  return end;
}

// The first byte after the comment that starts after the '/' at `p`; `p`
// itself when no comment starts there.
const char* SkipComment(const char* p, const char* end) {
  if (p == end) return p;
  if (*p == '/') {
    const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    return newline != nullptr ? static_cast<const char*>(newline) + 1 : end;
  }
  if (*p == '*') {
    for (const char* q = p + 1; q + 1 < end; ++q) {
      if (q[0] == '*' && q[1] == '/') return q + 2;
    }
    return end;
  }
  return p;
}

}  // namespace

bool ExceedsJsonValueLimit(std::string_view text, std::size_t limit) {
  // Each value past the first takes a byte of its own: a shorter text
  // cannot hold more, and is not scanned.
  if (text.size() < limit) return false;
  std::size_t values = 1;
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    switch (*p++) {
      case '"':
        p = SkipString(p, end);
        break;
      case '/':
        p = SkipComment(p, end);
        break;
      case ',':
      case '[':
      case '{':
        if (++values > limit) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

std::string JsonValueLimitMessage(std::size_t limit) {
  return std::string(texts::kValueLimitPrefix) + std::to_string(limit) +
         std::string(texts::kValueLimitSuffix);
}

std::string TooLargeReason() {
  return "Error: the file is larger than " + std::to_string(kMaxTemplateFileBytes >> 20) + " MiB.";
}

}  // namespace quorvane
