#include "FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Links are followed as far as this; a longer chain is taken for a loop.
constexpr int maximumLinkHops = 40;

// The file that `target` names once every link is followed, even one that
// does not exist yet; empty when a link cannot be read or loops.
std::string resolveLinks(const std::string& target) {
  std::error_code error;
  fs::path path = fs::absolute(target, error);
  struct stat entry {};
  for (int hop = 0; !error && lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode); ++hop) {
    if (hop == maximumLinkHops) return "";
    const fs::path next = fs::read_symlink(path, error);
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  if (error) return "";
  fs::path real = fs::weakly_canonical(path, error);
  return error ? "" : real.string();
}

bool writeAll(int fd, const std::string& contents) {
  const char* next = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = write(fd, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

FileReplacement::FileReplacement(const std::string& target) : real(target.empty() ? "" : resolveLinks(target)) {
  if (real.empty()) return;
  struct stat existing {};
  if (stat(real.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return;
    // The permission bits are checked as well as access(), which grants the
    // superuser everything: a file marked read-only stays as it is.
    if ((existing.st_mode & 0222) == 0 || access(real.c_str(), W_OK) != 0) return;
    keepMode = true;
    mode = existing.st_mode & 07777;
  }
  createTemporary();
}

FileReplacement::~FileReplacement() { abandon(); }

// The new file is `real` + ".saving-" + six random letters. The mode given at
// creation is subject to the umask, as for any new file of the user.
bool FileReplacement::createTemporary() {
  static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<int> pick(0, sizeof letters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = real + ".saving-";
    for (int i = 0; i < 6; ++i) name += letters[pick(random)];
    descriptor = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) {
      temporary = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

void FileReplacement::abandon() {
  if (descriptor >= 0) close(descriptor);
  descriptor = -1;
  if (!temporary.empty()) unlink(temporary.c_str());
  temporary.clear();
}

bool FileReplacement::writeTemporary(const std::string& contents) {
  if (!isOpen()) return false;
  bool written = writeAll(descriptor, contents);
  if (written && keepMode) written = fchmod(descriptor, mode) == 0;
  // The flush reports a disk that filled up after the writes were accepted.
  written = written && fsync(descriptor) == 0;
  const bool closed = close(descriptor) == 0;
  descriptor = -1;
  if (!written || !closed) {
    abandon();
    return false;
  }
  return true;
}

bool FileReplacement::replaceTarget() {
  // Only a temporary file that was written and closed is put in place.
  if (isOpen() || temporary.empty()) return false;
  if (std::rename(temporary.c_str(), real.c_str()) != 0) {
    abandon();
    return false;
  }
  temporary.clear();
  return true;
}
