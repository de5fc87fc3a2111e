// The verdict on every link of a chain of bases, judged all at once, against
// judging the sections one by one, each walking its chain, on every small
// shape of links.

#include "legacy/base_links.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace quorvane {
namespace {

// The sections one by one in order, each walking its chain with the links
// dropped so far.
std::vector<BaseLink> OneByOne(std::vector<int> baseOf) {
  std::vector<BaseLink> verdict(baseOf.size(), BaseLink::kKept);
  for (int start = 0; start < static_cast<int>(baseOf.size()); ++start) {
    if (baseOf[start] == kNoBase) continue;
    std::set<int> seen{start};
    int next = baseOf[start];
    while (next >= 0 && seen.insert(next).second) next = baseOf[next];
    if (next == kMissingBase) {
      verdict[start] = BaseLink::kNamesNothing;
    } else if (next == start) {
      verdict[start] = BaseLink::kLoops;
    } else {
      continue;
    }
    baseOf[start] = kNoBase;
  }
  return verdict;
}

TEST(BaseLinks, JudgedAtOnceAsOneByOne) {
  const struct {
    const char* name;
    std::vector<int> baseOf;
    std::vector<BaseLink> expected;
  } cases[] = {
      {"none", {}, {}},
      {"a section on itself", {0}, {BaseLink::kLoops}},
      {"a chain to a missing name judged from its start: every link drops",
       {1, kMissingBase},
       {BaseLink::kNamesNothing, BaseLink::kNamesNothing}},
      {"the later judged first ends the earlier's chain",
       {kMissingBase, 0},
       {BaseLink::kNamesNothing, BaseLink::kKept}},
      {"a loop of three: only its first drops", {1, 2, 0},
       {BaseLink::kLoops, BaseLink::kKept, BaseLink::kKept}},
      {"a section leading into a loop keeps its link", {2, 2, 1},
       {BaseLink::kKept, BaseLink::kLoops, BaseLink::kKept}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JudgeBaseLinks(c.baseOf), c.expected);
    EXPECT_EQ(OneByOne(c.baseOf), c.expected);
  }
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    const int count = 1 + static_cast<int>(random() % 9);
    std::vector<int> baseOf(count);
    for (int& base : baseOf) base = static_cast<int>(random() % (count + 2)) - 2;
    ASSERT_EQ(JudgeBaseLinks(baseOf), OneByOne(baseOf)) << ::testing::PrintToString(baseOf);
  }
}

}  // namespace
}  // namespace quorvane
