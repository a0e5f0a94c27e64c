#include "UnnamedFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include "UnnamedFile.h"

bool takesUnnamedFiles(const std::filesystem::path& folder) {
  const int fd = UnnamedFile::open(folder.string(), O_WRONLY, 0600);
  if (fd < 0) return false;
  close(fd);
  return true;
}
