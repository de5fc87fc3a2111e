#include "legacy/base_links.h"

#include <climits>
#include <cstddef>

namespace quorvane {

// One by one, a section whose chain reaches a missing name drops its link
// unless a section further along the chain, judged earlier, has already
// dropped its own (the chain then ends there). On a loop, the first of its
// sections in order drops its link and the loop is a chain from then on; a
// section that only leads into a loop keeps its link.
std::vector<BaseLink> JudgeBaseLinks(const std::vector<int>& baseOf) {
  const int count = static_cast<int>(baseOf.size());
  enum class State : unsigned char { kNew, kOnPath, kDone };
  std::vector<State> state(baseOf.size(), State::kNew);
  std::vector<BaseLink> verdict(baseOf.size(), BaseLink::kKept);
  // Per section whose chain ends at a missing name: the first (in order) of
  // the sections from it along its chain that drop their links.
  std::vector<int> firstDropped(baseOf.size(), INT_MAX);
  std::vector<bool> reachesMissing(baseOf.size(), false);
  std::vector<int> path;
  for (int start = 0; start < count; ++start) {
    if (state[start] != State::kNew) continue;
    path.clear();
    int at = start;
    while (at >= 0 && state[at] == State::kNew) {
      state[at] = State::kOnPath;
      path.push_back(at);
      at = baseOf[at];
    }
    std::size_t tail = path.size();
    if (at >= 0 && state[at] == State::kOnPath) {
      // A loop: from `at` to the end of the path.
      std::size_t first = path.size();
      while (path[first - 1] != at) --first;
      --first;
      int least = INT_MAX;
      for (std::size_t i = first; i < path.size(); ++i) least = path[i] < least ? path[i] : least;
      verdict[least] = BaseLink::kLoops;
      for (std::size_t i = first; i < path.size(); ++i) state[path[i]] = State::kDone;
      tail = first;
    }
    // The rest of the path leads, from its end back to its start, into a
    // loop, a section without a base, a missing name, or a section done.
    bool missing = at == kMissingBase || (at >= 0 && tail == path.size() && reachesMissing[at]);
    int dropped = at >= 0 && missing ? firstDropped[at] : INT_MAX;
    for (std::size_t i = tail; i-- > 0;) {
      const int section = path[i];
      state[section] = State::kDone;
      if (!missing) continue;
      reachesMissing[section] = true;
      if (dropped > section) {
        verdict[section] = BaseLink::kNamesNothing;
        dropped = section;
      }
      firstDropped[section] = dropped;
    }
  }
  return verdict;
}

}  // namespace quorvane
