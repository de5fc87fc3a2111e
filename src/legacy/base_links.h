#pragma once

// Which links of a chain of bases the conversion drops, judged for all the
// sections of one kind at once.

#include <vector>

namespace quorvane {

// The base of section i, by index into the same list, which is in the
// order the sections are judged in (byte order of their names).
inline constexpr int kNoBase = -1;       // the section has no base
inline constexpr int kMissingBase = -2;  // its base names no section

enum class BaseLink { kKept, kNamesNothing, kLoops };

// The verdict on each section's link, the same as judging the sections one
// by one in order, each dropping its link when its chain ends at a name
// that no section has or comes back to itself, with the links dropped so
// far taken into account. Linear in the number of sections: no chain is
// walked twice.
std::vector<BaseLink> JudgeBaseLinks(const std::vector<int>& baseOf);

}  // namespace quorvane
