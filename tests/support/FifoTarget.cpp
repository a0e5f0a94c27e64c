#include "FifoTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

FifoTarget::FifoTarget(std::filesystem::path where) : fifo(std::move(where)) {
  if (mkfifo(fifo.c_str(), 0644) != 0) throw std::runtime_error("cannot make the pipe " + fifo.string());
  reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (reader < 0) throw std::runtime_error("cannot open the pipe " + fifo.string());
}

FifoTarget::~FifoTarget() {
  if (reader >= 0) close(reader);
}
