#include "FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

FolderLock::FolderLock(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    why = folder + " cannot be locked against other programs: " + std::strerror(errno);
    return;
  }
  const bool changing = access(folder.c_str(), W_OK | X_OK) == 0;
  int locked = 0;
  do
    locked = flock(fd, changing ? LOCK_EX : LOCK_SH | LOCK_NB);
  while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    why = folder + " cannot be locked against other programs: " +
          (errno == EWOULDBLOCK ? "another program is replacing its files" : std::strerror(errno));
    close(fd);
    return;
  }
  descriptor = fd;
}

FolderLock::~FolderLock() {
  if (descriptor >= 0) close(descriptor);
}
