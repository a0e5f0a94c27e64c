// The thread pool behind the banded drawing: every task of a job runs once,
// on several threads, job after job, and a task's exception reaches the
// caller without stopping the other tasks.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "FailingThreadStarts.h"
#include "WorkerPool.h"

TEST(WorkerPoolTest, EveryTaskOfEveryJobRunsOnce) {
  for (unsigned threads : {0u, 1u, 3u, 8u}) {
    WorkerPool pool(threads);
    EXPECT_EQ(pool.size(), threads == 0 ? 1u : threads);
    for (std::size_t count : {0u, 1u, 2u, 7u, 1000u}) {
      for (int job = 0; job < 20; ++job) {
        SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(count) + " tasks");
        std::vector<std::atomic<int>> runs(count);
        pool.run(count, [&](std::size_t i) { runs[i].fetch_add(1); });
        for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << "task " << i;
      }
    }
  }
}

TEST(WorkerPoolTest, TasksRunOnThePoolsThreadsTogether) {
  WorkerPool pool(4);
  // Each task waits until all four have started: they only finish if four
  // threads take them at once.
  std::atomic<int> started{0};
  std::mutex mutex;
  std::set<std::thread::id> seen;
  pool.run(4, [&](std::size_t) {
    {
      const std::lock_guard<std::mutex> lock(mutex);
      seen.insert(std::this_thread::get_id());
    }
    started.fetch_add(1);
    while (started.load() < 4) std::this_thread::yield();
  });
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen.count(std::this_thread::get_id()), 1u);
}

TEST(WorkerPoolTest, AThrowingTaskLetsTheOthersRunAndReachesTheCaller) {
  WorkerPool pool(3);
  std::atomic<int> ran{0};
  EXPECT_THROW(pool.run(50,
                        [&](std::size_t i) {
                          ran.fetch_add(1);
                          if (i % 10 == 3) throw std::runtime_error("task failed");
                        }),
               std::runtime_error);
  EXPECT_EQ(ran.load(), 50);
  // The pool still works afterwards.
  std::atomic<int> after{0};
  pool.run(10, [&](std::size_t) { after.fetch_add(1); });
  EXPECT_EQ(after.load(), 10);
}

// At the system's thread limit the pool has fewer threads, never none: the
// jobs run on those that started, the caller's included.
TEST(WorkerPoolTest, ThreadsThatCannotStartLeaveTheJobsToThoseThatDid) {
  for (unsigned failingStart : {1u, 2u, 4u}) {
    SCOPED_TRACE("failing start " + std::to_string(failingStart));
    const FailingThreadStarts failing(failingStart);
    WorkerPool pool(6);
    EXPECT_EQ(pool.size(), failingStart);
    for (int job = 0; job < 5; ++job) {
      std::vector<std::atomic<int>> runs(100);
      pool.run(runs.size(), [&](std::size_t i) { runs[i].fetch_add(1); });
      for (std::size_t i = 0; i < runs.size(); ++i) ASSERT_EQ(runs[i].load(), 1) << "task " << i;
    }
  }
}
