#include "WatchedPipe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

WatchedPipe::WatchedPipe(std::filesystem::path where) : fifo(std::move(where)) {
  if (mkfifo(fifo.c_str(), 0644) != 0) throw std::runtime_error("cannot make the pipe " + fifo.string());
  watcher = std::thread(&WatchedPipe::watch, this);
}

WatchedPipe::~WatchedPipe() {
  stopping = true;
  watcher.join();
}

void WatchedPipe::watch() {
  while (!stopping) {
    // Opening the writing end without waiting succeeds only while a reader
    // has the pipe open; closing it at once gives that reader an end of file.
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) {
      close(writer);
      ++letGo;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}
