#include "driver/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace quorvane {
namespace {

// Whatever the workers' timing, commits come in list order, stop where
// asked (by a commit, or from outside between two items), and never leave
// more than the window of results waiting.
TEST(RunInListOrder, CommitsInOrderStopsAndBoundsWhatWaits) {
  const struct {
    std::size_t count;
    unsigned workers;
    std::size_t stopAt;  // the commit that returns false; count: none
    bool signalled;      // the stop comes from outside, after that commit
  } cases[] = {{0, 4, 0, false},   {1, 4, 1, false},   {7, 1, 7, false},    {7, 1, 3, false},
               {50, 2, 50, false}, {50, 4, 0, false},  {50, 4, 25, false},  {50, 3, 49, false},
               {200, 8, 120, false}, {5, 16, 5, false}, {7, 1, 3, true},    {50, 4, 0, true},
               {200, 8, 120, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.count) + " items, " + std::to_string(c.workers) +
                 " workers, stop at " + std::to_string(c.stopAt) + (c.signalled ? " by signal" : ""));
    std::atomic<bool> stopped{false};
    std::atomic<int> waiting{0};
    std::atomic<int> mostWaiting{0};
    std::vector<std::size_t> committed;
    RunInListOrder<std::string>(
        c.count, c.workers,
        [&](std::size_t i) {
          // Later items often finish first.
          std::this_thread::sleep_for(std::chrono::microseconds((c.count - i) % 7 * 50));
          const int now = ++waiting;
          for (int most = mostWaiting; now > most && !mostWaiting.compare_exchange_weak(most, now);) {
          }
          return std::to_string(i);
        },
        [&](std::size_t i, std::string&& result) {
          --waiting;
          EXPECT_EQ(result, std::to_string(i));
          committed.push_back(i);
          if (c.signalled && i == c.stopAt) stopped = true;
          return c.signalled || i != c.stopAt;
        },
        [&] { return stopped.load(); });
    std::vector<std::size_t> expected;
    for (std::size_t i = 0; i < c.count && (expected.empty() || expected.back() != c.stopAt); ++i) {
      expected.push_back(i);
    }
    EXPECT_EQ(committed, expected);
    EXPECT_LE(mostWaiting.load(), 2 * static_cast<int>(c.workers));
  }
}

// A throw from a commit reaches the caller once every worker has ended.
TEST(RunInListOrder, ACommitThatThrowsEndsTheWork) {
  std::atomic<std::size_t> prepared{0};
  EXPECT_THROW(RunInListOrder<int>(
                   1000, 4, [&](std::size_t) { return static_cast<int>(++prepared); },
                   [](std::size_t i, int&&) -> bool {
                     if (i == 3) throw std::runtime_error("commit");
                     return true;
                   },
                   [] { return false; }),
               std::runtime_error);
  EXPECT_LE(prepared.load(), 4u + 8u);
}

}  // namespace
}  // namespace quorvane
