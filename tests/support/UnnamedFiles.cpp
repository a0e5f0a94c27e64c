#include "UnnamedFiles.h"

#include <fcntl.h>
#include <unistd.h>

bool takesUnnamedFiles(const std::filesystem::path& folder) {
#ifdef O_TMPFILE
  const int fd = open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  close(fd);
  return access("/proc/self/fd", X_OK) == 0;
#else
  return false;
#endif
}
