#include "framework/enum_table.h"

namespace quorvane {

namespace {

char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (ToUpperAscii(a[i]) != ToUpperAscii(b[i])) return false;
  }
  return true;
}

int LookupEnumValue(EnumTable table, std::string_view text) {
  if (text.empty()) return kEnumNotFound;
  const std::string_view wanted = TrimSpaces(text);
  for (const EnumEntry& entry : table) {
    if (EqualsIgnoringCase(entry.name, wanted)) return entry.value;
  }
  return kEnumNotFound;
}

int LookupExactName(EnumTable table, std::string_view text) {
  for (const EnumEntry& entry : table) {
    if (std::string_view(entry.name) == text) return entry.value;
  }
  return kEnumNotFound;
}

const char* EnumName(EnumTable table, int value) {
  for (const EnumEntry& entry : table) {
    if (entry.value == value) return entry.name;
  }
  return table.empty() ? "" : table.front().name;
}

}  // namespace quorvane
