#ifndef WORKERPOOL_H
#define WORKERPOOL_H

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>

#include "ThreadTeam.h"

// A fixed set of threads that run the numbered tasks of one job at a time:
// the thread that hands in the job works on it too, and gets control back
// once every task has returned. Tasks are taken in order of their numbers,
// each by whichever thread is free first.
class WorkerPool {
 public:
  // `threads` counts the calling thread; 0 is taken as 1, which starts no
  // thread and runs every task on the caller. Threads that cannot start are
  // left out: the jobs run on those that did.
  explicit WorkerPool(unsigned threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // The threads a job runs on, the caller's included.
  unsigned size() const { return workers.started() + 1; }

  // Calls task(i) once for every i below `count`. If tasks throw, the
  // remaining ones still run and the first exception is thrown here. One job
  // at a time: not to be called from a task, nor from two threads at once.
  void run(std::size_t count, const std::function<void(std::size_t)>& task);

 private:
  void work();
  // Takes tasks of the current job until none is left.
  void takeTasks();

  std::mutex mutex;
  std::condition_variable jobReady;
  std::condition_variable jobDone;
  // Guarded by the mutex.
  const std::function<void(std::size_t)>* task = nullptr;
  std::size_t count = 0;
  std::size_t next = 0;
  unsigned long job = 0;
  unsigned working = 0;
  bool stopping = false;
  std::exception_ptr failure;
  // Last: its threads use every member above from their start, and are
  // joined before any of them goes.
  ThreadTeam workers;
};

#endif
