#ifndef FIFOTARGET_H
#define FIFOTARGET_H

#include <filesystem>

// A named pipe put where a save will write, with its reading end held open
// without blocking: a save that wrongly opened the pipe then does not block
// the test for ever, and what it wrote stays in the pipe to be seen.
class FifoTarget {
 public:
  explicit FifoTarget(std::filesystem::path where);
  ~FifoTarget();
  FifoTarget(const FifoTarget&) = delete;
  FifoTarget& operator=(const FifoTarget&) = delete;

 private:
  std::filesystem::path fifo;
  int reader = -1;
};

#endif
