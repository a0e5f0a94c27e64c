#include "FileSizeLimit.h"

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
  previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  getrlimit(RLIMIT_FSIZE, &previous);
  const rlimit limit{bytes, previous.rlim_max};
  setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, previousHandler);
}
