#include "WorkerPool.h"

WorkerPool::WorkerPool(unsigned threads) : workers(threads > 1 ? threads - 1 : 0, [this] { work(); }) {}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex);
    stopping = true;
  }
  jobReady.notify_all();
  // The team, which goes next, joins its threads.
}

void WorkerPool::run(std::size_t taskCount, const std::function<void(std::size_t)>& jobTask) {
  if (taskCount == 0) return;
  {
    const std::lock_guard<std::mutex> lock(mutex);
    task = &jobTask;
    count = taskCount;
    next = 0;
    failure = nullptr;
    working = workers.started();
    ++job;
  }
  jobReady.notify_all();
  takeTasks();
  std::unique_lock<std::mutex> lock(mutex);
  jobDone.wait(lock, [this] { return working == 0; });
  task = nullptr;
  if (failure) std::rethrow_exception(failure);
}

void WorkerPool::work() {
  unsigned long seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      jobReady.wait(lock, [&] { return stopping || job != seen; });
      if (stopping) return;
      seen = job;
    }
    takeTasks();
    const std::lock_guard<std::mutex> lock(mutex);
    if (--working == 0) jobDone.notify_one();
  }
}

void WorkerPool::takeTasks() {
  for (;;) {
    std::size_t index;
    {
      const std::lock_guard<std::mutex> lock(mutex);
      if (next >= count) return;
      index = next++;
    }
    try {
      (*task)(index);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(mutex);
      if (!failure) failure = std::current_exception();
    }
  }
}
