#ifndef FAILINGTHREADSTARTS_H
#define FAILINGTHREADSTARTS_H

#include <atomic>
#include <exception>

#include "ThreadTeam.h"

// Makes threads fail to start as they do at the system's thread limit or
// when memory runs out: from the `failing`-th start on (counting from 1),
// every thread a team starts throws `failure` instead (by default the
// std::system_error of the thread limit). The starter in place before comes
// back when it goes.
class FailingThreadStarts {
 public:
  explicit FailingThreadStarts(unsigned failing, std::exception_ptr failure = threadLimit());
  ~FailingThreadStarts();
  FailingThreadStarts(const FailingThreadStarts&) = delete;
  FailingThreadStarts& operator=(const FailingThreadStarts&) = delete;

  // The starts tried, failed or not.
  unsigned tried() const { return starts.load(); }

  static std::exception_ptr threadLimit();

 private:
  std::atomic<unsigned> starts{0};
  ThreadTeam::Starter previous;
};

#endif
