#pragma once

// Bounds on the JSON texts the converter and the checker are handed. The JSON
// library keeps each value as a tree node of some hundred bytes, so a text of
// a few megabytes of "0," would take gigabytes and many seconds to parse; no
// real template holds a fraction of the values allowed here.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane {

inline constexpr std::size_t kMaxJsonValues = std::size_t{1} << 20;

// Template files longer than this are refused unread: at a few dozen bytes a
// value, the value bound above is reached long before.
inline constexpr std::size_t kMaxTemplateFileBytes = std::size_t{64} << 20;

// Whether `text` may hold more than `limit` JSON values. One linear pass
// counts the openings of arrays and objects and the commas outside strings
// and comments: never fewer than the values the JSON library would make.
bool ExceedsJsonValueLimit(std::string_view text, std::size_t limit = kMaxJsonValues);

// The message that goes with a text refused by ExceedsJsonValueLimit.
std::string JsonValueLimitMessage(std::size_t limit = kMaxJsonValues);

// The reason line of a file over kMaxTemplateFileBytes, which is refused
// unread: "Error: the file is larger than 64 MiB."
std::string TooLargeReason();

}  // namespace quorvane
