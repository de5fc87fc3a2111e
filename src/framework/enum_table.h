#pragma once

// Enumerated keys of the template format: each has one table of (name, value)
// pairs in a fixed order. Reading matches names case-insensitively with the
// surrounding spaces trimmed; writing takes the first name of a value.

#include <span>
#include <string_view>

namespace quorvane {

struct EnumEntry {
  const char* name;
  int value;
};

using EnumTable = std::span<const EnumEntry>;

// An entry named as its enumerator is: `QV_ENUM_ENTRY(BM_AUTO)` is
// {"BM_AUTO", BM_AUTO}, so that a name table spells neither twice.
#define QV_ENUM_ENTRY(enumerator) \
  ::quorvane::EnumEntry { #enumerator, enumerator }

// The result of a failed look-up; no table of the format holds this value.
inline constexpr int kEnumNotFound = -999;

// The value paired with the name that matches `text` (ASCII case-insensitive,
// spaces around `text` ignored), in table order; kEnumNotFound when nothing
// matches or `text` is empty.
int LookupEnumValue(EnumTable table, std::string_view text);

// The value paired with the name that equals `text` exactly (no case
// folding, no trimming); kEnumNotFound when nothing matches.
int LookupExactName(EnumTable table, std::string_view text);

// The name of the first entry holding `value`; the name at position 0 when no
// entry holds it.
const char* EnumName(EnumTable table, int value);

// Only the space character is trimmed, never tabs or line breaks.
std::string_view TrimSpaces(std::string_view text);

// ASCII-only case-insensitive equality (bytes outside A-Z/a-z compare exactly).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quorvane
