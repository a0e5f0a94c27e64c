// The threads every pool of the programs starts: threads that cannot start
// leave the work to those that did, every thread is joined before the caller
// goes on, and an exception of any thread reaches the caller instead of
// ending the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "FailingThreadStarts.h"
#include "ThreadTeam.h"

namespace {

// Work shared out as numbered tasks, with a record of the threads that took
// part and whether each had ended when the team returned.
struct SharedWork {
  explicit SharedWork(std::size_t tasks) : runs(tasks) {}

  void operator()() {
    const Taking taking(*this);
    for (std::size_t i = next++; i < runs.size(); i = next++) runs[i].fetch_add(1);
  }

  bool everyTaskRanOnce() const {
    for (const std::atomic<int>& count : runs)
      if (count.load() != 1) return false;
    return true;
  }

  // Counts a thread in while it takes part.
  struct Taking {
    explicit Taking(SharedWork& work) : work(work) {
      const std::lock_guard<std::mutex> lock(work.mutex);
      work.threads.insert(std::this_thread::get_id());
      ++work.running;
    }
    ~Taking() {
      const std::lock_guard<std::mutex> lock(work.mutex);
      --work.running;
    }
    SharedWork& work;
  };

  std::vector<std::atomic<int>> runs;
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::set<std::thread::id> threads;
  int running = 0;
};

}  // namespace

TEST(ThreadTeamTest, ThreadsThatCannotStartLeaveTheWorkToThoseThatDid) {
  struct Case {
    const char* name;
    unsigned threads;
    unsigned failingStart;  // 0: every start succeeds
    std::exception_ptr failure;
    unsigned taking;  // the threads that take part, the caller's included
  };
  const std::exception_ptr noMemory = std::make_exception_ptr(std::bad_alloc());
  const std::exception_ptr limit = FailingThreadStarts::threadLimit();
  const Case cases[] = {
      {"one thread starts none", 1, 1, limit, 1},
      {"zero is taken as one", 0, 1, limit, 1},
      {"every start succeeds", 4, 0, nullptr, 4},
      {"no thread starts", 4, 1, limit, 1},
      {"the second start fails", 4, 2, limit, 2},
      {"the last start fails", 4, 3, limit, 3},
      {"memory runs out at the third start", 8, 3, noMemory, 3},
      {"memory runs out at once", 8, 1, noMemory, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<FailingThreadStarts> failing;
    if (c.failingStart > 0) failing = std::make_unique<FailingThreadStarts>(c.failingStart, c.failure);
    SharedWork work(1000);
    ThreadTeam::run(c.threads, std::ref(work));
    EXPECT_TRUE(work.everyTaskRanOnce());
    EXPECT_EQ(work.threads.size(), c.taking);
    EXPECT_EQ(work.threads.count(std::this_thread::get_id()), 1u);
    EXPECT_EQ(work.running, 0) << "a thread still ran after the team returned";
    if (failing) {
      const unsigned asked = c.threads > 1 ? c.threads - 1 : 0;
      EXPECT_EQ(failing->tried(), std::min(c.failingStart, asked)) << "starting goes on after a start failed";
    }
  }
}

// A thread's exception comes out of run() only once every other thread has
// ended: the others go on working after it was thrown.
TEST(ThreadTeamTest, TheFirstExceptionReachesTheCallerOnceAllThreadsEnded) {
  enum class Thrower { caller, startedThread, everyThread };
  struct Case {
    const char* name;
    Thrower thrower;
    bool outOfMemory;
    unsigned failingStart;  // 0: every start succeeds
  };
  const Case cases[] = {
      {"the caller's work", Thrower::caller, false, 0},
      {"a started thread's work", Thrower::startedThread, false, 0},
      {"memory running out in a started thread", Thrower::startedThread, true, 0},
      {"every thread's work", Thrower::everyThread, false, 0},
      {"a started thread's work, another start failed", Thrower::startedThread, false, 3},
  };
  const std::thread::id caller = std::this_thread::get_id();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<FailingThreadStarts> failing;
    if (c.failingStart > 0) failing = std::make_unique<FailingThreadStarts>(c.failingStart);
    SharedWork work(1000);
    std::atomic<bool> thrown{false};
    std::atomic<bool> startedThreadClaimed{false};
    std::set<std::string> messages;
    std::mutex messagesMutex;
    const auto body = [&] {
      const SharedWork::Taking taking(work);
      const bool isCaller = std::this_thread::get_id() == caller;
      const bool throws = c.thrower == Thrower::everyThread || (c.thrower == Thrower::caller && isCaller) ||
                          (c.thrower == Thrower::startedThread && !isCaller && !startedThreadClaimed.exchange(true));
      if (throws) {
        std::string message;
        {
          const std::lock_guard<std::mutex> lock(messagesMutex);
          message = "thrower " + std::to_string(messages.size());
          messages.insert(message);
        }
        thrown = true;
        if (c.outOfMemory) throw std::bad_alloc();
        throw std::runtime_error(message);
      }
      // The others are still at work when the exception is thrown.
      while (!thrown) std::this_thread::yield();
      work();
    };
    try {
      ThreadTeam::run(4, body);
      ADD_FAILURE() << "nothing was thrown";
    } catch (const std::bad_alloc&) {
      EXPECT_TRUE(c.outOfMemory);
    } catch (const std::runtime_error& error) {
      EXPECT_FALSE(c.outOfMemory);
      EXPECT_EQ(messages.count(error.what()), 1u) << error.what();
    }
    EXPECT_EQ(work.running, 0) << "a thread still ran when the exception reached the caller";
    const unsigned taking = c.failingStart > 0 ? c.failingStart : 4;
    EXPECT_EQ(work.threads.size(), taking);
    if (c.thrower != Thrower::everyThread) {
      EXPECT_TRUE(work.everyTaskRanOnce());
    }
  }
}

// A team kept for longer (a pool's threads): its threads run until told to
// stop, and leaving the team's scope joins them, also when not all started
// and when the owner leaves by an exception.
TEST(ThreadTeamTest, ATeamJoinsItsThreadsWhenItGoes) {
  for (unsigned failingStart : {0u, 1u, 3u}) {
    SCOPED_TRACE("failing start " + std::to_string(failingStart));
    std::unique_ptr<FailingThreadStarts> failing;
    if (failingStart > 0) failing = std::make_unique<FailingThreadStarts>(failingStart);
    std::atomic<bool> stop{false};
    std::atomic<int> running{0};
    std::atomic<int> entered{0};
    unsigned started = 0;
    EXPECT_THROW(
        {
          const ThreadTeam team(5, [&] {
            ++running;
            ++entered;
            while (!stop) std::this_thread::yield();
            --running;
          });
          started = team.started();
          while (entered.load() < static_cast<int>(started)) std::this_thread::yield();
          stop = true;
          throw std::runtime_error("the owner fails");
        },
        std::runtime_error);
    EXPECT_EQ(started, failingStart > 0 ? failingStart - 1 : 5);
    EXPECT_EQ(running.load(), 0);
  }
}
