#include "PictureFileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

PictureFileBytes::PictureFileBytes(const std::string& path) {
  descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return;
  struct stat status {};
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
    length = static_cast<std::uint64_t>(status.st_size);
    return;
  }
  close(descriptor);
  descriptor = -1;
}

PictureFileBytes::~PictureFileBytes() {
  if (descriptor >= 0) close(descriptor);
}

PictureFileBytes::Bytes PictureFileBytes::at(std::uint64_t offset, std::size_t count) const {
  if (descriptor < 0 || offset >= length) return {};
  if (count > length - offset) count = static_cast<std::size_t>(length - offset);
  Bytes bytes(count);
  std::size_t filled = 0;
  while (filled < count) {
    const ssize_t got = pread(descriptor, bytes.data() + filled, count - filled, static_cast<off_t>(offset + filled));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes.resize(filled);
  return bytes;
}

std::uint64_t PictureFileBytes::bigEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

std::uint64_t PictureFileBytes::littleEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

bool PictureFileBytes::startsWith(const Bytes& bytes, const char* text, std::size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), text, length) == 0;
}
