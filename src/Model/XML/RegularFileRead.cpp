#include "RegularFileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace Model {

namespace {

const char* const notRegular = "it is not a regular file";
const char* const unreadable = "the file cannot be read";

}  // namespace

RegularFileRead::RegularFileRead(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    refusalReason = errno == ENOENT ? "the file does not exist" : unreadable;
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    refusalReason = notRegular;
    return;
  }
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    refusalReason = unreadable;
    return;
  }
  if (fstat(descriptor, &status) != 0)
    refusalReason = unreadable;
  else if (!S_ISREG(status.st_mode))
    refusalReason = notRegular;
  else if (!readAll(descriptor))
    refusalReason = unreadable;
  close(descriptor);
  if (!refusalReason.empty()) contents.clear();
}

bool RegularFileRead::readAll(int descriptor) {
  char block[65536];
  for (;;) {
    const ssize_t count = read(descriptor, block, sizeof block);
    if (count == 0) return true;
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contents.append(block, static_cast<std::size_t>(count));
  }
}

}  // namespace Model
