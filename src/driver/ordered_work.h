#pragma once

// Work on the items of a list by several threads, taken in by one in list
// order: what the converter's workers prepare, the run commits (prints,
// writes) in the order of its listing, so that lines and files come out as
// from one worker, and a stop leaves nothing done after the item it stopped at.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace quorvane {

// Calls prepare(i) for each i below `count` on up to `workers` threads and
// commit(i, result) on the calling thread for i = 0, 1, ... in turn, until
// commit returns false or stopped() turns true (it is asked before each
// item is started and before each commit): then no later result is
// committed and no later item is started. At most 2 x workers results wait
// for their commit, so memory stays flat however long the list. The calling
// thread is one of the workers; with one worker everything runs on it, as it
// does when no thread can be started. `prepare` must not
// throw; a throw from `commit` ends the work and reaches the caller.
template <class Result, class Prepare, class Commit, class Stopped>
void RunInListOrder(std::size_t count, unsigned workers, Prepare&& prepare, Commit&& commit,
                    Stopped&& stopped) {
  const auto runHere = [&] {
    for (std::size_t i = 0; i < count && !stopped(); ++i) {
      Result result = prepare(i);
      if (stopped() || !commit(i, std::move(result))) return;
    }
  };
  if (workers <= 1 || count <= 1) {
    runHere();
    return;
  }
  const std::size_t window = 2 * static_cast<std::size_t>(workers);
  std::mutex mutex;
  std::condition_variable resultReady;  // the committer waits for its item
  std::condition_variable slotFree;     // workers wait for room in the window
  std::vector<std::optional<Result>> slots(window);
  std::size_t next = 0;       // the first item no worker has started
  std::size_t committed = 0;  // the item the committer takes next
  bool stop = false;

  const auto work = [&] {
    for (;;) {
      std::size_t i = 0;
      {
        std::unique_lock lock(mutex);
        slotFree.wait(lock, [&] { return stop || next >= count || next < committed + window; });
        if (!stop && stopped()) {
          // The committer may wait for an item nobody will start now.
          stop = true;
          resultReady.notify_one();
        }
        if (stop || next >= count) return;
        i = next++;
      }
      Result result = prepare(i);
      {
        const std::lock_guard lock(mutex);
        slots[i % window].emplace(std::move(result));
      }
      resultReady.notify_one();
    }
  };

  std::vector<std::thread> threads;
  // Joined however the commits end, a throw included.
  struct Joiner {
    std::mutex& mutex;
    bool& stop;
    std::condition_variable& slotFree;
    std::vector<std::thread>& threads;
    ~Joiner() {
      {
        const std::lock_guard lock(mutex);
        stop = true;
      }
      slotFree.notify_all();
      for (std::thread& thread : threads) thread.join();
    }
  } joiner{mutex, stop, slotFree, threads};

  // The calling thread is one of the workers: it commits what is ready in
  // turn and otherwise prepares the next item, so that no thread stands
  // beside the workers competing for the cores.
  threads.reserve(workers - 1);
  for (unsigned w = 1; w < workers; ++w) {
    try {
      threads.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // the system gives no more threads; those there do the work
    }
  }
  const auto canTake = [&] { return !stop && next < count && next < committed + window; };
  while (committed < count && !stopped()) {
    std::optional<Result> result;
    std::optional<std::size_t> mine;
    {
      std::unique_lock lock(mutex);
      resultReady.wait(lock, [&] {
        return slots[committed % window].has_value() || canTake() || (stop && next <= committed);
      });
      if (slots[committed % window].has_value()) {
        result = std::move(slots[committed % window]);
        slots[committed % window].reset();
      } else if (canTake()) {
        mine = next++;
      } else {
        return;
      }
    }
    if (mine) {
      Result prepared = prepare(*mine);
      const std::lock_guard lock(mutex);
      slots[*mine % window].emplace(std::move(prepared));
      continue;
    }
    if (stopped()) return;
    const bool goOn = commit(committed, std::move(*result));
    {
      const std::lock_guard lock(mutex);
      ++committed;
      stop = !goOn;
    }
    slotFree.notify_all();
    if (!goOn) return;
  }
}

}  // namespace quorvane
