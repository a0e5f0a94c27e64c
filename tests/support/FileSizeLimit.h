#ifndef FILESIZELIMIT_H
#define FILESIZELIMIT_H

#include <sys/resource.h>

#include <csignal>

// Stops every write of this process that would make a file larger than
// `bytes`, as a full disk does: the write fails instead of raising SIGXFSZ.
// The limit and the signal's handling are restored when it goes.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous{};
  void (*previousHandler)(int) = SIG_DFL;
};

#endif
