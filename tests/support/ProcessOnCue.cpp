#include "ProcessOnCue.h"

#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

ProcessOnCue::ProcessOnCue(const std::function<std::string()>& work) {
  int toChild[2], fromChild[2];
  if (pipe(toChild) != 0) return;
  if (pipe(fromChild) != 0) {
    close(toChild[0]);
    close(toChild[1]);
    return;
  }
  std::fflush(nullptr);
  child = fork();
  if (child == 0) {
    close(toChild[1]);
    close(fromChild[0]);
    char go = 0;
    if (read(toChild[0], &go, 1) == 1) {
      const std::string said = work();
      for (std::size_t done = 0; done < said.size();) {
        const ssize_t written = write(fromChild[1], said.data() + done, said.size() - done);
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
      }
    }
    // Ends without running the test program's exit handlers.
    _exit(0);
  }
  close(toChild[0]);
  close(fromChild[1]);
  cue = toChild[1];
  reply = fromChild[0];
  if (child < 0) {
    close(cue);
    close(reply);
    cue = reply = -1;
  }
}

ProcessOnCue::~ProcessOnCue() { answer(); }

// A request waiting for a lock is listed in /proc/locks as
// "N: -> FLOCK ADVISORY WRITE <pid> <major>:<minor>:<inode> ...".
bool ProcessOnCue::waitingForLock(ino_t file) const {
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, arrow, kind, advisory, mode, where;
    pid_t holder = 0;
    if (!(fields >> number >> arrow >> kind >> advisory >> mode >> holder >> where)) continue;
    const std::string inode = where.substr(where.rfind(':') + 1);
    if (arrow == "->" && kind == "FLOCK" && holder == child && inode == std::to_string(file)) return true;
  }
  return false;
}

void ProcessOnCue::cueUntilDoneOrWaitingForLockOf(const std::filesystem::path& file) {
  struct stat status {};
  if (cue < 0 || stat(file.c_str(), &status) != 0) return;
  const char go = 1;
  if (write(cue, &go, 1) != 1) return;
  // The answer (or the end of the child) makes the pipe readable; each turn
  // also looks whether the child is waiting for the lock instead.
  pollfd done{reply, POLLIN, 0};
  for (;;) {
    const int ready = poll(&done, 1, 10);
    if (ready > 0 || (ready < 0 && errno != EINTR) || waitingForLock(status.st_ino)) return;
  }
}

std::string ProcessOnCue::answer() {
  if (child < 0) return "";
  close(cue);
  cue = -1;
  std::string said;
  char block[256];
  for (ssize_t got; (got = read(reply, block, sizeof block)) > 0;) said.append(block, static_cast<std::size_t>(got));
  close(reply);
  reply = -1;
  waitpid(child, nullptr, 0);
  child = -1;
  return said;
}
