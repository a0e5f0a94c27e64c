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
    refusedAsNotRegular = true;
    return;
  }
  descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    refusalReason = unreadable;
    return;
  }
  if (fstat(descriptor, &status) != 0)
    refusalReason = unreadable;
  else if (!S_ISREG(status.st_mode)) {
    refusalReason = notRegular;
    refusedAsNotRegular = true;
  } else
    length = static_cast<std::size_t>(status.st_size);
  if (refusalReason.empty()) return;
  close(descriptor);
  descriptor = -1;
}

RegularFileRead::~RegularFileRead() {
  if (descriptor >= 0) close(descriptor);
}

std::string RegularFileRead::openedName() const {
  return descriptor < 0 ? "" : "/proc/self/fd/" + std::to_string(descriptor);
}

std::size_t RegularFileRead::readBlock(char* block, std::size_t capacity) {
  if (descriptor < 0 || !refusalReason.empty()) return 0;
  for (;;) {
    const ssize_t count = read(descriptor, block, capacity);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno == EINTR) continue;
    refusalReason = unreadable;
    return 0;
  }
}

std::size_t RegularFileRead::readAt(std::size_t offset, char* block, std::size_t capacity) const {
  if (descriptor < 0 || !refusalReason.empty()) return 0;
  std::size_t filled = 0;
  while (filled < capacity) {
    const ssize_t count = pread(descriptor, block + filled, capacity - filled, static_cast<off_t>(offset + filled));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    filled += static_cast<std::size_t>(count);
  }
  return filled;
}

std::string RegularFileRead::readWhole(std::size_t largest, const std::string& tooLarge) {
  if (!readable()) return "";
  if (length > largest) {
    refusalReason = tooLarge;
    return "";
  }
  std::string contents;
  contents.reserve(length);
  char block[65536];
  for (std::size_t count; (count = readBlock(block, sizeof block)) > 0;) {
    if (count > largest - contents.size()) {
      refusalReason = tooLarge;
      return "";
    }
    contents.append(block, count);
  }
  return readable() ? contents : "";
}

}  // namespace Model
