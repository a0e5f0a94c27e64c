#ifndef WATCHEDPIPE_H
#define WATCHEDPIPE_H

#include <atomic>
#include <filesystem>
#include <thread>

// A named pipe that nobody writes to, watched from a thread of its own:
// whoever opens it for reading is let go at once with an end of file, and
// counted. A reader that wrongly opens the pipe thus neither hangs the test
// nor goes unseen.
class WatchedPipe {
 public:
  explicit WatchedPipe(std::filesystem::path where);
  ~WatchedPipe();
  WatchedPipe(const WatchedPipe&) = delete;
  WatchedPipe& operator=(const WatchedPipe&) = delete;

  const std::filesystem::path& path() const { return fifo; }
  // How many times a reader had the pipe open.
  int readersLetGo() const { return letGo; }

 private:
  void watch();

  std::filesystem::path fifo;
  std::atomic<int> letGo{0};
  std::atomic<bool> stopping{false};
  std::thread watcher;
};

#endif
