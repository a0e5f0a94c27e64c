#include "FileSizeLimitedChild.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

int runInFileSizeLimitedChild(rlim_t bytes, const std::function<void()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{bytes, bytes};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(2);
    work();
    _exit(0);
  }
  int status = -1;
  while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}
